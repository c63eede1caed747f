// Reading and writing a native document of 100,000 sites.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "support/builders.h"

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

const std::string kPath = (std::filesystem::temp_directory_path() / "tessera-bench.tsr").string();

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

}  // namespace
