// tessera-cli transform and hkl.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "support/test_paths.h"
#include "support/structures.h"

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

TEST(TransformCli, NewSymmetryOptions) {
  test::ScratchDir dir;
  ScriptedUserInterface ui;
  ASSERT_TRUE(writeDocumentFile(test::quartz(), dir.file("q.tsr"), ui));
  // Doubling c turns the 3-2 screw into a 3-1 screw: P 32 2 1 kept is reported, P 31 2 1 fits.
  std::string err;
  EXPECT_EQ(cli({"--no", "transform", dir.file("q.tsr"), dir.file("a.tsr"), "--matrix", "1 0 0 0 1 0 0 0 2"}, &err), 0);
  EXPECT_NE(err.find("tessera: The new symmetry generates"), std::string::npos) << err;
  EXPECT_EQ(cli({"transform", dir.file("q.tsr"), dir.file("b.tsr"), "--matrix", "1 0 0 0 1 0 0 0 2", "--new-hm",
                 "P 31 2 1"},
                &err),
            0);
  EXPECT_TRUE(err.empty()) << err;
  CrystalDocument doc;
  ASSERT_TRUE(readDocumentFile(doc, dir.file("b.tsr"), ui));
  // The old two-fold axes lie off those of the standard P 31 2 1 setting (an origin shift
  // along c), so all 18 atoms are on general positions: 6 Si and 12 O make 3 unique atoms.
  EXPECT_EQ(doc.siteCount(), 3);
  EXPECT_EQ(doc.crystals[0].hmSymbol, "P 31 2 1");  // the symbol as typed
  EXPECT_EQ(doc.crystals[0].sgNumberText, "152");
  // Rock salt F -> P described in R -3 m on rhombohedral axes: two atoms.
  ASSERT_TRUE(writeDocumentFile(test::rockSalt(), dir.file("s.tsr"), ui));
  EXPECT_EQ(cli({"transform", dir.file("s.tsr"), dir.file("r.tsr"), "--standard", "F -> P", "--new-number", "166:R"}, &err), 0);
  ASSERT_TRUE(readDocumentFile(doc, dir.file("r.tsr"), ui));
  EXPECT_EQ(doc.siteCount(), 2);
  test::writeFile(dir.file("ops.txt"), "x,y,z\n-x,-y,-z\n");
  EXPECT_EQ(cli({"transform", dir.file("s.tsr"), dir.file("c.tsr"), "--standard", "F -> P", "--new-custom", dir.file("ops.txt")}), 0);
  test::writeFile(dir.file("bad.txt"), "x,y\n");
  EXPECT_EQ(cli({"transform", dir.file("s.tsr"), dir.file("c.tsr"), "--new-custom", dir.file("bad.txt")}, &err), 1);
  EXPECT_NE(err.find("Failed to parse symmetry operator number 1"), std::string::npos);
  EXPECT_EQ(cli({"transform", dir.file("s.tsr"), dir.file("c.tsr"), "--new-hm", "Q 99"}, &err), 1);
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

namespace tessera {
namespace {

TEST(TransformCli, OtherOutputFormatsGetTheNewCrystal) {
  test::ScratchDir dir;
  const std::string corundum = std::string(TESSERA_DATA_DIR) + "/../examples/corundum.tsr";
  std::string err;
  ASSERT_EQ(cli({"transform", corundum, dir.file("r.ins"), "--standard", "Hex -> Rhomb", "--new-number", "167:R",
                 "--report", dir.file("r.out")},
                &err),
            0)
      << err;
  const std::string ins = test::readFile(dir.file("r.ins"));
  EXPECT_NE(ins.find("CELL 1.0 5.1294"), std::string::npos) << ins;
  EXPECT_NE(ins.find("\nLATT 1\n"), std::string::npos) << ins;
  EXPECT_NE(ins.find("\nAl1     1 0.3522 0.3522 0.3522 10.3333333"), std::string::npos) << ins;
  EXPECT_EQ(cli({"transform", corundum, dir.file("r.xyz1"), "--standard", "Hex -> Rhomb"}), 2);
  EXPECT_EQ(cli({"transform", corundum, dir.file("r.txt"), "--to", "free-form", "--report", dir.file("f.out")}), 0);
  EXPECT_EQ(test::readFile(dir.file("r.txt")).rfind("TITL Corundum", 0), 0u);
}

}  // namespace
}  // namespace tessera
