#include "transform/repeated_images.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tessera {

namespace {

/// Offset coordinate `axis` for indices (i, j, k), summed as the old-lattice step sums it.
float offsetAt(const Matrix3f& q, int i, int j, int k, std::size_t axis) {
  const float fi = static_cast<float>(i), fj = static_cast<float>(j), fk = static_cast<float>(k);
  const float row = fi * q[0][axis] + fj * q[1][axis];
  return row + fk * q[2][axis];
}

std::uint32_t bitsOf(float v) { return std::bit_cast<std::uint32_t>(v); }

}  // namespace

bool averageKeepsPosition(float p, long long countAfter) {
  if (!(p >= kCellLow && p < kCellHigh)) return false;
  const std::uint32_t bits = bitsOf(p);
  if ((bits & 0x7fffffffu) == 0) return true;  // a zero of either sign stays that zero
  if ((bits & 0x7f800000u) == 0) return false;  // subnormal: not worth the argument
  std::uint32_t significand = (bits & 0x007fffffu) | 0x00800000u;
  significand >>= std::countr_zero(significand);
  // n P and (n + 1) P carry at most 24 significant bits for n + 1 <= countAfter, so the
  // products and the sum are exact and (n + 1) P / (n + 1) is P.
  return countAfter > 0 && static_cast<unsigned long long>(countAfter) * significand < (1ull << 24);
}

RepeatedImages::RepeatedImages(const Matrix3f& q, int n) {
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 3; ++c)
      if (r != c && q[r][c] != 0.0f) return;
  // With the other entries zero, a product with another index is a zero whose sign
  // follows that index's sign: indices -1, 0 and 1 stand for all of them.
  const int reps[3] = {-1, 0, 1};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    offsets_[axis].resize(static_cast<std::size_t>(2 * n + 1));
    for (int t = -n; t <= n; ++t) {
      float value = 0.0f;
      bool first = true;
      for (int a : reps)
        for (int b : reps) {
          const int i = axis == 0 ? t : a, j = axis == 1 ? t : (axis == 0 ? a : b), k = axis == 2 ? t : b;
          const float v = offsetAt(q, i, j, k, axis);
          if (!first && bitsOf(v) != bitsOf(value)) return;
          value = v;
          first = false;
        }
      offsets_[axis][static_cast<std::size_t>(t + n)] = value;
    }
  }
  applies_ = true;
}

void RepeatedImages::axisImages(std::size_t axis, float e) {
  scratch_.clear();
  for (float o : offsets_[axis]) scratch_.push_back(reduceIntoCell(e + o));
  std::sort(scratch_.begin(), scratch_.end(), [](float a, float b) { return bitsOf(a) < bitsOf(b); });
  std::vector<float>& values = values_[axis];
  std::vector<int>& repeats = repeats_[axis];
  values.clear();
  repeats.clear();
  for (float v : scratch_) {
    if (!values.empty() && bitsOf(values.back()) == bitsOf(v)) {
      ++repeats.back();
    } else {
      values.push_back(v);
      repeats.push_back(1);
    }
  }
}

bool RepeatedImages::place(IndexedList& list, const Vector3f& e, int typeNumber) {
  if (!applies_) return false;
  for (std::size_t axis = 0; axis < 3; ++axis) axisImages(axis, e[axis]);
  if (pending_.size() < list.size()) pending_.resize(list.size(), 0);
  // Every distinct image against the list as it stands: while each lands exactly on an
  // entry of its type and leaves it where it is, the list stands still, so the images
  // repeated later find the same entry again.
  for (std::size_t a = 0; a < values_[0].size(); ++a)
    for (std::size_t b = 0; b < values_[1].size(); ++b)
      for (std::size_t c = 0; c < values_[2].size(); ++c) {
        const Vector3f y{values_[0][a], values_[1][b], values_[2][c]};
        const Float4 x = float4(y[0], y[1], y[2]);
        Float4 shifted;
        const int hit = list.findFirst(list.grid().bucketOf(y), x, shifted);
        if (hit < 0 || list.typeNumber(hit) != typeNumber) return finish(list, false);
        const Float4 at = list.position(hit);
        if (std::memcmp(&at, &shifted, 3 * sizeof(float)) != 0) return finish(list, false);
        int& pending = pending_[static_cast<std::size_t>(hit)];
        if (pending == 0) touched_.push_back(hit);
        pending += repeats_[0][a] * repeats_[1][b] * repeats_[2][c];
      }
  for (int hit : touched_) {
    const Float4 at = list.position(hit);
    const long long after = static_cast<long long>(list.count(hit)) + pending_[static_cast<std::size_t>(hit)];
    for (int k = 0; k < 3; ++k)
      if (!averageKeepsPosition(at[k], after)) return finish(list, false);
  }
  return finish(list, true);
}

bool RepeatedImages::finish(IndexedList& list, bool accepted) {
  for (int hit : touched_) {
    int& pending = pending_[static_cast<std::size_t>(hit)];
    if (accepted) list.addToCount(hit, pending);
    pending = 0;
  }
  touched_.clear();
  return accepted;
}

}  // namespace tessera
