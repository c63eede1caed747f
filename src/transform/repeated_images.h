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
#include "transform/lattice_images.h"
#include "transform/transform_parameters.h"

namespace tessera {

class RepeatedImages {
 public:
  /// Never applies.
  RepeatedImages() = default;
  /// For the offsets i q1 + j q2 + k q3 (i, j, k from -n to n) of `lattice`, made from q and n.
  RepeatedImages(const LatticeOffsets& lattice, const Matrix3f& q, int n);

  /// True when each coordinate of every offset depends on its own index only.
  bool applies() const { return applies_; }

  /// Applies the images of an entry at e (of the given type) to `list` when that is
  /// provably what placing them one by one does; false (and `list` untouched) when they
  /// must be placed one by one.
  bool place(IndexedList& list, const Vector3f& e, int typeNumber);

  /// The list's positions or entries changed other than through place().
  void listChanged() {
    memos_.clear();
    nextMemo_ = 0;
    limits_.clear();
  }

 private:
  /// The distinct values of e + offset along one axis, reduced into the cell, with
  /// how many offsets give each.
  void axisImages(std::size_t axis, float e);
  bool finish(IndexedList& list, bool accepted);
  /// Checks and applies the gathered images (entries in touched_, counts in pending_).
  bool apply(IndexedList& list);

  /// The entries a set of distinct images landed on, while the list stands still: an
  /// entry and its exact lattice translates have the same distinct images.
  struct Memo {
    int typeNumber = 0;
    std::array<std::vector<float>, 3> values;
    std::vector<int> hits;  ///< entry of each image, the first axis's values slowest
  };
  const Memo* recall(int typeNumber) const;
  /// The entry each distinct image lands on, into hits_; false when one does not land
  /// exactly on an entry of the type.
  bool search(const IndexedList& list, int typeNumber);

  bool applies_ = false;
  std::array<std::vector<float>, 3> offsets_;  ///< per axis, for the index -n .. n
  std::array<std::vector<float>, 3> values_;
  std::array<std::vector<int>, 3> repeats_;
  std::vector<float> scratch_;
  std::vector<int> pending_;  ///< per entry: images found to land on it
  std::vector<int> touched_;  ///< entries with pending images
  std::vector<int> hits_;
  std::vector<long long> limits_;  ///< per entry: exactCountLimit of its position, -1 not yet known
  std::vector<Memo> memos_;
  std::size_t nextMemo_ = 0;
};

/// The offsets along each axis, for the index -n .. n, when each coordinate of every
/// offset of `lattice` (made from q and n) depends on its own index only, bit for bit;
/// false otherwise.
bool diagonalAxisOffsets(const LatticeOffsets& lattice, const Matrix3f& q, int n,
                         std::array<std::vector<float>, 3>& offsets);

/// The largest count after averaging up to which the running average (n P + P) / (n + 1)
/// provably stays P bit for bit, because n P and (n + 1) P are exact in single
/// precision (0 when P is not in the cell or the argument does not hold).
long long exactCountLimit(float p);

/// True when the running average (n P + P) / (n + 1) is P bit for bit for every count
/// n below `countAfter` by the argument of exactCountLimit.
bool averageKeepsPosition(float p, long long countAfter);

}  // namespace tessera
