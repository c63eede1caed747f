#include "app/pick_list_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessera::app {

PickListDialog::PickListDialog(const QString& title, const std::vector<std::string>& items, int preselected,
                               QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
  setWindowTitle(title);
  for (const std::string& item : items) list_->addItem(QString::fromStdString(item));
  if (preselected >= 1 && preselected <= list_->count()) list_->setCurrentRow(preselected - 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto updateOk = [this, buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(list_->currentRow() >= 0); };
  updateOk();
  connect(list_, &QListWidget::currentRowChanged, this, updateOk);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  list_->setFocus();
}

int PickListDialog::choice() const { return list_->currentRow() + 1; }

}  // namespace tessera::app
