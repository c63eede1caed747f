#pragma once
// The View menu: Powder and Precession (dialog, calculation, listing, the
// pattern windows of the Old and New crystals).

#include <QPointer>
#include <array>

#include "app/menu_area.h"
#include "core/session.h"
#include "diffraction/scattering_table.h"

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;

namespace tessera::app {

class PowderWindow;
class PrecessionWindow;
class Workspace;

class PatternActions : public MenuArea {
  Q_OBJECT
 public:
  PatternActions(Workspace& workspace, QMdiArea& area, QMainWindow& window);
  void addTo(QMenuBar& bar) override;
  void updateActions() override;

  void powder();
  void precession();

  /// The windows of a crystal (nullptr while closed).
  PowderWindow* powderWindow(int crystal) const;
  PrecessionWindow* precessionWindow(int crystal) const;

 private:
  QMdiSubWindow* bringForward(QPointer<QMdiSubWindow>& slot, QWidget* (*make)(), const QString& title, WindowKind kind);

  Workspace& workspace_;
  QMdiArea& area_;
  QMainWindow& window_;
  ScatteringTable table_;
  std::array<QPointer<QMdiSubWindow>, 2> powder_{}, precession_{};
  std::vector<QAction*> documentActions_;
};

}  // namespace tessera::app
