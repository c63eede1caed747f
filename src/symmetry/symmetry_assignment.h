#pragma once
// Giving a crystal its symmetry: assignment from the table by a symbol (H-M, Hall
// or number), the checks against the cell, the P1 default, the origin-choice
// shifts and the point-group assignment.

#include <array>
#include <optional>
#include <string>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Symbol kinds.
constexpr int kSymbolHM = 0;
constexpr int kSymbolHall = 1;
constexpr int kSymbolNumber = 2;

/// Assigns a space group to the crystal from the table (kind 0 H-M, 2 number with
/// extension) or from a Hall symbol (kind 1); setting 1 = volume I conventions, 0 =
/// volume A. Writes symbols, flags and symmetry lines and shows the checks against
/// the cell. 0 on success, 1 on failure (the message has been shown).
int AssignSpaceGroup(CrystalRecord& crystal, const std::string& text, int kind, int setting, UserInterface& ui);

/// For imports: kind 1 uses `hallSymbol`, 2 `sgNumberText`, any other `hmSymbol`.
/// Shows "Space-group assignment failed" on failure; 1 on success, 0 on failure.
int AssignFromDocumentSymbol(CrystalRecord& crystal, int kind, UserInterface& ui);

/// Space group P1 as the default when no symmetry option is chosen.
void setDefaultP1(CrystalRecord& crystal);

/// Shift from origin choice 1 to origin choice 2 (fractions) for the 24 groups with two
/// origin choices; nothing for other numbers.
std::optional<std::array<float, 3>> originChoiceShift(int number);

/// Moves every input site by the origin-choice shift of the number (with the message
/// "Atom coordinates will be changed for origin on center"); false when the number has none.
bool applyOriginChoiceShift(CrystalDocument& doc, int number, UserInterface& ui);

/// Assigns the symmorphic primitive group of the crystal's `pointGroupIndex` (1..32).
/// Shows "Point-group assignment failed" on failure; true on success.
bool AssignPointGroup(CrystalRecord& crystal, UserInterface& ui);

/// The monoclinic cell check of an assignment: counts the non-right angles, moves a
/// single one onto the group's unique axis (0 x, 1 y, 2 z) and shows the notes.
void checkMonoclinicCell(CrystalRecord& crystal, int groupUniqueAxis, UserInterface& ui);

}  // namespace tessera
