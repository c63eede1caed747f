#include "commands/command_line.h"

#include <gtest/gtest.h>

#include "support/test_session.h"

namespace tessera {
namespace {

TEST(CommandLine, WhichLinesNameADocument) {
  // "/export/..." is a path, not the "/e" switch.
  for (const char* line : {"/data/quartz.tsr", "QUARTZ.TSR", "My Structures/low quartz.Tsr", "/export/home/e.tsr"})
    EXPECT_EQ(documentFromCommandLine(line), line);
  for (const char* line : {"", "   ", "quartz.cif", "quartz", "/e", "-E quartz.tsr", "/Embedding", "-e"})
    EXPECT_FALSE(documentFromCommandLine(line)) << line;
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
  test::TestSession s;
  for (const char* line : {"structure.cif", "/E", ""}) EXPECT_FALSE(openFromCommandLine(s.session, line)) << line;
  EXPECT_FALSE(s.document.isOpen);
  EXPECT_TRUE(s.ui.events.empty());
  EXPECT_FALSE(openFromCommandLine(s.session, "/nonexistent/x.tsr"));
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"File open failed: /nonexistent/x.tsr"});
}

}  // namespace
}  // namespace tessera
