#pragma once
// The new-cell list while the full-unit-cell mode merges positions into it: the
// atoms with a bucket grid over their positions. Every search returns the first
// coincident entry in list order, as a scan over the whole list would, and every
// average is the running average of the plain rules, lane by lane.

#include <vector>

#include "transform/coincidence.h"
#include "transform/float4.h"
#include "transform/fractional_grid.h"
#include "transform/unit_cell.h"

namespace tessera {

class IndexedList {
  static constexpr int kNone = 0x7fffffff;

 public:
  /// Works on `atoms` (emptied first); `tolerance` per axis in fractions.
  IndexedList(std::vector<UnitCellAtom>& atoms, const Vector3f& tolerance, std::size_t expected)
      : atoms_(atoms), t_(tolerance), t4_(float4(tolerance[0], tolerance[1], tolerance[2])), grid_(tolerance, expected) {
    atoms_.clear();
    positions_.reserve(atoms.capacity());
    counts_.reserve(atoms.capacity());
    types_.reserve(atoms.capacity());
  }

  std::size_t size() const { return positions_.size(); }
  const FractionalGrid& grid() const { return grid_; }

  /// Position of entry `index` (lanes 0 to 2, lane 3 zero) as it stands now.
  Float4 position(int index) const { return positions_[static_cast<std::size_t>(index)]; }
  int typeNumber(int index) const { return types_[static_cast<std::size_t>(index)]; }
  /// Averaged count of entry `index`.
  int count(int index) const { return counts_[static_cast<std::size_t>(index)]; }
  /// Counts `repeats` more positions averaged into entry `index` without moving it.
  void addToCount(int index, int repeats) { counts_[static_cast<std::size_t>(index)] += repeats; }

  /// Entry `index` as it stands now.
  UnitCellAtom atom(std::size_t index) const {
    UnitCellAtom a = atoms_[index];
    const Float4 p = positions_[index];
    a.setPosition({p[0], p[1], p[2]});
    a.averagedCount = counts_[index];
    return a;
  }

  /// Index of the first entry coincident with x (-1 when none), looking in `bucket`
  /// (x's bucket); `shifted` gets the copy of x that matched.
  int findFirst(int bucket, Float4 x, Float4& shifted) const {
    const int* items = nullptr;
    if (!positions_.empty() && grid_.smallBucket(bucket, items)) {
      // Every place is tested and the smallest coincident index taken, without branches
      // on outcomes that vary from one image to the next. A distance beyond one half
      // (a match across a cell face) is left to the full test. Positions here are
      // numbers: a position that is not has no bucket, and an entry there is listed
      // apart, which closes this path.
      static_assert(FractionalGrid::kInline == 3);
      const Float4 da = magnitude(x - position(items[0]));
      const Float4 db = magnitude(x - position(items[1]));
      const Float4 dc = magnitude(x - position(items[2]));
      if (none3(max4(da, max4(db, dc)) > half_)) {
        const int ia = all3(da <= t4_) ? items[0] : kNone;
        const int ib = all3(db <= t4_) ? items[1] : kNone;
        const int ic = all3(dc <= t4_) ? items[2] : kNone;
        const int ab = ia < ib ? ia : ib;
        const int first = ab < ic ? ab : ic;
        shifted = x;
        return first == kNone ? -1 : first;
      }
    }
    return findFirstInFull(bucket, x, shifted);
  }

  /// findFirst reading every entry the bucket lists, with the full coincidence test.
  __attribute__((noinline)) int findFirstInFull(int bucket, Float4 x, Float4& shifted) const {
    int best = -1;
    const Vector3f xs{x[0], x[1], x[2]};
    grid_.forEachInBucket(bucket, [&](int index) {
      if (best >= 0 && index > best) return;
      const Float4 p = position(index);
      Vector3f candidate;
      if (coincides(xs, {p[0], p[1], p[2]}, t_, candidate)) {
        best = index;
        shifted = float4(candidate[0], candidate[1], candidate[2]);
      }
    });
    return best;
  }

  /// Averages `shifted` (lane 3 zero) into entry `index`.
  void mergeInto(int index, Float4 shifted) {
    int& n = counts_[static_cast<std::size_t>(index)];
    const Float4 e = position(index);
    Float4 p = float4(averageCoordinate(e[0], n, shifted[0]), averageCoordinate(e[1], n, shifted[1]),
                      averageCoordinate(e[2], n, shifted[2]));
    if (!all3((p >= low_) & (p < high_))) {
      for (int k = 0; k < 3; ++k) p[k] = keepInCell(p[k]);
    }
    positions_[static_cast<std::size_t>(index)] = p;
    ++n;
    grid_.move(index, p);
  }

  /// Entry `index` now lies at p (lane 3 zero), with `added` more positions averaged in.
  void setAveraged(int index, Float4 p, int added) {
    positions_[static_cast<std::size_t>(index)] = p;
    counts_[static_cast<std::size_t>(index)] += added;
    grid_.move(index, p);
  }

  /// Appends `atom` at x (lane 3 zero) with count 1.
  void append(const UnitCellAtom& atom, Float4 x) {
    atoms_.push_back(atom);
    atoms_.back().setPosition({x[0], x[1], x[2]});
    atoms_.back().averagedCount = 1;
    positions_.push_back(x);
    counts_.push_back(1);
    types_.push_back(atom.typeNumber);
    grid_.insert({x[0], x[1], x[2]});
  }

  /// Positions and counts back into the atoms.
  void finish() {
    for (std::size_t i = 0; i < positions_.size(); ++i) atoms_[i] = atom(i);
  }

 private:
  std::vector<UnitCellAtom>& atoms_;
  std::vector<Float4> positions_;
  std::vector<int> counts_;
  std::vector<int> types_;
  /// abs4 with its mask read from memory rather than built in a register each time.
  Float4 magnitude(Float4 v) const { return reinterpret_cast<Float4>(reinterpret_cast<Int4>(v) & magnitudeMask_); }

  Vector3f t_;
  Float4 t4_;
  // Constants the tests read in every lane; as members they are read from memory in
  // place, where literals would be rebuilt in a register around every call.
  Int4 magnitudeMask_ = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
  Float4 half_ = splat4(0.5f);
  Float4 low_ = splat4(kCellLow);
  Float4 high_ = splat4(kCellHigh);
  FractionalGrid grid_;
};

}  // namespace tessera
