#pragma once
// The structure part of a RIETAN input file (".xyz"): title, atoms with
// occupancies relative to the general position, the cell with the cosines of its
// angles, and every symmetry operation written out in a coded form.

namespace tessera {

class ImportContext;
class ExportContext;

/// Import kind 12: reads a file as the RIETAN writer makes it; true when finished.
bool ReadRietan(ImportContext& context);

/// The RIETAN export of the context's crystal; true when the file was written.
bool ExportRietan(ExportContext& context);

}  // namespace tessera
