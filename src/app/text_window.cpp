#include "app/text_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <utility>

#include "app/find_replace_dialog.h"
#include "core/native_file.h"

namespace tessera::app {

namespace {

const char* kOutputFilter = "Tessera Output (*.out);;All Files (*)";

/// True when the key press is the action's shortcut.
bool matches(const QKeyEvent* key, const QAction* action) {
  if (action->shortcut().isEmpty()) return false;
  return QKeySequence(key->keyCombination()) == action->shortcut();
}

}  // namespace

TextWindow::TextWindow(QWidget* parent) : QWidget(parent), editor_(new QPlainTextEdit(this)) {
  editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* bar = new QMenuBar(this);
  buildMenus(bar);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(bar);
  layout->addWidget(editor_);
  connect(editor_->document(), &QTextDocument::modificationChanged, this, &TextWindow::updateTitle);
  editor_->installEventFilter(this);
  updateTitle();
}

QAction* TextWindow::addCommand(QMenu* menu, const QString& text, const QString& tip, QKeySequence key) {
  QAction* action = menu->addAction(text);
  action->setStatusTip(tip);
  if (!key.isEmpty()) {
    action->setShortcut(key);
    // The editor takes these keys before any window-wide shortcut sees them (eventFilter).
    action->setShortcutContext(Qt::WidgetShortcut);
    keyed_ << action;
  }
  return action;
}

bool TextWindow::eventFilter(QObject* watched, QEvent* event) {
  // The main window's shortcuts (its Save) would otherwise take the key: claim it first.
  if (watched == editor_ && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    for (QAction* action : keyed_) {
      if (!matches(key, action) || !action->isEnabled()) continue;
      event->accept();
      if (event->type() == QEvent::KeyPress) action->trigger();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TextWindow::buildMenus(QMenuBar* bar) {
  QMenu* file = bar->addMenu("&File");
  connect(addCommand(file, "&Save", "Save the text", QKeySequence::Save), &QAction::triggered, this,
          &TextWindow::save);
  connect(addCommand(file, "Save &As...", "Save the text under a new name"), &QAction::triggered, this,
          &TextWindow::saveAs);
  connect(addCommand(file, "&Print...", "Print the text", QKeySequence::Print), &QAction::triggered, this,
          &TextWindow::print);
  file->addSeparator();
  connect(addCommand(file, "&Close", "Close the text window"), &QAction::triggered, this, [this] {
    if (parentWidget()) parentWidget()->close();
    else close();
  });

  QMenu* edit = bar->addMenu("&Edit");
  QPlainTextEdit* e = editor_;
  QAction* undo = addCommand(edit, "&Undo", "Undo the last change");
  connect(undo, &QAction::triggered, e, &QPlainTextEdit::undo);
  connect(e, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
  undo->setEnabled(false);
  edit->addSeparator();
  QAction* cut = addCommand(edit, "Cu&t", "Cut the selection to the clipboard");
  QAction* copy = addCommand(edit, "&Copy", "Copy the selection to the clipboard");
  connect(cut, &QAction::triggered, e, &QPlainTextEdit::cut);
  connect(copy, &QAction::triggered, e, &QPlainTextEdit::copy);
  connect(addCommand(edit, "&Paste", "Insert the clipboard"), &QAction::triggered, e, &QPlainTextEdit::paste);
  QAction* del = addCommand(edit, "&Delete", "Delete the selection");
  connect(del, &QAction::triggered, e, [e] { e->textCursor().removeSelectedText(); });
  for (QAction* a : {cut, copy, del}) {
    a->setEnabled(false);
    connect(e, &QPlainTextEdit::copyAvailable, a, &QAction::setEnabled);
  }
  edit->addSeparator();
  connect(addCommand(edit, "&Find...", "Find a text", QKeySequence::Find), &QAction::triggered, this,
          [this] { findDialog()->open(false); });
  connect(addCommand(edit, "Find &Next", "Find the next occurrence", QKeySequence::FindNext), &QAction::triggered,
          this, [this] { findDialog()->findNext(); });
  connect(addCommand(edit, "&Replace...", "Replace a text by another", QKeySequence::Replace), &QAction::triggered,
          this, [this] { findDialog()->open(true); });
  edit->addSeparator();
  connect(addCommand(edit, "Select &All", "Select the whole text"), &QAction::triggered, e,
          &QPlainTextEdit::selectAll);
}

FindReplaceDialog* TextWindow::findDialog() {
  if (!find_) find_ = new FindReplaceDialog(*editor_, this);
  return find_;
}

bool TextWindow::load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  editor_->setPlainText(QString::fromUtf8(file.readAll()));
  editor_->document()->setModified(false);
  path_ = QFileInfo(path).absoluteFilePath();
  updateTitle();
  return true;
}

bool TextWindow::save() { return path_.isEmpty() ? saveAs() : writeTo(path_); }

bool TextWindow::saveAs() {
  QFileDialog dialog(this, "Save As", path_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(kOutputFilter);
  dialog.setDefaultSuffix("out");
  if (!path_.isEmpty()) dialog.selectFile(path_);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  return writeTo(dialog.selectedFiles().first());
}

bool TextWindow::writeTo(const QString& path) {
  if (!writeFileAtomically(path.toStdString(), editor_->toPlainText().toStdString())) {
    QMessageBox::warning(this, "Tessera - Save", "File write failed: " + path);
    return false;
  }
  path_ = QFileInfo(path).absoluteFilePath();
  editor_->document()->setModified(false);
  updateTitle();
  return true;
}

void TextWindow::print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (editor_->textCursor().hasSelection()) dialog.setOption(QAbstractPrintDialog::PrintSelection);
  if (dialog.exec() == QDialog::Accepted) editor_->print(&printer);
}

void TextWindow::updateTitle() {
  const QString name = path_.isEmpty() ? QString("Untitled") : QFileInfo(path_).fileName();
  setWindowTitle(QString("Tessera Output - %1[*]").arg(name));
  setWindowModified(editor_->document()->isModified());
}

bool TextWindow::confirmClose() {
  if (closeAnswered_) return true;
  if (editor_->document()->isModified()) {
    const auto answer = QMessageBox::question(
        this, "Tessera", QString("Save changes to %1 ?").arg(path_.isEmpty() ? QString("Untitled") : path_),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::Escape || (answer == QMessageBox::Yes && !save()))
      return false;
  }
  closeAnswered_ = true;
  return true;
}

void TextWindow::closeEvent(QCloseEvent* event) {
  const bool answered = std::exchange(closeAnswered_, false);
  if (answered || confirmClose()) {
    closeAnswered_ = false;
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace tessera::app
