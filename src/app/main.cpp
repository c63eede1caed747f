#include <QApplication>
#include <iostream>

#include "app/application.h"
#include "commands/command_line.h"

int main(int argc, char** argv) {
  // --help and --version answer before Qt starts: no window, no display needed.
  std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
  const tessera::StartupArguments early = tessera::parseStartupArguments(words);
  if (early.help) {
    std::cout << tessera::startupUsage();
    return 0;
  }
  if (early.version) {
    std::cout << "tessera " << TESSERA_VERSION << "\n";
    return 0;
  }
  QApplication qt(argc, argv);
  QApplication::setOrganizationName("Tessera");
  QApplication::setApplicationName("Tessera");
  QApplication::setApplicationVersion(TESSERA_VERSION);
  std::vector<std::string> args;
  for (const QString& a : QApplication::arguments().mid(1)) args.push_back(a.toStdString());
  tessera::app::Application app(std::move(args), QApplication::applicationDirPath().toStdString());
  if (!app.start()) {
    std::cerr << "tessera: " << app.error() << "\n" << tessera::startupUsage();
    return 2;
  }
  return QApplication::exec();
}
