#pragma once
// The coordination sphere of one central atom and the rules every search for it
// shares: the metric of the cell, the zero-distance threshold, the duplicate test,
// the 36-entry rule, and the reach of the whole-cell translations.

#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "core/cell_geometry.h"
#include "core/crystal_document.h"
#include "transform/transform_parameters.h"

namespace tessera {

/// Squared distances (A^2) at or below this are the central atom itself.
constexpr float kZeroDistanceSquared = 0.0002f;
/// Two positions of one atom closer than this in every fractional coordinate are one.
constexpr float kDuplicateTolerance = 0.0002f;
/// Entries a coordination sphere keeps.
constexpr int kSphereCapacity = 36;
/// Shown when a central atom has more distinct neighbours than the sphere keeps.
inline constexpr const char* kTooManyAtomsMessage = "Too many atoms in coordination sphere";
/// Positions with a fractional coordinate beyond this are not searched (single
/// precision no longer tells neighbouring cells apart there).
constexpr float kCoordinateBound = 1.0e6f;

/// One neighbour of the central atom.
struct SphereEntry {
  int atom = 0;           ///< 1-based number of the neighbour in the chosen site list
  float distance = 0.0f;  ///< Angstrom
  Vector3f position{};    ///< fractional, as generated (operator, centring and cell translation applied)
};

/// The neighbours of one central atom, in the order the search loops meet them.
struct CoordinationSphere {
  std::vector<SphereEntry> entries;  ///< at most kSphereCapacity
  bool overfull = false;             ///< more distinct neighbours existed; the nearest are kept
};

/// The metric of a cell in single precision, with the reciprocal lengths.
struct BondMetric {
  Matrix3f g{};              ///< G_ij = a_i . a_j (A^2)
  Vector3f reciprocal{};     ///< a*, b*, c* (1/A): square roots of the diagonal of G^-1

  /// d^T G d for a fractional difference d (A^2), in single precision.
  float squaredLength(const Vector3f& d) const {
    return d[0] * (g[0][0] * d[0] + g[0][1] * d[1] + g[0][2] * d[2]) +
           d[1] * (g[1][0] * d[0] + g[1][1] * d[1] + g[1][2] * d[2]) +
           d[2] * (g[2][0] * d[0] + g[2][1] * d[1] + g[2][2] * d[2]);
  }
};

/// The metric of a cell (angles in radians); nothing when the cell is unusable.
std::optional<BondMetric> bondMetric(const Cell& cell);

/// The central atom's coordinates: along each periodic axis brought into the cell by
/// one step only (below 0 add 1, then at 1 or more subtract 1).
Vector3f centralPosition(const Vector3f& stored, const std::array<int, 3>& aperiodic);
inline Vector3f centralPosition(const Site& site, const std::array<int, 3>& aperiodic) {
  return centralPosition(Vector3f{site.x, site.y, site.z}, aperiodic);
}

/// True when every coordinate is a number within kCoordinateBound.
bool searchablePosition(const Vector3f& p);

/// The candidate p = image + (u, v, w) in single precision as the search forms it.
inline Vector3f translated(const Vector3f& image, int u, int v, int w) {
  return {image[0] + static_cast<float>(u), image[1] + static_cast<float>(v), image[2] + static_cast<float>(w)};
}

/// True when a candidate at squared distance r2 enters a sphere of the given radius.
inline bool withinSphere(float r2, float radius) {
  return std::fabs(r2) > kZeroDistanceSquared && std::sqrt(r2) <= radius;
}

/// Half-width (fractions) of the range of positions along one axis that can lie within
/// `radius` of a central coordinate xc, widened for rounding: radius * reciprocal length
/// plus a margin that covers single-precision positions.
double translationReach(double radius, float reciprocal, float xc);

/// The images of atom j before the cell translation: sign s times R x_j, plus t, plus
/// the centring translation, for s, then the operators, then the centring translations
/// in search order. The sign -1 is tried when the crystal holds the inversion at the
/// origin (acentric 0, inversionOffOrigin 0).
void appendImages(const CrystalRecord& crystal, const Site& site, std::vector<Vector3f>& images);

/// The duplicate test: the same atom within kDuplicateTolerance in every coordinate.
inline bool sameNeighbour(const SphereEntry& a, int atom, const Vector3f& p) {
  return a.atom == atom && std::fabs(a.position[0] - p[0]) < kDuplicateTolerance &&
         std::fabs(a.position[1] - p[1]) < kDuplicateTolerance && std::fabs(a.position[2] - p[2]) < kDuplicateTolerance;
}

/// Keeps the kSphereCapacity nearest of the distinct entries (found order breaks ties),
/// listed in the order found; marks the sphere overfull when any were left out.
CoordinationSphere keepNearest(std::vector<SphereEntry> distinct);

}  // namespace tessera
