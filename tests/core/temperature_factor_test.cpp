#include <gtest/gtest.h>

#include <cmath>

#include "core/temperature_factor.h"

namespace tessera {
namespace {

Site withFactor(int type, std::array<float, 6> values, float iso = 0.0f) {
  Site s;
  s.ortepType = type;
  s.aniso = values;
  s.isoValue = iso;
  return s;
}

const Cell kCubic = {5, 5, 5, kRightAngle, kRightAngle, kRightAngle};
const Cell kMonoclinic = {5.1f, 6.3f, 7.7f, kRightAngle, 103.0f * kDegToRad, kRightAngle};
const Cell kTriclinic = {5.1f, 6.3f, 7.7f, 81.0f * kDegToRad, 103.0f * kDegToRad, 95.0f * kDegToRad};

TEST(TemperatureFactor, IsotropicForms) {
  const ReciprocalCell rc = prepareReciprocalCell(kCubic);
  const Site b = withFactor(6, {}, kEightPiSq);
  EXPECT_NEAR(convertTemperatureFactor(b, 10, rc).iso, 1.0f, 1e-5);
  EXPECT_NEAR(convertTemperatureFactor(b, 7, rc).iso, 1.0f, 1e-5);
  EXPECT_EQ(convertTemperatureFactor(withFactor(-1, {}), 6, rc).type, -1);
  EXPECT_EQ(convertTemperatureFactor(withFactor(12, {}), 6, rc).type, -1);
  // Same type: copied.
  const TemperatureFactor same = convertTemperatureFactor(withFactor(8, {1, 2, 3, 4, 5, 6}), 8, rc);
  EXPECT_EQ(same.aniso, (std::array<float, 6>{1, 2, 3, 4, 5, 6}));
}

TEST(TemperatureFactor, IsoToAnisoFollowsTheReciprocalAngles) {
  const ReciprocalCell mono = prepareReciprocalCell(kMonoclinic);
  const TemperatureFactor u = convertTemperatureFactor(withFactor(10, {}, 0.02f), 8, mono);
  EXPECT_NEAR(u.aniso[0], 0.02f, 1e-6);
  EXPECT_NEAR(u.aniso[1], 0.02f, 1e-6);
  EXPECT_NEAR(u.aniso[3], 0.0f, 1e-7);
  EXPECT_NEAR(u.aniso[4], 0.02 * mono.cosBetaStar, 1e-6);
  EXPECT_NEAR(convertTemperatureFactor(withFactor(10, {}, 0.02f), 8, prepareReciprocalCell(kCubic)).aniso[4], 0.0f,
              1e-7);
}

TEST(TemperatureFactor, BetaCrossTermsWithoutTheFactorTwo) {
  const ReciprocalCell rc = prepareReciprocalCell(kTriclinic);
  const TemperatureFactor t = convertTemperatureFactor(withFactor(0, {0.01f, 0.02f, 0.03f, 0.004f, 0.005f, 0.006f}), 1, rc);
  EXPECT_NEAR(t.aniso[0], 0.01f, 1e-6);
  EXPECT_NEAR(t.aniso[3], 0.008f, 1e-6);
  EXPECT_NEAR(t.aniso[5], 0.012f, 1e-6);
}

TEST(TemperatureFactor, EveryAnisotropicPairRoundTrips) {
  const int types[] = {0, 1, 2, 3, 4, 5, 8, 9};
  const ReciprocalCell rc = prepareReciprocalCell(kTriclinic);
  const Site u = withFactor(8, {0.011f, 0.017f, 0.023f, 0.002f, -0.003f, 0.004f});
  for (int from : types) {
    const TemperatureFactor there = convertTemperatureFactor(u, from, rc);
    for (int to : types) {
      Site s = withFactor(from, there.aniso);
      const TemperatureFactor mid = convertTemperatureFactor(s, to, rc);
      const TemperatureFactor back = convertTemperatureFactor(withFactor(to, mid.aniso), 8, rc);
      for (int k = 0; k < 6; ++k) EXPECT_NEAR(back.aniso[k], u.aniso[k], 2e-6) << from << "->" << to << " k" << k;
    }
  }
}

TEST(TemperatureFactor, EquivalentIsotropicValueIsOneThirdOfTheCartesianTrace) {
  // Ueq = sum U_ij a*_i a*_j (a_i . a_j) / 3, worked out apart: not simply the mean of the
  // diagonal once the cross terms or the angles count.
  const Site s = withFactor(8, {0.012f, 0.018f, 0.025f, 0.003f, -0.004f, 0.002f});
  for (const auto& [cell, ueq] : {std::pair{kCubic, 0.0183333}, {kMonoclinic, 0.0196225}, {kTriclinic, 0.0200262}}) {
    const ReciprocalCell rc = prepareReciprocalCell(cell);
    EXPECT_NEAR(convertTemperatureFactor(s, 10, rc).iso, ueq, 1e-6);
    EXPECT_NEAR(equivalentB(s, rc), kEightPiSq * ueq, 1e-4);
  }
}

}  // namespace
}  // namespace tessera
