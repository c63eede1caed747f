#include "app/transform_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <functional>
#include <vector>

#include "app/dialog_widgets.h"
#include "app/qt_user_interface.h"

namespace tessera::app {

namespace {

const char* const kAxisNames[3] = {"a", "b", "c"};

QLabel* columnHeading(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

TransformParametersDialog::TransformParametersDialog(TransformParametersModel& model, UserInterface& ui,
                                                     QWidget* parent)
    : QDialog(parent),
      model_(model),
      ui_(ui),
      tolerance_(nullptr),
      modeGroup_(new QButtonGroup(this)),
      standards_(nullptr),
      symmetryLine_(new QLabel(this)),
      clear_(new QPushButton("C&lear", this)),
      symmetry_(new QPushButton("&Symmetry", this)),
      hkl_(new QPushButton("Transform &HKL File", this)),
      transform_(new QPushButton("&Transform", this)) {
  setWindowTitle(TransformParametersModel::kTitle);
  auto* cancel = new QPushButton("Cancel", this);

  auto* left = new QVBoxLayout;
  left->addWidget(buildMatrixBox());
  left->addWidget(buildTranslationBox());
  left->addWidget(buildModeBox());
  left->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(buildStandardList());

  for (QPushButton* b : {clear_, symmetry_, hkl_, cancel}) b->setAutoDefault(false);
  transform_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {clear_, symmetry_, hkl_}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(transform_);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addWidget(symmetryLine_);
  layout->addLayout(buttons);

  std::vector<QWidget*> order(matrix_.begin(), matrix_.end());
  order.insert(order.end(), shifts_.begin(), shifts_.end());
  order.push_back(tolerance_);
  const int mode = model.values().mode;
  const std::size_t shownMode = mode >= 0 && mode <= 2 ? static_cast<std::size_t>(mode) : 2;
  order.insert(order.end(), modes_.begin(), modes_.end());
  for (QWidget* w : {static_cast<QWidget*>(standards_), static_cast<QWidget*>(clear_), static_cast<QWidget*>(symmetry_),
                     static_cast<QWidget*>(hkl_), static_cast<QWidget*>(transform_), static_cast<QWidget*>(cancel)})
    order.push_back(w);
  for (std::size_t k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);

  connect(clear_, &QPushButton::clicked, this, &TransformParametersDialog::clear);
  connect(symmetry_, &QPushButton::clicked, this, &TransformParametersDialog::runSymmetry);
  connect(hkl_, &QPushButton::clicked, this, &TransformParametersDialog::transformHkl);
  connect(transform_, &QPushButton::clicked, this, &TransformParametersDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TransformParametersDialog::reject);

  loadMatrix();
  loadTranslations();
  tolerance_->setText(fieldText(model.values().tolerance));
  modes_[shownMode]->setChecked(true);
  symmetryLine_->setText(toQt(model.symmetryLine()));
  symmetryLine_->setMinimumHeight(symmetryLine_->fontMetrics().lineSpacing());
  matrix_[0]->setFocus();
  matrix_[0]->selectAll();
}

QWidget* TransformParametersDialog::buildMatrixBox() {
  auto* box = new QGroupBox("Matrix (new axes in terms of the old)", this);
  auto* grid = new QGridLayout(box);
  for (int column = 0; column < 3; ++column)
    grid->addWidget(columnHeading(QString("%1(old)").arg(kAxisNames[column]), box), 0, column + 1);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) matrix_[static_cast<std::size_t>(3 * row + column)] = numberField(box);
    grid->addWidget(buddyLabel(QString("%1(new) =").arg(kAxisNames[row]), matrixField(row, 0), box), row + 1, 0);
    for (int column = 0; column < 3; ++column) grid->addWidget(matrixField(row, column), row + 1, column + 1);
  }
  grid->setColumnStretch(4, 1);
  return box;
}

QWidget* TransformParametersDialog::buildTranslationBox() {
  auto* box = new QGroupBox("Translations (fractions of the cell)", this);
  auto* grid = new QGridLayout(box);
  const char* const names[3] = {"Pre-symmetry translation", "Pre-matrix translation", "Post-matrix translation"};
  for (int axis = 0; axis < 3; ++axis) grid->addWidget(columnHeading(kAxisNames[axis], box), 0, axis + 1);
  for (int t = 0; t < 3; ++t) {
    for (int axis = 0; axis < 3; ++axis) shifts_[static_cast<std::size_t>(3 * t + axis)] = numberField(box);
    grid->addWidget(buddyLabel(names[t], shifts_[static_cast<std::size_t>(3 * t)], box), t + 1, 0);
    for (int axis = 0; axis < 3; ++axis)
      grid->addWidget(shifts_[static_cast<std::size_t>(3 * t + axis)], t + 1, axis + 1);
  }
  tolerance_ = numberField(box);
  grid->addWidget(buddyLabel("Tolerance (A): ", tolerance_, box), 4, 0);
  grid->addWidget(tolerance_, 4, 1);
  grid->setColumnStretch(4, 1);
  return box;
}

QWidget* TransformParametersDialog::buildModeBox() {
  auto* box = new QGroupBox("Mode", this);
  auto* row = new QHBoxLayout(box);
  const auto& names = TransformParametersModel::modeNames();
  for (int m = 0; m < 3; ++m) {
    modes_[static_cast<std::size_t>(m)] = new QRadioButton(toQt(names[static_cast<std::size_t>(m)]), box);
    modeGroup_->addButton(modes_[static_cast<std::size_t>(m)], m);
    row->addWidget(modes_[static_cast<std::size_t>(m)]);
  }
  row->addStretch(1);
  return box;
}

QLayout* TransformParametersDialog::buildStandardList() {
  standards_ = new QListWidget(this);
  for (const std::string& name : TransformParametersModel::standardMatrixNames()) standards_->addItem(toQt(name));
  standards_->setSelectionMode(QAbstractItemView::SingleSelection);
  standards_->setMinimumWidth(standards_->sizeHintForColumn(0) + 2 * standards_->frameWidth() + 24);
  standards_->setMinimumHeight(standards_->sizeHintForRow(0) * 12);
  // Moving through the list with the keys must not ask at every row: a click or
  // Enter/Space on an entry chooses it.
  standards_->installEventFilter(this);
  connect(standards_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    chooseStandard(standards_->row(item));
  });
  auto* column = new QVBoxLayout;
  column->addWidget(new QLabel("Standard &Matrices:", this));
  qobject_cast<QLabel*>(column->itemAt(0)->widget())->setBuddy(standards_);
  column->addWidget(standards_, 1);
  return column;
}

