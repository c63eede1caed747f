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
const std::string kRes = test::fixture("formats/shelx/disorder.res").string();

TEST(Cli, ShowPrintsTheControlWindow) {
  const CliRun r = runCli({"show", kExample});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "File: " + kExample +
                       "\nSymmetry - Space group: R_-3_c:H\n"
                       " No. Label   Type      Coordinates                Beq    SOF  No. atoms\n"
                       "    1 Al1     13   0.00000   0.00000   0.35216   0.19   1.00    1\n"
                       "    2 O1       8   0.30624   0.00000   0.25000   0.21   1.00    1\n"
                       "4.7602 4.7602 12.9933 90 90 120\nORTEP 6, Biso = 0.190000\nNo vector\nSelected atom: 1  Al1\n");

  // Any importable file shows the same way, its reader's messages on stderr.
  const CliRun res = runCli({"show", kRes});
  ASSERT_EQ(res.code, 0) << res.err;
  EXPECT_NE(res.out.find("    1 FE1     26   0.50000   0.50000   0.50000"), std::string::npos);
  EXPECT_NE(res.out.find("7.512 9.843 11.207 90 102.35 90"), std::string::npos);
  EXPECT_EQ(res.err, "tessera: 2 residual-density peaks (Q) skipped\n");

  // A file of several data sets: --block picks one by number or name.
  const std::string journal = std::string(TESSERA_FIXTURES) + "/cif/journal_multiblock.cif";
  const CliRun second = runCli({"show", journal, "--block", "2"});
  ASSERT_EQ(second.code, 0) << second.err;
  EXPECT_NE(second.out.find("    1 Cl1     17   0.12345"), std::string::npos);
  EXPECT_EQ(runCli({"show", journal, "--block", "nosuchblock"}).code, 1);
  EXPECT_EQ(runCli({"show", journal, "--block"}).code, 2);
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
  test::ScratchDir dir;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"--bogus", "show"}, {"show"}, {"--answers", "yxz", "show", kExample},
           {"convert", kRes}, {"convert", kRes, dir.file("x.unknown")}, {"convert", dir.file("x.unknown"), dir.file("y.inp")},
           {"convert", kRes, dir.file("y.inp"), "--tf", "sideways"}})
    EXPECT_EQ(runCli(args).code, 2) << ::testing::PrintToString(args);
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

TEST(CliConvert, ShelxToFreeFormToShelxAndNative) {
  test::ScratchDir dir;
  CliRun r = runCli({"convert", kRes, dir.file("a.inp"), "--tf", "iso", "--iso", "b"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string inp = test::readFile(dir.file("a.inp"));
  EXPECT_NE(inp.find("FIELDS LAB TYP COO TFU\n"), std::string::npos);  // the header follows the aniso preference
  EXPECT_EQ(inp.find("\n0.015000 0.016000"), std::string::npos);      // every site isotropic
  r = runCli({"convert", dir.file("a.inp"), dir.file("b.res"), "--to", "shelx", "--remove-multiple"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(test::readFile(dir.file("b.res")).find("FE1     1 0.5000 0.5000 0.5000"), std::string::npos);
  r = runCli({"convert", kRes, dir.file("c.tsr")});
  ASSERT_EQ(r.code, 0) << r.err;
  r = runCli({"convert", dir.file("c.tsr"), dir.file("d.ins")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(test::readFile(dir.file("d.ins")).find("C5A     6 0.8000 0.4000 0.7000 10.6890000"), std::string::npos);

  // A format without a writer is refused before any work; a missing input leaves no output.
  r = runCli({"convert", kRes, dir.file("y.fdt"), "--to", "ccdc-fdat"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera-cli convert: no writer for CCDC FDAT\n");
  r = runCli({"convert", dir.file("missing.res"), dir.file("y.inp")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera: File open failed: " + dir.file("missing.res") + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "y.inp"));
}

TEST(CliConvert, EveryRietveldKindByNameAndExtension) {
  // The FULLPROF block alone lacks the lines before it; the other four read back as written.
  test::ScratchDir dir;
  for (const char* ext : {".exp", ".xyz", ".dbw", ".lhp", ".pcr"}) {
    SCOPED_TRACE(ext);
    const std::string file = dir.file(std::string("x") + ext);
    CliRun r = runCli({"convert", kRes, file});
    ASSERT_EQ(r.code, 0) << r.err;
    if (std::string(ext) == ".pcr") continue;
    r = runCli({"convert", file, dir.file("back.tsr")});
    EXPECT_EQ(r.code, 0) << r.err;
  }
  for (const char* kind : {"fullprof", "rietan", "gsas", "dbws", "lhpm"}) {
    const CliRun r = runCli({"convert", kRes, dir.file("named.out"), "--to", kind});
    EXPECT_EQ(r.code, 0) << kind << r.err;
  }
  const CliRun r = runCli({"convert", dir.file("x.exp"), dir.file("y.tsr"), "--from", "gsas"});
  EXPECT_EQ(r.code, 0) << r.err;
}

}  // namespace
}  // namespace tessera
