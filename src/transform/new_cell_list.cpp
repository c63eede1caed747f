#include "transform/new_cell_list.h"

#include <algorithm>
#include <array>
#include <new>

#include "transform/indexed_list.h"
#include "transform/transform_report.h"

namespace tessera {

namespace {

/// Where the steps report to.
struct Sink {
  const std::vector<Site>& sites;
  std::string* report;
  std::size_t limit;
};

__attribute__((noinline)) void reportDifferentTypes(const IndexedList& list, int hit, Float4 x,
                                                    const UnitCellAtom& source, bool oldLatticeStep, const Sink& sink) {
  const UnitCellAtom e = list.atom(static_cast<std::size_t>(hit));
  appendDifferentTypes(*sink.report, oldLatticeStep, labelOfSite(sink.sites, e.siteIndex), e,
                       labelOfSite(sink.sites, source.siteIndex), source.typeNumber, {x[0], x[1], x[2]});
}

__attribute__((noinline)) bool appendNew(IndexedList& list, Float4 x, const UnitCellAtom& source, const Sink& sink) {
  if (sink.limit != 0 && list.size() >= sink.limit) return false;
  list.append(source, x);
  return true;
}

/// Merges the arriving position into the first coincident entry or appends it; false
/// when the list is full.
__attribute__((always_inline)) inline bool place(IndexedList& list, int bucket, Float4 x, const UnitCellAtom& source,
                                                 bool oldLatticeStep, const Sink& sink) {
  Float4 shifted;
  const int hit = list.findFirst(bucket, x, shifted);
  if (hit < 0) return appendNew(list, x, source, sink);
  if (sink.report && list.typeNumber(hit) != source.typeNumber)
    reportDifferentTypes(list, hit, x, source, oldLatticeStep, sink);
  list.mergeInto(hit, shifted);
  return true;
}

/// The offsets i q1 + j q2 + k q3 for i, j, k from -n to n, i slowest, numbered in that
/// order. Each is the sum of the first two terms and then the third, which rounds as
/// the whole expression does.
class LatticeOffsets {
 public:
  LatticeOffsets(const Matrix3f& q, int n) : span_(static_cast<std::size_t>(2 * n + 1)) {
    for (int i = -n; i <= n; ++i)
      for (int j = -n; j <= n; ++j) {
        const float fi = static_cast<float>(i), fj = static_cast<float>(j);
        rows_.push_back({fi * q[0][0] + fj * q[1][0], fi * q[0][1] + fj * q[1][1], fi * q[0][2] + fj * q[1][2]});
      }
    for (int k = -n; k <= n; ++k) {
      const float fk = static_cast<float>(k);
      third_.push_back({fk * q[2][0], fk * q[2][1], fk * q[2][2]});
    }
    if (size() <= kWholeTable) {
      for (std::vector<float>& v : table_) v.resize(size());
      fill(0, size(), table_[0].data(), table_[1].data(), table_[2].data());
    }
  }

  std::size_t size() const { return rows_.size() * span_; }

  /// Offsets [first, first + count) as coordinate arrays: into the table when it is
  /// kept, else written to `scratch`.
  std::array<const float*, 3> get(std::size_t first, std::size_t count, std::array<std::vector<float>, 3>& scratch) const {
    if (!table_[0].empty()) return {table_[0].data() + first, table_[1].data() + first, table_[2].data() + first};
    for (std::vector<float>& v : scratch) v.resize(count);
    fill(first, count, scratch[0].data(), scratch[1].data(), scratch[2].data());
    return {scratch[0].data(), scratch[1].data(), scratch[2].data()};
  }

 private:
  static constexpr std::size_t kWholeTable = std::size_t{1} << 20;

  void fill(std::size_t first, std::size_t count, float* x, float* y, float* z) const {
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

  std::size_t span_;
  std::vector<Vector3f> rows_;   ///< i q1 + j q2 for (i, j) in order
  std::vector<Vector3f> third_;  ///< k q3 for k = -n .. n
  std::array<std::vector<float>, 3> table_;  ///< every offset, when not too many
};

// Images taken together: their positions and buckets are computed first, several
// at a time, then they are placed in order.
constexpr std::size_t kBatchImages = 2048;

struct ImageBatch {
  std::vector<float> x, y, z;  ///< image positions, reduced into the cell
  std::vector<int> buckets;
  std::array<std::vector<float>, 3> offsets;  ///< scratch for offsets computed per batch

