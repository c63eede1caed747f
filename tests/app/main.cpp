// The GUI tests run in one QApplication on Qt's offscreen platform.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Recent files and other platform settings go to a test location, not the user's.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QApplication::setOrganizationName("TesseraTests");
  QApplication::setApplicationName("tessera_gui_tests");
  QSettings().clear();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
