// |F| of real structures against the exact sum, the temperature-factor forms, and
// the scattering table they take their amplitudes from.
#include <gtest/gtest.h>

#include <cmath>

#include "core/scripted_user_interface.h"
#include "diffraction/powder.h"
#include "diffraction/scattering_table.h"
#include "diffraction/structure_factor.h"
#include "reference_sum.h"
#include "support/data_table.h"
#include "support/structures.h"

namespace tessera {
namespace {

using test::dataTable;

/// Every listed |F| of the pattern agrees with the exact sum (relative 1e-4, floor 1e-3 of the largest).
void expectMatchesReference(CrystalDocument doc, float twoThetaMax, int minimumCount) {
  ScriptedUserInterface ui;
  doc.powderSettings.twoThetaMax = twoThetaMax;
  const PowderPattern p = calculatePowder(doc, dataTable(), ui);
  ASSERT_GE(static_cast<int>(p.reflections.size()), minimumCount) << doc.crystals[0].hmSymbol;
  std::vector<double> exact;
  double largest = 0;
  for (const Reflection& r : p.reflections) {
    exact.push_back(std::abs(test::referenceF(doc, dataTable(), r.h, r.k, r.l)));
    largest = std::max(largest, exact.back());
  }
  for (std::size_t i = 0; i < exact.size(); ++i) {
    const Reflection& r = p.reflections[i];
    EXPECT_NEAR(r.absF, exact[i], std::max(1e-4 * exact[i], 1e-3 * largest))
        << doc.crystals[0].hmSymbol << " " << r.h << " " << r.k << " " << r.l;
  }
  EXPECT_TRUE(ui.messages().empty());
}

TEST(StructureFactor, RealStructuresAgreeWithTheExactSum) {
  expectMatchesReference(test::rockSalt(), 120, 10);
  expectMatchesReference(test::quartz(), 120, 60);
  expectMatchesReference(test::corundum(), 120, 40);
  expectMatchesReference(test::monoclinic(), 120, 300);
}

TEST(StructureFactor, AnisotropicTensorsTurnWithTheOperator) {
  CrystalDocument doc = test::monoclinic();
  ScriptedUserInterface ui;
  std::vector<UnitCellAtom> atoms;
  fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, atoms, nullptr);
  StructureFactorCalculator calc(doc.crystals[0], doc.sites[0], atoms, dataTable(), false, 2.0);
  calc.prepareIndexRange(3, 3, 3);  // (4 4 -1) lies outside the tables: the direct sum answers
  // Equivalent under the 2-fold and the glide: (4 4 -1), (-4 4 1), (4 -4 -1).
  const double d = 1.0;
  const double f1 = calc.compute(4, 4, -1, d).f2(), f2 = calc.compute(-4, 4, 1, d).f2(),
               f3 = calc.compute(4, -4, -1, d).f2();
  EXPECT_NEAR(f1, f2, 1e-6 * f1);  // single-precision coordinates
  EXPECT_NEAR(f1, f3, 1e-6 * f1);
  // Tables and direct sum agree.
  calc.prepareIndexRange(5, 5, 5);
  EXPECT_NEAR(calc.compute(4, 4, -1, d).f2(), f1, 1e-9 * f1);
}

TEST(StructureFactor, TemperatureFactorForms) {
  Site s;
  s.aniso = {0.01f, 0.02f, 0.03f, 0.004f, 0.005f, 0.006f};
  const std::array<double, 3> r{0.2, 0.25, 0.5};
  const auto q = [](const SiteDisplacement& d, int h, int k, int l) {
    const int v[3] = {h, k, l};
    double sum = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) sum += d.beta[static_cast<std::size_t>(3 * i + j)] * v[i] * v[j];
    return sum;
  };
  const double x11 = 0.01, x22 = 0.02, x33 = 0.03, x12 = 0.004, x13 = 0.005, x23 = 0.006;
  const double plain = x11 * 1 + x22 * 4 + x33 * 9 + 2 * (x12 * 2 + x13 * 3 + x23 * 6);
  const double half = x11 * 1 + x22 * 4 + x33 * 9 + (x12 * 2 + x13 * 3 + x23 * 6);
  const double star = x11 * 1 * 0.04 + x22 * 4 * 0.0625 + x33 * 9 * 0.25 +
                      2 * (x12 * 2 * 0.05 + x13 * 3 * 0.1 + x23 * 6 * 0.125);
  const struct {
    int type;
    double q;
  } cases[] = {{0, plain},         {1, half},         {2, std::log(2.0) * plain},
               {3, std::log(2.0) * half}, {4, 0.25 * star}, {8, 19.739208802178716 * star}};
  for (const auto& c : cases) {
    s.ortepType = c.type;
    EXPECT_NEAR(q(siteDisplacement(s, r, 2.0), 1, 2, 3), c.q, 1e-6) << c.type;
  }
  s.ortepType = -1;
  EXPECT_DOUBLE_EQ(siteDisplacement(s, r, 0.0).b, 0.0);  // no factor, default B 0: T = 1
  s.ortepType = 10;
  s.isoValue = 0.01f;
  EXPECT_NEAR(siteDisplacement(s, r, 2.0).b, 0.7895683, 1e-6);
  s.ortepType = 7;
  EXPECT_FALSE(siteDisplacement(s, r, 2.0).anisotropic);
  EXPECT_DOUBLE_EQ(siteDisplacement(s, r, 2.0).b, 0.0);
}

