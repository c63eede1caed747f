#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "core/text.h"
#include "formats/fdat_reader.h"
#include "formats/icsd_common.h"
#include "formats/format_helpers.h"
#include "formats/import_kinds.h"

namespace tessera {
namespace {

const std::filesystem::path kCorpus = test::corpusFile("ccdc-fdat/cubane.dat");

/// One hand-made entry: header, cell, text, symmetry, formula and atom records.
std::string entry(const std::string& code, int system, int centrosymmetry, const std::string& cellRecord,
                  int textCharacters, const std::vector<std::string>& operators,
                  const std::vector<std::string>& atoms) {
  std::string out =
      format("#%-8s%1d3000111      %3d%3d%3d%3d%3d%3d%3d%3d%3d%3d%3d", code.c_str(), system, 0, textCharacters, 0, 0, 0,
             static_cast<int>(operators.size()), 1, static_cast<int>(atoms.size()), 0, 0, 0);
  out += format("132%1d000000100000000000", centrosymmetry) + "00\n";
  out += cellRecord + "\n";
  for (int c = 0; c < textCharacters; c += 80) out += std::string(80, 'T') + "\n";
  for (std::size_t i = 0; i < operators.size(); i += 5) {
    for (std::size_t k = i; k < operators.size() && k < i + 5; ++k) out += operators[k];
    out += "\n";
  }
  out += "C  68H  23\n";
  for (std::size_t i = 0; i < atoms.size(); i += 3) {
    for (std::size_t k = i; k < atoms.size() && k < i + 3; ++k) out += atoms[k] + (k + 1 < i + 3 ? " " : "");
    out += "\n";
  }
  return out;
}

std::size_t groupSize(const CrystalRecord& c) { return icsdAllOperatorLines(c).size(); }

/// Imports entry `choice` (1-based) of a file.
bool importEntry(test::TestSession& s, const std::filesystem::path& path, int choice) {
  test::chooseDataSet(s, choice);
  return s.import(kKindCcdcFdat, path);
}

TEST(CcdcFdat, EveryEntryOfTheRealFileReads) {
  struct Expected {
    const char* title;
    std::size_t sites, operators;
    int axes;
  };
  const Expected expected[] = {{"AGAXAH", 25, 8, 2}, {"BEFSAH", 19, 4, 2},  {"BOBKEI", 15, 8, 2}, {"BOBLAG", 7, 36, 6},
                               {"BOBLEJ", 20, 2, 1}, {"BOBLUZ", 108, 4, 3}, {"CEDZUG", 10, 4, 2}, {"CUBANE", 4, 6, 4},
                               {"CUFZIM", 23, 4, 2}, {"FIGMAJ", 22, 4, 2},  {"HEGSAN", 7, 8, 2},  {"HESDUE", 20, 4, 2}};
  for (int i = 0; i < 12; ++i) {
    const Expected& e = expected[i];
    SCOPED_TRACE(e.title);
    test::TestSession s;
    ASSERT_TRUE(importEntry(s, kCorpus, i + 1));
    const CrystalRecord& c = s.document.crystals[0];
    EXPECT_EQ(s.document.title, e.title);
    EXPECT_EQ(s.document.sites[0].size(), e.sites);
    EXPECT_EQ(groupSize(c), e.operators) << c.lineCount() << " " << c.acentric << " " << c.latticeCode;
    EXPECT_EQ(c.axesType, e.axes);
    EXPECT_FALSE(s.ui.saw("Unit-cell not found - Cartesian axes will be used"));
    EXPECT_FALSE(s.ui.saw("Error - crystal axes are rhombohedral and space group is non-rhombohedral"));
    for (const Site& site : s.document.sites[0]) EXPECT_GT(site.typeNumber, 0) << site.label;
    if (i > 0) continue;
    EXPECT_NEAR(c.cell[0], 13.7877f, 1e-4);
    EXPECT_NEAR(c.cell[4] / kDegToRad, 112.364f, 1e-3);
    const Site& zn = s.document.sites[0][0];
    EXPECT_EQ(std::tuple(zn.label, zn.occupants[0].element), std::tuple("ZN1", "Zn"));
    EXPECT_NEAR(zn.x, 0.04355f, 1e-6);
    EXPECT_NEAR(zn.z, 0.14864f, 1e-6);
  }
  test::TestSession cubane;
  cubane.settings.symmetrySourcePref = 1;  // the symbol, on rhombohedral axes, gives the group too
  ASSERT_TRUE(importEntry(cubane, kCorpus, 8));
  EXPECT_EQ(cubane.document.crystals[0].sgNumber, 148);
  EXPECT_TRUE(cubane.ui.messages().empty()) << cubane.ui.messages()[0];
  EXPECT_EQ(cubane.document.crystals[0].rhombohedralAxes, 1);
  EXPECT_EQ(cubane.document.crystals[0].hmSymbol, "R-3r");
}

TEST(CcdcFdat, ValuesOperatorsAndCrystalSystems) {
  // a = 5.4310 from 054310 with four decimals; x + 1/2, y, -z + 1/2; 0150000 is 1.5, read 0.5;
  // " 012345" is 0.12345 (the coordinate unit is 0.00001).
  const std::string cell = " 54310 54310 54310    90    90    90444000 1 1 1 0 0 0  0  0  1P1      ";
  test::Imported r(kKindCcdcFdat, entry("ONE", 1, 2, cell, 0, {"211 0121 0112 0", "211 6121 0110 6"},
                                        {"C1    0123450150000      0", "O1   -012345-150000      0"}));
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.s.ui.lastChoiceItems.empty());
  for (const auto& e : r.s.ui.events) EXPECT_NE(e.text, "DataSets");
  EXPECT_NEAR(r.crystal().cell[0], 5.431f, 1e-5);
  EXPECT_EQ(r.crystal().xyzLines[1], "1/2+X,+Y,1/2-Z; ");
  const auto& sites = r.sites();
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_NEAR(sites[0].x, 0.12345f, 1e-6);
  EXPECT_NEAR(sites[0].y, 0.5f, 1e-6);
  EXPECT_NEAR(sites[1].y, -0.5f, 1e-6);

