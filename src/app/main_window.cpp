#include "app/main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>

#include "app/export_actions.h"
#include "app/file_actions.h"
#include "app/import_actions.h"
#include "app/input_actions.h"
#include "app/pattern_actions.h"
#include "app/window_actions.h"
#include "app/workspace.h"

namespace tessera::app {

MainWindow::MainWindow(Session& session, RecentFiles& recent)
    : session_(session), area_(new QMdiArea(this)), workspace_(new Workspace(session, *area_, recent, this)) {
  setObjectName("mainWindow");
  setCentralWidget(area_);
  setAcceptDrops(true);
  // A normal status-bar widget: command prompts cover it while shown.
  statusBar()->addWidget(new QLabel("Ready", statusBar()));
  buildMenus();
  connect(workspace_, &Workspace::documentChanged, this, &MainWindow::documentChanged);
  documentChanged();
  resize(1000, 700);
}

void MainWindow::buildMenus() {
  // One handler per menu area, in menu-bar order; a new menu is one more line here.
  menus_ = {new FileActions(*workspace_, *area_, *this),
            new ImportActions(*workspace_, this),
            new ExportActions(*workspace_, this),
            new InputActions(*workspace_, this),
            new PatternActions(*workspace_, *area_, *this),
            new WindowActions(*workspace_, *area_, *this),
            new HelpActions(*this)};
  for (MenuArea* m : menus_) m->addTo(*menuBar());
}

void MainWindow::documentChanged() {
  for (MenuArea* m : menus_) m->updateActions();
  const CrystalDocument& doc = session_.document;
  setWindowTitle(doc.isOpen ? QString("Tessera - %1[*]").arg(QString::fromStdString(doc.fileTitle)) : "Tessera");
  setWindowModified(doc.isOpen && doc.modified);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!workspace_->closeAll()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  event->acceptProposedAction();
  for (const QUrl& url : urls)
    if (url.isLocalFile()) workspace_->openPath(url.toLocalFile());
}

}  // namespace tessera::app
