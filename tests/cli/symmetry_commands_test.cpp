#include <gtest/gtest.h>

#include <sstream>

#include "support/cli_run.h"

namespace tessera {
namespace {

using CommandRun = test::CliRun;

CommandRun sg(std::vector<std::string> args) {
  args.insert(args.begin(), "sg");
  return test::runCli(args);
}

CommandRun identify(const std::string& input, std::vector<std::string> args = {}) {
  args.insert(args.begin(), "identify");
  return test::runCli(args, input);
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(SgCommand, PrintsTheGroupBlock) {
  const CommandRun r = sg({"P21/c"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Hall: -P 2ybc\nNumber: 14:b1\nH-M: P_1_21/c_1\nLattice: P\nCentric: -1\nCrystal system: monoclinic\n"
            "Point group: 2/m\nOperators: 2\nX,Y,Z\n-X,1/2+Y,1/2-Z\n");
  EXPECT_PRED2(startsWith, sg({"--vol", "I", "14"}).out, "Hall: -P 2bc\nNumber: 14:c3\nH-M");
  EXPECT_PRED2(startsWith, sg({"68:1ba-c"}).out, "Hall:  C 2 2 -1bc\nNumber: 68:1ba-c\nH-M");
  EXPECT_EQ(sg({"--hall", "-P", "2ybc"}).out, r.out);  // words are joined, a leading "-" is no option
  const CommandRun hall = sg({"--hall", " C 2 2 -1bc"});
  EXPECT_PRED2(startsWith, hall.out, "Hall:  C 2 2 -1bc\nNumber: 68:1\nH-M: C_c_c_e:1\n");
  const CommandRun shifted = sg({"--hall", " P 2 (0 0 1)"});
  EXPECT_PRED2(startsWith, shifted.out, "Hall:  P 2 (0 0 1)\nNumber: \nH-M: \nLattice: P\n");
  const CommandRun cubic = sg({"227"});
  EXPECT_NE(cubic.out.find("H-M: F_d_-3_m:2\nLattice: F\nCentric: -1\nCrystal system: cubic\nPoint group: m-3m\nOperators: 24\n"),
            std::string::npos);

  const CommandRun missing = sg({"Q2"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "tessera: Space-group symbol not found in Int. Tables list\n");
  EXPECT_EQ(sg({"--hall", "P 2 (0 0"}).err, "tessera: Error: Missing origin shift values\n");
  EXPECT_EQ(sg({}).code, 2);
  EXPECT_EQ(sg({"--vol", "B", "14"}).code, 2);
}

TEST(SgCommand, TableChecksEveryRow) {
  const CommandRun r = sg({"--table"});
  ASSERT_EQ(r.code, 0);
  std::istringstream lines(r.out);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_EQ(line.substr(line.size() - 3), "\tok") << line;
  }
  EXPECT_EQ(count, 530);
  EXPECT_PRED2(startsWith, r.out, "1\t P 1\tP_1\tok\n2\t-P 1\tP_-1\tok\n3:b\t P 2y\tP_1_2_1\tok\n");
}

TEST(IdentifyCommand, ReadsOperatorsAndReports) {
  const CommandRun r = identify("x,y,z\n-x,y+1/2,-z+1/2\n\n-x,-y,-z\r\nx,-y+1/2,z+1/2\n");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "tessera: Inversion center detected - do you want to remove extra operators? -> Yes\n");
  EXPECT_PRED2(startsWith, r.out, "Hall: -P 2ybc\nNumber: 14:b1\n");
  const CommandRun centric = identify("x,y,z\n-x,y,-z+1/2\n", {"--centric", "--lattice", "C"});
  EXPECT_EQ(centric.err, "");
  EXPECT_PRED2(startsWith, centric.out, "Hall: -C 2yc\nNumber: 15:b1\n");
  const CommandRun bad = identify("x,y,z\nx+1/3,y,z\n");
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.err, "tessera: Add2ListSeitzMx failed\ntessera: Error: Illegal lattice translation\n");
  EXPECT_EQ(identify("", {"--lattice", "Q"}).code, 2);
}

}  // namespace
}  // namespace tessera
