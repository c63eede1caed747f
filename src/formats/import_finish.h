#pragma once
// The common import finish: what every reader's findings become in the Old
// crystal (cell, symbols, symmetry source and assignment), and the passes that
// follow (occupancy rescaling, temperature-factor classification).

#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "formats/import_framework.h"

namespace tessera {

/// Turns the reader's findings into the Old crystal of the context's document and
/// assigns its symmetry (from the xyz lines when forceXyz or the options say so).
void FinishImport(ImportContext& context, bool forceXyz, const ImportResult& result);

/// Operators in the general position of a crystal: lines x 2 when completed by
/// inversion at the origin, x 2 (A B C I), 3 (R) or 4 (F) for the centring.
int generalMultiplicity(const CrystalRecord& crystal);

/// Sets each site's auxNumber to its number of distinct positions in the unit cell of the crystal.
void setSiteMultiplicities(CrystalRecord& crystal, std::vector<Site>& sites, UserInterface& ui);

/// SHELX-style site-occupation factors (relative to the general position) to
/// occupancies: occupancy / positions in the cell x general multiplicity. Sets each
/// input site's auxNumber to its positions in the cell.
void RescaleOccupancies(CrystalDocument& doc, UserInterface& ui);

/// Sets tfClass of every input site, tfMix and tfAnisoKind of the document
/// ("Mixture of temperature factor types detected" once when kinds differ).
void ClassifyTemperatureFactors(CrystalDocument& doc, UserInterface& ui);

/// When the symmetry lines hold every centring copy (F, R, A, B, C or I, tried in that
/// order), keeps one line per coset and sets the lattice; returns the lattice code set,
/// 0 when the lines hold no complete centring.
int reduceCentringCopies(CrystalRecord& crystal);

}  // namespace tessera
