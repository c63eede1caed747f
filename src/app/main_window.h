#pragma once
// The main window: menus, the area holding the document's windows, the status
// bar with each command's prompt, and files dropped on it.

#include <QMainWindow>
#include <vector>

#include "core/session.h"

class QMdiArea;

namespace tessera::app {

class MenuArea;
class RecentFiles;
class Workspace;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Session& session, RecentFiles& recent);

  Workspace& workspace() { return *workspace_; }
  QMdiArea& area() { return *area_; }

 signals:
  /// The window closed with every document window (program exit).
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  void documentChanged();

  Session& session_;
  QMdiArea* area_;
  Workspace* workspace_;
  std::vector<MenuArea*> menus_;
};

}  // namespace tessera::app
