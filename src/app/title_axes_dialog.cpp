#include "app/title_axes_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessera::app {

namespace {

QString toQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* rightAlignedLabel(std::string_view text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(toQt(text), parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

TitleAxesDialog::TitleAxesDialog(TitleAxesModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui), title_(new QLineEdit(this)), axes_(new QComboBox(this)) {
  setWindowTitle("Title/Structure Axes");
  title_->setMaxLength(static_cast<int>(kMaxTitleLength));
  title_->setText(QString::fromStdString(model.title));
  title_->setMinimumWidth(title_->fontMetrics().averageCharWidth() * 60);
  for (std::string_view name : TitleAxesModel::axesChoiceNames()) axes_->addItem(toQt(name));
  axes_->setCurrentIndex(model.axesChoice);

  auto* grid = new QGridLayout;
  grid->addWidget(rightAlignedLabel("Title (80 chrs):", title_, this), 0, 0);
  grid->addWidget(title_, 0, 1, 1, 3);
  grid->addWidget(rightAlignedLabel("Structure axes:", axes_, this), 1, 0);
  grid->addWidget(axes_, 1, 1, 1, 3, Qt::AlignLeft);
  for (int k = 0; k < TitleAxesModel::kFieldCount; ++k) {
    auto* edit = new QLineEdit(QString::fromStdString(TitleAxesModel::fieldText(model.cell[k])), this);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 14);
    cellEdits_[k] = edit;
    cellLabels_[k] = rightAlignedLabel(TitleAxesModel::fieldLabel(k), edit, this);
    // Lengths in the left pair of columns, angles in the right pair, one row per axis.
    const int row = 2 + k % 3;
    const int column = k < 3 ? 0 : 2;
    grid->addWidget(cellLabels_[k], row, column);
    grid->addWidget(edit, row, column + 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  // Hidden rows must not make the dialog jump as the choice changes.
  for (int row = 2; row < 5; ++row) grid->setRowMinimumHeight(row, cellEdits_[0]->sizeHint().height());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(axes_, &QComboBox::currentIndexChanged, this, &TitleAxesDialog::showFieldsOfChoice);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addWidget(buttons);

  QWidget* previous = title_;
  setTabOrder(previous, axes_);
  previous = axes_;
  for (QLineEdit* edit : cellEdits_) {
    setTabOrder(previous, edit);
    previous = edit;
  }
  setTabOrder(previous, buttons);
  showFieldsOfChoice(model.axesChoice);
  title_->setFocus();
  title_->selectAll();
}

void TitleAxesDialog::showFieldsOfChoice(int choice) {
  for (int k = 0; k < TitleAxesModel::kFieldCount; ++k) {
    const bool shown = TitleAxesModel::fieldShown(choice, k);
    cellEdits_[k]->setVisible(shown);
    cellLabels_[k]->setVisible(shown);
  }
}

void TitleAxesDialog::accept() {
  std::array<std::string, TitleAxesModel::kFieldCount> texts;
  for (int k = 0; k < TitleAxesModel::kFieldCount; ++k) texts[k] = cellEdits_[k]->text().toStdString();
  TitleAxesModel candidate = model_;
  candidate.title = title_->text().toStdString();
  candidate.axesChoice = axes_->currentIndex();
  if (const auto problem = candidate.takeFieldTexts(texts)) {
    ui_.message(problem->message);
    QLineEdit* edit = cellEdits_[problem->field];
    edit->setFocus();
    edit->selectAll();
    return;
  }
  model_ = candidate;
  QDialog::accept();
}

}  // namespace tessera::app
