#include <gtest/gtest.h>

#include <sstream>

#include "core/native_file.h"
#include "formats/import_kinds.h"
#include "formats/rietveld_checks.h"
#include "support/builders.h"
#include "support/structures.h"
#include "support/test_session.h"

namespace tessera {
namespace {

int countLines(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t a = text.find(from), b = text.find(to);
  int n = 0;
  for (std::size_t i = a; i < b; ++i) n += text[i] == '\n';
  return n;
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
  test::ScratchDir dir;
  test::TestSession w;
  w.document = doc;
  ASSERT_TRUE(w.exportTo("rietan", dir.path() / "m.xyz"));
  const std::string out = test::readFile(dir.path() / "m.xyz");
  EXPECT_EQ(out, test::readFile(test::fixture("formats/rietan/monoclinic.xyz")));
  EXPECT_EQ(countLines(out, "  0.0\n", "ENDSYM") - 1, 15);

  test::TestSession r;
  ASSERT_TRUE(r.import(kKindRietan, dir.path() / "m.xyz"));
  // The identity added, then the 7 coded operations: the whole group.
  const CrystalRecord& c = r.document.crystals[0];
  EXPECT_EQ(test::groupOperations(c), test::groupOperations(doc.crystals[0]));
  EXPECT_EQ(test::groupOperations(c).size(), 8u);
  EXPECT_EQ(r.document.sites[0][2].ortepType, -1);
  EXPECT_EQ(r.document.sites[0][0].ortepType, 8);
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
  test::ScratchDir dir;
  test::TestSession w;
  w.document = doc;
  ASSERT_TRUE(w.exportTo("rietan", dir.path() / "p1.xyz"));
  const std::string out = test::readFile(dir.path() / "p1.xyz");
  EXPECT_NE(out.find("ENDCON1\n   10\n"), std::string::npos);
  EXPECT_NE(out.find("          -0.5\n"), std::string::npos);
  test::TestSession r;
  ASSERT_TRUE(r.import(kKindRietan, dir.path() / "p1.xyz"));
  EXPECT_EQ(r.document.crystals[0].cell[5], nativeFileValue(120.0f * 0.017453292f));
  ASSERT_EQ(r.document.siteCount(), 1);
  EXPECT_FLOAT_EQ(r.document.sites[0][0].occupants[0].occupancy, 0.5f);
  EXPECT_EQ(r.document.sites[0][0].ortepType, 6);
  EXPECT_FLOAT_EQ(r.document.sites[0][0].isoValue, 1.0f);
}

TEST(Rietan, TruncatedFilesAndBadAtomLinesEndWithAMessage) {
  test::ScratchDir dir;
  for (const std::string& text :
       {std::string("title\n    0\nENDCON1\n   20\nA1 1.0 0 0 0 1.0\n"), std::string("title\n    0\n"),
        std::string("title\nENDCON1\n   10\nA1 x\n00000\n")}) {
    test::writeFile(dir.path() / "t.xyz", text);
    test::TestSession r;
    EXPECT_FALSE(r.import(kKindRietan, dir.path() / "t.xyz"));
    ASSERT_EQ(r.ui.messages().size(), 1u);
    EXPECT_EQ(r.ui.messages()[0].rfind("Error reading file - line: ", 0), 0u);
  }
}

}  // namespace
}  // namespace tessera
