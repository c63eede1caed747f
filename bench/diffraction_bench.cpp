// Structure factors per atom-reflection term, the powder pattern of a 50-site
// P 21/c structure to 120 degrees 2-theta, and a precession layer of a 1,000-atom cell.

#include <benchmark/benchmark.h>

#include <random>

#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "diffraction/pattern_models.h"
#include "diffraction/powder.h"
#include "diffraction/precession.h"
#include "diffraction/structure_factor.h"
#include "support/data_table.h"
#include "support/structures.h"

namespace tessera {
namespace {

/// 50 sites in general positions of P 1 21/c 1 (200 atoms in the cell), a third anisotropic.
CrystalDocument monoclinic50() {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(0.0f, 0.99f);
  const int types[] = {6, 7, 8, 16};
  std::vector<Site> sites;
  for (int i = 0; i < 50; ++i) {
    Site s = test::makeSite(format("A%d", i + 1), types[i % 4], u(rng), u(rng), u(rng), 1.5f);
    if (i % 3 == 0) {
      s.ortepType = 8;
      s.tfClass = 2;
      s.aniso = {0.02f, 0.025f, 0.03f, 0.002f, 0.004f, -0.001f};
    }
    sites.push_back(s);
  }
  return test::makeDocument("P 1 21/c 1", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, {12, 15, 16, 90, 100, 90}, sites);
}

void BM_StructureFactorTerms(benchmark::State& state) {
  CrystalDocument doc = monoclinic50();
  doc.powderSettings.twoThetaMax = 120;
  ScriptedUserInterface ui;
  const PowderPattern p = calculatePowder(doc, test::dataTable(), ui);
  std::vector<UnitCellAtom> atoms;
  fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, atoms, nullptr);
  StructureFactorCalculator calc(doc.crystals[0], doc.sites[0], atoms, test::dataTable(), false, 2.0);
  int hmax = 0, kmax = 0, lmax = 0;
  for (const Reflection& r : p.reflections) {
    hmax = std::max(hmax, std::abs(r.h));
    kmax = std::max(kmax, std::abs(r.k));
    lmax = std::max(lmax, std::abs(r.l));
  }
  calc.prepareIndexRange(hmax, kmax, lmax);
  double sum = 0;
  for (auto _ : state)
    for (const Reflection& r : p.reflections) sum += calc.compute(r.h, r.k, r.l, r.d).f2();
  benchmark::DoNotOptimize(sum);
  const double terms = static_cast<double>(p.reflections.size()) * calc.atomCount();
  state.counters["reflections"] = static_cast<double>(p.reflections.size());
  state.counters["ns_per_term"] =
      benchmark::Counter(terms * static_cast<double>(state.iterations()) * 1e-9, benchmark::Counter::kIsRate |
                                                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_StructureFactorTerms)->Unit(benchmark::kMillisecond);

void BM_PowderPattern50Sites(benchmark::State& state) {
  CrystalDocument doc = monoclinic50();
  doc.powderSettings.twoThetaMax = 120;
  ScriptedUserInterface ui;
  std::size_t count = 0;
  for (auto _ : state) {
    const PowderPattern p = calculatePowder(doc, test::dataTable(), ui);
    count = p.reflections.size();
    benchmark::DoNotOptimize(powderCurve(p).ymax);
  }
  state.counters["reflections"] = static_cast<double>(count);
}
BENCHMARK(BM_PowderPattern50Sites)->Unit(benchmark::kMillisecond);

void BM_PrecessionLayer1000Atoms(benchmark::State& state) {
  CrystalDocument doc = test::randomP1(1000, 3);
  PrecessionDialogModel model;
  model.loadFrom(doc);
  model.applyTo(doc);
  ScriptedUserInterface ui;
  std::size_t spots = 0;
  for (auto _ : state) spots = calculatePrecession(doc, test::dataTable(), ui).spots.size();
  state.counters["spots"] = static_cast<double>(spots);
}
BENCHMARK(BM_PrecessionLayer1000Atoms)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessera
