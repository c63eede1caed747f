#include "formats/export_framework.h"

#include <cmath>

#include "core/messages.h"
#include "core/native_file.h"
#include "core/site_listing.h"
#include "core/text.h"
#include "formats/cif_writer.h"
#include "formats/dbws.h"
#include "formats/free_form.h"
#include "formats/fullprof.h"
#include "formats/gsas.h"
#include "formats/icsd_writer.h"
#include "formats/import_kinds.h"
#include "formats/ortep.h"
#include "formats/rietan.h"
#include "formats/shelx_writer.h"
#include "formats/symbol_derivation.h"
#include "transform/new_symmetry.h"

namespace tessera {

namespace {

struct SupportRow {
  int kind;
  const char* iso;
  const char* aniso;
};

constexpr std::array<SupportRow, 12> kSupport = {{{0, "U/B", "U/beta"},
                                                  {2, "U", "U"},
                                                  {3, "U", "U"},
                                                  {4, "B", "beta"},
                                                  {5, "B", "beta"},
                                                  {6, "U/B", "U/beta"},
                                                  {7, "U/B", "U/beta"},
                                                  {8, "U/B", "U/beta"},
                                                  {12, "B", "beta"},
                                                  {13, "U", "U"},
                                                  {15, "U/B", "U/beta"},
                                                  {16, "B", "beta"}}};

const char* kRefinementNote =
    "Note you are exporting to a refinement program format.  Generally, Tessera writes only symmetry, "
    "unit-cell and atomic-coordinate information.  Files, and even lines written by Tessera, may need editing.";

bool isPlaceholderSymbol(const std::string& symbol) {
  for (const char* p : {"custom", "shelx", "icsd", "ortep", "cif", "xtlview", "rietan"})
    if (equalsIgnoreCase(symbol, p)) return true;
  return false;
}

}  // namespace

ExportContext::ExportContext(Session& s, int exportKind, int crystal)
    : session(s), ui(s.ui), settings(s.settings), document(s.document), kind(exportKind), crystalIndex(crystal) {}

void ExportContext::PrepareReciprocalCell() { reciprocal = prepareReciprocalCell(crystal().cell); }

TemperatureFactor ExportContext::ConvertTemperatureFactor(int target, int siteIndex) const {
  const Site& site = document.sites[static_cast<std::size_t>(crystalIndex)][static_cast<std::size_t>(siteIndex)];
  if (site.ortepType < 0) return {};
  return convertTemperatureFactor(site, chooseTargetType(site.ortepType, target, settings), reciprocal);
}

std::optional<std::string> ExportContext::chooseFile(const char* extension, const char* defaultName, const char* filter) {
  FileRequest request;
  request.title = "Export";
  request.filter = filter;
  // The document's own name with the format's extension; "Untitled" only for a document without one.
  const std::string name = fileNameOf(document.documentPath);
  const std::string stem = name.substr(0, name.rfind('.'));
  request.defaultName = stem.empty() || equalsIgnoreCase(stem, "untitled") ? std::string(defaultName) : stem + extension;
  request.defaultExtension = extension;
  request.directory = settings.documentDirectory;
  request.mustExist = false;
  return ui.saveFile(request);
}

bool ExportContext::writeFile(const std::string& path, const std::string& text) {
  if (writeFileAtomically(path, text)) return true;
  ui.message(fileOpenFailedMessage(path));
  return false;
}

const std::vector<ExportCommand>& exportCommands() {
  static const std::vector<ExportCommand> commands = {
      {"Free-Form (ORBIS .inp)", 0, true, false, "free-form", &ExportFreeForm, false},
      {"CCDC FDAT", -1, false, false, "ccdc-fdat", nullptr, true},
      {"SHELX", 2, true, true, "shelx", &ExportShelx, false},
      {"CIF", 3, true, false, "cif", &ExportCif, false},
      {"DBWS", 4, true, true, "dbws", &ExportDbws, false},
      {"LHPM", 5, true, true, "lhpm", &ExportLhpm, false},
      {"ICSD - RETRIEVE", 6, true, false, "icsd-retrieve", &ExportIcsdRetrieve, false},
      {"ICSD - CAN/SND", 7, true, false, "icsd-cansnd", &ExportIcsdCanSnd, false},
      {"ICSD - Original", 15, true, false, "icsd-original", &ExportIcsdOriginal, false},
      {"ORTEP", 8, false, false, "ortep", &ExportOrtep, false},
      {"RIETAN", 12, false, true, "rietan", &ExportRietan, false},
      {"GSAS", 13, true, true, "gsas", &ExportGsas, false},
      {"FULLPROF", 16, false, true, "fullprof", &ExportFullprof, false},
  };
  return commands;
}

std::optional<int> exportCommandByCliName(std::string_view name) {
  const std::string wanted = toLower(removeBlanks(name));
  const auto& commands = exportCommands();
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (wanted == commands[i].cliName || wanted == toLower(removeBlanks(commands[i].name)))
      return static_cast<int>(i);
  }
  return std::nullopt;
}

