// Full-unit-cell transformations of quartz supercells (report included), their new
// and old lattice steps alone, and the unit-cell builder on a large P 1 structure.

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <set>

#include "core/crystal_document.h"
#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "support/structures.h"
#include "transform/new_cell_list.h"
#include "transform/transform_engine.h"
#include "transform/unit_cell.h"

namespace tessera {
namespace {

CrystalRecord crystal(const std::vector<std::string>& lines, const Cell& cell) {
  CrystalRecord c;
  c.xyzLines = lines;
  c.acentric = 1;
  c.latticeCode = 1;
  c.symmetrySource = 1;
  c.hmSymbol = lines.size() == 1 ? "P 1" : "P 32 2 1";
  c.cell = cell;
  return c;
}

const Cell kQuartzCell = {4.913f, 4.913f, 5.405f, 90 * kDegToRad, 90 * kDegToRad, 120 * kDegToRad};

/// Quartz in P 32 2 1 (9 atoms in the cell); the New crystal in P 1.
CrystalDocument quartz() {
  CrystalDocument doc;
  doc.crystals[0] =
      crystal({"X,Y,Z;", "-Y,X-Y,2/3+Z;", "-X+Y,-X,1/3+Z;", "Y,X,-Z;", "X-Y,-Y,1/3-Z;", "-X,-X+Y,2/3-Z;"}, kQuartzCell);
  doc.crystals[1] = crystal({"X,Y,Z;"}, kQuartzCell);
  doc.sites[0] = {test::makeSite("Si1", 14, 0.4697f, 0.0f, 1.0f / 6.0f),
                  test::makeSite("O1", 8, 0.4135f, 0.2669f, 0.2858f)};
  doc.documentPath = "/tmp/tessera-bench.tsr";
  return doc;
}

/// Quartz as a P 1 supercell n x n x n (9 n^3 sites).
CrystalDocument quartzP1Supercell(int n) {
  CrystalDocument base = quartz();
  std::vector<UnitCellAtom> atoms;
  ScriptedUserInterface ui;
  fillUnitCellFrom(base.crystals[0], base.sites[0], UnitCellHeading::OldCell, ui, atoms, nullptr);
  CrystalDocument doc;
  const Cell cell = {kQuartzCell[0] * n, kQuartzCell[1] * n, kQuartzCell[2] * n,
                     kQuartzCell[3],     kQuartzCell[4],     kQuartzCell[5]};
  doc.crystals[0] = crystal({"X,Y,Z;"}, cell);
  doc.crystals[1] = doc.crystals[0];
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k)
        for (const UnitCellAtom& a : atoms)
          doc.sites[0].push_back(test::makeSite(base.sites[0][static_cast<std::size_t>(a.siteIndex - 1)].label,
                                                a.typeNumber, (a.x + i) / n, (a.y + j) / n, (a.z + k) / n));
  doc.documentPath = "/tmp/tessera-bench.tsr";
  return doc;
}

void runSupercell(benchmark::State& state, CrystalDocument (*make)(), float na, float nb, float nc,
                  bool grouped = true) {
  std::size_t atoms = 0, reportBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CrystalDocument doc = make();
    doc.transformation.resetToIdentity();
    doc.transformation.matrix = {{{na, 0, 0}, {0, nb, 0}, {0, 0, nc}}};
    ScriptedUserInterface ui;
    std::string report;
    state.ResumeTiming();
    const MatrixInverse inverse = invertTransformMatrix(doc.transformation.matrix);
    if (!TransformFullCells(doc, inverse, ui, report, {"01/01/00", "00:00:00"}, grouped)) {
      const auto messages = ui.messages();
      state.SkipWithError(messages.empty() ? "failed" : messages.back().c_str());
    }
    atoms = doc.sites[1].size();
    reportBytes = report.size();
  }
  state.counters["new_cell_atoms"] = static_cast<double>(atoms);
  state.counters["report_MB"] = static_cast<double>(reportBytes) / 1e6;
}

