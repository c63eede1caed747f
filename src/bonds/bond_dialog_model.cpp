#include "bonds/bond_dialog_model.h"

#include <algorithm>
#include <cmath>

#include "core/native_file.h"
#include "core/text.h"

namespace tessera {

BondDialogModel::BondDialogModel(const CrystalDocument& doc, const ProgramSettings& settings) : doc_(&doc) {
  selectedOnly = settings.bondSelectedOnly;
  atomNumber = doc.selectedSite + 1;
  parameters.centralLigandLimit = settings.centralLigandLimit;
  parameters.ligandLigandLimit = settings.ligandLigandLimit;
  parameters.angleLimit = settings.angleLimit;
  parameters.angles = settings.bondAngles;
}

std::optional<std::string> BondDialogModel::checkLimit(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return std::string("Please enter a number.");
  return std::nullopt;
}

std::optional<std::string> BondDialogModel::checkCentralLigandLimit(double value) {
  if (auto problem = checkLimit(value)) return problem;
  if (value < 0.0 || value > kMaxCentralLigandLimit)
    return format("Please enter a number between %g and %g.", 0.0, kMaxCentralLigandLimit);
  return std::nullopt;
}

std::optional<std::string> BondDialogModel::refusal() const {
  if (!newAtoms) return std::nullopt;
  // The operator table is built when first needed; until then its lines stand for it.
  const CrystalRecord& old = doc_->crystals[0];
  const int operators = old.matricesValid ? old.opCount : old.lineCount();
  if (doc_->newSiteCount() < 1 || operators == 0) return std::string(kNoNewAtomsMessage);
  return std::nullopt;
}

int BondDialogModel::applyTo(CrystalDocument& doc, ProgramSettings& settings) const {
  settings.centralLigandLimit = parameters.centralLigandLimit;
  settings.ligandLigandLimit = parameters.ligandLigandLimit;
  settings.angleLimit = parameters.angleLimit;
  settings.bondAngles = parameters.angles;
  settings.bondSelectedOnly = selectedOnly;
  const int number = std::min(std::max(atomNumber, 1), doc.siteCount());
  doc.selectedSite = std::max(number - 1, 0);
  if (!selectedOnly) return -1;
  // The New list may be shorter than the Old one the number was clamped to.
  return newAtoms ? std::min(number, doc.newSiteCount()) : number;
}

std::optional<BondOutcome> bondLengthsCommand(Session& session, const std::filesystem::path& path) {
  CrystalDocument& doc = session.document;
  BondDialogModel model(doc, session.settings);
  if (!session.ui.runDialog(model)) return std::nullopt;
  if (auto refused = model.refusal()) {
    session.ui.message(*refused);
    return std::nullopt;
  }
  const int central = model.applyTo(doc, session.settings);
  BondOutcome outcome;
  outcome.path = path.empty() ? session.outputFolder() / kBondsFileName : path;
  std::string report;
  doc.activeCrystal = model.newAtoms ? 1 : 0;
  const bool calculated = calculateBonds(doc, central, model.parameters, session.ui, report);
  doc.activeCrystal = 0;
  if (!calculated) return outcome;
  outcome.written = writeFileAtomically(outcome.path.string(), report);
  // An old listing left in place must not be taken for this one.
  if (!outcome.written) session.ui.message(format("Report file write failed: %s", outcome.path.string().c_str()));
  return outcome;
}

}  // namespace tessera
