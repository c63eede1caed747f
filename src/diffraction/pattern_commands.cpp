#include "core/native_file.h"
#include "diffraction/pattern_commands.h"

#include "diffraction/pattern_models.h"

namespace tessera {

namespace {

/// Runs the dialog on the document's values until OK with acceptable values (stored
/// in the document) or Cancel (false).
template <class Model>
bool runDialogOnDocument(Session& session) {
  Model model;
  model.loadFrom(session.document);
  for (;;) {
    if (!session.ui.runDialog(model)) return false;
    const std::optional<std::string> problem = model.validate();
    if (!problem) break;
    session.ui.message(*problem);
  }
  model.applyTo(session.document);
  return true;
}

}  // namespace

bool activeCrystalHasSites(const CrystalDocument& doc, const char* newMessage, UserInterface& ui) {
  if (doc.activeCrystal == 1 && doc.newSiteCount() == 0) {
    ui.message(newMessage);
    return false;
  }
  if (doc.activeCrystal != 1 && doc.siteCount() == 0) {
    ui.message("No input atoms");
    return false;
  }
  return true;
}

std::optional<PowderCommandResult> powderAfterDialog(Session& session, ScatteringTable& table) {
  CrystalDocument& doc = session.document;
  if (!activeCrystalHasSites(doc, "No new crystal - must Transform", session.ui)) return std::nullopt;
  BusyCursor busy(session.ui);
  loadScatteringTable(session.home, table, session.ui);
  PowderCommandResult result;
  result.pattern = calculatePowder(doc, table, session.ui);
  const int output = doc.powderSettings.powderOutput;
  if (output == 0 || output == 2) {
    const std::filesystem::path path = session.outputFolder() / "LIST.OUT";
    if (writeFileAtomically(path.string(), powderListing(result.pattern))) result.listing = path;
  }
  doc.powderSettings.lastPattern = 0;
  result.showGraph = output > 0;
  doc.modified = true;
  return result;
}

std::optional<PowderCommandResult> runPowderCommand(Session& session, ScatteringTable& table) {
  // The scale choice belongs to the program (SCRPTR), not to the structure: the dialog
  // starts from the program's values and OK keeps the ones chosen there.
  PowderSettings& s = session.document.powderSettings;
  s.powderScaleMode = session.settings.powderScaleMode;
  s.powderFixedScale = session.settings.powderFixedScale;
  if (!runDialogOnDocument<PowderDialogModel>(session)) return std::nullopt;
  session.settings.powderScaleMode = s.powderScaleMode;
  session.settings.powderFixedScale = s.powderFixedScale;
  return powderAfterDialog(session, table);
}

std::optional<PrecessionPattern> precessionAfterDialog(Session& session, ScatteringTable& table) {
  CrystalDocument& doc = session.document;
  if (!activeCrystalHasSites(doc, "No new atoms - must Transform", session.ui)) return std::nullopt;
  BusyCursor busy(session.ui);
  loadScatteringTable(session.home, table, session.ui);
  PrecessionPattern pattern = calculatePrecession(doc, table, session.ui);
  doc.powderSettings.lastPattern = 1;
  doc.modified = true;
  return pattern;
}

std::optional<PrecessionPattern> runPrecessionCommand(Session& session, ScatteringTable& table) {
  if (!runDialogOnDocument<PrecessionDialogModel>(session)) return std::nullopt;
  return precessionAfterDialog(session, table);
}

}  // namespace tessera
