// The README's tour pictures: the main window on the corundum example with its
// Control Window, then with the powder and the precession pattern. Taken only when
// TESSERA_TOUR_DIR names the folder to write them to (scripts/tour_screenshots.sh).
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "gui_support.h"
#include "started_program.h"

namespace tessera::app {
namespace {

/// Runs a View command with its dialog accepted unchanged.
void runView(test::StartedProgram& started, const QString& command) {
  test::onNextModal([](QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
  });
  started.menuAction("View", command)->trigger();
}

void shoot(MainWindow& window, const QString& folder, const QString& name) {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_TRUE(window.grab().save(folder + "/" + name)) << name.toStdString();
}

TEST(Tour, MainWindowsOnTheExample) {
  const QString folder = qEnvironmentVariable("TESSERA_TOUR_DIR");
  if (folder.isEmpty()) GTEST_SKIP() << "TESSERA_TOUR_DIR not set";
  test::StartedProgram started({}, true);
  QFile::copy(QString(TESSERA_DATA_DIR) + "/scatfac.dat", started.home.filePath("scatfac.dat"));
  MainWindow& window = started.app->mainWindow();
  window.resize(1100, 720);
  QMdiArea& area = window.area();
  ASSERT_FALSE(area.subWindowList().isEmpty());
  area.subWindowList().front()->setGeometry(0, 0, 1080, 640);
  shoot(window, folder, "control-window.png");

  runView(started, "Powder...");
  ASSERT_NE(area.activeSubWindow(), nullptr);
  area.activeSubWindow()->setGeometry(60, 40, 1000, 600);
  shoot(window, folder, "powder-pattern.png");

  runView(started, "Precession...");
  ASSERT_NE(area.activeSubWindow(), nullptr);
  area.activeSubWindow()->setGeometry(120, 20, 700, 640);
  shoot(window, folder, "precession-pattern.png");
}

}  // namespace
}  // namespace tessera::app
