#pragma once
// The free-form format (".inp"): keyword header lines, then one line per atom
// whose columns a FIELDS line declares, with optional temperature-factor and
// vector lines and the drawing attributes of the sibling drawing program.

namespace tessera {

class ImportContext;
class ExportContext;

/// Import kind 0: reads a free-form file into the context's document; true when finished.
bool ReadFreeForm(ImportContext& context);

/// The free-form export of the context's crystal; true when the file was written.
bool ExportFreeForm(ExportContext& context);

}  // namespace tessera
