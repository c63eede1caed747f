// Symmetry and Bond Lengths run from the Control Window and the menus.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>

#include "app/bond_dialog.h"
#include "app/control_window_view.h"
#include "app/custom_symmetry_view.h"
#include "app/symmetry_views.h"
#include "app/text_window.h"
#include "modal_script.h"
#include "started_program.h"

namespace tessera::app {
namespace {

QStringList textWindowPaths(test::StartedProgram& s) {
  QStringList paths;
  for (QMdiSubWindow* sub : s.app->mainWindow().area().subWindowList())
    if (auto* text = qobject_cast<TextWindow*>(sub->widget())) paths << text->path();
  return paths;
}

TEST(SymmetryCommandInTheProgram, ButtonAndMenuRunTheDialogsOnTheOldCrystal) {
  test::StartedProgram s({}, true);
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  CrystalRecord& old = s.app->document().crystals[0];
  ASSERT_EQ(old.symmetrySource, 1);

  // The table dialog: the Hall symbol the document holds, used as such. No message box comes up.
  test::ModalScript script;
  script.dialogs = {[](QDialog* d) {
    auto* table = qobject_cast<TableSymmetryDialog*>(d);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->symbolField(1)->text(), "-R 3 2\"c");
    table->kindButton(1)->click();
    table->accept();
  }};
  view->button(ControlWindowView::Symmetry)->click();
  EXPECT_EQ(script.seen.size(), 1) << script.seen.join('|').toStdString();
  EXPECT_EQ(old.symbolKind, 1);
  EXPECT_EQ(old.sgNumber, 167);
  EXPECT_TRUE(s.app->document().modified);
  EXPECT_EQ(view->symmetryLine()->text(), "Symmetry - Space group: R_-3_c:H");

  // Input > Symmetry with no option yet: the option dialog, then the custom lines.
  old.symmetrySource = 0;
  script.seen.clear();
  script.dialogs = {[](QDialog* d) {
                      auto* option = qobject_cast<SymmetryOptionDialog*>(d);
                      ASSERT_NE(option, nullptr);
                      option->optionButton(1)->click();
                      option->accept();
                    },
                    [](QDialog* d) {
                      auto* custom = qobject_cast<CustomSymmetryDialog*>(d);
                      ASSERT_NE(custom, nullptr);
                      custom->symbolField()->setText("my R-3c");
                      custom->accept();
                    }};
  s.menuAction("Input", "Symmetry...")->trigger();
  EXPECT_EQ(script.seen.size(), 2) << script.seen.join('|').toStdString();
  EXPECT_EQ(old.symmetrySource, 4);
  EXPECT_EQ(old.hmSymbol, "my R-3c");
  EXPECT_EQ(old.matricesValid, 1);
  EXPECT_EQ(view->symmetryLine()->text(), "Symmetry - Custom: my R-3c");
}

TEST(BondLengthsInTheProgram, DialogChecksThenListingOpensInItsSlot) {
  test::StartedProgram s({}, true);
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->button(ControlWindowView::BondLengths)->isEnabled());

  QString refusal;
  bool stayedOpen = false, sawDialog = false;
  auto runDialog = [&](bool angles) {
    test::onNextModal([&, angles](QWidget* w) {
      auto* dialog = qobject_cast<BondDialog*>(w);
      sawDialog = dialog != nullptr;
      if (!dialog) return;
      EXPECT_TRUE(dialog->crystalButton(0)->isChecked());
      EXPECT_EQ(dialog->limitField(0)->text(), angles ? "2.6" : "3");
      // The example holds no New atoms yet: refused, and the dialog stays.
      dialog->crystalButton(1)->setChecked(true);
      test::answerNextBox(QMessageBox::Ok, &refusal);
      dialog->accept();
      stayedOpen = dialog->isVisible();
      dialog->crystalButton(0)->setChecked(true);
      dialog->limitField(0)->setText("3");
      dialog->anglesBox()->setChecked(angles);
      dialog->accept();
    });
    view->button(ControlWindowView::BondLengths)->click();
  };
  runDialog(true);
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(refusal, "No new input atoms - run Transformation");
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(s.app->session().settings.centralLigandLimit, 3.0f);
  EXPECT_TRUE(s.app->session().settings.bondAngles);

  const QString listing = s.home.filePath("BONDS.OUT");
  ASSERT_TRUE(QFile::exists(listing));
  EXPECT_EQ(textWindowPaths(s), QStringList{listing});
  const QString text = QString::fromUtf8(test::readBytes(listing));
  EXPECT_TRUE(text.startsWith("Old symmetry-unique atoms\n\n Central:    1 Al1 "));
  EXPECT_TRUE(text.contains("Outer atoms - bonds and angles"));

  // A second run replaces the window of slot 2 instead of adding one.
  runDialog(false);
  EXPECT_EQ(textWindowPaths(s), QStringList{listing});
}

}  // namespace
}  // namespace tessera::app
