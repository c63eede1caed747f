#include "commands/settings_file.h"

#include <gtest/gtest.h>

#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "formats/shelx_common.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

ProgramSettings unusualSettings() {
  ProgramSettings s;
  s.documentDirectory = "/home/someone/structures/a rather long folder name/that goes on/past eighty characters/x";
  s.windowPlacements[0] = {0, 3, -1, -1, -8, -8, 10, 20, 810, 620};
  s.windowPlacements[6] = {2, 1, 5, 6, 7, 8, 100, 120, 500, 520};
  s.importExtensions[3] = ".CIF";
  s.importExtensions[7] = ".can";  // kind 7 is not in the file
  s.shelxSkipTable = {"ZERR", "SFAC", "ABCD"};
  s.convMode = 2;
  s.anisoPref = 1;
  s.isoPref = 1;
  s.removeMultipleOccupancies = true;
  s.bondSelectedOnly = true;
  s.symmetrySourcePref = 1;
  s.typeNumberSource = 1;
  s.bondAngles = true;
  s.centralLigandLimit = 3.25f;
  s.ligandLigandLimit = 4.5f;
  s.angleLimit = 3.0f;
  s.tolerance = 0.25f;
  s.fontPointSize = 11;
  s.fontName = "DejaVu Sans Mono";
  s.fontWeight = 700;
  s.fontItalic = 1;
  s.printOutputType = 1;
  s.frameUnits = 3;
  s.printStandardDialog = 1;
  s.printBlackWhite = 1;
  s.powderScaleMode = 1;
  s.printFrame = {7.5f, 4.0f, 0.5f, 1.0f};
  s.powderFixedScale = 12.5f;
  return s;
}

TEST(SettingsFile, WrittenAndReadBackGivesEveryValue) {
  const ProgramSettings written = unusualSettings();
  const std::string text = settingsText(written);
  ProgramSettings read;
  EXPECT_EQ(parseSettings(text, read), "");
  EXPECT_EQ(settingsText(read), text);
  EXPECT_EQ(read.documentDirectory, written.documentDirectory);  // whole line, no letter lost
  EXPECT_EQ(read.windowPlacements, written.windowPlacements);
  EXPECT_EQ(read.importExtensions[3], ".CIF");
  EXPECT_EQ(read.importExtensions[7], ".cry");  // not in the file: the table's own
  EXPECT_EQ(read.shelxSkipTable, written.shelxSkipTable);
  EXPECT_EQ(read.fontName, "DejaVu Sans Mono");
  EXPECT_FLOAT_EQ(read.powderFixedScale, 12.5f);

  // A second run changes nothing (a folder written without its separator stays whole).
  ProgramSettings again;
  parseSettings(settingsText(read), again);
  EXPECT_EQ(again.documentDirectory, written.documentDirectory);
}

TEST(SettingsFile, DefaultsLayOutAsTheFileFormatSays) {
  ProgramSettings defaults;
  defaults.documentDirectory = "/data/";
  const std::vector<std::string> lines = splitTokens(settingsText(defaults), "\n");
  // The reader's whole built-in skip list, ten names a line.
  const std::size_t keywordLines = (defaultShelxSkipTable().size() + 9) / 10;
  ASSERT_EQ(lines.size(), 16u + keywordLines);
  EXPECT_EQ(lines[0], "/data/");
  EXPECT_EQ(lines[1], "wpmain 0,1,-1,-1,-1,-1,0,0,0,0");
  EXPECT_EQ(lines[4], " .inp .fdt .ins .cif .dbw .lhp .cry .ort .xtl .str .pdb .xyz .exp .amc .ret .pcr .osl");
  EXPECT_EQ(lines[5], format(" %d", static_cast<int>(defaultShelxSkipTable().size())));
  EXPECT_EQ(lines[6], " ZERR SFAC DISP UNIT L.S. ACTA OMIT ANIS WGHT DFIX");
  const std::size_t options = 6 + keywordLines;
  EXPECT_EQ(lines[options], "0 0 0 0 0 0 0 0 ");
  EXPECT_EQ(lines[options + 1], "2.600000 3.600000 2.600000 0.400000 9.000000 ");
  EXPECT_EQ(lines[options + 2], "Courier New");
  EXPECT_EQ(lines[options + 3], "-10 400 40 0 0 0 ");
  EXPECT_EQ(lines[options + 4], "0 2 0 0 0");
  EXPECT_EQ(lines[options + 5], "6.000000 6.000000 0.000000 0.000000 8.000000");
  EXPECT_EQ(lines.back(), "wppre2 0,1,-1,-1,-1,-1,0,0,0,0");
}

