#pragma once
// The American Mineralogist structure database reader (import kind 14).

#include <string>
#include <string_view>
#include <vector>

namespace tessera {

class ImportContext;

/// Reads one entry of an American Mineralogist database file; true when finished.
bool ReadAmMineral(ImportContext& context);

/// The fields of an atom line under a header: per header word, the first blank-separated
/// token of the line (not yet taken) that starts in or overlaps the column of that word,
/// the column running from the word's start to the next word's start. Empty when none.
std::vector<std::string> amColumnFields(std::string_view header, std::string_view line);

}  // namespace tessera
