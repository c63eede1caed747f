// The American Mineralogist, PDB and golden database readings (ICSD and CCDC FDAT have
// files of their own).

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "formats/am_mineral_reader.h"
#include "formats/format_helpers.h"
#include "formats/import_kinds.h"

namespace tessera {
namespace {

TEST(DatabaseReaders, GoldenDumpsOfEveryDataSet) {
  const struct {
    int kind;
    const char* file;
    int dataSet;
    const char* expected;
  } cases[] = {{kKindCcdcFdat, "ccdc-fdat/two_entries.fdt", 1, "ccdc-fdat/two_entries_1.expected"},
               {kKindCcdcFdat, "ccdc-fdat/two_entries.fdt", 2, "ccdc-fdat/two_entries_2.expected"},
               {kKindAmMineral, "am-mineral/two_entries.amc", 1, "am-mineral/two_entries_1.expected"},
               {kKindAmMineral, "am-mineral/two_entries.amc", 2, "am-mineral/two_entries_2.expected"},
               {kKindPdb, "pdb/small.pdb", 1, "pdb/small.expected"},
               {kKindIcsd, "icsd/database_layout.ret", 1, "icsd/database_layout.expected"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    test::TestSession s;
    test::chooseDataSet(s, c.dataSet);
    ASSERT_TRUE(s.import(c.kind, test::fixture(std::string("formats/") + c.file)));
    EXPECT_EQ(test::documentDump(s.document), test::readFile(test::fixture(std::string("formats/") + c.expected)));
  }
}

TEST(AmMineral, TheRealFileWithoutMarkerIsOneEntry) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindAmMineral, test::corpusFile("am-mineral/AMS_DATA.amc")));
  EXPECT_EQ(s.document.title, "Diamond");
  EXPECT_NEAR(s.document.crystals[0].cell[1], 5.163f, 1e-5);
  EXPECT_EQ(s.document.crystals[0].hmSymbol.substr(0, 1), "C");
  ASSERT_EQ(s.document.sites[0].size(), 2u);
  const Site& c1 = s.document.sites[0][0];
  EXPECT_EQ(std::tuple(c1.label, c1.typeNumber), std::tuple("C1", 6));
  EXPECT_NEAR(c1.y, 0.0855f, 1e-6);
  EXPECT_NEAR(c1.z, 0.3443f, 1e-6);
  EXPECT_NEAR(s.document.sites[0][1].x, 0.25f, 1e-6);
  EXPECT_EQ(c1.ortepType, -1);  // no factor columns: no factor
  EXPECT_FALSE(s.ui.saw("Field not identified"));
}

TEST(AmMineral, EntriesOffsetsColumnsAndEnds) {
  const std::string file =
      "American Mineralogist Crystal Structure Database\r\n"
      "First mineral\r\n"
      "5 6 7 90 100 90 *P_21/c\r\n"
      "0.5 0 0\r\n"
      "atom      x       y       z     occ    Uiso\r\n"
      "Fe1  -0.1234  0.2500  0.3000   0.000  0.0100\r\n"
      "<end>\r\n"
      "O9    0.9     0.9     0.9\r\n"
      "AMERICAN MINERALOGIST\r\n"
      "Second mineral\r\n"
      "3.0 3.0 3.0 90 90 90 Fm-3m\r\n"
      "atom     x     y     z   U(1,1)   U(2,2)   U(3,3)   U(1,2)   U(1,3)   U(2,3) flag\r\n"
      "Cu    0.0   0.0   0.0   0.0100   0.0110   0.0120   0.0000   0.0000  -0.0015   x\r\n";
  test::Imported first(kKindAmMineral, file, "two.amc", 1);
  ASSERT_TRUE(first.ok);
  EXPECT_EQ(first.s.ui.lastChoiceItems.size(), 0u);
  EXPECT_EQ(first.s.document.title, "First mineral");
  ASSERT_EQ(first.sites().size(), 1u);  // stops at "<", never reads the second entry
  const Site& fe = first.site(0);
  EXPECT_NEAR(fe.x, 0.3766f, 1e-6);  // -0.1234 + 0.5: the minus sign kept
  EXPECT_NEAR(fe.occupants[0].occupancy, 1.0f, 1e-6);
  EXPECT_EQ(fe.ortepType, 10);
  EXPECT_NEAR(fe.isoValue, 0.01f, 1e-7);
  EXPECT_EQ(first.crystal().sgNumber, 14);

  test::Imported second(kKindAmMineral, file, "two.amc", 2);
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(second.s.document.title, "Second mineral");
  ASSERT_EQ(second.sites().size(), 1u);
  EXPECT_EQ(second.site(0).ortepType, 8);
  EXPECT_NEAR(second.site(0).aniso[5], -0.0015f, 1e-7);  // past column 80
  EXPECT_TRUE(second.saw("Field not identified"));

  const std::string header = "atom      x       y       z";  // fields are the tokens under their columns
  EXPECT_EQ(amColumnFields(header, "O1   -0.1234 12.5000   0.3"),
            (std::vector<std::string>{"O1", "-0.1234", "12.5000", "0.3"}));
  EXPECT_EQ(amColumnFields(header, "O1                        0.3"), (std::vector<std::string>{"O1", "", "", "0.3"}));
  EXPECT_EQ(amColumnFields("atom   x     y     z", "C2   .25     0 .1699"),
            (std::vector<std::string>{"C2", ".25", "0", ".1699"}));
}

