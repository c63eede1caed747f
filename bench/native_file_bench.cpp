// Reading and writing a native document of 100,000 sites, and the same structure's
// round trips through the native file and through CIF side by side.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "formats/export_framework.h"
#include "formats/import_kinds.h"
#include "large_cif.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace {

using namespace tessera;

CrystalDocument largeDocument(int sites) {
  CrystalDocument doc;
  setNewDocumentDefaults(doc);
  doc.title = "100,000 sites";
  doc.crystals[0].cell = {50, 60, 70, kRightAngle, kRightAngle, kRightAngle};
  doc.sites[0].reserve(static_cast<std::size_t>(sites));
  for (int i = 0; i < sites; ++i) {
    Site s = test::siteAt("C" + std::to_string(i), static_cast<float>(i % 97) / 97.0f,
                          static_cast<float>(i % 89) / 89.0f, static_cast<float>(i % 83) / 83.0f, 6);
    s.ortepType = 8;
    s.aniso = {0.01f, 0.02f, 0.03f, 0.001f, 0.002f, 0.003f};
    s.occupants[0].origNumber = i;
    s.occupants[0].element = "C";
    doc.sites[0].push_back(std::move(s));
  }
  return doc;
}

std::filesystem::path scratch(const char* name) { return std::filesystem::temp_directory_path() / name; }

const std::string kPath = scratch("tessera-bench.tsr").string();

void BM_WriteNativeFile100k(benchmark::State& state) {
  const CrystalDocument doc = largeDocument(100000);
  ScriptedUserInterface ui;
  for (auto _ : state) benchmark::DoNotOptimize(writeDocumentFile(doc, kPath, ui));
}
BENCHMARK(BM_WriteNativeFile100k)->Unit(benchmark::kMillisecond);

void BM_ReadNativeFile100k(benchmark::State& state) {
  ScriptedUserInterface ui;
  writeDocumentFile(largeDocument(100000), kPath, ui);
  for (auto _ : state) {
    CrystalDocument doc;
    benchmark::DoNotOptimize(readDocumentFile(doc, kPath, ui));
  }
}
BENCHMARK(BM_ReadNativeFile100k)->Unit(benchmark::kMillisecond);

/// What an import adds so that its document is what the native file gives back.
void BM_KeepAsNativeFileHolds100k(benchmark::State& state) {
  const CrystalDocument doc = largeDocument(100000);
  for (auto _ : state) {
    state.PauseTiming();
    CrystalDocument copy = doc;
    state.ResumeTiming();
    keepAsNativeFileHolds(copy);
    benchmark::DoNotOptimize(copy.sites[0].data());
  }
}
BENCHMARK(BM_KeepAsNativeFileHolds100k)->Unit(benchmark::kMillisecond);

/// The 100,000-atom P 1 CIF of the CIF benchmarks, as a file.
const std::filesystem::path& largeCifFile() {
  static const std::filesystem::path path = [] {
    const auto p = scratch("tessera-bench-round-trip.cif");
    std::ofstream(p, std::ios::binary) << bench::largeP1Cif(100000);
    return p;
  }();
  return path;
}

/// Open and save of the large CIF's structure through the native file.
void BM_NativeOpenSave100k(benchmark::State& state) {
  const std::string path = scratch("tessera-bench-round-trip.tsr").string();
  {
    test::TestSession s;
    if (!s.import(kKindCif, largeCifFile()) || !writeDocumentFile(s.document, path, s.ui))
      state.SkipWithError("setup");
  }
  for (auto _ : state) {
    ScriptedUserInterface ui;
    CrystalDocument doc;
    if (!readDocumentFile(doc, path, ui) || !writeDocumentFile(doc, path, ui)) state.SkipWithError("open/save");
  }
}
BENCHMARK(BM_NativeOpenSave100k)->Unit(benchmark::kMillisecond);

/// The same structure read and written as CIF.
void BM_CifImportExport100k(benchmark::State& state) {
  const auto out = scratch("tessera-bench-round-trip-out.cif");
  for (auto _ : state) {
    test::TestSession s;
    if (!s.import(kKindCif, largeCifFile())) state.SkipWithError("import");
    s.ui.files.push_back(out.string());
    if (!RunExport(s.session, *exportCommandByCliName("cif"))) state.SkipWithError("export");
  }
}
BENCHMARK(BM_CifImportExport100k)->Unit(benchmark::kMillisecond);

}  // namespace
