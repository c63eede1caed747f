#pragma once
// Writing a Hall symbol for the generators of a completed SgInfo.

#include <array>
#include <string>

#include "symmetry/sg_info.h"

namespace tessera {

/// Writes the Hall symbol of the record's generators at the origin shift s (twelfths) into
/// out: 1 written, 0 when this shift cannot be written, -1 on error (text pending).
int BuildHSym(SgInfo& sg, const std::array<int, 3>& shift, std::string& out);

/// Builds sg.HallSymbol: at the record's own origin shift when it was built from a Hall
/// symbol, else by the origin-shift search (the shift found becomes sg.originShift); 0 or -1.
int BuildHallSymbolOfGroup(SgInfo& sg);

}  // namespace tessera
