#pragma once
// The rotation table of the engine and the analysis of an integer rotation.

#include <array>

#include "symmetry/sg_info.h"

namespace tessera {

/// Analyses a rotation (row-major, fractional frame); the returned order is 0 when it is
/// not a crystallographic rotation of the table.
RotMxInfo GetRotMxInfo(const std::array<int, 9>& rotation);

/// The generator rotation for an order, direction code and axis ('x', 'y', 'z'; the code
/// '*' and order 1 need none); false when the table has no such rotation.
bool generatorRotation(int order, char dirCode, char axis, std::array<int, 9>& out);

/// True when the rotation is the identity / the inversion.
bool isIdentityRotation(const std::array<int, 9>& r);
bool isInversionRotation(const std::array<int, 9>& r);

/// Determinant of an integer 3x3 matrix.
int determinant(const std::array<int, 9>& r);

}  // namespace tessera
