#include "reference_sum.h"

#include <cmath>

#include "core/cell_geometry.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera::test {

namespace {

constexpr double kPi = 3.141592653589793;

struct RefAtom {
  Vec3 x;
  const Site* site;
  Mat3 rotation;
};

double wrap(double v) { return v - std::floor(v); }

bool sameSpot(const Vec3& a, const Vec3& b) {
  for (int i = 0; i < 3; ++i) {
    double d = std::abs(a[i] - b[i]);
    d = std::min(d, 1 - d);
    if (d > 1e-4) return false;
  }
  return true;
}

std::vector<RefAtom> expandCell(CrystalDocument& doc) {
  CrystalRecord& c = doc.crystals[0];
  ScriptedUserInterface ui;
  BuildSymmetryMatrices(c, ui);
  const bool inversion = c.acentric == 0 && c.inversionOffOrigin == 0;
  std::vector<RefAtom> atoms;
  for (const Site& s : doc.sites[0]) {
    std::vector<Vec3> seen;
    for (int k = 0; k < c.opCount; ++k) {
      const SymmetryOperator& op = c.operators[static_cast<std::size_t>(k)];
      for (int sign = 1; sign >= (inversion ? -1 : 1); sign -= 2)
        for (const Vector3f& t : centringTranslations(c.latticeCode)) {
          Vec3 y{};
          Mat3 r{};
          for (std::size_t i = 0; i < 3; ++i) {
            y[i] = op.translation[i] + t[i];
            for (std::size_t j = 0; j < 3; ++j) {
              r[i][j] = op.rotation[i][j];
              y[i] += sign * op.rotation[i][j] * (j == 0 ? s.x : j == 1 ? s.y : s.z);
            }
            y[i] = wrap(y[i]);
          }
          bool dup = false;
          for (const Vec3& v : seen) dup = dup || sameSpot(v, y);
          if (dup) continue;
          seen.push_back(y);
          atoms.push_back({y, &s, r});
        }
    }
  }
  return atoms;
}

}  // namespace

std::complex<double> referenceF(CrystalDocument& doc, const ScatteringTable& table, int h, int k, int l,
                                bool neutron, double defaultB) {
  const Cell& cell = doc.crystals[0].cell;
  Mat3 g = directMetric(cell), gStar{};
  invert3(g, gStar);
  const double hv[3] = {double(h), double(k), double(l)};
  double q = 0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) q += hv[i] * gStar[i][j] * hv[j];
  const double s2 = q / 4;
  std::complex<double> f = 0;
  for (const RefAtom& a : expandCell(doc)) {
    const Site& s = *a.site;
    double fs = 0;
    for (const SiteOccupant& o : s.occupants) {
      const auto& v = table.rows[static_cast<std::size_t>(o.typeNumber - 1)].values;
      double x = v[8];
      for (int n = 0; n < 4; ++n) x += v[2 * n] * std::exp(-v[2 * n + 1] * s2);
      fs += o.occupancy * (neutron ? v[9] : x);
    }
    double t = 1;
    if (s.ortepType == 6) t = std::exp(-s.isoValue * s2);
    if (s.ortepType < 0) t = std::exp(-defaultB * s2);
    if (s.ortepType == 8) {
      // U in the cell's reciprocal frame: Q = 2 pi^2 sum U_ij a*_i a*_j h'_i h'_j with h' = h R.
      const int ij[6][2] = {{0, 0}, {1, 1}, {2, 2}, {0, 1}, {0, 2}, {1, 2}};
      Mat3 u{};
      for (int n = 0; n < 6; ++n) u[ij[n][0]][ij[n][1]] = u[ij[n][1]][ij[n][0]] = s.aniso[static_cast<std::size_t>(n)];
      double hp[3] = {0, 0, 0};
      for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) hp[j] += hv[i] * a.rotation[i][j];
      double qa = 0;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) qa += u[i][j] * std::sqrt(gStar[i][i] * gStar[j][j]) * hp[i] * hp[j];
      t = std::exp(-2 * kPi * kPi * qa);
    }
    const double phi = 2 * kPi * (h * a.x[0] + k * a.x[1] + l * a.x[2]);
    f += fs * t * std::polar(1.0, phi);
  }
  return f;
}

}  // namespace tessera::test
