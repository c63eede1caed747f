// Reflection tests against an enumeration of orbits over all 530 settings, the
// index bounds of oblique cells and d-spacings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "core/scripted_user_interface.h"
#include "diffraction/reflections.h"
#include "symmetry/sg_group.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"
#include "support/structures.h"

namespace tessera {
namespace {

using Hkl = std::array<int, 3>;

Hkl times(const Hkl& h, const std::array<int, 9>& r, int sign) {
  return {sign * (h[0] * r[0] + h[1] * r[3] + h[2] * r[6]), sign * (h[0] * r[1] + h[1] * r[4] + h[2] * r[7]),
          sign * (h[0] * r[2] + h[1] * r[5] + h[2] * r[8])};
}

/// The orbit of h under the point group and Friedel's law.
std::set<Hkl> orbit(const SgInfo& sg, const Hkl& h) {
  std::set<Hkl> out;
  for (const SeitzMx& op : sg.listSeitzMx) {
    out.insert(times(h, op.rotation, 1));
    out.insert(times(h, op.rotation, -1));
  }
  return out;
}

/// Absent when some operator of the full group (centring and inversion included) keeps
/// h and shifts its phase.
bool absentByEnumeration(const SgInfo& sg, const Hkl& h) {
  for (const SeitzMx& op : sg.listSeitzMx)
    for (int sign = 1; sign >= (sg.centric == -1 ? -1 : 1); sign -= 2) {
      if (times(h, op.rotation, sign) != h) continue;
      for (const auto& c : sg.lattice->translations) {
        const int p = sign * (h[0] * (op.translation[0] + c[0]) + h[1] * (op.translation[1] + c[1]) +
                              h[2] * (op.translation[2] + c[2]));
        if (mod12(p) != 0) return true;
      }
    }
  return false;
}

TEST(ReflectionRules, EveryOrbitOnceWithItsMultiplicityInAllSettings) {
  constexpr int n = 4;
  for (const TabSgName& row : tabSgNames()) {
    SgInfo sg;
    ASSERT_EQ(BuildSgInfoFromHall(row.HallSymbol, sg), 0) << row.HallSymbol;
    const ReflectionRules rules(sg);
    const Hkl lower = rules.lowerBounds(n, n, n), upper{n, n, n};
    std::map<Hkl, int> listed;  // representative -> multiplicity
    for (int h = lower[0]; h <= n; ++h)
      for (int k = lower[1]; k <= n; ++k)
        for (int l = lower[2]; l <= n; ++l) {
          if ((h == 0 && k == 0 && l == 0) || rules.isAbsent(h, k, l)) continue;
          EXPECT_FALSE(rules.hasInconsistentRestriction(h, k, l)) << row.HallSymbol;
          if (!rules.isSuppressed(h, k, l, lower, upper)) listed[{h, k, l}] = rules.multiplicity(h, k, l);
        }
    std::set<Hkl> covered;
    for (const auto& [hkl, m] : listed) {
      const std::set<Hkl> o = orbit(sg, hkl);
      EXPECT_EQ(m, static_cast<int>(o.size())) << row.HallSymbol << " " << hkl[0] << hkl[1] << hkl[2];
      for (const Hkl& e : o) EXPECT_TRUE(covered.insert(e).second) << row.HallSymbol << " orbit listed twice";
    }
    // Every present orbit lying wholly in the cube is represented; absence agrees.
    for (int h = -n; h <= n; ++h)
      for (int k = -n; k <= n; ++k)
        for (int l = -n; l <= n; ++l) {
          const Hkl hkl{h, k, l};
          if (hkl == Hkl{0, 0, 0}) continue;
          const bool absent = absentByEnumeration(sg, hkl);
          ASSERT_EQ(rules.isAbsent(h, k, l), absent) << row.HallSymbol << " " << h << k << l;
          const std::set<Hkl> o = orbit(sg, hkl);
          const bool inCube = std::all_of(o.begin(), o.end(), [](const Hkl& e) {
            return std::abs(e[0]) <= n && std::abs(e[1]) <= n && std::abs(e[2]) <= n;
          });
          if (inCube && !absent) {
            EXPECT_TRUE(covered.count(hkl)) << row.HallSymbol << " misses " << h << k << l;
          }
        }
  }
}

TEST(ReflectionRules, AbsentReflectionsRaiseNoConsistencyError) {
  // (0 1 0) of P 21 21 21: two -h operators with different restrictions precede the one that extinguishes it.
  SgInfo sg;
  ASSERT_EQ(BuildSgInfoFromSymbol("P 21 21 21", 'A', sg), 0);
  const ReflectionRules rules(sg);
  EXPECT_TRUE(rules.isAbsent(0, 1, 0));
  EXPECT_FALSE(rules.isAbsent(0, 2, 0));
  EXPECT_EQ(rules.multiplicity(0, 2, 0), 2);
  EXPECT_EQ(rules.multiplicity(1, 2, 3), 8);
}

TEST(ReflectionRules, DSpacingsAndIndexBounds) {
  const std::array<float, 6> cubic{4, 4, 4, 1.5707964f, 1.5707964f, 1.5707964f};
  EXPECT_NEAR(dSpacing(cubic, 1, 0, 0), 4.0, 1e-6);
  EXPECT_NEAR(dSpacing(cubic, 1, 1, 0), 2.828427, 1e-6);
  EXPECT_NEAR(dSpacing(cubic, 1, 1, 1), 2.309401, 1e-6);
  // An oblique P 21/c cell (beta 125 degrees): with the bounds from a, b, c every
  // reflection up to 90 degrees 2-theta is found, none with an index at the bound.
  CrystalDocument doc = test::monoclinic();
  doc.crystals[0].cell[4] = 125 * 0.017453292f;
  const double lambda = 1.541783, sMax = std::sin(45 * 0.017453292519943295) / lambda;
  const std::array<int, 3> upper = indexBounds(doc.crystals[0].cell, sMax);
  ScriptedUserInterface ui;
  const auto list = buildReflectionList(doc.crystals[0], upper, lambda, 45, ui);
  const auto wide = buildReflectionList(doc.crystals[0], {upper[0] + 6, upper[1] + 6, upper[2] + 6}, lambda, 45, ui);
  EXPECT_EQ(list.size(), wide.size());
  EXPECT_TRUE(ui.messages().empty());
  // Sorted by decreasing d, ties in enumeration order.
  for (std::size_t i = 1; i < list.size(); ++i) EXPECT_GE(list[i - 1].d, list[i].d);
}

}  // namespace
}  // namespace tessera
