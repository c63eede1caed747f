// Reflection lists transformed to the new cell, through the file dialogs.

#include <gtest/gtest.h>

#include <cmath>

#include "core/scripted_user_interface.h"
#include "support/test_paths.h"
#include "transform/hkl_transform.h"
#include "support/structures.h"

namespace tessera {
namespace {

TEST(HklTransform, LinesFollowTheIntegralRule) {
  const Matrix3f unit = unitMatrix();
  EXPECT_EQ(transformHklLine("  1   2  -3   45.6\t7.8  ", unit), "1 2 -3 45.6 7.8\n");
  EXPECT_EQ(transformHklLine("1 1 1", standardMatrices()[7].matrix), "1 1 1\n");
  EXPECT_EQ(transformHklLine("2 0 0 10.0", standardMatrices()[7].matrix), "0 1 1 10.0\n");
  EXPECT_EQ(transformHklLine("1 0 0", standardMatrices()[2].matrix), "2 -1 -1\n");
  EXPECT_EQ(transformHklLine("501 0 0", unit), "0 0 0\n");
  EXPECT_EQ(transformHklLine("Title line   \r", unit), "Title line\n");
  EXPECT_EQ(transformHklLine("1 2 3 a b c d e f g h i j", unit), "1 2 3 a b c d e f g h\n");
  EXPECT_EQ(transformHklLine("1 2 x 4", unit), "1 2 x 4\n");  // not three integers: copied
  // Indices that cannot be integers, or are far too large, never loop or overflow.
  EXPECT_EQ(transformHklLine("0 99999999999999999999 1", unit), "0 0 0\n");
  EXPECT_EQ(transformHklLine("1 1 1", {{{0, 0, 0}, {0.37f, 0.1234567f, 0}, {0, 0, 0}}}), "0 1 0\n");
  const std::string odd = transformHklLine("1 1 1", {{{0, 0, 0}, {0.1234567f, 0.7654321f, 0}, {0.3141593f, 0, 0}}});
  EXPECT_TRUE(odd.size() < 40 && odd.back() == '\n') << odd;
  EXPECT_EQ(transformHklLine("1 1 1", {{{NAN, 0, 0}, {0, 1, 0}, {0, 0, 1}}}), "0 0 0\n");
  const std::string longField(300, 'x');
  EXPECT_EQ(transformHklLine("1 0 0 " + longField, unit), "1 0 0 " + longField + "\n");
}

TEST(HklTransform, FileDialogsAndRefusals) {
  test::ScratchDir dir;
  test::writeFile(dir.file("in.hkl"), "Reflections\n2 0 0 12.5 0.3\n");
  CrystalDocument doc = test::rockSalt();
  doc.transformation.matrix = standardMatrices()[7].matrix;
  ScriptedUserInterface ui;
  ui.files = {dir.file("in.hkl"), dir.file("out.hkl")};
  ASSERT_TRUE(transformHklFileCommand(doc, ui));
  EXPECT_EQ(test::readFile(dir.file("out.hkl")), "Reflections\n0 1 1 12.5 0.3\n");
  EXPECT_EQ(ui.lastFileRequest.filter, "HKL data list - output (*.hkl)|*.hkl||");
  EXPECT_EQ(ui.lastFileRequest.defaultName, "Untitled.hkl");

  // Reflections beyond the range keep the 0 0 0 rule, and the user learns how many and where.
  test::writeFile(dir.file("range.hkl"), "Title\n0 0 0 1.0\n600 0 0 2.0\n1 0 0 3.0\n700 1 1 4.0\n");
  ScriptedUserInterface range;
  range.files = {dir.file("range.hkl"), dir.file("range-out.hkl")};
  doc.transformation.matrix = unitMatrix();
  ASSERT_TRUE(transformHklFileCommand(doc, range));
  EXPECT_EQ(test::readFile(dir.file("range-out.hkl")), "Title\n0 0 0 1.0\n0 0 0 2.0\n1 0 0 3.0\n0 0 0 4.0\n");
  EXPECT_EQ(range.messages(), std::vector<std::string>{"2 reflections exceed the range of the new indices and were "
                                                       "written as 0 0 0 (first at line 3)"});
  doc.transformation.matrix = standardMatrices()[7].matrix;

  ScriptedUserInterface same;
  same.files = {dir.file("in.hkl"), dir.file("IN.hkl")};
  EXPECT_FALSE(transformHklFileCommand(doc, same));
  EXPECT_EQ(same.messages(), std::vector<std::string>{"Output file has the same name as input file - try again"});
  ScriptedUserInterface missing;
  missing.files = {dir.file("none.hkl")};
  EXPECT_FALSE(transformHklFileCommand(doc, missing));
  EXPECT_EQ(missing.messages(), std::vector<std::string>{"Input file open failed"});
  ScriptedUserInterface badOut;
  badOut.files = {dir.file("in.hkl"), dir.file("no/such/out.hkl")};
  EXPECT_FALSE(transformHklFileCommand(doc, badOut));
  EXPECT_EQ(badOut.messages(), std::vector<std::string>{"File open failed: " + dir.file("no/such/out.hkl")});
  ScriptedUserInterface cancelled;
  EXPECT_FALSE(transformHklFileCommand(doc, cancelled));
  EXPECT_TRUE(cancelled.messages().empty());
}

}  // namespace
}  // namespace tessera
