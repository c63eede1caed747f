// Pictures of the main window on each example and of every dialog at its default size,
// written when TESSERA_SCREENSHOT_DIR names a folder (scripts/screenshots.sh runs this
// under a virtual X display); skipped otherwise.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessera::app
