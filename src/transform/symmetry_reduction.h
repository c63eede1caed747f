#pragma once
// Reduction of the new-cell list to the symmetry-unique atoms under the New
// crystal's symmetry.

#include <string>
#include <vector>

#include "core/temperature_factor.h"
#include "core/user_interface.h"
#include "transform/unit_cell.h"

namespace tessera {

/// What the reduction reads besides the New crystal.
struct ReductionInput {
  const std::vector<UnitCellAtom>* newCell = nullptr;  ///< the new-cell list
  const std::vector<Site>* working = nullptr;          ///< site records by the entries' site index
  ReciprocalCell workingFrame;                         ///< cell the working records' factors refer to
  Vector3f tolerance{};                                ///< per new axis, fractions
};

/// Fills `unique` with the symmetry-unique atoms of the new-cell list under `crystal`'s
/// operator table (which must be built). Each new unique atom lies at the mean of
/// those of its own images that coincide with it; its auxNumber counts the entries
/// averaged into it and its factor becomes an isotropic B. "Not in cell" lines go to
/// `report` when given. False when memory ran out.
bool reduceBySymmetry(const CrystalRecord& crystal, const ReductionInput& in, std::vector<Site>& unique,
                      UserInterface& ui, std::string* report);

}  // namespace tessera
