#include "transform/slotted_images.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

#include "transform/coincidence.h"
#include "transform/repeated_images.h"

namespace tessera {

namespace {

// Slot triples a table may hold (ints).
constexpr std::size_t kMaxTable = std::size_t{1} << 24;
// Positions whose coincidence the slots can stand for: the grid's ordinary range.
constexpr float kLowest = -0.00002f;
// The reach beyond a slot's positions must dwarf the rounding of a float distance
// between two coordinates of the cell (about 6e-8).
constexpr double kLeastReach = 1e-6;
constexpr int kNever = 0x7fffffff;

}  // namespace

SlottedImages::SlottedImages(const LatticeOffsets& lattice, const Matrix3f& q, int n, const Vector3f& tolerance)
    : tolerance_(tolerance) {
  // Within a slot no distance may go round the cell.
  for (float t : tolerance)
    if (!(t > 0.0f && t < 0.25f)) return;
  applies_ = diagonalAxisOffsets(lattice, q, n, offsets_);
}

int SlottedImages::Axis::slotOf(float v) const {
  const auto it = std::upper_bound(reachLow.begin(), reachLow.end(), static_cast<double>(v));
  if (it == reachLow.begin()) return -1;
  const auto s = static_cast<std::size_t>(it - reachLow.begin()) - 1;
  return static_cast<double>(v) <= reachHigh[s] ? static_cast<int>(s) : -1;
}

bool SlottedImages::buildAxis(const IndexedList& list, std::size_t axis) {
  const std::size_t count = list.size();
  std::vector<std::pair<float, int>> sorted(count);
  for (std::size_t i = 0; i < count; ++i) {
    const float v = list.position(static_cast<int>(i))[axis];
    if (!(v >= kLowest && v < 1.0f)) return false;
    sorted[i] = {v, static_cast<int>(i)};
  }
  std::sort(sorted.begin(), sorted.end());
  Axis& a = axes_[axis];
  a.slotOfEntry.assign(count, 0);
  a.reachLow.clear();
  a.reachHigh.clear();
  const double t = tolerance_[axis];
  // Slots are tight groups of equal or nearly equal coordinates.
  for (const auto& [v, index] : sorted) {
    if (a.reachLow.empty() || static_cast<double>(v) - a.reachHigh.back() > t / 8) {
      a.reachLow.push_back(v);
      a.reachHigh.push_back(v);
    } else {
      a.reachHigh.back() = v;
    }
    a.slotOfEntry[static_cast<std::size_t>(index)] = static_cast<int>(a.reachLow.size()) - 1;
  }
  a.valueLow.assign(a.reachLow.begin(), a.reachLow.end());
  a.valueHigh.assign(a.reachHigh.begin(), a.reachHigh.end());
  // Every two slots (a slot with itself too) must be near, all their distances within
  // t, or far, all beyond t, counted round the cell; the least margin by which that
  // holds decides the reach.
  const std::size_t slots = a.reachLow.size();
  const auto& low = a.reachLow;
  const auto& high = a.reachHigh;
  double margin = t;
  std::vector<std::pair<int, int>> near;
  for (std::size_t s = 0; s < slots; ++s) {
    for (std::size_t step = 0; step < slots; ++step) {
      const std::size_t u = (s + step) % slots;
      const double shift = u < s ? 1.0 : 0.0;  // past the end of the cell
      const double closest = step == 0 ? 0.0 : low[u] + shift - high[s];
      if (closest > 2 * t) break;
      // Going the other way round the cell is at least 1 - (high - low) > 1/2 for these.
      const double furthest = step == 0 ? high[s] - low[s] : high[u] + shift - low[s];
      if (furthest < t) {
        margin = std::min(margin, t - furthest);
        near.push_back({static_cast<int>(s), static_cast<int>(u)});
        if (step != 0) near.push_back({static_cast<int>(u), static_cast<int>(s)});
      } else if (closest > t) {
        margin = std::min(margin, closest - t);
      } else {
        return false;
      }
    }
  }
  // Positions in the reaches of near slots are then within t - 2 reach of each other,
  // those of far slots further apart than t + 2 reach.
  const double reach = 0.25 * margin;
  if (!(reach > kLeastReach)) return false;
  for (std::size_t s = 0; s < slots; ++s) {
    a.reachLow[s] -= reach;
    a.reachHigh[s] += reach;
  }
  std::sort(near.begin(), near.end());
  near.erase(std::unique(near.begin(), near.end()), near.end());
  a.nearStart.assign(slots + 1, 0);
  a.near.clear();
  for (const auto& [s, u] : near) {
    ++a.nearStart[static_cast<std::size_t>(s) + 1];
    a.near.push_back(u);
  }
  for (std::size_t s = 0; s < slots; ++s) a.nearStart[s + 1] += a.nearStart[s];
  return true;
}

bool SlottedImages::build(const IndexedList& list) {
  built_ = false;
  for (std::size_t axis = 0; axis < 3; ++axis)
    if (!buildAxis(list, axis)) return false;
  const std::size_t s1 = axes_[1].reachLow.size(), s2 = axes_[2].reachLow.size();
  const std::size_t s0 = axes_[0].reachLow.size();
  if (s0 > kMaxTable / s1 / s2) return false;
  table_.assign(s0 * s1 * s2, Cell{});
  // An image in a slot triple coincides with the entries of every near triple; in list
  // order, the first of them takes it.
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto nearOf = [&](std::size_t axis) {
      const Axis& a = axes_[axis];
      const auto s = static_cast<std::size_t>(a.slotOfEntry[i]);
      return std::pair(a.near.begin() + a.nearStart[s], a.near.begin() + a.nearStart[s + 1]);
    };
    const auto [x0, x1] = nearOf(0);
    const auto [y0, y1] = nearOf(1);
    const auto [z0, z1] = nearOf(2);
    for (auto x = x0; x != x1; ++x)
      for (auto y = y0; y != y1; ++y)
        for (auto z = z0; z != z1; ++z) {
          int& first = table_[(static_cast<std::size_t>(*x) * s1 + static_cast<std::size_t>(*y)) * s2 +
                              static_cast<std::size_t>(*z)].first;
          if (first < 0) first = static_cast<int>(i);
        }
  }
  // A triple whose first entry is of another triple is left to the plain placing.
  for (std::size_t key = 0; key < table_.size(); ++key) {
    const int first = table_[key].first;
    if (first < 0) continue;
    const auto f = static_cast<std::size_t>(first);
    const std::size_t own = (static_cast<std::size_t>(axes_[0].slotOfEntry[f]) * s1 +
                             static_cast<std::size_t>(axes_[1].slotOfEntry[f])) * s2 +
                            static_cast<std::size_t>(axes_[2].slotOfEntry[f]);
    if (own == key) table_[key].type = list.typeNumber(first);
    else table_[key].first = -1;
  }
  for (std::size_t axis = 0; axis < 3; ++axis) groupOfSlot_[axis].assign(axes_[axis].reachLow.size(), -1);
  builtSize_ = list.size();
  built_ = checked_ = true;
  return true;
}