TEST(ScatteringTable, RecordsAreCheckedByTheirClosingNumber) {
  const std::string ok = "1 H 1 2 3 4 5 6 7 8 9 10 1\n2 He\n 1 2 3 4 5 6 7 8 9 10\n 2 3 Li 1 2 3 4 5 6 7 8 9 10 3\n";
  ScriptedUserInterface ui;
  ScatteringTable table;
  readScatteringTable(ok, table, ui);
  EXPECT_EQ(table.rowCount(), 3);
  EXPECT_TRUE(ui.messages().empty());
  readScatteringTable("1 H 1 2 3 4 5 6 7 8 9 10 1\n2 He 1 2 3 4 5 6 7 8 9 10 2\n3 Li 1 2 3 4 5 6 7 8 9 10 5\n", table, ui);
  EXPECT_EQ(table.rowCount(), 2);
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Missing or extra scattering factor"});
  // Nine numbers: the closing number is swallowed as bn and the next record's number fails the check.
  ui.events.clear();
  readScatteringTable("1 H 1 2 3 4 5 6 7 8 9 1\n2 He 1 2 3 4 5 6 7 8 9 10 2\n", table, ui);
  EXPECT_EQ(table.rowCount(), 0);
  EXPECT_EQ(ui.messages().size(), 1u);
  // Eleven numbers fail the same way.
  ui.events.clear();
  readScatteringTable("1 H 1 2 3 4 5 6 7 8 9 10 11.5 1\n", table, ui);
  EXPECT_EQ(ui.messages().size(), 1u);
  // A missing file keeps the previous table.
  ScatteringTable kept;
  readScatteringTable(ok, kept, ui);
  loadScatteringTable("/nonexistent-folder", kept, ui);
  EXPECT_EQ(kept.rowCount(), 3);
  EXPECT_TRUE(ui.saw("Scattering factor file open failed"));
}

TEST(ScatteringTable, ShippedTableAndAmplitudes) {
  const ScatteringTable& t = test::dataTable();
  ASSERT_EQ(t.rowCount(), 98);
  EXPECT_NEAR(xrayFormFactor(t, 26, 0), 26, 0.05);  // iron: its electrons at s = 0
  EXPECT_NEAR(neutronLength(t, 26), 0.945, 1e-6);  // 9.45 fm in units of 10 fm
  EXPECT_EQ(xrayFormFactor(t, 0, 0), 0);
  EXPECT_EQ(neutronLength(t, 99), 0);
  // Two half occupants of one kind scatter as one whole.
  Site whole = test::makeSite("Fe1", 26, 0, 0, 0);
  whole.normaliseOccupants(0);
  Site halves = whole;
  halves.occupants[0].occupancy = 0.5f;
  halves.occupants.push_back(halves.occupants[0]);
  EXPECT_NEAR(siteAmplitude(t, halves, 0.1, false), siteAmplitude(t, whole, 0.1, false), 1e-9);
  EXPECT_NEAR(siteAmplitude(t, halves, 0.1, true), siteAmplitude(t, whole, 0.1, true), 1e-9);
}

}  // namespace
}  // namespace tessera
