// Precession geometry, recorded points, spot sizes at the edges and the read-out.
#include <gtest/gtest.h>

#include <cmath>

#include "core/scripted_user_interface.h"
#include "diffraction/pattern_models.h"
#include "diffraction/precession.h"
#include "reference_sum.h"
#include "support/structures.h"

namespace tessera {
namespace {

using test::dataTable;

PrecessionPattern run(CrystalDocument& doc, int horizontal, int other, int level) {
  PrecessionDialogModel model;
  model.loadFrom(doc);
  model.values.horizontalAxis = horizontal;
  model.values.otherAxis = other;
  model.values.level = level;
  model.applyTo(doc);
  ScriptedUserInterface ui;
  return calculatePrecession(doc, dataTable(), ui);
}

TEST(Precession, AxesAndOuterRadii) {
  EXPECT_EQ(normalAxisFor(0, 1), 2);
  EXPECT_EQ(normalAxisFor(1, 2), 0);
  EXPECT_EQ(normalAxisFor(2, 0), 1);
  CrystalDocument doc = test::rockSalt();
  PrecessionPattern p = run(doc, 0, 1, 0);
  EXPECT_NEAR(p.geometry.rOut, 1.4071, 1e-4);
  // Level 1: the annulus |R - sin mu| <= rho <= R + sin mu is recorded.
  p = run(doc, 0, 1, 1);
  const PrecessionGeometry& g = p.geometry;
  const double zeta = 0.7107 / 5.64, q = std::cos(M_PI / 6) - zeta, r = std::sqrt(1 - q * q);
  EXPECT_NEAR(g.zeta, zeta, 1e-6);
  EXPECT_NEAR(g.rOut, (r + 0.5) / 0.7107, 1e-5);
  int expected = 0;
  for (int i = -20; i <= 20; ++i)
    for (int j = -20; j <= 20; ++j) {
      const double rho = 0.7107 * std::hypot(i / 5.64, j / 5.64);
      expected += rho >= std::abs(r - 0.5) && rho <= r + 0.5;
    }
  EXPECT_EQ(static_cast<int>(p.spots.size()), expected);
  // A layer beyond 1 + cos(mu) cannot be recorded.
  p = run(doc, 0, 1, 100);
  EXPECT_FALSE(p.geometry.recordable);
  EXPECT_TRUE(p.spots.empty());
}

TEST(Precession, OriginAndEmptyStructureGiveFiniteSpots) {
  CrystalDocument doc = test::rockSalt();
  PrecessionPattern p = run(doc, 0, 1, 0);
  bool origin = false;
  for (const PrecessionSpot& s : p.spots) {
    EXPECT_TRUE(std::isfinite(s.radius));
    if (s.i == 0 && s.j == 0) {
      origin = true;
      EXPECT_TRUE(s.blind);
      EXPECT_NEAR(s.radius, p.spotScale * s.absF * 2.0, 1e-12);
    }
  }
  EXPECT_TRUE(origin);
  for (Site& s : doc.sites[0]) s.occupants[0].occupancy = 0;
  p = run(doc, 0, 1, 0);
  EXPECT_EQ(p.spotScale, 0);
  for (const PrecessionSpot& s : p.spots) EXPECT_EQ(s.radius, 0);
}

TEST(Precession, ObliqueNormalAxisAndIndexRange) {
  // Quartz about a*: the layers lie n lambda / a apart and are shifted in the plane.
  CrystalDocument doc = test::quartz();
  PrecessionPattern p = run(doc, 1, 2, 1);
  const PrecessionGeometry& g = p.geometry;
  EXPECT_NEAR(g.zeta, 0.7107 / 4.913, 1e-6);
  EXPECT_GT(std::hypot(g.offsetX, g.offsetY), 0.01);
  // Every lattice point of the layer inside the annulus is there, however wide the search.
  int expected = 0;
  for (int i = -60; i <= 60; ++i)
    for (int j = -60; j <= 60; ++j) {
      const auto [x, y] = g.position(i, j);
      const double rho = g.lambda * std::hypot(x, y);
      expected += std::hypot(x, y) <= g.rOut && rho >= g.rIn;
    }
  EXPECT_EQ(static_cast<int>(p.spots.size()), expected);
  for (const PrecessionSpot& s : p.spots) {
    EXPECT_EQ(s.h, 1);
    EXPECT_NEAR(s.absF, std::abs(test::referenceF(doc, dataTable(), s.h, s.k, s.l)), 1e-3);
  }
}

TEST(Precession, ExtinctionsLpAndReadout) {
  CrystalDocument doc = test::rockSalt();
  doc.precessionSettings.showExtinctions = 1;
  PrecessionPattern p = run(doc, 0, 1, 0);
  for (const PrecessionSpot& s : p.spots) EXPECT_EQ(s.absent, s.i % 2 != 0 || s.j % 2 != 0) << s.i << " " << s.j;
  const auto text = precessionReadout(p, 2 / 5.64, 2 / 5.64, 0);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->substr(0, 24), "Indices: 2  2  0 \nd-spac");
  EXPECT_FALSE(precessionReadout(p, 2.5 / 5.64, 2 / 5.64, 0).has_value());  // between points
  // A rim point that rounding puts a hair outside r_out is still read with the slack.
  const int rim = static_cast<int>(p.geometry.rOut / p.geometry.a);
  p.geometry.rOut = rim * p.geometry.a - 1e-4;
  EXPECT_FALSE(precessionReadout(p, rim * p.geometry.a, 0, 0).has_value());
  EXPECT_TRUE(precessionReadout(p, rim * p.geometry.a, 0, 2e-4).has_value());
  doc.precessionSettings.useLp = 0;
  p = run(doc, 0, 1, 0);
  for (const PrecessionSpot& s : p.spots) EXPECT_FALSE(s.blind);
}

}  // namespace
}  // namespace tessera
