#include <gtest/gtest.h>

#include <tuple>

#include "core/text.h"
#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// What the drawing program keeps per site beyond the dump.
auto drawing(const Site& s) {
  return std::tuple(s.radius, s.rimColor, s.fillColor, s.rimPattern, s.fillPattern, s.pen);
}

std::string dumpWithDrawing(const test::TestSession& s) {
  std::string out = test::documentDump(s.document);
  for (const Site& site : s.document.sites[0])
    out += format("drawing %s %.3f %d %d %d / %d %d %d / %d %d %d vector %d %.2f %.2f %.2f %.2f\n", site.label.c_str(),
                  site.radius, site.rimColor[0], site.rimColor[1], site.rimColor[2], site.fillColor[0],
                  site.fillColor[1], site.fillColor[2], site.rimPattern, site.fillPattern, site.pen, site.hasVector,
                  site.vector[0], site.vector[1], site.vector[2], site.vectorLength);
  for (const std::string& m : s.ui.messages()) out += "message " + m + "\n";
  return out;
}

TEST(OrbisReader, GoldenKeywordAndNumericForms) {
  for (const char* name : {"rutile", "quartz"}) {
    SCOPED_TRACE(name);
    test::TestSession s;
    ASSERT_TRUE(s.import(kKindOrbis, test::fixture(std::string("formats/orbis/") + name + ".str")));
    EXPECT_EQ(dumpWithDrawing(s), test::readFile(test::fixture(std::string("formats/orbis/") + name + ".expected")));
  }
}

TEST(OrbisReader, FreeFormExportWritesTheDrawingAttributesBack) {
  test::ScratchDir dir;
  for (const char* name : {"rutile", "quartz"}) {
    SCOPED_TRACE(name);
    test::TestSession s;
    ASSERT_TRUE(s.import(kKindOrbis, test::fixture(std::string("formats/orbis/") + name + ".str")));
    ASSERT_TRUE(s.exportTo("free-form", dir.path() / "out.inp"));
    EXPECT_NE(test::readFile(dir.path() / "out.inp").find("FIELDS LAB TYP COO RAD RMC FLC RMP FLP PEN"),
              std::string::npos);
    test::TestSession back;
    ASSERT_TRUE(back.import(kKindFreeForm, dir.path() / "out.inp"));
    const std::vector<Site>& a = s.document.sites[0];
    const std::vector<Site>& b = back.document.sites[0];
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(drawing(b[i]), drawing(a[i])) << i;
  }
}

TEST(OrbisReader, RefusedFilesWarningsAndAtomsCompletedByTheNextAtom) {
  test::ScratchDir dir;
  const struct {
    std::string text;
    bool ok;
    std::vector<std::string> messages;
    int sites;
  } cases[] = {
      {"oruniv2\nTITL x\n", false, {"Only V3.0 or later ORBIS files can be read"}, 0},
      {"", false, {"Only V3.0 or later ORBIS files can be read"}, 0},
      // Whatever GNIN1's completion flags say, every atom is added; a non-zero polymer flag warns.
      {"ORUNIV2\nGNIN1 0 0 1 0 1 0 1 0 0 0\nGNFP1 5 5 5 90 90 90\nATBAS1 A1 6 0 0 0 0.5 0\n"
       "ATBAS1 A2 6 0.5 0 0 0.5 0\nATTFS 6 1.5 0 0 0 0 0\n",
       true,
       {"This structure is drawn by ORBIS as a polymer or molecule - may not be suitable as a crystal",
        "Insufficient information to assign symmetry - default P1 will be used"},
       2},
      {"ORUNIV2\nGNFP1 5 5 x 90 90 90\n", false, {"File read error: GNFP1 5 5 x 90 90 90"}, 0},
      {"ORUNIV\nT\n4.8\n1 0 0 0 0 0 0 0 0\n0 0\n", false, {"Error reading file"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::writeFile(dir.path() / "t.str", c.text);
    test::TestSession s;
    EXPECT_EQ(s.import(kKindOrbis, dir.path() / "t.str"), c.ok);
    EXPECT_EQ(s.ui.messages(), c.messages);
    EXPECT_EQ(s.document.siteCount(), c.sites);
  }
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
  test::ScratchDir dir;
  test::writeFile(dir.path() / "old.str", text);
  test::TestSession old, current;
  ASSERT_TRUE(old.import(kKindOrbis, dir.path() / "old.str"));
  ASSERT_TRUE(current.import(kKindOrbis, test::fixture("formats/orbis/quartz.str")));
  EXPECT_EQ(dumpWithDrawing(old), dumpWithDrawing(current));
}

}  // namespace
}  // namespace tessera
