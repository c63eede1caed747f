#pragma once
// The old-lattice images of one entry placed through slots, when the inverse matrix is
// diagonal. Along each axis the entries' coordinates gather in slots: tight groups of
// nearly equal values, every two of them either near (all their distances within the
// tolerance) or far (all beyond it), with a reach around each that keeps that true.
// While every entry and every image lies within the reach of its slots, an image
// coincides with exactly the entries of the slot triples near its own, so the first
// of them in list order, kept in a table, is where it goes, found without a search.
// Only images whose entry is of their own slot triple are placed this way: averaging
// then never takes an entry out of its reach (an average lies between the two
// positions it is made of), so the table holds through the run.
//
// The images an entry sends to one entry are taken together. Where the running
// average provably leaves that entry where it is, bit for bit (its count already large
// enough for the images' spread to vanish in the rounding), only its count grows;
// otherwise they are averaged in one by one, in the order of the plain placing. Other
// entries never see them, so the outcome is that of placing every image in turn.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstddef>
#include <vector>

#include "transform/indexed_list.h"
#include "transform/lattice_images.h"
#include "transform/transform_parameters.h"

namespace tessera {

class SlottedImages {
 public:
  /// Never applies.
  SlottedImages() = default;
  /// For the offsets of `lattice` (made from q and n) and the coincidence tolerance
  /// per axis.
  SlottedImages(const LatticeOffsets& lattice, const Matrix3f& q, int n, const Vector3f& tolerance);

  /// True when each coordinate of every offset depends on its own index only.
  bool applies() const { return applies_; }

  /// Places the images of an entry at e (of the given type) in `list`, with what placing
  /// them one by one gives; false (and `list` untouched) when they must be placed one by
  /// one. `moved` tells whether an entry's position changed.
  bool place(IndexedList& list, const Vector3f& e, int typeNumber, bool& moved);

  /// The list changed other than through place(): the slots are checked again, or made
  /// again when entries were added.
  void listChanged() { checked_ = false; }

 private:
  struct Axis {
    std::vector<double> reachLow, reachHigh;  ///< per slot, in increasing order
    std::vector<int> slotOfEntry;
    std::vector<float> valueLow, valueHigh;  ///< per slot: the entries' values lie within
    std::vector<int> near;        ///< the slots near each slot (itself too), slot by slot
    std::vector<int> nearStart;   ///< where each slot's list starts in `near`
    /// The slot whose reach holds v, or -1.
    int slotOf(float v) const;
  };
  /// The images along one axis that fall in one slot, in the order of their index.
  struct Group {
    int slot = 0;
    float low = 0.0f, high = 0.0f;
    std::vector<float> values;
    int leastCount = 0;  ///< from this count on they leave every entry of the slot in place
  };

  bool ready(const IndexedList& list);
  bool build(const IndexedList& list);
  bool buildAxis(const IndexedList& list, std::size_t axis);
  bool entriesInReach(const IndexedList& list);
  bool groupImages(std::size_t axis, float e);
  /// The count from which the images of g leave every entry of its slot in place.
  int leastCountInPlace(std::size_t axis, const Group& g) const;
  /// Averaging that may move an entry: one chain of images per axis that may move,
  /// run after every image of the entry has been gathered.
  struct Chain {
    int axis = 0;
    int count = 0;                  ///< the entry's count before the first of them
    const float* values = nullptr;  ///< the group's values, each taken `repeats` times in turn
    std::uint32_t valueCount = 0, repeats = 0, length = 0;
    float result = 0.0f;
  };
  struct Pending {
    int entry = 0;
    int images = 0;
    std::uint32_t firstChain = 0, chains = 0;
  };
  void queue(int entry, int count, const std::array<const Group*, 3>& groups, const std::array<bool, 3>& inPlace);
  void runChains(IndexedList& list);

  bool applies_ = false;
  std::array<std::vector<float>, 3> offsets_;
  Vector3f tolerance_{};
  std::array<Axis, 3> axes_;
  struct Cell {
    int first = -1;  ///< first entry of the slot triple, -1 for none or one of another triple
    int type = -1;   ///< its type number
  };
  std::vector<Cell> table_;
  std::size_t builtSize_ = 0;
  bool built_ = false;
  bool checked_ = false;
  std::size_t failedSize_ = static_cast<std::size_t>(-1);  ///< list size at which making slots failed

  std::array<std::vector<Group>, 3> groups_;
  std::array<std::vector<int>, 3> groupOfSlot_;
  std::vector<int> hits_;
  std::vector<std::vector<float>> spare_;
  std::vector<Chain> chains_;
  std::vector<int> owner_;  ///< entry of each chain
  std::vector<Pending> pending_;
};

/// Half the distance from e to its nearer neighbouring float.
inline double halfGap(float e) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(e) & 0x7fffffffu;
  const int exponent = static_cast<int>(bits >> 23);
  if (exponent == 0) return 0x1p-150;  // zero and subnormals: spacing 2^-149
  int k = exponent - 127 - 24;         // half the spacing above
  if ((bits & 0x007fffffu) == 0 && exponent > 1) --k;  // a power of two: the spacing below is half
  return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

/// True when the running average (n e + x) / (n + 1), worked as averageCoordinate works
/// it, is e bit for bit for every x in [low, high] and every count from n up.
inline bool averageLeavesInPlace(float e, float low, float high, int n) {
  // A zero stays the same zero only among zeros and positive values: -0 with +0 gives +0,
  // and +0 with a tiny negative value a negative zero.
  if (e == 0.0f && (std::signbit(e) || low < 0.0f)) return false;
  if (!(std::fabs(e) < 2.0f) || !(low <= high) || n < 0) return false;
  const double de = e;
  const double dev = std::max(std::fabs(static_cast<double>(high) - de), std::fabs(static_cast<double>(low) - de));
  // The double result of (n e + x) / (n + 1) lies within dev / (n + 1) of e, plus the
  // rounding of three double operations (below 2^-50 (|e| + dev)); below half the gap
  // to the next float it rounds back to e. A larger n only brings it closer. Written
  // without the division, with margins far above the rounding of this test itself.
  const double room = halfGap(e) * (1.0 - 0x1p-30) - 0x1p-49 * (std::fabs(de) + dev);
  return dev < room * (static_cast<double>(n) + 1.0) * (1.0 - 0x1p-40);
}

}  // namespace tessera
