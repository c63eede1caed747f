#include "transform/transform_parameters.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessera {

namespace {

// Single-precision thirds as the matrix table holds them.
constexpr float kThird = 0.333333f;
constexpr float kTwoThirds = 0.6666667f;

}  // namespace

const std::array<StandardMatrix, kStandardMatrixCount>& standardMatrices() {
  static const std::array<StandardMatrix, kStandardMatrixCount> table = {{
      {"Unit matrix", "Unit matrix    ", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
      {"Rhomb -> Hex", "Rhomb -> Hex   ", {{{1, -1, 0}, {0, 1, -1}, {1, 1, 1}}}},
      {"Hex -> Rhomb", "Hex -> Rhomb   ",
       {{{kTwoThirds, kThird, kThird}, {-kThird, kThird, kThird}, {-kThird, -kTwoThirds, kThird}}}},
      {"M - 1st ->2nd", "M - 1st -> 2nd ", {{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}}},
      {"M - 2nd ->1st", "M - 2nd -> 1st ", {{{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}}},
      {"C -> I / I -> C", "C -> I / I -> C", {{{1, 0, 1}, {0, 1, 0}, {0, 0, 1}}}},
      {"A -> I / I -> A", "A -> I / I-> A ", {{{-1, 0, 0}, {0, -1, 0}, {1, 0, 1}}}},
      {"F -> P", "F -> P         ", {{{0, 0.5f, 0.5f}, {0.5f, 0, 0.5f}, {0.5f, 0.5f, 0}}}},
      {"I -> P", "I -> P         ", {{{-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}}}},
      {"A -> P", "A -> P         ", {{{1, 0, 0}, {0, 0.5f, 0.5f}, {0, -0.5f, 0.5f}}}},
      {"B -> P", "B -> P         ", {{{0.5f, 0, 0.5f}, {0, 1, 0}, {-0.5f, 0, 0.5f}}}},
      {"C -> P", "C -> P         ", {{{0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}, {0, 0, 1}}}},
      {"abc -> ac-b", "abc -> ac-b", {{{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}}},
      {"abc -> bca", "abc -> bca", {{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}}},
      {"abc -> ba-c", "abc -> ba-c", {{{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}}},
      {"abc -> cab", "abc -> cab", {{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}}},
      {"abc -> cb-c", "abc -> cb-c", {{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}}},
  }};
  return table;
}

std::optional<int> findStandardMatrix(const std::string& text) {
  const auto& table = standardMatrices();
  for (int i = 0; i < kStandardMatrixCount; ++i)
    if (text == table[static_cast<std::size_t>(i)].listText) return i;
  return std::nullopt;
}

Matrix3f unitMatrix() { return standardMatrices()[0].matrix; }

float reduceIntoCellSlow(float u) {
  // Removing whole cells at once is exact (the result is a multiple of the input's
  // ulp with a smaller magnitude), so it equals the one-at-a-time loops; it also
  // ends for magnitudes where adding 1 no longer changes the value.
  if (u < -1.0f) u += std::floor(-u);
  else if (u >= 2.0f) u -= std::floor(u) - 1.0f;
  while (u < kCellLow) u += 1.0f;
  while (u >= kCellHigh) u -= 1.0f;
  return u;
}

MatrixInverse invertTransformMatrix(const Matrix3f& matrix) {
  MatrixInverse result;
  double a[3][6];
  double largest = 0.0;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      a[i][j] = matrix[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
      a[i][j + 3] = (i == j) ? 1.0 : 0.0;
      if (!std::isfinite(a[i][j])) return result;
      largest = std::fmax(largest, std::fabs(a[i][j]));
    }
  }
  if (largest == 0.0) return result;
  double det = 1.0;
  for (int col = 0; col < 3; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 3; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    // Relative to the entries, so a scaled matrix is judged like the unscaled one.
    if (std::fabs(a[pivot][col]) <= 1e-7 * largest) {
      result.determinant = 0.0;
      return result;
    }
    if (pivot != col) {
      for (int j = 0; j < 6; ++j) std::swap(a[pivot][j], a[col][j]);
      det = -det;
    }
    const double p = a[col][col];
    det *= p;
    for (int j = 0; j < 6; ++j) a[col][j] /= p;
    for (int r = 0; r < 3; ++r) {
      if (r == col) continue;
      const double f = a[r][col];
      for (int j = 0; j < 6; ++j) a[r][j] -= f * a[col][j];
    }
  }
  result.determinant = det;
  if (!std::isfinite(det)) return result;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      result.inverse[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = static_cast<float>(a[i][j + 3]);
  result.singular = false;
  return result;
}

Cell newCellParameters(const Cell& oldCell, const Matrix3f& matrix) {
  const Mat3 axes = cartesianAxes(oldCell);
  Mat3 n{};
  for (int i = 0; i < 3; ++i)
    for (int c = 0; c < 3; ++c) {
      double s = 0.0;
      for (int k = 0; k < 3; ++k) s += matrix[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] * axes[k][c];
      n[i][c] = s;
    }
  auto dot = [&](int i, int j) { return n[i][0] * n[j][0] + n[i][1] * n[j][1] + n[i][2] * n[j][2]; };
  Cell cell{};
  for (int i = 0; i < 3; ++i) cell[static_cast<std::size_t>(i)] = static_cast<float>(std::sqrt(dot(i, i)));
  auto angle = [&](int i, int j) {
    const double c = dot(i, j) / std::sqrt(dot(i, i) * dot(j, j));
    return static_cast<float>(std::acos(std::fmax(-1.0, std::fmin(1.0, c))));
  };
  cell[3] = angle(1, 2);
  cell[4] = angle(0, 2);
  cell[5] = angle(0, 1);
  return cell;
}

void deriveNewAxesType(CrystalRecord& crystal) {
  constexpr float kSameAngle = 1e-5f;
  CrystalRecord probe;
  probe.cell = crystal.cell;
  probe.uniqueAxis = crystal.uniqueAxis;
  Cell& c = probe.cell;
  // The matrix entries (0.333333, 0.6666667) leave equal angles a few units of the last place apart.
  if (std::fabs(c[3] - c[4]) <= kSameAngle && std::fabs(c[4] - c[5]) <= kSameAngle) c[4] = c[5] = c[3];
  deriveAxesType(probe);
  crystal.axesType = probe.axesType;
  crystal.rhombohedralAxes = probe.rhombohedralAxes;
  crystal.uniqueAxis = probe.uniqueAxis;
}

Cell completeZeroCellValues(const Cell& cell) {
  Cell c = cell;
  for (int k = 0; k < 3; ++k)
    if (c[static_cast<std::size_t>(k)] == 0.0f) c[static_cast<std::size_t>(k)] = 1.0f;
  for (int k = 3; k < 6; ++k)
    if (c[static_cast<std::size_t>(k)] == 0.0f) c[static_cast<std::size_t>(k)] = kRightAngle;
  return c;
}

bool isUsableCell(const Cell& cell) {
  for (int k = 0; k < 3; ++k) {
    const float e = cell[static_cast<std::size_t>(k)];
    if (!std::isfinite(e) || !(e > 0.0f)) return false;
  }
  for (int k = 3; k < 6; ++k) {
    const float a = cell[static_cast<std::size_t>(k)];
    if (!std::isfinite(a) || !(a > 0.0f) || !(a < 3.14159265f)) return false;
  }
  return cellVolume(cell) > 0.0;
}

Vector3f transformPosition(const Vector3f& x, const Matrix3f& q, const Vector3f& pre, const Vector3f& post) {
  const float s0 = x[0] + pre[0], s1 = x[1] + pre[1], s2 = x[2] + pre[2];
  Vector3f out{};
  for (std::size_t k = 0; k < 3; ++k) out[k] = q[0][k] * s0 + q[1][k] * s1 + q[2][k] * s2 + post[k];
  return out;
}

float reportVolume(const Cell& cell) { return static_cast<float>(cellVolume(cell)); }

int latticeSearchRange(const Matrix3f& matrix) {
  int n = 1;
  for (const auto& row : matrix)
    for (float m : row) {
      const double v = std::fabs(static_cast<double>(m)) + 0.501;
      if (v < 1e6) n = std::max(n, static_cast<int>(v));
      else n = 1000000;
    }
  return n;
}

}  // namespace tessera
