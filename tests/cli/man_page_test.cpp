// The manual pages in packaging/man document every command and option the
// programs' --help texts list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <map>
#include <regex>
#include <set>

#include "support/cli_run.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;

/// A man source as plain text: "\-" becomes "-", font changes go.
std::string plainMan(const std::string& name) {
  std::string text = test::readFile(fs::path(TESSERA_DATA_DIR) / ".." / "packaging" / "man" / name);
  text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
  return std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
}

/// The text of each ".SS" subsection, keyed by its first word (the command).
std::map<std::string, std::string> subsections(const std::string& man) {
  std::map<std::string, std::string> out;
  const std::regex heading(R"(^\.S[SH] "?([A-Za-z-]+))", std::regex::multiline);
  std::string key;
  std::size_t start = 0;
  for (auto it = std::sregex_iterator(man.begin(), man.end(), heading); it != std::sregex_iterator(); ++it) {
    if (!key.empty()) out[key] = man.substr(start, static_cast<std::size_t>(it->position()) - start);
    key = (*it)[0].str().rfind(".SS", 0) == 0 ? (*it)[1].str() : std::string();
    start = static_cast<std::size_t>(it->position());
  }
  if (!key.empty()) out[key] = man.substr(start);
  return out;
}

/// The long options a help text names.
std::set<std::string> optionsOf(const std::string& help) {
  std::set<std::string> options;
  const std::regex option(R"(--[a-z][a-z-]*)");
  for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it)
    options.insert(it->str());
  return options;
}

/// The options of help that text does not mention.
std::vector<std::string> missingFrom(const std::string& text, const std::string& help) {
  std::vector<std::string> missing;
  for (const std::string& o : optionsOf(help))
    if (!std::regex_search(text, std::regex(o + R"((?![a-z-]))"))) missing.push_back(o);
  return missing;
}

TEST(ManPages, TesseraCliDocumentsEveryCommandAndOption) {
  const std::string man = plainMan("tessera-cli.1");
  const test::CliRun help = test::runCli({"--help"});
  ASSERT_EQ(help.code, 0);
  const std::size_t commandsAt = help.out.find("Commands:");
  ASSERT_NE(commandsAt, std::string::npos);
  EXPECT_EQ(missingFrom(man.substr(0, man.find(".SH COMMANDS")), help.out.substr(0, commandsAt)),
            std::vector<std::string>{});

  const auto sections = subsections(man);
  const std::regex commandLine(R"(^  ([a-z]+) )", std::regex::multiline);
  const std::string list = help.out.substr(commandsAt);
  int commands = 0;
  for (auto it = std::sregex_iterator(list.begin(), list.end(), commandLine); it != std::sregex_iterator(); ++it) {
    const std::string name = (*it)[1].str();
    ++commands;
    const auto section = sections.find(name);
    ASSERT_NE(section, sections.end()) << "no section for " << name;
    const test::CliRun usage = test::runCli({name, "--help"});
    EXPECT_EQ(missingFrom(section->second, usage.out), std::vector<std::string>{}) << name;
  }
  EXPECT_GE(commands, 12);
}

TEST(ManPages, TesseraDocumentsItsCommandLine) {
  // Every option the desktop program's --help lists (when the desktop program was built).
  const std::string man = plainMan("tessera.1");
  EXPECT_EQ(missingFrom(man, "--home"), std::vector<std::string>{});
  EXPECT_NE(man.find("FILE.tsr"), std::string::npos);
  const std::filesystem::path program = std::filesystem::path(TESSERA_BIN_DIR) / "tessera";
  if (std::filesystem::exists(program)) {
    test::ScratchDir dir;
    const std::string out = dir.file("help.txt");
    ASSERT_EQ(std::system((program.string() + " --help >" + out + " 2>&1").c_str()), 0);
    const std::string help = test::readFile(out);
    EXPECT_NE(help.find("--version"), std::string::npos);
    EXPECT_EQ(missingFrom(man, help), std::vector<std::string>{});
  }
  // A mistyped option would be caught: the check is not vacuous.
  EXPECT_EQ(missingFrom(man, "--homes"), std::vector<std::string>{"--homes"});
}

}  // namespace
}  // namespace tessera
