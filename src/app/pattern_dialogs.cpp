#include "app/pattern_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"
#include "diffraction/powder.h"

namespace tessera::app {

BoundDialog::BoundDialog(const char* title, UserInterface& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), grid_(new QGridLayout) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid_);
}

QLineEdit* BoundDialog::numberRow(const char* label, float& value) {
  QLineEdit* field = numberField(this);
  field->setText(fieldText(value));
  grid_->addWidget(buddyLabel(label, field, this), row_, 0);
  grid_->addWidget(field, row_++, 1, Qt::AlignLeft);
  readers_.push_back([this, field, &value] {
    const std::optional<double> v = fieldNumber(field);
    if (!v) {
      ui_.message("Please enter a number");
      focusRefused(field);
      return false;
    }
    value = static_cast<float>(*v);
    return true;
  });
  return field;
}

QLineEdit* BoundDialog::wholeRow(const char* label, int& value) {
  QLineEdit* field = numberField(this, 6);
  field->setText(QString::number(value));
  grid_->addWidget(buddyLabel(label, field, this), row_, 0);
  grid_->addWidget(field, row_++, 1, Qt::AlignLeft);
  readers_.push_back([this, field, &value] {
    bool ok = false;
    const int v = field->text().trimmed().toInt(&ok);
    if (!ok) {
      ui_.message("Please enter a whole number");
      focusRefused(field);
      return false;
    }
    value = v;
    return true;
  });
  return field;
}

void BoundDialog::choiceRow(const char* label, const std::vector<const char*>& texts, int& value) {
  auto* group = new QButtonGroup(this);
  auto* box = new QHBoxLayout;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    auto* button = new QRadioButton(texts[i], this);
    group->addButton(button, static_cast<int>(i));
    button->setChecked(static_cast<int>(i) == value);
    box->addWidget(button);
  }
  box->addStretch(1);
  grid_->addWidget(new QLabel(label, this), row_, 0, Qt::AlignRight);
  grid_->addLayout(box, row_++, 1);
  connect(group, &QButtonGroup::idClicked, this, [this, &value](int id) {
    value = id;
    if (onChange) onChange();
  });
}

void BoundDialog::listRow(const char* label, const std::vector<const char*>& texts, int& value) {
  auto* list = new QComboBox(this);
  for (const char* t : texts) list->addItem(t);
  list->setCurrentIndex(value);
  grid_->addWidget(buddyLabel(label, list, this), row_, 0);
  grid_->addWidget(list, row_++, 1, Qt::AlignLeft);
  connect(list, &QComboBox::currentIndexChanged, this, [&value](int i) { value = i; });
}

void BoundDialog::checkRow(const char* label, int& value) {
  auto* box = new QCheckBox(label, this);
  box->setChecked(value != 0);
  grid_->addWidget(box, row_++, 1);
  connect(box, &QCheckBox::toggled, this, [&value](bool on) { value = on ? 1 : 0; });
}

void BoundDialog::finish() {
  static_cast<QVBoxLayout*>(layout())->addWidget(okCancelButtons(this));
  if (onChange) onChange();
}

void BoundDialog::accept() {
  for (const auto& read : readers_)
    if (!read()) return;
  QDialog::accept();
}

PowderDialogView::PowderDialogView(PowderDialogModel& m, UserInterface& ui, QWidget* parent)
    : BoundDialog(PowderDialogModel::kTitle, ui, parent) {
  PowderSettings& s = m.values;
  choiceRow("Output:", {"Listing", "Graph"}, s.powderOutput);
  choiceRow("Profile:", {"Bars", "Curve"}, s.powderProfile);
  choiceRow("Atoms:", {crystalChoiceNames()[0], crystalChoiceNames()[1]}, m.crystalChoice);
  numberRow(PowderDialogModel::kTwoThetaMinLabel, s.twoThetaMin);
  numberRow(PowderDialogModel::kTwoThetaMaxLabel, s.twoThetaMax);
  std::vector<const char*> targets;
  for (const XrayTarget& t : xrayTargets()) targets.push_back(t.listText);
  listRow(PowderDialogModel::kTargetLabel, targets, s.xrayTarget);
  numberRow(PowderDialogModel::kVerticalScaleLabel, s.powderVerticalScale);
  numberRow(PowderDialogModel::kFwhmLabel, s.powderFWHM);
  QLineEdit* beta = numberRow(PowderDialogModel::kBetaLabel, s.betaIntensity);
  const auto& modes = radiationModeNames();
  choiceRow("Radiation:", {modes.begin(), modes.end()}, s.radiationMode);
  QLineEdit* wavelength = numberRow("Wavelength:", s.specifiedWavelength);
  numberRow(PowderDialogModel::kDefaultBLabel, s.defaultB);
  numberRow(PowderDialogModel::kLineWidthLabel, s.lineWidth);
  choiceRow("Scale:", {PowderDialogModel::kFitLabel, PowderDialogModel::kFixedScaleLabel}, s.powderScaleMode);
  QLineEdit* fixed = numberRow("Degrees per inch:", s.powderFixedScale);
  checkRow(PowderDialogModel::kIndexGraphLabel, s.indexGraph);
  onChange = [&m, beta, wavelength, fixed] {
    beta->setEnabled(m.betaEnabled());
    wavelength->setEnabled(m.wavelengthEnabled());
    fixed->setEnabled(m.fixedScaleEnabled());
  };
  finish();
}

PrecessionDialogView::PrecessionDialogView(PrecessionDialogModel& m, UserInterface& ui, QWidget* parent)
    : BoundDialog(PrecessionDialogModel::kTitle, ui, parent) {
  PrecessionSettings& s = m.values;
  choiceRow("Atoms:", {crystalChoiceNames()[0], crystalChoiceNames()[1]}, m.crystalChoice);
  numberRow(PrecessionDialogModel::kAngleLabel, s.precessionAngle);
  numberRow(PrecessionDialogModel::kDistanceLabel, s.crystalFilmDistance);
  std::vector<const char*> targets;
  for (const XrayTarget& t : xrayTargets()) targets.push_back(t.listText);
  listRow(PrecessionDialogModel::kRadiationLabel, targets, s.precessionRadiation);
  const auto& axes = PrecessionDialogModel::axisNames();
  listRow(PrecessionDialogModel::kHorizontalLabel, {axes.begin(), axes.end()}, s.horizontalAxis);
  listRow(PrecessionDialogModel::kOtherLabel, {axes.begin(), axes.end()}, s.otherAxis);
  wholeRow(PrecessionDialogModel::kLevelLabel, s.level);
  choiceRow("Scale:", {PrecessionDialogModel::kFixedScaleLabel, PrecessionDialogModel::kFitLabel},
            s.precessionScaleMode);
  QLineEdit* fixed = numberRow("Factor:", s.precessionFixedScale);
  numberRow(PrecessionDialogModel::kIntensityLabel, s.intensityFactor);
  checkRow(PrecessionDialogModel::kGridLabel, s.showGrid);
  numberRow(PrecessionDialogModel::kDefaultBLabel, m.defaultB);
  checkRow(PrecessionDialogModel::kLpLabel, s.useLp);
  checkRow(PrecessionDialogModel::kExtinctionsLabel, s.showExtinctions);
  onChange = [&s, fixed] { fixed->setEnabled(s.precessionScaleMode == 0); };
  finish();
}

}  // namespace tessera::app
