#pragma once
// Start-up of the desktop program: home directory, program-wide defaults,
// dialog views, main window, the document named on the command line.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_views.h"
#include "app/qt_user_interface.h"
#include "app/recent_files.h"
#include "core/session.h"

namespace tessera::app {

class MainWindow;

class Application {
 public:
  /// args: the program's arguments without argv[0]; defaultHome: the executable's folder.
  Application(std::vector<std::string> args, std::filesystem::path defaultHome);
  ~Application();

  /// Runs the start-up steps and shows the main window; false on a usage error.
  bool start();
  /// Keeps the settings in SCRPTR (the main window's exit).
  void writeSettingsAtExit();
  /// The usage problem that made start() fail.
  const std::string& error() const { return error_; }

  MainWindow& mainWindow() { return *window_; }
  Session& session() { return session_; }
  /// The folder SCRPTR is read from at start-up and written to at exit.
  const std::filesystem::path& settingsFolder() const { return settingsFolder_; }
  CrystalDocument& document() { return document_; }

 private:
  std::vector<std::string> args_;
  std::filesystem::path defaultHome_;
  std::string error_;
  std::filesystem::path settingsFolder_;
  CrystalDocument document_;
  ProgramSettings settings_;
  DialogViewRegistry views_;
  QtUserInterface ui_;
  Session session_;
  std::unique_ptr<RecentFiles> recent_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace tessera::app
