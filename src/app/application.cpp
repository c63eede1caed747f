#include "app/application.h"

#include <QDir>

#include "app/fonts.h"
#include "app/main_window.h"
#include "app/workspace.h"
#include "commands/command_line.h"
#include "core/program_folders.h"

namespace tessera::app {

Application::Application(std::vector<std::string> args, std::filesystem::path defaultHome)
    : args_(std::move(args)),
      defaultHome_(std::move(defaultHome)),
      ui_(views_),
      session_{document_, ui_, settings_, defaultHome_} {}

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
  window_ = std::make_unique<MainWindow>(session_, *recent_);
  ui_.setParentWidget(window_.get());
  window_->show();
  window_->workspace().openFromCommandLine(arguments.commandLine);
  if (!settings_.documentDirectory.empty()) QDir::setCurrent(QString::fromStdString(settings_.documentDirectory));
  return true;
}

}  // namespace tessera::app
