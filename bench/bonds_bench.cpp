// Coordination spheres of every atom of large P 1 structures at 2.6 A: the
// spheres alone, and the whole BONDS.OUT text. The atoms are spread at the
// density of quartz (about 0.08 per cubic Angstrom), so the cell grows with them.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "bonds/bond_calculation.h"
#include "bonds/sphere_search.h"
#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "support/structures.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {
namespace {

constexpr double kDensity = 9.0 / 112.9;  // quartz: 9 atoms in 112.9 A^3

CrystalDocument randomStructure(int count) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  const float edge = static_cast<float>(std::cbrt(count / kDensity));
  std::vector<Site> sites;
  sites.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) sites.push_back(test::makeSite(format("C%d", i + 1), 6, u(rng), u(rng), u(rng)));
  CrystalDocument doc = test::makeDocument("P 1", {"X,Y,Z;"}, 1, 1, {edge, edge * 1.05f, edge * 0.95f, 88, 92, 95}, sites);
  ScriptedUserInterface ui;
  BuildSymmetryMatrices(doc.crystals[0], ui);
  return doc;
}

void allSpheres(benchmark::State& state) {
  const CrystalDocument doc = randomStructure(static_cast<int>(state.range(0)));
  const BondMetric metric = *bondMetric(doc.crystals[0].cell);
  std::size_t entries = 0;
  for (auto _ : state) {
    const SphereSearch search(doc.crystals[0], doc.sites[0], metric, 2.6f);
    entries = 0;
    for (int c = 0; c < doc.siteCount(); ++c) entries += search.sphereOf(c).entries.size();
    benchmark::DoNotOptimize(entries);
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(allSpheres)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void wholeListing(benchmark::State& state) {
  CrystalDocument doc = randomStructure(static_cast<int>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    ScriptedUserInterface ui;
    std::string out;
    calculateBonds(doc, -1, BondParameters{}, ui, out);
    bytes = out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(wholeListing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace tessera
