#pragma once
// A bucket grid over fractional coordinates with wrap-around, used to find the
// entries of an atom list that may lie within a tolerance of a position. It only
// narrows the candidates: the caller applies its own comparison to each of them,
// so results are those of a scan over the whole list.

#include <array>
#include <cmath>
#include <vector>

namespace tessera {

class FractionalGrid {
 public:
  /// Grid for windows of half-width `tolerance` (fractions, per axis), sized for about
  /// `expectedCount` entries.
  FractionalGrid(const std::array<float, 3>& tolerance, std::size_t expectedCount);

  /// Adds entry `index` (entries are numbered 0, 1, 2, ... in insertion order) at p.
  void insert(int index, const std::array<float, 3>& p);

  /// Moves entry `index` to position p.
  void move(int index, const std::array<float, 3>& p);

  /// Removes every entry (the bucket layout stays).
  void clear();

  /// Calls f(index) for every entry that may lie within the tolerance of p along each
  /// axis, counting distances around the cell (a superset of the true matches).
  template <class F>
  void forEachCandidate(const std::array<float, 3>& p, F&& f) const {
    int index[3][3];
    int count[3];
    for (int k = 0; k < 3; ++k) windowOf(k, p[static_cast<std::size_t>(k)], index[k], count[k]);
    if (count[0] < 0 || count[1] < 0 || count[2] < 0) {
      forEachInWholeAxes(p, f, count);
      return;
    }
    for (int i = 0; i < count[0]; ++i) {
      const int bi = index[0][i] * stride_[0];
      for (int j = 0; j < count[1]; ++j) {
        const int bij = bi + index[1][j] * stride_[1];
        for (int k = 0; k < count[2]; ++k)
          for (int e = heads_[static_cast<std::size_t>(bij + index[2][k])]; e >= 0; e = next_[static_cast<std::size_t>(e)])
            f(e);
      }
    }
  }

  /// Buckets along each axis (for tests and tuning).
  std::array<int, 3> bucketCounts() const { return {nb_[0], nb_[1], nb_[2]}; }

 private:
  /// Coordinates lists hold lie in [-0.00001, 1) and a little around; anything far
  /// outside or not a number goes to bucket 0, whose axis windows then span.
  static bool ordinary(float u) { return u > -2.0f && u < 3.0f; }
  /// floor(u n) from a float product; being monotone in u it keeps every entry inside
  /// the windows computed the same way (the margin covers the rounding).
  int rawBucket(int axis, float u) const { return static_cast<int>(u * nf_[axis] + 3.0f * nf_[axis]) - 3 * nb_[axis]; }
  int bucketOf(int axis, float u) const { return ordinary(u) ? wrap(axis, rawBucket(axis, u)) : 0; }
  int bucketIndex(const std::array<float, 3>& p) const {
    return bucketOf(0, p[0]) * stride_[0] + bucketOf(1, p[1]) * stride_[1] + bucketOf(2, p[2]);
  }
  int wrap(int axis, int b) const {
    const int n = nb_[axis];
    while (b >= n) b -= n;
    while (b < 0) b += n;
    return b;
  }
  /// Buckets (at most three) of the window about u along an axis; count -1 when the
  /// window spans the axis.
  void windowOf(int axis, float u, int* index, int& count) const {
    if (whole_[axis] || !ordinary(u)) {
      count = -1;
      return;
    }
    // The window's ends are u -+ reach; reach n < 1, so they fall in the bucket of u or
    // its neighbours.
    const float x = u * nf_[axis] + 3.0f * nf_[axis];
    const int b = static_cast<int>(x);
    const float fraction = x - static_cast<float>(b);
    const int first = b - (fraction < reachBuckets_[axis] ? 1 : 0) - 3 * nb_[axis];
    const int last = b + (fraction + reachBuckets_[axis] >= 1.0f ? 1 : 0) - 3 * nb_[axis];
    count = last - first + 1;
    for (int i = 0; i < count; ++i) index[i] = wrap(axis, first + i);
  }

  template <class F>
  void forEachInWholeAxes(const std::array<float, 3>& p, F& f, const int* count) const {
    int index[3][3];
    int lo[3], n[3];
    for (int k = 0; k < 3; ++k) {
      if (count[k] < 0) {
        lo[k] = 0;
        n[k] = nb_[k];
      } else {
        windowOf(k, p[static_cast<std::size_t>(k)], index[k], n[k]);
        lo[k] = -1;
      }
    }
    auto at = [&](int k, int i) { return lo[k] < 0 ? index[k][i] : i; };
    for (int i = 0; i < n[0]; ++i)
      for (int j = 0; j < n[1]; ++j)
        for (int k = 0; k < n[2]; ++k) {
          const int b = at(0, i) * stride_[0] + at(1, j) * stride_[1] + at(2, k);
          for (int e = heads_[static_cast<std::size_t>(b)]; e >= 0; e = next_[static_cast<std::size_t>(e)]) f(e);
        }
  }

  int nb_[3] = {1, 1, 1};
  int stride_[3] = {1, 1, 1};
  float nf_[3] = {1, 1, 1};
  float reach_[3] = {0, 0, 0};         ///< tolerance plus a margin for rounding and the cell edge
  float reachBuckets_[3] = {0, 0, 0};  ///< reach in bucket widths (below 1)
  bool whole_[3] = {true, true, true};
  std::vector<int> heads_;
  std::vector<int> next_;
  std::vector<int> bucket_;  ///< bucket of each entry
};

}  // namespace tessera
