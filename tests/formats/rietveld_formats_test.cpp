// The GSAS, RIETAN, DBWS and LHPM writers and readers (round trips through every
// Rietveld format and the FULLPROF reader are in rietveld_round_trip_test.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

#include "core/cell_geometry.h"
#include "core/native_file.h"
#include "core/text.h"
#include "formats/format_helpers.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/structures.h"

namespace tessera {
namespace {

float metricLength(const std::array<float, 3>& v, const Cell& cell) {
  const Mat3 g = directMetric(cell);
  double q = 0;
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) q += v[i] * g[i][j] * v[j];
  return static_cast<float>(std::sqrt(q));
}

/// A monoclinic cell with moments: one whose length is its metric length, one given a
/// length of its own, one zero vector, and an anisotropic site of two occupants.
CrystalDocument magnetic() {
  CrystalDocument doc = test::makeDocument(
      "P 1 21/c 1", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, {5.1f, 6.2f, 7.3f, 90, 101.5f, 90},
      {test::makeSite("Fe1", 26, 0, 0, 0, 0.5f), test::makeSite("Mn1", 25, 0.25f, 0.3f, 0.1f, 0.7f),
       test::makeSite("Co1", 27, 0.5f, 0, 0.5f), test::makeSite("E1", 8, 0.1f, 0.2f, 0.3f)});
  std::vector<Site>& s = doc.sites[0];
  const auto moment = [](Site& site, std::array<float, 3> v, float length) {
    site.hasVector = 1, site.vector = v, site.vectorLength = length;
  };
  moment(s[0], {0.2f, 0.1f, -0.3f}, metricLength({0.2f, 0.1f, -0.3f}, doc.crystals[0].cell));
  moment(s[1], {0.0f, 0.5f, 0.5f}, 4.5f);
  moment(s[2], {0, 0, 0}, 2.0f);
  moment(s[3], {0.0f, 0.0f, 0.1f}, 0.73f);
  s[3].ortepType = 8;
  s[3].tfClass = 2;
  s[3].aniso = {0.021f, 0.034f, 0.027f, -0.004f, 0.006f, -0.003f};
  s[3].occupants[0].occupancy = 0.6f;
  s[3].occupants.push_back(s[3].occupants[0]);
  s[3].occupants[1].label = "N1";
  s[3].occupants[1].typeNumber = 7;
  s[3].occupants[1].occupancy = 0.4f;
  return doc;
}

TEST(Gsas, GoldenFileAndMomentsReadBackWithTheirLengths) {
  const CrystalDocument doc = magnetic();
  test::TestSession r;
  const std::string written = test::writeAndRead(doc, "gsas", kKindGsas, r);
  EXPECT_EQ(written, test::readFile(test::fixture("formats/gsas/magnetic.exp")));
  EXPECT_EQ(written.find("nan"), std::string::npos);
  // Each occupant of a site with a vector gets its own atom, thermal and moment records.
  EXPECT_NE(written.find("CRS1  AT  5M"), std::string::npos);
  const std::vector<Site>& in = doc.sites[0];
  const std::vector<Site>& out = r.document.sites[0];
  ASSERT_EQ(out.size(), 4u);
  // The vector given with its own length comes back whole.
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(out[0].vector[k], in[0].vector[k], 2e-5);
  EXPECT_NEAR(out[0].vectorLength, in[0].vectorLength, 1e-3);
  // A vector of another length keeps its direction and the length given for it.
  EXPECT_NEAR(out[1].vectorLength, 4.5f, 1e-3);
  EXPECT_NEAR(metricLength(out[1].vector, r.document.crystals[0].cell), 4.5f, 1e-3);
  EXPECT_NEAR(out[1].vector[0], 0.0f, 1e-5);
  EXPECT_NEAR(out[1].vector[1], out[1].vector[2], 1e-5);
  EXPECT_EQ(std::pair(out[2].hasVector, out[2].vector), std::pair(1, std::array<float, 3>{0, 0, 0}));  // zero as zeros
  // "E1" is a label, not a number in the occupancy's place; the occupants keep theirs.
  ASSERT_EQ(out[3].occupants.size(), 2u);
  EXPECT_EQ(std::tuple(out[3].label, out[3].occupants[1].label, out[3].ortepType), std::tuple("E1", "N1", 8));
  EXPECT_FLOAT_EQ(out[3].occupants[0].occupancy, 0.6f);
  EXPECT_NEAR(out[3].vector[2], 0.1f, 1e-5);
  EXPECT_EQ(std::pair(r.document.title, r.document.crystals[0].hmSymbol), std::pair(doc.title, std::string("P 1 21/c 1")));
}

TEST(Gsas, ReaderPhasesTitleSymbolAndPerAtomFactors) {
  // Two phases; the second has a long symbol, an atom without a thermal line after one
  // with U, a thermal line flagged A with too few numbers, and no atom count.
  test::Imported r(kKindGsas,
                   "CRS1    PNAM  first phase\n"
                   "CRS1  ABC     5.000000  5.000000  5.000000    Y    0\n"
                   "CRS1  ANGLES   90.0000   90.0000   90.0000    Y    0\n"
                   "CRS1  AT  1A  Na        0.000000  0.000000  0.000000  1.000000Na1       4 000\n"
                   "CRS1  SG SYM  F m -3 m\n"
                   "CRS2    PNAM  second phase\n"
                   "CRS2   NATOM\n"
                   "CRS2  ABC     6.000000  7.000000  8.000000    Y    0\n"
                   "CRS2  ANGLES   90.0000   90.0000   90.0000    Y    0\n"
                   "CRS2  AT  1A  O         0.100000  0.200000  0.300000  1.000000O1        8 000\n"
                   "CRS2  AT  1B  0.025000  0.000000  0.000000  0.000000  0.000000  0.000000  I XU\n"
                   "CRS2  AT  2A  C         0.400000  0.500000  0.600000  0.500000C1        8 000\n"
                   "CRS2  AT  3A  N         0.700000  0.800000  0.900000  1.000000N1        8 000\n"
                   "CRS2  AT  3B  0.025000  0.030000                                          A XU\n"
                   "CRS2  SG SYM  P 42/n n m :2\n",
                   "two.exp", 2);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.s.document.title, "second phase");
  EXPECT_FLOAT_EQ(r.crystal().cell[1], 7.0f);
  EXPECT_EQ(r.crystal().hallSymbol, "-P 4ac 2bc");  // the whole symbol, past the first twelve characters
  ASSERT_EQ(r.sites().size(), 3u);
  EXPECT_EQ(std::tuple(r.site(0).ortepType, r.site(1).ortepType, r.site(2).ortepType), std::tuple(10, -1, -1));
  EXPECT_FLOAT_EQ(r.occupancy(1), 0.5f);
}

