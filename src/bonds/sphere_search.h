#pragma once
// The search for coordination spheres through a cell list. The images of every
// atom (sign, operator, centring translation) are binned by their position in the
// cell; a central atom reads only the bins within reach and tries, per image, the
// whole-cell translations that bring it there. The candidates that enter are then
// put in the order the plain loops over atoms, signs, operators, centring
// translations and cell translations would meet them, so duplicates, the kept
// entries and their order are those of the plain search.

#include <array>
#include <vector>

#include "bonds/coordination_sphere.h"

namespace tessera {

class SphereSearch {
 public:
  /// A search over `sites` under `crystal`'s symmetry (its operator table built) with the
  /// cell metric, for neighbours up to `limit` Angstrom.
  SphereSearch(const CrystalRecord& crystal, const std::vector<Site>& sites, const BondMetric& metric, float limit);

  /// The coordination sphere of site `central` (0-based).
  CoordinationSphere sphereOf(int central) const;

  /// Candidate positions tried so far (for tests and tuning).
  long long candidatesTried() const { return tried_; }

 private:
  struct Image {
    Vector3f position;          ///< before the cell translation
    int atom;                   ///< 0-based site
    std::array<int, 3> shift;   ///< whole cells taken off to bin it (0 along an aperiodic axis)
  };
  struct Found {
    int image;
    std::array<int, 3> cell;    ///< the translation (u, v, w)
    SphereEntry entry;
  };

  void buildImages(const CrystalRecord& crystal, const std::vector<Site>& sites);
  void buildBins(float radius);
  /// Every candidate within `radius` of xc, in search order.
  std::vector<Found> collect(const Vector3f& xc, float radius) const;
  /// The distinct entries of found candidates (first of coincident positions kept).
  static std::vector<SphereEntry> distinct(const std::vector<Found>& found);
  /// The radius to search first: the limit, or a smaller one when the sphere at the
  /// limit would hold far more than the capacity.
  float firstRadius() const;

  const std::vector<Site>& sites_;
  BondMetric metric_;
  float limit_;
  std::array<bool, 3> periodic_{};
  std::vector<Image> images_;  ///< in search order
  double cellVolume_ = 0.0;
  float duplicateReach_ = 0.0f;  ///< Angstrom: how far duplicates of one position can lie apart
  // Bins: images sorted by bin, each bin's images in search order.
  std::array<int, 3> bins_{1, 1, 1};
  std::array<double, 3> origin_{}, span_{1.0, 1.0, 1.0};
  std::vector<int> binStart_;
  std::vector<int> binned_;
  mutable long long tried_ = 0;
};

}  // namespace tessera
