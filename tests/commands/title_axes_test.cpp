#include "commands/title_axes.h"

#include <gtest/gtest.h>

#include "commands/document_commands.h"
#include "core/scripted_user_interface.h"

namespace tessera {
namespace {

using M = TitleAxesModel;

TEST(TitleAxesModel, EachAxesChoiceShowsItsFields) {
  // a b c alpha beta gamma, per choice in list order.
  const char* shown[M::kChoiceCount] = {"000000", "111111", "111111", "111000", "100100",
                                        "101000", "101000", "101000", "100000"};
  for (int choice = 0; choice < M::kChoiceCount; ++choice)
    for (int f = 0; f < M::kFieldCount; ++f)
      EXPECT_EQ(M::fieldShown(choice, f), shown[choice][f] == '1') << "choice " << choice << " field " << f;
}

TEST(TitleAxesModel, ChoiceFollowsTheStoredAxesType) {
  CrystalRecord c;
  c.cell = {5, 5, 5, kRightAngle, kRightAngle, kRightAngle};
  const std::pair<int, int> cases[] = {{1, 1}, {2, 2}, {3, 3}, {5, 6}, {6, 7}, {7, 8}, {8, 0}};
  for (auto [axesType, choice] : cases) {
    c.axesType = axesType;
    EXPECT_EQ(axesChoiceFor(c), choice) << axesType;
  }
  c.axesType = 4;
  c.rhombohedralAxes = 1;
  EXPECT_EQ(axesChoiceFor(c), 4);
  c.rhombohedralAxes = 0;
  EXPECT_EQ(axesChoiceFor(c), 5);
  // Unset axes come from the cell, never "unit Cartesian" (OK would replace the cell by 1, 1, 1).
  c.axesType = 0;
  c.cell = {4.76f, 4.76f, 12.99f, kRightAngle, kRightAngle, kAngle120};
  EXPECT_EQ(axesChoiceFor(c), 7);
}

TEST(TitleAxesModel, RangesAndTextsOfVisibleFieldsOnly) {
  M m;
  m.axesChoice = 1;  // triclinic: all six shown
  std::array<std::string, 6> texts = {"0.1", "1000", "5", "0.1", "180", "90"};
  EXPECT_FALSE(m.takeFieldTexts(texts));
  EXPECT_FLOAT_EQ(m.cell[1], 1000.0f);

  texts[1] = "1000.5";
  auto p = m.takeFieldTexts(texts);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->field, M::kB);
  EXPECT_EQ(p->message, "Please enter a number between 0.1 and 1000.");

  texts[1] = "5";
  texts[4] = "180.01";
  p = m.takeFieldTexts(texts);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->field, M::kBeta);
  EXPECT_EQ(p->message, "Please enter a number between 0.1 and 180.");

  texts[4] = "abc";
  p = m.takeFieldTexts(texts);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->field, M::kBeta);

  texts[0] = "0.09";  // the first bad field is reported
  EXPECT_EQ(m.takeFieldTexts(texts)->field, M::kA);

  // Cubic shows only a: rubbish in the hidden fields does not stop OK.
  m.axesChoice = 8;
  texts = {"5", "-3", "", "x", "500", "0"};
  EXPECT_FALSE(m.takeFieldTexts(texts));
}

