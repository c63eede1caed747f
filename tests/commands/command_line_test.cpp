#include "commands/command_line.h"

#include <gtest/gtest.h>

#include "core/scripted_user_interface.h"

namespace tessera {
namespace {

TEST(CommandLine, WhichLinesNameADocument) {
  EXPECT_EQ(documentFromCommandLine("/data/quartz.tsr"), "/data/quartz.tsr");
  EXPECT_EQ(documentFromCommandLine("QUARTZ.TSR"), "QUARTZ.TSR");
  EXPECT_EQ(documentFromCommandLine("My Structures/low quartz.Tsr"), "My Structures/low quartz.Tsr");
  EXPECT_EQ(documentFromCommandLine("/export/home/e.tsr"), "/export/home/e.tsr");  // a path, not "/e"
  EXPECT_FALSE(documentFromCommandLine(""));
  EXPECT_FALSE(documentFromCommandLine("   "));
  EXPECT_FALSE(documentFromCommandLine("quartz.cif"));
  EXPECT_FALSE(documentFromCommandLine("quartz"));
  EXPECT_FALSE(documentFromCommandLine("/e"));
  EXPECT_FALSE(documentFromCommandLine("-E quartz.tsr"));
  EXPECT_FALSE(documentFromCommandLine("/Embedding"));
  EXPECT_FALSE(documentFromCommandLine("-e"));
}

TEST(CommandLine, HomeOptionAndTheRestAsOnePath) {
  auto a = parseStartupArguments({"--home", "/opt/t", "my", "file.tsr"});
  EXPECT_EQ(a.home, "/opt/t");
  EXPECT_EQ(a.commandLine, "my file.tsr");
  EXPECT_TRUE(a.error.empty());
  a = parseStartupArguments({});
  EXPECT_FALSE(a.home);
  EXPECT_EQ(a.commandLine, "");
  EXPECT_FALSE(parseStartupArguments({"--home"}).error.empty());
}

TEST(CommandLine, NonNativeLinesOpenNothingSilently) {
  CrystalDocument doc;
  ScriptedUserInterface ui;
  ProgramSettings settings;
  Session s{doc, ui, settings, {}};
  EXPECT_FALSE(openFromCommandLine(s, "structure.cif"));
  EXPECT_FALSE(openFromCommandLine(s, "/E"));
  EXPECT_FALSE(openFromCommandLine(s, ""));
  EXPECT_FALSE(doc.isOpen);
  EXPECT_TRUE(ui.events.empty());
  EXPECT_FALSE(openFromCommandLine(s, "/nonexistent/x.tsr"));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"File open failed"});
}

}  // namespace
}  // namespace tessera
