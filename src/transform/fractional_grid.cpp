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
  // About one entry per bucket, and buckets no narrower than half a window so that
  // a window touches at most a few buckets per axis.
  const double perAxis = std::cbrt(std::max<double>(1.0, static_cast<double>(expectedCount)));
  for (int k = 0; k < 3; ++k) {
    const double t = tolerance[static_cast<std::size_t>(k)];
    int n = static_cast<int>(std::ceil(perAxis));
    if (std::isfinite(t) && t > 0.0) n = std::min(n, static_cast<int>(std::floor(1.0 / (2.0 * t))));
    n = std::clamp(n, 1, kMaxBucketsPerAxis);
    if (!std::isfinite(t)) n = 1;
    nb_[k] = n;
    nf_[k] = static_cast<float>(n);
    reach_[k] = static_cast<float>(std::isfinite(t) ? std::max(0.0, t) + kMargin : 0.0);
    reachBuckets_[k] = reach_[k] * nf_[k];
    whole_[k] = !std::isfinite(t) || n <= 3 || reach_[k] >= 0.5f || reachBuckets_[k] >= 1.0f;
  }
  stride_[2] = 1;
  stride_[1] = nb_[2];
  stride_[0] = nb_[1] * nb_[2];
  heads_.assign(static_cast<std::size_t>(nb_[0]) * static_cast<std::size_t>(nb_[1]) * static_cast<std::size_t>(nb_[2]),
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

void FractionalGrid::move(int index, const std::array<float, 3>& p) {
  const std::size_t i = static_cast<std::size_t>(index);
  const int a = bucket_[i];
  const int b = bucketIndex(p);
  if (a == b) return;
  int* link = &heads_[static_cast<std::size_t>(a)];
  while (*link >= 0 && *link != index) link = &next_[static_cast<std::size_t>(*link)];
  if (*link == index) *link = next_[i];
  bucket_[i] = b;
  next_[i] = heads_[static_cast<std::size_t>(b)];
  heads_[static_cast<std::size_t>(b)] = index;
}

}  // namespace tessera
