#pragma once
// Building a complete space-group record from a Hall symbol or from a table
// symbol, and reading it back as symmetry lines.

#include <string>
#include <string_view>
#include <vector>

#include "symmetry/sg_info.h"

namespace tessera {

/// Text when a symbol or number names no table row.
inline constexpr const char* kSymbolNotFound = "Space-group symbol not found in Int. Tables list";

/// Resets the record and builds the group of a Hall symbol (parse, then CompleteSgInfo);
/// 0 or -1 with sg.error set. Side effects on sg.crystal when set.
int BuildSgInfoFromHall(std::string_view hallSymbol, SgInfo& sg);

/// Resets the record, looks the H-M symbol or number-with-extension up under volume 'A' or
/// 'I' and builds the row's group with the row remembered; 0 or -1 with sg.error set.
int BuildSgInfoFromSymbol(std::string_view symbol, char volume, SgInfo& sg);

/// The listed operators as symmetry lines: RTMx2XYZ with the system's arguments followed by
/// "; " (pass withTerminator false for the bare text). Empty when an entry is not a rotation.
std::vector<std::string> listedOperatorLines(const SgInfo& sg, bool withTerminator = true);

/// True when every listed operator passes the rotation check.
bool listIsValid(const SgInfo& sg);

}  // namespace tessera