bool SlottedImages::entriesInReach(const IndexedList& list) {
  // The slots' value ranges are taken again on the way: the plain placing moved entries.
  for (Axis& a : axes_) {
    std::fill(a.valueLow.begin(), a.valueLow.end(), 2.0f);
    std::fill(a.valueHigh.begin(), a.valueHigh.end(), -2.0f);
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Float4 p = list.position(static_cast<int>(i));
    for (std::size_t axis = 0; axis < 3; ++axis) {
      Axis& a = axes_[axis];
      const auto s = static_cast<std::size_t>(a.slotOfEntry[i]);
      const float v = p[axis];
      if (!(v >= a.reachLow[s] && v <= a.reachHigh[s])) return false;
      a.valueLow[s] = std::min(a.valueLow[s], v);
      a.valueHigh[s] = std::max(a.valueHigh[s], v);
    }
  }
  return true;
}

bool SlottedImages::ready(const IndexedList& list) {
  // Checking or making the slots reads every entry: worth it only while an entry's
  // images outnumber the entries.
  if (list.size() > 4 * offsets_[0].size() * offsets_[1].size() * offsets_[2].size()) return false;
  if (built_ && builtSize_ == list.size()) {
    if (checked_) return true;
    if (entriesInReach(list)) return checked_ = true;
  }
  if (list.size() == failedSize_) return false;
  if (build(list)) return true;
  failedSize_ = list.size();
  return false;
}

