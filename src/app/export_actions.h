#pragma once
// Export menu: the export commands in their order, each with its status-line
// prompt. All need an open document; formats whose writer the program lacks
// are shown disabled.

#include <QList>

#include "app/menu_area.h"

namespace tessera::app {

class Workspace;

class ExportActions : public MenuArea {
  Q_OBJECT
 public:
  ExportActions(Workspace& workspace, QObject* parent);
  void addTo(QMenuBar& bar) override;
  void updateActions() override;

 private:
  Workspace& workspace_;
  QList<QAction*> working_;  ///< commands that can run while a document is open
};

}  // namespace tessera::app
