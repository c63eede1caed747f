#pragma once
// A bucket grid over fractional coordinates with wrap-around, used to find the
// entries of an atom list that may lie within a tolerance of a position. It only
// narrows the candidates: the caller applies its own comparison to each of them,
// so results are those of a scan over the whole list.

#include <array>
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
  void move(int index, const std::array<float, 3>& p) {
    const std::size_t i = static_cast<std::size_t>(index);
    const int b = bucketIndex(p);
    if (b != bucket_[i]) relink(index, b);
  }

  /// Removes every entry (the bucket layout stays).
  void clear();

  /// Calls f(index) for every entry that may lie within the tolerance of p along each
  /// axis, counting distances around the cell (a superset of the true matches).
  template <class F>
  void forEachCandidate(const std::array<float, 3>& p, F&& f) const {
    int base[3][kMaxWindow];
    int count[3];
    for (int k = 0; k < 3; ++k) window(k, p[static_cast<std::size_t>(k)], base[k], count[k]);
    for (int i = 0; i < count[0]; ++i)
      for (int j = 0; j < count[1]; ++j) {
        const int bij = base[0][i] + base[1][j];
        for (int k = 0; k < count[2]; ++k)
          for (int e = heads_[static_cast<std::size_t>(bij + base[2][k])]; e >= 0; e = next_[static_cast<std::size_t>(e)])
            f(e);
      }
  }

  /// Buckets along each axis (for tests and tuning).
  std::array<int, 3> bucketCounts() const { return {axes_[0].n, axes_[1].n, axes_[2].n}; }

 private:
  static constexpr int kMaxWindow = 512;  ///< a whole axis at most
  struct Axis {
    int n = 1;              ///< buckets
    float nf = 1.0f;        ///< n as a float
    float shift = 3.0f;     ///< 3 n: keeps u n + shift positive for u > -2
    float reach = 0.0f;     ///< tolerance plus a margin, fractions
    float reachBuckets = 0.0f;  ///< reach in bucket widths (below 1 unless whole)
    bool whole = true;      ///< every window spans the axis
    int stride = 1;
    std::vector<int> wrapped;  ///< bucket (times stride) of floor(u n + shift), for 0 .. 6 n + 1
  };

  /// Coordinates lists hold lie in [-0.00001, 1) and a little around; anything far
  /// outside or not a number goes to bucket 0, whose axis windows then span.
  static bool ordinary(float u) { return u > -2.0f && u < 3.0f; }
  /// floor(u n + 3 n) from a float product: monotone in u, so every entry stays inside the
  /// windows computed the same way (the margin covers the rounding).
  static int raw(const Axis& a, float u) { return static_cast<int>(u * a.nf + a.shift); }
  int bucketIndex(const std::array<float, 3>& p) const {
    int b = 0;
    for (int k = 0; k < 3; ++k) {
      const float u = p[static_cast<std::size_t>(k)];
      if (ordinary(u)) b += axes_[k].wrapped[static_cast<std::size_t>(raw(axes_[k], u))];
    }
    return b;
  }
  void window(int k, float u, int* base, int& count) const {
    const Axis& a = axes_[k];
    if (a.whole || !ordinary(u)) {
      count = a.n;
      for (int i = 0; i < a.n; ++i) base[i] = i * a.stride;
      return;
    }
    // reach n < 1: the window's ends fall in the bucket of u or its neighbours.
    const float x = u * a.nf + a.shift;
    const int b = static_cast<int>(x);
    const float fraction = x - static_cast<float>(b);
    const int* w = a.wrapped.data() + b;
    // Written out: a loop here would become a library copy call.
    count = 0;
    if (fraction < a.reachBuckets) base[count++] = w[-1];
    base[count++] = w[0];
    if (fraction + a.reachBuckets >= 1.0f) base[count++] = w[1];
  }
  void relink(int index, int bucket);

  Axis axes_[3];
  std::vector<int> heads_;
  std::vector<int> next_;
  std::vector<int> bucket_;  ///< bucket of each entry
};

}  // namespace tessera
