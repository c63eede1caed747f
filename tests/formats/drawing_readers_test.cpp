// The ORBIS, OSCILLA and XTLVIEW readers (ORTEP, which also writes, has a file of its own).

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/native_file.h"
#include "core/text.h"
#include "formats/format_helpers.h"
#include "formats/import_kinds.h"

namespace tessera {
namespace {

/// The dump with what the drawing programs keep per site and the messages shown.
std::string dumpWithDrawing(const test::TestSession& s) {
  std::string out = test::documentDump(s.document);
  for (const Site& site : s.document.sites[0])
    out += format("drawing %s %.3f %d %d %d / %d %d %d / %d %d %d vector %d %.2f %.2f %.2f %.2f\n", site.label.c_str(),
                  site.radius, site.rimColor[0], site.rimColor[1], site.rimColor[2], site.fillColor[0],
                  site.fillColor[1], site.fillColor[2], site.rimPattern, site.fillPattern, site.pen, site.hasVector,
                  site.vector[0], site.vector[1], site.vector[2], site.vectorLength);
  return out + test::messageLines(s);
}

auto drawing(const Site& s) { return std::tuple(s.radius, s.rimColor, s.fillColor, s.rimPattern, s.fillPattern, s.pen); }

TEST(OrbisReader, GoldenKeywordAndNumericFormsAndTheFreeFormExportOfTheirDrawing) {
  test::ScratchDir dir;
  for (const char* name : {"rutile", "quartz"}) {
    SCOPED_TRACE(name);
    test::TestSession s;
    ASSERT_TRUE(s.import(kKindOrbis, test::fixture(std::string("formats/orbis/") + name + ".str")));
    EXPECT_EQ(dumpWithDrawing(s), test::readFile(test::fixture(std::string("formats/orbis/") + name + ".expected")));
    ASSERT_TRUE(s.exportTo("free-form", dir.path() / "out.inp"));
    EXPECT_NE(test::readFile(dir.path() / "out.inp").find("FIELDS LAB TYP COO RAD RMC FLC RMP FLP PEN"), std::string::npos);
    test::TestSession back;
    ASSERT_TRUE(back.import(kKindFreeForm, dir.path() / "out.inp"));
    ASSERT_EQ(back.document.sites[0].size(), s.document.sites[0].size());
    for (std::size_t i = 0; i < s.document.sites[0].size(); ++i)
      EXPECT_EQ(drawing(back.document.sites[0][i]), drawing(s.document.sites[0][i])) << i;
  }
}

TEST(OrbisReader, RefusedFilesWarningsAndAtomsCompletedByTheNextAtom) {
  const std::string old = "Only V3.0 or later ORBIS files can be read";
  test::expectImports(kKindOrbis, {
      {"oruniv2\nTITL x\n", false, {old}, 0},
      {"", false, {old}, 0},
      // Whatever GNIN1's completion flags say, every atom is added; a non-zero polymer flag warns.
      {"ORUNIV2\nGNIN1 0 0 1 0 1 0 1 0 0 0\nGNFP1 5 5 5 90 90 90\nATBAS1 A1 6 0 0 0 0.5 0\n"
       "ATBAS1 A2 6 0.5 0 0 0.5 0\nATTFS 6 1.5 0 0 0 0 0\n",
       true,
       {"This structure is drawn by ORBIS as a polymer or molecule - may not be suitable as a crystal",
        "Insufficient information to assign symmetry - default P1 will be used"},
       2},
      {"ORUNIV2\nGNFP1 5 5 x 90 90 90\n", false, {"File read error: GNFP1 5 5 x 90 90 90"}, 0},
      {"ORUNIV\nT\n4.8\n1 0 0 0 0 0 0 0 0\n0 0\n", false, {"Error reading file"}, 0}});
}

TEST(OrbisReader, NumericFormVersionDecidesTheExtraAtomValues) {
  // Before 4.8101 an atom ends with its colours; the 4.95 file has a real and a group more.
  std::string text = test::readFile(test::fixture("formats/orbis/quartz.str"));
  for (const std::string& cutOut : {std::string("  0.5   1 2 0.5\n"), std::string(" 0.5 1 2 0.5 10")}) {
    const std::size_t at = text.find(cutOut);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, cutOut.size(), cutOut.back() == '0' ? " 10" : "");
  }
  text.replace(text.find("4.95"), 4, "4.81");
  test::Imported old(kKindOrbis, text);
  test::TestSession current;
  ASSERT_TRUE(old.ok);
  ASSERT_TRUE(current.import(kKindOrbis, test::fixture("formats/orbis/quartz.str")));
  EXPECT_EQ(dumpWithDrawing(old.s), dumpWithDrawing(current));
}

TEST(OscillaReader, GoldenFileWithSkippedRecordsAndBlankLines) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindOscilla, test::fixture("formats/oscilla/quartz.osl")));
  EXPECT_EQ(test::documentDump(s.document) + test::messageLines(s),
            test::readFile(test::fixture("formats/oscilla/quartz.expected")));
  EXPECT_EQ(s.document.crystals[0].cell[5], nativeFileValue(kAngle120));  // 120 degrees as the native file keeps it
  EXPECT_EQ(s.document.crystals[0].pointGroupSchoenflies, "D3");
}

