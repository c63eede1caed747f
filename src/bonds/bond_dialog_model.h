#pragma once
// The "Bond Lengths and Angles" dialog as a model, and the command that runs it:
// the Old or New input atoms, all atoms or one, the three distance limits and the
// angles switch; OK checks for New atoms, takes the settings over, runs the
// calculation and writes "BONDS.OUT" in the output folder.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "bonds/bond_calculation.h"
#include "core/session.h"

namespace tessera {

/// Shown when New atoms are asked for before a transformation has made them.
inline constexpr const char* kNoNewAtomsMessage = "No new input atoms - run Transformation";
/// The report's file name.
inline constexpr const char* kBondsFileName = "BONDS.OUT";

class BondDialogModel : public DialogModel {
 public:
  /// Filled from the settings and the document's selected site; "Old input atoms" chosen.
  BondDialogModel(const CrystalDocument& doc, const ProgramSettings& settings);

  static constexpr std::string_view kKind = "BondLengths";
  std::string_view dialogKind() const override { return kKind; }
  static constexpr const char* kTitle = "Bond Lengths and Angles";
  /// Largest central-ligand limit accepted (Angstrom): the search grows with its cube.
  static constexpr double kMaxCentralLigandLimit = 100.0;

  bool newAtoms = false;      ///< "New input atoms" instead of "Old input atoms"
  bool selectedOnly = false;  ///< "Selected atom only:" instead of "All atoms"
  int atomNumber = 1;         ///< 1-based number of the selected atom
  BondParameters parameters;  ///< limits (Angstrom) and the angles switch

  /// The refusal text for a central-ligand limit, or nothing when it is accepted.
  static std::optional<std::string> checkCentralLigandLimit(double value);
  /// The refusal text for the other two limits (any number), or nothing.
  static std::optional<std::string> checkLimit(double value);
  /// The OK check: kNoNewAtomsMessage when New atoms are chosen and there are none (or
  /// the Old crystal has no operators), else nothing; the dialog then stays open.
  std::optional<std::string> refusal() const;

  /// OK: takes the limits and switches into the settings and the clamped atom number
  /// into the document's selected site; returns the central atom to run (1-based, -1 all).
  int applyTo(CrystalDocument& doc, ProgramSettings& settings) const;

 private:
  const CrystalDocument* doc_;
};

/// What the command did.
struct BondOutcome {
  bool written = false;  ///< the report file holds the new listing
  std::filesystem::path path;
};

/// "Bond Lengths": runs the dialog and, on OK, the calculation for the chosen crystal
/// (activeCrystal set for the run and back to Old afterwards), writing the report to
/// `path` (default: BONDS.OUT in the output folder). Nothing when cancelled or refused.
std::optional<BondOutcome> bondLengthsCommand(Session& session, const std::filesystem::path& path = {});

}  // namespace tessera
