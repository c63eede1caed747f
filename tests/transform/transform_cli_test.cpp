// tessera-cli transform and hkl.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "support/test_paths.h"
#include "transform/structures.h"

namespace tessera {
namespace {

int cli(const std::vector<std::string>& args, std::string* err = nullptr) {
  std::ostringstream out, errors;
  const int code = cli::runCli(args, out, errors, TESSERA_BIN_DIR);
  if (err) *err = errors.str();
  return code;
}

TEST(TransformCli, TransformSavesTheNewCrystalAsInput) {
  test::ScratchDir dir;
  ScriptedUserInterface ui;
  ASSERT_TRUE(writeDocumentFile(test::quartz(), dir.file("q.tsr"), ui));
  std::string err;
  ASSERT_EQ(cli({"transform", dir.file("q.tsr"), dir.file("big.tsr"), "--matrix", "2 0 0 0 2 0 0 0 1", "--tolerance",
                 "1/2", "--report", dir.file("big.out")},
                &err),
            0)
      << err;
  // P 32 2 1 still holds in the 2a x 2b cell: 12 Si (3 + 3 on two-fold axes, 6 general)
  // and 24 O make 3 + 4 unique atoms, with no question asked.
  CrystalDocument doc;
  ASSERT_TRUE(readDocumentFile(doc, dir.file("big.tsr"), ui));
  EXPECT_EQ(doc.siteCount(), 7);
  EXPECT_EQ(err.find("recycle"), std::string::npos);
  EXPECT_NEAR(doc.crystals[0].cell[0], 9.826f, 1e-3);
  const std::string report = test::readFile(dir.file("big.out"));
  EXPECT_NE(report.find(" Tolerance:  0.500 \n"), std::string::npos);
  EXPECT_NE(report.find("    2.000     0.000     0.000\n"), std::string::npos);

  // The default report goes next to the input; a post-matrix value out of range is a usage error.
  EXPECT_EQ(cli({"transform", dir.file("q.tsr"), dir.file("t.tsr"), "--mode", "translate", "--pre-symmetry", "1/2,0,0"}), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("q.out")));
  EXPECT_EQ(cli({"transform", dir.file("q.tsr"), dir.file("x.tsr"), "--post-matrix", "0.999995,0,0"}, &err), 2);
  EXPECT_NE(err.find("Please enter a number between -0.99999 and 0.99999."), std::string::npos);
  EXPECT_EQ(cli({"transform", dir.file("q.tsr"), dir.file("x.tsr"), "--matrix", "1 0 0 1 0 0 0 0 1"}, &err), 1);
  EXPECT_NE(err.find("tessera: Transformation matrix is singular - determinant is zero"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.tsr")));
  EXPECT_EQ(cli({"transform", dir.file("q.tsr"), dir.file("x.tsr"), "--standard", "F->P"}), 2);
}

TEST(TransformCli, HklCommand) {
  test::ScratchDir dir;
  test::writeFile(dir.file("in.hkl"), "1 0 0 5.0\n");
  EXPECT_EQ(cli({"hkl", dir.file("in.hkl"), dir.file("out.hkl"), "--standard", "Hex -> Rhomb"}), 0);
  EXPECT_EQ(test::readFile(dir.file("out.hkl")), "2 -1 -1 5.0\n");
  EXPECT_EQ(cli({"hkl", dir.file("in.hkl"), dir.file("out2.hkl"), "--matrix", "1/2 0 0 0 1 0 0 0 1"}), 0);
  EXPECT_EQ(test::readFile(dir.file("out2.hkl")), "1 0 0 5.0\n");
  EXPECT_EQ(cli({"hkl", dir.file("in.hkl"), dir.file("in.hkl"), "--standard", "Unit matrix"}), 1);
  EXPECT_EQ(cli({"hkl", dir.file("in.hkl"), dir.file("o.hkl")}), 2);
}

}  // namespace
}  // namespace tessera
