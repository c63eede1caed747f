// Old-lattice images applied in groups against the images placed one by one: the
// exactness argument itself, and whole full-cell runs (report and the New crystal as
// saved) on supercells, centred lattices, fractional and skew matrices, shifts and
// atoms given outside the cell.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "support/structures.h"
#include "transform/coincidence.h"
#include "transform/new_cell_list.h"
#include "transform/repeated_images.h"
#include "transform/slotted_images.h"
#include "transform/transform_engine.h"

namespace tessera {
namespace {

using test::diagonal;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(GroupedImages, AverageKeepsPositionOnlyWhereTheArithmeticIsExact) {
  std::mt19937 rng(3);
  int accepted = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    // Dyadic positions with few significant bits (supercells by powers of two), and
    // arbitrary ones.
    const int denominator = 1 << std::uniform_int_distribution<int>(0, 12)(rng);
    const float p = trial % 3 == 0 ? std::uniform_real_distribution<float>(0.0f, 0.99f)(rng)
                                   : static_cast<float>(std::uniform_int_distribution<int>(0, denominator - 1)(rng)) /
                                         static_cast<float>(denominator);
    const long long after = std::uniform_int_distribution<long long>(1, 5000)(rng);
    if (!averageKeepsPosition(p, after)) continue;
    ++accepted;
    for (long long n = 1; n < after; ++n) {
      ASSERT_TRUE(sameBits(averageCoordinate(p, static_cast<int>(n), p), p)) << p << " at count " << n;
    }
  }
  EXPECT_GT(accepted, 1000);
  EXPECT_TRUE(averageKeepsPosition(-0.0f, 1 << 30));
  EXPECT_TRUE(averageKeepsPosition(0.1f, 536870912));         // 0.1 has 24 significant bits
  EXPECT_FALSE(averageKeepsPosition(0.1f, 671088641));
  EXPECT_FALSE(averageKeepsPosition(0.99999f, 1));            // not in the cell
  EXPECT_FALSE(averageKeepsPosition(std::nanf(""), 1));
  EXPECT_TRUE(averageKeepsPosition(0.375f, 3002399751580330));   // 3 x that < 2^53
  EXPECT_FALSE(averageKeepsPosition(0.375f, 3002399751580331));
}

TEST(GroupedImages, ManyImagesAveragedIntoOneEntryDoNotDrift) {
  // Corundum 1 x 1 x 25 merges some 2 x 10^5 images into each entry: averaged in float,
  // Al at 1/3 2/3 crept to 0.33295 0.66590 and the drifted entries no longer met their
  // own images (1147 atoms instead of 750).
  const Vector3f start{1.0f / 3, 2.0f / 3, 0.35216f};
  Vector3f e = start;
  for (int n = 1; n < 300000; ++n) {
    Vector3f x = start;
    for (std::size_t k = 0; k < 3; ++k) x[k] = std::nextafter(start[k], n % 2 ? 1.0f : 0.0f);
    e = runningAverage(e, n, x);
  }
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(e[k], start[k], 1e-6) << k;
}

TEST(GroupedImages, ApplyOnlyToDiagonalInverses) {
  const auto grouped = [](const Matrix3f& m, int n) {
    const Matrix3f q = invertTransformMatrix(m).inverse;
    return RepeatedImages(LatticeOffsets(q, n), q, n).applies();
  };
  EXPECT_TRUE(grouped(diagonal(4, 2, 3), 4));
  EXPECT_TRUE(grouped(diagonal(2, 1, 0.5f), 2));
  EXPECT_TRUE(grouped(diagonal(64, 64, 64), 64));  // offsets made batch by batch
  // A negative axis makes the zero offset's sign depend on the other indices.
  EXPECT_FALSE(grouped(diagonal(-2, 1, 1), 2));
  EXPECT_FALSE(grouped({{{0, 1, 1}, {1, 0, 1}, {1, 1, 0}}}, 1));
  EXPECT_FALSE(RepeatedImages().applies());
}

TEST(GroupedImages, SettledPowerOfTwoSupercellTakesEachEntrysImagesAtOnce) {
  // Rock salt 4 x 4 x 4: every position is a multiple of 1/8, every image lands exactly
  // on an entry and the averages are exact, so a whole entry's 9^3 images are applied
  // as counts; a 3 x 3 x 3 cell's images do not land exactly and are refused.
  for (const int n : {4, 3}) {
    CrystalDocument doc = test::rockSalt();
    ScriptedUserInterface ui;
    std::vector<UnitCellAtom> oldCell;
    ASSERT_TRUE(fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, oldCell, nullptr));
    NewCellTransfer p;
    const float fn = static_cast<float>(n);
    p.q = invertTransformMatrix(diagonal(fn, fn, fn)).inverse;
    p.tolerance = {0.01f, 0.01f, 0.01f};
    p.searchRange = n;
    p.groupRepeatedImages = false;
    p.limit = static_cast<std::size_t>(40 * n * n * n) + 1000;  // sizes the search grid
    std::vector<UnitCellAtom> settled;
    ASSERT_EQ(transferToNewCell(oldCell, doc.sites[0], p, settled, nullptr), TransferStatus::Done);
    ASSERT_EQ(settled.size(), static_cast<std::size_t>(8 * n * n * n));

    std::vector<UnitCellAtom> atoms;
    IndexedList list(atoms, p.tolerance, settled.size());
    for (const UnitCellAtom& a : settled) {
      list.append(a, float4(a.x, a.y, a.z));
      list.addToCount(static_cast<int>(list.size()) - 1, a.averagedCount - 1);
    }
    RepeatedImages grouped(LatticeOffsets(p.q, n), p.q, n);
    ASSERT_TRUE(grouped.applies());
    const UnitCellAtom e = list.atom(5);
    const int span = 2 * n + 1;
    EXPECT_EQ(grouped.place(list, e.position(), e.typeNumber), n == 4);
    long long added = 0;
    for (std::size_t i = 0; i < settled.size(); ++i) {
      added += list.count(static_cast<int>(i)) - settled[i].averagedCount;
      EXPECT_TRUE(sameBits(list.atom(i).x, settled[i].x) && sameBits(list.atom(i).z, settled[i].z));
    }
    EXPECT_EQ(added, n == 4 ? span * span * span : 0);
  }
}

