#pragma once
// Window menu (Cascade, Tile, Font, the open windows) and Help menu (Commands, About).

#include "app/menu_area.h"

class QMdiArea;
class QWidget;

namespace tessera::app {

class Workspace;

class WindowActions : public MenuArea {
  Q_OBJECT
 public:
  WindowActions(Workspace& workspace, QMdiArea& area, QWidget& window);
  void addTo(QMenuBar& bar) override;

 private:
  void chooseFont();
  void cascade();
  void listWindows(QMenu& menu);

  Workspace& workspace_;
  QMdiArea& area_;
  QWidget& window_;
  QAction* windowsSeparator_ = nullptr;
  QList<QAction*> windowEntries_;
};

class HelpActions : public MenuArea {
  Q_OBJECT
 public:
  explicit HelpActions(QWidget& window);
  void addTo(QMenuBar& bar) override;

 private:
  QWidget& window_;
};

}  // namespace tessera::app
