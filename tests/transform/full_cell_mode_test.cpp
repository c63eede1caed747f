// The full-unit-cell mode on real structures: counts, merges, symmetry reduction,
// the recycle question and the faults of the plain rules.

#include <gtest/gtest.h>

#include <cmath>

#include "core/scripted_user_interface.h"
#include "core/text.h"
#include "support/test_paths.h"
#include "support/structures.h"
#include "transform/transform_engine.h"
#include "transform/unit_cell.h"

namespace tessera {
namespace {

using test::diagonal;

const ReportStamp kStamp{"07/20/99", "12:00:00"};

struct FullRun {
  bool ok = false;
  std::string report;
};

FullRun runFull(CrystalDocument& doc, ScriptedUserInterface& ui) {
  const MatrixInverse inv = invertTransformMatrix(doc.transformation.matrix);
  FullRun r;
  r.ok = TransformFullCells(doc, inv, ui, r.report, kStamp);
  return r;
}

void setP1(CrystalRecord& c) {
  c.xyzLines = {"X,Y,Z;"};
  c.acentric = 1;
  c.latticeCode = 1;
  c.matricesValid = 0;
  c.hmSymbol = "P 1";
}

int countOld(CrystalDocument doc) {
  ScriptedUserInterface ui;
  std::vector<UnitCellAtom> atoms;
  fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, atoms, nullptr);
  return static_cast<int>(atoms.size());
}

/// The averaged counts printed in the new-cell list.
std::vector<int> averagedCounts(const std::string& report) {
  std::vector<int> counts;
  const auto start = report.find("No. Averaged");
  const auto end = report.find("Symmetry-unique atoms", start);
  for (const std::string& line : splitTokens(report.substr(start, end - start), "\n")) {
    const auto tokens = splitTokens(line);
    if (tokens.size() == 8) counts.push_back(std::stoi(tokens[7]));
  }
  return counts;
}

TEST(FullCellMode, RockSaltFToPAndUnitMatrixCounts) {
  CrystalDocument doc = test::rockSalt();
  doc.sites[0].pop_back();  // Na alone
  doc.transformation.matrix = standardMatrices()[7].matrix;
  setP1(doc.crystals[1]);
  ScriptedUserInterface ui;
  FullRun r = runFull(doc, ui);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(averagedCounts(r.report), std::vector<int>{31});
  EXPECT_NE(r.report.find(" a = 3.988083, b = 3.988083, c = 3.988083\n alpha = 59.999996"), std::string::npos);
  EXPECT_NE(r.report.find("vol. ratio =   0.25"), std::string::npos);
  EXPECT_EQ(doc.newSiteCount(), 1);

  // Unit matrix, New symmetry = Old: every entry counts 28 and the unique atoms are the input atoms.
  CrystalDocument q = test::quartz();
  FullRun u = runFull(q, ui);
  ASSERT_TRUE(u.ok);
  const std::vector<int> counts = averagedCounts(u.report);
  EXPECT_EQ(counts, std::vector<int>(9, 28));
  ASSERT_EQ(q.newSiteCount(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(q.sites[1][i].x, q.sites[0][i].x, 1e-5);
    EXPECT_NEAR(q.sites[1][i].y, q.sites[0][i].y, 1e-5);
    EXPECT_NEAR(q.sites[1][i].z, q.sites[0][i].z, 1e-5);
    EXPECT_EQ(q.sites[1][i].label, q.sites[0][i].label);
    EXPECT_EQ(q.sites[1][i].ortepType, 6);
  }
  EXPECT_TRUE(ui.questions().empty());
}

TEST(FullCellMode, SupercellsHoldDeterminantTimesTheOldAtoms) {
  struct Case {
    CrystalDocument doc;
    std::array<std::array<float, 3>, 3> m;
  };
  std::vector<Case> cases = {{test::quartz(), diagonal(3, 3, 3)},
                             {test::quartz(), diagonal(2, 2, 1)},
                             {test::corundum(), diagonal(2, 1, 2)},
                             {test::monoclinic(), {{{1, 0, 1}, {0, 2, 0}, {-1, 0, 1}}}},
                             {test::rockSalt(), standardMatrices()[7].matrix}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.doc.crystals[0].hmSymbol);
    const int nOld = countOld(c.doc);
    c.doc.transformation.matrix = c.m;
    // A supercell is described in P 1: the old operators do not map the new cell onto itself.
    setP1(c.doc.crystals[1]);
    ScriptedUserInterface ui;
    FullRun r = runFull(c.doc, ui);
    ASSERT_TRUE(r.ok);
    const double det = std::fabs(invertTransformMatrix(c.m).determinant);
    EXPECT_EQ(c.doc.newSiteCount(), static_cast<int>(std::lround(det * nOld)));
    EXPECT_TRUE(ui.questions().empty());
  }
}

TEST(FullCellMode, FixedRulesMergeAcrossFacesAndWarnOfAWrongNewSymmetry) {
  // Two atoms 0.1 A apart across the a face; in the doubled cell each pair must be one
  // entry even where an old-lattice image lands on the other side of the face.
  CrystalDocument doc = test::makeDocument("P 1", {"X,Y,Z;"}, 1, 1, {10, 10, 10, 90, 90, 90},
                                           {test::makeSite("A", 6, 0.995f, 0.2f, 0.2f), test::makeSite("B", 6, 0.005f, 0.2f, 0.2f)});
  doc.transformation.matrix = diagonal(2, 1, 1);
  ScriptedUserInterface ui;
  FullRun r = runFull(doc, ui);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(averagedCounts(r.report).size(), 2u);
  EXPECT_EQ(doc.newSiteCount(), 2);
  EXPECT_TRUE(ui.events.empty());

  // F -> P with the F symmetry left on the New crystal: it generates 4 atoms from 1.
  CrystalDocument salt = test::rockSalt();
  salt.sites[0].pop_back();
  salt.transformation.matrix = standardMatrices()[7].matrix;
  ScriptedUserInterface no;
  no.answers = {Answer::No};
  ASSERT_TRUE(runFull(salt, no).ok);
  ASSERT_EQ(no.events.size(), 2u);
  EXPECT_EQ(no.events[0].text, "The new symmetry generates 4 atoms from 1 atoms in the new cell - check the new space group");
  EXPECT_EQ(no.events[1].text,
            "Original atoms in new unit cell: 1 - generated atoms in new unit cell: 4 - recycle to refine special positions?");
  EXPECT_EQ(salt.newSiteCount(), 1);

  // Yes recycles once: the generated list becomes the new-cell list and then agrees.
  salt = test::rockSalt();
  salt.sites[0].pop_back();
  salt.transformation.matrix = standardMatrices()[7].matrix;
  ScriptedUserInterface yes;
  FullRun y = runFull(salt, yes);
  ASSERT_TRUE(y.ok);
  EXPECT_EQ(yes.questions().size(), 1u);
  const auto recycle = y.report.find("\n ***\tRecycling - cycle no. 1\n");
  ASSERT_NE(recycle, std::string::npos);
  EXPECT_EQ(y.report.find("Recycling - cycle no. 2"), std::string::npos);
  EXPECT_NE(y.report.find("Symmetry-unique atoms", recycle), std::string::npos);
  EXPECT_NE(y.report.find("All atoms in new unit cell", recycle), std::string::npos);
}

TEST(FullCellMode, AtomsOnTheCellFaceAreKept) {
  // 0.99999 is outside the cell, and 0.99999 - 1 is just below -0.00001: no whole
  // translation brings either strictly inside. Such atoms stay, on the lower face.
  const float face = 0.99999f - 1.0f;
  ASSERT_LT(face, kCellLow);
  CrystalDocument doc = test::makeDocument("P 1", {"X,Y,Z;"}, 1, 1, {10, 10, 10, 90, 90, 90},
                                           {test::makeSite("A", 6, 0.99999f, 0.5f, 0.5f),
                                            test::makeSite("B", 8, 0.5f, face, 0.25f)});
  std::vector<UnitCellAtom> atoms;
  std::string listing;
  ScriptedUserInterface ui;
  ASSERT_TRUE(fillUnitCellFrom(doc.crystals[0], doc.sites[0], UnitCellHeading::OldCell, ui, atoms, &listing));
  ASSERT_EQ(atoms.size(), 2u);
  EXPECT_EQ(listing.find("not in cell"), std::string::npos);
  EXPECT_EQ(atoms[0].x, face);
  EXPECT_EQ(atoms[1].y, face);

  // The unit matrix keeps both, without a question about special positions; a doubled
  // cell keeps twice as many (in a 15 x 15 x 15 quartz cell 225 atoms were lost here).
  FullRun r = runFull(doc, ui);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.report.find("not in cell"), std::string::npos);
  EXPECT_EQ(doc.newSiteCount(), 2);
  EXPECT_TRUE(ui.questions().empty());
  doc.transformation.matrix = diagonal(2, 2, 1);
  r = runFull(doc, ui);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(doc.newSiteCount(), 8);
  EXPECT_TRUE(ui.questions().empty());
}