TEST(GroupedImages, AverageLeavesInPlaceOnlyWhereEveryCountDoes) {
  std::mt19937 rng(5);
  int accepted = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    const float e = trial % 5 == 0 ? (trial % 2 ? 0.0f : 1e-40f) : std::uniform_real_distribution<float>(-0.00001f, 0.99f)(rng);
    const int ulps = std::uniform_int_distribution<int>(0, 40)(rng);
    float low = e, high = e;
    for (int u = 0; u < ulps; ++u) {
      if (u % 2) low = std::nextafter(low, -1.0f);
      else high = std::nextafter(high, 2.0f);
    }
    const int n = std::uniform_int_distribution<int>(0, 3000)(rng);
    if (!averageLeavesInPlace(e, low, high, n)) continue;
    ++accepted;
    for (int step = 0; step < 20; ++step)
      for (float x = low;; x = std::nextafter(x, 2.0f)) {
        ASSERT_TRUE(sameBits(averageCoordinate(e, n + step, x), e)) << e << " " << x << " at count " << n + step;
        if (x >= high) break;
      }
  }
  EXPECT_GT(accepted, 1500);
  // A spread of a few steps vanishes only once the count is large; at zero only zero stays.
  const float p = 0.15f, next = std::nextafter(p, 1.0f);
  EXPECT_FALSE(averageLeavesInPlace(p, p, next, 0));
  EXPECT_TRUE(averageLeavesInPlace(p, p, next, 2));
  EXPECT_FALSE(averageLeavesInPlace(0.0f, 0.0f, 1e-30f, 1000000));
  EXPECT_TRUE(averageLeavesInPlace(0.0f, 0.0f, 0.0f, 7));
  EXPECT_FALSE(averageLeavesInPlace(-0.0f, 0.0f, 0.0f, 7));
  EXPECT_FALSE(averageLeavesInPlace(0.0f, -1e-44f, 0.0f, 1000));  // would give -0
}

