#include "app/file_actions.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include "app/graphics_output.h"
#include "app/image_export.h"
#include "app/pattern_windows.h"
#include "app/recent_files.h"
#include "app/text_window.h"
#include "app/workspace.h"
#include "core/native_file.h"
#include "diffraction/powder.h"

namespace tessera::app {

FileActions::FileActions(Workspace& workspace, QMdiArea& area, QWidget& window)
    : MenuArea(&window), workspace_(workspace), area_(area), window_(window) {
  connect(&area_, &QMdiArea::subWindowActivated, this, &FileActions::updateActions);
}

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
  menu->addSeparator();
  print_ = addCommand(menu, "&Print...", "Print the active window", QKeySequence::Print);
  connect(print_, &QAction::triggered, this, &FileActions::print);
  metafile_ = addCommand(menu, "&Metafile...",
                         "Write a Windows Metafile showing the currently-selected graphics window (Powder or "
                         "Precession pattern)");
  connect(metafile_, &QAction::triggered, this, &FileActions::metafile);
  image_ = addCommand(menu, "Export &Image...", "Save the active pattern window as SVG, PNG or PDF");
  connect(image_, &QAction::triggered, this, &FileActions::exportImage);
  profile_ = addCommand(menu, "Export Pro&file...", "Save the active powder pattern's profile as 2-theta and intensity");
  connect(profile_, &QAction::triggered, this, &FileActions::exportProfile);
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
  QMdiSubWindow* active = area_.activeSubWindow();
  const bool pattern = static_cast<bool>(activePatternPainter(area_));
  metafile_->setEnabled(pattern);
  image_->setEnabled(pattern);
  profile_->setEnabled(active && qobject_cast<PowderWindow*>(active->widget()));
  print_->setEnabled(pattern || (active && qobject_cast<TextWindow*>(active->widget())));
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

void FileActions::print() {
  QMdiSubWindow* active = area_.activeSubWindow();
  if (auto* text = active ? qobject_cast<TextWindow*>(active->widget()) : nullptr) {
    text->print();
    return;
  }
  const PatternPainter paint = activePatternPainter(area_);
  if (!paint) return;
  Session& session = workspace_.session();
  PrintGraphicsModel model;
  model.loadFrom(session.settings);
  for (;;) {
    if (!session.ui.runDialog(model)) return;
    const std::optional<std::string> problem = model.validate();
    if (!problem) break;
    session.ui.message(*problem);
  }
  model.storeIn(session.settings);
  QPrinter printer(QPrinter::HighResolution);
  if (model.standardDialog) {
    QPrintDialog dialog(&printer, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
  }
  if (!printPattern(printer, model, paint)) session.ui.message("Printing failed");
}

void FileActions::metafile() {
  const PatternPainter paint = activePatternPainter(area_);
  if (!paint) return;
  Session& session = workspace_.session();
  metafileModel_.loadFrom(session.settings);
  const MetafileResult result = writeMetafile(session.ui, metafileModel_, paint, writePdfPicture);
  metafileModel_.storeIn(session.settings);
  if (result.bytes.empty()) return;
  QGuiApplication::clipboard()->setMimeData(clipboardData(result, metafileModel_, paint).release());
}

void FileActions::exportImage() {
  const PatternPainter paint = activePatternPainter(area_);
  if (!paint) return;
  const QString path = QFileDialog::getSaveFileName(&window_, "Export Image", "pattern.svg",
                                                    "SVG picture (*.svg);;PNG image (*.png);;PDF document (*.pdf)");
  if (path.isEmpty()) return;
  const QSize size = area_.activeSubWindow()->widget()->size();
  if (!exportPatternImage(paint, size.width(), size.height(), path))
    workspace_.session().ui.message("File open for write failed");
}

void FileActions::exportProfile() {
  QMdiSubWindow* active = area_.activeSubWindow();
  auto* w = active ? qobject_cast<PowderWindow*>(active->widget()) : nullptr;
  if (!w) return;
  const QString path =
      QFileDialog::getSaveFileName(&window_, "Export Profile", "profile.xy", "Profile (*.xy);;All Files (*.*)");
  if (path.isEmpty()) return;
  if (!writeFileAtomically(path.toStdString(), powderProfileText(powderCurve(w->pattern()))))
    workspace_.session().ui.message("File open for write failed");
}

}  // namespace tessera::app
