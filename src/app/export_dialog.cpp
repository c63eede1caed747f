#include "app/export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"

namespace tessera::app {

namespace {

/// Radio buttons in their own exclusive group (several pairs share one parent); key '\0': no mnemonic.
template <std::size_t N>
void makeGroup(std::array<QRadioButton*, N>& buttons, const std::array<const char*, N>& texts,
               const std::array<char, N>& keys, QWidget* parent) {
  auto* group = new QButtonGroup(parent);
  for (std::size_t i = 0; i < N; ++i) {
    buttons[i] = new QRadioButton(withMnemonic(texts[i], keys[i]), parent);
    group->addButton(buttons[i], static_cast<int>(i));
  }
}

template <std::size_t N>
void check(const std::array<QRadioButton*, N>& buttons, int value) {
  buttons[value >= 0 && value < static_cast<int>(N) ? static_cast<std::size_t>(value) : 0]->setChecked(true);
}

template <std::size_t N>
int checkedIndex(const std::array<QRadioButton*, N>& buttons) {
  for (std::size_t i = 0; i < N; ++i)
    if (buttons[i]->isChecked()) return static_cast<int>(i);
  return 0;
}

}  // namespace

ExportDialog::ExportDialog(ExportDialogModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent),
      model_(model),
      removeMultiple_(new QCheckBox(withMnemonic(ExportDialogModel::kRemoveMultiple, 'm'), this)),
      support_(new QLabel(toQt(model.supportLine), this)) {
  setWindowTitle(ExportDialogModel::kTitle);

  auto* dataBox = new QGroupBox("Data", this);
  auto* dataLayout = new QHBoxLayout(dataBox);
  makeGroup(crystal_, ExportDialogModel::kCrystalTexts, {'o', 't'}, dataBox);
  for (QRadioButton* b : crystal_) dataLayout->addWidget(b);
  dataLayout->addStretch(1);

  // The conversion modes on the left; the two preferences beside them, each pair on a line.
  auto* tfBox = new QGroupBox("Temperature factors", this);
  auto* tfLayout = new QGridLayout(tfBox);
  makeGroup(convMode_, ExportDialogModel::kConvModeTexts, {'K', 'C', 'i', 'a'}, tfBox);
  for (int i = 0; i < 4; ++i) tfLayout->addWidget(convMode_[static_cast<std::size_t>(i)], i, 0);
  makeGroup(aniso_, ExportDialogModel::kAnisoTexts, {'n', '\0'}, tfBox);
  makeGroup(iso_, ExportDialogModel::kIsoTexts, {'s', '\0'}, tfBox);
  tfLayout->addWidget(aniso_[0], 0, 2);
  tfLayout->addWidget(aniso_[1], 0, 3);
  tfLayout->addWidget(iso_[0], 1, 2);
  tfLayout->addWidget(iso_[1], 1, 3);
  tfLayout->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 4);
  tfLayout->setColumnStretch(4, 1);

  check(crystal_, model.crystalChoice);
  check(convMode_, model.convMode);
  check(aniso_, model.anisoPref);
  check(iso_, model.isoPref);
  removeMultiple_->setChecked(model.removeMultipleOccupancies);
  support_->setVisible(!model.supportLine.empty());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dataBox);
  layout->addWidget(tfBox);
  layout->addWidget(removeMultiple_);
  layout->addWidget(support_);
  layout->addStretch(1);
  QDialogButtonBox* okCancel = okCancelButtons(this);
  layout->addWidget(okCancel);
  // The check box was made first; Tab goes down the dialog as it reads.
  QList<QWidget*> order(crystal_.begin(), crystal_.end());
  for (QRadioButton* b : {convMode_[0], aniso_[0], aniso_[1], convMode_[1], iso_[0], iso_[1], convMode_[2], convMode_[3]})
    order << b;
  order << removeMultiple_ << okCancel;
  for (qsizetype k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);
  crystal_[static_cast<std::size_t>(checkedIndex(crystal_))]->setFocus();
}

void ExportDialog::accept() {
  model_.crystalChoice = checkedIndex(crystal_);
  model_.convMode = checkedIndex(convMode_);
  model_.anisoPref = checkedIndex(aniso_);
  model_.isoPref = checkedIndex(iso_);
  model_.removeMultipleOccupancies = removeMultiple_->isChecked();
  QDialog::accept();
}

}  // namespace tessera::app
