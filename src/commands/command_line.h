#pragma once
// The desktop program's command line: an optional "--home DIR" and then one
// path (the whole remaining line), which opens when it names a native document.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"

namespace tessera {

/// The program's arguments, split.
struct StartupArguments {
  std::optional<std::string> home;  ///< --home DIR
  std::string commandLine;          ///< everything after the options, words joined by one blank
  std::string error;                ///< a usage problem, empty when the arguments are fine
  bool help = false;                ///< --help or -h: print the usage and end
  bool version = false;             ///< --version: print the version and end
};

/// The usage text `tessera --help` prints.
std::string startupUsage();

/// Splits argv (without argv[0]) into the options and the command line.
StartupArguments parseStartupArguments(const std::vector<std::string>& args);

/// The native document a command line names: none for an empty line, for "-e",
/// "/E" and the like, and for a path whose extension does not begin with ".tsr" (any case).
std::optional<std::string> documentFromCommandLine(std::string_view commandLine);

/// Opens the native document the command line names; nothing (and no message) otherwise.
/// Returns true when a document was opened.
bool openFromCommandLine(Session& session, std::string_view commandLine);

}  // namespace tessera
