#pragma once
// Round trips through the Rietveld formats: the structure written and read back
// compared as cell, whole symmetry group, atoms, occupancies and displacements.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "core/scripted_user_interface.h"
#include "core/temperature_factor.h"
#include "formats/import_finish.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera::test {

/// Every operation of a crystal's group (operators, inversion, centring) as text in twelfths.
inline std::set<std::string> groupOperations(CrystalRecord c) {
  ScriptedUserInterface ui;
  BuildSymmetryMatrices(c, ui);
  std::set<std::string> out;
  for (int k = 0; k < usableOperatorCount(c); ++k)
    for (float sign : {1.0f, -1.0f}) {
      if (sign < 0 && !appliesInversion(c)) continue;
      for (const Vector3f& l : centringTranslations(c.latticeCode)) {
        const SymmetryOperator& op = c.operators[static_cast<std::size_t>(k)];
        std::string text;
        for (std::size_t r = 0; r < 3; ++r) {
          const long t = std::lround((sign * op.translation[r] + l[r]) * 12.0f);
          text += std::to_string(((t % 12) + 12) % 12);
          for (std::size_t col = 0; col < 3; ++col) text += " " + std::to_string(std::lround(sign * op.rotation[r][col]));
          text += ";";
        }
        out.insert(text);
      }
    }
  return out;
}

/// Tolerances of one format: cell edges (A), angles (radians), coordinates, occupancies, U values.
struct RoundTripPrecision {
  float edge = 1e-5f, angle = 3e-6f, coordinate = 5e-6f, occupancy = 1e-4f, u = 1e-6f;
};

/// The structure read back equals the one written within the format's precision.
inline void expectSameStructure(const CrystalDocument& written, const CrystalDocument& read,
                                const RoundTripPrecision& p) {
  const CrystalRecord& a = written.crystals[0];
  const CrystalRecord& b = read.crystals[0];
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(b.cell[k], a.cell[k], p.edge) << "edge " << k;
  for (std::size_t k = 3; k < 6; ++k) EXPECT_NEAR(b.cell[k], a.cell[k], p.angle) << "angle " << k;
  EXPECT_EQ(groupOperations(b), groupOperations(a));
  EXPECT_EQ(generalMultiplicity(b), generalMultiplicity(a));
  const ReciprocalCell ra = prepareReciprocalCell(a.cell), rb = prepareReciprocalCell(b.cell);
  ASSERT_EQ(read.sites[0].size(), written.sites[0].size());
  for (std::size_t i = 0; i < written.sites[0].size(); ++i) {
    const Site& s = written.sites[0][i];
    const Site& t = read.sites[0][i];
    SCOPED_TRACE(s.label);
    EXPECT_EQ(t.label, s.label);
    EXPECT_EQ(t.typeNumber, s.typeNumber);
    EXPECT_NEAR(t.x, s.x, p.coordinate);
    EXPECT_NEAR(t.y, s.y, p.coordinate);
    EXPECT_NEAR(t.z, s.z, p.coordinate);
    ASSERT_EQ(t.occupants.size(), s.occupants.size());
    for (std::size_t k = 0; k < s.occupants.size(); ++k)
      EXPECT_NEAR(t.occupants[k].occupancy, s.occupants[k].occupancy, p.occupancy);
    EXPECT_EQ(t.tfClass, s.tfClass);
    const int form = s.tfClass == 2 ? 8 : 10;
    const TemperatureFactor u = convertTemperatureFactor(s, form, ra), v = convertTemperatureFactor(t, form, rb);
    EXPECT_EQ(v.type, u.type);
    if (form == 10) EXPECT_NEAR(v.iso, u.iso, p.u);
    else
      for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(v.aniso[k], u.aniso[k], p.u) << "U" << k;
  }
}

}  // namespace tessera::test
