#pragma once
// The universal structure file (".str") of the sibling drawing program: the
// keyword form (first line "ORUNIV2") and the older numeric form. Besides the
// crystal it carries the drawing attributes of each site, which the free-form
// export writes back.

#include <string>

namespace tessera {

class ImportContext;
class LineReader;
struct ImportResult;

/// Import kind 10: reads an ORBIS file into the context's document; true when finished.
bool ReadOrbis(ImportContext& context);

/// The numeric form after its first line; false when the import fails (message shown).
bool readOrbisNumeric(ImportContext& context, LineReader& lines, ImportResult& result);

/// The keyword form after its first line; false when the import fails (message shown).
bool readOrbisKeywords(ImportContext& context, LineReader& lines, ImportResult& result);

}  // namespace tessera
