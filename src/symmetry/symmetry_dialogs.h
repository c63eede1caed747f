#pragma once
// Models of the symmetry dialogs ("Symmetry" option, "Space-Group Symmetry from
// Table", "Custom Symmetry", "Edit Symmetry Operation Line") and the command that
// runs them on a crystal.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"

namespace tessera {

/// "Symmetry": the choice between the table and custom lines.
class SymmetryOptionModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "SymmetryOption";
  std::string_view dialogKind() const override { return kKind; }
  int option = 0;  ///< 0 "Space group from table", 1 "Custom symmetry (xyz)"
};

/// "Space-Group Symmetry from Table".
class TableSymmetryModel : public DialogModel {
 public:
  /// dataFolders: where "Select" looks for HALL.DAT (dataFolders() of the session).
  TableSymmetryModel(CrystalRecord& crystal, UserInterface& ui, std::vector<std::filesystem::path> dataFolders);
  static constexpr std::string_view kKind = "TableSymmetry";
  std::string_view dialogKind() const override { return kKind; }

  std::string hmSymbol, hallSymbol, numberText;  ///< the three fields (at most 39 characters)
  int symbolKind = 0;                            ///< which field is used: 0 H-M, 1 Hall, 2 number
  int settingCode = 0;                           ///< 0 "Vol A (mono - b assumed)", 1 "Vol I (mono - c assumed)"

  /// "Select": picks a line of HALL.DAT and fills the three fields; false when cancelled or unreadable.
  bool select();
  /// A refusal text for the fields, or nothing.
  std::optional<std::string> validate() const;
  /// OK: stores the choice and assigns the group; true on success.
  bool accept();

 private:
  CrystalRecord& crystal_;
  UserInterface& ui_;
  std::vector<std::filesystem::path> dataFolders_;
};

/// "Edit Symmetry Operation Line".
class SymmetryLineModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "SymmetryLine";
  std::string_view dialogKind() const override { return kKind; }
  int lineNumber = 1;                 ///< 1-based
  bool isNew = false;
  std::string text;
  std::optional<int> errorPosition;   ///< where the last parse failed (0-based)

  /// "%d" or "%d (new line)".
  std::string caption() const;
  /// "End of line indicates location of error" when an error position is known, else empty.
  std::string errorNote() const;
  /// The text up to the error position (empty without one).
  std::string textUpToError() const;
};

/// "Custom Symmetry".
class CustomSymmetryModel : public DialogModel {
 public:
  CustomSymmetryModel(CrystalRecord& crystal, UserInterface& ui);
  static constexpr std::string_view kKind = "CustomSymmetry";
  std::string_view dialogKind() const override { return kKind; }

  std::string symbol;           ///< "Symbol:"
  bool centric = false;         ///< "Centric" / "Acentric"
  int latticeIndex = 0;         ///< "Bravais lattice:" P A B C F I R
  std::vector<std::string> lines;
  bool closedForOptionChange = false;  ///< set by "Change Symmetry Option..."

  static const std::vector<std::string>& latticeLetters();
  /// "Add Line...": appends an empty line and edits it; returns the line to select.
  int addLine();
  /// "Delete Line...": asks and removes line j; returns the line to select.
  int deleteLine(int j);
  /// Edits line j (0-based); re-opens with the error position while the text does not parse.
  bool editLine(int j, bool isNew = false);
  /// "Get Space-Group Symbol": identifies the group from the lines, on a working copy of
  /// the crystal that only OK writes back.
  void getSpaceGroupSymbol();
  /// "Change Symmetry Option...": back to the option dialog (the dialog closes).
  void changeOption();
  /// OK: stores symbol, flags and lines (and what identification found) and rebuilds the operator table.
  void accept();

 private:
  void writeTo(CrystalRecord& crystal) const;
  void readFrom(const CrystalRecord& crystal);
  CrystalRecord& crystal_;
  CrystalRecord working_;  ///< the crystal as the dialog's buttons left it
  UserInterface& ui_;
};

/// The symmetry command on crystal `crystalIndex` (0 Old, 1 New): the option dialog,
/// the table or custom dialog, and the P1 question when no option is chosen. True when
/// the crystal's symmetry was set; after Cancel nothing has changed and the document's
/// modified flag is left alone.
bool SymmetryCommand(Session& session, int crystalIndex);

}  // namespace tessera
