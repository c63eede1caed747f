#include "cli/convert_commands.h"

#include <map>

#include "core/site_listing.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_dialogs.h"
#include "formats/import_framework.h"

namespace tessera::cli {

namespace {

/// The options of the convert command as the dialogs take them.
struct ConvertOptions {
  std::string input, output, from, to, block;
  std::optional<int> convMode, anisoPref, isoPref, symmetrySource, typeSource;
  bool removeMultiple = false;
};

std::string extensionOf(const std::string& path) {
  const std::string name = fileNameOf(path);
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : toLower(name.substr(dot));
}

/// Reads one "--name value" option; empty on success, else the problem.
std::string readOption(ConvertOptions& o, const std::string& name, const std::string& value) {
  static const std::map<std::string, std::map<std::string, int>> choices = {
      {"--tf", {{"keep", 0}, {"separate", 1}, {"iso", 2}, {"aniso", 3}}},
      {"--aniso", {{"u", 0}, {"beta", 1}}},
      {"--iso", {{"u", 0}, {"b", 1}}},
      {"--symmetry", {{"xyz", 0}, {"symbol", 1}}},
      {"--type-from", {{"label", 0}, {"type", 1}}}};
  if (name == "--from") o.from = toLower(value);
  else if (name == "--to") o.to = toLower(value);
  else if (name == "--block") o.block = value;
  else {
    const auto c = choices.find(name);
    if (c == choices.end()) return format("unknown option %s", name.c_str());
    const auto v = c->second.find(toLower(value));
    if (v == c->second.end()) return format("bad value for %s: %s", name.c_str(), value.c_str());
    std::optional<int>* into = name == "--tf" ? &o.convMode
                               : name == "--aniso" ? &o.anisoPref
                               : name == "--iso" ? &o.isoPref
                               : name == "--symmetry" ? &o.symmetrySource
                                                       : &o.typeSource;
    *into = v->second;
  }
  return "";
}

std::string parseArgs(const std::vector<std::string>& args, ConvertOptions& o) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--remove-multiple") {
      o.removeMultiple = true;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      if (i + 1 >= args.size()) return format("%s needs a value", a.c_str());
      const std::string problem = readOption(o, a, args[++i]);
      if (!problem.empty()) return problem;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return "expected an input and an output file";
  o.input = files[0];
  o.output = files[1];
  return "";
}

/// Fills the dialogs of the import and the export from the options.
bool fillDialog(const ConvertOptions& o, DialogModel& model) {
  if (auto* imp = dynamic_cast<ImportOptionsModel*>(&model)) {
    if (o.symmetrySource) imp->symmetrySourcePref = *o.symmetrySource;
    if (o.typeSource) imp->typeNumberSource = *o.typeSource;
    return true;
  }
  if (auto* sets = dynamic_cast<DataSetModel*>(&model)) return chooseDataSet(*sets, o.block);
  if (auto* exp = dynamic_cast<ExportDialogModel*>(&model)) {
    exp->crystalChoice = 0;
    if (o.convMode) exp->convMode = *o.convMode;
    if (o.anisoPref) exp->anisoPref = *o.anisoPref;
    if (o.isoPref) exp->isoPref = *o.isoPref;
    exp->removeMultipleOccupancies = o.removeMultiple;
    return true;
  }
  return true;
}

int runConvert(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("convert");
  ConvertOptions o;
  const std::string problem = parseArgs(args, o);
  if (!problem.empty()) return usageError(context, *self, problem);

  const bool nativeIn = o.from == "tsr" || (o.from.empty() && hasNativeExtension(o.input));
  std::optional<int> kind;
  if (!nativeIn) {
    kind = o.from.empty() ? importKindForPath(context.session.settings, o.input) : importKindByCliName(o.from);
    if (!kind) return usageError(context, *self, format("cannot tell the format of %s; give --from", o.input.c_str()));
  }
  const bool nativeOut = o.to == "tsr" || (o.to.empty() && hasNativeExtension(o.output));
  std::optional<int> command;
  if (!nativeOut) {
    command = o.to.empty() ? exportCommandForPath(context.session.settings, o.output) : exportCommandByCliName(o.to);
    if (!command) return usageError(context, *self, format("cannot tell the format of %s; give --to", o.output.c_str()));
    if (!hasWriter(context, "convert", *command)) return kExitFailed;
  }
  context.ui.dialogFiller = [&o](DialogModel& m) { return fillDialog(o, m); };
  const bool loaded = nativeIn ? loadDocument(context, o.input) : importDocument(context, o.input, *kind);
  if (!loaded) return kExitFailed;
  if (nativeOut) return saveDocument(context, o.output) ? kExitOk : kExitFailed;
  return exportTo(context, *command, o.output) ? kExitOk : kExitFailed;
}

}  // namespace

