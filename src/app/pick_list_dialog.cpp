#include "app/pick_list_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"
#include "app/fonts.h"

namespace tessera::app {

PickListDialog::PickListDialog(const QString& title, const std::vector<std::string>& items, int preselected,
                               QWidget* parent)
    : QDialog(parent), filter_(new QLineEdit(this)), list_(new QListWidget(this)) {
  setWindowTitle(title.simplified());
  fitTitle(this);
  const QFont fixed = siteListFont();
  list_->setFont(fixed);
  list_->setUniformItemSizes(true);
  int widest = QFontMetrics(fixed).horizontalAdvance(title);
  for (const std::string& item : items) {
    list_->addItem(QString::fromStdString(item));
    widest = std::max(widest, QFontMetrics(fixed).horizontalAdvance(list_->item(list_->count() - 1)->text()));
  }
  if (preselected >= 1 && preselected <= list_->count()) list_->setCurrentRow(preselected - 1);
  const int chrome = 2 * list_->frameWidth() + list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
  list_->setMinimumWidth(widest + chrome);
  list_->setMinimumHeight(QFontMetrics(fixed).lineSpacing() * 16);

  // The heading stands over the columns it names.
  auto* heading = new QLabel(title, this);
  heading->setFont(fixed);
  heading->setContentsMargins(list_->frameWidth() + 3, 0, 0, 0);
  filter_->setPlaceholderText("Type to narrow the list");
  filter_->setClearButtonEnabled(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  auto updateOk = [this, buttons] {
    const int row = list_->currentRow();
    buttons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0 && !list_->item(row)->isHidden());
  };
  updateOk();
  connect(list_, &QListWidget::currentRowChanged, this, updateOk);
  connect(filter_, &QLineEdit::textChanged, this, [this, updateOk](const QString& text) {
    applyFilter(text);
    updateOk();
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buddyLabel("&Filter:", filter_, this), 0, Qt::AlignLeft);
  layout->addWidget(filter_);
  layout->addWidget(heading);
  layout->addWidget(list_, 1);
  layout->addWidget(buttons);
  filter_->installEventFilter(this);
  list_->installEventFilter(this);
  setTabOrder(filter_, list_);
  // Typing narrows the list at once; the arrow keys still move through it.
  filter_->setFocus();
  if (list_->currentItem()) list_->scrollToItem(list_->currentItem(), QAbstractItemView::PositionAtCenter);
}

int PickListDialog::choice() const {
  const int row = list_->currentRow();
  return row >= 0 && !list_->item(row)->isHidden() ? row + 1 : 0;
}

namespace {

/// Text as the filter compares it: "_" as a blank (the symbols' spelling), runs of blanks as one.
QString comparable(QString text) { return text.replace('_', ' ').simplified(); }

}  // namespace

void PickListDialog::applyFilter(const QString& text) {
  const QString wanted = comparable(text);
  int firstShown = -1;
  for (int row = 0; row < list_->count(); ++row) {
    QListWidgetItem* item = list_->item(row);
    const bool shown = wanted.isEmpty() || comparable(item->text()).contains(wanted, Qt::CaseInsensitive);
    item->setHidden(!shown);
    if (shown && firstShown < 0) firstShown = row;
  }
  // The selection stays on a row that is shown.
  const int row = list_->currentRow();
  if ((row < 0 || list_->item(row)->isHidden()) && firstShown >= 0) list_->setCurrentRow(firstShown);
  if (list_->currentItem()) list_->scrollToItem(list_->currentItem());
}

bool PickListDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == list_) {
    // Letters typed in the list narrow it, as typed in the filter line.
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      filter_->setFocus();
      filter_->insert(text);
      return true;
    }
  } else if (watched == filter_) {
    // The arrow keys move through the rows while the filter line has the focus.
    switch (key->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        QApplication::sendEvent(list_, event);
        return true;
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tessera::app
