#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/custom_symmetry_view.h"
#include "app/symmetry_views.h"
#include "app/text_window.h"
#include "app/transform_dialog.h"
#include "modal_script.h"
#include "started_program.h"

namespace tessera::app {
namespace {

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

TEST(TransformCommandInTheProgram, TransformsWithTheNewSymmetryAndShowsTheReport) {
  test::StartedProgram s({}, true);
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  s.app->document().modified = false;

  // Inside the dialog, Symmetry runs the table dialog on the New crystal.
  QString symmetryLine;
  test::ModalScript script;
  script.dialogs = {[&symmetryLine](QDialog* d) {
                      auto* dialog = qobject_cast<TransformParametersDialog*>(d);
                      ASSERT_NE(dialog, nullptr);
                      dialog->symmetryButton()->click();
                      symmetryLine = dialog->symmetryLine()->text();
                      dialog->modeButton(0)->click();
                      dialog->transformButton()->click();
                    },
                    [](QDialog* d) {
                      auto* table = qobject_cast<TableSymmetryDialog*>(d);
                      ASSERT_NE(table, nullptr);
                      table->symbolField(0)->setText("R -3 c");  // the hexagonal axes are the table's default
                      table->kindButton(0)->click();
                      table->accept();
                    }};
  view->button(ControlWindowView::Transform)->click();
  EXPECT_EQ(script.seen.size(), 2) << script.seen.join('|').toStdString();
  // An H-M symbol is kept as typed.
  EXPECT_EQ(symmetryLine, "Symmetry - Space group: R -3 c");
  CrystalDocument& doc = s.app->document();
  EXPECT_EQ(doc.crystals[1].hallSymbol, "-R 3 2\"c");
  EXPECT_EQ(doc.crystals[0].hmSymbol, "R_-3_c:H");  // the Old crystal was not touched
  EXPECT_EQ(view->symmetryLine()->text(), "Symmetry - Space group: R_-3_c:H");
  EXPECT_EQ(doc.transformation.mode, 0);
  EXPECT_EQ(doc.sites[1].size(), 2u);
  EXPECT_TRUE(doc.modified);

  // The report opens in its slot beside the Control Window.
  TextWindow* shown = nullptr;
  for (QMdiSubWindow* sub : s.app->mainWindow().area().subWindowList())
    if (auto* text = qobject_cast<TextWindow*>(sub->widget())) shown = text;
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->path(), s.home.filePath("corundum.out"));
}

}  // namespace
}  // namespace tessera::app
