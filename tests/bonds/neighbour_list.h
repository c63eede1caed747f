#pragma once
// Neighbour distances computed without the bond code: every atom of the unit cell
// from the unit-cell builder, Cartesian positions in double precision, and every
// cell translation in a generous box.

#include <array>
#include <vector>

#include "core/crystal_document.h"

namespace tessera::test {

/// Sorted distances (A) from site `central` to every atom within `limit`, the atom itself excluded.
std::vector<double> neighbourDistances(CrystalRecord& crystal, const std::vector<Site>& sites, int central, double limit);

/// The distance (A) between fractional positions p and q as they stand.
double directDistance(const CrystalRecord& crystal, const std::array<float, 3>& p, const std::array<float, 3>& q);

}  // namespace tessera::test
