#pragma once
// The keyword file (".osl") of the sibling lattice-vibration program: title,
// space-group symbols, operators, cell, lattice and atoms; other records skipped.

namespace tessera {

class ImportContext;

/// Import kind 17: reads an OSCILLA file into the context's document; true when finished.
bool ReadOscilla(ImportContext& context);

}  // namespace tessera
