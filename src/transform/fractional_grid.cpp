#include "transform/fractional_grid.h"

#include <algorithm>

namespace tessera {

namespace {

// Covers coordinates a little outside [0, 1) (the cell rule keeps -0.00001) and
// the rounding of the bucket arithmetic.
constexpr double kMargin = 3e-5;
constexpr int kMaxBucketsPerAxis = 512;

}  // namespace

FractionalGrid::FractionalGrid(const std::array<float, 3>& tolerance, std::size_t expectedCount) {
  // About two entries per bucket, and buckets no narrower than half a window so
  // that a window touches at most a few buckets per axis.
  const double perAxis = std::cbrt(std::max<double>(1.0, static_cast<double>(expectedCount) / 2.0));
  for (int k = 0; k < 3; ++k) {
    const double t = tolerance[static_cast<std::size_t>(k)];
    int n = static_cast<int>(std::ceil(perAxis));
    if (std::isfinite(t) && t > 0.0) n = std::min(n, static_cast<int>(std::floor(1.0 / (2.0 * t))));
    n = std::clamp(n, 1, kMaxBucketsPerAxis);
    if (!std::isfinite(t)) n = 1;
    nb_[k] = n;
    reach_[k] = std::isfinite(t) ? t + kMargin : 0.0;
    whole_[k] = !std::isfinite(t) || n <= 3 || reach_[k] >= 0.5;
  }
  stride_[2] = 1;
  stride_[1] = nb_[2];
  stride_[0] = nb_[1] * nb_[2];
  heads_.assign(static_cast<std::size_t>(nb_[0]) * static_cast<std::size_t>(nb_[1]) * static_cast<std::size_t>(nb_[2]),
                -1);
  next_.reserve(expectedCount);
}

int FractionalGrid::bucketOf(int axis, float u) const {
  const int n = nb_[axis];
  if (!std::isfinite(u) || std::fabs(u) > 1e6f) return 0;
  long long b = static_cast<long long>(std::floor(static_cast<double>(u) * n));
  b %= n;
  if (b < 0) b += n;
  return static_cast<int>(b);
}

int FractionalGrid::bucketIndex(const std::array<float, 3>& p) const {
  return bucketOf(0, p[0]) * stride_[0] + bucketOf(1, p[1]) * stride_[1] + bucketOf(2, p[2]);
}

void FractionalGrid::clear() {
  std::fill(heads_.begin(), heads_.end(), -1);
  next_.clear();
}

void FractionalGrid::insert(int index, const std::array<float, 3>& p) {
  if (static_cast<std::size_t>(index) >= next_.size()) next_.resize(static_cast<std::size_t>(index) + 1, -1);
  const int b = bucketIndex(p);
  next_[static_cast<std::size_t>(index)] = heads_[static_cast<std::size_t>(b)];
  heads_[static_cast<std::size_t>(b)] = index;
}

void FractionalGrid::move(int index, const std::array<float, 3>& from, const std::array<float, 3>& to) {
  const int a = bucketIndex(from);
  const int b = bucketIndex(to);
  if (a == b) return;
  int* link = &heads_[static_cast<std::size_t>(a)];
  while (*link >= 0 && *link != index) link = &next_[static_cast<std::size_t>(*link)];
  if (*link == index) *link = next_[static_cast<std::size_t>(index)];
  next_[static_cast<std::size_t>(index)] = heads_[static_cast<std::size_t>(b)];
  heads_[static_cast<std::size_t>(b)] = index;
}

}  // namespace tessera
