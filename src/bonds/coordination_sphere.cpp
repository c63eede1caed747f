#include "bonds/coordination_sphere.h"

#include <algorithm>
#include <cfloat>
#include <numeric>

#include "transform/unit_cell.h"

namespace tessera {

std::optional<BondMetric> bondMetric(const Cell& cell) {
  if (!isUsableCell(cell)) return std::nullopt;
  const float a = cell[0], b = cell[1], c = cell[2];
  const float ca = std::cos(cell[3]), cb = std::cos(cell[4]), cg = std::cos(cell[5]);
  BondMetric m;
  m.g = {{{a * a, a * b * cg, a * c * cb}, {a * b * cg, b * b, b * c * ca}, {a * c * cb, b * c * ca, c * c}}};
  const MatrixInverse inverse = invertTransformMatrix(m.g);
  if (inverse.singular) return std::nullopt;
  for (std::size_t k = 0; k < 3; ++k) {
    m.reciprocal[k] = std::sqrt(inverse.inverse[k][k]);
    if (!std::isfinite(m.reciprocal[k]) || !(m.reciprocal[k] > 0.0f)) return std::nullopt;
  }
  return m;
}

Vector3f centralPosition(const Vector3f& stored, const std::array<int, 3>& aperiodic) {
  Vector3f x = stored;
  for (std::size_t k = 0; k < 3; ++k) {
    if (aperiodic[k]) continue;
    if (x[k] < 0.0f) x[k] += 1.0f;
    if (x[k] >= 1.0f) x[k] -= 1.0f;
  }
  return x;
}

bool searchablePosition(const Vector3f& p) {
  return std::fabs(p[0]) <= kCoordinateBound && std::fabs(p[1]) <= kCoordinateBound &&
         std::fabs(p[2]) <= kCoordinateBound;
}

double translationReach(double radius, float reciprocal, float xc) {
  const double reach = radius * static_cast<double>(reciprocal);
  // Relative slack for the single-precision distance, absolute slack for the rounding of
  // positions as large as the central coordinate plus the reach.
  return reach * (1.0 + 1e-5) + 1e-5 + 4.0 * FLT_EPSILON * (std::fabs(static_cast<double>(xc)) + reach + 2.0);
}

void appendImages(const CrystalRecord& crystal, const Site& site, std::vector<Vector3f>& images) {
  const int ops = usableOperatorCount(crystal);
  const std::vector<Vector3f>& centring = centringTranslations(crystal.latticeCode);
  const int signs = appliesInversion(crystal) ? 2 : 1;
  const Vector3f x{site.x, site.y, site.z};
  for (int s = 0; s < signs; ++s)
    for (int k = 0; k < ops; ++k) {
      const Vector3f y = applyOperator(crystal.operators[static_cast<std::size_t>(k)], s == 0 ? 1.0f : -1.0f, x);
      for (const Vector3f& c : centring) images.push_back({y[0] + c[0], y[1] + c[1], y[2] + c[2]});
    }
}

CoordinationSphere keepNearest(std::vector<SphereEntry> distinct) {
  CoordinationSphere sphere;
  if (distinct.size() <= static_cast<std::size_t>(kSphereCapacity)) {
    sphere.entries = std::move(distinct);
    return sphere;
  }
  sphere.overfull = true;
  std::vector<std::size_t> order(distinct.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto nearer = [&](std::size_t a, std::size_t b) {
    return distinct[a].distance < distinct[b].distance || (distinct[a].distance == distinct[b].distance && a < b);
  };
  std::nth_element(order.begin(), order.begin() + kSphereCapacity - 1, order.end(), nearer);
  order.resize(kSphereCapacity);
  std::sort(order.begin(), order.end());
  for (std::size_t i : order) sphere.entries.push_back(distinct[i]);
  return sphere;
}

}  // namespace tessera
