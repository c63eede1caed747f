#include "transform/new_cell_list.h"

#include <new>

#include "transform/coincidence.h"
#include "transform/fractional_grid.h"
#include "transform/transform_report.h"

namespace tessera {

namespace {

/// The list with its bucket grid; every search returns the first coincident entry in
/// list order, as a scan over the whole list would.
class IndexedList {
 public:
  IndexedList(std::vector<UnitCellAtom>& atoms, const Vector3f& tolerance, std::size_t expected)
      : atoms_(atoms), t_(tolerance), grid_(tolerance, expected) {}

  /// Index of the first entry coincident with x (-1 when none); `shifted` gets the copy of
  /// x that matched.
  int findFirst(const Vector3f& x, Vector3f& shifted) const {
    int best = -1;
    Vector3f candidate{};
    grid_.forEachCandidate(x, [&](int e) {
      if (best >= 0 && e > best) return;
      const UnitCellAtom& a = atoms_[static_cast<std::size_t>(e)];
      if (coincides(x, {a.x, a.y, a.z}, t_, candidate)) {
        best = e;
        shifted = candidate;
      }
    });
    return best;
  }

  void mergeInto(int index, const Vector3f& shifted) {
    UnitCellAtom& a = atoms_[static_cast<std::size_t>(index)];
    const Vector3f before = a.position();
    a.setPosition(runningAverage(before, a.averagedCount, shifted));
    ++a.averagedCount;
    grid_.move(index, a.position());
  }

  void append(const UnitCellAtom& atom) {
    atoms_.push_back(atom);
    grid_.insert(static_cast<int>(atoms_.size()) - 1, atom.position());
  }

 private:
  std::vector<UnitCellAtom>& atoms_;
  Vector3f t_;
  FractionalGrid grid_;
};

/// Merges the arriving position into the first coincident entry or appends it.
inline bool place(IndexedList& list, std::vector<UnitCellAtom>& atoms, const Vector3f& x, const UnitCellAtom& source,
           bool oldLatticeStep, const std::vector<Site>& sites, std::string* report, std::size_t limit) {
  Vector3f shifted{};
  const int hit = list.findFirst(x, shifted);
  if (hit >= 0) {
    const UnitCellAtom& e = atoms[static_cast<std::size_t>(hit)];
    if (report && e.typeNumber != source.typeNumber)
      appendDifferentTypes(*report, oldLatticeStep, labelOfSite(sites, e.siteIndex), e,
                           labelOfSite(sites, source.siteIndex), source.typeNumber, x);
    list.mergeInto(hit, shifted);
    return true;
  }
  if (limit != 0 && atoms.size() >= limit) return false;
  UnitCellAtom a = source;
  a.setPosition(x);
  a.averagedCount = 1;
  list.append(a);
  return true;
}

}  // namespace

TransferStatus transferToNewCell(const std::vector<UnitCellAtom>& oldCell, const std::vector<Site>& sites,
                                 const NewCellTransfer& p, std::vector<UnitCellAtom>& out, std::string* report) {
  out.clear();
  try {
    const std::size_t expected = p.limit != 0 ? p.limit / 4 : oldCell.size();
    out.reserve(std::min<std::size_t>(expected, 1u << 22));
    IndexedList list(out, p.tolerance, expected);

    for (const UnitCellAtom& atom : oldCell) {
      const Vector3f raw = transformPosition(atom.position(), p.q, p.preMatrixShift, p.postMatrixShift);
      const Vector3f x{reduceIntoCell(raw[0]), reduceIntoCell(raw[1]), reduceIntoCell(raw[2])};
      if (!place(list, out, x, atom, false, sites, report, p.limit)) return TransferStatus::TooManyAtoms;
    }

    const int n = p.searchRange;
    std::vector<Vector3f> offsets;
    offsets.reserve(static_cast<std::size_t>(2 * n + 1) * static_cast<std::size_t>(2 * n + 1) *
                    static_cast<std::size_t>(2 * n + 1));
    for (int i = -n; i <= n; ++i)
      for (int j = -n; j <= n; ++j)
        for (int k = -n; k <= n; ++k) offsets.push_back(latticeOffset(p.q, i, j, k));

    // Entries appended here are visited too; each entry's images are taken from its
    // position when its turn comes.
    for (std::size_t m = 0; m < out.size(); ++m) {
      const UnitCellAtom e = out[m];
      for (const Vector3f& o : offsets) {
        const Vector3f y{reduceIntoCell(e.x + o[0]), reduceIntoCell(e.y + o[1]), reduceIntoCell(e.z + o[2])};
        if (!place(list, out, y, e, true, sites, report, p.limit)) return TransferStatus::TooManyAtoms;
      }
    }
  } catch (const std::bad_alloc&) {
    return TransferStatus::OutOfMemory;
  }
  return TransferStatus::Done;
}

}  // namespace tessera
