#include <gtest/gtest.h>

#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "support/structures.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// The instrument lines of a control file with n phases (third control integer).
std::string header(int phases) {
  return "COMM two phases\n0 0 " + std::to_string(phases) +
         " 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n0 0 0\n1.5406 1.5444 0.5\n20 0.1\n0.0\n"
         "0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0\n0.0 0.0\n0.0 0.0\n";
}

/// One phase in the atom format 10 with its profile, cell and closing lines.
std::string phase(const std::string& name, const std::string& atoms, int count, const std::string& cell) {
  return name + "\n" + std::to_string(count) + " 0 0 0.0 0.0 0.0 10 0 0 0 0 0.0 0 0 0\nP 1 21/c 1\n" + atoms +
         "1.0 0 0 0 0 0 0\n0 0\n0.01 0 0 0 0 0 0 0\n0 0\n" + cell + "\n0 0\n0 0\n0 0\n";
}

TEST(Fullprof, GoldenBlockWithVectorAndAnisotropicLines) {
  CrystalDocument doc = test::monoclinic();
  Site& c1 = doc.sites[0][0];
  c1.hasVector = 1;
  c1.vector = {0.5f, 0.0f, -0.25f};
  test::ScratchDir dir;
  test::TestSession s;
  s.document = doc;
  ASSERT_TRUE(s.exportTo("fullprof", dir.path() / "m.pcr"));
  EXPECT_EQ(test::readFile(dir.path() / "m.pcr"), test::readFile(test::fixture("formats/fullprof/monoclinic.pcr")));
}

TEST(Fullprof, OccupanciesOnTheGeneralPositionAndCustomOperators) {
  // I 4/m m m: G = 8 lines x 2 x 2 = 32; a site of multiplicity 16 and occupancy 1 gives 0.5.
  CrystalDocument doc = test::makeDocument(
      "I 4/m m m", {"X,Y,Z;", "-X,-Y,Z;", "-Y,X,Z;", "Y,-X,Z;", "-X,Y,-Z;", "X,-Y,-Z;", "Y,X,-Z;", "-Y,-X,-Z;"}, 0, 6,
      {4, 4, 9, 90, 90, 90}, {test::makeSite("O1", 8, 0, 0.1f, 0.2f)});
  test::ScratchDir dir;
  test::TestSession s;
  s.document = doc;
  ASSERT_TRUE(s.exportTo("fullprof", dir.path() / "i.pcr"));
  std::string out = test::readFile(dir.path() / "i.pcr");
  EXPECT_NE(out.find("O1   O    0 0  0.000000  0.100000  0.200000 1.000000 0.500000 0\n"), std::string::npos);
  EXPECT_NE(out.find("1 0 0 0.0 0.0 0.0 10 0 0 0 0 0.0 0 0 0\n"), std::string::npos);
  EXPECT_EQ(out.find("SYMM"), std::string::npos);
  EXPECT_EQ(out.find("11-3-1"), std::string::npos);

  s.document.crystals[0].symmetrySource = 4;
  ASSERT_TRUE(s.exportTo("fullprof", dir.path() / "c.pcr"));
  out = test::readFile(dir.path() / "c.pcr");
  EXPECT_NE(out.find("1 0 0 0.0 0.0 0.0 10 0 -1 0 0 0.0 0 0 0\n"), std::string::npos);
  // Every centring copy is written: 8 lines x 2 translations.
  EXPECT_NE(out.find("\n16 2 0 0\n"), std::string::npos);
  EXPECT_NE(out.find("SYMM  -Y,X,Z \n"), std::string::npos);
  EXPECT_NE(out.find("SYMM  1/2-Y,1/2-X,1/2-Z\n"), std::string::npos);
}

