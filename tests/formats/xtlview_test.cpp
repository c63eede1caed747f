#include <gtest/gtest.h>

#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// Imports data set `set` of the three-set fixture.
void importSet(test::TestSession& s, int set) {
  for (int k = 0; k < 2; ++k)
    s.ui.dialogs.push_back([set](DialogModel& m) {
      if (auto* d = dynamic_cast<DataSetModel*>(&m)) d->selection = set;
      return true;
    });
  ASSERT_TRUE(s.import(kKindXtlview, test::fixture("formats/xtlview/three_sets.xtl")));
}

TEST(XtlviewReader, GoldenDataSetsExplicitSymmetryTranspositionAndShift) {
  std::string dumps;
  for (int set = 1; set <= 3; ++set) {
    test::TestSession s;
    importSet(s, set);
    // Three data sets: the blank line after the first END names none.
    if (set == 1) {
      EXPECT_EQ(s.document.crystals[0].lineCount(), 2);  // the identity once, the inversion as the flag
      EXPECT_EQ(s.document.crystals[0].acentric, 0);
    }
    dumps += test::documentDump(s.document);
    dumps += "sgNumberText " + s.document.crystals[0].sgNumberText + "\n";
    for (const std::string& m : s.ui.messages()) dumps += "message " + m + "\n";
  }
  EXPECT_EQ(dumps, test::readFile(test::fixture("formats/xtlview/three_sets.expected")));
}

TEST(XtlviewReader, OneDataSetNeedsNoChoiceAndBadLinesAreReported) {
  test::ScratchDir dir;
  test::writeFile(
      dir.path() / "one.xtl",
      "ONE\n\n SPACE GROUP P 1\n5 6 7 90 90\nISO\nA1\n0.1 zz\nANISOB\nB1\n0.1 0.2 0.3 1 2 3 0.1 0.2 0.3\nEND\n");
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindXtlview, dir.path() / "one.xtl"));
  for (const auto& e : s.ui.events) EXPECT_NE(e.text, DataSetModel::kKind);  // no choice asked
  EXPECT_EQ(s.ui.messages(),
            (std::vector<std::string>{"Error reading cell line", "Error reading atom A1 - atom skipped",
                                      "Unit-cell not found - Cartesian axes will be used",
                                      "Warning: space group does not match axis type"}));
  ASSERT_EQ(s.document.siteCount(), 1);
  EXPECT_EQ(s.document.sites[0][0].ortepType, 0);
  EXPECT_EQ(s.document.crystals[0].hmSymbol, "P1");

  // An origin shift does not hide a transposition the table does not know.
  test::writeFile(dir.path() / "odd.xtl",
                  "ODD\n\nSPACE GROUP P 21/c\n5 6 7 90 90 90 -14\n0.25 0 0\n1 0 0\n0 0 1\n0 1 0\nEND\n");
  test::TestSession odd;
  ASSERT_TRUE(odd.import(kKindXtlview, dir.path() / "odd.xtl"));
  EXPECT_TRUE(odd.ui.saw("Unknown axis transposition - try using symbol"));

  // An inversion off the origin is an operator like any other, not the centrosymmetric flag.
  test::writeFile(dir.path() / "off.xtl",
                  "OFF\n\nSPACE GROUP P -1\n5 6 7 90 90 90 0\n1\n-1 0 0 0.5\n0 -1 0 0\n0 0 -1 0\n0 0 0\nEND\n");
  test::TestSession off;
  ASSERT_TRUE(off.import(kKindXtlview, dir.path() / "off.xtl"));
  EXPECT_EQ(off.document.crystals[0].xyzLines, (std::vector<std::string>{"X,Y,Z;", "1/2-X,-Y,-Z; "}));
  EXPECT_EQ(off.document.crystals[0].acentric, 1);
}

}  // namespace
}  // namespace tessera
