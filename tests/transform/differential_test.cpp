// The indexed searches against the plain scans of reference_transform.cpp, on many
// random small structures, symmetries, matrices and tolerances.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "core/scripted_user_interface.h"
#include "symmetry/symmetry_operators.h"
#include "transform/reference_transform.h"
#include "support/structures.h"

namespace tessera {
namespace {

struct Group {
  std::vector<std::string> lines;
  int acentric, lattice;
  char system;  // t triclinic, m monoclinic, h hexagonal, c cubic
};

const std::vector<Group>& groups() {
  static const std::vector<Group> g = {
      {{"X,Y,Z;"}, 1, 1, 't'},
      {{"X,Y,Z;"}, 0, 1, 't'},
      {{"X,Y,Z;"}, 0, 6, 't'},
      {{"X,Y,Z;", "-X,Y,-Z;"}, 0, 1, 'm'},
      {{"X,Y,Z;", "-X,Y,1/2-Z;"}, 0, 4, 'm'},
      {{"X,Y,Z;", "-Y,X-Y,2/3+Z;", "-X+Y,-X,1/3+Z;", "Y,X,-Z;", "X-Y,-Y,1/3-Z;", "-X,-X+Y,2/3-Z;"}, 1, 1, 'h'},
      {{"X,Y,Z;", "-Y,X-Y,Z;", "-X+Y,-X,Z;", "Y,X,1/2-Z;", "X-Y,-Y,1/2-Z;", "-X,-X+Y,1/2-Z;"}, 0, 7, 'h'},
      {test::rockSalt().crystals[0].xyzLines, 0, 5, 'c'},
  };
  return g;
}

struct Random {
  std::mt19937 rng;
  float uniform(float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

  /// A coordinate that is often on or near a special value or a cell face.
  float coordinate() {
    const float specials[] = {0.0f, 0.5f, 0.25f, 1.0f / 3.0f, 0.999f};
    switch (pick(3)) {
      case 0: return uniform(0.0f, 0.99f);
      case 1: return reference::reduce(specials[pick(5)] + uniform(-0.004f, 0.004f));
      default: return specials[pick(5)];
    }
  }

  Matrix3f matrix(char system) {
    switch (pick(4)) {
      case 0: return standardMatrices()[static_cast<std::size_t>(pick(kStandardMatrixCount))].matrix;
      case 1: return test::diagonal(float(1 + pick(2)), float(1 + pick(2)), float(1 + pick(2)));
      case 2: return system == 'h' ? standardMatrices()[2].matrix : unitMatrix();
      default: {
        Matrix3f m{};
        for (auto& row : m)
          for (float& v : row) v = static_cast<float>(pick(4) - 1);
        return m;
      }
    }
  }
};

Cell cellFor(Random& r, char system) {
  const float a = r.uniform(4, 9);
  switch (system) {
    case 'c': return {a, a, a, 90, 90, 90};
    case 'h': return {a, a, r.uniform(4, 9), 90, 90, 120};
    case 'm': return {a, r.uniform(4, 9), r.uniform(4, 9), 90, r.uniform(92, 110), 90};
    default: return {a, r.uniform(4, 9), r.uniform(4, 9), r.uniform(80, 100), r.uniform(80, 100), r.uniform(80, 100)};
  }
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

/// Equal bit for bit: a zero keeps its sign, which the report shows.
bool same(const std::vector<UnitCellAtom>& a, const std::vector<UnitCellAtom>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!sameBits(a[i].x, b[i].x) || !sameBits(a[i].y, b[i].y) || !sameBits(a[i].z, b[i].z) ||
        a[i].siteIndex != b[i].siteIndex || a[i].operatorIndex != b[i].operatorIndex ||
        a[i].averagedCount != b[i].averagedCount || a[i].typeNumber != b[i].typeNumber)
      return false;
  return true;
}

TEST(TransformDifferential, IndexedSearchesGiveThePlainScansResults) {
  Random r{std::mt19937(20240611u)};
  int compared = 0;
  for (int trial = 0; compared < 70 && trial < 400; ++trial) {
    SCOPED_TRACE(trial);
    const Group& g = groups()[static_cast<std::size_t>(r.pick(static_cast<int>(groups().size())))];
    std::vector<Site> sites;
    const int count = g.system == 'c' ? 1 + r.pick(2) : 1 + r.pick(4);
    for (int i = 0; i < count; ++i) {
      Site s = test::makeSite("S" + std::to_string(i + 1), 6 + r.pick(2), r.coordinate(), r.coordinate(), r.coordinate());
      if (i > 0 && r.pick(3) == 0) {  // a near neighbour of the previous site, maybe of another type
        s.x = reference::reduce(sites.back().x + r.uniform(-0.03f, 0.03f));
        s.y = sites.back().y;
        s.z = sites.back().z;
      }
      sites.push_back(s);
    }
    CrystalDocument doc = test::makeDocument("G", g.lines, g.acentric, g.lattice, cellFor(r, g.system), sites);
    ScriptedUserInterface ui;
    CrystalRecord& old = doc.crystals[0];
    BuildSymmetryMatrices(old, ui);

    std::string fastReport;
    std::vector<UnitCellAtom> oldCell;
    ASSERT_TRUE(fillUnitCellFrom(old, doc.sites[0], UnitCellHeading::OldCell, ui, oldCell, &fastReport));
    std::string refReport;
    const std::vector<UnitCellAtom> refOld = reference::fillUnitCell(old, doc.sites[0], refReport);
    ASSERT_TRUE(same(oldCell, refOld));

    const Matrix3f m = r.matrix(g.system);
    const MatrixInverse inv = invertTransformMatrix(m);
    if (inv.singular || std::fabs(inv.determinant) * oldCell.size() > 300 || latticeSearchRange(m) > 3) continue;
    const Cell nc = newCellParameters(old.cell, m);
    const float tol = std::array<float, 5>{0.01f, 0.1f, 0.4f, 0.8f, 1.5f}[static_cast<std::size_t>(r.pick(5))];
    NewCellTransfer p;
    p.q = inv.inverse;
    p.preMatrixShift = {r.pick(2) ? 0.0f : r.uniform(-0.5f, 0.5f), 0.0f, 0.0f};
    p.postMatrixShift = {0.0f, 0.0f, r.pick(2) ? 0.0f : r.uniform(-0.5f, 0.5f)};
    p.tolerance = {tol / nc[0], tol / nc[1], tol / nc[2]};
    p.searchRange = latticeSearchRange(m);
    p.limit = 2000;  // guards the reference against a runaway; never reached by these cases
    std::vector<UnitCellAtom> fastNew;
    std::string fastTransfer, refTransfer;
    ASSERT_EQ(transferToNewCell(oldCell, doc.sites[0], p, fastNew, &fastTransfer), TransferStatus::Done);
    const std::vector<UnitCellAtom> refNew = reference::transfer(oldCell, doc.sites[0], p, refTransfer);
    ASSERT_TRUE(same(fastNew, refNew));
    ASSERT_EQ(fastTransfer, refTransfer);

    CrystalRecord& newC = doc.crystals[1];
    if (r.pick(2)) newC.xyzLines = {"X,Y,Z;"};
    BuildSymmetryMatrices(newC, ui);
    ReductionInput in;
    in.newCell = &fastNew;
    in.working = &doc.sites[0];
    in.workingFrame = prepareReciprocalCell(old.cell);
    in.tolerance = p.tolerance;
    std::vector<Site> fastUnique;
    std::string fastReduce, refReduce;
    ASSERT_TRUE(reduceBySymmetry(newC, in, fastUnique, ui, &fastReduce));
    int initialAtom = 0;
    const std::vector<Site> refUnique = reference::reduceBySymmetry(newC, in, refReduce, initialAtom);
    ASSERT_EQ(fastReduce, refReduce);
    ASSERT_EQ(static_cast<int>(ui.messages().size()), initialAtom);
    ASSERT_EQ(fastUnique.size(), refUnique.size());
    for (std::size_t i = 0; i < refUnique.size(); ++i) {
      EXPECT_TRUE(sameBits(fastUnique[i].x, refUnique[i].x));
      EXPECT_TRUE(sameBits(fastUnique[i].y, refUnique[i].y));
      EXPECT_TRUE(sameBits(fastUnique[i].z, refUnique[i].z));
      EXPECT_EQ(fastUnique[i].auxNumber, refUnique[i].auxNumber);
      EXPECT_EQ(fastUnique[i].label, refUnique[i].label);
    }
    ++compared;
  }
  EXPECT_EQ(compared, 70);
}

TEST(TransformDifferential, ReductionIntoTheCellEqualsTheOneCellLoops) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> wide(-3000.0f, 3000.0f), narrow(-2.5f, 2.5f);
  for (int i = 0; i < 50000; ++i) {
    const float u = (i % 2) ? wide(rng) : narrow(rng);
    ASSERT_TRUE(sameBits(reduceIntoCell(u), reference::reduce(u))) << u;
  }
  // The ends of the range the reduction takes without loops, the cell bounds on either
  // side, and zeros of both signs.
  std::vector<float> edges;
  for (float v : {-1.0f, 2.0f, 1.99999f, 1.0f, 0.99999f, -0.00001f, 0.0f, -0.0f, 1e-7f, -1e-7f, 1e-40f, -1e-40f,
                  -0.99999f, -1.00001f, 0.5f, 1.5f, -2.0f})
    for (float w = v, k = 0; k < 4; ++k, w = std::nextafter(w, 10.0f)) edges.push_back(w);
  for (float v : edges) {
    EXPECT_TRUE(sameBits(reduceIntoCell(v), reference::reduce(v))) << v;
    EXPECT_TRUE(sameBits(reduceIntoCell(-v), reference::reduce(-v))) << -v;
    const float down = std::nextafter(v, -10.0f);
    EXPECT_TRUE(sameBits(reduceIntoCell(down), reference::reduce(down))) << down;
  }
}

}  // namespace
}  // namespace tessera
