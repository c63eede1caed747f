#pragma once
// The DBWS and LHPM control files: fixed-column numbered lines. A skeleton file
// ("dummy file") is written for either program; a complete file of either is
// read for its title, phases, symbol, atoms and cell.

namespace tessera {

class ImportContext;
class ExportContext;

/// Import kinds 4 and 5: reads one phase of a DBWS or LHPM control file; true when finished.
bool ReadDbws(ImportContext& context);
bool ReadLhpm(ImportContext& context);

/// The DBWS and LHPM exports of the context's crystal; true when the file was written.
bool ExportDbws(ExportContext& context);
bool ExportLhpm(ExportContext& context);

}  // namespace tessera
