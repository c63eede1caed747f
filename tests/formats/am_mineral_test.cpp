#include <gtest/gtest.h>

#include "formats/am_mineral_reader.h"
#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

const std::filesystem::path kFormats =
    std::filesystem::path(TESSERA_FIXTURES) / ".." / ".." / ".." / "shared" / "corpus" / "formats";

bool importChoosing(test::TestSession& s, int kind, const std::filesystem::path& path, int choice) {
  s.ui.dialogs.push_back([](DialogModel&) { return true; });
  s.ui.dialogs.push_back([choice](DialogModel& m) {
    if (auto* d = dynamic_cast<DataSetModel*>(&m)) d->selection = choice;
    return true;
  });
  return s.import(kind, path);
}

TEST(AmMineral, TheRealFileWithoutMarkerIsOneEntry) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindAmMineral, kFormats / "am-mineral" / "AMS_DATA.amc"));
  const CrystalRecord& c = s.document.crystals[0];
  EXPECT_EQ(s.document.title, "Diamond");
  EXPECT_NEAR(c.cell[1], 5.163f, 1e-5);
  EXPECT_EQ(c.hmSymbol.substr(0, 1), "C");
  ASSERT_EQ(s.document.sites[0].size(), 2u);
  const Site& c1 = s.document.sites[0][0];
  EXPECT_EQ(c1.label, "C1");
  EXPECT_EQ(c1.typeNumber, 6);
  EXPECT_NEAR(c1.y, 0.0855f, 1e-6);
  EXPECT_NEAR(c1.z, 0.3443f, 1e-6);
  EXPECT_NEAR(s.document.sites[0][1].x, 0.25f, 1e-6);
  EXPECT_EQ(c1.ortepType, -1);  // no factor columns: no factor
  EXPECT_TRUE(s.ui.messages().empty() || !s.ui.saw("Field not identified"));
}

TEST(AmMineral, EntriesOffsetsColumnsAndEnds) {
  test::ScratchDir dir;
  const std::string file =
      "American Mineralogist Crystal Structure Database\r\n"
      "First mineral\r\n"
      "5 6 7 90 100 90 *P_21/c\r\n"
      "0.5 0 0\r\n"
      "atom      x       y       z     occ    Uiso\r\n"
      "Fe1  -0.1234  0.2500  0.3000   0.000  0.0100\r\n"
      "<end>\r\n"
      "O9    0.9     0.9     0.9\r\n"
      "AMERICAN MINERALOGIST\r\n"
      "Second mineral\r\n"
      "3.0 3.0 3.0 90 90 90 Fm-3m\r\n"
      "atom     x     y     z   U(1,1)   U(2,2)   U(3,3)   U(1,2)   U(1,3)   U(2,3) flag\r\n"
      "Cu    0.0   0.0   0.0   0.0100   0.0110   0.0120   0.0000   0.0000  -0.0015   x\r\n";
  test::writeFile(dir.path() / "two.amc", file);
  test::TestSession first;
  ASSERT_TRUE(importChoosing(first, kKindAmMineral, dir.path() / "two.amc", 1));
  EXPECT_EQ(first.ui.lastChoiceItems.size(), 0u);
  EXPECT_EQ(first.document.title, "First mineral");
  ASSERT_EQ(first.document.sites[0].size(), 1u);  // stops at "<", never reads the second entry
  const Site& fe = first.document.sites[0][0];
  EXPECT_NEAR(fe.x, 0.3766f, 1e-6);  // -0.1234 + 0.5: the minus sign kept
  EXPECT_NEAR(fe.occupants[0].occupancy, 1.0f, 1e-6);
  EXPECT_EQ(fe.ortepType, 10);
  EXPECT_NEAR(fe.isoValue, 0.01f, 1e-7);
  EXPECT_EQ(first.document.crystals[0].sgNumber, 14);

  test::TestSession second;
  ASSERT_TRUE(importChoosing(second, kKindAmMineral, dir.path() / "two.amc", 2));
  EXPECT_EQ(second.document.title, "Second mineral");
  ASSERT_EQ(second.document.sites[0].size(), 1u);
  const Site& cu = second.document.sites[0][0];
  EXPECT_EQ(cu.ortepType, 8);
  EXPECT_NEAR(cu.aniso[5], -0.0015f, 1e-7);  // past column 80
  EXPECT_TRUE(second.ui.saw("Field not identified"));
}

TEST(AmMineral, FieldsAreTheTokensUnderTheirColumns) {
  const std::string header = "atom      x       y       z";
  EXPECT_EQ(amColumnFields(header, "O1   -0.1234 12.5000   0.3"),
            (std::vector<std::string>{"O1", "-0.1234", "12.5000", "0.3"}));
  EXPECT_EQ(amColumnFields(header, "O1                        0.3"), (std::vector<std::string>{"O1", "", "", "0.3"}));
  EXPECT_EQ(amColumnFields("atom   x     y     z", "C2   .25     0 .1699"),
            (std::vector<std::string>{"C2", ".25", "0", ".1699"}));
}

TEST(AmMineral, BrokenEntriesFailWithTheirMessage) {
  test::ScratchDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Name\n1 2 3 90 90 90 *P1\n", "Error reading origin offset line"},
      {"Name\n1 2 3 90 90 90 *P1\n0.5 zero 0\natom x y z\n", "Error reading origin offset line"},
      {"Name\n1 2 3 90 90 90 P1\nC1 0 0 0\n", "Error reading atom format line"},
      {"", "Error at data location"},
      {std::string("Name\n\x01\x02\x00garbage", 15), "Error at data location"}};
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(message);
    test::writeFile(dir.path() / "bad.amc", text);
    test::TestSession s;
    EXPECT_FALSE(s.import(kKindAmMineral, dir.path() / "bad.amc"));
    EXPECT_TRUE(s.ui.saw(message));
    EXPECT_FALSE(s.document.isOpen);
  }
}

}  // namespace
}  // namespace tessera
