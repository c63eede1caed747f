#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using test::CliRun;
using test::runCli;
const std::string kExample = test::exampleDocument().string();

TEST(Cli, ShowPrintsTheControlWindow) {
  const CliRun r = runCli({"show", kExample});
  ASSERT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::vector<std::string> all;
  while (std::getline(lines, line)) all.push_back(line);
  ASSERT_EQ(all.size(), 9u);
  EXPECT_EQ(all[0], "File: " + kExample);
  EXPECT_EQ(all[1], "Symmetry - Space group: R_-3_c:H");
  EXPECT_EQ(all[2], " No. Label   Type      Coordinates                Beq    SOF  No. atoms");
  EXPECT_EQ(all[3], "    1 Al1     13   0.00000   0.00000   0.35216   0.19   1.00    1");
  EXPECT_EQ(all[5], "4.7602 4.7602 12.9933 90 90 120");
  EXPECT_EQ(all[8], "Selected atom: 1  Al1");
}

TEST(Cli, SaveRoundTripsAndReportsFailures) {
  test::ScratchDir dir;
  CliRun r = runCli({"save", kExample, dir.file("out.tsr")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::readFile(dir.file("out.tsr")), test::readFile(kExample));

  test::writeFile(dir.path() / "bad.tsr", "garbage\n");
  r = runCli({"save", dir.file("bad.tsr"), dir.file("never.tsr")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera: Not a valid TESSERA file\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "never.tsr"));
}

TEST(Cli, UsageErrorsHelpAndVersion) {
  EXPECT_EQ(runCli({}).code, 2);
  EXPECT_EQ(runCli({"frobnicate"}).code, 2);
  EXPECT_EQ(runCli({"--bogus", "show"}).code, 2);
  EXPECT_EQ(runCli({"show"}).code, 2);
  EXPECT_EQ(runCli({"--answers", "yxz", "show", kExample}).code, 2);
  const CliRun help = runCli({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("show"), std::string::npos);
  EXPECT_EQ(runCli({"show", "--help"}).out.rfind("usage: tessera-cli show", 0), 0u);
  EXPECT_EQ(runCli({"--version"}).out.rfind("tessera-cli ", 0), 0u);
}

TEST(Cli, AnswerPolicy) {
  std::ostringstream err;
  cli::AnswerPolicy policy;
  ASSERT_TRUE(cli::parseAnswers("n,c,y", policy));
  cli::ConsoleUserInterface ui(err, policy);
  EXPECT_EQ(ui.ask("Q1", Buttons::YesNo), Answer::No);
  EXPECT_EQ(ui.ask("Q2", Buttons::YesNoCancel), Answer::Cancel);
  EXPECT_EQ(ui.ask("Q3", Buttons::OkCancel), Answer::Ok);
  EXPECT_EQ(ui.ask("Q4", Buttons::YesNo), Answer::Yes);  // then the default
  EXPECT_EQ(err.str(), "tessera: Q1 -> No\ntessera: Q2 -> Cancel\ntessera: Q3 -> OK\ntessera: Q4 -> Yes\n");
  cli::AnswerPolicy no;
  no.negative = true;
  cli::ConsoleUserInterface negative(err, no);
  EXPECT_EQ(negative.ask("Q", Buttons::OkCancel), Answer::Cancel);
}

}  // namespace
}  // namespace tessera