TEST(OscillaReader, CartesianMatricesReadErrorsAndValidity) {
  const std::string head = "T\nVERS 1.0\nSYM1 0 0 0 0 0 0 1\nCELL 5 5 5 1.5707963 1.5707963 1.5707963\n";
  const std::string cartesian = "This file uses Cartesian symmetry, from the file cart.dat - this symmetry will be ignored";
  test::expectImports(kKindOscilla, {
      // However many integer lines follow CFTT, the next keyword line still reads.
      {head + "CFTT cart.dat\n1 0\n0 1 0 0\n-1 0 0 0\nATOM 1 C1 6 0 0 0\n", true,
       {cartesian, "Insufficient information to assign symmetry - default P1 will be used"}},
      {head + "CFTT cart.dat\nATOM 1 C1 6 0 0 0\n", true,
       {"Error reading Cartesian symmetry matrices", cartesian, "Warning: space group does not match axis type"}},
      {head + "ATOM 1 C1 6 0 0 0\nBAD!\n", false, {"File read error: BAD!"}},
      {head + "CELL x\n", false, {"File read error: CELL x"}},
      {"T\nATOM 1 C1 6 0 0 0\n", false, {"Not a valid .OSL file"}}});
  EXPECT_EQ(test::Imported(kKindOscilla, head + "CFTT cart.dat\nATOM 1 C1 6 0 0 0\n").crystal().sgNumber, 1);

  // Operators without a symbol: the finish names the group from them.
  test::Imported ops(kKindOscilla, "T\nVERS 1\nCELL 5 6 7 1.5707963 1.5707963 1.5707963\nOPER X,Y,Z\n"
                                   "OPER -X,-Y,-Z\nATOM 1 C1 6 0.1 0.2 0.3\n");
  ASSERT_TRUE(ops.ok);
  EXPECT_EQ(ops.crystal().sgNumber, 2);

  // Past the line limit the message comes once, however many operators follow.
  std::string many = "T\nVERS 1\n";
  for (int k = 0; k < 400; ++k) many += "OPER X,Y,Z\n";
  test::Imported full(kKindOscilla, many);
  ASSERT_TRUE(full.ok);
  const std::vector<std::string> shown = full.messages();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "More than 192 symmetry lines"), 1);
  EXPECT_EQ(full.crystal().lineCount(), 1);  // the import finish drops repeated operators
}

TEST(XtlviewReader, GoldenDataSetsExplicitSymmetryTranspositionAndShift) {
  std::string dumps;
  for (int set = 1; set <= 3; ++set) {
    test::TestSession s;
    test::chooseDataSet(s, set);
    ASSERT_TRUE(s.import(kKindXtlview, test::fixture("formats/xtlview/three_sets.xtl")));
    if (set == 1) {  // the identity once, the inversion as the flag
      EXPECT_EQ(s.document.crystals[0].lineCount(), 2);
      EXPECT_EQ(s.document.crystals[0].acentric, 0);
    }
    dumps += test::documentDump(s.document) + "sgNumberText " + s.document.crystals[0].sgNumberText + "\n" +
             test::messageLines(s);
  }
  // Three data sets: the blank line after the first END names none.
  EXPECT_EQ(dumps, test::readFile(test::fixture("formats/xtlview/three_sets.expected")));
}

TEST(XtlviewReader, OneDataSetNeedsNoChoiceAndBadLinesAreReported) {
  test::Imported one(kKindXtlview,
                     "ONE\n\n SPACE GROUP P 1\n5 6 7 90 90\nISO\nA1\n0.1 zz\nANISOB\nB1\n0.1 0.2 0.3 1 2 3 0.1 0.2 0.3\nEND\n");
  ASSERT_TRUE(one.ok);
  for (const auto& e : one.s.ui.events) EXPECT_NE(e.text, DataSetModel::kKind);  // no choice asked
  EXPECT_EQ(one.messages(), (std::vector<std::string>{"Error reading cell line", "Error reading atom A1 - atom skipped",
                                                      "Unit-cell not found - Cartesian axes will be used",
                                                      "Warning: space group does not match axis type"}));
  ASSERT_EQ(one.sites().size(), 1u);
  EXPECT_EQ(one.site(0).ortepType, 0);
  EXPECT_EQ(one.crystal().hmSymbol, "P1");

  // An origin shift does not hide a transposition the table does not know.
  test::Imported odd(kKindXtlview, "ODD\n\nSPACE GROUP P 21/c\n5 6 7 90 90 90 -14\n0.25 0 0\n1 0 0\n0 0 1\n0 1 0\nEND\n");
  ASSERT_TRUE(odd.ok);
  EXPECT_TRUE(odd.saw("Unknown axis transposition - try using symbol"));

  // An inversion off the origin is an operator like any other, not the centrosymmetric flag.
  test::Imported off(kKindXtlview,
                     "OFF\n\nSPACE GROUP P -1\n5 6 7 90 90 90 0\n1\n-1 0 0 0.5\n0 -1 0 0\n0 0 -1 0\n0 0 0\nEND\n");
  ASSERT_TRUE(off.ok);
  EXPECT_EQ(off.crystal().xyzLines, (std::vector<std::string>{"X,Y,Z;", "1/2-X,-Y,-Z; "}));
  EXPECT_EQ(off.crystal().acentric, 1);
}

}  // namespace
}  // namespace tessera