  ImageBatch() : x(kBatchImages), y(kBatchImages), z(kBatchImages), buckets(kBatchImages) {}

  /// Images of e for offsets [first, first + count).
  void compute(const UnitCellAtom& e, const LatticeOffsets& lattice, std::size_t first, std::size_t count,
               const FractionalGrid& grid) {
    const std::array<const float*, 3> o = lattice.get(first, count, offsets);
    // The plain reduction covers every sum in [-1, 2); the rest is redone in full.
    int outside = 0;
    const auto near = [&](float base, const float* offset, std::vector<float>& out) {
      for (std::size_t i = 0; i < count; ++i) {
        const float u = base + offset[i];
        outside |= static_cast<int>(!(u >= -1.0f)) | static_cast<int>(!(u < 2.0f));
        out[i] = reduceNearCell(u);
      }
    };
    near(e.x, o[0], x);
    near(e.y, o[1], y);
    near(e.z, o[2], z);
    if (outside == 0) {
      grid.bucketsOfNearCell(x.data(), y.data(), z.data(), buckets.data(), count);
      return;
    }
    for (std::size_t i = 0; i < count; ++i) {
      x[i] = reduceIntoCell(e.x + o[0][i]);
      y[i] = reduceIntoCell(e.y + o[1][i]);
      z[i] = reduceIntoCell(e.z + o[2][i]);
      buckets[i] = grid.bucketOf({x[i], y[i], z[i]});
    }
  }
};

/// Places every old-lattice image of entry m; false when the list is full.
bool placeImages(IndexedList& list, std::size_t m, const LatticeOffsets& lattice, ImageBatch& batch,
                 const Sink& sink) {
  const UnitCellAtom e = list.atom(m);
  for (std::size_t first = 0; first < lattice.size(); first += kBatchImages) {
    const std::size_t count = std::min(kBatchImages, lattice.size() - first);
    batch.compute(e, lattice, first, count, list.grid());
    for (std::size_t s = 0; s < count; ++s)
      if (!place(list, batch.buckets[s], float4(batch.x[s], batch.y[s], batch.z[s]), e, true, sink)) return false;
  }
  return true;
}

}  // namespace

TransferStatus transferToNewCell(const std::vector<UnitCellAtom>& oldCell, const std::vector<Site>& sites,
                                 const NewCellTransfer& p, std::vector<UnitCellAtom>& out, std::string* report) {
  out.clear();
  TransferStatus status = TransferStatus::Done;
  try {
    const std::size_t expected = p.limit != 0 ? p.limit / 4 : oldCell.size();
    out.reserve(std::min<std::size_t>(expected, 1u << 22));
    IndexedList list(out, p.tolerance, expected);
    const Sink sink{sites, report, p.limit};

    for (const UnitCellAtom& atom : oldCell) {
      const Vector3f raw = transformPosition(atom.position(), p.q, p.preMatrixShift, p.postMatrixShift);
      const Vector3f x{reduceIntoCell(raw[0]), reduceIntoCell(raw[1]), reduceIntoCell(raw[2])};
      if (!place(list, list.grid().bucketOf(x), float4(x[0], x[1], x[2]), atom, false, sink)) {
        status = TransferStatus::TooManyAtoms;
        break;
      }
    }

    if (status == TransferStatus::Done) {
      const LatticeOffsets lattice(p.q, p.searchRange);
      ImageBatch batch;
      // Entries appended here are visited too; each entry's images are taken from its
      // position when its turn comes.
      for (std::size_t m = 0; m < list.size(); ++m)
        if (!placeImages(list, m, lattice, batch, sink)) {
          status = TransferStatus::TooManyAtoms;
          break;
        }
    }
    list.finish();
  } catch (const std::bad_alloc&) {
    return TransferStatus::OutOfMemory;
  }
  return status;
}

}  // namespace tessera
