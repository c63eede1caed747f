#include "commands/title_axes.h"

#include <gtest/gtest.h>

#include <tuple>

#include "commands/document_commands.h"
#include "support/test_session.h"

namespace tessera {
namespace {

using M = TitleAxesModel;
constexpr float kR = kRightAngle;

TEST(TitleAxesModel, ChoiceFollowsTheStoredAxesType) {
  CrystalRecord c;
  c.axesType = 4;
  c.rhombohedralAxes = 1;
  EXPECT_EQ(axesChoiceFor(c), 4);
  c.rhombohedralAxes = 0;
  EXPECT_EQ(axesChoiceFor(c), 5);
  // Unset axes come from the cell, never "unit Cartesian" (OK would replace the cell by 1, 1, 1).
  c.axesType = 0;
  c.cell = {4.76f, 4.76f, 12.99f, kR, kR, kAngle120};
  EXPECT_EQ(axesChoiceFor(c), 7);
}

TEST(TitleAxesModel, RangesAndTextsOfVisibleFieldsOnly) {
  M m;
  m.axesChoice = 1;  // triclinic: all six shown
  std::array<std::string, 6> texts = {"0.1", "1000", "5", "0.1", "180", "90"};
  EXPECT_FALSE(m.takeFieldTexts(texts));  // the bounds themselves pass
  EXPECT_FLOAT_EQ(m.cell[1], 1000.0f);
  const auto refused = [&](int field, const char* text) {
    texts[field] = text;
    const auto p = m.takeFieldTexts(texts);
    return p ? std::pair(p->field, p->message) : std::pair(-1, std::string("accepted"));
  };
  EXPECT_EQ(refused(M::kB, "1000.5"), std::pair(int{M::kB}, std::string("Please enter a number between 0.1 and 1000.")));
  texts[M::kB] = "5";
  EXPECT_EQ(refused(M::kBeta, "180.01"), std::pair(int{M::kBeta}, std::string("Please enter a number between 0.1 and 180.")));
  EXPECT_EQ(refused(M::kBeta, "abc").first, M::kBeta);
  EXPECT_EQ(refused(M::kA, "0.09").first, M::kA);  // the first bad field is reported

  // Cubic shows only a: rubbish in the hidden fields does not stop OK.
  m.axesChoice = 8;
  texts = {"5", "-3", "", "x", "500", "0"};
  EXPECT_FALSE(m.takeFieldTexts(texts));
}

TEST(TitleAxesModel, OkFillsTheCellByAxesChoice) {
  CrystalDocument doc;
  const CrystalRecord& c = doc.crystals[0];
  M m;
  m.title = "Quartz  low   ";
  m.cell = {5, 7, 9, 80, 100, 110};
  m.axesChoice = 8;  // cubic
  EXPECT_EQ(m.applyTo(doc), "");
  EXPECT_EQ(doc.title, "Quartz  low");
  EXPECT_EQ(c.axesType, 7);
  EXPECT_EQ(c.cell, (std::array<float, 6>{5, 5, 5, kR, kR, kR}));

  m.axesChoice = 4;  // trigonal rhombohedral
  m.applyTo(doc);
  EXPECT_EQ(std::pair(c.axesType, c.rhombohedralAxes), std::pair(4, 1));
  const float alpha = c.cell[3];
  EXPECT_FLOAT_EQ(alpha, 80.0f * kDegToRad);
  EXPECT_EQ(c.cell, (std::array<float, 6>{5, 5, 5, alpha, alpha, alpha}));

  m.axesChoice = 5;  // trigonal hexagonal clears rhombohedralAxes
  m.applyTo(doc);
  EXPECT_EQ(std::pair(c.axesType, c.rhombohedralAxes), std::pair(4, 0));
  EXPECT_EQ(c.cell, (std::array<float, 6>{5, 5, 9, kR, kR, kAngle120}));

  m.axesChoice = 0;  // unit Cartesian
  m.title = std::string(90, 'x');
  m.applyTo(doc);
  EXPECT_EQ(c.axesType, 8);
  EXPECT_EQ(c.cell, (std::array<float, 6>{1, 1, 1, kR, kR, kR}));
  EXPECT_EQ(doc.title.size(), 80u);
}

TEST(TitleAxesCommand, MonoclinicUniqueAxisAndItsMessagesAfterTheDialog) {
  struct Case {
    float alpha, beta, gamma;
    int uniqueAxis;
    const char* message;
  };
  for (const Case& k : {Case{90, 100, 90, 0, ""}, Case{90, 90, 120, 2, ""}, Case{95, 90, 90, 1, ""},
                        Case{90, 90.05f, 90, 0, "No angles non-ninety in monoclinic - unique axis indeterminate"},
                        Case{95, 100, 90, 0, "Error - more than one angle non-ninety in monoclinic"}}) {
    test::TestSession s;
    s.document.isOpen = true;
    s.document.crystals[0].uniqueAxis = 2;
    s.ui.dialogs.push_back([&](DialogModel& d) {
      auto& m = dynamic_cast<M&>(d);
      m.axesChoice = 2;
      m.cell = {5, 6, 7, k.alpha, k.beta, k.gamma};
      return true;
    });
    ASSERT_TRUE(titleAxesCommand(s.session));
    const CrystalRecord& c = s.document.crystals[0];
    EXPECT_EQ(std::pair(c.axesType, c.uniqueAxis), std::pair(2, k.uniqueAxis)) << k.alpha << " " << k.beta;
    EXPECT_TRUE(s.document.modified);
    EXPECT_FLOAT_EQ(c.cell[4], k.beta * kDegToRad);  // stored even with a message
    EXPECT_EQ(s.ui.messages(), k.message[0] ? std::vector<std::string>{k.message} : std::vector<std::string>{});
  }

  // Cancel changes nothing; the dialog opens on the document.
  test::TestSession s;
  s.document.isOpen = true;
  s.document.title = "kept";
  s.document.crystals[0].cell = {3, 3, 3, kR, kR, kR};
  s.ui.dialogs.push_back([](DialogModel& d) {
    auto& m = dynamic_cast<M&>(d);
    EXPECT_EQ(m.title, "kept");
    EXPECT_EQ(m.axesChoice, 8);  // derived: a cube of 3
    EXPECT_EQ(M::fieldText(m.cell[3]), "90");
    m.title = "changed";
    return false;
  });
  EXPECT_FALSE(titleAxesCommand(s.session));
  EXPECT_EQ(s.document.title, "kept");
  EXPECT_FALSE(s.document.modified);
}

}  // namespace
}  // namespace tessera
