#pragma once
// Import menu: one command per import format in the menu order, each with its
// status-line prompt. Formats whose reader the program lacks are shown disabled.


#include "app/menu_area.h"

namespace tessera::app {

class Workspace;

class ImportActions : public MenuArea {
  Q_OBJECT
 public:
  ImportActions(Workspace& workspace, QObject* parent);
  void addTo(QMenuBar& bar) override;

 private:
  Workspace& workspace_;
};

}  // namespace tessera::app
