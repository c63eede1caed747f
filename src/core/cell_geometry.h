#pragma once
// Unit-cell geometry shared by several subsystems: volume, metric tensors,
// the Cartesian frame of the cell, and the axes type derived from a cell.

#include <array>

#include "core/crystal_document.h"

namespace tessera {

using Cell = std::array<float, 6>;  ///< a, b, c (Angstrom); alpha, beta, gamma (radians)
using Mat3 = std::array<std::array<double, 3>, 3>;
using Vec3 = std::array<double, 3>;

/// Volume (A^3) of a cell given in radians; 0 for a degenerate cell.
double cellVolume(const Cell& cell);

/// Direct metric tensor G_ij = a_i . a_j (A^2).
Mat3 directMetric(const Cell& cell);

/// Inverse of a 3x3 matrix; false when singular (|det| < 1e-12).
bool invert3(const Mat3& m, Mat3& inverse, double* determinant = nullptr);

/// Cartesian rows of the axes with c along z and b in the y-z plane (rows a, b, c).
Mat3 cartesianAxes(const Cell& cell);

/// Sets axesType, rhombohedralAxes and uniqueAxis from the cell (angles in radians,
/// or in degrees when alpha >= 7).
void deriveAxesType(CrystalRecord& crystal);

}  // namespace tessera
