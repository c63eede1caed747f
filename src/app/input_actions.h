#pragma once
// Input menu: Title/Axes, Symmetry, Transformed to Input.

#include "app/menu_area.h"

namespace tessera::app {

class Workspace;

class InputActions : public MenuArea {
  Q_OBJECT
 public:
  InputActions(Workspace& workspace, QObject* parent);
  void addTo(QMenuBar& bar) override;
  void updateActions() override;

 private:
  Workspace& workspace_;
  QAction* titleAxes_ = nullptr;
  QAction* transformedToInput_ = nullptr;
};

}  // namespace tessera::app
