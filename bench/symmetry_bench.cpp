// Space-group engine: building every table setting from its Hall symbol, and
// the operator-text parser and formatter.

#include <benchmark/benchmark.h>

#include "core/text.h"
#include "support/builders.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

namespace {

using namespace tessera;

// Parse, close, complete and write the Hall symbol again for all 530 settings.
void BM_BuildAllSettings(benchmark::State& state) {
  const auto& rows = tabSgNames();
  for (auto _ : state) {
    int rebuilt = 0;
    for (const TabSgName& row : rows) {
      SgInfo sg;
      rebuilt += BuildSgInfoFromHall(row.HallSymbol, sg) == 0 && sg.HallSymbol == row.HallSymbol;
    }
    if (rebuilt != 530) state.SkipWithError("a setting did not rebuild");
    benchmark::DoNotOptimize(rebuilt);
  }
}
BENCHMARK(BM_BuildAllSettings)->Unit(benchmark::kMillisecond);

// The same settings built from their listed operators, with the origin-shift search.
void BM_IdentifyAllSettingsFromOperators(benchmark::State& state) {
  std::vector<SgInfo> groups(tabSgNames().size());
  for (std::size_t i = 0; i < groups.size(); ++i) BuildSgInfoFromHall(tabSgNames()[i].HallSymbol, groups[i]);
  for (auto _ : state) {
    int named = 0;
    for (const SgInfo& g : groups) {
      SgInfo sg;
      named += test::groupFromOperators(g, sg) == 0 && sg.tabSgName != nullptr;
    }
    benchmark::DoNotOptimize(named);
  }
}
BENCHMARK(BM_IdentifyAllSettingsFromOperators)->Unit(benchmark::kMillisecond);

// 100,000 operator texts parsed and written again.
void BM_ParseAndFormatOperators(benchmark::State& state) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; texts.size() < 100000; i = (i + 1) % tabSgNames().size()) {
    SgInfo sg;
    BuildSgInfoFromHall(tabSgNames()[i].HallSymbol, sg);
    for (const std::string& line : listedOperatorLines(sg, false))
      if (texts.size() < 100000) texts.push_back(toLower(line));
  }
  for (auto _ : state) {
    std::size_t length = 0;
    for (const std::string& text : texts) {
      SeitzMx m;
      if (ParseSymXYZ(text, m, STBF) == 0) length += RTMx2XYZ(m)->size();
    }
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 100000);
}
BENCHMARK(BM_ParseAndFormatOperators)->Unit(benchmark::kMillisecond);

}  // namespace