bool TransformParametersDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == standards_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
      chooseStandard(standards_->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TransformParametersDialog::loadMatrix() {
  const Transformation& v = model_.values();
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      matrixField(row, column)->setText(fieldText(v.matrix[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
}

void TransformParametersDialog::loadTranslations() {
  const Transformation& v = model_.values();
  const std::array<float, 3>* shifts[3] = {&v.preSymmetryShift, &v.preMatrixShift, &v.postMatrixShift};
  for (int t = 0; t < 3; ++t)
    for (int axis = 0; axis < 3; ++axis)
      translationField(static_cast<Translation>(t), axis)->setText(fieldText((*shifts[t])[static_cast<std::size_t>(axis)]));
}

// Only fields the user edited go in, so values shown rounded keep their stored precision.
bool TransformParametersDialog::takeFields() {
  using Setter = std::optional<std::string> (TransformParametersModel::*)(int, double);
  auto take = [this](QLineEdit* field, const std::function<std::optional<std::string>(double)>& set) {
    if (!field->isModified()) return true;
    const std::optional<double> value = fieldNumber(field);
    const std::optional<std::string> refusal = value ? set(*value) : std::optional<std::string>("Please enter a number.");
    if (refusal) {
      ui_.message(*refusal);
      focusRefused(field);
      return false;
    }
    field->setModified(false);
    return true;
  };
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      if (!take(matrixField(row, column), [&](double v) { return model_.setMatrixEntry(row, column, v); })) return false;
  const Setter setters[3] = {&TransformParametersModel::setPreSymmetryShift, &TransformParametersModel::setPreMatrixShift,
                             &TransformParametersModel::setPostMatrixShift};
  for (int t = 0; t < 3; ++t)
    for (int axis = 0; axis < 3; ++axis)
      if (!take(translationField(static_cast<Translation>(t), axis),
                [&](double v) { return (model_.*setters[t])(axis, v); }))
        return false;
  if (!take(tolerance_, [this](double v) { return model_.setTolerance(v); })) return false;
  if (const auto refusal = model_.setMode(modeGroup_->checkedId())) {
    ui_.message(*refusal);
    return false;
  }
  return true;
}

void TransformParametersDialog::chooseStandard(int row) {
  if (row < 0) return;
  if (model_.chooseStandardMatrix(row)) loadMatrix();
}

void TransformParametersDialog::clear() {
  if (!model_.clear()) return;
  loadMatrix();
  loadTranslations();
  symmetryLine_->setText(toQt(model_.symmetryLine()));
}

void TransformParametersDialog::runSymmetry() {
  // The matrix as typed gives the cell the symmetry is checked against.
  if (!takeFields()) return;
  model_.runSymmetry();
  symmetryLine_->setText(toQt(model_.symmetryLine()));
}

void TransformParametersDialog::transformHkl() {
  if (!takeFields() || !model_.transformHklFile()) return;
  // The confirmation goes to the main window's status bar, where Save and Export put theirs.
  auto* main = qobject_cast<QMainWindow*>(parentWidget());
  const auto* qtUi = dynamic_cast<const QtUserInterface*>(&ui_);
  if (main && qtUi) main->statusBar()->showMessage("HKL file written: " + toQt(qtUi->lastSaveFile()), 10000);
}

void TransformParametersDialog::accept() {
  if (!takeFields()) return;
  if (const auto refusal = model_.refusal()) {
    ui_.message(*refusal);
    focusRefused(matrix_[0]);
    return;
  }
  QDialog::accept();
}

}  // namespace tessera::app
