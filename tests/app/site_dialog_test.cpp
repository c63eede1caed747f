#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/site_dialogs.h"
#include "commands/site_dialog_model.h"
#include "core/scripted_user_interface.h"

namespace tessera::app {
namespace {

TEST(SiteDialog, TypedFieldsWalkAndStoreThroughTheModel) {
  CrystalDocument doc;
  Site first;
  first.ortepType = -1;
  doc.sites[0].push_back(first);
  ScriptedUserInterface ui;
  SiteDialogModel model(doc, ui, 0, true);
  SiteDialog dialog(model, ui, nullptr);
  dialog.show();
  EXPECT_EQ(dialog.heading()->text(), "Add input atom (site) no. 1");
  EXPECT_EQ(dialog.forwardButton()->text(), "&New");

  dialog.labelEdit()->setText("Na1");
  dialog.coordinateEdit(0)->setText("0.25");
  // "New" asks to save the changed site (Yes by default) and moves to a fresh site 2.
  QTest::mouseClick(dialog.forwardButton(), Qt::LeftButton);
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Save changes to current atom ?"});
  ASSERT_EQ(doc.siteCount(), 2);
  EXPECT_EQ(doc.sites[0][0].label, "Na1");
  EXPECT_FLOAT_EQ(doc.sites[0][0].x, 0.25f);
  EXPECT_EQ(dialog.heading()->text(), "Add input atom (site) no. 2");
  EXPECT_EQ(dialog.labelEdit()->text(), "");

  // A refused ORTEP type keeps the dialog open with the range message.
  dialog.labelEdit()->setText("Cl1");
  dialog.ortepEdit()->setText("25");
  dialog.accept();
  EXPECT_EQ(ui.messages().back(), "Please enter a number between -1 and 20.");
  EXPECT_EQ(dialog.result(), 0);
  dialog.ortepEdit()->setText("-1");
  dialog.accept();
  model.accept();
  EXPECT_EQ(doc.sites[0][1].label, "Cl1");
  ASSERT_EQ(doc.sites[0][1].occupantCount(), 1);
}

TEST(SiteDialog, OccupantViewStoresIntoTheModel) {
  OccupantDialogModel model;
  model.index = 2;
  ScriptedUserInterface ui;
  OccupantDialog dialog(model, ui, nullptr);
  auto edits = dialog.findChildren<QLineEdit*>();
  ASSERT_EQ(edits.size(), 6);
  edits[0]->setText("Mn2");
  edits[2]->setText("Mn");
  edits[3]->setText("0.3");
  dialog.accept();
  EXPECT_EQ(model.label, "Mn2");
  EXPECT_EQ(model.element, "Mn");
  EXPECT_FLOAT_EQ(model.occupancy, 0.3f);
  edits[3]->setText("abc");
  dialog.accept();
  EXPECT_EQ(ui.messages().back(), "Please enter a number.");
}

}  // namespace
}  // namespace tessera::app
