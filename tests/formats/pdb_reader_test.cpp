#include "formats/pdb_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "formats/import_kinds.h"
#include "support/cli_run.h"
#include "support/test_session.h"

namespace tessera {
namespace {

const std::filesystem::path kFormats =
    std::filesystem::path(TESSERA_FIXTURES) / ".." / ".." / ".." / "shared" / "corpus" / "formats";

TEST(PdbReader, RealFilesReadWithTheirElements) {
  struct Expected {
    const char* file;
    std::size_t atoms;
  };
  for (const Expected& e : {Expected{"4hhh_frag.pdb", 0}, Expected{"5e5z.pdb", 0}, Expected{"pdb1gdr.ent", 0},
                            Expected{"HEM.pdb", 0}, Expected{"test09.pdb", 0}}) {
    SCOPED_TRACE(e.file);
    test::TestSession s;
    ASSERT_TRUE(s.import(kKindPdb, kFormats / "pdb" / e.file));
    EXPECT_FALSE(s.document.sites[0].empty());
    for (const Site& site : s.document.sites[0]) EXPECT_GT(site.typeNumber, 0) << site.label;
    EXPECT_EQ(s.document.crystals[0].hmSymbol, "P1");
  }
  auto typesOf = [](const char* file) {
    test::TestSession s;
    EXPECT_TRUE(s.import(kKindPdb, kFormats / "pdb" / file));
    std::map<std::string, int> types;
    for (const Site& site : s.document.sites[0]) types[site.label] = site.typeNumber;
    return std::make_pair(types, s.ui.messages());
  };
  const auto [frag, fragMessages] = typesOf("4hhh_frag.pdb");
  EXPECT_EQ(frag.at("CA"), 6);  // C-alpha, not calcium
  EXPECT_EQ(std::count(fragMessages.begin(), fragMessages.end(),
                       "Atoms in alternate locations found - accepted only those designated 'A'"),
            1);
  const auto [hetero, unused] = typesOf("test09.pdb");
  EXPECT_EQ(hetero.at("NA"), 11);
  EXPECT_EQ(hetero.at("CA"), 20);
  const auto [heme, unused2] = typesOf("HEM.pdb");
  EXPECT_EQ(heme.at("FE"), 26);
  EXPECT_EQ(heme.at("HMAA"), 1);
  const auto [old, unused3] = typesOf("pdb1gdr.ent");
  EXPECT_EQ(old.at("CA"), 6);
}

TEST(PdbReader, HeaderColumnsAlternatesAndHostileLines) {
  test::ScratchDir dir;
  const std::string header = "HEADER    " + std::string("HYDROLASE") + std::string(31, ' ') + "01-JAN-99" + "   1ABC";
  const std::string file = header +
                           "\r\n"
                           "ATOM      1  CA AALA A   1    -100.123-200.456 300.789  1.00 20.00           C\r\n"
                           "ATOM      2  CA BALA A   1      10.000  20.000  30.000  0.50 20.00           C\r\n"
                           "ATOM      3  HG1 SER A   2       1.000   2.000   3.000  1.00 20.00\r\n"
                           "HETATM    4 HG   HG  A   3       1.000   2.000   3.000  1.00 20.00\r\n"
                           "ATOM      5  N   ALA A   4       x.000   2.000   3.000  1.00 20.00           N\r\n"
                           "ATOM      6  O   ALA A\r\n"
                           "TER\r\nEND\r\n";
  test::writeFile(dir.path() / "t.pdb", file);
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindPdb, dir.path() / "t.pdb"));
  EXPECT_EQ(s.document.title.substr(0, 15), "1ABC HYDROLASE ");
  EXPECT_EQ(s.document.title.substr(s.document.title.size() - 13), "01-JAN-99   1");
  const auto& sites = s.document.sites[0];
  ASSERT_EQ(sites.size(), 3u);
  EXPECT_NEAR(sites[0].x, -100.123f, 1e-3);
  EXPECT_NEAR(sites[0].y, -200.456f, 1e-3);
  EXPECT_EQ(sites[1].typeNumber, 1);   // HG1 is a hydrogen
  EXPECT_EQ(sites[2].typeNumber, 80);  // HG left-aligned is mercury
  const std::vector<std::string> messages = s.ui.messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "Error reading atom coordinate line"), 2);
  EXPECT_EQ(s.document.crystals[0].cell[0], 1.0f);

  test::writeFile(dir.path() / "bin.pdb", std::string("ATOM\x01\x02\x00\xff", 8));
  test::TestSession b;
  EXPECT_FALSE(b.import(kKindPdb, dir.path() / "bin.pdb"));
  EXPECT_FALSE(b.document.isOpen);
}

TEST(PdbReader, ReachedThroughTheCommandLineByExtension) {
  test::ScratchDir dir;
  const std::string out = (dir.path() / "hem.cif").string();
  const test::CliRun r = test::runCli({"convert", (kFormats / "pdb" / "HEM.pdb").string(), out});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(test::readFile(out).find("FE"), std::string::npos);
}

}  // namespace
}  // namespace tessera
