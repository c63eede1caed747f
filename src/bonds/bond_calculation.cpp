#include "bonds/bond_calculation.h"

#include <algorithm>
#include <cmath>

#include "bonds/sphere_search.h"
#include "symmetry/symmetry_operators.h"
#include "transform/listing_format.h"

namespace tessera {

namespace {

/// The angle section: every pair of neighbours within the angle limit whose distance
/// apart is within the ligand-ligand limit.
void appendAngles(std::string& out, const std::vector<Site>& sites, const CoordinationSphere& sphere,
                  const BondMetric& metric, const BondParameters& parameters) {
  out += "\n  Outer atoms - bonds and angles\n";
  out += "     No. Input Type Label  -  No. Input Type Label    Distance     Angle\n";
  const std::vector<SphereEntry>& e = sphere.entries;
  int written = 0;
  for (std::size_t i = 0; i < e.size(); ++i) {
    if (!(e[i].distance <= parameters.angleLimit)) continue;
    for (std::size_t j = i + 1; j < e.size(); ++j) {
      if (!(e[j].distance <= parameters.angleLimit)) continue;
      const Vector3f d = {e[j].position[0] - e[i].position[0], e[j].position[1] - e[i].position[1],
                          e[j].position[2] - e[i].position[2]};
      const float dij = std::sqrt(metric.squaredLength(d));
      if (!(dij <= parameters.ligandLigandLimit)) continue;
      // In double and clamped: a straight line through the centre rounds past -1 in single precision.
      const double di = e[i].distance, dj = e[j].distance, dd = dij;
      const double cosine = std::clamp((di * di + dj * dj - dd * dd) / (2.0 * di * dj), -1.0, 1.0);
      const double angle = std::acos(cosine) * 57.29578;
      const Site& a = sites[static_cast<std::size_t>(e[i].atom - 1)];
      const Site& b = sites[static_cast<std::size_t>(e[j].atom - 1)];
      appendListed(out, "%3d %3d %5d %3d   %-6s   %3d %5d %3d   %-6s %10.5f   %10.5f \n", ++written,
                   static_cast<int>(i) + 1, e[i].atom, a.typeNumber, a.label.c_str(), static_cast<int>(j) + 1, e[j].atom,
                   b.typeNumber, b.label.c_str(), dij, angle);
    }
  }
}

}  // namespace

void appendBondBlock(std::string& out, bool newAtoms, int number, const std::vector<Site>& sites,
                     const CoordinationSphere& sphere, const BondMetric& metric, const BondParameters& parameters) {
  const Site& c = sites[static_cast<std::size_t>(number - 1)];
  out += newAtoms ? "New symmetry-unique atoms\n" : "Old symmetry-unique atoms\n";
  appendListed(out, "\n Central:%5d %-6s - Type: %3d - Fr. Co.: %f %f %f \n", number, c.label.c_str(), c.typeNumber, c.x,
               c.y, c.z);
  out += "  No.  Input Type Label     Distance         Fractional Coordinates\n";
  for (std::size_t i = 0; i < sphere.entries.size(); ++i) {
    const SphereEntry& e = sphere.entries[i];
    const Site& n = sites[static_cast<std::size_t>(e.atom - 1)];
    appendListed(out, " %3d  %5d  %3d  %-6s  %10.5f    %10.5f %10.5f %10.5f\n", static_cast<int>(i) + 1, e.atom,
                 n.typeNumber, n.label.c_str(), e.distance, e.position[0], e.position[1], e.position[2]);
  }
  if (parameters.angles) appendAngles(out, sites, sphere, metric, parameters);
}

bool calculateBonds(CrystalDocument& doc, int central, const BondParameters& parameters, UserInterface& ui,
                    std::string& out) {
  CrystalRecord& crystal = doc.active();
  const std::vector<Site>& sites = doc.activeSites();
  if (crystal.matricesValid == 0) BuildSymmetryMatrices(crystal, ui);
  const std::optional<BondMetric> metric = bondMetric(crystal.cell);
  if (!metric) {
    ui.message(kBondCellMessage);
    return false;
  }
  crystal.reciprocalLengths = metric->reciprocal;
  BusyCursor busy(ui);
  const SphereSearch search(crystal, sites, *metric, parameters.centralLigandLimit);
  const int count = static_cast<int>(sites.size());
  const int first = central < 0 ? 1 : central;
  const int last = central < 0 ? count : std::min(central, count);
  const bool newAtoms = doc.activeCrystal == 1;
  for (int c = std::max(first, 1); c <= last; ++c) {
    const CoordinationSphere sphere = search.sphereOf(c - 1);
    if (sphere.overfull) ui.message(kTooManyAtomsMessage);
    appendBondBlock(out, newAtoms, c, sites, sphere, *metric, parameters);
  }
  return true;
}

}  // namespace tessera
