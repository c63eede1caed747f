#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/text_window.h"
#include "started_program.h"

namespace tessera::app {
namespace {

using Started = test::StartedProgram;

TEST(ControlWindow, ShowsTheDocumentNamedOnTheCommandLine) {
  {
    Started started({});  // home only: nothing opens
    EXPECT_EQ(started.workspace().controlWindow(), nullptr);
    EXPECT_FALSE(started.menuAction("File", "Save")->isEnabled());
    EXPECT_FALSE(started.menuAction("Input", "Title/Axes...")->isEnabled());
  }
  Started withDoc({}, true);
  EXPECT_TRUE(withDoc.menuAction("File", "Save")->isEnabled());
  EXPECT_EQ(withDoc.app->session().home, std::filesystem::path(withDoc.home.path().toStdString()));
  ControlWindowView* view = withDoc.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->windowTitle(), "Tessera Control Window");
  EXPECT_EQ(withDoc.app->mainWindow().windowTitle(), "Tessera - corundum.tsr");
  EXPECT_EQ(view->fileLine()->text().toStdString(), "File: " + withDoc.document.toStdString());
  EXPECT_EQ(view->symmetryLine()->text(), "Symmetry - Space group: R_-3_c:H");
  // The texts themselves are the model's (tessera-cli show prints them); the view shows them.
  ASSERT_EQ(view->siteList()->count(), 2);
  EXPECT_EQ(view->siteList()->item(1)->text(), "    2 O1       8   0.30624   0.00000   0.25000   0.21   1.00    1");
  EXPECT_EQ(view->cellField(2)->text(), "12.9933");
  EXPECT_TRUE(view->siteList()->font().fixedPitch());  // the columns line up

  // Selecting a row shows that site's texts.
  EXPECT_EQ(view->button(ControlWindowView::SelectedAtom)->text().remove('&'), "Selected atom: 1  Al1");
  view->siteList()->setCurrentRow(1);
  EXPECT_EQ(withDoc.app->document().selectedSite, 1);
  EXPECT_EQ(view->button(ControlWindowView::SelectedAtom)->text().remove('&'), "Selected atom: 2  O1");
  EXPECT_EQ(view->findChild<QLabel*>("temperatureFactorLine")->text(), "ORTEP 6, Biso = 0.210000");
}

TEST(ControlWindow, ClosingAsksToSaveAndDroppedReportsOpenBeside) {
  Started s({});
  s.workspace().openPath(s.document);
  ASSERT_NE(s.workspace().controlWindow(), nullptr);

  // A dropped report opens in a text window; the document stays.
  const QString report = s.home.filePath("corundum.out");
  ASSERT_TRUE(test::writeBytes(report, "report line\n"));
  EXPECT_TRUE(test::dropFile(&s.app->mainWindow(), report));
  QApplication::processEvents();  // the file opens once the drop has finished
  EXPECT_EQ(s.app->mainWindow().area().subWindowList().size(), 2);
  EXPECT_TRUE(s.app->document().isOpen);

  // A modified document asks before its Control Window closes; Cancel keeps it.
  s.app->document().modified = true;
  QString question;
  test::answerNextBox(QMessageBox::Cancel, &question);
  auto* frame = qobject_cast<QMdiSubWindow*>(s.workspace().controlWindow()->parentWidget());
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(question.toStdString(), "Save changes to " + s.document.toStdString() + " ?");
  EXPECT_TRUE(s.app->document().isOpen);

  test::answerNextBox(QMessageBox::No);
  EXPECT_TRUE(frame->close());
  EXPECT_FALSE(s.app->document().isOpen);
  EXPECT_EQ(s.workspace().controlWindow(), nullptr);
  EXPECT_EQ(s.app->mainWindow().windowTitle(), "Tessera");
}

TEST(Workspace, ReportSlotsHoldOneWindowEach) {
  Started s({});
  Workspace& w = s.workspace();
  QMdiArea& area = s.app->mainWindow().area();
  const QString first = s.home.filePath("a.out"), second = s.home.filePath("b.out");
  for (const QString& p : {first, second}) ASSERT_TRUE(test::writeBytes(p, p.toUtf8()));
  EXPECT_TRUE(w.showReport(3, first));
  EXPECT_TRUE(w.showReport(3, second));
  QApplication::processEvents();
  ASSERT_EQ(area.subWindowList().size(), 1);
  auto* text = qobject_cast<TextWindow*>(area.subWindowList().first()->widget());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->path(), second);
  EXPECT_FALSE(w.showReport(2, s.home.filePath("missing.out")));
  EXPECT_EQ(area.subWindowList().size(), 1);
}

}  // namespace
}  // namespace tessera::app
