#pragma once
// Sites at one position taken as one site with several occupants.

#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Fractional distance per coordinate below which two sites are at one position.
constexpr float kDuplicateTolerance = 0.0002f;

/// Merges each site into the first earlier site within kDuplicateTolerance in x, y and z
/// (occupant 0 of the later site becomes a new occupant; the later site is removed).
/// A site that already holds kMaxOccupants keeps later duplicates as separate sites.
/// Shows "Duplicate atoms (multiple occupancies?) are being consolidated" once when
/// anything merges. Returns the number of sites removed.
int ConsolidateDuplicateSites(std::vector<Site>& sites, UserInterface& ui);

}  // namespace tessera