TEST(TitleAxesModel, OkFillsTheCellByAxesChoice) {
  CrystalDocument doc;
  M m;
  m.title = "Quartz  low   ";
  m.cell = {5, 7, 9, 80, 100, 110};

  m.axesChoice = 8;  // cubic
  EXPECT_EQ(m.applyTo(doc), "");
  const auto& c = doc.crystals[0];
  EXPECT_EQ(doc.title, "Quartz  low");
  EXPECT_EQ(c.axesType, 7);
  for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(c.cell[k], 5.0f);
  for (int k = 3; k < 6; ++k) EXPECT_EQ(c.cell[k], 1.5707963f);

  m.axesChoice = 4;  // trigonal rhombohedral
  m.applyTo(doc);
  EXPECT_EQ(c.axesType, 4);
  EXPECT_EQ(c.rhombohedralAxes, 1);
  EXPECT_EQ(c.cell[1], c.cell[0]);
  EXPECT_EQ(c.cell[2], c.cell[0]);
  EXPECT_FLOAT_EQ(c.cell[3], 80.0f * kDegToRad);
  EXPECT_EQ(c.cell[4], c.cell[3]);
  EXPECT_EQ(c.cell[5], c.cell[3]);

  m.axesChoice = 5;  // trigonal hexagonal clears rhombohedralAxes
  m.applyTo(doc);
  EXPECT_EQ(c.axesType, 4);
  EXPECT_EQ(c.rhombohedralAxes, 0);
  EXPECT_FLOAT_EQ(c.cell[1], 5.0f);
  EXPECT_FLOAT_EQ(c.cell[2], 9.0f);
  EXPECT_EQ(c.cell[5], 2.0943951f);

  m.axesChoice = 0;  // unit Cartesian
  m.applyTo(doc);
  EXPECT_EQ(c.axesType, 8);
  EXPECT_EQ(c.cell, (std::array<float, 6>{1, 1, 1, kRightAngle, kRightAngle, kRightAngle}));

  m.title = std::string(90, 'x');
  m.applyTo(doc);
  EXPECT_EQ(doc.title.size(), 80u);
}

TEST(TitleAxesModel, MonoclinicUniqueAxisAndItsMessagesAfterTheDialog) {
  struct Case {
    float alpha, beta, gamma;
    int uniqueAxis;
    const char* message;
  };
  const Case cases[] = {{90, 100, 90, 0, ""},
                        {90, 90, 120, 2, ""},
                        {95, 90, 90, 1, ""},
                        {90, 90.05f, 90, 0, "No angles non-ninety in monoclinic - unique axis indeterminate"},
                        {95, 100, 90, 0, "Error - more than one angle non-ninety in monoclinic"}};
  for (const Case& k : cases) {
    CrystalDocument doc;
    doc.isOpen = true;
    doc.crystals[0].uniqueAxis = 2;
    ScriptedUserInterface ui;
    ui.dialogs.push_back([&](DialogModel& d) {
      auto& m = dynamic_cast<M&>(d);
      m.axesChoice = 2;
      m.cell = {5, 6, 7, k.alpha, k.beta, k.gamma};
      return true;
    });
    ProgramSettings settings;
    Session s{doc, ui, settings, {}};
    ASSERT_TRUE(titleAxesCommand(s));
    EXPECT_EQ(doc.crystals[0].axesType, 2);
    EXPECT_EQ(doc.crystals[0].uniqueAxis, k.uniqueAxis) << k.alpha << " " << k.beta << " " << k.gamma;
    EXPECT_TRUE(doc.modified);
    EXPECT_FLOAT_EQ(doc.crystals[0].cell[4], k.beta * kDegToRad);  // stored even with a message
    ASSERT_EQ(ui.events.size(), k.message[0] ? 2u : 1u);
    EXPECT_EQ(ui.events[0].kind, ScriptedUserInterface::Event::Kind::Dialog);
    if (k.message[0]) {
      EXPECT_EQ(ui.events[1].text, k.message);
    }
  }
}

TEST(TitleAxesModel, CancelChangesNothing) {
  CrystalDocument doc;
  doc.isOpen = true;
  doc.title = "kept";
  doc.crystals[0].cell = {3, 3, 3, kRightAngle, kRightAngle, kRightAngle};
  ScriptedUserInterface ui;
  ui.dialogs.push_back([](DialogModel& d) {
    auto& m = dynamic_cast<M&>(d);
    EXPECT_EQ(m.title, "kept");
    EXPECT_EQ(m.axesChoice, 8);  // derived: a cube of 3
    EXPECT_EQ(M::fieldText(m.cell[3]), "90");
    m.title = "changed";
    return false;
  });
  ProgramSettings settings;
  Session s{doc, ui, settings, {}};
  EXPECT_FALSE(titleAxesCommand(s));
  EXPECT_EQ(doc.title, "kept");
  EXPECT_FALSE(doc.modified);
}

}  // namespace
}  // namespace tessera
