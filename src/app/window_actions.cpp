#include "app/window_actions.h"

#include <QFontDialog>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>

#include "app/fonts.h"
#include "app/workspace.h"

namespace tessera::app {

WindowActions::WindowActions(Workspace& workspace, QMdiArea& area, QWidget& window)
    : MenuArea(&window), workspace_(workspace), area_(area), window_(window) {}

void WindowActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&Window");
  connect(addCommand(menu, "&Cascade", "Arrange windows so they overlap"), &QAction::triggered, &area_,
          &QMdiArea::cascadeSubWindows);
  connect(addCommand(menu, "&Tile", "Arrange windows as non-overlapping tiles"), &QAction::triggered, &area_,
          &QMdiArea::tileSubWindows);
  connect(addCommand(menu, "&Font...", "Set the font for Text windows"), &QAction::triggered, this,
          &WindowActions::chooseFont);
}

void WindowActions::chooseFont() {
  ProgramSettings& settings = workspace_.session().settings;
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, textWindowFont(settings), &window_, "Font",
                                          QFontDialog::MonospacedFonts);
  if (!ok) return;
  storeTextWindowFont(settings, font);
  workspace_.applyTextFont();
}

HelpActions::HelpActions(QWidget& window) : MenuArea(&window), window_(window) {}

void HelpActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&Help");
  connect(addCommand(menu, "&About Tessera...", "Display program information, version number and copyright"),
          &QAction::triggered, this, [this] {
            QMessageBox::about(&window_, "About Tessera",
                               QString("<b>Tessera</b> %1<br>Crystal structures: cells, symmetry, atoms, "
                                       "cell transformations and file conversion.")
                                   .arg(TESSERA_VERSION));
          });
}

}  // namespace tessera::app
