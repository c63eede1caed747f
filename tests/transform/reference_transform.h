#pragma once
// A plain implementation of the unit-cell builder and of the merging steps of the
// full-unit-cell mode: every search is a scan over the whole list, every
// reduction a one-cell-at-a-time loop. The differential tests hold the indexed
// implementation to exactly these results.

#include <string>
#include <vector>

#include "transform/symmetry_reduction.h"
#include "transform/new_cell_list.h"

namespace tessera::reference {

/// One-at-a-time reduction into the cell.
float reduce(float u);

/// The unit-cell list of `sites` under the built operator table of `crystal`.
std::vector<UnitCellAtom> fillUnitCell(const CrystalRecord& crystal, const std::vector<Site>& sites,
                                       std::string& notInCell);

/// New and old lattice vector steps.
std::vector<UnitCellAtom> transfer(const std::vector<UnitCellAtom>& oldCell, const std::vector<Site>& sites,
                                   const NewCellTransfer& p, std::string& report);

/// The symmetry reduction.
std::vector<Site> reduceBySymmetry(const CrystalRecord& crystal, const ReductionInput& in, std::string& report,
                                   int& initialAtomMessages);

}  // namespace tessera::reference
