#include "bonds/neighbour_list.h"

#include <algorithm>
#include <cmath>

#include "core/cell_geometry.h"
#include "core/scripted_user_interface.h"
#include "transform/unit_cell.h"

namespace tessera::test {

namespace {

double cartesianLength(const Mat3& axes, double dx, double dy, double dz) {
  double sum = 0.0;
  for (std::size_t k = 0; k < 3; ++k) {
    const double v = dx * axes[0][k] + dy * axes[1][k] + dz * axes[2][k];
    sum += v * v;
  }
  return std::sqrt(sum);
}

int reachOf(const CrystalRecord& crystal, std::size_t axis, double limit) {
  if (crystal.aperiodicAxes[axis]) return 0;
  Mat3 inverse{};
  invert3(directMetric(crystal.cell), inverse);
  return static_cast<int>(std::ceil(limit * std::sqrt(inverse[axis][axis]))) + 2;
}

}  // namespace

std::vector<double> neighbourDistances(CrystalRecord& crystal, const std::vector<Site>& sites, int central, double limit) {
  // The builder tries a few whole cells only: give it the atoms in the cell.
  std::vector<Site> inCell = sites;
  for (Site& s : inCell)
    for (std::size_t k = 0; k < 3; ++k)
      if (!crystal.aperiodicAxes[k]) {
        float& v = k == 0 ? s.x : k == 1 ? s.y : s.z;
        v -= std::floor(v);
      }
  ScriptedUserInterface ui;
  std::vector<UnitCellAtom> atoms;
  fillUnitCellFrom(crystal, inCell, UnitCellHeading::OldCell, ui, atoms, nullptr);
  const Mat3 axes = cartesianAxes(crystal.cell);
  const Site& c = sites[static_cast<std::size_t>(central)];
  const int nu = reachOf(crystal, 0, limit), nv = reachOf(crystal, 1, limit), nw = reachOf(crystal, 2, limit);
  // The central atom as read, and its translation into the cell along periodic axes.
  std::array<double, 3> x = {c.x, c.y, c.z};
  for (std::size_t k = 0; k < 3; ++k)
    if (!crystal.aperiodicAxes[k]) x[k] -= std::floor(x[k]);
  std::vector<double> out;
  for (const UnitCellAtom& a : atoms)
    for (int u = -nu; u <= nu; ++u)
      for (int v = -nv; v <= nv; ++v)
        for (int w = -nw; w <= nw; ++w) {
          const double d = cartesianLength(axes, a.x + u - x[0], a.y + v - x[1], a.z + w - x[2]);
          if (d > 0.02 && d <= limit) out.push_back(d);
        }
  std::sort(out.begin(), out.end());
  return out;
}

double directDistance(const CrystalRecord& crystal, const std::array<float, 3>& p, const std::array<float, 3>& q) {
  return cartesianLength(cartesianAxes(crystal.cell), static_cast<double>(q[0]) - p[0], static_cast<double>(q[1]) - p[1],
                         static_cast<double>(q[2]) - p[2]);
}

}  // namespace tessera::test