  bool rhombohedral = false;
  EXPECT_EQ(fdatAxesType(5, "P63/mmc", rhombohedral), 6);
  EXPECT_EQ(fdatAxesType(5, "P-3m1", rhombohedral), 4);
  EXPECT_EQ(fdatAxesType(5, "P-6m2", rhombohedral), 6);
  EXPECT_EQ(fdatAxesType(7, "R-3r", rhombohedral), 4);
  EXPECT_TRUE(rhombohedral);
  EXPECT_EQ(fdatAxesType(4, "P4/n", rhombohedral), 5);
  EXPECT_EQ(fdatUniqueAxis("P21/c"), 0);
  EXPECT_EQ(fdatUniqueAxis("P121/c1"), 0);
  EXPECT_EQ(fdatUniqueAxis("P1121/b"), 2);
  EXPECT_EQ(fdatUniqueAxis("P21/a11"), 1);
}

TEST(CcdcFdat, AFullListIsNotDoubledByTheCentrosymmetricFlag) {
  // Listed with the inversion the flag must not add a second copy; listed without, it adds it.
  const std::string cell = " 54310 64310 74310    90    90    90444000 1 1 1 0 0 0  0  0  2P-1     ";
  for (const auto& [operators, acentric] : {std::pair{std::vector<std::string>{"211 0121 0112 0", "011 0101 0110 0"}, 1},
                                            std::pair{std::vector<std::string>{"211 0121 0112 0"}, 0}}) {
    test::Imported r(kKindCcdcFdat, entry("FULL", 1, 1, cell, 100, operators, {"C1    0123450150000      0"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.crystal().acentric, acentric);
    EXPECT_EQ(groupSize(r.crystal()), 2u);
  }
}

TEST(CcdcFdat, BrokenRecordsAreRefusedWithTheirNumber) {
  const std::string cell = " 54310 54310 54310    90    90    90444000 1 1 1 0 0 0  0  0  1P1      ";
  const std::string good = entry("ONE", 1, 2, cell, 90, {"211 0121 0112 0"}, {"C1    0123450150000      0"});
  const std::vector<std::string> lines = [&] {
    std::vector<std::string> v;
    std::istringstream in(good);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
  }();
  auto firstLines = [&](std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n && i < lines.size(); ++i) out += lines[i] + "\r\n";
    return out;
  };
  test::expectRefused(kKindCcdcFdat,
                      {{"", "Read failed for FDAT file (1)"},
                       {"#ONE  xx\n", "Read failed for FDAT file (1)"},
                       {firstLines(1), "Read failed for FDAT file (2)"},
                       {lines[0] + "\n" + " 54310 54310     0    90    90    90444000\n", "Read failed for FDAT file (2)"},
                       {lines[0] + "\n" + " 54310 5431x 54310    90    90    90444000\n", "Read failed for FDAT file (2)"},
                       {firstLines(3), "Read failed for FDAT file (3)"},
                       {firstLines(4), "Read failed for FDAT file (4)"},
                       {firstLines(4) + "2A1 0\n", "Read failed for FDAT file (4)"},
                       {firstLines(5), "Read failed for FDAT file (5)"},
                       {firstLines(6), "Read failed for FDAT file (6)"},
                       {std::string("\x01\x02\x03#\xff\x00", 6), "Read failed for FDAT file (1)"}});
  // The whole entry with CR LF line ends reads.
  test::Imported crlf(kKindCcdcFdat, firstLines(lines.size()));
  EXPECT_TRUE(crlf.ok);
  EXPECT_EQ(crlf.sites().size(), 1u);
}

}  // namespace
}  // namespace tessera
