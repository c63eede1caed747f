#include "app/graphics_output_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"

namespace tessera::app {

namespace {

/// A titled box of radio buttons, the one of index `checked` on; ids are the indexes.
QButtonGroup* radioBox(QLayout* into, const QString& title, const QStringList& texts, int checked, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(parent);
  for (int i = 0; i < texts.size(); ++i) {
    auto* button = new QRadioButton(texts[i], box);
    group->addButton(button, i);
    button->setChecked(i == checked);
    layout->addWidget(button);
  }
  into->addWidget(box);
  return group;
}

/// A row of a label and two number fields.
void pairRow(QGridLayout* grid, int row, const QString& label, QLineEdit* first, QLineEdit* second, QWidget* parent) {
  grid->addWidget(buddyLabel(label, first, parent), row, 0);
  grid->addWidget(first, row, 1);
  grid->addWidget(second, row, 2);
}

double perInch(int units) { return units == 1 ? 2540.0 : units == 3 ? 2.54 : 1.0; }

}  // namespace

void LengthFields::add(QLineEdit* field, double inches, double factor) {
  field->setText(fieldText(inches * factor));
  fields_.push_back(field);
}

void LengthFields::rescale(double oldPerInch, double newPerInch) {
  for (QLineEdit* f : fields_)
    if (const std::optional<double> v = fieldNumber(f)) f->setText(fieldText(*v / oldPerInch * newPerInch));
}

std::optional<std::vector<double>> LengthFields::read(double factor, UserInterface& ui) const {
  std::vector<double> values;
  for (QLineEdit* f : fields_) {
    const std::optional<double> v = fieldNumber(f);
    if (!v) {
      ui.message("Please enter a number");
      focusRefused(f);
      return std::nullopt;
    }
    values.push_back(*v / factor);
  }
  return values;
}

MetafileDialogView::MetafileDialogView(MetafileDialogModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui), shownUnits_(model.frameUnits) {
  setWindowTitle(MetafileDialogModel::kTitle);
  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  destination_ = radioBox(left, "Destination", {"File", "Clipboard"}, model.destination, this);
  colour_ = radioBox(left, "Colour", {"Black-and-white", "Color"}, model.blackWhite ? 0 : 1, this);
  units_ = radioBox(left, "Units for frame", {"Dots", "Inches", "Centimeters"}, model.frameUnits - 1, this);
  left->addWidget(new QLabel(MetafileDialogModel::kDotsNote, this));
  auto* frameBox = new QGroupBox("Frame size", this);
  auto* grid = new QGridLayout(frameBox);
  QLineEdit* across = numberField(this);
  QLineEdit* down = numberField(this);
  grid->addWidget(buddyLabel("Across", across, this), 0, 0);
  grid->addWidget(across, 0, 1);
  grid->addWidget(buddyLabel("Down", down, this), 1, 0);
  grid->addWidget(down, 1, 1);
  frame_.add(across, model.acrossInches, perInch(model.frameUnits));
  frame_.add(down, model.downInches, perInch(model.frameUnits));
  left->addWidget(frameBox);
  type_ = radioBox(right, "Type of file",
                   {"Standard (.wmf)", "Placeable (.wmf)", "Enhanced (.emf)", "SVG picture (.svg)", "PDF document (.pdf)"},
                   static_cast<int>(model.type), this);
  scaling_ = radioBox(right, "Scaling for .wmf", {"Isotropic", "Anisotropic"}, model.scaling, this);
  right->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(okCancelButtons(this));

  connect(units_, &QButtonGroup::idClicked, this, [this](int id) {
    frame_.rescale(perInch(shownUnits_), perInch(id + 1));
    shownUnits_ = id + 1;
  });
  auto enable = [this] {
    // Only Windows metafiles scale; SVG and PDF go to files only.
    const int type = type_->checkedId();
    for (QAbstractButton* b : scaling_->buttons()) b->setEnabled(type <= 1);
    destination_->button(1)->setEnabled(type <= 2);
    if (type > 2) destination_->button(0)->setChecked(true);
  };
  connect(type_, &QButtonGroup::idClicked, this, enable);
  enable();
}

void MetafileDialogView::accept() {
  const std::optional<std::vector<double>> frame = frame_.read(perInch(shownUnits_), ui_);
  if (!frame) return;
  model_.destination = destination_->checkedId();
  model_.blackWhite = colour_->checkedId() == 0;
  model_.frameUnits = shownUnits_;
  model_.acrossInches = (*frame)[0];
  model_.downInches = (*frame)[1];
  model_.type = static_cast<MetafileType>(type_->checkedId());
  model_.scaling = scaling_->checkedId();
  QDialog::accept();
}

PrintGraphicsView::PrintGraphicsView(PrintGraphicsModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setWindowTitle(PrintGraphicsModel::kTitle);
  auto* layout = new QVBoxLayout(this);
  output_ = radioBox(layout, "Output type", {"Full page", "Frame"}, model.outputType, this);
  standard_ = new QCheckBox("Standard printer dialog on OK", this);
  standard_->setChecked(model.standardDialog);
  layout->addWidget(standard_);
  units_ = radioBox(layout, "Units for frame", {"Inches", "Centimeters"}, model.centimetres ? 1 : 0, this);
  auto* frameBox = new QGroupBox("Frame", this);
  auto* grid = new QGridLayout(frameBox);
  QLineEdit* fields[4];
  for (QLineEdit*& f : fields) f = numberField(this);
  pairRow(grid, 0, "Size:", fields[0], fields[1], this);
  pairRow(grid, 1, "Offset:", fields[2], fields[3], this);
  const double shownPerInch = model.centimetres ? 2.54 : 1.0;
  const double inches[4] = {model.acrossInches, model.downInches, model.offsetAcrossInches, model.offsetDownInches};
  for (int i = 0; i < 4; ++i) frame_.add(fields[i], inches[i], shownPerInch);
  layout->addWidget(frameBox);
  colour_ = new QCheckBox("Color ", this);
  colour_->setChecked(model.colour);
  layout->addWidget(colour_);
  layout->addWidget(okCancelButtons(this));

  connect(units_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) frame_.rescale(id == 1 ? 1.0 : 2.54, id == 1 ? 2.54 : 1.0);
  });
  auto enable = [this, frameBox] { frameBox->setEnabled(output_->checkedId() == 1); };
  connect(output_, &QButtonGroup::idClicked, this, enable);
  enable();
}

void PrintGraphicsView::accept() {
  const bool centimetres = units_->checkedId() == 1;
  const std::optional<std::vector<double>> frame = frame_.read(centimetres ? 2.54 : 1.0, ui_);
  if (!frame) return;
  model_.outputType = output_->checkedId();
  model_.centimetres = centimetres;
  model_.acrossInches = (*frame)[0];
  model_.downInches = (*frame)[1];
  model_.offsetAcrossInches = (*frame)[2];
  model_.offsetDownInches = (*frame)[3];
  model_.standardDialog = standard_->isChecked();
  model_.colour = colour_->isChecked();
  QDialog::accept();
}

}  // namespace tessera::app
