#include <gtest/gtest.h>

#include <algorithm>

#include "core/native_file.h"
#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

TEST(OscillaReader, GoldenFileWithSkippedRecordsAndBlankLines) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindOscilla, test::fixture("formats/oscilla/quartz.osl")));
  std::string dump = test::documentDump(s.document);
  for (const std::string& m : s.ui.messages()) dump += "message " + m + "\n";
  EXPECT_EQ(dump, test::readFile(test::fixture("formats/oscilla/quartz.expected")));
  const CrystalRecord& c = s.document.crystals[0];
  EXPECT_EQ(c.cell[5], nativeFileValue(kAngle120));  // 120 degrees as the native file keeps it
  EXPECT_EQ(c.pointGroupSchoenflies, "D3");
}

TEST(OscillaReader, CartesianMatricesReadErrorsAndValidity) {
  test::ScratchDir dir;
  const std::string head = "T\nVERS 1.0\nSYM1 0 0 0 0 0 0 1\nCELL 5 5 5 1.5707963 1.5707963 1.5707963\n";
  const struct {
    std::string body;
    bool ok;
    std::vector<std::string> messages;
  } cases[] = {
      // However many integer lines follow CFTT, the next keyword line still reads.
      {"CFTT cart.dat\n1 0\n0 1 0 0\n-1 0 0 0\nATOM 1 C1 6 0 0 0\n",
       true,
       {"This file uses Cartesian symmetry, from the file cart.dat - this symmetry will be ignored",
        "Insufficient information to assign symmetry - default P1 will be used"}},
      {"CFTT cart.dat\nATOM 1 C1 6 0 0 0\n",
       true,
       {"Error reading Cartesian symmetry matrices",
        "This file uses Cartesian symmetry, from the file cart.dat - this symmetry will be ignored",
        "Warning: space group does not match axis type"}},
      {"ATOM 1 C1 6 0 0 0\nBAD!\n", false, {"File read error: BAD!"}},
      {"CELL x\n", false, {"File read error: CELL x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    test::writeFile(dir.path() / "t.osl", head + c.body);
    test::TestSession s;
    EXPECT_EQ(s.import(kKindOscilla, dir.path() / "t.osl"), c.ok);
    EXPECT_EQ(s.ui.messages(), c.messages);
    if (c.ok && c.messages[0] == "Error reading Cartesian symmetry matrices") {
      EXPECT_EQ(s.document.crystals[0].sgNumber, 1);
    }
  }
  // Operators without a symbol: the finish names the group from them.
  test::writeFile(dir.path() / "ops.osl",
                  "T\nVERS 1\nCELL 5 6 7 1.5707963 1.5707963 1.5707963\nOPER X,Y,Z\n"
                  "OPER -X,-Y,-Z\nATOM 1 C1 6 0.1 0.2 0.3\n");
  test::TestSession ops;
  ASSERT_TRUE(ops.import(kKindOscilla, dir.path() / "ops.osl"));
  EXPECT_EQ(ops.document.crystals[0].sgNumber, 2);

  // Past the line limit the message comes once, however many operators follow.
  std::string many = "T\nVERS 1\n";
  for (int k = 0; k < 400; ++k) many += "OPER X,Y,Z\n";
  test::writeFile(dir.path() / "many.osl", many);
  test::TestSession full;
  ASSERT_TRUE(full.import(kKindOscilla, dir.path() / "many.osl"));
  const std::vector<std::string> shown = full.ui.messages();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "More than 192 symmetry lines"), 1);
  EXPECT_EQ(full.document.crystals[0].lineCount(), 1);  // the import finish drops repeated operators
  test::writeFile(dir.path() / "nover.osl", "T\nATOM 1 C1 6 0 0 0\n");
  test::TestSession s;
  EXPECT_FALSE(s.import(kKindOscilla, dir.path() / "nover.osl"));
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"Not a valid .OSL file"});
}

}  // namespace
}  // namespace tessera
