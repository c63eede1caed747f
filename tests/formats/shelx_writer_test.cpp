#include <gtest/gtest.h>

#include <sstream>

#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/site_checks.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// A C2/m structure held as a document ready for export.
CrystalDocument centred() {
  CrystalDocument doc = test::p1Document("centred", {9.0f, 8.0f, 5.0f, kRightAngle, 110.0f * kDegToRad, kRightAngle});
  CrystalRecord& c = doc.crystals[0];
  c.hmSymbol = "C 1 2/m 1";
  c.xyzLines = {"-X,Y,-Z; ", "X,Y,Z; "};  // the identity need not come first
  c.acentric = 0;
  c.latticeName = "C";
  c.latticeCode = 4;
  Site general = test::siteAt("Fe1", 0.1f, 0.2f, 0.3f, 26);
  general.ortepType = 8;
  general.aniso = {0.011f, 0.012f, 0.013f, 0.001f, 0.002f, 0.003f};
  general.occupants.push_back(general.occupants[0]);
  general.occupants[0].element = "Fe";
  general.occupants[0].occupancy = 0.6f;
  general.occupants[1].label = "Ni1";
  general.occupants[1].element = "Ni";
  general.occupants[1].occupancy = 0.4f;
  Site origin = test::siteAt("O1", 0.0f, 0.0f, 0.0f, 8);
  origin.ortepType = -1;
  origin.occupants[0].element = "O";
  doc.sites[0] = {general, origin};
  doc.tfMix = 5;  // aniso and a site without a factor
  return doc;
}

TEST(ShelxWriter, GoldenFileFromARealResultFile) {
  test::ScratchDir dir;
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindShelx, test::fixture("formats/shelx/disorder.res")));
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "out.ins"));
  const std::string written = test::readFile(dir.path() / "out.ins");
  EXPECT_EQ(written, test::readFile(test::fixture("formats/shelx/disorder.out.ins")));
  std::istringstream lines(written);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
  EXPECT_EQ(s.ui.questions(), std::vector<std::string>{"Do you want to write an SFAC line, with new scattering numbers?"});
}

TEST(ShelxWriter, RoundTripKeepsAtomsOccupanciesAndDisplacements) {
  test::ScratchDir dir;
  test::TestSession first;
  ASSERT_TRUE(first.import(kKindShelx, test::fixture("formats/shelx/disorder.res")));
  ASSERT_TRUE(first.exportTo("shelx", dir.path() / "out.ins"));
  test::TestSession second;
  ASSERT_TRUE(second.import(kKindShelx, dir.path() / "out.ins"));
  test::expectSameSites(first.document.sites[0], second.document.sites[0]);
  EXPECT_EQ(first.document.crystals[0].xyzLines.size(), second.document.crystals[0].xyzLines.size());
  EXPECT_EQ(second.document.crystals[0].acentric, 0);
}

TEST(ShelxWriter, MultiplicitiesCentringOccupantsAndMissingFactors) {
  test::ScratchDir dir;
  test::TestSession s;
  s.document = centred();
  EXPECT_EQ(generalMultiplicity(s.document.crystals[0]), 8);
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "c.ins"));
  EXPECT_EQ(test::readFile(dir.path() / "c.ins"),
            "TITL centred\n"
            "CELL 1.0 9.000000 8.000000 5.000000 90.000000 110.000000 90.000000\n"
            "LATT 7\n"
            "SYMM  -X,Y,-Z  \n"
            "SFAC  Fe Ni O\n"
            "Fe1     1 0.1000 0.2000 0.3000 10.6000000 0.011000 0.012000 =\n"
            "    0.013000 0.003000 0.002000 0.001000\n"
            "Ni1     2 0.1000 0.2000 0.3000 10.4000000 0.011000 0.012000 =\n"
            "    0.013000 0.003000 0.002000 0.001000\n"
            "O1      3 0.0000 0.0000 0.0000 10.2500000\n"
            "END\n");
  EXPECT_EQ(s.document.sites[0][0].occupants[1].scatteringNumber, 2);

  // Only occupant 0 of each site, and lines listing every operator of an off-origin
  // inversion make a negative LATT without doubling the multiplicity.
  s.settings.removeMultipleOccupancies = true;
  s.ui.answers.push_back(Answer::No);  // no SFAC line
  CrystalRecord& c = s.document.crystals[0];
  c.inversionOffOrigin = 1;
  c.xyzLines = {"X,Y,Z; ", "-X,Y,-Z; ", "1/2-X,-Y,-Z; ", "1/2+X,-Y,Z; "};
  EXPECT_EQ(generalMultiplicity(c), 8);
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "d.ins"));
  const std::string d = test::readFile(dir.path() / "d.ins");
  EXPECT_NE(d.find("LATT -7\n"), std::string::npos);
  EXPECT_EQ(d.find("Ni1"), std::string::npos);
  EXPECT_EQ(d.find("SFAC"), std::string::npos);
}

}  // namespace
}  // namespace tessera
