#pragma once
// The PDB-style coordinate reader (import kind 11): Cartesian atom positions in
// a unit cubic cell with P1 symmetry.

#include <string>
#include <string_view>

namespace tessera {

class ImportContext;

/// Reads the ATOM and HETATM records of a PDB-style file; true when finished.
bool ReadPdb(ImportContext& context);

/// The element symbol of an atom record: columns 77-78 when they hold an element, else
/// from the atom name's alignment in columns 13-16; empty when neither names one.
std::string pdbElement(std::string_view record);

}  // namespace tessera
