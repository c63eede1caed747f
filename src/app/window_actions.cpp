#include "app/window_actions.h"

#include <QFontDialog>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>

#include "app/control_window_view.h"
#include "app/fonts.h"
#include "app/workspace.h"

namespace tessera::app {

namespace {

// What the program's README tells of the desktop program, kept with the program.
const char* const kCommandSummary =
    "<p><b>tessera</b> [--home DIR] [FILE.tsr] &nbsp; (--help, --version)</p>"
    "<p><b>File</b>: New, Open (Ctrl+O), Close, Save (Ctrl+S), Save As (Ctrl+Shift+S), the recent files, Exit.<br>"
    "<b>Import</b> and <b>Export</b>: the file formats of other programs; a file dropped on the window opens "
    "(.tsr) or is imported by its extension.<br>"
    "<b>Input</b>: Title/Axes (title, structure axes, cell), Symmetry (a space group from the table or custom "
    "operator lines), Transformed to Input.<br>"
    "<b>Window</b>: Cascade, Tile, Font, and the open windows.</p>"
    "<p>The <b>Control Window</b> lists the sites of the open document (label, type, coordinates, equivalent "
    "isotropic B, summed occupancy, atoms on the site), the title, the cell and the selected site's temperature "
    "factor. Its buttons: Transform (matrix, standard matrices, translations, tolerance, mode, the New crystal's "
    "symmetry, HKL files), Symmetry, Selected atom, Edit (Enter), Delete (Delete key), Add, New to Old.</p>"
    "<p>Reports open in text windows with their own File and Edit menus (Ctrl+S, Ctrl+P, Ctrl+F, F3).</p>"
    "<p><b>tessera-cli</b> runs the same commands from scripts: <tt>tessera-cli --help</tt>.</p>";

}  // namespace

WindowActions::WindowActions(Workspace& workspace, QMdiArea& area, QWidget& window)
    : MenuArea(&window), workspace_(workspace), area_(area), window_(window) {}

void WindowActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&Window");
  connect(addCommand(menu, "&Cascade", "Arrange windows so they overlap"), &QAction::triggered, this,
          &WindowActions::cascade);
  connect(addCommand(menu, "&Tile", "Arrange windows as non-overlapping tiles"), &QAction::triggered, &area_,
          &QMdiArea::tileSubWindows);
  connect(addCommand(menu, "&Font...", "Set the font for Text windows"), &QAction::triggered, this,
          &WindowActions::chooseFont);
  // The open windows follow, listed afresh each time the menu opens.
  windowsSeparator_ = menu->addSeparator();
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { listWindows(*menu); });
}

void WindowActions::listWindows(QMenu& menu) {
  for (QAction* a : windowEntries_) {
    menu.removeAction(a);
    a->deleteLater();
  }
  windowEntries_.clear();
  const QList<QMdiSubWindow*> windows = area_.subWindowList();
  windowsSeparator_->setVisible(!windows.isEmpty());
  for (qsizetype i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    QString title = window->windowTitle();
    title.replace("[*]", window->isWindowModified() ? "*" : "");
    QAction* entry = menu.addAction(QString(i < 9 ? "&%1 %2" : "%1 %2").arg(i + 1).arg(title.replace('&', "&&")));
    entry->setStatusTip("Activate this window");
    entry->setCheckable(true);
    entry->setChecked(window == area_.activeSubWindow());
    connect(entry, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(window)] {
      if (w) area_.setActiveSubWindow(w);
    });
    windowEntries_ << entry;
  }
}

void WindowActions::cascade() {
  area_.cascadeSubWindows();
  // The Control Window is the biggest: at the back of the pile it hides none of the reports.
  if (ControlWindowView* control = workspace_.controlWindow()) {
    if (QWidget* frame = control->parentWidget()) frame->lower();
  }
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
  connect(addCommand(menu, "&Commands...", "List the menus and commands of the program"), &QAction::triggered, this,
          [this] {
            QMessageBox box(QMessageBox::NoIcon, "Tessera Commands", kCommandSummary, QMessageBox::Ok, &window_);
            box.setTextFormat(Qt::RichText);
            box.exec();
          });
  connect(addCommand(menu, "&About Tessera...", "Display program information, version number and copyright"),
          &QAction::triggered, this, [this] {
            QMessageBox::about(&window_, "About Tessera",
                               QString("<b>Tessera</b> %1<br>Crystal structures: cells, symmetry, atoms, "
                                       "cell transformations and file conversion.")
                                   .arg(TESSERA_VERSION));
          });
}

}  // namespace tessera::app
