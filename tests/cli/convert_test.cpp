#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using CliResult = test::CliRun;
using test::runCli;

const std::string kRes = test::fixture("formats/shelx/disorder.res").string();

TEST(CliConvert, ShelxToFreeFormToShelxAndNative) {
  test::ScratchDir dir;
  CliResult r = runCli({"convert", kRes, dir.file("a.inp"), "--tf", "iso", "--iso", "b"});
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
  EXPECT_NE(test::readFile(dir.file("d.ins")).find("C5A     6 0.8000 0.4000 0.7000  0.689"), std::string::npos);
}

TEST(CliConvert, UsageAndMissingFormats) {
  test::ScratchDir dir;
  EXPECT_EQ(runCli({"convert", kRes}).code, 2);
  EXPECT_EQ(runCli({"convert", kRes, dir.file("x.unknown")}).code, 2);
  EXPECT_EQ(runCli({"convert", dir.file("x.unknown"), dir.file("y.inp")}).code, 2);
  EXPECT_EQ(runCli({"convert", kRes, dir.file("y.inp"), "--tf", "sideways"}).code, 2);
  CliResult r = runCli({"convert", kRes, dir.file("y.dbw"), "--to", "dbws"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera-cli convert: no writer for DBWS\n");
  r = runCli({"convert", dir.file("missing.res"), dir.file("y.inp")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "tessera: File open failed\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "y.inp"));
}

TEST(CliConvert, ShowReadsImportableFiles) {
  const CliResult r = runCli({"show", kRes});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("    1 FE1     26   0.50000   0.50000   0.50000"), std::string::npos);
  EXPECT_NE(r.out.find("7.512 9.843 11.207 90 102.35 90"), std::string::npos);
  EXPECT_EQ(r.err, "tessera: 2 residual-density peaks (Q) skipped\n");
}

}  // namespace
}  // namespace tessera
