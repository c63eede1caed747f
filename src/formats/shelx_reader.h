#pragma once
// The SHELX instruction-file reader (import kind 2).

namespace tessera {

class ImportContext;

/// Reads a SHELX .ins/.res file (with its include files) into the context's document; true when finished.
bool ReadShelx(ImportContext& context);

}  // namespace tessera
