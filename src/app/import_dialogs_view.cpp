#include "app/import_dialogs_view.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"

namespace tessera::app {

// ---------------------------------------------------------------------------
// Import File

ImportOptionsDialog::ImportOptionsDialog(ImportOptionsModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent),
      model_(model),
      caption_(new QLabel(toQt(model.caption), this)),
      extension_(numberField(this, 6)) {
  setWindowTitle(ImportOptionsModel::kTitle);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  extension_->setMaxLength(static_cast<int>(ImportOptionsModel::kMaxExtension));
  extension_->setText(toQt(model.extension));

  auto* grid = new QGridLayout;
  grid->addWidget(buddyLabel(withMnemonic(ImportOptionsModel::kExtensionLabel, 'x'), extension_, this), 0, 0);
  grid->addWidget(extension_, 0, 1, Qt::AlignLeft);
  grid->setColumnStretch(1, 1);

  auto* symmetryBox = new QGroupBox(ImportOptionsModel::kSymmetryGroup, this);
  auto* symmetryLayout = new QVBoxLayout(symmetryBox);
  symmetry_[0] = new QRadioButton(withMnemonic(ImportOptionsModel::kSymmetryXyz, 'P'), symmetryBox);
  symmetry_[1] = new QRadioButton(withMnemonic(ImportOptionsModel::kSymmetrySymbol, 'S'), symmetryBox);
  for (QRadioButton* b : symmetry_) symmetryLayout->addWidget(b);

  // The label and its two choices on one line: the choices finish the sentence.
  auto* typeRow = new QHBoxLayout;
  type_[0] = new QRadioButton(withMnemonic(ImportOptionsModel::kTypeLabel, 'L'), this);
  type_[1] = new QRadioButton(withMnemonic(ImportOptionsModel::kTypeType, 'T'), this);
  auto* typeGroup = new QButtonGroup(this);
  typeRow->addWidget(new QLabel(ImportOptionsModel::kTypeGroup, this));
  for (QRadioButton* b : type_) {
    typeGroup->addButton(b);
    typeRow->addWidget(b);
  }
  typeRow->addStretch(1);

  symmetry_[model.symmetrySourcePref == 1 ? 1 : 0]->setChecked(true);
  type_[model.typeNumberSource == 1 ? 1 : 0]->setChecked(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption_);
  layout->addLayout(grid);
  layout->addWidget(symmetryBox);
  layout->addLayout(typeRow);
  layout->addStretch(1);
  layout->addWidget(okCancelButtons(this));
  setMinimumWidth(fontMetrics().averageCharWidth() * 44);
  extension_->setFocus();
  extension_->selectAll();
}

void ImportOptionsDialog::accept() {
  model_.extension = extension_->text().toStdString();
  model_.symmetrySourcePref = symmetry_[1]->isChecked() ? 1 : 0;
  model_.typeNumberSource = type_[1]->isChecked() ? 1 : 0;
  QDialog::accept();
}

// ---------------------------------------------------------------------------
// Data Sets, Phases or Crystals in Import File

DataSetDialog::DataSetDialog(DataSetModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent), model_(model), file_(new QLabel(this)), list_(new QListWidget(this)) {
  setWindowTitle(DataSetModel::kTitle);
  // A long path is shortened in the middle; the whole of it stays in the tip.
  const QString fileLine = toQt(model.fileLine);
  file_->setText(file_->fontMetrics().elidedText(fileLine, Qt::ElideMiddle, file_->fontMetrics().averageCharWidth() * 70));
  file_->setToolTip(fileLine);
  // The lines are columns of a number and a name: they need a fixed pitch.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  list_->setFont(fixed);
  for (const std::string& line : model.lines) list_->addItem(toQt(line));
  list_->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(42, 'X')));
  if (list_->count() > 0) list_->setCurrentRow(model.selection >= 1 && model.selection <= list_->count() ? model.selection - 1 : 0);

  QDialogButtonBox* buttons = okCancelButtons(this);
  buttons->button(QDialogButtonBox::Ok)->setEnabled(list_->currentRow() >= 0);
  connect(list_, &QListWidget::currentRowChanged, this,
          [buttons](int row) { buttons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0); });
  connect(list_, &QListWidget::itemDoubleClicked, this, &DataSetDialog::accept);

  auto* heading = new QLabel(withMnemonic(DataSetModel::kListHeading, 'S'), this);
  heading->setBuddy(list_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file_);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addWidget(heading);
  layout->addWidget(list_, 1);
  layout->addWidget(buttons);
  list_->setFocus();
}

void DataSetDialog::accept() {
  if (list_->currentRow() < 0) return;
  model_.selection = list_->currentRow() + 1;
  QDialog::accept();
}

}  // namespace tessera::app
