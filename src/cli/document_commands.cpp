#include "cli/document_commands.h"

#include "cli/convert_commands.h"
#include "commands/control_window.h"

namespace tessera::cli {

namespace {

int runShow(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("show");
  std::vector<std::string> files;
  std::string block;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--block") {
      if (++i >= args.size()) return usageError(context, *self, "--block needs a number or a name");
      block = args[i];
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 1) return usageError(context, *self, "expected one file");
  context.ui.dialogFiller = [&block](DialogModel& m) {
    auto* sets = dynamic_cast<DataSetModel*>(&m);
    return !sets || chooseDataSet(*sets, block);
  };
  CrystalDocument& doc = context.session.document;
  if (!loadDocument(context, files[0])) return kExitFailed;
  doc.selectedSite = 0;
  const ControlWindowContent c = controlWindowContent(doc);
  std::ostream& out = context.out;
  out << c.fileLine << "\n";
  if (!c.symmetryLine.empty()) out << c.symmetryLine << "\n";
  out << c.header << "\n";
  for (const std::string& row : c.rows) out << row << "\n";
  out << c.cellFields[0];
  for (int k = 1; k < 6; ++k) out << " " << c.cellFields[k];
  out << "\n";
  if (doc.siteCount() > 0)
    for (const std::string& t : c.selected) out << t << "\n";
  return kExitOk;
}

int runSave(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("save");
  if (args.size() != 2) return usageError(context, *self, "expected an input and an output file");
  if (!loadDocument(context, args[0])) return kExitFailed;
  return saveDocument(context, args[1]) ? kExitOk : kExitFailed;
}

}  // namespace

CliCommand showCommand() {
  return {"show", "print what the Control Window shows for a document",
          "usage: tessera-cli show FILE [--block N|NAME]\n"
          "Prints the File line, the symmetry line, the site list, the cell (a b c alpha beta gamma,\n"
          "degrees) and the texts of the selected site (site 1). FILE is a native document or any\n"
          "importable file; --block chooses the data set of a file holding several.\n",
          runShow};
}

CliCommand saveCommand() {
  return {"save", "read a native document and write it again",
          "usage: tessera-cli save IN.tsr OUT.tsr\n"
          "Reads IN.tsr and writes it to OUT.tsr; exit 1 with the reader's messages on failure.\n",
          runSave};
}

}  // namespace tessera::cli
