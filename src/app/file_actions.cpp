#include "app/file_actions.h"

#include <QMenuBar>
#include <QWidget>

#include "app/recent_files.h"
#include "app/workspace.h"

namespace tessera::app {

FileActions::FileActions(Workspace& workspace, QWidget& window)
    : MenuArea(&window), workspace_(workspace), window_(window) {}

void FileActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&File");
  connect(addCommand(menu, "&New", "Create a new document", QKeySequence::New), &QAction::triggered, &workspace_,
          &Workspace::newDocument);
  connect(addCommand(menu, "&Open...", "Open an existing document", QKeySequence::Open), &QAction::triggered,
          &workspace_, &Workspace::openWithDialog);
  close_ = addCommand(menu, "&Close", "Close the active document; prompts to save it");
  connect(close_, &QAction::triggered, &workspace_, &Workspace::closeDocument);
  save_ = addCommand(menu, "&Save", "Save the active document", QKeySequence::Save);
  connect(save_, &QAction::triggered, &workspace_, &Workspace::save);
  // Spelled out: not every platform theme gives QKeySequence::SaveAs a key.
  saveAs_ = addCommand(menu, "Save &As...", "Save the active document with a new name",
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(saveAs_, &QAction::triggered, &workspace_, &Workspace::saveAs);
  recentSeparator_ = menu->addSeparator();
  for (int i = 0; i < RecentFiles::kMaxEntries; ++i) {
    QAction* action = addCommand(menu, QString(), "Open this document");
    connect(action, &QAction::triggered, this, [this, action] { workspace_.openPath(action->data().toString()); });
    recent_ << action;
  }
  menu->addSeparator();
  connect(addCommand(menu, "E&xit", "Quit the application; prompts to save documents", QKeySequence::Quit),
          &QAction::triggered, &window_, &QWidget::close);
  updateActions();
}

void FileActions::updateActions() {
  const bool open = workspace_.session().document.isOpen;
  save_->setEnabled(open);
  close_->setEnabled(open);
  saveAs_->setEnabled(open);
  const QStringList& entries = workspace_.recentFiles().entries();
  for (int i = 0; i < recent_.size(); ++i) {
    QAction* action = recent_[i];
    const bool used = i < entries.size();
    action->setVisible(used);
    if (!used) continue;
    action->setText(QString("&%1 %2").arg(i + 1).arg(entries[i]));
    action->setData(entries[i]);
  }
  recentSeparator_->setVisible(!entries.isEmpty());
}

}  // namespace tessera::app