std::optional<int> importKindForPath(const ProgramSettings& settings, const std::string& path) {
  const std::string ext = extensionOf(path);
  if (ext.empty()) return std::nullopt;
  if (ext == ".res") return kKindShelx;
  if (ext == ".ret") return kKindIcsd;  // RETRIEVE, not the Original kind that shares the extension
  for (int k = 0; k < kImportKindCount; ++k)
    if (equalsIgnoreCase(settings.importExtensions[static_cast<std::size_t>(k)], ext)) return k;
  return std::nullopt;
}

bool chooseDataSet(DataSetModel& sets, const std::string& block) {
  if (block.empty()) return true;
  if (const auto n = parseLong(block)) {
    sets.selection = static_cast<int>(*n);
    return *n >= 1 && *n <= static_cast<long>(sets.names.size());
  }
  for (std::size_t i = 0; i < sets.names.size(); ++i)
    if (sets.names[i] == block || equalsIgnoreCase(sets.names[i], block)) {
      sets.selection = static_cast<int>(i + 1);
      return true;
    }
  return false;
}

std::optional<int> exportCommandForPath(const ProgramSettings& settings, const std::string& path) {
  const std::optional<int> kind = importKindForPath(settings, path);
  if (!kind) return std::nullopt;
  const auto& commands = exportCommands();
  for (std::size_t i = 0; i < commands.size(); ++i)
    if (commands[i].kind == *kind) return static_cast<int>(i);
  return std::nullopt;
}

bool hasWriter(CliContext& context, const char* commandName, int command) {
  const ExportCommand& c = exportCommands()[static_cast<std::size_t>(command)];
  if (c.writer) return true;  // the CCDC FDAT command exists but writes nothing
  context.err << "tessera-cli " << commandName << ": no writer for " << c.name << "\n";
  return false;
}

bool exportTo(CliContext& context, int command, const std::string& path) {
  context.ui.files.clear();
  context.ui.files.push_back(path);
  return RunExport(context.session, command);
}

bool importDocument(CliContext& context, const std::string& path, int kind) {
  const ImportKind* row = findImportKind(kind);
  if (!row || !row->available()) {
    context.err << "tessera-cli: no reader for " << (row ? row->name : "this format") << "\n";
    return false;
  }
  context.ui.files.clear();
  context.ui.files.push_back(path);
  return RunImport(context.session, kind,
                   [&context](Session& s) { return saveDocument(context, s.document.documentPath); });
}

CliCommand convertCommand() {
  return {"convert", "import a file in one format and export it in another",
          "usage: tessera-cli convert IN OUT [--from KIND] [--to KIND] [--block N|NAME]\n"
          "         [--tf keep|separate|iso|aniso] [--aniso u|beta] [--iso u|b] [--remove-multiple]\n"
          "         [--symmetry xyz|symbol] [--type-from label|type]\n"
          "Imports IN (a .tsr file is opened as a document) and exports OUT with the options of the\n"
          "import and export dialogs. KIND is a format name in lower case without blanks: free-form,\n"
          "shelx, cif, tsr, ...; it is guessed from the extension when not given (.inp, .ins, .res,\n"
          ".cif, .tsr). --block chooses the data set of a file holding several, by number or name.\n",
          runConvert};
}

}  // namespace tessera::cli
