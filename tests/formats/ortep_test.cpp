#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "formats/format_helpers.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/structures.h"

namespace tessera {
namespace {

/// Aniso kept as U, iso written as B: every site keeps its form through the file.
void keepForms(test::TestSession& w) {
  w.settings.convMode = 1;
  w.settings.anisoPref = 0;
  w.settings.isoPref = 1;
}

TEST(OrtepFormat, RoundTripKeepsCellSymmetryAndSites) {
  const struct {
    const char* name;
    CrystalDocument (*make)();
    int sgNumber;
  } cases[] = {{"rock salt", test::rockSalt, 225},
               {"quartz", test::quartz, 154},
               {"corundum", test::corundum, 167},
               {"P21/c", test::monoclinic, 14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CrystalDocument was = c.make();
    test::TestSession back;
    test::writeAndRead(was, "ortep", kKindOrtep, back, keepForms);
    const CrystalRecord& now = back.document.crystals[0];
    for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(now.cell[k], was.crystals[0].cell[k], 2e-5) << k;
    EXPECT_EQ(now.sgNumber, c.sgNumber);
    EXPECT_EQ(generalMultiplicity(now), generalMultiplicity(was.crystals[0]));
    const std::vector<Site>& a = was.sites[0];
    const std::vector<Site>& b = back.document.sites[0];
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(b[i].label, a[i].label);
      EXPECT_EQ(b[i].typeNumber, a[i].typeNumber);
      for (float Site::*x : {&Site::x, &Site::y, &Site::z}) EXPECT_NEAR(b[i].*x, a[i].*x, 1e-6);
      EXPECT_EQ(b[i].ortepType, a[i].ortepType);
      if (a[i].ortepType == 6) {
        EXPECT_NEAR(b[i].isoValue, a[i].isoValue, 1e-6);
      }
      for (std::size_t k = 0; k < 6 && a[i].ortepType == 8; ++k) EXPECT_NEAR(b[i].aniso[k], a[i].aniso[k], 1e-6);
    }
    // Aniso U beside iso B is a mixture in the file as it was in the document.
    EXPECT_EQ(back.ui.messages(), c.sgNumber == 14
                                      ? std::vector<std::string>{"Mixture of temperature factor types detected"}
                                      : std::vector<std::string>{});
  }
}

TEST(OrtepFormat, WideAndNegativeFactorsKeepTheirColumns) {
  CrystalDocument doc = test::p1Document("factors", {6, 7, 8, kRightAngle, kRightAngle, kRightAngle});
  Site big = test::siteAt("Pb1", 0.1f, 0.2f, 0.3f, 82);
  big.ortepType = 6, big.isoValue = 12.5f;
  Site huge = test::siteAt("Pb2", 0.4f, 0.2f, 0.3f, 82);
  huge.ortepType = 6, huge.isoValue = 123.25f;
  Site beta = test::siteAt("O1", 0.5f, 0.5f, 0.5f, 8);
  beta.ortepType = 0, beta.aniso = {-0.001234f, 0.012f, 0.003f, -0.0045f, 0.0f, -0.000123f};
  Site bare = test::siteAt("O2", 0.7f, 0.5f, 0.5f, 8);
  bare.ortepType = -1;
  doc.sites[0] = {big, huge, beta, bare};
  test::TestSession back;
  std::istringstream lines(test::writeAndRead(doc, "ortep", kKindOrtep, back, [](test::TestSession& w) {
    w.settings.convMode = 1, w.settings.anisoPref = 1, w.settings.isoPref = 1;
  }));
  std::string line;
  for (int n = 0; std::getline(lines, line); ++n)
    if (n >= 3 && n % 2 == 0) {
      EXPECT_EQ(line.size(), 63u) << line;  // every factor card
    }
  const std::vector<Site>& r = back.document.sites[0];
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(std::tuple(r[0].ortepType, r[1].ortepType, r[2].ortepType, r[3].ortepType), std::tuple(6, 6, 0, -1));
  EXPECT_FLOAT_EQ(r[0].isoValue, 12.5f);
  EXPECT_NEAR(r[1].isoValue, 123.25f, 1e-4);
  for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(r[2].aniso[k], beta.aniso[k], 1e-7) << k;
  EXPECT_EQ(r[3].aniso, (std::array<float, 6>{}));
}

TEST(OrtepFormat, SymmetryCardsForCentringAndInversion) {
  test::ScratchDir dir;
  // P-1: the identity and its negative, the end flag on the second.
  test::TestSession s;
  s.document = test::p1Document("P-1", {5, 6, 7, kRightAngle, kRightAngle, kRightAngle});
  s.document.crystals[0].acentric = 0;
  ASSERT_TRUE(s.exportTo("ortep", dir.path() / "p-1.ort"));
  EXPECT_EQ(test::readFile(dir.path() / "p-1.ort"),
            "P-1\n  5.00000  6.00000  7.00000  90.0000  90.0000  90.0000\n"
            "     0.00000000  1  0  0     0.00000000  0  1  0     0.00000000  0  0  1\n"
            "1    0.00000000 -1  0  0     0.00000000  0 -1  0     0.00000000  0  0 -1\n");
  // No symmetry lines at all: the identity card still carries the end flag.
  s.document.crystals[0].xyzLines.clear();
  s.document.crystals[0].acentric = 1;
  ASSERT_TRUE(s.exportTo("ortep", dir.path() / "none.ort"));
  EXPECT_EQ(test::readFile(dir.path() / "none.ort").substr(59),
            "1    0.00000000  1  0  0     0.00000000  0  1  0     0.00000000  0  0  1\n");
  // I-centred, four operators, acentric: eight cards; an inversion off the origin is
  // already among the lines and is not negated again.
  CrystalRecord& c = s.document.crystals[0];
  c.xyzLines = {"X,Y,Z;", "-X,-Y,Z;", "-Y,X,-Z;", "Y,-X,-Z;"};
  c.acentric = 1, c.latticeCode = 6;
  ASSERT_TRUE(s.exportTo("ortep", dir.path() / "i.ort"));
  const std::string cardsOfI = test::readFile(dir.path() / "i.ort");
  EXPECT_EQ(std::count(cardsOfI.begin(), cardsOfI.end(), '\n'), 2 + 8);
  test::TestSession i;
  ASSERT_TRUE(i.import(kKindOrtep, dir.path() / "i.ort"));
  EXPECT_EQ(generalMultiplicity(i.document.crystals[0]), 8);
  EXPECT_EQ(i.document.crystals[0].latticeCode, 6);
  c.xyzLines = {"X,Y,Z;", "1/2-X,1/2-Y,1/2-Z;"};
  c.acentric = 0, c.inversionOffOrigin = 1, c.latticeCode = 1;
  ASSERT_TRUE(s.exportTo("ortep", dir.path() / "off.ort"));
  test::TestSession off;
  ASSERT_TRUE(off.import(kKindOrtep, dir.path() / "off.ort"));
  EXPECT_EQ(off.document.crystals[0].xyzLines, (std::vector<std::string>{"+X,+Y,+Z; ", "1/2-X,1/2-Y,1/2-Z; "}));
}

TEST(OrtepReader, GoldenFileCosinesLengthsAndEndFlags) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindOrtep, test::fixture("formats/ortep/cosines.ort")));
  EXPECT_EQ(test::documentDump(s.document) + test::messageLines(s),
            test::readFile(test::fixture("formats/ortep/cosines.expected")));
}

