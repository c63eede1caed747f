#include "app/dialog_widgets.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tessera::app {

QString toQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString withMnemonic(std::string_view text, char key) {
  QString result = toQt(text);
  if (key == '\0') return result;
  // A word's first letter reads best, the exact case before the other.
  const QChar wanted(key);
  qsizetype at = -1;
  for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
    for (qsizetype i = 0; at < 0 && i < result.size(); ++i)
      if ((i == 0 || !result[i - 1].isLetterOrNumber()) && QString(result[i]).compare(wanted, cs) == 0) at = i;
    if (at < 0) at = result.indexOf(wanted, 0, cs);
    if (at >= 0) break;
  }
  if (at >= 0) result.insert(at, '&');
  return result;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setBuddy(buddy);
  return label;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QLineEdit* numberField(QWidget* parent, int chars) {
  auto* field = new QLineEdit(parent);
  // Sized on digits, the widest characters a number shows: "-0.6666667" fits whole in 10.
  const int text = field->fontMetrics().horizontalAdvance(QString(chars, QChar('0')));
  const QMargins margins = field->textMargins();
  field->setMaximumWidth(text + margins.left() + margins.right() + 16);
  field->setMinimumWidth(std::min(field->maximumWidth(), text + 16));
  return field;
}

void fitTitle(QWidget* window) {
  // Room for the title beside the frame's buttons, so the platform does not cut it.
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const int needed = QFontMetrics(font).horizontalAdvance(window->windowTitle()) + 140;
  if (window->minimumWidth() < needed) window->setMinimumWidth(needed);
}

QString fieldText(double value) { return QString::number(value, 'g', 7); }

std::optional<double> fieldNumber(const QLineEdit* field) {
  bool ok = false;
  const double value = field->text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

void focusRefused(QLineEdit* field) {
  field->setFocus();
  field->selectAll();
}

}  // namespace tessera::app