void BM_QuartzSupercell(benchmark::State& state) {
  const float n = static_cast<float>(state.range(0));
  runSupercell(state, quartz, n, n, n);
}
BENCHMARK(BM_QuartzSupercell)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);

CrystalDocument quartz5() { return quartzP1Supercell(5); }

/// About 10,000 atoms with a small search range: the 5 x 5 x 5 P 1 block of quartz taken 2 x 2 x 2.
void BM_QuartzBlock2x2x2(benchmark::State& state) { runSupercell(state, quartz5, 2, 2, 2); }
BENCHMARK(BM_QuartzBlock2x2x2)->Unit(benchmark::kMillisecond)->Iterations(1);

/// About 100,000 atoms: a 5 x 5 x 5 P 1 block of quartz (1125 sites) taken 4 x 4 x 5.
void BM_QuartzBlock4x4x5(benchmark::State& state) { runSupercell(state, quartz5, 4, 4, 5); }
BENCHMARK(BM_QuartzBlock4x4x5)->Unit(benchmark::kMillisecond)->Iterations(1);

/// The new and old lattice steps alone on quartz n x n x n, with (1) or without (0) the
/// different-types checks and report text they make.
/// The old cell of doc and the parameters of the n x n x n supercell's new-cell steps.
NewCellTransfer supercellSteps(CrystalDocument& doc, int n, float tolerance, std::vector<UnitCellAtom>& oldCell) {
  ScriptedUserInterface ui;
  fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, oldCell, nullptr);
  const float fn = static_cast<float>(n);
  const Matrix3f m = {{{fn, 0, 0}, {0, fn, 0}, {0, 0, fn}}};
  const Cell nc = newCellParameters(doc.crystals[0].cell, m);
  NewCellTransfer p;
  p.q = invertTransformMatrix(m).inverse;
  p.tolerance = {tolerance / nc[0], tolerance / nc[1], tolerance / nc[2]};
  p.searchRange = latticeSearchRange(m);
  p.limit = 4 * oldCell.size() * static_cast<std::size_t>(n * n * n) + 1000;
  return p;
}

void BM_QuartzNewCellList(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CrystalDocument doc = quartz();
  std::vector<UnitCellAtom> oldCell;
  const NewCellTransfer p = supercellSteps(doc, n, 0.4f, oldCell);
  std::vector<UnitCellAtom> atoms;
  for (auto _ : state) {
    std::string report;
    transferToNewCell(oldCell, doc.sites[0], p, atoms, state.range(1) ? &report : nullptr);
    benchmark::DoNotOptimize(atoms.data());
  }
  state.counters["new_cell_atoms"] = static_cast<double>(atoms.size());
}
BENCHMARK(BM_QuartzNewCellList)->Args({10, 0})->Args({10, 1})->Unit(benchmark::kMillisecond)->Iterations(1);

/// The New crystal in P 1, as a supercell is described.
CrystalDocument inP1(CrystalDocument doc) {
  doc.crystals[1] = crystal({"X,Y,Z;"}, doc.crystals[0].cell);
  doc.documentPath = "/tmp/tessera-bench.tsr";
  return doc;
}
CrystalDocument rockSaltP1() { return inP1(test::rockSalt()); }
CrystalDocument corundumP1() { return inP1(test::corundum()); }

// Argument 1: repeated old-lattice images applied in groups where exact; 0: one by one.

/// 20 x 20 x 20 rock salt (64,000 atoms, 41^3 old-lattice images per entry).
void BM_RockSalt20x20x20(benchmark::State& state) { runSupercell(state, rockSaltP1, 20, 20, 20, state.range(0)); }
BENCHMARK(BM_RockSalt20x20x20)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

/// 16 x 16 x 16 rock salt (32,768 atoms, 33^3 images per entry), where images land exactly.
void BM_RockSalt16x16x16(benchmark::State& state) { runSupercell(state, rockSaltP1, 16, 16, 16, state.range(0)); }
BENCHMARK(BM_RockSalt16x16x16)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

