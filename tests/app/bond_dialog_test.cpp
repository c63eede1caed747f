#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/bond_dialog.h"
#include "app/control_window_view.h"
#include "app/text_window.h"
#include "started_program.h"

namespace tessera::app {
namespace {

QStringList textWindowPaths(test::StartedProgram& s) {
  QStringList paths;
  for (QMdiSubWindow* sub : s.app->mainWindow().area().subWindowList())
    if (auto* text = qobject_cast<TextWindow*>(sub->widget())) paths << text->path();
  return paths;
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
  QFile file(listing);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.startsWith("Old symmetry-unique atoms\n\n Central:    1 Al1 "));
  EXPECT_TRUE(text.contains("Outer atoms - bonds and angles"));

  // A second run replaces the window of slot 2 instead of adding one.
  runDialog(false);
  EXPECT_EQ(textWindowPaths(s), QStringList{listing});
}

}  // namespace
}  // namespace tessera::app