TEST(GroupedImages, SlottedPlacingOfOneEntryIsThePlainPlacing) {
  // Rock salt 5 x 5 x 5 half settled: images land within a few steps of their entries,
  // some averages move and some do not. The images of each of several entries, through
  // the slots and one by one on a copy, leave every entry the same bit for bit.
  CrystalDocument doc = test::rockSalt();
  ScriptedUserInterface ui;
  std::vector<UnitCellAtom> oldCell;
  ASSERT_TRUE(fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, oldCell, nullptr));
  const int n = 5;
  NewCellTransfer p;
  p.q = invertTransformMatrix(diagonal(5, 5, 5)).inverse;
  p.tolerance = {0.01f, 0.01f, 0.01f};
  p.searchRange = n;
  p.groupRepeatedImages = false;
  p.limit = 40 * 125 + 1000;
  std::vector<UnitCellAtom> settled;
  ASSERT_EQ(transferToNewCell(oldCell, doc.sites[0], p, settled, nullptr), TransferStatus::Done);
  ASSERT_EQ(settled.size(), 1000u);
  const auto listOf = [&](std::vector<UnitCellAtom>& atoms, int halve) {
    IndexedList list(atoms, p.tolerance, settled.size());
    for (const UnitCellAtom& a : settled) {
      list.append(a, float4(a.x, a.y, a.z));
      list.addToCount(static_cast<int>(list.size()) - 1, a.averagedCount / halve - 1);
    }
    return list;
  };
  for (const int halve : {1, 400}) {
    std::vector<UnitCellAtom> a, b;
    IndexedList slots = listOf(a, halve), plain = listOf(b, halve);
    const LatticeOffsets lattice(p.q, n);
    SlottedImages slotted(lattice, p.q, n, p.tolerance);
    ASSERT_TRUE(slotted.applies());
    bool anyMoved = false;
    for (const std::size_t m : {0u, 7u, 333u, 999u}) {
      const UnitCellAtom e = plain.atom(m);
      bool moved = false;
      ASSERT_TRUE(slotted.place(slots, e.position(), e.typeNumber, moved)) << m;
      anyMoved = anyMoved || moved;
      for (int i = -n; i <= n; ++i)
        for (int j = -n; j <= n; ++j)
          for (int k = -n; k <= n; ++k) {
            const Vector3f o = latticeOffset(p.q, i, j, k);
            const Float4 x = float4(reduceIntoCell(e.x + o[0]), reduceIntoCell(e.y + o[1]), reduceIntoCell(e.z + o[2]));
            Float4 shifted;
            const int hit = plain.findFirst(plain.grid().bucketOf({x[0], x[1], x[2]}), x, shifted);
            ASSERT_GE(hit, 0);
            plain.mergeInto(hit, shifted);
          }
      for (std::size_t i = 0; i < settled.size(); ++i) {
        const UnitCellAtom u = slots.atom(i), v = plain.atom(i);
        ASSERT_TRUE(sameBits(u.x, v.x) && sameBits(u.y, v.y) && sameBits(u.z, v.z)) << i;
        ASSERT_EQ(u.averagedCount, v.averagedCount) << i;
      }
    }
    EXPECT_TRUE(anyMoved || halve == 1);  // with few images averaged in, entries move
  }
}

struct Case {
  const char* name;
  CrystalDocument (*make)();
  std::array<std::array<float, 3>, 3> matrix;
  float tolerance;
  bool newInP1;
};

CrystalDocument outsideTheCell() {
  // Sites given beyond the cell faces and on them, two of them within the tolerance.
  return test::makeDocument("P 1 21/c 1", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, {5.1f, 6.2f, 7.3f, 90, 101.5f, 90},
                            {test::makeSite("C1", 6, 1.25f, -0.375f, 0.5f), test::makeSite("O1", 8, -0.5f, 0.0f, 1.0f),
                             test::makeSite("N1", 7, 1.26f, -0.37f, 0.51f), test::makeSite("S1", 16, 0.3f, 2.7f, -1.1f)});
}

CrystalDocument randomCell() { return test::randomP1(6, 11); }

/// Sites on eighths, whose images land exactly, beside one that is not and two of
/// different types within the tolerance: some entries take the grouped route, others not.
CrystalDocument mixedCell() {
  return test::makeDocument("P 1", {"X,Y,Z;"}, 1, 1, {6, 7, 8, 90, 90, 90},
                            {test::makeSite("Fe1", 26, 0.125f, 0.25f, 0.5f), test::makeSite("O1", 8, 0.0f, 0.0f, 0.0f),
                             test::makeSite("C1", 6, 0.1f, 0.3f, 0.7f), test::makeSite("N1", 7, 0.75f, 0.625f, 0.875f),
                             test::makeSite("N2", 8, 0.7501f, 0.625f, 0.875f)});
}

