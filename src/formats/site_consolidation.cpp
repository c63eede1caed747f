#include "formats/site_consolidation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace tessera {

namespace {

/// Grid cells several tolerances wide: a site is compared with the sites of its own cell
/// and of a neighbouring cell only when it lies near that side (with a margin for the
/// rounding of the cell arithmetic).
constexpr double kCellSize = 0.002;
constexpr double kNearSide = 0.0003;
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

double scaled(float v) { return std::clamp(static_cast<double>(v) / kCellSize, -kKeyLimit, kKeyLimit); }
std::int64_t cellOf(float v) { return static_cast<std::int64_t>(std::floor(scaled(v))); }

bool finitePosition(const Site& s) { return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z); }

bool samePosition(const Site& a, const Site& b) {
  return std::fabs(a.x - b.x) < kDuplicateTolerance && std::fabs(a.y - b.y) < kDuplicateTolerance &&
         std::fabs(a.z - b.z) < kDuplicateTolerance;
}

/// The cells along one axis a coordinate can have partners in: its own, and a neighbour
/// when it lies near that side. Returns how many were written.
int axisCells(float v, std::int64_t out[2]) {
  const double s = scaled(v);
  const double f = std::floor(s);
  const auto c = static_cast<std::int64_t>(f);
  out[0] = c;
  const double margin = kNearSide / kCellSize;
  if (s - f < margin) { out[1] = c - 1; return 2; }
  if (f + 1.0 - s < margin) { out[1] = c + 1; return 2; }
  return 1;
}

/// Kept sites by grid cell; each cell chains its sites in increasing order.
class SiteGrid {
 public:
  explicit SiteGrid(std::size_t expected) { cells_.reserve(expected); next_.reserve(expected); }

  void add(const Site& s, int index) {
    next_.resize(static_cast<std::size_t>(index) + 1, -1);
    if (!finitePosition(s)) return;
    auto [it, inserted] = cells_.try_emplace(CellKey{cellOf(s.x), cellOf(s.y), cellOf(s.z)}, Chain{index, index});
    if (!inserted) {
      next_[static_cast<std::size_t>(it->second.tail)] = index;
      it->second.tail = index;
    }
  }

  /// The lowest index of a kept site at the position of s, or -1.
  int firstMatch(const Site& s, const std::vector<Site>& kept) const {
    if (!finitePosition(s) || cells_.empty()) return -1;
    std::int64_t xs[2], ys[2], zs[2];
    const int nx = axisCells(s.x, xs), ny = axisCells(s.y, ys), nz = axisCells(s.z, zs);
    int best = -1;
    for (int a = 0; a < nx; ++a)
      for (int b = 0; b < ny; ++b)
        for (int c = 0; c < nz; ++c) {
          const auto it = cells_.find({xs[a], ys[b], zs[c]});
          if (it == cells_.end()) continue;
          for (int index = it->second.head; index >= 0 && (best < 0 || index < best);
               index = next_[static_cast<std::size_t>(index)]) {
            if (samePosition(kept[static_cast<std::size_t>(index)], s)) {
              best = index;
              break;
            }
          }
        }
    return best;
  }

 private:
  struct Chain {
    int head, tail;
  };
  std::unordered_map<CellKey, Chain, CellKeyHash> cells_;
  std::vector<int> next_;
};

}  // namespace

int ConsolidateDuplicateSites(std::vector<Site>& sites, UserInterface& ui) {
  // Kept sites are compacted in place: sites[0, kept) are the survivors so far.
  SiteGrid grid(sites.size());
  bool reported = false;
  std::size_t kept = 0;
  for (std::size_t r = 0; r < sites.size(); ++r) {
    Site& s = sites[r];
    const int match = grid.firstMatch(s, sites);
    if (match >= 0 && sites[static_cast<std::size_t>(match)].occupantCount() < kMaxOccupants) {
      if (!reported) {
        ui.message("Duplicate atoms (multiple occupancies?) are being consolidated");
        reported = true;
      }
      sites[static_cast<std::size_t>(match)].occupants.push_back(
          s.occupants.empty() ? SiteOccupant::makeDefault(s.label, 0, s.typeNumber) : s.occupants[0]);
      continue;
    }
    if (kept != r) sites[kept] = std::move(s);
    grid.add(sites[kept], static_cast<int>(kept));
    ++kept;
  }
  const int removed = static_cast<int>(sites.size() - kept);
  sites.erase(sites.begin() + static_cast<std::ptrdiff_t>(kept), sites.end());
  return removed;
}

}  // namespace tessera