/// 1 x 1 x 50 corundum (1,500 atoms, 101^3 old-lattice images per entry).
void BM_Corundum1x1x50(benchmark::State& state) { runSupercell(state, corundumP1, 1, 1, 50, state.range(0)); }
BENCHMARK(BM_Corundum1x1x50)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

/// 1 x 1 x 32 corundum (960 atoms, 65^3 images per entry).
void BM_Corundum1x1x32(benchmark::State& state) { runSupercell(state, corundumP1, 1, 1, 32, state.range(0)); }
BENCHMARK(BM_Corundum1x1x32)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

/// How far grouping equal images could go: over a sample of the entries of the new-cell
/// list of rock salt n x n x n, the share of old-lattice images whose value repeats,
/// bit for bit, an earlier image of the same entry, and the share equal to an entry.
void BM_RockSaltImageRepeats(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CrystalDocument doc = rockSaltP1();
  std::vector<UnitCellAtom> oldCell;
  const NewCellTransfer p = supercellSteps(doc, n, 0.4f, oldCell);
  std::vector<UnitCellAtom> atoms;
  transferToNewCell(oldCell, doc.sites[0], p, atoms, nullptr);
  const auto key = [](float x, float y, float z) {
    std::uint32_t b[3];
    std::memcpy(&b[0], &x, 4);
    std::memcpy(&b[1], &y, 4);
    std::memcpy(&b[2], &z, 4);
    return (static_cast<unsigned __int128>(b[0]) << 64) | (static_cast<unsigned __int128>(b[1]) << 32) | b[2];
  };
  std::set<unsigned __int128> entries;
  for (const UnitCellAtom& a : atoms) entries.insert(key(a.x, a.y, a.z));
  double images = 0, repeats = 0, onEntry = 0;
  for (auto _ : state) {
    for (std::size_t e = 0; e < atoms.size(); e += 97) {
      std::set<unsigned __int128> seen;
      const int r = p.searchRange;
      for (int i = -r; i <= r; ++i)
        for (int j = -r; j <= r; ++j)
          for (int k = -r; k <= r; ++k) {
            const Vector3f o = latticeOffset(p.q, i, j, k);
            const unsigned __int128 y = key(reduceIntoCell(atoms[e].x + o[0]), reduceIntoCell(atoms[e].y + o[1]),
                                            reduceIntoCell(atoms[e].z + o[2]));
            images += 1;
            repeats += seen.insert(y).second ? 0 : 1;
            onEntry += entries.count(y);
          }
    }
  }
  state.counters["new_cell_atoms"] = static_cast<double>(atoms.size());
  state.counters["images_sampled"] = images;
  state.counters["repeat_share"] = repeats / images;
  state.counters["equal_to_entry_share"] = onEntry / images;
}
BENCHMARK(BM_RockSaltImageRepeats)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FillUnitCellP1(benchmark::State& state) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> u(0.0f, 0.99f);
  std::vector<Site> sites;
  for (int i = 0; i < state.range(0); ++i)
    sites.push_back(test::makeSite(format("C%d", i + 1), 6, u(rng), u(rng), u(rng)));
  CrystalRecord c = crystal({"X,Y,Z;"}, {20, 20, 20, 90 * kDegToRad, 90 * kDegToRad, 90 * kDegToRad});
  ScriptedUserInterface ui;
  std::vector<UnitCellAtom> atoms;
  const bool withReport = state.range(1) != 0;
  for (auto _ : state) {
    std::string report;
    fillUnitCellFrom(c, sites, UnitCellHeading::OldCell, ui, atoms, withReport ? &report : nullptr);
    benchmark::DoNotOptimize(atoms.data());
  }
  state.counters["atoms"] = static_cast<double>(atoms.size());
}
BENCHMARK(BM_FillUnitCellP1)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessera
