#include <QApplication>
#include <iostream>

#include "app/application.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setOrganizationName("Tessera");
  QApplication::setApplicationName("Tessera");
  QApplication::setApplicationVersion(TESSERA_VERSION);
  std::vector<std::string> args;
  for (const QString& a : QApplication::arguments().mid(1)) args.push_back(a.toStdString());
  tessera::app::Application app(std::move(args), QApplication::applicationDirPath().toStdString());
  if (!app.start()) {
    std::cerr << "tessera: " << app.error() << "\nusage: tessera [--home DIR] [FILE.tsr]\n";
    return 2;
  }
  return QApplication::exec();
}
