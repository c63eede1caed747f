#include "bonds/sphere_search.h"

#include <algorithm>
#include <cmath>

#include "transform/unit_cell.h"

namespace tessera {

namespace {

constexpr int kMaxBinsPerAxis = 1024;
/// A sphere expected to hold more than this many entries at the limit is searched
/// with a smaller radius first.
constexpr double kDirectSearchEntries = 512.0;
/// Entries the first smaller radius is expected to hold.
constexpr double kFirstRadiusEntries = 128.0;
constexpr double kSphereFactor = 4.18879020478639;  // 4/3 pi
/// Unwrapped bin indices stay within this, far from integer overflow.
constexpr long long kBinIndexBound = 1LL << 40;

long long floorIndex(double v) {
  if (!(v > -static_cast<double>(kBinIndexBound))) return -kBinIndexBound;
  if (!(v < static_cast<double>(kBinIndexBound))) return kBinIndexBound;
  return static_cast<long long>(std::floor(v));
}

long long floorDiv(long long a, long long b) {
  const long long q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

SphereSearch::SphereSearch(const CrystalRecord& crystal, const std::vector<Site>& sites, const BondMetric& metric,
                           float limit)
    : sites_(sites), metric_(metric), limit_(limit) {
  for (std::size_t k = 0; k < 3; ++k) periodic_[k] = crystal.aperiodicAxes[k] == 0;
  cellVolume_ = tessera::cellVolume(crystal.cell);
  // Positions that differ by less than the tolerance in every coordinate lie within this
  // of each other; a few such steps bound how far a dropped duplicate can lie from the
  // entry that stands for it.
  float edges = 0.0f;
  for (std::size_t k = 0; k < 3; ++k) edges += std::sqrt(metric_.g[k][k]);
  duplicateReach_ = 4.0f * kDuplicateTolerance * edges;
  buildImages(crystal, sites);
  buildBins(firstRadius());
}

void SphereSearch::buildImages(const CrystalRecord& crystal, const std::vector<Site>& sites) {
  std::vector<Vector3f> positions;
  for (std::size_t j = 0; j < sites.size(); ++j) {
    positions.clear();
    appendImages(crystal, sites[j], positions);
    for (const Vector3f& p : positions) {
      // A position that is not a number never enters a sphere.
      if (!searchablePosition(p)) continue;
      Image image{p, static_cast<int>(j), {0, 0, 0}};
      for (std::size_t k = 0; k < 3; ++k)
        if (periodic_[k]) image.shift[k] = static_cast<int>(std::floor(static_cast<double>(p[k])));
      images_.push_back(image);
    }
  }
}

float SphereSearch::firstRadius() const {
  if (!periodic_[0] || !periodic_[1] || !periodic_[2] || images_.empty() || !(cellVolume_ > 0.0)) return limit_;
  const double density = static_cast<double>(images_.size()) / cellVolume_;
  const double limit = limit_;
  if (density * kSphereFactor * limit * limit * limit <= kDirectSearchEntries) return limit_;
  const double first = std::cbrt(kFirstRadiusEntries / (density * kSphereFactor));
  return std::min(limit_, static_cast<float>(first));
}

void SphereSearch::buildBins(float radius) {
  std::size_t total = 1;
  for (std::size_t k = 0; k < 3; ++k) {
    const double reach = static_cast<double>(radius) * metric_.reciprocal[k];
    if (periodic_[k]) {
      origin_[k] = 0.0;
      span_[k] = 1.0;
    } else {
      double low = 0.0, high = 0.0;
      for (std::size_t i = 0; i < images_.size(); ++i) {
        const double v = images_[i].position[k];
        low = i == 0 ? v : std::min(low, v);
        high = i == 0 ? v : std::max(high, v);
      }
      origin_[k] = low;
      span_[k] = high > low ? high - low : 1.0;
    }
    const double n = reach > 0.0 ? std::floor(span_[k] / reach) : 1.0;
    bins_[k] = static_cast<int>(std::clamp(n, 1.0, static_cast<double>(kMaxBinsPerAxis)));
    total *= static_cast<std::size_t>(bins_[k]);
  }
  // Far more bins than images only costs empty reads.
  const std::size_t cap = std::max<std::size_t>(64, 2 * images_.size());
  while (total > cap) {
    const double factor = std::cbrt(static_cast<double>(total) / static_cast<double>(cap));
    total = 1;
    for (int& n : bins_) {
      n = std::max(1, static_cast<int>(n / std::max(factor, 1.26)));
      total *= static_cast<std::size_t>(n);
    }
  }

  std::vector<int> binOf(images_.size());
  binStart_.assign(total + 1, 0);
  for (std::size_t i = 0; i < images_.size(); ++i) {
    int index = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      const double local = (static_cast<double>(images_[i].position[k]) - images_[i].shift[k] - origin_[k]) / span_[k];
      const long long b = std::clamp<long long>(floorIndex(local * bins_[k]), 0, bins_[k] - 1);
      index = index * bins_[k] + static_cast<int>(b);
    }
    binOf[i] = index;
    ++binStart_[static_cast<std::size_t>(index) + 1];
  }
  for (std::size_t b = 0; b < total; ++b) binStart_[b + 1] += binStart_[b];
  binned_.assign(images_.size(), 0);
  std::vector<int> next(binStart_.begin(), binStart_.end() - 1);
  for (std::size_t i = 0; i < images_.size(); ++i)
    binned_[static_cast<std::size_t>(next[static_cast<std::size_t>(binOf[i])]++)] = static_cast<int>(i);
}

std::vector<SphereSearch::Found> SphereSearch::collect(const Vector3f& xc, float radius) const {
  std::array<long long, 3> low{}, high{};
  for (std::size_t k = 0; k < 3; ++k) {
    const double reach = translationReach(radius, metric_.reciprocal[k], xc[k]);
    const double n = bins_[k];
    const double from = (xc[k] - reach - origin_[k]) / span_[k] * n;
    const double to = (xc[k] + reach - origin_[k]) / span_[k] * n;
    low[k] = floorIndex(from);
    high[k] = floorIndex(to);
    if (!periodic_[k]) {
      // Nothing lies beyond the outer bins along an axis without translations.
      low[k] = std::clamp<long long>(low[k], 0, bins_[k] - 1);
      high[k] = std::clamp<long long>(high[k], 0, bins_[k] - 1);
    }
  }
  std::vector<Found> found;
  long long tried = 0;
  for (long long gx = low[0]; gx <= high[0]; ++gx) {
    const long long qx = floorDiv(gx, bins_[0]);
    const long long bx = gx - qx * bins_[0];
    for (long long gy = low[1]; gy <= high[1]; ++gy) {
      const long long qy = floorDiv(gy, bins_[1]);
      const long long by = gy - qy * bins_[1];
      for (long long gz = low[2]; gz <= high[2]; ++gz) {
        const long long qz = floorDiv(gz, bins_[2]);
        const long long bz = gz - qz * bins_[2];
        const std::size_t bin = static_cast<std::size_t>((bx * bins_[1] + by) * bins_[2] + bz);
        for (int i = binStart_[bin]; i < binStart_[bin + 1]; ++i) {
          const int id = binned_[static_cast<std::size_t>(i)];
          const Image& image = images_[static_cast<std::size_t>(id)];
          // The translation that carries the image from its own cell into cell q.
          const std::array<int, 3> cell = {periodic_[0] ? static_cast<int>(qx - image.shift[0]) : 0,
                                           periodic_[1] ? static_cast<int>(qy - image.shift[1]) : 0,
                                           periodic_[2] ? static_cast<int>(qz - image.shift[2]) : 0};
          const Vector3f p = translated(image.position, cell[0], cell[1], cell[2]);
          const float r2 = metric_.squaredLength({p[0] - xc[0], p[1] - xc[1], p[2] - xc[2]});
          ++tried;
          if (!withinSphere(r2, radius)) continue;
          found.push_back({id, cell, {image.atom + 1, std::sqrt(r2), p}});
        }
      }
    }
  }
  tried_ += tried;
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.image != b.image ? a.image < b.image : a.cell < b.cell;
  });
  return found;
}

