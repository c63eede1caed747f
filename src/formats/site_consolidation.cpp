#include "formats/site_consolidation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace tessera {

namespace {

/// Grid cells several tolerances wide: a site is compared with the sites of its own cell
/// and of a neighbouring cell only when it lies near that side (with a margin for the
/// rounding of the cell arithmetic).
constexpr double kCellSize = 0.004;
constexpr double kNearSide = 0.0003;
constexpr double kKeyLimit = 1e15;

struct CellKey {
  std::int64_t i, j, k;
  bool operator==(const CellKey&) const = default;
};

std::uint64_t hashOf(const CellKey& c) {
  std::uint64_t h = static_cast<std::uint64_t>(c.i) * 0x9E3779B97F4A7C15ull +
                    static_cast<std::uint64_t>(c.j) * 0xC2B2AE3D27D4EB4Full +
                    static_cast<std::uint64_t>(c.k) * 0x165667B19E3779F9ull;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return h;
}

double scaled(float v) { return std::clamp(static_cast<double>(v) / kCellSize, -kKeyLimit, kKeyLimit); }
std::int64_t cellOf(float v) { return static_cast<std::int64_t>(std::floor(scaled(v))); }

bool finitePosition(const Site& s) { return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z); }

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

/// Kept sites by grid cell. The cells are held in one open-addressed table (a power of
/// two of small slots, probed in turn) and the kept positions in one compact array, so a
/// look-up reads a few places of two arrays instead of following list nodes. Each cell
/// chains its sites in increasing order, so a search stops at the first match.
class SiteGrid {
 public:
  SiteGrid() : slots_(1024) {}

  /// The lowest index of a kept site at the position of s, or -1. `own` receives the
  /// slot of s's own cell for add() (-1 when s has no cell).
  int firstMatch(const Site& s, std::ptrdiff_t& own) {
    own = -1;
    if (!finitePosition(s)) return -1;
    if (2 * (used_ + 1) > slots_.size()) grow();
    std::int64_t xs[2], ys[2], zs[2];
    const int nx = axisCells(s.x, xs), ny = axisCells(s.y, ys), nz = axisCells(s.z, zs);
    const Position p{s.x, s.y, s.z};
    int best = -1;
    for (int a = 0; a < nx; ++a)
      for (int b = 0; b < ny; ++b)
        for (int c = 0; c < nz; ++c) {
          const std::size_t at = slotFor(CellKey{xs[a], ys[b], zs[c]});
          if (a == 0 && b == 0 && c == 0) own = static_cast<std::ptrdiff_t>(at);
          for (int index = slots_[at].head; index >= 0 && (best < 0 || index < best);
               index = next_[static_cast<std::size_t>(index)])
            if (samePosition(positions_[static_cast<std::size_t>(index)], p)) {
              best = index;
              break;
            }
        }
    return best;
  }

  /// Keeps s as the next site (indices 0, 1, 2, ... in order); `own` from firstMatch(s).
  void add(const Site& s, std::ptrdiff_t own) {
    const int index = static_cast<int>(positions_.size());
    positions_.push_back({s.x, s.y, s.z});
    next_.push_back(-1);
    if (own < 0) return;
    Slot& slot = slots_[static_cast<std::size_t>(own)];
    if (slot.head < 0) {
      slot.tag = tagOf(hashOf(CellKey{cellOf(s.x), cellOf(s.y), cellOf(s.z)}));
      slot.head = index;
      ++used_;
    } else {
      next_[static_cast<std::size_t>(slot.tail)] = index;
    }
    slot.tail = index;
  }

 private:
  using Position = std::array<float, 3>;
  struct Slot {
    std::uint32_t tag = 0;  ///< high bits of the cell's hash
    int head = -1;          ///< first site of the cell; -1: the slot is free
    int tail = -1;          ///< last site of the cell
  };

  static std::uint32_t tagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

  static bool samePosition(const Position& a, const Position& b) {
    return std::fabs(a[0] - b[0]) < kDuplicateTolerance && std::fabs(a[1] - b[1]) < kDuplicateTolerance &&
           std::fabs(a[2] - b[2]) < kDuplicateTolerance;
  }

  static CellKey cellOfPosition(const Position& p) { return {cellOf(p[0]), cellOf(p[1]), cellOf(p[2])}; }

  /// The slot holding the cell `key`, or the free slot where it goes. A slot's cell is
  /// that of its sites.
  std::size_t slotFor(const CellKey& key) const {
    const std::uint64_t hash = hashOf(key);
    const std::uint32_t tag = tagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.head < 0) return i;
      if (slot.tag == tag && cellOfPosition(positions_[static_cast<std::size_t>(slot.head)]) == key) return i;
    }
  }

  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& s : old)
      if (s.head >= 0) slots_[slotFor(cellOfPosition(positions_[static_cast<std::size_t>(s.head)]))] = s;
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::vector<Position> positions_;  ///< kept sites' coordinates by index
  std::vector<int> next_;            ///< the cell's next kept site, -1 at the end
};

}  // namespace

int ConsolidateDuplicateSites(std::vector<Site>& sites, UserInterface& ui) {
  // Kept sites are compacted in place: sites[0, kept) are the survivors so far.
  SiteGrid grid;
  bool reported = false;
  std::size_t kept = 0;
  for (std::size_t r = 0; r < sites.size(); ++r) {
    Site& s = sites[r];
    std::ptrdiff_t own = -1;
    const int match = grid.firstMatch(s, own);
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
    grid.add(sites[kept], own);
    ++kept;
  }
  const int removed = static_cast<int>(sites.size() - kept);
  sites.erase(sites.begin() + static_cast<std::ptrdiff_t>(kept), sites.end());
  return removed;
}

}  // namespace tessera
