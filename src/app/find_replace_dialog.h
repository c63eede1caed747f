#pragma once
// Find and Replace for a text window: a modeless dialog over one QPlainTextEdit.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tessera::app {

class FindReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  FindReplaceDialog(QPlainTextEdit& editor, QWidget* parent);

  /// Shows the dialog for finding only or for finding and replacing.
  void open(bool replace);
  /// Finds the next match after the cursor (wrapping once); false when there is none.
  bool findNext();
  /// Replaces the selected match, then finds the next one.
  void replaceOne();
  /// Replaces every match; returns how many.
  int replaceAll();

  QLineEdit* findField() const { return find_; }
  QLineEdit* replaceField() const { return replace_; }

 private:
  bool selectionMatches() const;
  void notFound();

  QPlainTextEdit& editor_;
  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* matchCase_;
  QPushButton* replaceButton_;
  QPushButton* replaceAllButton_;
};

}  // namespace tessera::app