/// What a run shows and saves: the report, the messages, and the New crystal written as
/// the native file writes a document (after Transformed to Input).
std::string runAndSave(const Case& c, bool grouped) {
  CrystalDocument doc = c.make();
  doc.documentPath = "/tmp/tessera-grouped.tsr";
  doc.transformation.resetToIdentity();
  doc.transformation.matrix = c.matrix;
  doc.transformation.tolerance = c.tolerance;
  if (std::string(c.name) == "shifted") {
    doc.transformation.preMatrixShift = {0.125f, 0.0f, 0.25f};
    doc.transformation.postMatrixShift = {0.0f, 0.5f, 0.0f};
    doc.transformation.preSymmetryShift = {0.0f, 0.0f, 0.0625f};
  }
  if (c.newInP1) {
    CrystalRecord& n = doc.crystals[1];
    n.xyzLines = {"X,Y,Z;"};
    n.acentric = 1;
    n.latticeCode = 1;
    n.matricesValid = 0;
    n.hmSymbol = "P 1";
  }
  ScriptedUserInterface ui;
  for (int i = 0; i < 4; ++i) ui.answers.push_back(Answer::Yes);
  std::string report;
  const MatrixInverse inv = invertTransformMatrix(c.matrix);
  const bool ok = TransformFullCells(doc, inv, ui, report, {"01/02/03", "04:05:06"}, grouped);
  std::string shown = (ok ? "ok\n" : "refused\n") + report;
  for (const std::string& m : ui.messages()) shown += "message: " + m + "\n";
  doc.crystals[0] = doc.crystals[1];
  doc.sites[0] = doc.sites[1];
  return shown + "----\n" + documentFileText(doc);
}

TEST(GroupedImages, FullCellRunsShowAndSaveWhatThePlainPlacingDoes) {
  const Case cases[] = {
      {"rock salt 4x4x4", test::rockSalt, diagonal(4, 4, 4), 0.4f, true},
      {"rock salt 3x2x2", test::rockSalt, diagonal(3, 2, 2), 0.4f, true},
      {"rock salt 2x2x2 own symmetry", test::rockSalt, diagonal(2, 2, 2), 0.4f, false},
      {"corundum 1x1x4", test::corundum, diagonal(1, 1, 4), 0.4f, true},
      {"corundum 2x2x1", test::corundum, diagonal(2, 2, 1), 0.05f, true},
      {"quartz 2x2x2", test::quartz, diagonal(2, 2, 2), 0.4f, true},
      {"quartz half cell", test::quartz, diagonal(0.5f, 0.5f, 1), 0.4f, true},
      {"monoclinic 2x1x4 reversed", test::monoclinic, diagonal(-2, 1, 4), 0.2f, true},
      {"shifted", test::monoclinic, diagonal(2, 2, 2), 0.3f, true},
      {"outside the cell 2x2x2", outsideTheCell, diagonal(2, 2, 2), 0.4f, true},
      {"outside the cell skew", outsideTheCell, {{{1, 1, 0}, {-1, 1, 0}, {0, 0, 2}}}, 0.4f, true},
      {"random 2x4x2", randomCell, diagonal(2, 4, 2), 1.2f, true},
      {"mixed 4x4x2", mixedCell, diagonal(4, 4, 2), 0.3f, true},
      {"mixed 8x2x2", mixedCell, diagonal(8, 2, 2), 0.3f, true},
      {"rock salt 6x6x6", test::rockSalt, diagonal(6, 6, 6), 0.4f, true},
      {"corundum 1x1x9", test::corundum, diagonal(1, 1, 9), 0.4f, true},
      {"quartz 3x3x2", test::quartz, diagonal(3, 3, 2), 0.4f, true},
      {"rock salt F to P", test::rockSalt, {{{0, 0.5f, 0.5f}, {0.5f, 0, 0.5f}, {0.5f, 0.5f, 0}}}, 0.4f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string plain = runAndSave(c, false);
    EXPECT_EQ(runAndSave(c, true), plain);
    EXPECT_EQ(plain.rfind("ok\n", 0), 0u);
  }
}

}  // namespace
}  // namespace tessera
