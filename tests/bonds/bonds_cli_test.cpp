// tessera-cli bonds.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

using test::runCli;

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(BondsCli, WritesTheListingAndNothingElse) {
  test::ScratchDir dir;
  const std::string doc = dir.file("corundum.tsr");
  std::filesystem::copy_file(test::exampleDocument(), doc);

  auto r = runCli({"bonds", doc, "--out", dir.file("all.out")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  const std::string all = test::readFile(dir.file("all.out"));
  EXPECT_EQ(all.rfind("Old symmetry-unique atoms\n\n Central:    1 ", 0), 0u);
  EXPECT_EQ(count(all, " Central:"), 2);
  EXPECT_EQ(count(all, "Outer atoms"), 0);

  r = runCli({"bonds", doc, "--atom", "2", "--limit", "3", "--angles", "--ligand-limit", "2.9", "--angle-limit", "2.0",
              "--out", dir.file("one.out")});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string one = test::readFile(dir.file("one.out"));
  EXPECT_EQ(count(one, " Central:    2 "), 1);
  EXPECT_EQ(count(one, " Central:"), 1);
  EXPECT_EQ(count(one, "\n  Outer atoms - bonds and angles\n"), 1);

  // --new: the document's transformation first, then the New atoms.
  r = runCli({"--yes", "bonds", doc, "--new", "--out", dir.file("new.out")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(test::readFile(dir.file("new.out")).rfind("New symmetry-unique atoms\n", 0), 0u);

  // Without --out the listing goes to the home folder.
  r = runCli({"--home", dir.path().string(), "bonds", doc});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::readFile(dir.file("BONDS.OUT")), all);
}

TEST(BondsCli, RefusesBadOptions) {
  const std::string doc = test::exampleDocument().string();
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"bonds"}, {"bonds", doc, "--limit"}, {"bonds", doc, "--limit", "x"},
        {"bonds", doc, "--limit", "200"}, {"bonds", doc, "--atom", "one"}, {"bonds", doc, "--bogus"},
        {"bonds", doc, "extra"}}) {
    const auto r = runCli(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_NE(r.err.find("usage: tessera-cli bonds IN"), std::string::npos);
  }
  test::ScratchDir dir;
  const auto r = runCli({"bonds", dir.file("missing.tsr"), "--out", dir.file("b.out")});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("b.out")));
  // A folder that cannot take the file: the failure is reported.
  const auto w = runCli({"bonds", doc, "--out", dir.file("no/such/folder/b.out")});
  EXPECT_EQ(w.code, 1);
  EXPECT_NE(w.err.find("Report file write failed"), std::string::npos);
}

}  // namespace
}  // namespace tessera
