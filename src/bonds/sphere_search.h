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

  /// The spheres of sites `first` to `last` (0-based, inclusive), in that order. They are
  /// searched in the order of their place in the cell, so that neighbouring searches read
  /// the same bins.
  std::vector<CoordinationSphere> spheresOf(int first, int last) const;

  /// Candidate positions tried so far (for tests and tuning).
  long long candidatesTried() const { return tried_; }

 private:
  struct Image {
    Vector3f position;          ///< before the cell translation
    int atom;                   ///< 0-based site
    std::array<int, 3> shift;   ///< whole cells taken off to bin it (0 along an aperiodic axis)
    int id;                     ///< place in search order
  };
  struct Found {
    int image;
    std::array<int, 3> cell;    ///< the translation (u, v, w)
    SphereEntry entry;
  };

  void buildImages(const CrystalRecord& crystal, const std::vector<Site>& sites);
  void buildBins(float radius);
  /// The bin of a position (0-based index into binStart_).
  int binOf(const Vector3f& p) const;
  /// Every candidate within `radius` of xc, in search order (into found_).
  void collect(const Vector3f& xc, float radius) const;
  /// The sphere about a central atom stored at `stored` (fractions).
  CoordinationSphere sphereAt(const Vector3f& stored) const;
  /// The distinct entries of found candidates (first of coincident positions kept).
  static std::vector<SphereEntry> distinct(const std::vector<Found>& found);
  /// The radius to search first: the limit, or a smaller one when the sphere at the
  /// limit would hold far more than the capacity.
  float firstRadius() const;

  const std::vector<Site>& sites_;
  BondMetric metric_;
  float limit_;
  std::array<bool, 3> periodic_{};
  std::vector<Image> images_;  ///< in search order until binned, then in bin order
  double cellVolume_ = 0.0;
  float duplicateReach_ = 0.0f;  ///< Angstrom: how far duplicates of one position can lie apart
  // Bins: the images of bin b are images_[binStart_[b]] to images_[binStart_[b + 1] - 1],
  // in search order, so that neighbouring bins along z are read as one run.
  std::array<int, 3> bins_{1, 1, 1};
  std::array<double, 3> origin_{}, span_{1.0, 1.0, 1.0};
  std::vector<int> binStart_;
  mutable long long tried_ = 0;
  mutable std::vector<Found> found_;  ///< scratch of collect, kept between searches
};

}  // namespace tessera
