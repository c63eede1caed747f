#pragma once
// Checks readers make on what a file gives before it reaches the import finish.

#include <array>

namespace tessera {

/// True when a cell read from a file (a, b, c in Angstrom, angles in degrees) has positive
/// edges, angles between 0 and 180 degrees and a positive volume: anything else would
/// divide by zero in the calculations that follow.
bool usableImportCell(const std::array<float, 6>& cellDegrees);

}  // namespace tessera