std::vector<SphereEntry> SphereSearch::distinct(const std::vector<Found>& found) {
  std::vector<SphereEntry> kept;
  for (const Found& f : found) {
    bool duplicate = false;
    // Entries of one atom follow each other: compare with that atom's entries only.
    for (std::size_t i = kept.size(); i-- > 0 && kept[i].atom == f.entry.atom;)
      if (sameNeighbour(kept[i], f.entry.atom, f.entry.position)) {
        duplicate = true;
        break;
      }
    if (!duplicate) kept.push_back(f.entry);
  }
  return kept;
}

CoordinationSphere SphereSearch::sphereOf(int central) const {
  if (central < 0 || static_cast<std::size_t>(central) >= sites_.size()) return {};
  std::array<int, 3> aperiodic{};
  for (std::size_t k = 0; k < 3; ++k) aperiodic[k] = periodic_[k] ? 0 : 1;
  const Vector3f xc = centralPosition(sites_[static_cast<std::size_t>(central)], aperiodic);
  if (images_.empty() || !searchablePosition(xc) || !(limit_ > 0.0f)) return {};
  for (float radius = firstRadius();; radius = std::min(limit_, radius * 1.5f)) {
    std::vector<SphereEntry> kept = distinct(collect(xc, radius));
    if (radius >= limit_) return keepNearest(std::move(kept));
    // More distinct entries than the sphere keeps lie so far inside this radius that
    // nothing beyond it (nor a duplicate beyond it) changes which are nearest.
    const float inner = radius - duplicateReach_;
    const auto inside = std::count_if(kept.begin(), kept.end(), [&](const SphereEntry& e) { return e.distance <= inner; });
    if (inside > kSphereCapacity) return keepNearest(std::move(kept));
  }
}

}  // namespace tessera
