#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using CliResult = test::CliRun;
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
  CliResult r = runCli({"assign", kCorundum, dir.file("a.tsr"), "--hm", "R-3m"});
  ASSERT_EQ(r.code, 0) << r.err;
  CrystalDocument doc = load(dir.file("a.tsr"));
  EXPECT_EQ(doc.crystals[0].hallSymbol, "-R 3 2\"");
  EXPECT_EQ(doc.crystals[0].sgNumberText, "166:H");
  EXPECT_EQ(doc.crystals[0].symmetrySource, 1);

  // Volume I takes rhombohedral axes: a hexagonal cell draws the error but keeps the group.
  r = runCli({"assign", kCorundum, dir.file("b.tsr"), "--number", "167", "--vol", "I"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("tessera: Error - space group is rhombohedral and crystal axes are non-rhombohedral"),
            std::string::npos);

  r = runCli({"assign", kCorundum, dir.file("c.tsr"), "--hall", "Q 1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera: Error: Illegal lattice code\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("c.tsr")));

  r = runCli({"assign", kCorundum, dir.file("d.tsr"), "--custom", "--centric", "--identify"},
          "x,y,z\n-x,y+1/2,-z+1/2\n");
  ASSERT_EQ(r.code, 0) << r.err;
  doc = load(dir.file("d.tsr"));
  EXPECT_EQ(doc.crystals[0].symmetrySource, 4);
  EXPECT_EQ(doc.crystals[0].hallSymbol, "-P 2ybc");
  EXPECT_EQ(doc.crystals[0].acentric, 0);

  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr"), "--custom"}, "x,y,2z\n").code, 1);
  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr")}).code, 2);
  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr"), "--hm", "P1", "--hall", "P 1"}).code, 2);
  EXPECT_EQ(runCli({"assign", kCorundum, dir.file("e.tsr"), "--hm", "P1", "--vol", "B"}).code, 2);
}

TEST(SitesCommand, AddSetOccupantsAndDelete) {
  test::ScratchDir dir;
  CliResult r = runCli({"sites", kCorundum, dir.file("a.tsr"), "--add", "Cr1 24 0.1 0.2 0.3 8 0.01 0.02 0.03 0 0 0", "--set",
               "1", "x=0.5", "label=Al9", "--occupant", "1:2", "label=Cr2", "element=Cr", "occupancy=0.1", "--occupant",
               "3:1", "element=Cr"});
  ASSERT_EQ(r.code, 0) << r.err;
  CrystalDocument doc = load(dir.file("a.tsr"));
  ASSERT_EQ(doc.siteCount(), 3);
  EXPECT_EQ(doc.sites[0][0].label, "Al9");
  EXPECT_FLOAT_EQ(doc.sites[0][0].x, 0.5f);
  ASSERT_EQ(doc.sites[0][0].occupantCount(), 2);
  EXPECT_EQ(doc.sites[0][0].occupants[0].label, "Al9");
  EXPECT_EQ(doc.sites[0][0].occupants[1].label, "Cr2");
  EXPECT_FLOAT_EQ(doc.sites[0][0].occupants[1].occupancy, 0.1f);
  const Site& cr = doc.sites[0][2];
  EXPECT_EQ(cr.label, "Cr1");
  EXPECT_EQ(cr.typeNumber, 24);
  EXPECT_EQ(cr.ortepType, 8);
  EXPECT_FLOAT_EQ(cr.aniso[2], 0.03f);
  EXPECT_EQ(cr.occupants.at(0).element, "Cr");

  r = runCli({"--no", "sites", dir.file("a.tsr"), dir.file("b.tsr"), "--delete", "2"});
  EXPECT_EQ(load(dir.file("b.tsr")).siteCount(), 3);  // No to the question
  r = runCli({"sites", dir.file("a.tsr"), dir.file("b.tsr"), "--delete", "2"});
  EXPECT_NE(r.err.find("Delete input atom (site) number 2 ? -> Yes"), std::string::npos);
  EXPECT_EQ(load(dir.file("b.tsr")).siteCount(), 2);

  // Refusals: a blank in a label, an unknown field, a site that does not exist, an 11th atom.
  EXPECT_EQ(runCli({"sites", kCorundum, dir.file("c.tsr"), "--set", "1", "label=Al 1"}).code, 1);
  EXPECT_EQ(runCli({"sites", kCorundum, dir.file("c.tsr"), "--set", "1", "colour=red"}).code, 1);
  EXPECT_EQ(runCli({"sites", kCorundum, dir.file("c.tsr"), "--set", "9", "x=0"}).code, 1);
  EXPECT_EQ(runCli({"sites", kCorundum, dir.file("c.tsr"), "--set", "1", "ortep=30"}).err,
            "tessera: Please enter a number between -1 and 20.\n");
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

}  // namespace
}  // namespace tessera
