#pragma once
// The SHELX instruction-file writer (export "SHELX").

namespace tessera {

class ExportContext;

/// Writes the context's crystal as a minimal SHELX .ins file; true when the file was written.
bool ExportShelx(ExportContext& context);

}  // namespace tessera
