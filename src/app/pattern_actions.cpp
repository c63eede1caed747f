#include "app/pattern_actions.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "app/graphics_output.h"
#include "app/pattern_windows.h"
#include "app/window_placements.h"
#include "app/workspace.h"
#include "diffraction/pattern_commands.h"

namespace tessera::app {

namespace {
const char* kCrystalNames[2] = {"Old Atoms", "New Atoms"};
}

PatternActions::PatternActions(Workspace& workspace, QMdiArea& area, QMainWindow& window)
    : MenuArea(&window), workspace_(workspace), area_(area), window_(window) {}

void PatternActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&View");
  QAction* powderAction = addCommand(menu, "&Powder...", "Simulate the powder diffraction pattern");
  QAction* precessionAction = addCommand(menu, "P&recession...", "Simulate a precession photograph");
  connect(powderAction, &QAction::triggered, this, &PatternActions::powder);
  connect(precessionAction, &QAction::triggered, this, &PatternActions::precession);
  documentActions_ = {powderAction, precessionAction};
}

void PatternActions::updateActions() {
  for (QAction* a : documentActions_) a->setEnabled(workspace_.session().document.isOpen);
}

QMdiSubWindow* PatternActions::bringForward(QPointer<QMdiSubWindow>& slot, QWidget* (*make)(), const QString& title,
                                            WindowKind kind) {
  if (!slot) {
    slot = workspace_.addWindow(make(), QSize(820, 600), kind);  // kept placement, inside the workspace
    slot->setAttribute(Qt::WA_DeleteOnClose);
    slot->setWindowTitle(title);
  }
  slot->show();
  area_.setActiveSubWindow(slot);
  return slot;
}

PowderWindow* PatternActions::powderWindow(int crystal) const {
  const auto& slot = powder_[crystal == 1 ? 1 : 0];
  return slot ? qobject_cast<PowderWindow*>(slot->widget()) : nullptr;
}

PrecessionWindow* PatternActions::precessionWindow(int crystal) const {
  const auto& slot = precession_[crystal == 1 ? 1 : 0];
  return slot ? qobject_cast<PrecessionWindow*>(slot->widget()) : nullptr;
}

void PatternActions::powder() {
  Session& session = workspace_.session();
  const std::optional<PowderCommandResult> result = runPowderCommand(session, table_);
  if (!result) return;
  if (result->listing) workspace_.showReport(3, QString::fromStdString(result->listing->string()));
  if (result->showGraph) {
    const int crystal = result->pattern.crystal;
    const bool opened = !powder_[crystal];
    bringForward(powder_[crystal], [] { return static_cast<QWidget*>(new PowderWindow); },
                 QString("Tessera Powder Pattern - %1").arg(kCrystalNames[crystal]),
                 crystal == 1 ? WindowKind::PowderNew : WindowKind::PowderOld);
    PowderWindow* w = powderWindow(crystal);
    w->setPattern(result->pattern);
    if (opened)
      connect(w, &PowderWindow::readout, &window_, [this](const QString& text) { window_.statusBar()->showMessage(text); });
  }
  session.document.modified = true;
}

void PatternActions::precession() {
  Session& session = workspace_.session();
  const std::optional<PrecessionPattern> pattern = runPrecessionCommand(session, table_);
  if (!pattern) return;
  const int crystal = pattern->crystal;
  bringForward(precession_[crystal], [] { return static_cast<QWidget*>(new PrecessionWindow); },
               QString("Tessera Precession Pattern - %1").arg(kCrystalNames[crystal]),
               crystal == 1 ? WindowKind::PrecessionNew : WindowKind::PrecessionOld);
  precessionWindow(crystal)->setPattern(*pattern);
}

}  // namespace tessera::app
