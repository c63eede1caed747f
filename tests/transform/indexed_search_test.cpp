// The bucket grid and the indexed list against plain scans: candidates cover every
// coincident entry while entries drift, jump across faces and cluster; the first
// coincident entry and its shifted copy are those of a scan; supercells, where each
// entry's images land many times on the same entries, give the plain results bit for
// bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>

#include "core/scripted_user_interface.h"
#include "symmetry/symmetry_operators.h"
#include "transform/indexed_list.h"
#include "transform/lattice_images.h"
#include "transform/reference_transform.h"
#include "support/structures.h"

namespace tessera {
namespace {

struct Points {
  std::mt19937 rng;
  float uniform(float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  /// A coordinate in the cell, often on a face or next to an earlier value, now and
  /// then outside the cell.
  float coordinate(const std::vector<float>& earlier, float t) {
    switch (pick(5)) {
      case 0:
        return std::array<float, 8>{0.0f, -0.00001f, 0.99998f, 0.5f, 0.99999f - 1.0f, 0.0f, 1.3f, -0.4f}[
            static_cast<std::size_t>(pick(8))];
      case 1:
        if (!earlier.empty())
          return reference::reduce(earlier[static_cast<std::size_t>(pick(static_cast<int>(earlier.size())))] +
                                   uniform(-2.0f, 2.0f) * (std::isfinite(t) ? std::min(t, 0.3f) : 0.1f));
        [[fallthrough]];
      default: return reference::reduce(uniform(-0.001f, 1.0f));
    }
  }
  Vector3f position(const std::vector<Vector3f>& earlier, const Vector3f& t) {
    std::vector<float> c[3];
    for (const Vector3f& e : earlier)
      for (std::size_t k = 0; k < 3; ++k) c[k].push_back(e[k]);
    return {coordinate(c[0], t[0]), coordinate(c[1], t[1]), coordinate(c[2], t[2])};
  }
};

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(IndexedSearch, CandidatesCoverEveryCoincidentEntryWhileEntriesMove) {
  Points r{std::mt19937(99)};
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<Vector3f> tolerances = {{0.0f, 0.0f, 0.0f},        {1e-6f, 2e-6f, 1e-6f}, {0.004f, 0.006f, 0.003f},
                                            {0.03f, 0.02f, 0.05f},     {0.12f, 0.2f, 0.08f},  {0.3f, 0.01f, 0.26f},
                                            {0.7f, 0.7f, 0.7f},        {inf, 0.02f, 0.02f},   {NAN, 0.02f, 1e9f}};
  for (const Vector3f& t : tolerances)
    for (std::size_t expected : {std::size_t{1}, std::size_t{40}, std::size_t{4000}}) {
      SCOPED_TRACE(testing::Message() << t[0] << " " << t[1] << " " << t[2] << " for " << expected);
      FractionalGrid grid(t, expected);
      std::vector<Vector3f> at;
      for (int round = 0; round < 600; ++round) {
        const int what = r.pick(10);
        if (at.empty() || what < 3) {
          at.push_back(r.position(at, t));
          grid.insert(at.back());
        } else if (what < 7) {  // an average's drift, a jump across the cell, or not a number
          Vector3f& p = at[static_cast<std::size_t>(r.pick(static_cast<int>(at.size())))];
          const int how = r.pick(20);
          for (std::size_t k = 0; k < 3; ++k)
            p[k] = how == 0   ? NAN
                   : how < 4 ? r.coordinate({}, t[k])
                             : reduceIntoCell(p[k] + r.uniform(-0.4f, 0.4f) * std::min(t[k], 0.3f));
          grid.move(static_cast<int>(&p - at.data()), p);
        } else {
          const Vector3f q = r.position(at, t);
          std::vector<int> seen;
          grid.forEachCandidate(q, [&](int e) { seen.push_back(e); });
          const std::set<int> unique(seen.begin(), seen.end());
          ASSERT_EQ(unique.size(), seen.size()) << "an entry came twice";
          for (std::size_t e = 0; e < at.size(); ++e) {
            Vector3f shifted;
            if (coincides(q, at[e], t, shifted)) {
              ASSERT_TRUE(unique.count(static_cast<int>(e))) << "entry " << e << " missed, round " << round;
            }
          }
        }
      }
    }
}

TEST(IndexedSearch, FirstCoincidentEntryAndShiftedCopyAreThoseOfAScan) {
  Points r{std::mt19937(5)};
  for (const Vector3f t : {Vector3f{0.01f, 0.01f, 0.01f}, Vector3f{0.05f, 0.03f, 0.08f}, Vector3f{0.2f, 0.2f, 0.2f}}) {
    std::vector<UnitCellAtom> atoms;
    IndexedList list(atoms, t, 3000);
    std::vector<Vector3f> plain;
    std::vector<std::pair<std::size_t, std::size_t>> neighbours;  // entries made close to each other
    for (int round = 0; round < 4000; ++round) {
      Vector3f x{};
      const int how = plain.empty() ? 0 : r.pick(8);
      std::size_t near = 0;
      if (how < 3) {
        x = r.position(plain, t);
      } else if (how < 6 || neighbours.empty()) {  // one or two tolerances from an entry
        near = static_cast<std::size_t>(r.pick(static_cast<int>(plain.size())));
        for (std::size_t k = 0; k < 3; ++k) x[k] = reduceIntoCell(plain[near][k] + r.uniform(-2.0f, 2.0f) * t[k]);
      } else {  // between two close entries: a tie the smaller index must win
        const auto [a, b] = neighbours[static_cast<std::size_t>(r.pick(static_cast<int>(neighbours.size())))];
        for (std::size_t k = 0; k < 3; ++k) x[k] = 0.5f * (plain[a][k] + plain[b][k]);
      }
      Float4 shifted{};
      const int hit = list.findFirst(list.grid().bucketOf(x), float4(x[0], x[1], x[2]), shifted);
      int expectedHit = -1;
      Vector3f expectedShift{};
      for (std::size_t e = 0; e < plain.size() && expectedHit < 0; ++e)
        if (coincides(x, plain[e], t, expectedShift)) expectedHit = static_cast<int>(e);
      ASSERT_EQ(hit, expectedHit) << "round " << round;
      if (hit < 0) {
        if (how >= 3 && how < 6) neighbours.push_back({near, plain.size()});
        list.append(UnitCellAtom{}, float4(x[0], x[1], x[2]));
        plain.push_back(x);
        continue;
      }
      for (std::size_t k = 0; k < 3; ++k) ASSERT_TRUE(sameBits(shifted[static_cast<int>(k)], expectedShift[k]));
      const int n = list.atom(static_cast<std::size_t>(hit)).averagedCount;
      list.mergeInto(hit, shifted);
      plain[static_cast<std::size_t>(hit)] = runningAverage(plain[static_cast<std::size_t>(hit)], n, expectedShift);
      const Float4 now = list.position(hit);
      for (std::size_t k = 0; k < 3; ++k)
        ASSERT_TRUE(sameBits(now[static_cast<int>(k)], plain[static_cast<std::size_t>(hit)][k]));
    }
  }
}

TEST(IndexedSearch, LatticeImagesAreThePlainSumsReduced) {
  Points r{std::mt19937(17)};
  FractionalGrid grid({0.01f, 0.02f, 0.015f}, 500);
  for (int trial = 0; trial < 61; ++trial) {
    // Offsets from within a cell up to many cells (whole-batch steps), and beyond them;
    // the last range has too many offsets to keep, which are made batch by batch.
    const float scale = std::array<float, 4>{0.3f, 1.0f, 3.0f, 40.0f}[static_cast<std::size_t>(trial % 4)];
    Matrix3f q{};
    for (auto& row : q)
      for (float& v : row) v = r.uniform(-scale, scale) / 7.0f;
    const int n = trial == 60 ? 51 : 1 + r.pick(6);
    const LatticeOffsets lattice(q, n);
    ASSERT_EQ(lattice.size(), static_cast<std::size_t>((2 * n + 1) * (2 * n + 1) * (2 * n + 1)));
    Vector3f e = r.position({}, {0.01f, 0.01f, 0.01f});
    if (trial == 7) e[1] = NAN;
    ImageBatch batch;
    std::size_t s = 0;
    for (std::size_t b = 0; b < lattice.batchCount(); ++b) {
      batch.compute(e, lattice, b, grid);
      for (std::size_t i = 0; i < batch.count; ++i, ++s) {
        if (n > 6 && s % 101 != 0) continue;
        const int k = static_cast<int>(s % static_cast<std::size_t>(2 * n + 1)) - n;
        const int j = static_cast<int>(s / static_cast<std::size_t>(2 * n + 1) % static_cast<std::size_t>(2 * n + 1)) - n;
        const int ii = static_cast<int>(s / static_cast<std::size_t>((2 * n + 1) * (2 * n + 1))) - n;
        const Vector3f o = latticeOffset(q, ii, j, k);
        const Vector3f y{batch.x[i], batch.y[i], batch.z[i]};
        for (std::size_t c = 0; c < 3; ++c) ASSERT_TRUE(sameBits(y[c], reference::reduce(e[c] + o[c]))) << s;
        ASSERT_EQ(batch.buckets[i], grid.bucketOf(y)) << s;
      }
    }
    ASSERT_EQ(s, lattice.size());
  }
}

/// Bit-for-bit equality of two lists, sign of zero included.
void expectSameLists(const std::vector<UnitCellAtom>& a, const std::vector<UnitCellAtom>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(sameBits(a[i].x, b[i].x) && sameBits(a[i].y, b[i].y) && sameBits(a[i].z, b[i].z)) << "entry " << i;
    ASSERT_EQ(a[i].averagedCount, b[i].averagedCount) << "entry " << i;
    ASSERT_EQ(a[i].siteIndex, b[i].siteIndex) << "entry " << i;
    ASSERT_EQ(a[i].operatorIndex, b[i].operatorIndex) << "entry " << i;
  }
}

TEST(IndexedSearch, SupercellsAndClustersGiveThePlainScansResults) {
  Points r{std::mt19937(31)};
  const std::vector<Matrix3f> matrices = {test::diagonal(2, 2, 2), test::diagonal(3, 1, 2), test::diagonal(1, 1, 3),
                                          {{{1, 1, 0}, {-1, 1, 0}, {0, 0, 2}}}, {{{2, 1, 0}, {0, 1, 0}, {1, 0, 1}}}};
  for (int trial = 0; trial < 30; ++trial) {
    SCOPED_TRACE(trial);
    // Sites that are often within a tolerance or two of each other: the merged positions
    // drift, entries move between buckets, and images meet two entries at once.
    const float tolerance = std::array<float, 4>{0.05f, 0.3f, 0.6f, 1.2f}[static_cast<std::size_t>(trial % 4)];
    std::vector<Site> sites;
    std::vector<Vector3f> placed;
    const Vector3f near{0.05f, 0.05f, 0.05f};
    const int count = 4 + r.pick(20);
    for (int i = 0; i < count; ++i) {
      const Vector3f p = r.position(placed, near);
      placed.push_back(p);
      sites.push_back(test::makeSite("A" + std::to_string(i + 1), 6 + r.pick(3), p[0], p[1], p[2]));
    }
    const bool centric = r.pick(2) == 0;
    CrystalDocument doc = test::makeDocument(centric ? "P -1" : "P 1", {"X,Y,Z;"}, centric ? 0 : 1, 1,
                                             {7.1f, 8.3f, 6.7f, 90, 101, 90}, sites);
    ScriptedUserInterface ui;
    BuildSymmetryMatrices(doc.crystals[0], ui);
    std::vector<UnitCellAtom> oldCell;
    ASSERT_TRUE(fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, oldCell, nullptr));

    const Matrix3f m = matrices[static_cast<std::size_t>(trial % static_cast<int>(matrices.size()))];
    const Cell nc = newCellParameters(doc.crystals[0].cell, m);
    NewCellTransfer p;
    p.q = invertTransformMatrix(m).inverse;
    p.postMatrixShift = {0.0f, r.pick(2) ? 0.0f : 0.25f, 0.0f};
    p.tolerance = {tolerance / nc[0], tolerance / nc[1], tolerance / nc[2]};
    p.searchRange = latticeSearchRange(m);
    p.limit = 4000;
    std::vector<UnitCellAtom> fast;
    std::string fastReport, plainReport;
    ASSERT_EQ(transferToNewCell(oldCell, doc.sites[0], p, fast, &fastReport), TransferStatus::Done);
    expectSameLists(fast, reference::transfer(oldCell, doc.sites[0], p, plainReport));
    EXPECT_EQ(fastReport, plainReport);
  }
}

}  // namespace
}  // namespace tessera
