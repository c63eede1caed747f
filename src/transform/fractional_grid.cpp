#include "transform/fractional_grid.h"

#include <algorithm>

namespace tessera {

namespace {

// Covers coordinates a little outside [0, 1) (the cell rule keeps -0.00001) and
// the rounding of the bucket arithmetic.
constexpr double kMargin = 3e-5;
constexpr int kMaxBucketsPerAxis = 1024;
// Entries a query reads on average when the list is evenly spread.
constexpr double kTargetOccupancy = 1.5;

}  // namespace

FractionalGrid::FractionalGrid(const std::array<float, 3>& tolerance, std::size_t expectedCount) {
  // Each axis spans a bucket plus a box; their product, times the entries, is what a
  // query reads. Buckets are at least as wide as a box, so an entry is listed in at
  // most two buckets per axis.
  const double extent = std::cbrt(kTargetOccupancy / std::max<double>(1.0, static_cast<double>(expectedCount)));
  for (int k = 0; k < 3; ++k) {
    Axis& a = axes_[k];
    const double t = tolerance[static_cast<std::size_t>(k)];
    const bool finite = std::isfinite(t);
    const double base = (finite ? std::max(0.0, t) : 0.0) + kMargin;
    slack_[k] = static_cast<float>(0.25 * base);
    const double reach = base + static_cast<double>(slack_[k]);
    const double width = std::max(extent - 2.0 * reach, 2.0 * reach);
    int n = static_cast<int>(std::min(1.0 / width, static_cast<double>(kMaxBucketsPerAxis)));
    if (!finite || 2.0 * reach >= 0.5) n = 1;
    a.n = std::max(n, 1);
    a.nf = static_cast<float>(a.n);
    a.shift = 3.0f * a.nf;
    a.reach = static_cast<float>(reach);
  }
  // At most 2^22 buckets: bucket numbers stay exact in float sums, and memory bounded.
  while (static_cast<double>(axes_[0].n) * axes_[1].n * axes_[2].n > static_cast<double>(1 << 22)) {
    Axis& widest = *std::max_element(std::begin(axes_), std::end(axes_), [](const Axis& l, const Axis& r) { return l.n < r.n; });
    widest.n = (widest.n + 1) / 2;
    widest.nf = static_cast<float>(widest.n);
    widest.shift = 3.0f * widest.nf;
  }
  axes_[2].stride = 1;
  axes_[1].stride = axes_[2].n;
  axes_[0].stride = axes_[1].n * axes_[2].n;
  for (Axis& a : axes_) {
    // raw() of an ordinary coordinate widened by a reach below one half lies in [0, 7 n).
    a.wrapped.resize(static_cast<std::size_t>(7 * a.n + 2));
    for (int r = 0; r < 7 * a.n + 2; ++r) a.wrapped[static_cast<std::size_t>(r)] = (r % a.n) * a.stride;
  }
  buckets_.assign(static_cast<std::size_t>(axes_[0].n) * static_cast<std::size_t>(axes_[1].n) *
                      static_cast<std::size_t>(axes_[2].n),
                  Bucket{});
  spillOf_.assign(buckets_.size(), -1);
  anchor_.reserve(expectedCount);
}

void FractionalGrid::bucketsOfNearCell(const float* x, const float* y, const float* z, int* buckets,
                                       std::size_t count) const {
  // raw() minus 3 n is -1 for a coordinate just below zero and otherwise below n (the
  // 0.00001 below 1 is more than the rounding of u n + 3 n at up to 1024 buckets).
  // Bucket numbers are below 2^23, so the float sum is exact.
  const Axis& a = axes_[0];
  const Axis& b = axes_[1];
  const Axis& c = axes_[2];
  const float sa = static_cast<float>(a.stride), sb = static_cast<float>(b.stride);
  const auto wrap = [](int r, int n) { return static_cast<float>(r + (n & (r >> 31))); };
  for (std::size_t i = 0; i < count; ++i)
    buckets[i] = static_cast<int>(wrap(raw(a, x[i]) - 3 * a.n, a.n) * sa + wrap(raw(b, y[i]) - 3 * b.n, b.n) * sb +
                                  wrap(raw(c, z[i]) - 3 * c.n, c.n));
}

void FractionalGrid::clear() {
  std::fill(buckets_.begin(), buckets_.end(), Bucket{});
  std::fill(spillOf_.begin(), spillOf_.end(), -1);
  spills_.clear();
  freeSpills_.clear();
  anchor_.clear();
  odd_.clear();
  anyOdd_ = false;
}

void FractionalGrid::insert(const std::array<float, 3>& p) {
  anchor_.push_back(float4(p[0], p[1], p[2]));
  link(size() - 1, anchor_.back());
}

template <class F>
void FractionalGrid::forEachBoxBucket(Float4 anchor, F&& f) const {
  int first[3], count[3];
  for (int k = 0; k < 3; ++k) {
    const Axis& a = axes_[k];
    if (a.n == 1) {  // the reach may be far beyond the cell here
      first[k] = 3;
      count[k] = 1;
      continue;
    }
    const float u = anchor[k];
    first[k] = raw(a, u - a.reach);
    count[k] = std::min(raw(a, u + a.reach) - first[k] + 1, a.n);
  }
  for (int i = 0; i < count[0]; ++i) {
    const int bi = axes_[0].wrapped[static_cast<std::size_t>(first[0] + i)];
    for (int j = 0; j < count[1]; ++j) {
      const int bij = bi + axes_[1].wrapped[static_cast<std::size_t>(first[1] + j)];
      for (int k = 0; k < count[2]; ++k) f(bij + axes_[2].wrapped[static_cast<std::size_t>(first[2] + k)]);
    }
  }
}

void FractionalGrid::link(int index, Float4 anchor) {
  if (!ordinary(anchor)) {
    odd_.push_back(index);
    anyOdd_ = true;
    return;
  }
  forEachBoxBucket(anchor, [&](int b) { add(b, index); });
}

void FractionalGrid::unlink(int index, Float4 anchor) {
  if (!ordinary(anchor)) {
    odd_.erase(std::find(odd_.begin(), odd_.end(), index));
    anyOdd_ = !odd_.empty();
    return;
  }
  forEachBoxBucket(anchor, [&](int b) { remove(b, index); });
}

void FractionalGrid::relink(int index, Float4 p) {
  Float4& a = anchor_[static_cast<std::size_t>(index)];
  unlink(index, a);
  a = p;
  a[3] = 0.0f;
  link(index, a);
}

void FractionalGrid::add(int bucket, int index) {
  Bucket& b = buckets_[static_cast<std::size_t>(bucket)];
  if (b.count < kInline) {
    if (b.count == 0)
      for (int& item : b.items) item = index;
    else
      b.items[b.count] = index;
    ++b.count;
    return;
  }
  int& spill = spillOf_[static_cast<std::size_t>(bucket)];
  if (spill < 0) {
    if (freeSpills_.empty()) {
      spill = static_cast<int>(spills_.size());
      spills_.emplace_back();
    } else {
      spill = freeSpills_.back();
      freeSpills_.pop_back();
    }
  }
  spills_[static_cast<std::size_t>(spill)].push_back(index);
  ++b.count;
}

void FractionalGrid::remove(int bucket, int index) {
  Bucket& b = buckets_[static_cast<std::size_t>(bucket)];
  int& spillIndex = spillOf_[static_cast<std::size_t>(bucket)];
  std::vector<int>* spill = spillIndex >= 0 ? &spills_[static_cast<std::size_t>(spillIndex)] : nullptr;
  // The last entry of the bucket takes the place of the one removed.
  const int last = b.count > kInline ? spill->back() : b.items[b.count - 1];
  bool found = false;
  for (int i = 0; i < std::min(b.count, kInline) && !found; ++i)
    if (b.items[i] == index) {
      b.items[i] = last;
      found = true;
    }
  if (!found && spill) *std::find(spill->begin(), spill->end(), index) = last;
  if (b.count > kInline) spill->pop_back();
  --b.count;
  // Places beyond the entries listed repeat the first, or hold 0.
  for (int i = std::min(b.count, kInline); i < kInline; ++i) b.items[i] = b.count > 0 ? b.items[0] : 0;
  if (spill && spill->empty()) {
    freeSpills_.push_back(spillIndex);
    spillIndex = -1;
  }
}

}  // namespace tessera
