#include "transform/repeated_images.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tessera {

namespace {

std::uint32_t bitsOf(float v) { return std::bit_cast<std::uint32_t>(v); }

// Distinct image sets remembered at once (an entry kind per set in a supercell).
constexpr std::size_t kMemos = 8;

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

}  // namespace

long long exactCountLimit(float p) {
  if (!(p >= kCellLow && p < kCellHigh)) return 0;
  const std::uint32_t bits = bitsOf(p);
  if ((bits & 0x7fffffffu) == 0) return std::numeric_limits<long long>::max();  // a zero stays that zero
  if ((bits & 0x7f800000u) == 0) return 0;  // subnormal: not worth the argument
  std::uint32_t significand = (bits & 0x007fffffu) | 0x00800000u;
  significand >>= std::countr_zero(significand);
  // The average is worked in double: n P and (n + 1) P carry at most 53 significant bits
  // for n + 1 <= the limit, so the products and the sum are exact and (n + 1) P / (n + 1)
  // is P.
  return static_cast<long long>(((std::uint64_t{1} << 53) - 1) / significand);
}

bool averageKeepsPosition(float p, long long countAfter) { return countAfter > 0 && countAfter <= exactCountLimit(p); }

bool diagonalAxisOffsets(const LatticeOffsets& lattice, const Matrix3f& q, int n,
                         std::array<std::vector<float>, 3>& offsets) {
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 3; ++c)
      if (r != c && q[r][c] != 0.0f) return false;
  const auto span = static_cast<std::size_t>(2 * n + 1);
  if (lattice.size() != span * span * span) return false;
  // With the other entries zero, a product with another index is a zero whose sign
  // follows that index's sign: indices -1, 0 and 1 stand for all of them.
  const int reps[3] = {-1, 0, 1};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    offsets[axis].resize(span);
    for (int t = -n; t <= n; ++t) {
      float value = 0.0f;
      bool first = true;
      for (int a : reps)
        for (int b : reps) {
          const int i = axis == 0 ? t : a, j = axis == 1 ? t : (axis == 0 ? a : b), k = axis == 2 ? t : b;
          const std::size_t index = (static_cast<std::size_t>(i + n) * span + static_cast<std::size_t>(j + n)) * span +
                                    static_cast<std::size_t>(k + n);
          const float v = lattice.offset(index)[axis];
          if (!first && bitsOf(v) != bitsOf(value)) return false;
          value = v;
          first = false;
        }
      offsets[axis][static_cast<std::size_t>(t + n)] = value;
    }
  }
  return true;
}

RepeatedImages::RepeatedImages(const LatticeOffsets& lattice, const Matrix3f& q, int n) {
  applies_ = diagonalAxisOffsets(lattice, q, n, offsets_);
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
  const Memo* memo = recall(typeNumber);
  if (!memo) {
    if (!search(list, typeNumber)) return false;
    if (memos_.size() < kMemos) memos_.emplace_back();
    Memo& m = memos_[nextMemo_++ % memos_.size()];
    m.typeNumber = typeNumber;
    m.values = values_;
    m.hits = hits_;
    memo = &m;
  }
  if (pending_.size() < list.size()) pending_.resize(list.size(), 0);
  std::size_t next = 0;
  for (int ra : repeats_[0])
    for (int rb : repeats_[1])
      for (int rc : repeats_[2]) {
        const int hit = memo->hits[next++];
        int& pending = pending_[static_cast<std::size_t>(hit)];
        if (pending == 0) touched_.push_back(hit);
        pending += ra * rb * rc;
      }
  return apply(list);
}

bool RepeatedImages::search(const IndexedList& list, int typeNumber) {
  // Every distinct image against the list as it stands: while each lands exactly on an
  // entry of its type and leaves it where it is, the list stands still, so the images
  // repeated later find the same entry again.
  hits_.clear();
  for (float vx : values_[0])
    for (float vy : values_[1])
      for (float vz : values_[2]) {
        const Float4 x = float4(vx, vy, vz);
        Float4 shifted;
        const int hit = list.findFirst(list.grid().bucketOf({vx, vy, vz}), x, shifted);
        if (hit < 0 || list.typeNumber(hit) != typeNumber) return false;
        const Float4 at = list.position(hit);
        if (std::memcmp(&at, &shifted, 3 * sizeof(float)) != 0) return false;
        hits_.push_back(hit);
      }
  return true;
}

const RepeatedImages::Memo* RepeatedImages::recall(int typeNumber) const {
  for (const Memo& m : memos_)
    if (m.typeNumber == typeNumber && sameBits(m.values[0], values_[0]) && sameBits(m.values[1], values_[1]) &&
        sameBits(m.values[2], values_[2]))
      return &m;
  return nullptr;
}

bool RepeatedImages::apply(IndexedList& list) {
  if (limits_.size() < list.size()) limits_.resize(list.size(), -1);
  for (int hit : touched_) {
    long long& limit = limits_[static_cast<std::size_t>(hit)];
    if (limit < 0) {
      const Float4 at = list.position(hit);
      limit = std::min({exactCountLimit(at[0]), exactCountLimit(at[1]), exactCountLimit(at[2])});
    }
    const long long after = static_cast<long long>(list.count(hit)) + pending_[static_cast<std::size_t>(hit)];
    if (after > limit) return finish(list, false);
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
