#pragma once
// Identification of a crystal's space group from its symmetry lines.

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Identifies the space group of the crystal's symmetry lines (with its acentric,
/// inversionOffOrigin and latticeCode flags), reports what it noticed through ui, writes
/// hallSymbol, hmSymbol, sgNumber, sgNumberText and the lattice and inversion flags, and may
/// rewrite the lines in standard form; 1 on success, 0 on failure.
int IdentifySpaceGroup(CrystalRecord& crystal, UserInterface& ui);

/// Lattice letter of a latticeCode (1 P, 2 A, 3 B, 4 C, 5 F, 6 I, 7 R, 8 S, 9 T); 'P' otherwise.
char latticeLetterOfCode(int latticeCode);

}  // namespace tessera
