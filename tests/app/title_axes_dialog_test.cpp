#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "app/title_axes_dialog.h"
#include "commands/title_axes.h"
#include "core/scripted_user_interface.h"

namespace tessera::app {
namespace {

TEST(TitleAxesDialog, FieldsFollowTheAxesChoiceAndOkChecksRanges) {
  TitleAxesModel model;
  model.title = "Corundum";
  model.axesChoice = 7;
  model.cell = {4.7602f, 4.7602f, 12.9933f, 90, 90, 120};
  ScriptedUserInterface ui;
  TitleAxesDialog dialog(model, ui, nullptr);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  EXPECT_EQ(dialog.focusWidget(), dialog.titleEdit());
  EXPECT_EQ(dialog.titleEdit()->maxLength(), 80);
  EXPECT_EQ(dialog.axesList()->count(), 9);
  EXPECT_EQ(dialog.axesList()->currentText(), "hexagonal");
  EXPECT_EQ(dialog.cellEdit(TitleAxesModel::kC)->text(), "12.9933");
  // hexagonal: a and c only, labels hidden with their fields
  for (int k = 0; k < 6; ++k) {
    const bool shown = k == TitleAxesModel::kA || k == TitleAxesModel::kC;
    EXPECT_EQ(dialog.cellEdit(k)->isVisible(), shown) << k;
    EXPECT_EQ(dialog.cellLabel(k)->isVisible(), shown) << k;
  }
  dialog.axesList()->setCurrentIndex(2);  // monoclinic: all six
  for (int k = 0; k < 6; ++k) EXPECT_TRUE(dialog.cellLabel(k)->isVisible()) << k;

  dialog.cellEdit(TitleAxesModel::kBeta)->setText("200");
  QTest::keyClick(dialog.cellEdit(TitleAxesModel::kA), Qt::Key_Return);  // Enter is OK
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Please enter a number between 0.1 and 180."});
  EXPECT_EQ(dialog.focusWidget(), dialog.cellEdit(TitleAxesModel::kBeta));
  EXPECT_EQ(model.axesChoice, 7);  // nothing taken while refused

  // Cubic hides the refused beta: rubbish left in hidden fields does not block OK.
  dialog.axesList()->setCurrentIndex(8);
  dialog.cellEdit(TitleAxesModel::kGamma)->setText("not a number");
  dialog.cellEdit(TitleAxesModel::kA)->setText("5");
  dialog.titleEdit()->setText("Cubic now");
  QTest::keyClick(dialog.titleEdit(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(model.axesChoice, 8);
  EXPECT_EQ(model.title, "Cubic now");
  EXPECT_FLOAT_EQ(model.cell[TitleAxesModel::kA], 5.0f);
}

}  // namespace
}  // namespace tessera::app
