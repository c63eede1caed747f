#include "core/cell_geometry.h"

#include <cmath>

namespace tessera {

double cellVolume(const Cell& cell) {
  const double ca = std::cos(cell[3]), cb = std::cos(cell[4]), cg = std::cos(cell[5]);
  const double w = 1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg;
  if (!(w > 0.0)) return 0.0;
  return static_cast<double>(cell[0]) * cell[1] * cell[2] * std::sqrt(w);
}

Mat3 directMetric(const Cell& cell) {
  const double a = cell[0], b = cell[1], c = cell[2];
  const double ca = std::cos(cell[3]), cb = std::cos(cell[4]), cg = std::cos(cell[5]);
  Mat3 g{};
  g[0] = {a * a, a * b * cg, a * c * cb};
  g[1] = {a * b * cg, b * b, b * c * ca};
  g[2] = {a * c * cb, b * c * ca, c * c};
  return g;
}

bool invert3(const Mat3& m, Mat3& inv, double* determinant) {
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  if (determinant) *determinant = det;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
  inv[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
  inv[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
  inv[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
  inv[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
  inv[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
  inv[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
  inv[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
  inv[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
  inv[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
  return true;
}

Mat3 cartesianAxes(const Cell& cell) {
  const double a = cell[0], b = cell[1], c = cell[2];
  const double ca = std::cos(cell[3]), cb = std::cos(cell[4]), cg = std::cos(cell[5]);
  const double sa = std::sin(cell[3]);
  const double w = std::sqrt(std::fmax(0.0, 1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg));
  Mat3 axes{};
  axes[0] = {a * w / sa, a * (cg - ca * cb) / sa, a * cb};
  axes[1] = {0.0, b * sa, b * ca};
  axes[2] = {0.0, 0.0, c};
  return axes;
}

void deriveAxesType(CrystalRecord& crystal) {
  constexpr double tol = 0.0001;
  const Cell& cell = crystal.cell;
  // A stored alpha of 7 or more is in degrees (an import before its conversion).
  const bool degrees = cell[3] >= 7.0f;
  const double right = degrees ? 90.0 : 90.0 * kDegToRad;
  const double hex = degrees ? 120.0 : 120.0 * kDegToRad;
  auto same = [&](double u, double v) { return std::fabs(u - v) <= tol; };
  const double alpha = cell[3], beta = cell[4], gamma = cell[5];

  crystal.axesType = 1;
  crystal.rhombohedralAxes = 0;
  if (beta == alpha && gamma == beta) {
    if (!same(alpha, right)) {
      crystal.axesType = 4;
      crystal.rhombohedralAxes = 1;
    } else if (!same(cell[0], cell[1])) {
      crystal.axesType = 3;
    } else if (!same(cell[2], cell[1])) {
      crystal.axesType = 5;
    } else if (!same(cell[0], 1.0)) {
      crystal.axesType = 7;
    } else {
      crystal.axesType = 8;
    }
    return;
  }
  if (same(alpha, right) && same(beta, right) && same(gamma, hex) && same(cell[0], cell[1])) {
    crystal.axesType = 6;
    return;
  }
  if (same(alpha, right) && same(gamma, right)) {
    crystal.axesType = 2;
    crystal.uniqueAxis = 0;
  } else if (same(beta, right) && same(gamma, right)) {
    crystal.axesType = 2;
    crystal.uniqueAxis = 1;
  } else if (same(alpha, right) && same(beta, right)) {
    crystal.axesType = 2;
    crystal.uniqueAxis = 2;
  }
}

}  // namespace tessera