TEST(OrtepReader, MissingPartsAndBadCards) {
  const std::string title = "T\n", cell = "  5.00000  5.00000  5.00000  90.0000  90.0000  90.0000\n";
  const std::string identity = "1    0.00000000  1  0  0     0.00000000  0  1  0     0.00000000  0  0  1\n";
  const std::string refused = "Error reading ORTEP file";
  test::expectImports(kKindOrtep, {
      // Symmetry and no atoms; a file ending at its cell card: no error but the finish's.
      {title + cell + identity, true, {"No atoms found in import file"}},
      {title + cell, true,
       {"No atoms found in import file", "Insufficient information to assign symmetry - default P1 will be used"}},
      // A blank or zero cell card is refused (the lengths would divide by zero).
      {title + "\n" + identity, false, {refused}},
      {title + "      0.0      0.0      0.0      0.0      0.0      0.0\n", false, {refused}},
      {title + "      5.0      5.0      5.0      0.5      1.5      0.5\n", false, {refused}},
      {title + cell + "x\n", false, {refused}},
      // An atom without its factor card.
      {title + cell + identity + "C1          0.1      0.2      0.3\n", true,
       {"EOF or other error reading coordinates", "No atoms found in import file"}}});
  test::TestSession none;
  none.ui.files.push_back(test::fixture("absent.ort").string());
  EXPECT_FALSE(RunImport(none.session, kKindOrtep, nullptr));
  EXPECT_EQ(none.ui.messages(), std::vector<std::string>{"Error opening ORTEP file"});
}

}  // namespace
}  // namespace tessera
