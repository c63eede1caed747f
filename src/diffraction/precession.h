#pragma once
// The precession photograph: the geometry of one reciprocal-lattice layer on the
// film of a precession camera, the recorded points with their spot sizes
// (structure factor, Lorentz-polarisation), the grid and the read-out.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "diffraction/scattering_table.h"

namespace tessera {

/// nearest(x): x + 0.5 truncated toward zero for x >= 0, x - 0.5 below 0.
int nearestInt(double x);

/// The layer and the recordable region (reciprocal Angstrom unless said otherwise).
struct PrecessionGeometry {
  bool recordable = false;  ///< false when the layer cannot be recorded (or the axes coincide)
  int horizontal = 0, other = 1, normal = 2, level = 0;
  double lambda = 0, sinMu = 0, cosMu = 0;
  double zeta = 0;      ///< height of the layer in units of 1/lambda
  double r = 0, k = 0;  ///< R and K of the Lorentz factor
  double rOut = 0;      ///< outer radius
  double rIn = 0;       ///< inner radius (dimensionless, compared with rho)
  std::array<double, 3> reciprocal{};  ///< a*, b*, c*
  double a = 0, bc = 0, bs = 0;        ///< layer basis: A, Bc, Bs
  double offsetX = 0, offsetY = 0;     ///< in-plane shift of an upper layer over an oblique normal
  int hRange = 0, oRange = 0;          ///< index ranges -H..H, -O..O

  /// In-plane position of lattice point (i, j).
  std::array<double, 2> position(int i, int j) const { return {i * a + j * bc + offsetX, j * bs + offsetY}; }
  /// h k l of layer point (i, j).
  std::array<int, 3> indices(int i, int j) const;
};

/// The geometry of the settings' layer for a cell (angles in radians).
PrecessionGeometry precessionGeometry(const std::array<float, 6>& cell, const PrecessionSettings& settings);

/// The Lorentz-polarisation factor at in-plane distance rho (dimensionless: lambda x
/// length) for a reflection of spacing d; `blind` is set for the Lorentz-blind region.
double precessionLp(const PrecessionGeometry& g, double rho, double d, bool neutron, bool& blind);

/// One recorded lattice point.
struct PrecessionSpot {
  int h = 0, k = 0, l = 0;
  int i = 0, j = 0;
  double x = 0, y = 0;   ///< in-plane position
  double radius = 0;     ///< spot radius (reciprocal Angstrom)
  double absF = 0, d = 0, lp = 1;
  bool absent = false;   ///< systematically absent (drawn as an extinction mark)
  bool blind = false;    ///< in the Lorentz-blind region
};

/// The photograph of one crystal.
struct PrecessionPattern {
  int crystal = 0;
  std::string title, hmSymbol;
  std::array<float, 6> cell{};
  PrecessionSettings settings;
  bool neutron = false;
  PrecessionGeometry geometry;
  double f000 = 0;
  double spotScale = 0;  ///< spot radius per unit |F| x Lp (reciprocal Angstrom)
  double minReciprocal = 0;
  std::vector<PrecessionSpot> spots;
  std::vector<std::array<double, 4>> grid;  ///< segments x1 y1 x2 y2 inside the outer circle
  /// For the read-out: |F| of any point of the layer.
  std::vector<double> layerF;  ///< (2H+1) x (2O+1), row i
  std::vector<double> layerD;

  double fAt(int i, int j) const;
  double dAt(int i, int j) const;
};

/// The pattern of the document's active crystal with its precession settings.
PrecessionPattern calculatePrecession(CrystalDocument& doc, const ScatteringTable& table, UserInterface& ui);

/// The read-out at an in-plane position, accepting `slack` beyond the outer circle;
/// nothing when outside or not within 0.2 of a lattice point.
std::optional<std::string> precessionReadout(const PrecessionPattern& p, double x, double y, double slack);

/// The three header lines above the photograph.
std::array<std::string, 3> precessionHeader(const PrecessionPattern& p);

}  // namespace tessera
