#include "app/input_actions.h"

#include <QMenuBar>

#include "app/workspace.h"

namespace tessera::app {

InputActions::InputActions(Workspace& workspace, QObject* parent) : MenuArea(parent), workspace_(workspace) {}

void InputActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&Input");
  titleAxes_ = addCommand(menu, "&Title/Axes...", "Enter the title, the structure axes and the unit cell");
  connect(titleAxes_, &QAction::triggered, &workspace_, &Workspace::titleAxes);
  addLaterCommand(menu, "&Symmetry...", "Enter the space group or the symmetry operators");
  transformedToInput_ =
      addCommand(menu, "T&ransformed to Input", "Make the transformed (New) atoms and parameters the input (Old) ones");
  connect(transformedToInput_, &QAction::triggered, &workspace_, &Workspace::transformedToInput);
  updateActions();
}

void InputActions::updateActions() {
  const bool open = workspace_.session().document.isOpen;
  titleAxes_->setEnabled(open);
  transformedToInput_->setEnabled(open);
}

}  // namespace tessera::app
