#include "transform/lattice_images.h"

#include <algorithm>

namespace tessera {

namespace {

// Beyond this many offsets (12 MB) they are made batch by batch instead of kept.
constexpr std::size_t kWholeTable = std::size_t{1} << 20;
// Images within this many cells of the cell are reduced by whole-batch steps.
constexpr float kNearCells = 16.0f;

}  // namespace

LatticeOffsets::LatticeOffsets(const Matrix3f& q, int n) : span_(static_cast<std::size_t>(2 * n + 1)) {
  // Each offset is the sum of the first two terms and then the third, which rounds as
  // the whole expression i q1 + j q2 + k q3 does.
  for (int i = -n; i <= n; ++i)
    for (int j = -n; j <= n; ++j) {
      const float fi = static_cast<float>(i), fj = static_cast<float>(j);
      rows_.push_back({fi * q[0][0] + fj * q[1][0], fi * q[0][1] + fj * q[1][1], fi * q[0][2] + fj * q[1][2]});
    }
  for (int k = -n; k <= n; ++k) {
    const float fk = static_cast<float>(k);
    third_.push_back({fk * q[2][0], fk * q[2][1], fk * q[2][2]});
  }
  const bool keep = size() <= kWholeTable;
  if (keep) {
    for (std::vector<float>& v : table_) v.resize(size());
    fill(0, size(), table_[0].data(), table_[1].data(), table_[2].data());
  }
  std::array<std::vector<float>, 3> scratch;
  for (std::size_t b = 0; b < batchCount(); ++b) {
    std::size_t count = 0;
    const std::array<const float*, 3> o = batch(b, count, scratch);
    std::array<float, 6> r{};
    for (std::size_t k = 0; k < 3; ++k) {
      const auto [low, high] = std::minmax_element(o[k], o[k] + count);
      r[k] = *low;
      r[k + 3] = *high;
    }
    ranges_.push_back(r);
  }
}

std::array<const float*, 3> LatticeOffsets::batch(std::size_t b, std::size_t& count,
                                                  std::array<std::vector<float>, 3>& scratch) const {
  const std::size_t first = b * kBatch;
  count = std::min(kBatch, size() - first);
  if (!table_[0].empty()) return {table_[0].data() + first, table_[1].data() + first, table_[2].data() + first};
  for (std::vector<float>& v : scratch) v.resize(count);
  fill(first, count, scratch[0].data(), scratch[1].data(), scratch[2].data());
  return {scratch[0].data(), scratch[1].data(), scratch[2].data()};
}

Vector3f LatticeOffsets::offset(std::size_t index) const {
  if (!table_[0].empty()) return {table_[0][index], table_[1][index], table_[2][index]};
  Vector3f v;
  fill(index, 1, &v[0], &v[1], &v[2]);
  return v;
}

void LatticeOffsets::fill(std::size_t first, std::size_t count, float* x, float* y, float* z) const {
  std::size_t row = first / span_, k = first % span_;
  for (std::size_t s = 0; s < count; ++s) {
    x[s] = rows_[row][0] + third_[k][0];
    y[s] = rows_[row][1] + third_[k][1];
    z[s] = rows_[row][2] + third_[k][2];
    if (++k == span_) {
      k = 0;
      ++row;
    }
  }
}

ImageBatch::ImageBatch()
    : x(LatticeOffsets::kBatch), y(LatticeOffsets::kBatch), z(LatticeOffsets::kBatch), buckets(LatticeOffsets::kBatch) {}

void ImageBatch::compute(const Vector3f& e, const LatticeOffsets& lattice, std::size_t b, const FractionalGrid& grid) {
  const std::array<const float*, 3> o = lattice.batch(b, count, scratch_);
  // A rounded sum is monotone in each term, so the sums with the smallest and the
  // largest offset bound all sums. Within bounds of a few cells each loop of the
  // reduction is run a fixed number of times over the whole batch: a step whose
  // condition fails leaves the value as it is, so extra steps change nothing.
  const std::array<float, 6>& r = lattice.range(b);
  int up[3], down[3];
  bool near = true;
  for (std::size_t k = 0; k < 3; ++k) {
    const float low = e[k] + r[k], high = e[k] + r[k + 3];
    near = near && low >= -kNearCells && high < kNearCells;
    if (!near) break;
    up[k] = low < kCellLow ? static_cast<int>(-low) + 1 : 0;
    down[k] = static_cast<int>(std::max(high, 1.0f)) + 1;
  }
  if (near) {
    const auto reduce = [&](float base, const float* offset, std::vector<float>& out, int upSteps, int downSteps) {
      if (upSteps <= 1 && downSteps <= 2) {  // one step up and two down, in one pass
        for (std::size_t i = 0; i < count; ++i) out[i] = reduceNearCell(base + offset[i]);
        return;
      }
      for (std::size_t i = 0; i < count; ++i) out[i] = base + offset[i];
      for (int step = 0; step < upSteps; ++step)
        for (std::size_t i = 0; i < count; ++i) out[i] = subtractIf(out[i], out[i] < kCellLow, -1.0f);
      for (int step = 0; step < downSteps; ++step)
        for (std::size_t i = 0; i < count; ++i) out[i] = subtractIf(out[i], out[i] >= kCellHigh, 1.0f);
    };
    reduce(e[0], o[0], x, up[0], down[0]);
    reduce(e[1], o[1], y, up[1], down[1]);
    reduce(e[2], o[2], z, up[2], down[2]);
    grid.bucketsOfNearCell(x.data(), y.data(), z.data(), buckets.data(), count);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    x[i] = reduceIntoCell(e[0] + o[0][i]);
    y[i] = reduceIntoCell(e[1] + o[1][i]);
    z[i] = reduceIntoCell(e[2] + o[2][i]);
    buckets[i] = grid.bucketOf({x[i], y[i], z[i]});
  }
}

}  // namespace tessera
