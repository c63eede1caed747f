#pragma once
// The old-lattice images of an entry of the new-cell list: y = e + i q1 + j q2 + k q3
// reduced into the cell, for i, j, k from -n to n (i slowest), with the bucket each
// falls in. Images are made in batches, several at a time, ahead of their placing.

#include <array>
#include <cstddef>
#include <vector>

#include "transform/fractional_grid.h"
#include "transform/transform_parameters.h"

namespace tessera {

/// The offsets i q1 + j q2 + k q3, numbered with i slowest and k fastest, in batches.
class LatticeOffsets {
 public:
  /// Offsets per batch.
  static constexpr std::size_t kBatch = 2048;

  /// The offsets for range n (fractions of the new cell); q's rows are q1, q2, q3.
  LatticeOffsets(const Matrix3f& q, int n);

  std::size_t size() const { return rows_.size() * span_; }
  std::size_t batchCount() const { return (size() + kBatch - 1) / kBatch; }

  /// Offsets of batch b as coordinate arrays (`count` of them): into the kept table,
  /// or written to `scratch` when the table would be too large.
  std::array<const float*, 3> batch(std::size_t b, std::size_t& count, std::array<std::vector<float>, 3>& scratch) const;

  /// Offset number `index` (i slowest, k fastest), the value the batches hold.
  Vector3f offset(std::size_t index) const;

  /// Smallest and largest offset along each axis within batch b.
  const std::array<float, 6>& range(std::size_t b) const { return ranges_[b]; }

 private:
  void fill(std::size_t first, std::size_t count, float* x, float* y, float* z) const;

  std::size_t span_;
  std::vector<Vector3f> rows_;   ///< i q1 + j q2 for (i, j) in order
  std::vector<Vector3f> third_;  ///< k q3 for k = -n .. n
  std::array<std::vector<float>, 3> table_;  ///< every offset, when not too many
  std::vector<std::array<float, 6>> ranges_;  ///< per batch: low x, y, z, high x, y, z
};

/// One batch of images of one entry.
struct ImageBatch {
  std::vector<float> x, y, z;  ///< image positions, reduced into the cell
  std::vector<int> buckets;    ///< their buckets in the grid
  std::size_t count = 0;

  ImageBatch();

  /// The images of e (fractions) for batch b of the offsets, with their buckets in `grid`.
  void compute(const Vector3f& e, const LatticeOffsets& lattice, std::size_t b, const FractionalGrid& grid);

 private:
  std::array<std::vector<float>, 3> scratch_;
};

}  // namespace tessera
