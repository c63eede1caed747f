#include "app/find_replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace tessera::app {

FindReplaceDialog::FindReplaceDialog(QPlainTextEdit& editor, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      find_(new QLineEdit(this)),
      replace_(new QLineEdit(this)),
      matchCase_(new QCheckBox("Match &case", this)),
      replaceButton_(new QPushButton("&Replace", this)),
      replaceAllButton_(new QPushButton("Replace &All", this)) {
  auto* findNextButton = new QPushButton("&Find Next", this);
  auto* closeButton = new QPushButton("Close", this);
  findNextButton->setDefault(true);
  auto* findLabel = new QLabel("Fi&nd what:", this);
  findLabel->setBuddy(find_);
  auto* replaceLabel = new QLabel("Re&place with:", this);
  replaceLabel->setBuddy(replace_);
  replace_->setObjectName("replaceField");
  replaceLabel->setObjectName("replaceLabel");

  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(find_, 0, 1);
  grid->addWidget(findNextButton, 0, 2);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replace_, 1, 1);
  grid->addWidget(replaceButton_, 1, 2);
  grid->addWidget(matchCase_, 2, 1);
  grid->addWidget(replaceAllButton_, 2, 2);
  grid->addWidget(closeButton, 3, 2);
  // Row by row, as the dialog reads.
  const QList<QWidget*> order = {find_, findNextButton, replace_, replaceButton_, matchCase_, replaceAllButton_, closeButton};
  for (qsizetype k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);

  connect(findNextButton, &QPushButton::clicked, this, [this] {
    if (!findNext()) notFound();
  });
  connect(replaceButton_, &QPushButton::clicked, this, &FindReplaceDialog::replaceOne);
  connect(replaceAllButton_, &QPushButton::clicked, this, [this] {
    if (replaceAll() == 0) notFound();
  });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void FindReplaceDialog::open(bool replace) {
  setWindowTitle(replace ? "Replace" : "Find");
  const QList<QWidget*> replaceWidgets = {replace_, findChild<QLabel*>("replaceLabel"), replaceButton_,
                                          replaceAllButton_};
  for (QWidget* w : replaceWidgets) w->setVisible(replace);
  const QString selected = editor_.textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) find_->setText(selected);
  show();
  raise();
  activateWindow();
  find_->setFocus();
  find_->selectAll();
}

bool FindReplaceDialog::findNext() {
  const QString text = find_->text();
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags = matchCase_->isChecked() ? QTextDocument::FindCaseSensitively
                                                                 : QTextDocument::FindFlags();
  if (editor_.find(text, flags)) return true;
  // Wrap round once from the top.
  QTextCursor cursor = editor_.textCursor();
  const QTextCursor before = cursor;
  cursor.movePosition(QTextCursor::Start);
  editor_.setTextCursor(cursor);
  if (editor_.find(text, flags)) return true;
  editor_.setTextCursor(before);
  return false;
}

bool FindReplaceDialog::selectionMatches() const {
  const Qt::CaseSensitivity cs = matchCase_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const QString selected = editor_.textCursor().selectedText();
  return !selected.isEmpty() && selected.compare(find_->text(), cs) == 0;
}

void FindReplaceDialog::replaceOne() {
  if (selectionMatches()) editor_.textCursor().insertText(replace_->text());
  if (!findNext()) notFound();
}

int FindReplaceDialog::replaceAll() {
  if (find_->text().isEmpty()) return 0;
  QTextCursor cursor = editor_.textCursor();
  cursor.movePosition(QTextCursor::Start);
  editor_.setTextCursor(cursor);
  const QTextDocument::FindFlags flags = matchCase_->isChecked() ? QTextDocument::FindCaseSensitively
                                                                 : QTextDocument::FindFlags();
  int count = 0;
  // One undo step for the whole replacement.
  QTextCursor edit(editor_.document());
  edit.beginEditBlock();
  while (editor_.find(find_->text(), flags)) {
    editor_.textCursor().insertText(replace_->text());
    ++count;
  }
  edit.endEditBlock();
  return count;
}

void FindReplaceDialog::notFound() {
  QMessageBox::information(this, windowTitle(), QString("Cannot find \"%1\".").arg(find_->text()));
}

}  // namespace tessera::app