bool SlottedImages::groupImages(std::size_t axis, float e) {
  std::vector<Group>& groups = groups_[axis];
  std::vector<int>& groupOf = groupOfSlot_[axis];
  for (Group& group : groups) spare_.push_back(std::move(group.values));  // their storage again
  groups.clear();
  bool inReach = true;
  for (float o : offsets_[axis]) {
    const float v = reduceIntoCell(e + o);  // as the image batches make it
    const int s = axes_[axis].slotOf(v);
    if (s < 0) {
      inReach = false;
      break;
    }
    int& g = groupOf[static_cast<std::size_t>(s)];
    if (g < 0) {
      g = static_cast<int>(groups.size());
      std::vector<float> storage;
      if (!spare_.empty()) {
        storage = std::move(spare_.back());
        spare_.pop_back();
      }
      storage.clear();
      groups.push_back({s, v, v, std::move(storage)});
    }
    Group& group = groups[static_cast<std::size_t>(g)];
    group.values.push_back(v);
    group.low = std::min(group.low, v);
    group.high = std::max(group.high, v);
  }
  for (const Group& group : groups) groupOf[static_cast<std::size_t>(group.slot)] = -1;
  return inReach;
}

void SlottedImages::queue(int entry, int count, const std::array<const Group*, 3>& groups,
                          const std::array<bool, 3>& inPlace) {
  // One chain per axis where the average may move: that axis's value of each image in
  // the order of the plain placing (first index slowest, so each value of this axis
  // repeats for the images of the later axes). Axes average on their own.
  std::size_t total = 1;
  for (const Group* g : groups) total *= g->values.size();
  Pending pending{entry, static_cast<int>(total), static_cast<std::uint32_t>(chains_.size()), 0};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    if (inPlace[axis]) continue;
    std::size_t inner = 1;
    for (std::size_t k = axis + 1; k < 3; ++k) inner *= groups[k]->values.size();
    chains_.push_back({static_cast<int>(axis), count, groups[axis]->values.data(),
                       static_cast<std::uint32_t>(groups[axis]->values.size()), static_cast<std::uint32_t>(inner),
                       static_cast<std::uint32_t>(total), 0.0f});
    ++pending.chains;
  }
  pending_.push_back(pending);
}

void SlottedImages::runChains(IndexedList& list) {
  // Each chain is a run of dependent averages; several run side by side so that their
  // divisions overlap. Every step is the plain average, reduced into the cell.
  constexpr std::size_t kLanes = 8;
  struct Lane {
    float e = 0.0f;
    int n = 0;
    Chain* chain = nullptr;
    std::uint32_t left = 0, value = 0, repeat = 0;
  };
  std::array<Lane, kLanes> lanes{};
  std::size_t nextChain = 0;
  owner_.resize(chains_.size());
  for (const Pending& p : pending_)
    for (std::uint32_t c = 0; c < p.chains; ++c) owner_[p.firstChain + c] = p.entry;
  const auto start = [&](Lane& lane) {
    if (nextChain == chains_.size()) return false;
    Chain& c = chains_[nextChain];
    lane = {list.position(owner_[nextChain])[static_cast<std::size_t>(c.axis)], c.count, &c, c.length, 0, 0};
    ++nextChain;
    return true;
  };
  std::size_t active = 0;
  for (Lane& lane : lanes) active += start(lane) ? 1 : 0;
  while (active > 0) {
    for (Lane& lane : lanes) {
      if (lane.left == 0) continue;
      Chain& c = *lane.chain;
      lane.e = keepInCell(averageCoordinate(lane.e, lane.n++, c.values[lane.value]));
      if (++lane.repeat == c.repeats) {
        lane.repeat = 0;
        if (++lane.value == c.valueCount) lane.value = 0;
      }
      if (--lane.left == 0) {
        c.result = lane.e;
        if (!start(lane)) --active;
      }
    }
  }
  for (const Pending& p : pending_) {
    Float4 position = list.position(p.entry);
    for (std::uint32_t c = 0; c < p.chains; ++c) {
      const Chain& chain = chains_[p.firstChain + c];
      position[chain.axis] = chain.result;
      Axis& a = axes_[static_cast<std::size_t>(chain.axis)];
      const auto slot = static_cast<std::size_t>(a.slotOfEntry[static_cast<std::size_t>(p.entry)]);
      a.valueLow[slot] = std::min(a.valueLow[slot], chain.result);
      a.valueHigh[slot] = std::max(a.valueHigh[slot], chain.result);
    }
    list.setAveraged(p.entry, position, p.images);
  }
  pending_.clear();
  chains_.clear();
}

