#include "app/application.h"

#include <QDir>
#include <QStandardPaths>

#include "app/fonts.h"
#include "app/main_window.h"
#include "app/window_placements.h"
#include "app/workspace.h"
#include "commands/command_line.h"
#include "commands/settings_file.h"
#include "core/program_folders.h"

namespace tessera::app {

Application::Application(std::vector<std::string> args, std::filesystem::path defaultHome)
    : args_(std::move(args)),
      defaultHome_(std::move(defaultHome)),
      ui_(views_),
      session_{document_, ui_, settings_, defaultHome_, defaultHome_} {}

Application::~Application() = default;

bool Application::start() {
  const StartupArguments arguments = parseStartupArguments(args_);
  if (!arguments.error.empty()) {
    error_ = arguments.error;
    return false;
  }
  // The recent-file list of four entries.
  recent_ = std::make_unique<RecentFiles>();
  // Home directory: the executable's folder unless --home names another; an installed
  // program reads <prefix>/share/tessera and writes into the user's data folder.
  std::optional<std::filesystem::path> homeGiven;
  if (arguments.home) homeGiven = *arguments.home;
  const ProgramFolders folders = programFolders(homeGiven, defaultHome_);
  session_.home = folders.home;
  session_.userFolder = folders.userFolder;
  // SCRPTR goes with the program's other own files (the user's data folder when installed).
  settingsFolder_ =
      tessera::settingsFolder(session_.outputFolder(), arguments.home.has_value(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
  document_.openMode = 2;
  // Program-wide defaults: the transformation and simulation settings of the
  // record and the program settings start at their defaults.
  document_.transformation.tolerance = 0.4f;
  document_.transformation.mode = 2;
  document_.powderSettings = PowderSettings{};
  document_.precessionSettings = PrecessionSettings{};
  settings_ = ProgramSettings{};
  // The views of the dialogs take the place of the window kinds' registration.
  registerDialogViews(views_);
  installFontSubstitutes();
  readSettings(settingsFolder_, settings_, ui_);
  document_.transformation.tolerance = settings_.tolerance;
  window_ = std::make_unique<MainWindow>(session_, *recent_);
  ui_.setParentWidget(window_.get());
  QObject::connect(window_.get(), &MainWindow::closed, window_.get(), [this] { writeSettingsAtExit(); });
  placeFromSettings(*window_, settings_, WindowKind::Main, window_->size());
  window_->workspace().openFromCommandLine(arguments.commandLine);
  if (!settings_.documentDirectory.empty()) QDir::setCurrent(QString::fromStdString(settings_.documentDirectory));
  return true;
}

void Application::writeSettingsAtExit() {
  // The tolerance last used becomes the next run's default.
  settings_.tolerance = document_.transformation.tolerance;
  writeSettings(settingsFolder_, settings_, ui_);
}

}  // namespace tessera::app