std::string supportSentence(int kind) {
  const ImportKind* row = findImportKind(kind);
  for (const SupportRow& s : kSupport)
    if (s.kind == kind && row) return format("%s files support %s iso and %s aniso", row->name, s.iso, s.aniso);
  return {};
}

ExportDialogModel::ExportDialogModel(const CrystalDocument& doc, const ProgramSettings& settings, int kind)
    : supportLine(supportSentence(kind)),
      crystalChoice(doc.newSiteCount() >= 1 ? 1 : 0),
      convMode(settings.convMode),
      anisoPref(settings.anisoPref),
      isoPref(settings.isoPref),
      removeMultipleOccupancies(settings.removeMultipleOccupancies) {}

void ExportDialogModel::apply(ProgramSettings& settings) const {
  settings.convMode = convMode;
  settings.anisoPref = anisoPref;
  settings.isoPref = isoPref;
  settings.removeMultipleOccupancies = removeMultipleOccupancies;
}

bool RunExport(Session& session, int commandIndex) {
  const auto& commands = exportCommands();
  if (commandIndex < 0 || commandIndex >= static_cast<int>(commands.size())) return false;
  const ExportCommand& command = commands[static_cast<std::size_t>(commandIndex)];
  if (command.doesNothing) {
    session.ui.message(format("%s files are read only: Tessera has no writer for this layout", command.name));
    return false;
  }
  if (!command.writer) return false;
  CrystalDocument& doc = session.document;
  ExportDialogModel model(doc, session.settings, command.kind);
  if (!session.ui.runDialog(model)) return false;
  const int chosen = model.crystalChoice == 1 ? 1 : 0;
  if (chosen == 1 && doc.newSiteCount() < 1) {
    session.ui.message("No atoms in New cell - must Transform");
    return false;
  }
  // Input atoms only leaves the New symmetry to the user: the Old operators in new axes write a wrong file.
  if (chosen == 1 && newSymmetryUnset(doc) &&
      session.ui.ask(kNewSymmetryUnsetWarning, Buttons::OkCancel) != Answer::Ok)
    return false;
  CrystalRecord& crystal = doc.crystals[static_cast<std::size_t>(chosen)];
  if (command.symbolCheck && isPlaceholderSymbol(crystal.hmSymbol)) {
    const Answer a = session.ui.ask(
        format("The H-M space-group symbol is '%s' - do you want to try to derive a valid symbol from the xyz operators?",
               crystal.hmSymbol.c_str()),
        Buttons::YesNoCancel);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes && deriveSymbolsFromOperators(crystal, session.ui)) doc.modified = true;
  }
  model.apply(session.settings);
  doc.activeCrystal = chosen;
  if (command.refinementNote) session.ui.message(kRefinementNote);
  ExportContext context(session, command.kind, chosen);
  return command.writer(context);
}

int chooseTargetType(int t, int target, const ProgramSettings& s) {
  if (target >= 0) return target;
  const int iso = s.isoPref == 0 ? 10 : 6;
  const int aniso = s.anisoPref == 0 ? 8 : 0;
  switch (s.convMode) {
    case 0:
      if (target == -2) return aniso;
      if (t == 1 || t == 2 || t == 3 || t == 4 || t == 5 || t == 9) return aniso;
      if (t == 7) return iso;
      return t;
    case 1: return isIsotropicType(t) ? iso : aniso;
    case 2: return iso;
    case 3: return aniso;
    default: return t;
  }
}

double exportDegrees(float radians) {
  const double degrees = static_cast<double>(radians) * (180.0 / 3.14159265358979323846);
  return std::round(degrees * 1e4) / 1e4;
}

bool HasAnisoOutput(const CrystalDocument& doc, const ProgramSettings& s) {
  return (doc.tfMix >= 2 && doc.tfMix != 4 && s.convMode != 2) || s.convMode == 3;
}

bool HasIsoOutput(const CrystalDocument& doc, const ProgramSettings& s) {
  return (doc.tfMix > 0 && doc.tfMix != 2 && doc.tfMix != 5 && s.convMode != 3) || s.convMode == 2;
}

}  // namespace tessera
