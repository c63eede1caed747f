// Import and export of a 6 MB CIF of 100,000 atoms in P1 through the import and
// export commands (file dialog answers scripted, the program's own dictionary).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "formats/export_framework.h"
#include "formats/import_kinds.h"
#include "large_cif.h"
#include "support/test_session.h"

namespace {

using namespace tessera;

constexpr int kAtoms = 100000;

std::filesystem::path scratch(const char* name) { return std::filesystem::temp_directory_path() / name; }

/// The large CIF written once to a scratch file.
const std::filesystem::path& largeCifFile() {
  static const std::filesystem::path path = [] {
    const auto p = scratch("tessera-bench-big.cif");
    std::ofstream(p, std::ios::binary) << bench::largeP1Cif(kAtoms);
    return p;
  }();
  return path;
}

void BM_ImportCif100k(benchmark::State& state) {
  const auto& path = largeCifFile();
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  for (auto _ : state) {
    test::TestSession s;
    if (!s.import(kKindCif, path) || s.document.siteCount() != kAtoms) state.SkipWithError("import");
  }
}
BENCHMARK(BM_ImportCif100k)->Unit(benchmark::kMillisecond);

void BM_ExportCif100k(benchmark::State& state) {
  test::TestSession s;
  if (!s.import(kKindCif, largeCifFile())) state.SkipWithError("import");
  const auto out = scratch("tessera-bench-big-out.cif");
  for (auto _ : state) {
    s.ui.files.push_back(out.string());
    if (!RunExport(s.session, *exportCommandByCliName("cif"))) state.SkipWithError("export");
  }
  std::filesystem::remove(out);
}
BENCHMARK(BM_ExportCif100k)->Unit(benchmark::kMillisecond);

}  // namespace
