#include "bonds/reference_bonds.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "transform/unit_cell.h"

namespace tessera::test {

CoordinationSphere referenceSphere(const CrystalRecord& crystal, const std::vector<Site>& sites, int central, float limit,
                                   TranslationBounds bounds) {
  const BondMetric metric = *bondMetric(crystal.cell);
  const Vector3f xc = centralPosition(sites[static_cast<std::size_t>(central)], crystal.aperiodicAxes);
  const int signs = crystal.acentric == 0 && crystal.inversionOffOrigin == 0 ? 2 : 1;
  const std::vector<Vector3f>& centring = centringTranslations(crystal.latticeCode);

  std::vector<SphereEntry> found;
  for (std::size_t j = 0; j < sites.size(); ++j) {
    const Vector3f x{sites[j].x, sites[j].y, sites[j].z};
    for (int s = 0; s < signs; ++s) {
      for (int k = 0; k < crystal.opCount; ++k) {
        const SymmetryOperator& op = crystal.operators[static_cast<std::size_t>(k)];
        for (const Vector3f& c : centring) {
          Vector3f b = applyOperator(op, s == 0 ? 1.0f : -1.0f, x);
          for (std::size_t a = 0; a < 3; ++a) b[a] += c[a];
          if (!searchablePosition(b)) continue;
          std::array<std::array<long, 2>, 3> range{};
          for (std::size_t a = 0; a < 3; ++a) {
            if (crystal.aperiodicAxes[a]) continue;
            if (bounds == TranslationBounds::Literal) {
              const long u = static_cast<long>(limit * metric.reciprocal[a] + 1.99999f);
              range[a] = {-u, u};
            } else {
              range[a] = translationRange(xc[a], b[a], translationReach(limit, metric.reciprocal[a], xc[a]));
            }
          }
          for (long u = range[0][0]; u <= range[0][1]; ++u)
            for (long v = range[1][0]; v <= range[1][1]; ++v)
              for (long w = range[2][0]; w <= range[2][1]; ++w) {
                const Vector3f p = translated(b, static_cast<int>(u), static_cast<int>(v), static_cast<int>(w));
                const float r2 = metric.squaredLength({p[0] - xc[0], p[1] - xc[1], p[2] - xc[2]});
                if (withinSphere(r2, limit)) found.push_back({static_cast<int>(j) + 1, std::sqrt(r2), p});
              }
        }
      }
    }
  }

  std::vector<SphereEntry> kept;
  for (const SphereEntry& e : found) {
    const bool duplicate = std::any_of(kept.begin(), kept.end(), [&](const SphereEntry& k) {
      return k.atom == e.atom && std::fabs(k.position[0] - e.position[0]) < 0.0002f &&
             std::fabs(k.position[1] - e.position[1]) < 0.0002f && std::fabs(k.position[2] - e.position[2]) < 0.0002f;
    });
    if (!duplicate) kept.push_back(e);
  }
  CoordinationSphere sphere;
  if (kept.size() <= 36) {
    sphere.entries = kept;
    return sphere;
  }
  sphere.overfull = true;
  std::vector<std::size_t> order(kept.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return kept[a].distance < kept[b].distance; });
  order.resize(36);
  std::sort(order.begin(), order.end());
  for (std::size_t i : order) sphere.entries.push_back(kept[i]);
  return sphere;
}

}  // namespace tessera::test
