// Import and export of large structures: 100,000 atoms in P1 through the SHELX
// and free-form readers and writers, and the duplicate-site consolidation.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_kinds.h"
#include "formats/site_consolidation.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace {

using namespace tessera;

constexpr int kAtoms = 100000;

std::filesystem::path scratch(const char* name) { return std::filesystem::temp_directory_path() / name; }

/// A SHELX file of kAtoms anisotropic atoms at random positions of a P1 cell.
const std::filesystem::path& largeShelxFile() {
  static const std::filesystem::path path = [] {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    std::string text = "TITL big\nCELL 0.71 60 70 80 90 95 90\nLATT -1\nSFAC C\n";
    for (int i = 0; i < kAtoms; ++i)
      appendFormat(text, "C%d 1 %.5f %.5f %.5f 11.0 0.021 0.022 =\n 0.023 0.001 0.002 0.003\n", i, u(rng), u(rng),
                   u(rng));
    text += "END\n";
    const auto p = scratch("tessera-bench-big.ins");
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }();
  return path;
}

void BM_ImportShelx100k(benchmark::State& state) {
  const auto& path = largeShelxFile();
  for (auto _ : state) {
    test::TestSession s;
    if (!s.import(kKindShelx, path) || s.document.siteCount() < kAtoms - 100) state.SkipWithError("import");
  }
}
BENCHMARK(BM_ImportShelx100k)->Unit(benchmark::kMillisecond);

void BM_ExportFreeForm100k(benchmark::State& state) {
  test::TestSession s;
  s.import(kKindShelx, largeShelxFile());
  const auto out = scratch("tessera-bench-big.inp");
  for (auto _ : state) {
    s.ui.files.push_back(out.string());
    if (!RunExport(s.session, *exportCommandByCliName("free-form"))) state.SkipWithError("export");
  }
  std::filesystem::remove(out);
}
BENCHMARK(BM_ExportFreeForm100k)->Unit(benchmark::kMillisecond);

void BM_ConsolidateSites100k(benchmark::State& state) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  std::vector<Site> sites;
  for (int i = 0; i < kAtoms; ++i) {
    const float x = u(rng), y = u(rng), z = u(rng);
    sites.push_back(test::siteAt("", x, y, z));
  }
  ScriptedUserInterface ui;
  for (auto _ : state) {
    std::vector<Site> work = sites;
    benchmark::DoNotOptimize(ConsolidateDuplicateSites(work, ui));
  }
}
BENCHMARK(BM_ConsolidateSites100k)->Unit(benchmark::kMillisecond);

}  // namespace