TEST(FullCellMode, DifferentTypesAreReportedAndMerged) {
  CrystalDocument doc = test::makeDocument("P 1", {"X,Y,Z;"}, 1, 1, {10, 10, 10, 90, 90, 90},
                                           {test::makeSite("Fe1", 26, 0.3f, 0.3f, 0.3f), test::makeSite("Co1", 27, 0.31f, 0.3f, 0.3f)});
  ScriptedUserInterface ui;
  FullRun r = runFull(doc, ui);
  ASSERT_TRUE(r.ok);
  EXPECT_NE(r.report.find("\nCoincident atoms are different types (new lattice vectors)\n"
                          "    Old atom: Fe1      26   0.30000   0.30000   0.30000\n"
                          "    New atom: Co1      27   0.31000   0.30000   0.30000\n"),
            std::string::npos);
  EXPECT_EQ(doc.newSiteCount(), 1);
  EXPECT_NEAR(doc.sites[1][0].x, 0.305f, 1e-4);
}

// A structure without atoms still sized the lattice tables by the matrix: a large
// matrix took memory without limit. It is refused before anything is allocated.
TEST(FullCellMode, EmptyStructureWithHugeMatrixIsRefusedBeforeAllocating) {
  for (int sites : {0, 1}) {
    CrystalDocument doc = test::rockSalt();
    doc.sites[0].resize(static_cast<std::size_t>(sites));
    doc.transformation.matrix = diagonal(100000, 1, 1);
    setP1(doc.crystals[1]);
    ScriptedUserInterface ui;
    EXPECT_FALSE(runFull(doc, ui).ok);
    EXPECT_TRUE(ui.saw("The matrix is too large for full unit cells: search range 100000")) << sites;
    EXPECT_EQ(doc.newSiteCount(), 0);
  }
}

}  // namespace
}  // namespace tessera
