#pragma once
// The Hall-symbol parser: reads the lattice, the generators and an origin shift
// into an SgInfo (the record is completed afterwards by CompleteSgInfo).

#include <string_view>

#include "symmetry/sg_info.h"

namespace tessera {

/// Parses a Hall symbol (" P 2yb", "-I 4bd 2c 3", "P 61 2 (0 0 -1)") into the record: the
/// lattice (also written to sg.crystal when set), the generators and the origin shift.
/// 0 on success, -1 with the error text pending.
int ParseHallSymbol(std::string_view hallSymbol, SgInfo& sg);

}  // namespace tessera