TEST(Rietan, GoldenFileCodedOperationsAndIdentity) {
  // Four operators of a centrosymmetric P structure: 8 operations, 15 coded lines (the
  // identity only in its second form).
  CrystalDocument doc = test::monoclinic();
  doc.crystals[0].hmSymbol = "P m m m";
  doc.crystals[0].xyzLines = {"-X,-Y,Z;", "X,Y,Z;", "-X,Y,-Z;", "X,-Y,-Z;"};  // the identity need not come first
  doc.crystals[0].cell[4] = kRightAngle;
  doc.sites[0][2].ortepType = -1;  // written as "1.0", read back without a factor
  doc.sites[0][2].tfClass = 0;
  test::TestSession r;
  const std::string out = test::writeAndRead(doc, "rietan", kKindRietan, r);
  EXPECT_EQ(out, test::readFile(test::fixture("formats/rietan/monoclinic.xyz")));
  const std::string coded = out.substr(out.find("  0.0\n"), out.find("ENDSYM") - out.find("  0.0\n"));
  EXPECT_EQ(std::count(coded.begin(), coded.end(), '\n') - 1, 15);
  // The identity added, then the 7 coded operations: the whole group.
  const CrystalRecord& c = r.document.crystals[0];
  EXPECT_EQ(test::groupOperations(c), test::groupOperations(doc.crystals[0]));
  EXPECT_EQ(test::groupOperations(c).size(), 8u);
  EXPECT_EQ(std::pair(r.document.sites[0][2].ortepType, r.document.sites[0][0].ortepType), std::pair(-1, 8));
  EXPECT_NEAR(r.document.sites[0][0].occupants[0].occupancy, 1.0f, 1e-5f);
}

TEST(Rietan, P1CountLineAndHexagonalAngle) {
  CrystalDocument doc = test::p1Document("one atom", {4.0f, 4.0f, 6.0f, kRightAngle, kRightAngle, kAngle120});
  Site s = test::siteAt("Fe1", 0.1f, 0.2f, 0.3f, 26);
  s.ortepType = 6;
  s.tfClass = 1;
  s.isoValue = 1.0f;  // a real B of 1 stays a factor
  s.occupants[0].occupancy = 0.5f;
  doc.sites[0] = {s};
  test::TestSession r;
  const std::string out = test::writeAndRead(doc, "rietan", kKindRietan, r);
  EXPECT_NE(out.find("ENDCON1\n   10\n"), std::string::npos);
  EXPECT_NE(out.find("          -0.5\n"), std::string::npos);
  EXPECT_EQ(r.document.crystals[0].cell[5], nativeFileValue(120.0f * 0.017453292f));
  ASSERT_EQ(r.document.siteCount(), 1);
  const Site& fe = r.document.sites[0][0];
  EXPECT_EQ(std::tuple(fe.occupants[0].occupancy, fe.ortepType, fe.isoValue), std::tuple(0.5f, 6, 1.0f));
}

