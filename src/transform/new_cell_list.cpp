#include "transform/new_cell_list.h"

#include <algorithm>
#include <new>

#include "transform/indexed_list.h"
#include "transform/lattice_images.h"
#include "transform/repeated_images.h"
#include "transform/slotted_images.h"
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

/// Places every old-lattice image of entry m; false when the list is full.
bool placeImages(IndexedList& list, std::size_t m, const LatticeOffsets& lattice, ImageBatch& batch,
                 const Sink& sink) {
  const UnitCellAtom e = list.atom(m);
  for (std::size_t b = 0; b < lattice.batchCount(); ++b) {
    batch.compute(e.position(), lattice, b, list.grid());
    for (std::size_t s = 0; s < batch.count; ++s)
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
      RepeatedImages grouped =
          p.groupRepeatedImages ? RepeatedImages(lattice, p.q, p.searchRange) : RepeatedImages();
      SlottedImages slotted =
          p.groupRepeatedImages ? SlottedImages(lattice, p.q, p.searchRange, p.tolerance) : SlottedImages();
      // Entries appended here are visited too; each entry's images are taken from its
      // position when its turn comes.
      for (std::size_t m = 0; m < list.size(); ++m) {
        if (grouped.applies()) {
          const UnitCellAtom e = list.atom(m);
          if (grouped.place(list, e.position(), e.typeNumber)) continue;
          bool moved = false;
          if (slotted.place(list, e.position(), e.typeNumber, moved)) {
            if (moved) grouped.listChanged();
            continue;
          }
          grouped.listChanged();
          slotted.listChanged();
        }
        if (!placeImages(list, m, lattice, batch, sink)) {
          status = TransferStatus::TooManyAtoms;
          break;
        }
      }
    }
    list.finish();
  } catch (const std::bad_alloc&) {
    return TransferStatus::OutOfMemory;
  }
  return status;
}

}  // namespace tessera
