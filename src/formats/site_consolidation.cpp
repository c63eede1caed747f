#include "formats/site_consolidation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace tessera {

namespace {

/// Grid cells wider than the tolerance, so that two sites at one position lie in the
/// same or in neighbouring cells whatever the rounding of the cell arithmetic.
constexpr double kCellSize = 0.0005;
constexpr double kKeyLimit = 1e15;

struct CellKey {
  std::int64_t i, j, k;
  bool operator==(const CellKey&) const = default;
};

struct CellKeyHash {
  std::size_t operator()(const CellKey& c) const {
    std::uint64_t h = static_cast<std::uint64_t>(c.i) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(c.j) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
    h ^= static_cast<std::uint64_t>(c.k) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
  }
};

std::int64_t cellOf(float v) { return static_cast<std::int64_t>(std::floor(std::clamp(v / kCellSize, -kKeyLimit, kKeyLimit))); }

bool finitePosition(const Site& s) { return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z); }

bool samePosition(const Site& a, const Site& b) {
  return std::fabs(a.x - b.x) < kDuplicateTolerance && std::fabs(a.y - b.y) < kDuplicateTolerance &&
         std::fabs(a.z - b.z) < kDuplicateTolerance;
}

/// Kept sites by grid cell; each cell lists its sites in increasing order.
class SiteGrid {
 public:
  void add(const Site& s, int index) {
    if (finitePosition(s)) cells_[{cellOf(s.x), cellOf(s.y), cellOf(s.z)}].push_back(index);
  }

  /// The lowest index of a kept site at the position of s, or -1.
  int firstMatch(const Site& s, const std::vector<Site>& kept) const {
    if (!finitePosition(s)) return -1;
    const CellKey c{cellOf(s.x), cellOf(s.y), cellOf(s.z)};
    int best = -1;
    for (int di = -1; di <= 1; ++di)
      for (int dj = -1; dj <= 1; ++dj)
        for (int dk = -1; dk <= 1; ++dk) {
          const auto it = cells_.find({c.i + di, c.j + dj, c.k + dk});
          if (it == cells_.end()) continue;
          for (int index : it->second) {
            if (best >= 0 && index >= best) break;
            if (samePosition(kept[static_cast<std::size_t>(index)], s)) {
              best = index;
              break;
            }
          }
        }
    return best;
  }

 private:
  std::unordered_map<CellKey, std::vector<int>, CellKeyHash> cells_;
};

}  // namespace

int ConsolidateDuplicateSites(std::vector<Site>& sites, UserInterface& ui) {
  std::vector<Site> kept;
  kept.reserve(sites.size());
  SiteGrid grid;
  bool reported = false;
  int removed = 0;
  for (Site& s : sites) {
    const int match = grid.firstMatch(s, kept);
    if (match >= 0 && kept[static_cast<std::size_t>(match)].occupantCount() < kMaxOccupants) {
      if (!reported) {
        ui.message("Duplicate atoms (multiple occupancies?) are being consolidated");
        reported = true;
      }
      Site& target = kept[static_cast<std::size_t>(match)];
      target.occupants.push_back(s.occupants.empty() ? SiteOccupant::makeDefault(s.label, 0, s.typeNumber)
                                                     : s.occupants[0]);
      ++removed;
      continue;
    }
    grid.add(s, static_cast<int>(kept.size()));
    kept.push_back(std::move(s));
  }
  sites = std::move(kept);
  return removed;
}

}  // namespace tessera
