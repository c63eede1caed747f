#include "app/bond_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"

namespace tessera::app {

namespace {

const char* const kLimitLabels[3] = {"Distance limit, central-ligand (A):", "Distance limit, ligand-ligand (A):",
                                     "Distance limit for angles (A):"};

}  // namespace

BondDialog::BondDialog(BondDialogModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent),
      model_(model),
      ui_(ui),
      atom_(numberField(this, 6)),
      angles_(new QCheckBox("Do angles and ligand-ligand distances", this)) {
  setWindowTitle(BondDialogModel::kTitle);
  crystal_ = {new QRadioButton("Old input atoms", this), new QRadioButton("New input atoms", this)};
  atoms_ = {new QRadioButton("All atoms", this), new QRadioButton("Selected atom only:", this)};
  // Each pair is a choice of its own.
  for (const auto* pair : {&crystal_, &atoms_}) {
    auto* group = new QButtonGroup(this);
    for (QRadioButton* b : *pair) group->addButton(b);
  }
  crystal_[model.newAtoms ? 1 : 0]->setChecked(true);
  atoms_[model.selectedOnly ? 1 : 0]->setChecked(true);
  atom_->setText(QString::number(model.atomNumber));
  const float values[3] = {model.parameters.centralLigandLimit, model.parameters.ligandLigandLimit,
                           model.parameters.angleLimit};
  angles_->setChecked(model.parameters.angles);

  auto* crystalBox = new QGroupBox(this);
  auto* crystalLayout = new QVBoxLayout(crystalBox);
  for (QRadioButton* b : crystal_) crystalLayout->addWidget(b);
  auto* atomsBox = new QGroupBox(this);
  auto* atomsLayout = new QGridLayout(atomsBox);
  atomsLayout->addWidget(atoms_[0], 0, 0);
  atomsLayout->addWidget(atoms_[1], 1, 0);
  atomsLayout->addWidget(atom_, 1, 1);
  auto* choices = new QHBoxLayout;
  choices->addWidget(crystalBox);
  choices->addWidget(atomsBox);

  auto* grid = new QGridLayout;
  for (int k = 0; k < 3; ++k) {
    limits_[k] = numberField(this);
    limits_[k]->setText(fieldText(values[k]));
    grid->addWidget(buddyLabel(kLimitLabels[k], limits_[k], this), k, 0);
    grid->addWidget(limits_[k], k, 1);
  }
  grid->addWidget(angles_, 3, 0, 1, 2);
  QDialogButtonBox* buttons = okCancelButtons(this);
  // Tab goes as the eye reads: the two choices, the atom number, the limits, the angles switch, the buttons.
  QWidget* chain[] = {crystal_[0], crystal_[1], atoms_[0],  atoms_[1], atom_, limits_[0], limits_[1],
                      limits_[2],  angles_,     buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel)};
  for (std::size_t k = 1; k < std::size(chain); ++k) setTabOrder(chain[k - 1], chain[k]);
  crystal_[model.newAtoms ? 1 : 0]->setFocus();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

void BondDialog::accept() {
  BondDialogModel candidate = model_;
  candidate.newAtoms = crystal_[1]->isChecked();
  candidate.selectedOnly = atoms_[1]->isChecked();
  candidate.parameters.angles = angles_->isChecked();
  bool ok = false;
  const int number = atom_->text().trimmed().toInt(&ok);
  if (!ok) {
    ui_.message("Please enter an integer.");
    focusRefused(atom_);
    return;
  }
  candidate.atomNumber = number;
  float* targets[3] = {&candidate.parameters.centralLigandLimit, &candidate.parameters.ligandLigandLimit,
                       &candidate.parameters.angleLimit};
  for (int k = 0; k < 3; ++k) {
    const std::optional<double> value = fieldNumber(limits_[k]);
    const std::optional<std::string> problem =
        !value ? std::optional<std::string>("Please enter a number.")
               : k == 0 ? BondDialogModel::checkCentralLigandLimit(*value) : BondDialogModel::checkLimit(*value);
    if (problem) {
      ui_.message(*problem);
      focusRefused(limits_[k]);
      return;
    }
    *targets[k] = static_cast<float>(*value);
  }
  if (const auto refused = candidate.refusal()) {
    ui_.message(*refused);
    return;
  }
  model_ = candidate;
  QDialog::accept();
}

}  // namespace tessera::app
