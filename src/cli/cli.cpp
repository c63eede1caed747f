#include "cli/cli.h"

#include <iostream>

#include "cli/convert_commands.h"
#include "core/native_file.h"
#include "core/program_folders.h"
#include "core/site_listing.h"

namespace tessera::cli {

namespace {

const char* kProgramUsage =
    "usage: tessera-cli [--home DIR] [--yes | --no | --answers LIST] COMMAND [ARGS...]\n"
    "       tessera-cli --help | --version | COMMAND --help\n"
    "\n"
    "Options:\n"
    "  --home DIR       use DIR as the home directory (HALL.DAT, cifdic.sht, scatfac.dat;\n"
    "                   LIST.OUT and BONDS.OUT are written there too)\n"
    "  --yes            answer questions with Yes / OK (the default)\n"
    "  --no             answer questions with No / Cancel\n"
    "  --answers LIST   answer questions in order from LIST (y,n,c,o), then by default\n"
    "\n"
    "Messages are written to standard error as \"tessera: <text>\"; a question is written\n"
    "with the answer taken. Exit status: 0 success, 1 the command failed, 2 usage error.\n"
    "\n"
    "Commands:\n";

void printProgramUsage(std::ostream& out) {
  out << kProgramUsage;
  for (const CliCommand& c : allCommands()) {
    std::string name = c.name;
    name.resize(12, ' ');
    out << "  " << name << c.summary << "\n";
  }
}

}  // namespace

const CliCommand* findCommand(const std::string& name) {
  for (const CliCommand& c : allCommands())
    if (name == c.name) return &c;
  return nullptr;
}

int usageError(CliContext& context, const CliCommand& command, const std::string& problem) {
  context.err << "tessera-cli " << command.name << ": " << problem << "\n" << command.usage;
  return kExitUsage;
}

bool loadDocument(CliContext& context, const std::string& path) {
  // Any importable file is read by its format's reader; everything else as a native file.
  if (!hasNativeExtension(path))
    if (const auto kind = importKindForPath(context.session.settings, path)) return importDocument(context, path, *kind);
  CrystalDocument& doc = context.session.document;
  if (!readDocumentFile(doc, path, context.ui)) return false;
  doc.documentPath = path;
  doc.fileTitle = fileNameOf(path);
  doc.isOpen = true;
  doc.modified = false;
  return true;
}

bool saveDocument(CliContext& context, const std::string& path) {
  return writeDocumentFile(context.session.document, path, context.ui);
}

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::filesystem::path& defaultHome) {
  return runCli(args, std::cin, out, err, defaultHome);
}

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const std::filesystem::path& defaultHome) {
  AnswerPolicy policy;
  std::optional<std::filesystem::path> home;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      printProgramUsage(out);
      return kExitOk;
    } else if (a == "--version") {
      out << "tessera-cli " << TESSERA_VERSION << "\n";
      return kExitOk;
    } else if (a == "--home") {
      if (++i >= args.size()) {
        err << "tessera-cli: --home needs a directory\n";
        return kExitUsage;
      }
      home = args[i];
    } else if (a == "--yes") {
      policy.negative = false;
    } else if (a == "--no") {
      policy.negative = true;
    } else if (a == "--answers") {
      if (++i >= args.size() || !parseAnswers(args[i], policy)) {
        err << "tessera-cli: --answers needs a list of y, n, c, o\n";
        return kExitUsage;
      }
    } else if (!a.empty() && a[0] == '-') {
      err << "tessera-cli: unknown option " << a << "\n";
      printProgramUsage(err);
      return kExitUsage;
    } else {
      break;
    }
  }
  if (i >= args.size()) {
    printProgramUsage(err);
    return kExitUsage;
  }
  const CliCommand* command = findCommand(args[i]);
  if (!command) {
    err << "tessera-cli: unknown command " << args[i] << "\n";
    printProgramUsage(err);
    return kExitUsage;
  }
  std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  for (const std::string& a : rest) {
    if (a == "--help" || a == "-h") {
      out << command->usage;
      return kExitOk;
    }
  }
  CrystalDocument document;
  ProgramSettings settings;
  ConsoleUserInterface ui(err, policy);
  const ProgramFolders folders = programFolders(home, defaultHome);
  Session session{document, ui, settings, folders.home, defaultHome};
  session.userFolder = folders.userFolder;
  CliContext context{session, ui, out, err, in};
  return command->run(context, rest);
}

}  // namespace tessera::cli
