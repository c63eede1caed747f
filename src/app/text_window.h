#pragma once
// A "Tessera Output" text window: an editable plain-text view of a report file
// with its own File and Edit menus (Save, Save As, Print, Close; Undo, Cut,
// Copy, Paste, Delete, Find, Find Next, Replace, Select All).

#include <QList>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace tessera::app {

class FindReplaceDialog;

class TextWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TextWindow(QWidget* parent = nullptr);

  /// Reads the file at path into the window; false (window unchanged) when it cannot be read.
  bool load(const QString& path);
  /// Writes the text to its file (Save As when it has none); false when nothing was written.
  bool save();
  /// Asks for a file name, then writes the text there.
  bool saveAs();
  /// Prints the text through the print dialog.
  void print();
  /// The save question of closing, asked ahead of the close: false when the user cancelled
  /// (or the save failed). After true the next close goes ahead without asking.
  bool confirmClose();
  /// Takes back an answer of confirmClose() whose close did not happen.
  void forgetCloseAnswer() { closeAnswered_ = false; }

  QString path() const { return path_; }
  QPlainTextEdit* editor() const { return editor_; }
  FindReplaceDialog* findDialog();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Adds a command to a menu; a key makes it act on this window while its text has the focus.
  QAction* addCommand(QMenu* menu, const QString& text, const QString& tip, QKeySequence key = {});
  void buildMenus(QMenuBar* bar);
  bool writeTo(const QString& path);
  void updateTitle();

  QPlainTextEdit* editor_;
  QString path_;
  FindReplaceDialog* find_ = nullptr;
  QList<QAction*> keyed_;
  bool closeAnswered_ = false;
};

}  // namespace tessera::app
