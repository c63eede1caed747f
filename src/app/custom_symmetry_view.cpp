#include "app/custom_symmetry_view.h"

#include <QComboBox>
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
#include "core/crystal_document.h"

namespace tessera::app {

CustomSymmetryDialog::CustomSymmetryDialog(CustomSymmetryModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent),
      model_(model),
      symbol_(new QLineEdit(this)),
      centric_(new QRadioButton("&Centric", this)),
      acentric_(new QRadioButton("&Acentric", this)),
      lattice_(new QComboBox(this)),
      lines_(new QListWidget(this)),
      add_(new QPushButton("A&dd Line...", this)),
      edit_(new QPushButton("&Edit Line...", this)),
      delete_(new QPushButton("De&lete Line...", this)),
      identify_(new QPushButton("&Get Space-Group Symbol", this)),
      changeOption_(new QPushButton("C&hange Symmetry Option...", this)) {
  setWindowTitle("Custom Symmetry");
  symbol_->setMaxLength(static_cast<int>(kMaxSymbolLength));
  symbol_->setMinimumWidth(symbol_->fontMetrics().averageCharWidth() * 30);
  for (const std::string& letter : CustomSymmetryModel::latticeLetters()) lattice_->addItem(toQt(letter));

  auto* fields = new QGridLayout;
  fields->addWidget(buddyLabel("&Symbol:", symbol_, this), 0, 0);
  fields->addWidget(symbol_, 0, 1);
  auto* centring = new QHBoxLayout;
  centring->addWidget(centric_);
  centring->addWidget(acentric_);
  centring->addStretch(1);
  fields->addLayout(centring, 1, 1);
  fields->addWidget(buddyLabel("&Bravais lattice:", lattice_, this), 2, 0);
  fields->addWidget(lattice_, 2, 1, Qt::AlignLeft);
  fields->setColumnStretch(1, 1);

  auto* lineBox = new QGroupBox("Symmetry operation lines", this);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  lines_->setFont(fixed);
  lines_->setSelectionMode(QAbstractItemView::SingleSelection);
  lines_->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(44, 'X')));
  lines_->setMinimumHeight(QFontMetrics(fixed).lineSpacing() * 10);
  auto* lineButtons = new QVBoxLayout;
  for (QPushButton* b : {add_, edit_, delete_}) {
    b->setAutoDefault(false);
    lineButtons->addWidget(b);
  }
  lineButtons->addStretch(1);
  auto* lineLayout = new QHBoxLayout(lineBox);
  lineLayout->addWidget(lines_, 1);
  lineLayout->addLayout(lineButtons);

  auto* bottom = new QHBoxLayout;
  for (QPushButton* b : {identify_, changeOption_}) {
    b->setAutoDefault(false);
    bottom->addWidget(b);
  }
  bottom->addStretch(1);
  QDialogButtonBox* okCancel = okCancelButtons(this);
  bottom->addWidget(okCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(lineBox, 1);
  layout->addLayout(bottom);

  setTabOrder(symbol_, centric_);
  setTabOrder(centric_, acentric_);
  setTabOrder(acentric_, lattice_);
  setTabOrder(lattice_, lines_);
  setTabOrder(lines_, add_);
  setTabOrder(add_, edit_);
  setTabOrder(edit_, delete_);
  setTabOrder(delete_, identify_);
  setTabOrder(identify_, changeOption_);
  setTabOrder(changeOption_, okCancel);

  connect(add_, &QPushButton::clicked, this, &CustomSymmetryDialog::addLine);
  connect(edit_, &QPushButton::clicked, this, &CustomSymmetryDialog::editLine);
  connect(lines_, &QListWidget::itemDoubleClicked, this, &CustomSymmetryDialog::editLine);
  connect(delete_, &QPushButton::clicked, this, &CustomSymmetryDialog::deleteLine);
  connect(identify_, &QPushButton::clicked, this, &CustomSymmetryDialog::identify);
  connect(changeOption_, &QPushButton::clicked, this, &CustomSymmetryDialog::changeOption);
  connect(lines_, &QListWidget::currentRowChanged, this, &CustomSymmetryDialog::updateLineButtons);
  loadFields();
  symbol_->setFocus();
  symbol_->selectAll();
}

QString CustomSymmetryDialog::lineRow(int j, const std::string& line) {
  return QString("%1  %2").arg(j + 1, 3).arg(toQt(line));
}

void CustomSymmetryDialog::loadFields() {
  symbol_->setText(toQt(model_.symbol));
  (model_.centric ? centric_ : acentric_)->setChecked(true);
  lattice_->setCurrentIndex(model_.latticeIndex);
  refreshLines(lines_->currentRow());
}

void CustomSymmetryDialog::refreshLines(int select) {
  lines_->clear();
  for (std::size_t j = 0; j < model_.lines.size(); ++j) lines_->addItem(lineRow(static_cast<int>(j), model_.lines[j]));
  if (select >= lines_->count()) select = lines_->count() - 1;
  if (select >= 0) lines_->setCurrentRow(select);
  updateLineButtons();
}

void CustomSymmetryDialog::updateLineButtons() {
  const bool selected = lines_->currentRow() >= 0;
  edit_->setEnabled(selected);
  delete_->setEnabled(selected);
}

// Every button works on the model, so the fields as typed go in first.
void CustomSymmetryDialog::takeFields() {
  model_.symbol = symbol_->text().toStdString();
  model_.centric = centric_->isChecked();
  model_.latticeIndex = std::max(0, lattice_->currentIndex());
}

void CustomSymmetryDialog::addLine() {
  takeFields();
  refreshLines(model_.addLine());
}

void CustomSymmetryDialog::editLine() {
  const int j = lines_->currentRow();
  if (j < 0) return;
  takeFields();
  model_.editLine(j);
  refreshLines(j);
}

void CustomSymmetryDialog::deleteLine() {
  const int j = lines_->currentRow();
  if (j < 0) return;
  takeFields();
  refreshLines(model_.deleteLine(j));
}

void CustomSymmetryDialog::identify() {
  takeFields();
  model_.getSpaceGroupSymbol();
  loadFields();
}

void CustomSymmetryDialog::changeOption() {
  takeFields();
  model_.changeOption();
  QDialog::accept();
}

void CustomSymmetryDialog::accept() {
  takeFields();
  QDialog::accept();
}

}  // namespace tessera::app
