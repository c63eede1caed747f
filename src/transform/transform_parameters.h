#pragma once
// The quantities every transformation mode shares: the standard matrices, the
// inverse matrix, the new cell, the coordinate rule and the reduction of a
// fractional coordinate into the cell.

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>

#include "core/cell_geometry.h"
#include "core/crystal_document.h"

namespace tessera {

using Matrix3f = std::array<std::array<float, 3>, 3>;
using Vector3f = std::array<float, 3>;

/// One entry of the "Standard Matrices:" list.
struct StandardMatrix {
  const char* listText;      ///< text shown in the list
  const char* questionName;  ///< name put into the replace question
  Matrix3f matrix;           ///< rows: a(new), b(new), c(new) in old axes
};

/// Number of standard matrices.
constexpr int kStandardMatrixCount = 17;

/// The seventeen standard matrices in list order.
const std::array<StandardMatrix, kStandardMatrixCount>& standardMatrices();

/// Index (0-based) of the standard matrix whose list text is `text`; nullopt when none.
std::optional<int> findStandardMatrix(const std::string& text);

/// The unit matrix.
Matrix3f unitMatrix();

/// Fractional cell bounds: a coordinate lies in the cell when kCellLow < u < kCellHigh.
constexpr float kCellLow = -0.00001f;
constexpr float kCellHigh = 0.99999f;

/// reduceIntoCell for a value outside [-0.00001, 0.99999).
float reduceIntoCellSlow(float u);

/// u - step when `condition` holds, else u itself (u - (+0) keeps the sign of a zero).
inline float subtractIf(float u, bool condition, float step) {
  const std::uint32_t mask = 0u - static_cast<std::uint32_t>(condition);
  return u - std::bit_cast<float>(std::bit_cast<std::uint32_t>(step) & mask);
}

/// reduceIntoCell for u in [-1, 2), where the first loop runs at most once and the
/// second at most twice; written without branches, which the processor would
/// mispredict on scattered positions.
inline float reduceNearCell(float u) {
  u = subtractIf(u, u < kCellLow, -1.0f);
  u = subtractIf(u, u >= kCellHigh, 1.0f);
  return subtractIf(u, u >= kCellHigh, 1.0f);
}

/// Reduces a fractional coordinate into the cell: while u < -0.00001 add 1, then while
/// u >= 0.99999 subtract 1 (single precision). Whole cells are removed in one step
/// first, which gives the same value and ends for any input.
inline float reduceIntoCell(float u) {
  if (!(u >= -1.0f && u < 2.0f)) return reduceIntoCellSlow(u);
  return reduceNearCell(u);
}

/// True when -0.00001 < u < 0.99999.
inline bool inCell(float u) { return kCellLow < u && u < kCellHigh; }

/// The inverse matrix Q with the determinant of the matrix.
struct MatrixInverse {
  Matrix3f inverse{};          ///< Q = matrix^-1 (valid only when `singular` is false)
  double determinant = 0.0;    ///< determinant of the matrix
  bool singular = true;        ///< no inverse exists (determinant zero or not a number)
};

/// Q = matrix^-1 by Gauss-Jordan elimination with partial pivoting on a copy.
MatrixInverse invertTransformMatrix(const Matrix3f& matrix);

/// Message shown when the matrix has no inverse.
inline constexpr const char* kSingularMatrixMessage = "Transformation matrix is singular - determinant is zero";

/// Message shown when the old cell cannot be transformed (modes 1 and 2).
inline constexpr const char* kUnusableCellMessage =
    "The old unit cell is not valid - edges must be positive and angles between 0 and 180 degrees";

/// The new cell (edges in Angstrom, angles in radians) of `oldCell` under `matrix`.
Cell newCellParameters(const Cell& oldCell, const Matrix3f& matrix);

/// Sets the axes type of a cell the matrix produced (axesType, rhombohedralAxes, uniqueAxis)
/// as the native reader derives it, with angles equal within single-precision rounding
/// (1e-5 radian) counted as equal: "Hex -> Rhomb" gives rhombohedral axes.
void deriveNewAxesType(CrystalRecord& crystal);

/// The cell with a zero edge taken as 1.0 and a zero angle as a right angle.
Cell completeZeroCellValues(const Cell& cell);

/// True when the cell has finite positive edges, angles strictly between 0 and 180
/// degrees and a positive volume.
bool isUsableCell(const Cell& cell);

/// x' = Q^T (x + preMatrixShift) + postMatrixShift, not yet reduced (fractions).
Vector3f transformPosition(const Vector3f& x, const Matrix3f& q, const Vector3f& preMatrixShift,
                           const Vector3f& postMatrixShift);

/// Cell volume (A^3) in single precision as the report prints it.
float reportVolume(const Cell& cell);

/// Search range n of the old-lattice step: max(1, int(|m_ij| + 0.501)).
int latticeSearchRange(const Matrix3f& matrix);

}  // namespace tessera