TEST(AmMineral, BrokenEntriesFailWithTheirMessage) {
  test::expectRefused(kKindAmMineral, {{"Name\n1 2 3 90 90 90 *P1\n", "Error reading origin offset line"},
                                       {"Name\n1 2 3 90 90 90 *P1\n0.5 zero 0\natom x y z\n", "Error reading origin offset line"},
                                       {"Name\n1 2 3 90 90 90 P1\nC1 0 0 0\n", "Error reading atom format line"},
                                       {"", "Error at data location"},
                                       {std::string("Name\n\x01\x02\x00garbage", 15), "Error at data location"}});
}

TEST(PdbReader, RealFilesReadWithTheirElements) {
  std::map<std::string, std::map<std::string, int>> types;
  for (const char* file : {"4hhh_frag.pdb", "5e5z.pdb", "pdb1gdr.ent", "HEM.pdb", "test09.pdb"}) {
    SCOPED_TRACE(file);
    test::TestSession s;
    ASSERT_TRUE(s.import(kKindPdb, test::corpusFile(std::string("pdb/") + file)));
    EXPECT_FALSE(s.document.sites[0].empty());
    for (const Site& site : s.document.sites[0]) {
      EXPECT_GT(site.typeNumber, 0) << site.label;
      types[file][site.label] = site.typeNumber;
    }
    EXPECT_EQ(s.document.crystals[0].hmSymbol, "P1");
    const auto messages = s.ui.messages();
    const long alternates = std::count(messages.begin(), messages.end(),
                                       "Atoms in alternate locations found - accepted only those designated 'A'");
    if (file == std::string("4hhh_frag.pdb")) {
      EXPECT_EQ(alternates, 1);
    }
  }
  EXPECT_EQ(types["4hhh_frag.pdb"].at("CA"), 6);  // C-alpha, not calcium
  EXPECT_EQ(types["test09.pdb"].at("NA"), 11);
  EXPECT_EQ(types["test09.pdb"].at("CA"), 20);
  EXPECT_EQ(types["HEM.pdb"].at("FE"), 26);
  EXPECT_EQ(types["HEM.pdb"].at("HMAA"), 1);
  EXPECT_EQ(types["pdb1gdr.ent"].at("CA"), 6);
}

TEST(PdbReader, HeaderColumnsAlternatesAndHostileLines) {
  test::Imported r(kKindPdb, "HEADER    HYDROLASE" + std::string(31, ' ') + "01-JAN-99   1ABC\r\n"
                             "ATOM      1  CA AALA A   1    -100.123-200.456 300.789  1.00 20.00           C\r\n"
                             "ATOM      2  CA BALA A   1      10.000  20.000  30.000  0.50 20.00           C\r\n"
                             "ATOM      3  HG1 SER A   2       1.000   2.000   3.000  1.00 20.00\r\n"
                             "HETATM    4 HG   HG  A   3       1.000   2.000   3.000  1.00 20.00\r\n"
                             "ATOM      5  N   ALA A   4       x.000   2.000   3.000  1.00 20.00           N\r\n"
                             "ATOM      6  O   ALA A\r\n"
                             "TER\r\nEND\r\n");
  ASSERT_TRUE(r.ok);
  const std::string& title = r.s.document.title;
  EXPECT_EQ(title.substr(0, 15), "1ABC HYDROLASE ");
  EXPECT_EQ(title.substr(title.size() - 13), "01-JAN-99   1");
  ASSERT_EQ(r.sites().size(), 3u);
  EXPECT_NEAR(r.site(0).x, -100.123f, 1e-3);
  EXPECT_NEAR(r.site(0).y, -200.456f, 1e-3);
  EXPECT_EQ(r.site(1).typeNumber, 1);   // HG1 is a hydrogen
  EXPECT_EQ(r.site(2).typeNumber, 80);  // HG left-aligned is mercury
  const std::vector<std::string> messages = r.messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "Error reading atom coordinate line"), 2);
  EXPECT_EQ(r.crystal().cell[0], 1.0f);
  test::Imported binary(kKindPdb, std::string("ATOM\x01\x02\x00\xff", 8));
  EXPECT_FALSE(binary.ok);
  EXPECT_FALSE(binary.s.document.isOpen);
}

}  // namespace
}  // namespace tessera
