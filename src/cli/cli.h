#pragma once
// tessera-cli: the program's commands, non-interactive, for scripts and checks.

#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/console_user_interface.h"
#include "core/session.h"

namespace tessera::cli {

/// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

/// What a command runs with.
struct CliContext {
  Session& session;
  ConsoleUserInterface& ui;
  std::ostream& out;
  std::ostream& err;
  std::istream& in;  ///< standard input (operator lines)
};

/// One command of tessera-cli.
struct CliCommand {
  const char* name;
  const char* summary;  ///< one line for the command list
  const char* usage;    ///< full help text of the command
  int (*run)(CliContext& context, const std::vector<std::string>& args);
};

/// Every command, in the order of the help text.
const std::vector<CliCommand>& allCommands();

/// Runs tessera-cli with the given arguments (argv[0] excluded); returns the exit code.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::filesystem::path& defaultHome);
/// The same with the standard input given.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const std::filesystem::path& defaultHome);

/// Reads a document for a command: a file with an import extension through its reader, any other
/// natively; false (messages shown) on failure.
bool loadDocument(CliContext& context, const std::string& path);

/// Saves the document for a command; false (message shown) on failure.
bool saveDocument(CliContext& context, const std::string& path);

/// Prints a usage error and the command's usage; returns kExitUsage.
int usageError(CliContext& context, const CliCommand& command, const std::string& problem);

/// The command of that name (nullptr when unknown).
const CliCommand* findCommand(const std::string& name);

}  // namespace tessera::cli