int SlottedImages::leastCountInPlace(std::size_t axis, const Group& g) const {
  // Every entry of the slot lies in [low, high]; the test of averageLeavesInPlace with
  // the largest spread any of them can see and the least room any of them has.
  const Axis& a = axes_[axis];
  const float low = a.valueLow[static_cast<std::size_t>(g.slot)], high = a.valueHigh[static_cast<std::size_t>(g.slot)];
  if (!(low > 0.0f || high < 0.0f)) return kNever;  // a zero may be among them
  const double smallest = std::min(std::fabs(low), std::fabs(high)), largest = std::max(std::fabs(low), std::fabs(high));
  const double dev = std::max({std::fabs(static_cast<double>(g.high) - low), std::fabs(static_cast<double>(g.high) - high),
                               std::fabs(static_cast<double>(g.low) - low), std::fabs(static_cast<double>(g.low) - high)});
  // halfGap grows with the magnitude.
  const double room = halfGap(static_cast<float>(smallest)) * (1.0 - 0x1p-30) - 0x1p-49 * (largest + dev);
  if (!(room > 0.0)) return kNever;
  const double ratio = dev / (room * (1.0 - 0x1p-40)) * (1.0 + 0x1p-40);
  return ratio < 1e9 ? static_cast<int>(std::ceil(ratio)) + 1 : kNever;
}

bool SlottedImages::place(IndexedList& list, const Vector3f& e, int typeNumber, bool& moved) {
  moved = false;
  if (!applies_ || !ready(list)) return false;
  for (std::size_t axis = 0; axis < 3; ++axis)
    if (!groupImages(axis, e[axis])) return false;
  const std::size_t s1 = axes_[1].reachLow.size(), s2 = axes_[2].reachLow.size();
  // Every image must go to an entry of its own slot triple (so that averaging keeps it
  // within its slots' reach) and of its own type (another type is reported image by
  // image), before any is placed.
  hits_.clear();
  for (const Group& gx : groups_[0])
    for (const Group& gy : groups_[1])
      for (const Group& gz : groups_[2]) {
        const std::size_t key = (static_cast<std::size_t>(gx.slot) * s1 + static_cast<std::size_t>(gy.slot)) * s2 +
                                static_cast<std::size_t>(gz.slot);
        const Cell cell = table_[key];
        if (cell.first < 0 || cell.type != typeNumber) return false;
        hits_.push_back(cell.first);
      }
  for (std::size_t axis = 0; axis < 3; ++axis)
    for (Group& g : groups_[axis]) g.leastCount = leastCountInPlace(axis, g);
  std::size_t next = 0;
  for (const Group& gx : groups_[0])
    for (const Group& gy : groups_[1]) {
      const int leastXY = std::max(gx.leastCount, gy.leastCount);
      const int imagesXY = static_cast<int>(gx.values.size() * gy.values.size());
      for (const Group& gz : groups_[2]) {
        const int hit = hits_[next++];
        const int n = list.count(hit);
        const int images = imagesXY * static_cast<int>(gz.values.size());
        if (n >= std::max(leastXY, gz.leastCount)) {
          list.addToCount(hit, images);
          continue;
        }
        const Float4 p = list.position(hit);
        const std::array<bool, 3> inPlace = {
            n >= gx.leastCount || averageLeavesInPlace(p[0], gx.low, gx.high, n),
            n >= gy.leastCount || averageLeavesInPlace(p[1], gy.low, gy.high, n),
            n >= gz.leastCount || averageLeavesInPlace(p[2], gz.low, gz.high, n)};
        if (inPlace[0] && inPlace[1] && inPlace[2]) {
          list.addToCount(hit, images);
        } else {
          queue(hit, n, {&gx, &gy, &gz}, inPlace);
          moved = true;
        }
      }
    }
  if (moved) runChains(list);
  return true;
}

}  // namespace tessera
