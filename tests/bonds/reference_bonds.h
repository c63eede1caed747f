#pragma once
// The coordination sphere by the plain nested loops: atoms, signs, operators,
// centring translations and cell translations, every candidate tried in that
// order. The cell-list search must give exactly this.

#include <vector>

#include "bonds/coordination_sphere.h"
#include "core/crystal_document.h"

namespace tessera::test {

/// How far the cell translations run.
enum class TranslationBounds {
  Literal,  ///< -U..U with U = trunc(limit a* + 1.99999) along each periodic axis
  Reaching  ///< per candidate, every translation that can reach the sphere
};

/// The sphere of site `central` (0-based) of `sites` under `crystal` (operator table built).
CoordinationSphere referenceSphere(const CrystalRecord& crystal, const std::vector<Site>& sites, int central, float limit,
                                   TranslationBounds bounds = TranslationBounds::Reaching);

}  // namespace tessera::test
