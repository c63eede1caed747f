#pragma once
// Checks the import finish makes so that whatever an import accepts can be saved as
// a native file and opened again: texts without control characters, a cell and
// operator lines within what the records hold, and symbols the table can read.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "formats/import_framework.h"

namespace tessera {

/// Longest operator line kept as the file wrote it; longer ones are rewritten in the
/// canonical form (a record holds 254 characters).
inline constexpr std::size_t kMaxImportedOperatorText = 64;

/// True when a cell read from a file (a, b, c in Angstrom, angles in degrees) has positive
/// edges, angles between 0 and 180 degrees and a positive volume: anything else would
/// divide by zero in the calculations that follow.
bool usableImportCell(const std::array<float, 6>& cellDegrees);

/// Replaces control characters in the result's texts and in the title; sets
/// context.controlCharacters when there were any.
void cleanImportedTexts(ImportContext& context, ImportResult& result);

/// False (with a message) when the result's cell holds a value that is not a number, an
/// edge that is not positive or above 1e4 Angstrom, or an angle outside 0..180 degrees.
bool importedCellInRange(const ImportResult& result, UserInterface& ui);

/// Drops a symmetry line that repeats an earlier operator; a line that is long or holds
/// control characters is rewritten in the canonical x,y,z form, or dropped with a message
/// when it cannot be read; others stay as they are.
void normaliseOperatorLines(CrystalRecord& crystal, UserInterface& ui);

/// True when the table knows the H-M symbol (volume "A" conventions).
bool knownHmSymbol(std::string_view hmSymbol);

/// The table's spelling of an H-M symbol the table does not know as written: old cubic
/// spellings without the bar ("Fm3m" is "Fm-3m"). nullopt when the symbol is known or
/// no spelling is found.
std::optional<std::string> tableSpellingOf(std::string_view hmSymbol);

/// The Hall symbol of a triclinic H-M symbol with any lattice letter ("A -1" gives
/// "-A 1", "I1" gives "I 1"); nullopt for anything else.
std::optional<std::string> triclinicHallSymbol(std::string_view hmSymbol);

/// True when an H-M symbol ends in the ":R" setting suffix (rhombohedral axes).
bool namesRhombohedralAxes(std::string_view hmSymbol);

}  // namespace tessera