TEST(Fullprof, PhaseChoiceIsotropicBetaAndLineLabels) {
  const std::string atoms1 = "Na1  Na   0 0  0.000000  0.000000  0.000000 1.000000 0.500000 0\n0 0 0 0 0\n";
  // A beta line whose beta22 is zero leaves the site isotropic.
  const std::string atoms2 =
      "O1   O    0 0  0.100000  0.200000  0.300000 0.800000 1.000000 2\n0 0 0 0 0\n"
      "0.01 0.0 0.02 0.0 0.0 0.0\n0 0 0 0 0 0\n"
      "C1   C    0 0  0.400000  0.500000  0.600000 0.700000 1.000000 2\n0 0 0 0 0\n"
      "0.01 0.02 0.03 0.001 0.002 0.003\n0 0 0 0 0 0\n";
  const std::string file = header(2) + phase("first", atoms1, 1, "5 5 5 90 90 90") +
                           phase("second", atoms2, 2, "6 7 8 90 100 90");
  test::ScratchDir dir;
  test::writeFile(dir.path() / "two.pcr", file);
  test::TestSession s;
  s.ui.dialogs.push_back([](DialogModel&) { return true; });
  s.ui.dialogs.push_back([](DialogModel& m) {
    if (auto* d = dynamic_cast<DataSetModel*>(&m)) {
      EXPECT_EQ(d->names, (std::vector<std::string>{"first", "second"}));
      d->selection = 2;
    }
    return true;
  });
  ASSERT_TRUE(s.import(kKindFullprof, dir.path() / "two.pcr"));
  EXPECT_EQ(s.document.title, "two phases");
  EXPECT_FLOAT_EQ(s.document.crystals[0].cell[1], 7.0f);
  const std::vector<Site>& sites = s.document.sites[0];
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_EQ(sites[0].ortepType, 6);
  EXPECT_FLOAT_EQ(sites[0].isoValue, 0.8f);
  EXPECT_EQ(sites[1].ortepType, 0);

  // The third control integer 0 counts as one phase; a file cut inside its atoms names the line.
  test::writeFile(dir.path() / "one.pcr", header(0) + phase("only", atoms1, 1, "5 5 5 90 90 90"));
  test::TestSession one;
  ASSERT_TRUE(one.import(kKindFullprof, dir.path() / "one.pcr"));
  EXPECT_EQ(one.document.siteCount(), 1);
  const std::string cut = header(1) + phase("only", atoms2, 2, "5 5 5 90 90 90").substr(0, 55);
  test::writeFile(dir.path() / "cut.pcr", cut);
  test::TestSession bad;
  EXPECT_FALSE(bad.import(kKindFullprof, dir.path() / "cut.pcr"));
  EXPECT_EQ(bad.ui.messages(), std::vector<std::string>{"Error reading file - line: 11.410000"});

  // Nine phases: the excess is ignored, with a message.
  test::writeFile(dir.path() / "nine.pcr", header(9) + phase("only", atoms1, 1, "5 5 5 90 90 90"));
  test::TestSession nine;
  EXPECT_FALSE(nine.import(kKindFullprof, dir.path() / "nine.pcr"));
  EXPECT_TRUE(nine.ui.saw(" Number of phases larger than 8 - excess ignored"));
  EXPECT_TRUE(nine.ui.saw("Error reading file - line: 11.100000"));
}

TEST(Fullprof, OperatorsGivenAsMatricesWithMagneticLines) {
  // Symmetry flag 1: each operator as three rows (x, y, z coefficients, translation),
  // then the one extra line per operator the fourth integer of line 11-3-1 asks for.
  const std::string symmetry =
      "2 2 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\nmagnetic part\n-1 0 0 0\n0 1 0 0.5\n0 0 -1 0.5\nmagnetic part\n";
  std::string text = phase("mono", "O1   O    0 0  0.100000  0.200000  0.300000 0.800000 1.000000 0\n0 0 0 0 0\n", 1,
                           "5 6 7 90 101 90");
  text.replace(text.find(" 10 0 0 0"), 9, " 10 0 1 0");
  text.insert(text.find("O1 "), symmetry);
  test::ScratchDir dir;
  test::writeFile(dir.path() / "m.pcr", header(1) + text);
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindFullprof, dir.path() / "m.pcr"));
  const CrystalRecord& c = s.document.crystals[0];
  EXPECT_EQ(c.acentric, 0);
  ASSERT_EQ(c.lineCount(), 2);
  EXPECT_EQ(c.symmetrySource, 4);
  EXPECT_EQ(s.document.siteCount(), 1);
}

}  // namespace
}  // namespace tessera
