#pragma once
// The New crystal's symmetry named on the command line: a group from the table or
// a Hall symbol written into the crystal as listed operator lines, or custom
// lines. Stands in for the document's space-group assignment in tessera-cli.

#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// How the group is named.
enum class NewSymmetryKind { HermannMauguin, Hall, Number };

/// Builds the group (table lookup with volume A conventions, or a Hall symbol) and writes
/// its lines, lattice, centric flags and symbols into `crystal` with symmetry source 1.
/// False (the engine's message shown, crystal unchanged) when the group cannot be built.
bool setNewSymmetryFromGroup(CrystalRecord& crystal, NewSymmetryKind kind, const std::string& text,
                             UserInterface& ui);

/// Writes custom operator lines (the whole list, primitive lattice, acentric) into
/// `crystal` with symmetry source 4. False (message shown) when a line does not parse.
bool setNewCustomSymmetry(CrystalRecord& crystal, const std::vector<std::string>& lines, UserInterface& ui);

}  // namespace tessera
