#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "app/control_window_view.h"
#include "app/text_window.h"
#include "started_program.h"

namespace tessera::app {
namespace {

QMdiSubWindow* runPowder(Application& app) {
  test::runView(app.mainWindow(), "Powder...");
  return app.mainWindow().area().activeSubWindow();
}

QMdiSubWindow* controlFrame(Application& app) {
  return qobject_cast<QMdiSubWindow*>(app.mainWindow().workspace().controlWindow()->parentWidget());
}

TEST(SettingsFileGui, ARunWritesScrptrAndTheNextReadsItBack) {
  QTemporaryDir home;
  const QString document = home.filePath("corundum.tsr");
  QFile::copy(QString::fromStdString(test::exampleDocument().string()), document);
  QFile::copy(QString(TESSERA_DATA_DIR) + "/scatfac.dat", home.filePath("scatfac.dat"));
  const std::vector<std::string> args = {"--home", home.path().toStdString(), document.toStdString()};
  ProgramSettings written;
  const QRect mainRect(40, 50, 900, 640), controlRect(10, 20, 420, 300), powderRect(30, 40, 500, 360);
  {
    QString shown;
    test::answerNextBox(QMessageBox::Ok, &shown);
    Application app(args, "/nonexistent");
    ASSERT_TRUE(app.start());
    EXPECT_EQ(shown, "Failed to open SCRPTR file");
    app.mainWindow().setGeometry(mainRect);
    controlFrame(app)->setGeometry(controlRect);
    QMdiSubWindow* powder = runPowder(app);
    ASSERT_NE(powder, nullptr);
    powder->setGeometry(powderRect);
    ProgramSettings& s = app.session().settings;
    s.convMode = 2;
    s.fontWeight = 700;
    s.fontItalic = 1;
    s.printFrame = {4.0f, 3.0f, 1.0f, 0.5f};
    s.shelxSkipTable = {"ZERR", "", "SFAC"};
    app.document().transformation.tolerance = 0.25f;
    app.document().modified = false;
    ASSERT_TRUE(app.mainWindow().close());
    written = s;
    ASSERT_TRUE(QFile::exists(home.filePath("SCRPTR")));
  }
  // The exit kept the windows where they were, the tolerance in use and the options.
  EXPECT_EQ(written.windowPlacements[static_cast<int>(WindowKind::Control)].right, controlRect.right() + 1);
  EXPECT_EQ(written.windowPlacements[static_cast<int>(WindowKind::PowderOld)].top, powderRect.top());
  EXPECT_FLOAT_EQ(written.tolerance, 0.25f);
  EXPECT_EQ(written.shelxSkipTable, (std::vector<std::string>{"ZERR", "SFAC"}));

  Application next(args, "/nonexistent");
  ASSERT_TRUE(next.start());
  EXPECT_EQ(settingsText(next.session().settings), settingsText(written));
  EXPECT_EQ(next.mainWindow().geometry(), mainRect);
  EXPECT_EQ(controlFrame(next)->geometry(), controlRect);
  QMdiSubWindow* powder = runPowder(next);
  ASSERT_NE(powder, nullptr);
  EXPECT_EQ(powder->geometry(), powderRect);
  TextWindow* text = next.mainWindow().workspace().openTextWindow(home.filePath("SCRPTR"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->editor()->font().weight(), QFont::Bold);
  EXPECT_TRUE(text->editor()->font().italic());
  next.document().modified = false;
}

}  // namespace
}  // namespace tessera::app