TEST(Rietan, TruncatedFilesAndBadAtomLinesEndWithAMessage) {
  for (const char* text : {"title\n    0\nENDCON1\n   20\nA1 1.0 0 0 0 1.0\n", "title\n    0\n",
                           "title\nENDCON1\n   10\nA1 x\n00000\n"}) {
    test::Imported r(kKindRietan, text);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.messages().size(), 1u);
    EXPECT_EQ(r.messages()[0].rfind("Error reading file - line: ", 0), 0u);
  }
}

/// One DBWS phase of one atom (LHPM layout of the atom line), scale lines, cell and its codes.
std::string dbwsPhase(int n) {
  return format("phase %d\n   1\nP 1\n", n) +
         format("%-4s%-4s        %8.5f%8.5f%8.5f%8.5f%8.5f\n", "O1", "O", 0.1, 0.2, 0.3, 1.0, 1.0) +
         "\n0.0\n\n1.0\n\n1.0\n\n" + format("%8.1f%8.1f%8.1f%8.1f%8.1f%8.1f\n\n", double(n), 5.0, 6.0, 90.0, 90.0, 90.0);
}

TEST(Dbws, GoldenSkeletonsWithOccupants) {
  CrystalDocument doc = test::monoclinic();
  Site& c1 = doc.sites[0][0];
  c1.occupants.push_back(c1.occupants[0]);
  c1.occupants[1].label = "Si1";
  c1.occupants[1].element = "Si";
  c1.occupants[0].occupancy = c1.occupants[1].occupancy = 0.5f;
  for (const char* format : {"dbws", "lhpm"}) {
    SCOPED_TRACE(format);
    const std::string name = std::string("monoclinic.") + (format[0] == 'd' ? "dbw" : "lhp");
    EXPECT_EQ(test::exportText(doc, format), test::readFile(test::fixture("formats/dbws/" + name)));
  }
}

TEST(Dbws, NegativeBetaValuesKeepTheirColumns) {
  // Thirty anisotropic sites with negative cross terms, through both skeletons.
  CrystalDocument doc = test::randomP1(30, 7);
  for (std::size_t i = 0; i < doc.sites[0].size(); ++i) {
    Site& s = doc.sites[0][i];
    s.ortepType = 8;
    s.tfClass = 2;
    const float f = 0.001f * static_cast<float>(i);
    s.aniso = {0.02f + f, 0.03f, 0.025f, -0.004f - f, -0.006f, -0.003f + f};
  }
  for (const auto& [format, kind] : {std::pair("dbws", kKindDbws), std::pair("lhpm", kKindLhpm)}) {
    SCOPED_TRACE(format);
    test::TestSession r;
    test::writeAndRead(doc, format, kind, r);
    test::expectSameStructure(doc, r.document, {5e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-5f});
  }
}

TEST(Dbws, PhasesLayoutsAndTheOldFormatQuestion) {
  // Twelve phases: ten are offered; the tenth is read.
  std::string file = "many\n   0   0  12\n\n\n\n\n\n\n\n";
  for (int n = 1; n <= 12; ++n) file += dbwsPhase(n);
  test::Imported many(kKindDbws, file, "many.dbw", 10);
  ASSERT_TRUE(many.ok);
  EXPECT_EQ(many.offered.size(), 10u);
  EXPECT_TRUE(many.saw(" Number of phases larger than 10 - excess ignored"));
  EXPECT_FLOAT_EQ(many.crystal().cell[0], 10.0f);
  ASSERT_EQ(many.sites().size(), 1u);
  EXPECT_FLOAT_EQ(many.site(0).z, 0.3f);  // the LHPM layout of the atom line in a DBWS file

  // A negative second control integer announces four more lines per phase; a file
  // without them reads after the old-format retry.
  test::Imported old(kKindDbws, "old\n   0  -1   2\n\n\n\n\n\n\n\n" + dbwsPhase(1) + dbwsPhase(2), "old.dbw", 2);
  ASSERT_TRUE(old.ok);
  EXPECT_EQ(old.s.ui.questions(), std::vector<std::string>{"Error reading file - line: 11.200000 - do you want to try "
                                                            "again assuming old (9002) format?"});
  EXPECT_FLOAT_EQ(old.crystal().cell[0], 2.0f);

  // LHPM asks nothing: a file cut short ends with the message.
  test::Imported cut(kKindLhpm, "cut\n   0   0   1\n\n\n");
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(cut.messages(), std::vector<std::string>{"Error reading file - line: 5.000000"});
}

}  // namespace
}  // namespace tessera
