#pragma once
// The desktop program started on a scratch home folder, optionally with a copy of
// the example document open.

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "core/native_file.h"
#include "app/application.h"
#include "app/main_window.h"
#include "app/workspace.h"
#include "commands/settings_file.h"
#include "diffraction/powder.h"
#include "gui_support.h"

namespace tessera::test {

using app::Application;
using app::MainWindow;
using app::Workspace;

/// A menu of the main window's bar by its text (without the mnemonic mark).
inline QMenu* barMenu(MainWindow& main, const QString& menu) {
  for (QAction* m : main.menuBar()->actions())
    if (m->text().remove('&') == menu) return m->menu();
  return nullptr;
}

/// The commands of a menu, separators left out.
inline QList<QAction*> menuCommands(MainWindow& main, const QString& menu) {
  QList<QAction*> commands = barMenu(main, menu)->actions();
  commands.removeIf([](QAction* a) { return a->isSeparator(); });
  return commands;
}

inline QAction* menuCommand(MainWindow& main, const QString& menu, const QString& text) {
  for (QAction* a : menuCommands(main, menu))
    if (a->text().remove('&') == text) return a;
  return nullptr;
}

/// Runs a View command with its dialog accepted unchanged; the contents of the window it opened.
inline QWidget* runView(MainWindow& main, const QString& command) {
  onNextDialog();
  menuCommand(main, "View", command)->trigger();
  QMdiSubWindow* active = main.area().activeSubWindow();
  return active ? active->widget() : nullptr;
}

struct StartedProgram {
  QTemporaryDir home;
  QString document;
  std::unique_ptr<Application> app;

  /// Starts with "--home <scratch>" and the given words; openExample puts the example's copy there instead.
  /// programFolder stands for the executable's folder (the data files beside the program).
  explicit StartedProgram(const std::vector<std::string>& commandLine, bool openExample = false,
                          const std::string& programFolder = "/nonexistent") {
    document = home.filePath("corundum.tsr");
    QFile::copy(QString::fromStdString(test::exampleDocument().string()), document);
    // A settings file, so start-up shows no "Failed to open SCRPTR file".
    writeFileAtomically(home.filePath("SCRPTR").toStdString(), settingsText(ProgramSettings{}));
    std::vector<std::string> args = {"--home", home.path().toStdString()};
    args.insert(args.end(), commandLine.begin(), commandLine.end());
    if (openExample) args.push_back(document.toStdString());
    app = std::make_unique<Application>(args, programFolder);
    EXPECT_TRUE(app->start());
  }
  Workspace& workspace() { return app->mainWindow().workspace(); }
  QAction* menuAction(const QString& menu, const QString& text) { return menuCommand(app->mainWindow(), menu, text); }
  /// The scattering table in the home folder, for the pattern commands.
  void copyScatteringTable() { QFile::copy(QString(TESSERA_DATA_DIR) + "/scatfac.dat", home.filePath("scatfac.dat")); }
};

}  // namespace tessera::test
