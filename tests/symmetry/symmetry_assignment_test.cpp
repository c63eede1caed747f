#include <gtest/gtest.h>

#include <tuple>

#include "core/cell_geometry.h"
#include "support/builders.h"
#include "support/test_session.h"
#include "symmetry/symmetry_assignment.h"
#include "symmetry/symmetry_dialogs.h"

namespace tessera {
namespace {

CrystalRecord crystalWithCell(Cell cell) {
  CrystalRecord c;
  c.cell = cell;
  deriveAxesType(c);
  return c;
}

constexpr float kR = kRightAngle;

TEST(AssignSpaceGroup, ChecksAgainstTheCell) {
  ScriptedUserInterface ui;
  // Equal 60 degree angles: trigonal axes; P21/c draws both notes.
  CrystalRecord c = crystalWithCell({5, 6, 7, 60 * kDegToRad, 60 * kDegToRad, 60 * kDegToRad});
  EXPECT_EQ(c.axesType, 4);
  EXPECT_EQ(AssignSpaceGroup(c, "P 21/c", kSymbolHM, 0, ui), 0);
  EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Warning: space group does not match axis type",
                                                     "Note - more than one non-90-degree interaxial angle in monoclinic system",
                                                     "Error - crystal axes are rhombohedral and space group is non-rhombohedral"}));
  EXPECT_EQ(std::tuple(c.hallSymbol, c.sgNumberText, c.lineCount()), std::tuple("-P 2ybc", "14:b1", 2));

  // beta = 100 with a c-unique symbol: the angle moves to gamma.
  ui.events.clear();
  c = crystalWithCell({5, 6, 7, kR, 100 * kDegToRad, kR});
  EXPECT_EQ(c.uniqueAxis, 0);
  EXPECT_EQ(AssignSpaceGroup(c, "P 1 1 21/b", kSymbolHM, 0, ui), 0);
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Monoclinic - Symmetry and unit cell do not agree (unique axis)"});
  EXPECT_FLOAT_EQ(c.cell[5], 100 * kDegToRad);
  EXPECT_FLOAT_EQ(c.cell[4], kR);
  EXPECT_EQ(std::tuple(c.uniqueAxis, c.sgNumberText), std::tuple(2, "14:c3"));

  // No angle off 90: the cell stays as it is.
  ui.events.clear();
  c = crystalWithCell({5, 6, 7, kR, kR, kR});
  c.axesType = 2;
  EXPECT_EQ(AssignSpaceGroup(c, "4:c", kSymbolNumber, 0, ui), 0);
  EXPECT_EQ(c.cell, (Cell{5, 6, 7, kR, kR, kR}));
  EXPECT_EQ(c.hmSymbol, "P_1_1_21");

  // 146 under volume I on hexagonal axes: the rhombohedral row and its error.
  ui.events.clear();
  c = crystalWithCell({5, 5, 12, kR, kR, kAngle120});
  EXPECT_EQ(AssignSpaceGroup(c, "146", kSymbolNumber, 1, ui), 0);
  EXPECT_EQ(std::tuple(c.sgNumberText, c.hmSymbol), std::tuple("146:R", "R_3:R"));
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{"Error - space group is rhombohedral and crystal axes are non-rhombohedral"});
}

TEST(AssignSpaceGroup, HallSymbolsFlagsAndFailures) {
  ScriptedUserInterface ui;
  CrystalRecord c = crystalWithCell({10, 10, 10, kR, kR, kR});
  c.aperiodicAxes = {1, 1, 1};
  ASSERT_EQ(AssignSpaceGroup(c, "-I 4bd 2c 3", kSymbolHall, 0, ui), 0);
  EXPECT_EQ(std::tuple(c.lineCount(), c.latticeCode, c.latticeName, c.acentric, c.sgNumber, c.hmSymbol),
            std::tuple(24, 6, "I", 0, 230, "I_a_-3_d"));
  EXPECT_EQ(c.aperiodicAxes, (std::array<int, 3>{0, 0, 0}));
  EXPECT_TRUE(ui.messages().empty());
  // Three-form rows give the full symbol, not "P_1_1_21/b = P_21/b".
  ASSERT_EQ(AssignSpaceGroup(c, "14:c3", kSymbolNumber, 0, ui), 0);
  EXPECT_EQ(c.hmSymbol, "P_1_1_21/b");
  // An origin-choice row gets its suffix; an inversion off the origin clears acentric.
  ASSERT_EQ(AssignSpaceGroup(c, "227:1", kSymbolNumber, 0, ui), 0);
  EXPECT_EQ(std::tuple(c.hmSymbol, c.inversionOffOrigin, c.acentric), std::tuple("F_d_-3_m:1", 1, 0));

  ui.events.clear();
  EXPECT_EQ(AssignSpaceGroup(c, "Q 2", kSymbolHall, 0, ui), 1);
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error: Illegal lattice code"});
  EXPECT_EQ(AssignSpaceGroup(c, "P 7", kSymbolHM, 0, ui), 1);
  EXPECT_EQ(ui.messages().back(), "Space-group symbol not found in Int. Tables list");
  c.hmSymbol = "X99";
  EXPECT_EQ(AssignFromDocumentSymbol(c, kSymbolHM, ui), 0);
  EXPECT_EQ(ui.messages().back(), "Space-group assignment failed");
}