TEST(SettingsFile, KeywordLinesAndEmptyEntries) {
  ProgramSettings s;
  s.shelxSkipTable = {"A1", "A2", "A3", "A4", "", "A5", "A6", "A7", "A8", "A9", "B1", "B2", "..."};
  test::ScratchDir dir;
  ScriptedUserInterface ui;
  ASSERT_TRUE(writeSettings(dir.path(), s, ui));
  EXPECT_EQ(s.shelxSkipTable.size(), 11u);  // the empty entry and the one without letters are gone
  const std::string text = test::readFile(dir.path() / "SCRPTR");
  EXPECT_NE(text.find("\n 11\n A1 A2 A3 A4 A5 A6 A7 A8 A9 B1\n B2\n0 0 0"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "SCRPTR.tmp"));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename(), "SCRPTR");  // no temporary file left behind
}

TEST(SettingsFile, DamagedFileKeepsWhatWasReadBefore) {
  const std::string text = settingsText(unusualSettings());
  const std::vector<std::string> lines = splitTokens(text, "\n");
  // Lines after which each record ends (record 7 spans one line for three keywords).
  struct Cut {
    std::size_t lines;
    const char* keyword;
  };
  const std::vector<Cut> cuts = {{0, "zero"},    {1, "zero"},    {2, "wpmain"}, {4, "wptext"}, {7, "wptext"},
                                 {9, "wptext"},  {13, "wptext"}, {14, "wppow"}, {16, "wppow2"}};
  for (const Cut& c : cuts) {
    std::string prefix;
    for (std::size_t i = 0; i < c.lines; ++i) prefix += lines[i] + "\n";
    ProgramSettings read;
    EXPECT_EQ(parseSettings(prefix, read), format("Error reading SCRPTR file, line: %s ", c.keyword)) << c.lines;
    if (c.lines >= 9) {  // records 1 to 9 kept
      EXPECT_FLOAT_EQ(read.centralLigandLimit, 3.25f);
      EXPECT_EQ(read.documentDirectory, unusualSettings().documentDirectory);
      EXPECT_EQ(read.convMode, 2);
    } else {
      EXPECT_FLOAT_EQ(read.centralLigandLimit, 2.6f);
    }
  }
  // Values the program cannot use fall back to their defaults.
  std::string bad = text;
  bad.replace(bad.find("1 3 1 1 1\n"), 10, "1 9 1 1 7\n");
  ProgramSettings read;
  EXPECT_EQ(parseSettings(bad, read), "");
  EXPECT_EQ(read.frameUnits, 2);
  EXPECT_EQ(read.powderScaleMode, 0);
}

TEST(SettingsFile, MissingFileAndFolders) {
  test::ScratchDir dir;
  ScriptedUserInterface ui;
  ProgramSettings s;
  EXPECT_FALSE(readSettings(dir.path(), s, ui));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Failed to open SCRPTR file"});
  EXPECT_EQ(settingsText(s), settingsText(ProgramSettings{}));

  EXPECT_EQ(settingsFolder(dir.path(), false, "/nonexistent/config"), dir.path());
  EXPECT_EQ(settingsFolder("/nonexistent/home", false, "/home/x/.config/tessera"), "/home/x/.config/tessera");
  EXPECT_EQ(settingsFolder("/nonexistent/home", true, "/home/x/.config/tessera"), "/nonexistent/home");
}

}  // namespace
}  // namespace tessera
