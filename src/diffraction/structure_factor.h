#pragma once
// Structure factors of one crystal: every atom of the unit cell with its site's
// scattering amplitude and temperature factor, an anisotropic tensor turned with
// the operator that generated the atom (beta' = R beta R^T).

#include <array>
#include <vector>

#include "core/crystal_document.h"
#include "diffraction/scattering_table.h"
#include "transform/unit_cell.h"

namespace tessera {

/// A crystal's sites (a copy: the builder's per-site counts stay out of the document)
/// and every atom of its unit cell.
struct CrystalCell {
  std::vector<Site> sites;
  std::vector<UnitCellAtom> atoms;
};

/// The unit cell of crystal 0 (Old) or 1 (New) of the document, built without a report.
CrystalCell buildCrystalCell(CrystalDocument& doc, int crystal, UserInterface& ui);

/// Real and imaginary parts of F.
struct StructureFactor {
  double a = 0, b = 0;
  double f2() const { return a * a + b * b; }
};

/// The temperature factor of a site as exp(-s2 B) (isotropic) or exp(-h^T beta h)
/// (anisotropic, beta symmetric in reciprocal-lattice units).
struct SiteDisplacement {
  bool anisotropic = false;
  double b = 0;                  ///< isotropic B (A^2); 0 for no factor
  std::array<double, 9> beta{};  ///< row-major, symmetric
};

/// The displacement of a site by its ortepType: none -> defaultB, 6 iso B, 10 iso U,
/// 0-5, 8, 9 anisotropic (cross terms with factor 2 or 1), anything else T = 1.
/// reciprocalLengths are a*, b*, c*.
SiteDisplacement siteDisplacement(const Site& site, const std::array<double, 3>& reciprocalLengths, double defaultB);

/// beta' = R beta R^T.
std::array<double, 9> rotatedTensor(const std::array<double, 9>& beta, const SymmetryOperator& op);

/// Structure factors of one crystal with fixed atoms, scattering table and radiation.
class StructureFactorCalculator {
 public:
  /// `atoms` is the unit-cell list of `sites` under `crystal` (siteIndex and operatorIndex 1-based).
  StructureFactorCalculator(const CrystalRecord& crystal, const std::vector<Site>& sites,
                            const std::vector<UnitCellAtom>& atoms, const ScatteringTable& table, bool neutron,
                            double defaultB);

  /// Tables of exp(2 pi i n x) for |h| <= hmax, |k| <= kmax, |l| <= lmax: indices inside
  /// the range are computed by products, any others directly.
  void prepareIndexRange(int hmax, int kmax, int lmax);

  /// F of h k l at d-spacing d (s2 = (0.5/d)^2).
  StructureFactor compute(int h, int k, int l, double d) const;

  int atomCount() const { return static_cast<int>(x_.size()); }

 private:
  struct SiteGroup {
    std::size_t first = 0, count = 0;  ///< atoms [first, first + count)
    std::size_t site = 0;
    SiteDisplacement displacement;
  };
  StructureFactor computeDirect(int h, int k, int l, double s2) const;
  double amplitude(std::size_t site, double s2) const;
  double temperature(const SiteGroup& g, std::size_t atom, int h, int k, int l, double s2) const;

  const std::vector<Site>& sites_;
  const ScatteringTable& table_;
  bool neutron_;
  std::vector<SiteGroup> groups_;
  std::vector<double> x_, y_, z_;
  std::vector<std::array<double, 6>> beta_;  ///< per atom: 11 22 33 12 13 23 of the turned tensor
  std::array<int, 3> range_{-1, -1, -1};
  /// Per axis: real and imaginary parts, [(n + range) * atoms + atom].
  std::array<std::vector<double>, 3> re_, im_;
};

}  // namespace tessera
