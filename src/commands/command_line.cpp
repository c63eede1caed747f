#include "commands/command_line.h"

#include "commands/document_commands.h"
#include "core/site_listing.h"
#include "core/text.h"

namespace tessera {

std::string startupUsage() {
  return "usage: tessera [--home DIR] [FILE.tsr]\n"
         "  Opens the native document FILE.tsr (any case of the extension) in the desktop program.\n"
         "  --home DIR   folder searched first for HALL.DAT, cifdic.sht and scatfac.dat\n"
         "               (then the program's folder and ../share/tessera beside it)\n"
         "  --help       print this text and end\n"
         "  --version    print the version and end\n";
}

StartupArguments parseStartupArguments(const std::vector<std::string>& args) {
  StartupArguments result;
  std::size_t i = 0;
  // Asked for on their own, these end the program before any window opens.
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    result.help = true;
    return result;
  }
  if (!args.empty() && args[0] == "--version") {
    result.version = true;
    return result;
  }
  while (i < args.size() && args[i] == "--home") {
    if (i + 1 >= args.size()) {
      result.error = "--home needs a directory";
      return result;
    }
    result.home = args[i + 1];
    i += 2;
  }
  for (; i < args.size(); ++i) {
    if (!result.commandLine.empty()) result.commandLine += ' ';
    result.commandLine += args[i];
  }
  return result;
}

namespace {

/// "-e", "/E", "-Embedding" ...: switches that open nothing. A "/" followed by a
/// folder ("/export/x.tsr") is an absolute path here, not a switch.
bool isSwitch(const std::string& text) {
  if (text.size() < 2 || (text[0] != '-' && text[0] != '/') || (text[1] != 'e' && text[1] != 'E')) return false;
  if (text[0] == '-') return true;
  const std::string firstWord = text.substr(0, text.find_first_of(" \t"));
  return firstWord.find('/', 1) == std::string::npos;
}

}  // namespace

std::optional<std::string> documentFromCommandLine(std::string_view commandLine) {
  const std::string text = trim(commandLine);
  if (text.empty() || isSwitch(text)) return std::nullopt;
  if (!hasNativeExtension(text)) return std::nullopt;
  return text;
}

bool openFromCommandLine(Session& session, std::string_view commandLine) {
  const auto path = documentFromCommandLine(commandLine);
  if (!path) return false;
  session.document.openMode = 2;
  return openDocumentFile(session, *path) == OpenResult::Opened;
}

}  // namespace tessera
