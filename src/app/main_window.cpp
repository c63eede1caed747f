#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
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
  qApp->installEventFilter(this);
  // A normal status-bar widget: command prompts cover it while shown.
  statusBar()->addWidget(new QLabel("Ready", statusBar()));
  buildMenus();
  connect(workspace_, &Workspace::documentChanged, this, &MainWindow::documentChanged);
  connect(workspace_, &Workspace::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text, 10000); });
  // A sub-window opening or closing must not take the modified mark with it.
  connect(area_, &QMdiArea::subWindowActivated, this, &MainWindow::refreshTitle);
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
  refreshTitle();
}

void MainWindow::refreshTitle() {
  // The mark is part of the text: the frame's own modified flag is cleared by sub-window closes.
  const CrystalDocument& doc = session_.document;
  QString title = "Tessera";
  if (doc.isOpen) title += QString(" - %1%2").arg(QString::fromStdString(doc.fileTitle), doc.modified ? "*" : "");
  if (windowTitle() != title) setWindowTitle(title);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!workspace_->closeAll()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

namespace {

QStringList localFiles(const QMimeData* data) {
  QStringList files;
  if (data && data->hasUrls())
    for (const QUrl& url : data->urls())
      if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!localFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) { openDropped(event); }

void MainWindow::openDropped(QDropEvent* event) {
  const QStringList files = localFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  // Opening may show dialogs: that waits until the drag and drop has finished.
  QMetaObject::invokeMethod(
      this, [this, files] { for (const QString& file : files) workspace_->openDropped(file); }, Qt::QueuedConnection);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Files dropped on any window inside (a report's text, the Control Window) open as files,
  // not as text pasted into the widget under the mouse.
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
    return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* drop = static_cast<QDropEvent*>(event);
  if (!widget || widget == this || widget->window() != this || localFiles(drop->mimeData()).isEmpty())
    return QMainWindow::eventFilter(watched, event);
  if (type == QEvent::Drop) openDropped(drop);
  else drop->acceptProposedAction();
  return true;
}

}  // namespace tessera::app
