#pragma once
// The new-cell list of the full-unit-cell mode: the atoms of the old cell carried
// into the new cell (new lattice vectors), then every entry's images under the
// old lattice translations (old lattice vectors), each merged into the first
// coincident entry in list order or appended.

#include <cstddef>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "transform/unit_cell.h"

namespace tessera {

/// What the transfer into the new cell needs.
struct NewCellTransfer {
  Matrix3f q{};                ///< inverse matrix; its rows are the old axes in the new cell
  Vector3f preMatrixShift{};   ///< fractions of the old cell
  Vector3f postMatrixShift{};  ///< fractions of the new cell
  Vector3f tolerance{};        ///< per new axis, fractions
  int searchRange = 1;         ///< n: old lattice translations -n..n along each old axis
  std::size_t limit = 0;       ///< most entries the list may reach (0: no limit)
  /// Apply an entry's old-lattice images in groups (repeated images at once, images found
  /// through slots and averaged in only where they can move an entry) where that provably
  /// gives what placing them one by one gives (false: always one by one).
  bool groupRepeatedImages = true;
};

/// How the transfer ended.
enum class TransferStatus { Done, TooManyAtoms, OutOfMemory };

/// Steps "new lattice vectors" and "old lattice vectors": fills `out` from the old-cell
/// list. `sites` gives the labels (by site index) for the different-types blocks,
/// which go to `report` when given.
TransferStatus transferToNewCell(const std::vector<UnitCellAtom>& oldCell, const std::vector<Site>& sites,
                                 const NewCellTransfer& p, std::vector<UnitCellAtom>& out, std::string* report);

/// The offset i q1 + j q2 + k q3 (fractions of the new cell) as both steps compute it.
inline Vector3f latticeOffset(const Matrix3f& q, int i, int j, int k) {
  const float fi = static_cast<float>(i), fj = static_cast<float>(j), fk = static_cast<float>(k);
  return {fi * q[0][0] + fj * q[1][0] + fk * q[2][0], fi * q[0][1] + fj * q[1][1] + fk * q[2][1],
          fi * q[0][2] + fj * q[1][2] + fk * q[2][2]};
}

}  // namespace tessera
