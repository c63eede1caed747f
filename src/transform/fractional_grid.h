#pragma once
// A bucket grid over fractional coordinates with wrap-around, used to find the
// entries of an atom list that may lie within a tolerance of a position. Each
// entry is listed in every bucket that its tolerance box touches, so a query
// reads a single bucket. The box is drawn around the entry's anchor (where it
// was listed) and widened by a slack, so an entry that drifts a little while
// being averaged stays where it is listed. The grid only narrows the candidates:
// the caller applies its own comparison to each of them, so results are those of
// a scan over the whole list.

#include <array>
#include <cmath>
#include <vector>

#include "transform/float4.h"

namespace tessera {

class FractionalGrid {
 public:
  /// Grid for windows of half-width `tolerance` (fractions, per axis), sized for about
  /// `expectedCount` entries.
  FractionalGrid(const std::array<float, 3>& tolerance, std::size_t expectedCount);

  /// Adds the next entry (entries are numbered 0, 1, 2, ... in insertion order) at p.
  void insert(const std::array<float, 3>& p);

  /// Entry `index` now lies at p.
  void move(int index, const std::array<float, 3>& p) { move(index, float4(p[0], p[1], p[2])); }

  /// Entry `index` now lies at p (lanes 0 to 2).
  void move(int index, Float4 p) {
    // A coordinate that is not a number fails the test and relinks.
    if (all3(abs4(p - anchor_[static_cast<std::size_t>(index)]) <= slack_)) return;
    relink(index, p);
  }

  /// Removes every entry (the bucket layout stays).
  void clear();

  /// Entries inserted.
  int size() const { return static_cast<int>(anchor_.size()); }

  /// The bucket a query at p reads; -1 when p lies outside the cell (then every entry
  /// is a candidate).
  int bucketOf(const std::array<float, 3>& p) const {
    if (!ordinary(p[0]) || !ordinary(p[1]) || !ordinary(p[2])) return -1;
    return axes_[0].wrapped[static_cast<std::size_t>(raw(axes_[0], p[0]))] +
           axes_[1].wrapped[static_cast<std::size_t>(raw(axes_[1], p[1]))] +
           axes_[2].wrapped[static_cast<std::size_t>(raw(axes_[2], p[2]))];
  }

  /// bucketOf for `count` positions given by coordinate arrays, each coordinate reduced
  /// into the cell ([-0.00001, 0.99999)): the same buckets, computed without tables so
  /// that the loop runs on several positions at once.
  void bucketsOfNearCell(const float* x, const float* y, const float* z, int* buckets, std::size_t count) const;

  /// Calls f(index) for every entry that may lie within the tolerance of a position in
  /// `bucket` (from bucketOf) along each axis, counting distances around the cell.
  /// Each entry comes at most once, in no particular order.
  template <class F>
  void forEachInBucket(int bucket, F&& f) const {
    if (bucket < 0) {
      for (int e = 0; e < size(); ++e) f(e);
      return;
    }
    const Bucket& b = buckets_[static_cast<std::size_t>(bucket)];
    const int inlined = b.count < kInline ? b.count : kInline;
    for (int i = 0; i < inlined; ++i) f(b.items[i]);
    if (b.count > kInline)
      for (int e : spills_[static_cast<std::size_t>(spillOf_[static_cast<std::size_t>(bucket)])]) f(e);
    for (int e : odd_) f(e);
  }

  /// Places a bucket keeps its first entries in.
  static constexpr int kInline = 3;

  /// Entries standing for the whole of `bucket` (from bucketOf) when it lists at most
  /// kInline and no entry is listed apart; false when the bucket must be read with
  /// forEachInBucket. Places beyond the entries listed repeat the first entry, or hold
  /// entry 0 when there is none (which then cannot lie within the tolerance of a
  /// position in the bucket).
  bool smallBucket(int bucket, const int*& items) const {
    if (bucket < 0 || anyOdd_) return false;
    const Bucket& b = buckets_[static_cast<std::size_t>(bucket)];
    items = b.items;
    return b.count <= kInline;
  }

  /// Calls f(index) for every entry that may lie within the tolerance of p along each
  /// axis, counting distances around the cell (a superset of the true matches).
  template <class F>
  void forEachCandidate(const std::array<float, 3>& p, F&& f) const {
    forEachInBucket(bucketOf(p), f);
  }

  /// Buckets along each axis (for tests and tuning).
  std::array<int, 3> bucketCounts() const { return {axes_[0].n, axes_[1].n, axes_[2].n}; }

 private:
  struct Bucket {
    int count = 0;        ///< entries listed
    int items[kInline];   ///< the first entries; unused places repeat the first (0 when empty)
  };
  struct Axis {
    int n = 1;                  ///< buckets
    float nf = 1.0f;            ///< n as a float
    float shift = 3.0f;         ///< 3 n: keeps u n + shift well above zero
    float reach = 0.0f;         ///< tolerance plus margin plus slack, fractions
    int stride = 1;
    std::vector<int> wrapped;   ///< bucket (times stride) of floor(u n + shift), for 0 .. 7 n + 1
  };

  /// Coordinates reduced into the cell lie in [-0.0000101, 0.99999). Anything else, or
  /// not a number, is listed apart and seen by every query, and a query there reads
  /// every entry: between positions more than a cell apart the coincidence rule does
  /// not measure a distance around the cell.
  static bool ordinary(float u) { return u >= -0.00002f && u < 1.0f; }
  /// floor(u n + 3 n) from a float product: monotone in u, so a position inside an
  /// entry's box maps into the box's bucket range (the margin covers the rounding).
  static int raw(const Axis& a, float u) { return static_cast<int>(u * a.nf + a.shift); }

  static bool ordinary(Float4 p) { return ordinary(p[0]) && ordinary(p[1]) && ordinary(p[2]); }
  void link(int index, Float4 anchor);
  void unlink(int index, Float4 anchor);
  void relink(int index, Float4 p);
  /// Calls f(bucket) for every bucket the box around `anchor` touches.
  template <class F>
  void forEachBoxBucket(Float4 anchor, F&& f) const;
  void add(int bucket, int index);
  void remove(int bucket, int index);

  Axis axes_[3];
  Float4 slack_{};
  std::vector<Bucket> buckets_;
  std::vector<int> spillOf_;  ///< per bucket: its list in spills_ of the entries after the inlined ones
  std::vector<std::vector<int>> spills_;
  std::vector<int> freeSpills_;
  std::vector<Float4> anchor_;  ///< where each entry is listed
  std::vector<int> odd_;        ///< entries listed apart
  bool anyOdd_ = false;
};

}  // namespace tessera
