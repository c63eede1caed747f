#include "transform/fractional_grid.h"

#include <algorithm>
#include <cmath>

namespace tessera {

namespace {

// Covers coordinates a little outside [0, 1) (the cell rule keeps -0.00001) and
// the rounding of the bucket arithmetic.
constexpr double kMargin = 3e-5;
constexpr int kMaxBucketsPerAxis = 512;

}  // namespace

FractionalGrid::FractionalGrid(const std::array<float, 3>& tolerance, std::size_t expectedCount) {
  // About one entry per bucket, and buckets no narrower than half a window so that
  // a window touches at most three buckets per axis.
  const double perAxis = std::cbrt(std::max<double>(1.0, static_cast<double>(expectedCount)));
  for (int k = 0; k < 3; ++k) {
    Axis& a = axes_[k];
    const double t = tolerance[static_cast<std::size_t>(k)];
    int n = static_cast<int>(std::ceil(perAxis));
    if (std::isfinite(t) && t > 0.0) n = std::min(n, static_cast<int>(std::floor(1.0 / (2.0 * t))));
    n = std::clamp(n, 1, kMaxBucketsPerAxis);
    if (!std::isfinite(t)) n = 1;
    a.n = n;
    a.nf = static_cast<float>(n);
    a.shift = 3.0f * a.nf;
    a.reach = static_cast<float>(std::isfinite(t) ? std::max(0.0, t) + kMargin : 0.0);
    a.reachBuckets = a.reach * a.nf;
    a.whole = !std::isfinite(t) || n <= 3 || a.reach >= 0.5f || a.reachBuckets >= 1.0f;
  }
  axes_[2].stride = 1;
  axes_[1].stride = axes_[2].n;
  axes_[0].stride = axes_[1].n * axes_[2].n;
  for (Axis& a : axes_) {
    // raw() of an ordinary coordinate lies in [0, 6 n); one more on each side for the window.
    a.wrapped.resize(static_cast<std::size_t>(6 * a.n + 2));
    for (int r = 0; r < 6 * a.n + 2; ++r) a.wrapped[static_cast<std::size_t>(r)] = ((r % a.n + a.n) % a.n) * a.stride;
  }
  heads_.assign(static_cast<std::size_t>(axes_[0].n) * static_cast<std::size_t>(axes_[1].n) *
                    static_cast<std::size_t>(axes_[2].n),
                -1);
  next_.reserve(expectedCount);
  bucket_.reserve(expectedCount);
}

void FractionalGrid::clear() {
  std::fill(heads_.begin(), heads_.end(), -1);
  next_.clear();
  bucket_.clear();
}

void FractionalGrid::insert(int index, const std::array<float, 3>& p) {
  const std::size_t i = static_cast<std::size_t>(index);
  if (i >= next_.size()) {
    next_.resize(i + 1, -1);
    bucket_.resize(i + 1, 0);
  }
  const int b = bucketIndex(p);
  bucket_[i] = b;
  next_[i] = heads_[static_cast<std::size_t>(b)];
  heads_[static_cast<std::size_t>(b)] = index;
}

void FractionalGrid::relink(int index, int b) {
  const std::size_t i = static_cast<std::size_t>(index);
  int* link = &heads_[static_cast<std::size_t>(bucket_[i])];
  while (*link >= 0 && *link != index) link = &next_[static_cast<std::size_t>(*link)];
  if (*link == index) *link = next_[i];
  bucket_[i] = b;
  next_[i] = heads_[static_cast<std::size_t>(b)];
  heads_[static_cast<std::size_t>(b)] = index;
}

}  // namespace tessera
