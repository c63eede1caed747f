#pragma once
// The GSAS experiment file (".exp"): 80-column records keyed by text, one phase
// ("CRS1") written; the phase read back, chosen when the file holds several.

#include "core/cell_geometry.h"

namespace tessera {

class ImportContext;
class ExportContext;

/// Import kind 13: reads one phase of an experiment file; true when finished.
bool ReadGsas(ImportContext& context);

/// The GSAS export of the context's crystal; true when the file was written.
bool ExportGsas(ExportContext& context);

/// Rows a, b, c of the orthogonal axes of magnetic moments (x along a, y in the ab
/// plane; Angstrom) of a cell in radians.
Mat3 momentAxes(const Cell& cell);

}  // namespace tessera
