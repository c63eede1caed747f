#include <gtest/gtest.h>

#include <tuple>

#include "core/scripted_user_interface.h"
#include "support/test_paths.h"
#include "symmetry/hall_dat.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

namespace tessera {
namespace {

std::string hallOf(std::string_view symbol, char volume) {
  const TabSgName* row = findTabSgNameEntry(symbol, volume);
  return row ? row->HallSymbol : "<none>";
}

std::string keyOf(std::string_view symbol, char volume) {
  const TabSgName* row = findTabSgNameEntry(symbol, volume);
  return row ? row->key() : "<none>";
}

TEST(TabSgName, EveryRowRebuildsItsHallSymbolAndEveryKeyFindsItsRow) {
  const auto& rows = tabSgNames();
  ASSERT_EQ(rows.size(), 530u);
  EXPECT_FALSE(tabSgNameIsCorrupt());
  int rebuilt = 0, found = 0, offOrigin = 0;
  for (const TabSgName& row : rows) {
    SgInfo sg;
    if (BuildSgInfoFromSymbol(row.key(), 'A', sg) == 0 && sg.HallSymbol == row.HallSymbol && sg.tabSgName == &row)
      ++rebuilt;
    else
      ADD_FAILURE() << row.key() << " '" << row.HallSymbol << "' rebuilt as '" << sg.HallSymbol << "' " << sg.error;
    offOrigin += sg.centric == 1;
    for (char volume : {'A', 'I'}) {
      if (findTabSgNameEntry(row.key(), volume) == &row)
        ++found;
      else
        ADD_FAILURE() << row.key() << " under volume " << volume << " finds " << keyOf(row.key(), volume);
    }
  }
  EXPECT_EQ(rebuilt, 530);
  EXPECT_EQ(found, 1060);
  EXPECT_EQ(offOrigin, 33);  // written with an explicit "-1..." generator, no leading "-"
}

TEST(TabSgName, DocumentSymbolsAndHallTextLookup) {
  EXPECT_EQ(findTabSgNameEntry("14:c3", 'A')->documentHmSymbol(), "P_1_1_21/b");
  EXPECT_EQ(findTabSgNameEntry("227", 'A')->documentHmSymbol(), "F_d_-3_m:2");
  EXPECT_EQ(findTabSgNameEntry("R3", 'I')->documentHmSymbol(), "R_3:R");
  EXPECT_EQ(findTabSgNameEntry("Cmca", 'A')->documentHmSymbol(), "C_m_c_e");  // the table's spelling stays
  EXPECT_EQ(findTabSgNameByHall(" C 2 2 -1bc")->key(), "68:1");  // shared by 68:1 and 68:1ba-c
  EXPECT_EQ(findTabSgNameByHall(" A 2 2 -1ac")->key(), "68:1cab");
  EXPECT_EQ(findTabSgNameByHall(" B 2 2 -1bc")->key(), "68:1bca");
  EXPECT_EQ(findTabSgNameByHall("P 1"), nullptr);  // the leading blank is part of the text
  // A row named by the lookup stays named although an earlier row shares its symbol.
  SgInfo sg;
  ASSERT_EQ(BuildSgInfoFromSymbol("68:1ba-c", 'A', sg), 0);
  EXPECT_EQ(sg.tabSgName->key(), "68:1ba-c");
}

TEST(TabSgName, VolumeConventionsAndSymbolForms) {
  // Volume A takes b-unique monoclinic and hexagonal rhombohedral axes, volume I (and '1')
  // c-unique and rhombohedral axes; negated axis codes hold "c" too; an origin choice
  // given twice in contradiction finds nothing.
  for (const auto& [symbol, volume, hall] : std::vector<std::tuple<const char*, char, const char*>>{
           {"14", 'A', "-P 2ybc"}, {"14", 'I', "-P 2bc"}, {"14", '1', "-P 2bc"}, {"14:c", 'A', "-P 2ac"},
           {"P2", 'A', " P 2y"}, {"P2", 'I', " P 2"}, {"3", 'I', " P 2"}, {"9", 'I', " B -2b"}, {"15", 'I', "-B 2b"},
           {"R-3", 'A', "-R 3"}, {"R-3", 'I', "-P 3*"}, {"R-3:H", 'I', "-R 3"}, {"R-3H", 'I', "-R 3"},
           {"R-3r", 'A', "-P 3*"}, {"227", 'A', "-F 4vw 2vw 3"}, {"Fd-3mS", 'A', " F 4d 2 3 -1d"},
           {"Fd-3mZ", 'A', "-F 4vw 2vw 3"}, {"Fd-3mS:2", 'A', "<none>"}})
    EXPECT_EQ(hallOf(symbol, volume), hall) << symbol << " " << volume;
  // Settings by spelling: full symbols name their own axis and cell choice, written-out
  // monoclinic passes, pre-2002 spellings of the e-glide settings are found.
  for (const auto& [symbol, volume, key] : std::vector<std::tuple<const char*, char, const char*>>{
           {"Pnma", 'A', "62"}, {"Pnma:abc", 'A', "62"}, {"P 1 21/c 1", 'I', "14:b1"}, {"P21/c", 'A', "14:b1"},
           {"P 21/c", 'A', "14:b1"}, {"P_21/c", 'A', "14:b1"}, {" p21/C ", 'A', "14:b1"}, {"P 1 1 21/b", 'A', "14:c3"},
           {"P21/b", 'A', "14:c3"}, {"P21/n", 'A', "14:b2"}, {"P21/n", 'I', "14:c2"}, {"Pn", 'A', "7:b2"},
           {"P2/n", 'A', "13:b2"}, {"I2/a", 'A', "15:b3"}, {"Pa", 'I', "7:c1"}, {"P121/n1:c", 'A', "<none>"},
           {"Cmca", 'A', "64"}, {"Abm2", 'A', "39"}, {"Cccb:1", 'A', "68:1ba-c"}, {"14", 'X', "<none>"}})
    EXPECT_EQ(keyOf(symbol, volume), key) << symbol << " " << volume;
  // Random bytes are the fuzz target's; overflowing numbers and huge texts find nothing.
  for (const std::string& none : std::vector<std::string>{"231", "0", "", ":", "P21/c:b9", "14:b1xyz", "Q2", "1.5",
                                                          "P 21/c x x x x x x x x x", "99999999999999999999",
                                                          std::string(100000, 'P')})
    EXPECT_EQ(keyOf(none, 'A'), "<none>") << none.substr(0, 30);
}

TEST(HallDat, ShippedFileMatchesTheTableAndIsPickedFrom) {
  const std::string shipped = test::readFile(std::filesystem::path(TESSERA_DATA_DIR) / "HALL.DAT");
  EXPECT_EQ(shipped, hallDatText());
  const std::vector<std::string> lines = hallDatLines(shipped);
  ASSERT_EQ(lines.size(), 530u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TabSgName& row = tabSgNames()[i];
    const HallDatEntry e = hallDatFields(lines[i]);
    EXPECT_EQ(e.key, row.key());
    SgInfo sg;  // a picked Hall field builds the row's group
    EXPECT_EQ(BuildSgInfoFromHall(e.hallSymbol, sg), 0);
    EXPECT_EQ(sg.HallSymbol, row.HallSymbol);
    EXPECT_EQ(findTabSgNameEntry(e.key, 'A'), &row);
  }
  const auto indexOf = [](std::string_view key) {
    for (std::size_t i = 0; i < tabSgNames().size(); ++i)
      if (tabSgNames()[i].key() == key) return static_cast<int>(i);
    return -1;
  };
  EXPECT_EQ(hallDatPreselection(lines, "14:c1"), indexOf("14:c1"));
  EXPECT_EQ(hallDatPreselection(lines, "14"), indexOf("14:b1"));  // the first line beginning with the key
  EXPECT_EQ(hallDatPreselection(lines, ""), 0);
  EXPECT_EQ(hallDatPreselection(lines, "999"), 0);

  // Lines longer than 62 characters are split; line ends of either kind are removed.
  EXPECT_EQ(hallDatLines("ab\r\n" + std::string(70, 'x') + "\n\nlast"),
            (std::vector<std::string>{"ab", std::string(62, 'x'), std::string(8, 'x'), "", "last"}));

  ScriptedUserInterface ui;
  test::ScratchDir dir;
  EXPECT_FALSE(readHallDat({dir.path()}, "", ui));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Unable to find or open HALL.DAT file."});
  test::writeFile(dir.path() / "HALL.DAT", shipped);
  const auto list = readHallDat({dir.path()}, "227:1", ui);
  ASSERT_TRUE(list);
  EXPECT_EQ(hallDatFields(list->lines[static_cast<std::size_t>(list->preselected)]).hallSymbol, "F 4d 2 3 -1d");
}

}  // namespace
}  // namespace tessera
