#pragma once
// The fixed-column input of the thermal-ellipsoid plotting program: a title
// card, a cell card, symmetry cards and two cards per atom (position, then the
// temperature factor with its ORTEP type).

namespace tessera {

class ImportContext;
class ExportContext;

/// Import kind 8: reads an ORTEP file into the context's document; true when finished.
bool ReadOrtep(ImportContext& context);

/// The ORTEP export of the context's crystal; true when the file was written.
bool ExportOrtep(ExportContext& context);

}  // namespace tessera
