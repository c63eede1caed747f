#include "diffraction/precession.h"

#include <algorithm>
#include <cmath>

#include "core/cell_geometry.h"
#include "core/text.h"
#include "diffraction/pattern_models.h"
#include "diffraction/powder.h"
#include "diffraction/reflections.h"
#include "diffraction/structure_factor.h"
#include "transform/unit_cell.h"

namespace tessera {

namespace {

constexpr double kRadToDeg = 57.29577951308232;

Vec3 cross(const Vec3& u, const Vec3& v) {
  return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}
double dot(const Vec3& u, const Vec3& v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }
double norm(const Vec3& u) { return std::sqrt(dot(u, u)); }

/// Segment of the line p + t dir inside the circle of radius r; false when it misses.
bool clipToCircle(double px, double py, double dx, double dy, double r, std::array<double, 4>& out) {
  const double a = dx * dx + dy * dy, b = 2 * (px * dx + py * dy), c = px * px + py * py - r * r;
  const double disc = b * b - 4 * a * c;
  if (a <= 0 || disc <= 0) return false;
  const double t1 = (-b - std::sqrt(disc)) / (2 * a), t2 = (-b + std::sqrt(disc)) / (2 * a);
  out = {px + t1 * dx, py + t1 * dy, px + t2 * dx, py + t2 * dy};
  return true;
}

}  // namespace

int nearestInt(double x) {
  if (!std::isfinite(x)) return 0;
  x = std::clamp(x, -1e9, 1e9);
  return static_cast<int>(x >= 0 ? x + 0.5 : x - 0.5);
}

std::array<int, 3> PrecessionGeometry::indices(int i, int j) const {
  std::array<int, 3> hkl{};
  hkl[static_cast<std::size_t>(horizontal)] = i;
  hkl[static_cast<std::size_t>(other)] = j;
  hkl[static_cast<std::size_t>(normal)] = level;
  return hkl;
}

PrecessionGeometry precessionGeometry(const std::array<float, 6>& cell, const PrecessionSettings& s) {
  PrecessionGeometry g;
  g.horizontal = std::clamp(s.horizontalAxis, 0, 2);
  g.other = std::clamp(s.otherAxis, 0, 2);
  g.normal = 3 - g.horizontal - g.other;
  g.level = s.level;
  g.lambda = s.precessionWavelength;
  const double mu = s.precessionAngle * 0.017453292519943295;
  g.sinMu = std::sin(mu);
  g.cosMu = std::sqrt(1 - g.sinMu * g.sinMu);
  if (g.horizontal == g.other || !(g.lambda > 0) || cellVolume(cell) <= 0) return g;

  // Reciprocal axes in Cartesian coordinates.
  const Mat3 direct = cartesianAxes(cell);
  const double volume = dot(direct[0], cross(direct[1], direct[2]));
  std::array<Vec3, 3> star;
  for (std::size_t i = 0; i < 3; ++i) {
    const Vec3 c = cross(direct[(i + 1) % 3], direct[(i + 2) % 3]);
    star[i] = {c[0] / volume, c[1] / volume, c[2] / volume};
    g.reciprocal[i] = norm(star[i]);
  }
  const Vec3& h = star[static_cast<std::size_t>(g.horizontal)];
  const Vec3& o = star[static_cast<std::size_t>(g.other)];
  const Vec3& n = star[static_cast<std::size_t>(g.normal)];
  const Vec3 e1{h[0] / norm(h), h[1] / norm(h), h[2] / norm(h)};
  Vec3 e3 = cross(h, o);
  const double e3n = norm(e3);
  e3 = {e3[0] / e3n, e3[1] / e3n, e3[2] / e3n};
  Vec3 e2 = cross(e3, e1);
  if (dot(o, e2) < 0) e2 = {-e2[0], -e2[1], -e2[2]};  // the other axis points up the film
  g.a = norm(h);
  g.bc = dot(o, e1);
  g.bs = dot(o, e2);
  // Layer n lies n / |direct normal axis| above the zero layer; over an oblique normal
  // axis it is shifted in the plane as well.
  const double height = std::abs(dot(n, e3));
  g.zeta = g.level * g.lambda * height;
  g.offsetX = g.level * dot(n, e1);
  g.offsetY = g.level * dot(n, e2);

  const double q = g.cosMu - g.zeta;
  if (q * q > 1) return g;  // zeta > 1 + cos(mu): the layer cannot be recorded
  g.r = std::sqrt(1 - q * q);
  g.k = g.sinMu * g.sinMu - g.r * g.r;
  if (g.level == 0) {
    g.rOut = 2 * g.r / g.lambda;
    g.rIn = 0;
  } else {
    g.rOut = (g.r + g.sinMu) / g.lambda;
    g.rIn = std::abs(g.r - g.sinMu);
  }
  const double sinG = g.bs / std::sqrt(g.bc * g.bc + g.bs * g.bs);
  const double reach = g.rOut + std::hypot(g.offsetX, g.offsetY);
  g.hRange = std::min(nearestInt(reach / (g.a * sinG)) + 2, 5000);
  g.oRange = std::min(nearestInt(reach / g.bs) + 2, 5000);
  g.recordable = true;
  return g;
}

double precessionLp(const PrecessionGeometry& g, double rho, double d, bool neutron, bool& blind) {
  double lPrime = 0.001;
  if (rho > 0) {
    const double c = std::clamp((rho * rho + g.k) / (rho * 2 * g.sinMu), -1.0, 1.0);
    lPrime = std::max(std::sqrt(1 - c * c) * g.sinMu * rho, 0.001);
  }
  double l = 0.2 / lPrime;
  blind = l > 10;
  if (blind) l = 2.0;
  const double sinTheta = std::min(g.lambda / (2 * d), 1.0);
  const double cos2t = 1 - 2 * sinTheta * sinTheta;
  const double p = neutron ? 1.0 : (1 + cos2t * cos2t) / 2;
  return l * p;
}

double PrecessionPattern::fAt(int i, int j) const {
  const int w = 2 * geometry.oRange + 1;
  if (std::abs(i) > geometry.hRange || std::abs(j) > geometry.oRange || layerF.empty()) return 0;
  return layerF[static_cast<std::size_t>((i + geometry.hRange) * w + j + geometry.oRange)];
}

double PrecessionPattern::dAt(int i, int j) const {
  const int w = 2 * geometry.oRange + 1;
  if (std::abs(i) > geometry.hRange || std::abs(j) > geometry.oRange || layerD.empty()) return 1e20;
  return layerD[static_cast<std::size_t>((i + geometry.hRange) * w + j + geometry.oRange)];
}

PrecessionPattern calculatePrecession(CrystalDocument& doc, const ScatteringTable& table, UserInterface& ui) {
  const int crystalIndex = doc.activeCrystal == 1 ? 1 : 0;
  CrystalRecord& crystal = doc.crystals[static_cast<std::size_t>(crystalIndex)];
  PrecessionPattern p;
  p.crystal = crystalIndex;
  p.title = doc.title;
  p.hmSymbol = crystal.hmSymbol;
  p.cell = crystal.cell;
  p.settings = doc.precessionSettings;
  p.neutron = doc.powderSettings.radiationMode == kNeutronMode;
  p.geometry = precessionGeometry(crystal.cell, p.settings);
  const PrecessionGeometry& g = p.geometry;
  for (std::size_t i = 0; i < 3; ++i) crystal.reciprocalLengths[i] = static_cast<float>(g.reciprocal[i]);
  if (!g.recordable) return p;

  const CrystalCell cell = buildCrystalCell(doc, crystalIndex, ui);
  StructureFactorCalculator calculator(crystal, cell.sites, cell.atoms, table, p.neutron, doc.powderSettings.defaultB);
  std::array<int, 3> range{};
  range[static_cast<std::size_t>(g.horizontal)] = g.hRange;
  range[static_cast<std::size_t>(g.other)] = g.oRange;
  range[static_cast<std::size_t>(g.normal)] = g.level;
  calculator.prepareIndexRange(range[0], range[1], range[2]);

  std::optional<ReflectionRules> rules;
  if (p.settings.showExtinctions) {
    SgInfo sg;
    if (buildCrystalSgInfo(crystal, sg, ui)) rules.emplace(sg);
  }
  p.f000 = std::sqrt(calculator.compute(0, 0, 0, 1e20).f2());
  p.minReciprocal = std::min({g.reciprocal[0], g.reciprocal[1], g.reciprocal[2]});
  // An empty or all-zero structure has no spots rather than infinite ones.
  p.spotScale = p.f000 > 1e-12 ? 0.5 * p.settings.intensityFactor * p.minReciprocal / p.f000 : 0.0;

  const int w = 2 * g.oRange + 1;
  p.layerF.assign(static_cast<std::size_t>((2 * g.hRange + 1) * w), 0.0);
  p.layerD.assign(p.layerF.size(), 1e20);
  const double r2 = g.rOut * g.rOut;
  for (int i = -g.hRange; i <= g.hRange; ++i)
    for (int j = -g.oRange; j <= g.oRange; ++j) {
      const auto [x, y] = g.position(i, j);
      if (x * x + y * y > r2) continue;
      PrecessionSpot s;
      s.i = i;
      s.j = j;
      s.x = x;
      s.y = y;
      const std::array<int, 3> hkl = g.indices(i, j);
      s.h = hkl[0];
      s.k = hkl[1];
      s.l = hkl[2];
      const double rho = g.lambda * std::hypot(x, y);
      if (p.settings.useLp && g.level > 0 && rho < g.rIn) continue;
      s.d = dSpacing(crystal.cell, s.h, s.k, s.l);
      s.absF = std::sqrt(calculator.compute(s.h, s.k, s.l, s.d).f2());
      const std::size_t at = static_cast<std::size_t>((i + g.hRange) * w + j + g.oRange);
      p.layerF[at] = s.absF;
      p.layerD[at] = s.d;
      if (rules && rules->isAbsent(s.h, s.k, s.l)) {
        s.absent = true;
        p.spots.push_back(s);
        continue;
      }
      s.lp = p.settings.useLp ? precessionLp(g, rho, s.d, p.neutron, s.blind) : 1.0;
      s.radius = s.absF * p.spotScale * s.lp;
      p.spots.push_back(s);
    }

  if (p.settings.showGrid) {
    std::array<double, 4> seg{};
    for (int i = -g.hRange; i <= g.hRange; ++i) {
      const auto [x, y] = g.position(i, 0);
      if (clipToCircle(x, y, g.bc, g.bs, g.rOut, seg)) p.grid.push_back(seg);
    }
    for (int j = -g.oRange; j <= g.oRange; ++j) {
      const auto [x, y] = g.position(0, j);
      if (clipToCircle(x, y, g.a, 0, g.rOut, seg)) p.grid.push_back(seg);
    }
  }
  return p;
}

std::optional<std::string> precessionReadout(const PrecessionPattern& p, double x, double y, double slack) {
  const PrecessionGeometry& g = p.geometry;
  if (!g.recordable) return std::nullopt;
  const double limit = g.rOut + std::max(slack, 0.0);
  if (x * x + y * y > limit * limit) return std::nullopt;
  const double jf = (y - g.offsetY) / g.bs;
  const double iff = (x - g.offsetX - jf * g.bc) / g.a;
  const int i = nearestInt(iff), j = nearestInt(jf);
  if (std::abs(iff - i) > 0.2 || std::abs(jf - j) > 0.2) return std::nullopt;
  const std::array<int, 3> hkl = g.indices(i, j);
  const double d = dSpacing(p.cell, hkl[0], hkl[1], hkl[2]);
  const double f = p.fAt(i, j);
  bool blind = false;
  const auto [px, py] = g.position(i, j);
  const double lp = p.settings.useLp ? precessionLp(g, g.lambda * std::hypot(px, py), d, p.neutron, blind) : 1.0;
  return format("Indices: %d  %d  %d \nd-spacing:  %f \n|F|:  %f \nInt:  %f \nLp:  %f", hkl[0], hkl[1], hkl[2], d, f,
                lp * f, lp);
}

std::array<std::string, 3> precessionHeader(const PrecessionPattern& p) {
  const auto& names = PrecessionDialogModel::axisNames();
  const PrecessionSettings& s = p.settings;
  return {crystalLine(p.crystal, p.title),
          format("Hor. axis: %s  Other axis: %s  Level: %d  Lambda: %8.5f  Mu angle: %5.1f  Xtl-film(mm): %5.1f",
                 names[static_cast<std::size_t>(p.geometry.horizontal)], names[static_cast<std::size_t>(p.geometry.other)],
                 s.level, static_cast<double>(s.precessionWavelength), s.precessionAngle, s.crystalFilmDistance),
          format("Space group: %s  Direct cell: %9.4f %9.4f %9.4f %7.2f %7.2f %7.2f", p.hmSymbol.c_str(), p.cell[0],
                 p.cell[1], p.cell[2], p.cell[3] * kRadToDeg, p.cell[4] * kRadToDeg, p.cell[5] * kRadToDeg)};
}

}  // namespace tessera
