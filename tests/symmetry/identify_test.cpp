#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "core/scripted_user_interface.h"
#include "support/builders.h"
#include "symmetry/identify.h"
#include "symmetry/sg_group.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

namespace tessera {
namespace {

using Lines = std::vector<std::string>;

CrystalRecord crystalOf(Lines lines, int acentric, char lattice = 'P') {
  CrystalRecord c;
  c.xyzLines = std::move(lines);
  c.acentric = acentric;
  c.latticeName = std::string(1, lattice);
  c.latticeCode = latticeCodeFromLetter(lattice);
  return c;
}

// The document a row's group gives: its listed operators with its flags.
CrystalRecord documentOf(const SgInfo& sg) {
  CrystalRecord c = crystalOf(listedOperatorLines(sg), sg.centric == 0 ? 1 : 0, sg.lattice->code);
  c.inversionOffOrigin = sg.inversionOffOrigin;
  return c;
}

// Every operator of the group: centring translations and inversion partners multiplied out.
Lines fullList(const SgInfo& sg) {
  Lines lines;
  for (const auto& c : sg.lattice->translations)
    for (int inv = 0; inv < (sg.centric == -1 ? 2 : 1); ++inv)
      for (SeitzMx m : sg.listSeitzMx) {
        if (inv)
          for (std::size_t k = 0; k < 9; ++k) m.rotation[k] = -m.rotation[k];
        for (std::size_t k = 0; k < 3; ++k) m.translation[k] = mod12((inv ? -m.translation[k] : m.translation[k]) + c[k]);
        lines.push_back(*RTMx2XYZ(m));
      }
  return lines;
}

TEST(IdentifySpaceGroup, EveryRowFromItsListedFullAndReorderedOperators) {
  std::mt19937 rng(5);
  std::set<std::string> shifted;
  int listed = 0, full = 0, reordered = 0;
  for (const TabSgName& row : tabSgNames()) {
    SgInfo sg;
    ASSERT_EQ(BuildSgInfoFromHall(row.HallSymbol, sg), 0);
    // The listed operators with the row's flags: identified without a question or a note.
    CrystalRecord c = documentOf(sg);
    ScriptedUserInterface ui;
    ui.answers.assign(4, Answer::No);
    const Lines expectedNotes = sg.inversionOffOrigin ? Lines{"Off-origin inversion detected"} : Lines{};
    if (IdentifySpaceGroup(c, ui) == 1 && c.hallSymbol == row.HallSymbol && ui.messages() == expectedNotes &&
        ui.questions().empty())
      ++listed;
    else
      ADD_FAILURE() << row.key() << " from its listed operators gives " << c.hallSymbol;

    // All operators written out, given as acentric with lattice P: the user removes the extras.
    CrystalRecord all = crystalOf(fullList(sg), 1);
    ScriptedUserInterface yes;
    if (IdentifySpaceGroup(all, yes) == 1 && all.hallSymbol == row.HallSymbol && all.latticeCode == c.latticeCode)
      ++full;
    else
      ADD_FAILURE() << row.key() << " from all operators gives " << all.hallSymbol;

    // The listed operators in another order, and the operators identified again from them.
    CrystalRecord shuffled = documentOf(sg);
    std::shuffle(shuffled.xyzLines.begin() + 1, shuffled.xyzLines.end(), rng);
    std::reverse(shuffled.xyzLines.begin(), shuffled.xyzLines.end());
    ScriptedUserInterface quiet;
    if (IdentifySpaceGroup(shuffled, quiet) == 1 && shuffled.hallSymbol == row.HallSymbol)
      ++reordered;
    else
      ADD_FAILURE() << row.key() << " from reordered operators gives " << shuffled.hallSymbol;

    SgInfo fromOperators;
    ASSERT_EQ(test::groupFromOperators(sg, fromOperators), 0);
    if (fromOperators.originShift != std::array<int, 3>{0, 0, 0}) shifted.insert(row.key());
  }
  EXPECT_EQ(listed, 530);
  EXPECT_EQ(full, 530);
  EXPECT_EQ(reordered, 530);
  // Only these rows need the origin-shift search.
  EXPECT_EQ(shifted, (std::set<std::string>{"151", "153", "178", "179", "180", "181"}));
}

TEST(IdentifySpaceGroup, InversionPartnersRemovedOrKept) {
  const Lines p21c = {"x,y,z", "-x,y+1/2,-z+1/2", "-x,-y,-z", "x,-y+1/2,z+1/2"};
  // Yes keeps one operator of each inversion pair.
  CrystalRecord c = crystalOf(p21c, 1);
  ScriptedUserInterface yes;
  ASSERT_EQ(IdentifySpaceGroup(c, yes), 1);
  EXPECT_EQ(yes.events.size(), 1u);
  EXPECT_EQ(yes.questions(), Lines{"Inversion center detected - do you want to remove extra operators?"});
  EXPECT_EQ(c.xyzLines, (Lines{"x,y,z", "-x,y+1/2,-z+1/2"}));
  EXPECT_EQ(c.matricesValid, 0);  // the operator table no longer matches the lines
  EXPECT_EQ(std::tuple(c.acentric, c.hallSymbol, c.sgNumber, c.sgNumberText, c.hmSymbol, c.pointGroupCode),
            std::tuple(0, "-P 2ybc", 14, "14:b1", "P_1_21/c_1", 16));

  CrystalRecord kept = crystalOf(p21c, 1);
  ScriptedUserInterface no;
  no.answers = {Answer::No};
  ASSERT_EQ(IdentifySpaceGroup(kept, no), 1);
  EXPECT_EQ(no.messages(), (Lines{"Incorrect centric/acentric detected", "Space-group symmetry operations apparently invalid"}));
  EXPECT_EQ(std::tuple(kept.lineCount(), kept.hallSymbol, kept.hmSymbol), std::tuple(4, "-P 2ybc", "P_1_21/c_1"));
}

TEST(IdentifySpaceGroup, LatticeTranslationsInTheLines) {
  // The full C 1 2/c 1 list given with lattice P, in two orders; the extra lines are
  // reported whether a centring line comes before or after the others.
  const Lines c2c = {"x,y,z", "-x,y,-z+1/2", "-x,-y,-z", "x,-y,z+1/2",
                     "x+1/2,y+1/2,z", "-x+1/2,y+1/2,-z+1/2", "-x+1/2,-y+1/2,-z", "x+1/2,-y+1/2,z+1/2"};
  for (const Lines& order : {c2c, Lines(c2c.rbegin(), c2c.rend())}) {
    CrystalRecord c = crystalOf(order, 1);
    ScriptedUserInterface ui;
    ui.answers = {Answer::No, Answer::No, Answer::Ok};  // keep the lines, then accept the rewrite
    ASSERT_EQ(IdentifySpaceGroup(c, ui), 1);
    EXPECT_EQ(ui.messages(), (Lines{"Lattice translations detected - will be removed", "Incorrect centric/acentric detected"}));
    EXPECT_TRUE(ui.saw("Change symmetry operators as just noted?"));
    EXPECT_EQ(c.xyzLines, (Lines{"X,Y,Z; ", "-X,Y,1/2-Z; "}));
    // The rewritten lines list one operator per inversion pair: centric.
    EXPECT_EQ(std::tuple(c.latticeName, c.latticeCode, c.acentric, c.hallSymbol), std::tuple("C", 4, 0, "-C 2yc"));
  }
  CrystalRecord cancelled = crystalOf(c2c, 1);
  ScriptedUserInterface ui;
  ui.answers = {Answer::No, Answer::No, Answer::Cancel};
  ASSERT_EQ(IdentifySpaceGroup(cancelled, ui), 1);
  EXPECT_EQ(std::pair(cancelled.lineCount(), cancelled.latticeCode), std::pair(8, 4));
}

TEST(IdentifySpaceGroup, NotesAndFailures) {
  ScriptedUserInterface ui;
  CrystalRecord c = crystalOf({"x,y,z", "-x+1/6,-y,z"}, 1);  // a 2-fold off the cell edge
  ASSERT_EQ(IdentifySpaceGroup(c, ui), 1);
  EXPECT_EQ(ui.messages(), Lines{"Unable to assign space-group symbols"});
  EXPECT_EQ(std::tuple(c.hallSymbol, c.hmSymbol, c.sgNumberText), std::tuple(" P 1", "P_1", "1"));

  // An inversion centre at 1/4,1/4,1/4 names no tabulated setting.
  ScriptedUserInterface off;
  c = crystalOf({"x,y,z", "-x+1/2,-y+1/2,-z+1/2"}, 1);
  ASSERT_EQ(IdentifySpaceGroup(c, off), 1);
  EXPECT_EQ(off.messages(), (Lines{"Unable to assign space-group symbols", "Off-origin inversion detected",
                                   "Incorrect centric/acentric detected"}));
  EXPECT_EQ(c.inversionOffOrigin, 1);

  ScriptedUserInterface origin;
  c = crystalOf({"X,Y,Z;", "-Y,X-Y,Z;", "-X+Y,-X,Z;"}, 1, 'R');
  c.hmSymbol = "R 3";
  ASSERT_EQ(IdentifySpaceGroup(c, origin), 1);
  EXPECT_EQ(c.hmSymbol, "R_3:H");
  SgInfo fd3m;
  ASSERT_EQ(BuildSgInfoFromSymbol("227", 'A', fd3m), 0);
  c = documentOf(fd3m);
  ASSERT_EQ(IdentifySpaceGroup(c, origin), 1);
  EXPECT_EQ(std::tuple(c.hallSymbol, c.hmSymbol, c.sgNumberText), std::tuple("-F 4vw 2vw 3", "F_d_-3_m:2", "227:2"));
  EXPECT_TRUE(origin.events.empty());

  const CrystalRecord before = crystalOf({"x,y,z", "x,y"}, 1);
  c = before;
  ScriptedUserInterface parse;
  EXPECT_EQ(IdentifySpaceGroup(c, parse), 0);
  EXPECT_EQ(parse.messages().back(), "ParseSymXYZ failed");
  EXPECT_EQ(c.hallSymbol, before.hallSymbol);

  ScriptedUserInterface add;
  c = crystalOf({"x,y,z", "x+1/3,y,z"}, 1);
  EXPECT_EQ(IdentifySpaceGroup(c, add), 0);
  EXPECT_EQ(add.messages(), (Lines{"Add2ListSeitzMx failed", "Error: Illegal lattice translation"}));

  ScriptedUserInterface system;
  c = crystalOf({"x,y,z", "y,x,-z"}, 1);
  EXPECT_EQ(IdentifySpaceGroup(c, system), 0);
  EXPECT_EQ(system.messages(), Lines{"Error: Can't determine crystal system"});
}

}  // namespace
}  // namespace tessera
