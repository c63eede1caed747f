#pragma once
// Temperature-factor forms and the conversion between them, keyed by the ORTEP
// type numbers: 0-3 anisotropic beta, 4-5 anisotropic B, 8-9 anisotropic U,
// 6 isotropic B, 7 root-mean-square amplitude, 10 isotropic U, -1 none.

#include <array>

#include "core/cell_geometry.h"
#include "core/crystal_document.h"

namespace tessera {

/// 8 pi^2 and its inverse, single precision as the conversions use them.
constexpr float kEightPiSq = 78.95683f;
constexpr float kInvEightPiSq = 0.012665148f;

/// Reciprocal cell of one crystal, with the direct metric kept for equivalent values.
struct ReciprocalCell {
  double aStar = 0, bStar = 0, cStar = 0;                 ///< 1/Angstrom
  double cosAlphaStar = 0, cosBetaStar = 0, cosGammaStar = 0;
  std::array<double, 6> products{};                      ///< a*^2, b*^2, c*^2, a*b*, a*c*, b*c*
  Mat3 direct{};                                          ///< direct metric tensor (A^2)
  bool valid = false;                                     ///< false for a degenerate cell
};

/// Reciprocal cell of a cell given in radians.
ReciprocalCell prepareReciprocalCell(const Cell& cell);

/// A converted temperature factor.
struct TemperatureFactor {
  int type = -1;                 ///< ORTEP type produced, -1 when the site has none
  float iso = 0.0f;              ///< isotropic value (types 6, 7, 10)
  std::array<float, 6> aniso{};  ///< anisotropic values in (11) (22) (33) (12) (13) (23) order
};

/// True for the isotropic types 6, 7 and 10.
bool isIsotropicType(int ortepType);
/// True for the anisotropic types 0-5, 8 and 9.
bool isAnisotropicType(int ortepType);

/// Converts a site's factor to the given concrete target type (0-10). A site
/// without a factor (or with a type outside 0-10) gives type -1. Anisotropic to
/// isotropic uses the true equivalent value (one third of the trace of the
/// tensor in Cartesian axes).
TemperatureFactor convertTemperatureFactor(const Site& site, int target, const ReciprocalCell& rc);

/// The equivalent isotropic B of a site (0 when it has no factor).
float equivalentB(const Site& site, const ReciprocalCell& rc);

}  // namespace tessera
