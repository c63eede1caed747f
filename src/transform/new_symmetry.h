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

/// True when the New crystal still carries the Old crystal's symmetry (lines, lattice,
/// centre) although the transformation turns those operators into others in the new
/// axes: its symmetry was never set for the new cell.
bool newSymmetryUnset(const CrystalDocument& doc);

/// The warning shown before transformed data with such a symmetry are exported.
inline constexpr const char* kNewSymmetryUnsetWarning =
    "The New crystal still has the Old crystal's symmetry, which does not fit the new axes: set the New "
    "symmetry with the Symmetry button of Transform first. Export anyway?";

}  // namespace tessera
