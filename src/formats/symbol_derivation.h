#pragma once
// The two ways imports and exports give a crystal its space-group symbols:
// identification from the symmetry lines and assignment from a symbol.

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Identifies the space group of the crystal's symmetry lines and writes its symbols; true on success.
bool deriveSymbolsFromOperators(CrystalRecord& crystal, UserInterface& ui);

/// Assigns the space group named by the crystal's own symbol of that kind (0 H-M,
/// 1 Hall, 2 number); "Space-group assignment failed" and false on failure.
bool assignImportedSymbol(CrystalRecord& crystal, int kind, UserInterface& ui);

}  // namespace tessera