TEST(AssignSpaceGroup, PointGroupAndOriginShift) {
  ScriptedUserInterface ui;
  CrystalRecord c = crystalWithCell({5, 6, 7, kR, 100 * kDegToRad, kR});
  c.pointGroupIndex = 5;
  ASSERT_TRUE(AssignPointGroup(c, ui));
  EXPECT_EQ(std::tuple(c.sgNumber, c.pointGroupHM, c.pointGroupSchoenflies), std::tuple(10, "2/m", "C2h"));
  c.pointGroupIndex = 33;
  EXPECT_FALSE(AssignPointGroup(c, ui));
  EXPECT_EQ(ui.messages().back(), "Point-group assignment failed");

  CrystalDocument doc;
  doc.sites[0].push_back(test::siteAt("", 0.1f, 0.9f, 0.5f));
  EXPECT_FALSE(applyOriginChoiceShift(doc, 14, ui));
  ASSERT_TRUE(applyOriginChoiceShift(doc, 227, ui));
  EXPECT_EQ(ui.messages().back(), "Atom coordinates will be changed for origin on center");
  EXPECT_NEAR(doc.sites[0][0].x, 0.975f, 1e-6);
  EXPECT_NEAR(doc.sites[0][0].y, 0.775f, 1e-6);
  EXPECT_EQ(originChoiceShift(88), (std::array<float, 3>{0.0f, -0.25f, -0.125f}));
}

struct CommandFixture : test::TestSession {
  CrystalDocument& doc = document;
  CommandFixture() {
    setNewDocumentDefaults(doc);
    doc.crystals[0].cell = {5, 5, 5, kR, kR, kR};
    deriveAxesType(doc.crystals[0]);
  }
};

TEST(SymmetryCommand, OptionDialogP1FallbackAndTable) {
  CommandFixture f;
  f.doc.crystals[0].xyzLines = {"X,Y,Z;", "-X,-Y,Z;"};
  // Cancel the option dialog, say No, cancel again, say Yes: P1.
  f.ui.dialogs = {[](DialogModel&) { return false; }, [](DialogModel&) { return false; }};
  f.ui.answers = {Answer::No, Answer::Yes};
  SymmetryCommand(f.session, 0);
  const CrystalRecord& c = f.doc.crystals[0];
  EXPECT_EQ(f.ui.questions(), std::vector<std::string>(2, "A symmetry option must be selected - do you want to select space group P1 ?"));
  EXPECT_EQ(c.xyzLines, std::vector<std::string>{"X,Y,Z;"});
  EXPECT_EQ(std::pair(c.symmetrySource, c.p1Defaulted), std::pair(1, 1));

  // Source 1 opens the table dialog; Select picks from HALL.DAT with the key preselected.
  f.ui.events.clear();
  f.doc.crystals[0].sgNumberText = "221";
  f.ui.dialogs = {[&](DialogModel& m) {
    auto& t = dynamic_cast<TableSymmetryModel&>(m);
    EXPECT_TRUE(t.select());
    EXPECT_EQ(t.numberText, "221");
    EXPECT_EQ(t.hallSymbol, "-P 4 2 3");
    return true;
  }};
  SymmetryCommand(f.session, 0);
  EXPECT_EQ(std::pair(c.sgNumber, c.symbolKind), std::pair(221, int{kSymbolNumber}));
  EXPECT_EQ(f.ui.lastChoiceItems.size(), 530u);
}

TEST(SymmetryCommand, CustomDialogEditsIdentifiesAndStores) {
  CommandFixture f;
  CrystalRecord& c = f.doc.crystals[0];
  c.symmetrySource = 4;
  c.xyzLines = {"X,Y,Z;"};
  f.ui.dialogs.push_back([&](DialogModel& m) {
    auto& d = dynamic_cast<CustomSymmetryModel&>(m);
    // A new line typed wrongly comes back with the place of the error.
    f.ui.dialogs.push_back([](DialogModel& e) {
      auto& line = dynamic_cast<SymmetryLineModel&>(e);
      EXPECT_EQ(line.caption(), "2 (new line)");
      line.text = "-x,-y,2z";
      return true;
    });
    f.ui.dialogs.push_back([](DialogModel& e) {
      auto& line = dynamic_cast<SymmetryLineModel&>(e);
      EXPECT_EQ(line.errorNote(), "End of line indicates location of error");
      EXPECT_EQ(line.textUpToError(), "-X,-Y,2");
      line.text = "-x,-y,z";
      return true;
    });
    EXPECT_EQ(d.addLine(), 1);
    EXPECT_EQ(d.lines[1], "-X,-Y,Z");
    d.symbol = "my group";
    d.centric = true;
    return true;
  });
  SymmetryCommand(f.session, 0);
  EXPECT_EQ(std::tuple(c.symmetrySource, c.hmSymbol, c.acentric, c.matricesValid), std::tuple(4, "my group", 0, 1));
  EXPECT_EQ(c.operators.size(), 4u);  // two lines completed by inversion

  // Get Space-Group Symbol names the group of the lines; the crystal takes it only on OK.
  const CrystalRecord before = c;
  CustomSymmetryModel d(c, f.ui);
  f.ui.answers = {Answer::Yes};
  EXPECT_EQ(d.deleteLine(1), 0);
  EXPECT_EQ(f.ui.questions().back(), "Delete symmetry line number 2 ?");
  d.getSpaceGroupSymbol();
  EXPECT_EQ(d.symbol, "P_-1");  // the lines left and the centre
  EXPECT_EQ(std::tuple(c.hallSymbol, c.hmSymbol, c.xyzLines), std::tuple(before.hallSymbol, before.hmSymbol, before.xyzLines));
  d.accept();
  EXPECT_EQ(std::tuple(c.hallSymbol, c.hmSymbol, c.lineCount()), std::tuple("-P 1", "P_-1", 1));
  d.lines.assign(192, "X,Y,Z");
  d.addLine();
  EXPECT_EQ(f.ui.messages().back(), "symmetry operations");
}

}  // namespace
}  // namespace tessera
