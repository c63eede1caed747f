// |F| of rock salt by hand, tensors under the operators, and the temperature-factor forms.
#include <gtest/gtest.h>

#include <cmath>

#include "core/scripted_user_interface.h"
#include "diffraction/powder.h"
#include "diffraction/structure_factor.h"
#include "support/data_table.h"
#include "support/structures.h"

namespace tessera {
namespace {

using test::dataTable;

TEST(StructureFactor, RockSaltAgreesWithTheSumByHand) {
  // Na at 0 0 0 and Cl at 1/2 1/2 1/2 under F centring, B = 1: F = 4 (f_Na + f_Cl) T with
  // h k l all even and 4 (f_Na - f_Cl) T all odd, T = exp(-B s^2). The other structures'
  // |F| and phases are pinned by the golden listings.
  const ScatteringTable& t = dataTable();
  const auto xray = [&t](int z, double s2) {
    const auto& v = t.rows[static_cast<std::size_t>(z - 1)].values;
    double f = v[8];
    for (std::size_t n = 0; n < 4; ++n) f += v[2 * n] * std::exp(-v[2 * n + 1] * s2);
    return f;
  };
  for (bool neutron : {false, true}) {
    CrystalDocument doc = test::rockSalt();
    doc.powderSettings.radiationMode = neutron ? kNeutronMode : 0;
    doc.powderSettings.specifiedWavelength = 1.5f;
    doc.powderSettings.twoThetaMax = 120;
    ScriptedUserInterface ui;
    const PowderPattern p = calculatePowder(doc, t, ui);
    ASSERT_GE(p.reflections.size(), 10u);
    for (const Reflection& r : p.reflections) {
      const double s2 = (r.h * r.h + r.k * r.k + r.l * r.l) / (4 * 5.64 * 5.64);
      // Neutron lengths in fm, the table's in units of 10 fm.
      const double na = neutron ? 10 * t.rows[10].values[9] : xray(11, s2);
      const double cl = neutron ? 10 * t.rows[16].values[9] : xray(17, s2);
      const double f = 4 * (r.h % 2 ? na - cl : na + cl) * std::exp(-s2);
      EXPECT_NEAR(r.absF, std::fabs(f), 1e-4 * std::fabs(f)) << neutron << " " << r.h << r.k << r.l;
      EXPECT_NEAR(std::fabs(r.phase), f < 0 ? M_PI : 0, 1e-4) << r.h << r.k << r.l;
    }
  }
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

}  // namespace
}  // namespace tessera
