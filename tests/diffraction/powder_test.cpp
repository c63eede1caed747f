// The powder calculation: wavelengths, intensities and their edge cases, phases,
// the listing against golden files, the profile.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "diffraction/pattern_models.h"
#include "diffraction/powder.h"
#include "reference_sum.h"
#include "support/structures.h"
#include "support/test_paths.h"
#include "symmetry/symmetry_assignment.h"

namespace tessera {
namespace {

using test::dataTable;

PowderPattern run(CrystalDocument& doc) {
  ScriptedUserInterface ui;
  PowderPattern p = calculatePowder(doc, dataTable(), ui);
  EXPECT_TRUE(ui.messages().empty()) << (ui.messages().empty() ? "" : ui.messages()[0]);
  return p;
}

/// A one-atom primitive cubic structure.
CrystalDocument cubicP(float a) {
  return test::makeDocument("P m -3 m", {"X,Y,Z;"}, 0, 1, {a, a, a, 90, 90, 90}, {test::makeSite("C1", 6, 0, 0, 0)});
}

TEST(Powder, WavelengthsByMode) {
  PowderSettings s;
  EXPECT_NEAR(powderWavelengths(s).lambda[0], 1.541783, 1e-6);
  EXPECT_EQ(format("%8.5f", powderWavelengths(s).lambda[0]), " 1.54178");
  s.radiationMode = 1;
  EXPECT_EQ(powderWavelengths(s).count, 2);
  EXPECT_DOUBLE_EQ(powderWavelengths(s).secondWeight, 0.5);
  s.radiationMode = 2;
  s.xrayTarget = 0;  // Cr has a Kb wavelength, not 0
  EXPECT_DOUBLE_EQ(powderWavelengths(s).lambda[1], 2.08487);
  EXPECT_DOUBLE_EQ(powderWavelengths(s).shortest(), 2.08487);
  PowderDialogModel model;
  model.values.powderVerticalScale = 0.01f;
  CrystalDocument doc;
  model.applyTo(doc);
  EXPECT_FLOAT_EQ(doc.powderSettings.powderVerticalScale, 0.02f);
  model.values.radiationMode = 3;
  model.values.specifiedWavelength = 0;
  EXPECT_EQ(model.validate(), "Wavelength must be greater than 0");
  model.values.specifiedWavelength = 1;
  model.values.twoThetaMax = 0;
  model.values.twoThetaMin = 70;  // a maximum of 0 is taken as 80: 70 lies below it, 90 does not
  EXPECT_FALSE(model.validate().has_value());
  model.values.twoThetaMin = 90;
  EXPECT_TRUE(model.validate().has_value());
}

TEST(Powder, DoubletIntensitiesAndStrongestLine) {
  CrystalDocument doc = test::rockSalt();
  doc.powderSettings.radiationMode = 1;
  const PowderPattern p = run(doc);
  int hundred = 0;
  for (const Reflection& r : p.reflections) {
    const double t1 = r.twoTheta[0] * M_PI / 360, t2 = r.twoTheta[1] * M_PI / 360;
    const auto lp = [](double t) { return (1 + std::cos(2 * t) * std::cos(2 * t)) / (std::sin(t) * std::sin(2 * t)); };
    EXPECT_NEAR(r.intensity[1], 0.5 * r.intensity[0] * lp(t2) / lp(t1), 1e-9 * r.intensity[0]);
    hundred += relativeIntensity(r.intensity[0], p.maxIntensity) == 100;
  }
  EXPECT_EQ(hundred, 1);
}

TEST(Powder, LinesAtTheLimitsOfTheSphere) {
  // d(200) = 2 with lambda 4: 2-theta 180 keeps its row with intensity 0 and stays out of the maximum.
  CrystalDocument doc = cubicP(4);
  doc.powderSettings.radiationMode = 3;
  doc.powderSettings.specifiedWavelength = 4;
  doc.powderSettings.twoThetaMax = 180;
  PowderPattern p = run(doc);
  ASSERT_EQ(p.reflections.size(), 4u);  // 100 110 111 200
  EXPECT_NEAR(p.reflections.back().twoTheta[0], 180, 1e-6);
  EXPECT_EQ(p.reflections.back().intensity[0], 0);
  EXPECT_EQ(relativeIntensity(p.reflections[0].intensity[0], p.maxIntensity) +
                relativeIntensity(p.reflections[1].intensity[0], p.maxIntensity) > 100, true);
  // Ka1/Ka2 with lambda1/2 <= d < lambda2/2: the Ka2 line is listed with intensity 0.
  doc = cubicP(1.5424f);
  doc.powderSettings.radiationMode = 1;
  doc.powderSettings.twoThetaMax = 180;
  p = run(doc);
  const Reflection& last = p.reflections.back();
  EXPECT_EQ(last.h + last.k + last.l, 2);
  EXPECT_GT(last.intensity[0], 0);
  EXPECT_EQ(last.intensity[1], 0);
  EXPECT_TRUE(std::isfinite(last.twoTheta[1]));
  // Ka/Kb: the Kb line of a reflection whose Ka line lies beyond the range is kept.
  doc = test::rockSalt();
  doc.powderSettings.radiationMode = 2;
  p = run(doc);
  bool kbOnly = false;
  for (const Reflection& r : p.reflections) kbOnly = kbOnly || (r.twoTheta[0] > 60 && r.twoTheta[1] <= 60);
  EXPECT_TRUE(kbOnly);
}

TEST(Powder, NeutronsAreNotPolarisedAndReadInFm) {
  CrystalDocument doc = test::rockSalt();
  doc.powderSettings.radiationMode = kNeutronMode;
  doc.powderSettings.specifiedWavelength = 1.5f;
  const PowderPattern p = run(doc);
  for (const Reflection& r : p.reflections) {
    const double t = r.twoTheta[0] * M_PI / 360;
    const double f2 = r.absF * r.absF / 100;
    EXPECT_NEAR(r.intensity[0], f2 * r.multiplicity / (std::sin(t) * std::sin(2 * t)), 1e-9 * r.intensity[0]);
    EXPECT_NEAR(r.absF, 10 * std::abs(test::referenceF(doc, dataTable(), r.h, r.k, r.l, true)), 1e-4 * r.absF);
  }
  // Deuterium and tritium scatter neutrons with their own lengths; X-rays see hydrogen.
  Site site = test::makeSite("D1", 1, 0, 0, 0);
  site.normaliseOccupants(0);
  site.occupants[0].element = "D";
  EXPECT_DOUBLE_EQ(siteAmplitude(dataTable(), site, 0, true), kDeuteriumLength);
  site.occupants[0].element = "T";
  EXPECT_DOUBLE_EQ(siteAmplitude(dataTable(), site, 0, true), kTritiumLength);
  EXPECT_NEAR(siteAmplitude(dataTable(), site, 0, false), 1.0, 1e-3);
  site.occupants[0].element = "H";
  EXPECT_NEAR(siteAmplitude(dataTable(), site, 0, true), -0.37409, 1e-6);
}

TEST(Powder, PhasesFollowTheArcTangentOffTheOrigin) {
  CrystalDocument quartz = test::quartz();
  const PowderPattern p = run(quartz);
  int negativeA = 0;
  for (const Reflection& r : p.reflections) {
    const std::complex<double> f = test::referenceF(quartz, dataTable(), r.h, r.k, r.l);
    if (std::abs(f) < 1e-3) continue;
    negativeA += f.real() < 0;
    EXPECT_NEAR(std::remainder(r.phase - std::arg(f), 2 * M_PI), 0, 1e-4) << r.h << r.k << r.l;
  }
  EXPECT_GT(negativeA, 5);
  // P n n n origin choice 1: the inversion lies at 1/4 1/4 1/4, so (1 1 1) has phase +-pi/2.
  CrystalDocument pnnn = test::makeDocument("", {}, 0, 1, {5, 6, 7, 90, 90, 90}, {test::makeSite("C1", 6, 0.1f, 0.2f, 0.3f)});
  ScriptedUserInterface ui;
  ASSERT_EQ(AssignSpaceGroup(pnnn.crystals[0], "48:1", 2, 0, ui), 0);
  pnnn.crystals[0].symbolKind = 2;
  const PowderPattern q = run(pnnn);
  for (const Reflection& r : q.reflections)
    if (r.h == 1 && r.k == 1 && r.l == 1) {
      EXPECT_NEAR(std::abs(r.phase), M_PI / 2, 1e-4);
    }
  // Inversion at the origin: 0 or pi.
  CrystalDocument salt = test::rockSalt();
  for (const Reflection& r : run(salt).reflections) EXPECT_TRUE(r.phase == 0 || r.phase == 3.14159);
}

TEST(Powder, NoCapOnTheListAndTheWholeRangeIsKept) {
  CrystalDocument doc = test::monoclinic();
  for (int i = 0; i < 3; ++i) doc.crystals[0].cell[static_cast<std::size_t>(i)] *= 2;
  doc.powderSettings.twoThetaMax = 120;
  const PowderPattern p = run(doc);
  EXPECT_GT(p.reflections.size(), 1500u);
  EXPECT_GT(p.reflections.back().twoTheta[0], 118);
}

TEST(Powder, ProfileWidthIsTheFwhm) {
  PowderPattern p;
  p.settings.twoThetaMin = 10;
  p.settings.twoThetaMax = 30;
  p.settings.powderFWHM = 0.4f;
  p.wavelengths.count = 1;
  Reflection r;
  r.twoTheta[0] = 20;
  r.intensity[0] = 50;
  p.reflections = {r};
  const PowderCurve c = powderCurve(p);
  ASSERT_EQ(c.y.size(), 1001u);
  EXPECT_NEAR(c.ymax, 50, 1e-9);
  EXPECT_NEAR(c.y[500 + 10], 25, 0.01);  // 0.2 degrees from the centre: half height
  EXPECT_NEAR(c.y[500 - 10], 25, 0.01);
}

TEST(Powder, GoldenListings) {
  struct Case {
    CrystalDocument doc;
    int mode;
    const char* golden;
  } cases[] = {{test::rockSalt(), 0, "rock_salt_cu.out"},
               {test::quartz(), 1, "quartz_doublet.out"},
               {test::corundum(), kNeutronMode, "corundum_neutron.out"},
               {test::monoclinic(), 2, "monoclinic_kbeta.out"}};
  for (Case& c : cases) {
    c.doc.title = "Golden";
    c.doc.powderSettings.radiationMode = c.mode;
    const PowderPattern p = run(c.doc);
    const auto path = test::fixture(std::string("diffraction/") + c.golden);
    if (std::getenv("TESSERA_UPDATE_GOLDEN")) test::writeFile(path, powderListing(p));
    EXPECT_EQ(powderListing(p), test::readFile(test::fixture(std::string("diffraction/") + c.golden))) << c.golden;
  }
}

}  // namespace
}  // namespace tessera
