// Pictures of the main window on each example and of every dialog at its default size,
// written when TESSERA_SCREENSHOT_DIR names a folder (scripts/screenshots.sh runs this
// under a virtual X display); the README's tour pictures when TESSERA_TOUR_DIR does
// (scripts/tour_screenshots.sh). Skipped otherwise.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "app/control_window_view.h"
#include "app/main_window.h"
#include "every_dialog.h"
#include "modal_script.h"
#include "started_program.h"

namespace tessera::app {
namespace {

void save(QWidget* w, const QDir& dir, const std::string& name) {
  QApplication::processEvents();
  const QString file = dir.filePath(QString::fromStdString(name) + ".png");
  EXPECT_TRUE(w->grab().save(file)) << file.toStdString();
}

TEST(Screenshots, MainWindowOnEachExampleAndEveryDialog) {
  const QString folder = qEnvironmentVariable("TESSERA_SCREENSHOT_DIR");
  if (folder.isEmpty()) GTEST_SKIP() << "TESSERA_SCREENSHOT_DIR is not set";
  QDir dir(folder);
  ASSERT_TRUE(dir.mkpath("."));

  for (const char* example : {"corundum.tsr", "quartz.tsr"}) {
    const QString path = QString::fromStdString((test::exampleDocument().parent_path() / example).string());
    test::StartedProgram s({path.toStdString()}, false, TESSERA_BIN_DIR);
    MainWindow& main = s.app->mainWindow();
    main.show();
    save(&main, dir, std::string("main_") + QFileInfo(path).baseName().toStdString());
  }
  // The main window with a transformation report beside the Control Window.
  test::StartedProgram s({}, true, TESSERA_BIN_DIR);
  s.app->mainWindow().show();
  test::ModalScript script;
  script.dialogs = {[](QDialog* d) { d->accept(); }};
  s.workspace().controlWindow()->button(ControlWindowView::Transform)->click();
  save(&s.app->mainWindow(), dir, "main_with_report");

  test::EveryDialog every;
  for (auto& [name, dialog] : every.dialogs) {
    dialog->show();
    save(dialog.get(), dir, name);
    dialog->hide();
  }
}

void shoot(MainWindow& window, const QString& folder, const QString& name) {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_TRUE(window.grab().save(folder + "/" + name)) << name.toStdString();
}

TEST(Tour, MainWindowsOnTheExample) {
  const QString folder = qEnvironmentVariable("TESSERA_TOUR_DIR");
  if (folder.isEmpty()) GTEST_SKIP() << "TESSERA_TOUR_DIR not set";
  test::StartedProgram started({}, true);
  started.copyScatteringTable();
  MainWindow& window = started.app->mainWindow();
  window.resize(1100, 720);
  QMdiArea& area = window.area();
  ASSERT_FALSE(area.subWindowList().isEmpty());
  area.subWindowList().front()->setGeometry(0, 0, 1080, 640);
  shoot(window, folder, "control-window.png");

  test::runView(window, "Powder...");
  ASSERT_NE(area.activeSubWindow(), nullptr);
  area.activeSubWindow()->setGeometry(60, 40, 1000, 600);
  shoot(window, folder, "powder-pattern.png");

  test::runView(window, "Precession...");
  ASSERT_NE(area.activeSubWindow(), nullptr);
  area.activeSubWindow()->setGeometry(120, 20, 700, 640);
  shoot(window, folder, "precession-pattern.png");
}

}  // namespace
}  // namespace tessera::app
