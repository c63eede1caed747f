#pragma once
// The CCDC FDAT reader (import kind 1): one entry of a Cambridge Structural
// Database FDAT file, read through fixed-column record layouts.

#include <string_view>

namespace tessera {

class ImportContext;

/// Reads one entry of an FDAT file into the context's document; true when finished.
bool ReadCcdcFdat(ImportContext& context);

/// The axes type of an FDAT crystal-system code (1..7) and symbol; sets rhombohedral to
/// true for a trigonal symbol ending in "r" or "R" (rhombohedral axes).
int fdatAxesType(int systemCode, std::string_view symbol, bool& rhombohedral);

/// Monoclinic unique axis of a blank-free symbol: 0 b, 1 a, 2 c.
int fdatUniqueAxis(std::string_view symbol);

}  // namespace tessera
