// The commands of tessera-cli that edit a document or work on symmetry.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using test::CliRun;
using test::runCli;

CrystalDocument load(const std::string& path) {
  CrystalDocument doc;
  ScriptedUserInterface ui;
  EXPECT_TRUE(readDocumentFile(doc, path, ui));
  return doc;
}

const std::string kCorundum = test::exampleDocument().string();

TEST(AssignCommand, TableAndCustomSymmetry) {
  test::ScratchDir dir;
  CliRun r = runCli({"assign", kCorundum, dir.file("a.tsr"), "--hm", "R-3m"});
  ASSERT_EQ(r.code, 0) << r.err;
  const CrystalRecord a = load(dir.file("a.tsr")).crystals[0];
  EXPECT_EQ(std::tuple(a.hallSymbol, a.sgNumberText, a.symmetrySource), std::tuple("-R 3 2\"", "166:H", 1));

  // Volume I takes rhombohedral axes: a hexagonal cell draws the error but keeps the group.
  r = runCli({"assign", kCorundum, dir.file("b.tsr"), "--number", "167", "--vol", "I"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("tessera: Error - space group is rhombohedral and crystal axes are non-rhombohedral"),
            std::string::npos);

  r = runCli({"assign", kCorundum, dir.file("c.tsr"), "--hall", "Q 1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera: Error: Illegal lattice code\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("c.tsr")));

  r = runCli({"assign", kCorundum, dir.file("d.tsr"), "--custom", "--centric", "--identify"}, "x,y,z\n-x,y+1/2,-z+1/2\n");
  ASSERT_EQ(r.code, 0) << r.err;
  const CrystalRecord d = load(dir.file("d.tsr")).crystals[0];
  EXPECT_EQ(std::tuple(d.symmetrySource, d.hallSymbol, d.acentric), std::tuple(4, "-P 2ybc", 0));

  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr"), "--custom"}, "x,y,2z\n").code, 1);
  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr")}).code, 2);
  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr"), "--hm", "P1", "--hall", "P 1"}).code, 2);
  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr"), "--hm", "P1", "--vol", "B"}).code, 2);
}

TEST(SitesCommand, AddSetOccupantsAndDelete) {
  test::ScratchDir dir;
  CliRun r = runCli({"sites", kCorundum, dir.file("a.tsr"), "--add", "Cr1 24 0.1 0.2 0.3 8 0.01 0.02 0.03 0 0 0",
                     "--set", "1", "x=0.5", "label=Al9", "--occupant", "1:2", "label=Cr2", "element=Cr",
                     "occupancy=0.1", "--occupant", "3:1", "element=Cr"});
  ASSERT_EQ(r.code, 0) << r.err;
  CrystalDocument doc = load(dir.file("a.tsr"));
  ASSERT_EQ(doc.siteCount(), 3);
  const Site& al = doc.sites[0][0];
  ASSERT_EQ(al.occupantCount(), 2);
  EXPECT_EQ(std::tuple(al.label, al.x, al.occupants[0].label), std::tuple("Al9", 0.5f, "Al9"));
  EXPECT_EQ(std::tuple(al.occupants[1].label, al.occupants[1].occupancy), std::tuple("Cr2", 0.1f));
  const Site& cr = doc.sites[0][2];
  EXPECT_EQ(std::tuple(cr.label, cr.typeNumber, cr.ortepType, cr.aniso[2]), std::tuple("Cr1", 24, 8, 0.03f));
  EXPECT_EQ(cr.occupants.at(0).element, "Cr");

  r = runCli({"--no", "sites", dir.file("a.tsr"), dir.file("b.tsr"), "--delete", "2"});
  EXPECT_EQ(load(dir.file("b.tsr")).siteCount(), 3);  // No to the question
  r = runCli({"sites", dir.file("a.tsr"), dir.file("b.tsr"), "--delete", "2"});
  EXPECT_NE(r.err.find("Delete input atom (site) number 2 ? -> Yes"), std::string::npos);
  EXPECT_EQ(load(dir.file("b.tsr")).siteCount(), 2);

  // Refusals: a blank in a label, an unknown field, a site that does not exist, a range, an 11th atom.
  for (const char* edit : {"label=Al 1", "colour=red", "ortep=30"})
    EXPECT_EQ(runCli({"sites", kCorundum, dir.file("c.tsr"), "--set", "1", edit}).code, 1) << edit;
  EXPECT_EQ(runCli({"sites", kCorundum, dir.file("c.tsr"), "--set", "9", "x=0"}).code, 1);
  std::vector<std::string> many = {"sites", kCorundum, dir.file("c.tsr")};
  for (int j = 2; j <= 11; ++j) {
    many.push_back("--occupant");
    many.push_back("1:" + std::to_string(j));
  }
  r = runCli(many);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera: A site can be shared by at most 10 atoms\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("c.tsr")));
}

CliRun sg(std::vector<std::string> args) {
  args.insert(args.begin(), "sg");
  return runCli(args);
}

CliRun identify(const std::string& input, std::vector<std::string> args = {}) {
  args.insert(args.begin(), "identify");
  return runCli(args, input);
}

TEST(SgCommand, PrintsTheGroupBlock) {
  const CliRun r = sg({"P21/c"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Hall: -P 2ybc\nNumber: 14:b1\nH-M: P_1_21/c_1\nLattice: P\nCentric: -1\nCrystal system: monoclinic\n"
            "Point group: 2/m\nOperators: 2\nX,Y,Z\n-X,1/2+Y,1/2-Z\n");
  EXPECT_PRED2(startsWith, sg({"--vol", "I", "14"}).out, "Hall: -P 2bc\nNumber: 14:c3\nH-M");
  EXPECT_EQ(sg({"--hall", "-P", "2ybc"}).out, r.out);  // words are joined, a leading "-" is no option
  // A group no row holds has blank names.
  EXPECT_PRED2(startsWith, sg({"--hall", " P 2 (0 0 1)"}).out, "Hall:  P 2 (0 0 1)\nNumber: \nH-M: \nLattice: P\n");

  const CliRun missing = sg({"Q2"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "tessera: Space-group symbol not found in Int. Tables list\n");
  EXPECT_EQ(sg({"--hall", "P 2 (0 0"}).err, "tessera: Error: Missing origin shift values\n");
  EXPECT_EQ(sg({}).code, 2);
  EXPECT_EQ(sg({"--vol", "B", "14"}).code, 2);
}

TEST(SgCommand, TableChecksEveryRow) {
  const CliRun r = sg({"--table"});
  ASSERT_EQ(r.code, 0);
  std::istringstream lines(r.out);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) EXPECT_EQ(line.substr(line.size() - 3), "\tok") << line;
  EXPECT_EQ(count, 530);
  EXPECT_PRED2(startsWith, r.out, "1\t P 1\tP_1\tok\n2\t-P 1\tP_-1\tok\n3:b\t P 2y\tP_1_2_1\tok\n");
}

TEST(IdentifyCommand, ReadsOperatorsAndReports) {
  const CliRun r = identify("x,y,z\n-x,y+1/2,-z+1/2\n\n-x,-y,-z\r\nx,-y+1/2,z+1/2\n");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "tessera: Inversion center detected - do you want to remove extra operators? -> Yes\n");
  EXPECT_PRED2(startsWith, r.out, "Hall: -P 2ybc\nNumber: 14:b1\n");
  const CliRun centric = identify("x,y,z\n-x,y,-z+1/2\n", {"--centric", "--lattice", "C"});
  EXPECT_EQ(centric.err, "");
  EXPECT_PRED2(startsWith, centric.out, "Hall: -C 2yc\nNumber: 15:b1\n");
  const CliRun bad = identify("x,y,z\nx+1/3,y,z\n");
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.err, "tessera: Add2ListSeitzMx failed\ntessera: Error: Illegal lattice translation\n");
  EXPECT_EQ(identify("", {"--lattice", "Q"}).code, 2);
}

}  // namespace
}  // namespace tessera
