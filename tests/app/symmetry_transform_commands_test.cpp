#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/custom_symmetry_view.h"
#include "app/symmetry_views.h"
#include "app/text_window.h"
#include "app/transform_dialog.h"
#include "started_program.h"

namespace tessera::app {
namespace {

/// Answers any message box nobody expected (so a test fails instead of hanging) and keeps its text.
struct StrayBoxes {
  QStringList texts;
  QTimer timer;
  StrayBoxes() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        box->reject();
      }
    });
    timer.start(50);
  }
};

TEST(SymmetryCommandInTheProgram, ButtonAndMenuRunTheDialogsOnTheOldCrystal) {
  test::StartedProgram s({}, true);
  StrayBoxes stray;
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  CrystalRecord& old = s.app->document().crystals[0];
  ASSERT_EQ(old.symmetrySource, 1);

  // The table dialog: the Hall symbol the document holds, used as such.
  bool sawTable = false;
  test::onNextModal([&](QWidget* w) {
    auto* table = qobject_cast<TableSymmetryDialog*>(w);
    sawTable = table != nullptr;
    if (!table) return;
    EXPECT_EQ(table->symbolField(1)->text(), "-R 3 2\"c");
    table->kindButton(1)->click();
    table->accept();
  });
  view->button(ControlWindowView::Symmetry)->click();
  EXPECT_TRUE(sawTable);
  EXPECT_TRUE(stray.texts.isEmpty()) << stray.texts.join('|').toStdString();
  EXPECT_EQ(old.symbolKind, 1);
  EXPECT_EQ(old.sgNumber, 167);
  EXPECT_TRUE(s.app->document().modified);
  EXPECT_EQ(view->symmetryLine()->text(), "Symmetry - Space group: R_-3_c:H");

  // Input > Symmetry with no option yet: the option dialog, then the custom lines.
  old.symmetrySource = 0;
  bool sawCustom = false;
  test::onNextModal([&](QWidget* w) {
    auto* option = qobject_cast<SymmetryOptionDialog*>(w);
    if (!option) return;
    test::onNextModal([&](QWidget* next) {
      auto* custom = qobject_cast<CustomSymmetryDialog*>(next);
      sawCustom = custom != nullptr;
      if (!custom) return;
      custom->symbolField()->setText("my R-3c");
      custom->accept();
    });
    option->optionButton(1)->click();
    option->accept();
  });
  s.menuAction("Input", "Symmetry...")->trigger();
  EXPECT_TRUE(sawCustom);
  EXPECT_EQ(old.symmetrySource, 4);
  EXPECT_EQ(old.hmSymbol, "my R-3c");
  EXPECT_EQ(old.matricesValid, 1);
  EXPECT_EQ(view->symmetryLine()->text(), "Symmetry - Custom: my R-3c");
}

TEST(TransformCommandInTheProgram, TransformsWithTheNewSymmetryAndShowsTheReport) {
  test::StartedProgram s({}, true);
  StrayBoxes stray;
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  s.app->document().modified = false;

  // Inside the dialog, Symmetry runs the table dialog on the New crystal.
  QString symmetryLine;
  test::onNextModal([&](QWidget* w) {
    auto* dialog = qobject_cast<TransformParametersDialog*>(w);
    if (!dialog) return;
    test::onNextModal([](QWidget* next) {
      auto* table = qobject_cast<TableSymmetryDialog*>(next);
      if (!table) return;
      table->symbolField(0)->setText("R -3 c");  // the hexagonal axes are the table's default
      table->kindButton(0)->click();
      table->accept();
    });
    dialog->symmetryButton()->click();
    symmetryLine = dialog->symmetryLine()->text();
    dialog->modeButton(0)->click();
    dialog->transformButton()->click();
  });
  view->button(ControlWindowView::Transform)->click();
  EXPECT_TRUE(stray.texts.isEmpty()) << stray.texts.join('|').toStdString();
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
  const QString report = s.home.filePath("corundum.out");
  TextWindow* shown = nullptr;
  for (QMdiSubWindow* sub : s.app->mainWindow().area().subWindowList())
    if (auto* text = qobject_cast<TextWindow*>(sub->widget())) shown = text;
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->path(), report);

}

}  // namespace
}  // namespace tessera::app
