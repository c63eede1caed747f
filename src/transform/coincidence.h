#pragma once
// The coincidence rule of the full-unit-cell mode: two positions coincide when,
// along each axis, their distance counted around the cell is within the
// tolerance. The arriving position is compared through a copy moved by one cell
// towards the entry where the distance went round the cell; that copy is what an
// average takes.

#include <cmath>

#include "transform/transform_parameters.h"

namespace tessera {

/// True when x coincides with e within t (fractions per axis); `shifted` receives x
/// moved one cell towards e along each axis where the distance exceeds one half.
inline bool coincides(const Vector3f& x, const Vector3f& e, const Vector3f& t, Vector3f& shifted) {
  // All three axes are tested before deciding: one branch on the outcome instead of
  // one per axis, whose outcome varies from candidate to candidate.
  bool all = true;
  for (std::size_t k = 0; k < 3; ++k) {
    float d = std::fabs(x[k] - e[k]);
    shifted[k] = x[k];
    if (d > 0.5f) {
      d = 1.0f - d;
      shifted[k] = x[k] <= 0.5f ? x[k] + 1.0f : x[k] - 1.0f;
    }
    all &= d <= t[k];
  }
  return all;
}

/// reduceIntoCell for a value that is nearly always inside the cell already, as an
/// average of positions in the cell is: the branch is then always taken the same way.
inline float keepInCell(float u) { return (u >= kCellLow && u < kCellHigh) ? u : reduceIntoCell(u); }

/// One coordinate of the running average (n e + x) / (n + 1), worked in double so that
/// n e + x is exact: an image equal to its entry leaves it in place whatever the count,
/// where float arithmetic would let an entry of many images drift away from them.
inline float averageCoordinate(float e, int n, float x) {
  return static_cast<float>((static_cast<double>(n) * e + x) / (n + 1.0));
}

/// The running average (n e + x) / (n + 1) of each coordinate, reduced into the cell.
inline Vector3f runningAverage(const Vector3f& e, int n, const Vector3f& x) {
  return {keepInCell(averageCoordinate(e[0], n, x[0])), keepInCell(averageCoordinate(e[1], n, x[1])),
          keepInCell(averageCoordinate(e[2], n, x[2]))};
}

}  // namespace tessera
