#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/custom_symmetry_view.h"
#include "app/symmetry_views.h"
#include "core/scripted_user_interface.h"
#include "gui_support.h"

namespace tessera::app {
namespace {

using test::type;

TEST(SymmetryViews, TableDialogFillsItsModel) {
  ScriptedUserInterface ui;
  CrystalRecord c;
  c.hmSymbol = "P_1_21/c_1";
  c.hallSymbol = "-P 2ybc";
  c.sgNumberText = "14";
  c.settingCode = 1;
  TableSymmetryModel model(c, ui, {TESSERA_BIN_DIR});
  TableSymmetryDialog view(model, ui, nullptr);
  EXPECT_EQ(view.symbolField(1)->text(), "-P 2ybc");
  EXPECT_TRUE(view.kindButton(0)->isChecked());
  EXPECT_TRUE(view.settingButton(1)->isChecked());

  // Typing a Hall symbol chooses it; OK hands over fields, kind and setting.
  type(view.symbolField(1), "-P 2yn");
  EXPECT_TRUE(view.kindButton(1)->isChecked());
  view.settingButton(0)->click();
  view.accept();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(model.hallSymbol, "-P 2yn");
  EXPECT_EQ(model.symbolKind, 1);
  EXPECT_EQ(model.settingCode, 0);

  // Select: a cancelled list keeps what was typed; a pick fills all three and uses the number.
  type(view.symbolField(0), "P 1 21/n 1");
  ui.choices = {0};
  view.selectButton()->click();
  EXPECT_EQ(view.symbolField(0)->text(), "P 1 21/n 1");
  EXPECT_EQ(ui.lastChoiceItems.size(), 530u);
  view.selectButton()->click();  // the crystal's own number comes preselected
  EXPECT_EQ(view.symbolField(2)->text(), "14:b1");
  EXPECT_EQ(view.symbolField(1)->text(), "-P 2ybc");
  EXPECT_TRUE(view.kindButton(2)->isChecked());
  EXPECT_TRUE(view.settingButton(0)->isChecked());  // the setting is not the list's to change
}

TEST(SymmetryViews, LineEditorMarksTheErrorPlace) {
  ScriptedUserInterface ui;
  SymmetryLineModel model;
  model.lineNumber = 3;
  model.isNew = true;
  model.text = "-X,-Y,2Z+1/2";
  model.errorPosition = 7;
  SymmetryLineDialog view(model, ui, nullptr);
  view.show();
  EXPECT_EQ(view.captionLabel()->text(), "3 (new line)");
  EXPECT_TRUE(view.errorNote()->isVisible());
  EXPECT_EQ(view.errorNote()->text(), "End of line indicates location of error");
  EXPECT_EQ(view.errorText()->text(), "-X,-Y,2");
  // One fixed-pitch font in frames of one width: the shown text ends over the error.
  EXPECT_TRUE(QFontInfo(view.errorText()->font()).fixedPitch());
  EXPECT_EQ(view.errorText()->font(), view.textField()->font());
  EXPECT_EQ(view.errorText()->x(), view.textField()->x());
  EXPECT_EQ(view.textField()->cursorPosition(), 7);
  EXPECT_EQ(view.textField()->selectedText(), "Z+1/2");

  type(view.textField(), "-x,-y,z");
  QTest::keyClick(view.textField(), Qt::Key_Return);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(model.text, "-x,-y,z");

  SymmetryLineModel clean;
  clean.text = "X,Y,Z;";
  SymmetryLineDialog plain(clean, ui, nullptr);
  plain.show();
  EXPECT_EQ(plain.captionLabel()->text(), "1");
  EXPECT_FALSE(plain.errorNote()->isVisible());
  EXPECT_FALSE(plain.errorText()->isVisible());
}

CrystalRecord customCrystal() {
  CrystalRecord c;
  c.symmetrySource = 4;
  c.hmSymbol = "mine";
  c.acentric = 1;
  c.latticeCode = 1;
  c.xyzLines = {"X,Y,Z;", "-X,-Y,Z;"};
  return c;
}

TEST(CustomSymmetryDialog, LineButtonsWorkOnTheModelWithTheFieldsAsTyped) {
  ScriptedUserInterface ui;
  CrystalRecord c = customCrystal();
  CustomSymmetryModel model(c, ui);
  CustomSymmetryDialog view(model, ui, nullptr);
  view.show();
  EXPECT_EQ(view.symbolField()->text(), "mine");
  EXPECT_TRUE(view.acentricButton()->isChecked());
  ASSERT_EQ(view.lineList()->count(), 2);
  EXPECT_EQ(view.lineList()->item(1)->text(), "  2  -X,-Y,Z;");
  EXPECT_FALSE(view.editButton()->isEnabled());  // nothing selected yet
  EXPECT_FALSE(view.deleteButton()->isEnabled());

  type(view.symbolField(), "typed");
  view.centricButton()->click();
  view.latticeList()->setCurrentIndex(5);
  bool sawFields = false;
  ui.dialogs.push_back([&](DialogModel& m) {
    sawFields = model.symbol == "typed" && model.centric && model.latticeIndex == 5;
    dynamic_cast<SymmetryLineModel&>(m).text = "x,-y,z";
    return true;
  });
  view.addButton()->click();
  EXPECT_TRUE(sawFields);
  ASSERT_EQ(view.lineList()->count(), 3);
  EXPECT_EQ(view.lineList()->currentRow(), 2);
  EXPECT_EQ(view.lineList()->item(2)->text(), "  3  X,-Y,Z");

  // A double-click edits the line under the pointer.
  ui.dialogs.push_back([](DialogModel& m) {
    auto& line = dynamic_cast<SymmetryLineModel&>(m);
    EXPECT_EQ(line.caption(), "1");
    line.text = "x,y,z;";
    return true;
  });
  QListWidget* list = view.lineList();
  const QPoint first = list->visualItemRect(list->item(0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
  EXPECT_EQ(model.lines[0], "X,Y,Z;");
  EXPECT_EQ(ui.events.size(), 2u);  // one editor per gesture

  list->setCurrentRow(1);
  ui.answers = {Answer::Yes};  // the question is the model's
  view.deleteButton()->click();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), "  2  X,-Y,Z");
  EXPECT_EQ(list->currentRow(), 1);

  view.accept();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  model.accept();
  EXPECT_EQ(c.hmSymbol, "typed");
  EXPECT_EQ(c.latticeCode, 6);
  EXPECT_EQ(c.acentric, 0);
}

TEST(CustomSymmetryDialog, IdentifyRefreshesAndChangeOptionCloses) {
  ScriptedUserInterface ui;
  CrystalRecord c = customCrystal();
  CustomSymmetryModel model(c, ui);
  CustomSymmetryDialog view(model, ui, nullptr);
  view.centricButton()->click();
  view.identifyButton()->click();
  // The dialog shows the group found; the crystal takes it only with OK.
  EXPECT_EQ(c.hmSymbol, "mine");
  EXPECT_EQ(view.symbolField()->text().toStdString(), "P_1_1_2/m");
  EXPECT_TRUE(view.centricButton()->isChecked());

  view.changeOptionButton()->click();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_TRUE(model.closedForOptionChange);
  EXPECT_EQ(c.symmetrySource, 0);
  EXPECT_EQ(c.hallSymbol, "-P 2");
}

}  // namespace
}  // namespace tessera::app
