#include "symmetry/identify.h"

#include "symmetry/sg_complete.h"
#include "symmetry/sg_group.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

namespace tessera {

namespace {

// Shows the engine's pending error, if any; returns 0 for IdentifySpaceGroup's failure.
int failWithPendingError(const SgInfo& sg, UserInterface& ui) {
  if (!sg.error.empty()) ui.message(sg.error);
  return 0;
}

int abandon(const SgInfo& sg, UserInterface& ui) {
  failWithPendingError(sg, ui);
  return -1;
}

// The centring, the lines and the inversion go into the record. The centring comes first
// so that lines listing one operator per centring coset are not taken for lattice
// translations while they are closed.
int addDocumentOperators(const CrystalRecord& crystal, SgInfo& sg, UserInterface& ui) {
  if (crystal.latticeCode > 1) {
    const LatticeInfo* lattice = findLattice(latticeLetterOfCode(crystal.latticeCode));
    if (lattice && AddLatticeTr2ListSeitzMx(sg, *lattice) != 0) return abandon(sg, ui);
  }
  for (const std::string& line : crystal.xyzLines) {
    std::string text = line;
    const std::size_t semicolon = text.rfind(';');
    if (semicolon != std::string::npos && semicolon >= 2) text.erase(semicolon);
    SeitzMx op;
    if (ParseSymXYZ(text, op, STBF) != 0) {
      ui.message("ParseSymXYZ failed");
      return -1;
    }
    if (Add2ListSeitzMx(sg, op) != 0) {
      ui.message("Add2ListSeitzMx failed");
      return abandon(sg, ui);
    }
  }
  // Lines of a group with its inversion off the origin list every operator already.
  if (crystal.acentric == 0 && crystal.inversionOffOrigin == 0 && AddInversion2ListSeitzMx(sg) != 0)
    return abandon(sg, ui);
  return 0;
}

int replaceLines(CrystalRecord& crystal, const SgInfo& sg, UserInterface& ui) {
  if (!listIsValid(sg)) {
    ui.message("Error: Illegal SeitzMx in list");
    return 0;
  }
  if (sg.listCount() >= kMaxSymmetryLines) {
    ui.message("Sginfo - more than 48 symmetry lines");
    return 0;
  }
  crystal.xyzLines = listedOperatorLines(sg);
  // The standard list holds one operator per inversion pair when the inversion is at the origin.
  crystal.acentric = sg.centric == 0 ? 1 : 0;
  crystal.matricesValid = 0;
  return 1;
}

}  // namespace

char latticeLetterOfCode(int latticeCode) {
  static constexpr const char* kLetters = "PABCFIRST";
  return latticeCode >= 1 && latticeCode <= 9 ? kLetters[latticeCode - 1] : 'P';
}

int IdentifySpaceGroup(CrystalRecord& crystal, UserInterface& ui) {
  if (crystal.lineCount() > 0) DetectCentringAndInversion(crystal, ui, true, true);
  SgInfo sg;
  sg.crystal = &crystal;
  ResetSgInfo(sg);
  if (addDocumentOperators(crystal, sg, ui) != 0) return 0;
  if (CompleteSgInfo(sg) != 0) return failWithPendingError(sg, ui);

  const TabSgName* row = sg.tabSgName;
  if (!row) {
    ui.message("Unable to assign space-group symbols");
    row = findTabSgNameByHall(" P 1");
  }
  crystal.inversionOffOrigin = 0;
  if (sg.inversionOffOrigin) {
    ui.message("Off-origin inversion detected");
    crystal.inversionOffOrigin = 1;
  }
  bool changed = false;
  if (sg.latticeTranslationStatus != 0) {
    ui.message("Lattice translations detected - will be removed");
    crystal.latticeName = std::string(1, sg.lattice->code);
    crystal.latticeCode = latticeCodeFromLetter(sg.lattice->code);
    changed = true;
  }
  if (crystal.acentric != (sg.centric == 0 ? 1 : 0)) ui.message("Incorrect centric/acentric detected");
  if (!changed && crystal.lineCount() != sg.listCount()) ui.message("Space-group symmetry operations apparently invalid");

  crystal.hallSymbol = row->HallSymbol;
  crystal.hmSymbol = row->documentHmSymbol();
  crystal.sgNumber = row->number;
  crystal.sgNumberText = row->key();

  if (changed && ui.ask("Change symmetry operators as just noted?", Buttons::OkCancel) == Answer::Ok &&
      replaceLines(crystal, sg, ui) == 0)
    return 0;
  if (!sg.error.empty()) return failWithPendingError(sg, ui);
  return 1;
}

}  // namespace tessera
