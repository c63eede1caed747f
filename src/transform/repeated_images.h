#pragma once
// The old-lattice images of one entry grouped by value. When the inverse matrix is
// diagonal, each coordinate of an image depends on one lattice index only, so an
// entry's (2n + 1)^3 images take few distinct values, each many times over. Where
// every distinct image lands exactly on the position of its first coincident entry
// and the running average provably gives that position back bit for bit (the sums
// involved are exact in single precision), the images change nothing but the
// entries' counts: each distinct image is then applied once with its repeat count.
// Anywhere else the caller replays the images one by one.

#include <array>
#include <vector>

#include "transform/indexed_list.h"
#include "transform/transform_parameters.h"

namespace tessera {

class RepeatedImages {
 public:
  /// Never applies.
  RepeatedImages() = default;
  /// Offsets i q1 + j q2 + k q3 for i, j, k from -n to n, as the old-lattice step forms them.
  RepeatedImages(const Matrix3f& q, int n);

  /// True when each coordinate of every offset depends on its own index only.
  bool applies() const { return applies_; }

  /// Applies the images of an entry at e (of the given type) to `list` when that is
  /// provably what placing them one by one does; false (and `list` untouched) when they
  /// must be placed one by one.
  bool place(IndexedList& list, const Vector3f& e, int typeNumber);

 private:
  /// The distinct values of e + offset along one axis, reduced into the cell, with
  /// how many offsets give each.
  void axisImages(std::size_t axis, float e);
  bool finish(IndexedList& list, bool accepted);

  bool applies_ = false;
  std::array<std::vector<float>, 3> offsets_;  ///< per axis, for the index -n .. n
  std::array<std::vector<float>, 3> values_;
  std::array<std::vector<int>, 3> repeats_;
  std::vector<float> scratch_;
  std::vector<int> pending_;  ///< per entry: images found to land on it
  std::vector<int> touched_;  ///< entries with pending images
};

/// True when the running average (n P + P) / (n + 1) is P bit for bit for every count
/// n below `countAfter`, because n P and (n + 1) P are exact in single precision; P must
/// lie in the cell.
bool averageKeepsPosition(float p, long long countAfter);

}  // namespace tessera
