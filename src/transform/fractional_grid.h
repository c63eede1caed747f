#pragma once
// A bucket grid over fractional coordinates with wrap-around, used to find the
// entries of an atom list that may lie within a tolerance of a position. It only
// narrows the candidates: the caller applies its own comparison to each of them,
// so results are those of a scan over the whole list.

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tessera {

class FractionalGrid {
 public:
  /// Grid for windows of half-width `tolerance` (fractions, per axis), sized for about
  /// `expectedCount` entries.
  FractionalGrid(const std::array<float, 3>& tolerance, std::size_t expectedCount);

  /// Adds entry `index` (entries are numbered 0, 1, 2, ... in insertion order) at p.
  void insert(int index, const std::array<float, 3>& p);

  /// Moves entry `index` from position `from` to position `to`.
  void move(int index, const std::array<float, 3>& from, const std::array<float, 3>& to);

  /// Calls f(index) for every entry that may lie within the tolerance of p along each
  /// axis, counting distances around the cell (a superset of the true matches).
  template <class F>
  void forEachCandidate(const std::array<float, 3>& p, F&& f) const {
    int lo[3], count[3];
    for (int k = 0; k < 3; ++k) windowOf(k, p[static_cast<std::size_t>(k)], lo[k], count[k]);
    for (int i = 0; i < count[0]; ++i) {
      const int bi = wrap(0, lo[0] + i) * stride_[0];
      for (int j = 0; j < count[1]; ++j) {
        const int bij = bi + wrap(1, lo[1] + j) * stride_[1];
        for (int k = 0; k < count[2]; ++k) {
          for (int e = heads_[static_cast<std::size_t>(bij + wrap(2, lo[2] + k))]; e >= 0;
               e = next_[static_cast<std::size_t>(e)])
            f(e);
        }
      }
    }
  }

  /// Removes every entry (the bucket layout stays).
  void clear();

  /// Buckets along each axis (for tests and tuning).
  std::array<int, 3> bucketCounts() const { return {nb_[0], nb_[1], nb_[2]}; }

 private:
  int bucketOf(int axis, float u) const;
  int bucketIndex(const std::array<float, 3>& p) const;
  int wrap(int axis, int b) const {
    const int n = nb_[axis];
    if (b >= n) return b - n;
    if (b < 0) return b + n;
    return b;
  }
  void windowOf(int axis, float u, int& lo, int& count) const {
    const int n = nb_[axis];
    if (whole_[axis] || !std::isfinite(u) || std::fabs(u) > 1e6f) {
      lo = 0;
      count = n;
      return;
    }
    const double s = n;
    const long long a = static_cast<long long>(std::floor((u - reach_[axis]) * s));
    const long long b = static_cast<long long>(std::floor((u + reach_[axis]) * s));
    if (b - a + 1 >= n) {
      lo = 0;
      count = n;
      return;
    }
    long long m = a % n;
    if (m < 0) m += n;
    lo = static_cast<int>(m);
    count = static_cast<int>(b - a + 1);
  }

  int nb_[3] = {1, 1, 1};
  int stride_[3] = {1, 1, 1};
  double reach_[3] = {0, 0, 0};  ///< tolerance plus a margin for rounding and the cell edge
  bool whole_[3] = {true, true, true};
  std::vector<int> heads_;
  std::vector<int> next_;
};

}  // namespace tessera
