#pragma once
// File menu: New, Open, Close, Save, Save As, the four most recent files, Exit.

#include <QList>

#include "app/menu_area.h"

class QWidget;

namespace tessera::app {

class Workspace;

class FileActions : public MenuArea {
  Q_OBJECT
 public:
  FileActions(Workspace& workspace, QWidget& window);
  void addTo(QMenuBar& bar) override;
  void updateActions() override;

 private:
  Workspace& workspace_;
  QWidget& window_;
  QAction* close_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QList<QAction*> recent_;
  QAction* recentSeparator_ = nullptr;
};

}  // namespace tessera::app
