#pragma once
// Small structures the transformation tests run on, built in code.

#include <string>
#include <vector>

#include "core/cell_geometry.h"
#include "core/crystal_document.h"

namespace tessera::test {

/// A site with an isotropic B.
Site makeSite(const std::string& label, int type, float x, float y, float z, float b = 1.0f);

/// A document whose Old and New crystals both hold `lines` (acentric, lattice code and
/// cell as given, symmetry source 1 with the symbol) and whose input sites are `sites`.
CrystalDocument makeDocument(const std::string& symbol, const std::vector<std::string>& lines, int acentric,
                             int latticeCode, const Cell& cellInDegrees, const std::vector<Site>& sites);

/// Rock salt, F m -3 m, a = 5.64: Na at 0 0 0, Cl at 1/2 1/2 1/2 (8 atoms in the cell).
CrystalDocument rockSalt();
/// Low quartz in P 32 2 1 (9 atoms in the cell).
CrystalDocument quartz();
/// Corundum in R -3 c, hexagonal axes (30 atoms in the cell).
CrystalDocument corundum();
/// A P 1 21/c 1 structure with two anisotropic atoms (U) and one isotropic (12 atoms in the cell).
CrystalDocument monoclinic();
/// A P 1 structure of `count` random sites in a 10 x 11 x 12 A triclinic cell.
CrystalDocument randomP1(int count, unsigned seed);

/// The diagonal matrix diag(a, b, c).
std::array<std::array<float, 3>, 3> diagonal(float a, float b, float c);

}  // namespace tessera::test
