#pragma once
// Custom operator lines named on the command line for the New crystal.

#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Writes custom operator lines (the whole list, primitive lattice, acentric) into
/// `crystal` with symmetry source 4. False (message shown) when a line does not parse.
bool setNewCustomSymmetry(CrystalRecord& crystal, const std::vector<std::string>& lines, UserInterface& ui);

}  // namespace tessera
