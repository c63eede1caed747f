#include "app/site_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "app/dialog_widgets.h"
#include "app/fonts.h"

namespace tessera::app {

namespace {

QString number(float v) { return fieldText(v); }

/// Reads a number field; shows the message and focuses the field when it does not read.
bool readFloat(QLineEdit* edit, float& value, UserInterface& ui) {
  const auto v = fieldNumber(edit);
  if (!v) {
    ui.message("Please enter a number.");
    focusRefused(edit);
    return false;
  }
  value = static_cast<float>(*v);
  return true;
}

bool readInt(QLineEdit* edit, int& value, int low, int high, UserInterface& ui) {
  bool ok = false;
  const int v = edit->text().trimmed().toInt(&ok);
  if (!ok || v < low || v > high) {
    ui.message(QString("Please enter a number between %1 and %2.").arg(low).arg(high).toStdString());
    focusRefused(edit);
    return false;
  }
  value = v;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------

SiteDialog::SiteDialog(SiteDialogModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent),
      model_(model),
      ui_(ui),
      heading_(new QLabel(this)),
      label_(new QLineEdit(this)),
      type_(numberField(this, 4)),
      ortep_(numberField(this, 4)),
      vectorOn_(new QCheckBox("&Vector", this)),
      occupants_(new QListWidget(this)),
      back_(new QPushButton("&Last", this)),
      forward_(new QPushButton("Next", this)) {
  label_->setObjectName("label");
  type_->setObjectName("type");
  ortep_->setObjectName("ortepType");
  setWindowTitle("Input Atom (Site)");
  label_->setMaxLength(static_cast<int>(kMaxLabelLength));
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);

  auto* fields = new QGridLayout;
  fields->addWidget(buddyLabel("Label:", label_, this), 0, 0);
  fields->addWidget(label_, 0, 1, 1, 3);
  fields->addWidget(buddyLabel("Type:", type_, this), 0, 4);
  fields->addWidget(type_, 0, 5, Qt::AlignLeft);
  const char* coordinateNames[3] = {"x:", "y:", "z:"};
  for (int k = 0; k < 3; ++k) {
    coordinates_[k] = numberField(this);
    coordinates_[k]->setObjectName(QString(coordinateNames[k]).left(1));
    fields->addWidget(buddyLabel(coordinateNames[k], coordinates_[k], this), 1, 2 * k);
    fields->addWidget(coordinates_[k], 1, 2 * k + 1, Qt::AlignLeft);
  }
  fields->setColumnStretch(6, 1);

  auto* factorBox = new QGroupBox("Temperature factors", this);
  auto* factorGrid = new QGridLayout(factorBox);
  const char* factorNames[6] = {"(11)", "(22)", "(33)", "(12)", "(13)", "(23)"};
  for (int k = 0; k < 6; ++k) {
    factors_[k] = numberField(factorBox);
    factors_[k]->setObjectName(QString("factor_%1").arg(QString(factorNames[k]).mid(1, 2)));
    factorGrid->addWidget(buddyLabel(factorNames[k], factors_[k], factorBox), k / 3, 2 * (k % 3));
    factorGrid->addWidget(factors_[k], k / 3, 2 * (k % 3) + 1);
  }
  factorGrid->addWidget(buddyLabel("ORTEP type:", ortep_, factorBox), 2, 0);
  factorGrid->addWidget(ortep_, 2, 1);
  auto* legend = new QLabel("0 = aniso beta, 8 = aniso U, 6 = iso B, 10 = iso U, -1 = no temp. factor", factorBox);
  legend->setWordWrap(true);
  factorGrid->addWidget(legend, 2, 2, 1, 4);

  auto* vectorBox = new QGroupBox(this);
  auto* vectorGrid = new QGridLayout(vectorBox);
  vectorGrid->addWidget(vectorOn_, 0, 0);
  const char* vectorNames[4] = {"x:", "y:", "z:", "Length"};
  for (int k = 0; k < 4; ++k) {
    vector_[k] = numberField(vectorBox);
    vectorGrid->addWidget(buddyLabel(vectorNames[k], vector_[k], vectorBox), 0, 1 + 2 * k);
    vectorGrid->addWidget(vector_[k], 0, 2 + 2 * k);
  }

  auto* occupantBox = new QGroupBox("Site occupants", this);
  auto* occupantLayout = new QVBoxLayout(occupantBox);
  auto* header = new QLabel(SiteDialogModel::occupantHeader(), occupantBox);
  header->setFont(siteListFont());
  occupants_->setFont(siteListFont());
  occupants_->setMinimumWidth(QFontMetrics(siteListFont()).horizontalAdvance(header->text()) + 40);
  occupants_->setMinimumHeight(QFontMetrics(siteListFont()).height() * 5);
  auto* occupantButtons = new QHBoxLayout;
  auto* addOccupant = new QPushButton("&Add", occupantBox);
  auto* editOccupant = new QPushButton("&Edit", occupantBox);
  auto* deleteOccupant = new QPushButton("&Delete", occupantBox);
  addOccupant->setObjectName("addOccupant");
  editOccupant->setObjectName("editOccupant");
  deleteOccupant->setObjectName("deleteOccupant");
  for (QPushButton* b : {addOccupant, editOccupant, deleteOccupant}) {
    b->setAutoDefault(false);
    occupantButtons->addWidget(b);
  }
  occupantButtons->addStretch(1);
  occupantLayout->addWidget(header);
  occupantLayout->addWidget(occupants_);
  occupantLayout->addLayout(occupantButtons);

  auto* walk = new QHBoxLayout;
  back_->setAutoDefault(false);
  forward_->setAutoDefault(false);
  walk->addWidget(back_);
  walk->addWidget(forward_);
  walk->addStretch(1);
  QDialogButtonBox* okCancel = okCancelButtons(this);
  walk->addWidget(okCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addLayout(fields);
  layout->addWidget(factorBox);
  layout->addWidget(vectorBox);
  layout->addWidget(occupantBox, 1);
  layout->addLayout(walk);

  // Tab follows the fields as they read: the fields were made in another order above.
  std::vector<QWidget*> order = {label_, type_};
  order.insert(order.end(), coordinates_.begin(), coordinates_.end());
  order.insert(order.end(), factors_.begin(), factors_.end());
  order.push_back(ortep_);
  order.push_back(vectorOn_);
  order.insert(order.end(), vector_.begin(), vector_.end());
  for (QWidget* w : std::initializer_list<QWidget*>{occupants_, addOccupant, editOccupant, deleteOccupant, back_, forward_,
                                                    okCancel->button(QDialogButtonBox::Ok),
                                                    okCancel->button(QDialogButtonBox::Cancel)})
    order.push_back(w);
  for (std::size_t k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);

  connect(back_, &QPushButton::clicked, this, &SiteDialog::goBack);
  connect(forward_, &QPushButton::clicked, this, &SiteDialog::goForward);
  connect(addOccupant, &QPushButton::clicked, this, [this] { refreshOccupants(model_.addOccupant()); });
  connect(editOccupant, &QPushButton::clicked, this,
          [this] { refreshOccupants(model_.editOccupant(std::max(0, occupants_->currentRow()))); });
  connect(occupants_, &QListWidget::itemDoubleClicked, this,
          [this] { refreshOccupants(model_.editOccupant(occupants_->currentRow())); });
  connect(deleteOccupant, &QPushButton::clicked, this,
          [this] { refreshOccupants(model_.deleteOccupant(occupants_->currentRow())); });
  loadFields();
}

void SiteDialog::loadFields() {
  heading_->setText(QString::fromStdString(model_.heading()));
  label_->setText(QString::fromStdString(model_.label));
  type_->setText(QString::number(model_.typeNumber));
  const float xyz[3] = {model_.x, model_.y, model_.z};
  for (int k = 0; k < 3; ++k) coordinates_[k]->setText(number(xyz[k]));
  for (int k = 0; k < 6; ++k) factors_[k]->setText(number(model_.factors[k]));
  ortep_->setText(QString::number(model_.ortepType));
  vectorOn_->setChecked(model_.vectorOn);
  for (int k = 0; k < 3; ++k) vector_[k]->setText(number(model_.vector[k]));
  vector_[3]->setText(number(model_.vectorLength));
  back_->setEnabled(model_.canGoBack());
  forward_->setText(withMnemonic(model_.forwardButtonText(), 'N'));
  refreshOccupants(0);
  label_->setFocus();
  label_->selectAll();
}

void SiteDialog::refreshOccupants(int select) {
  occupants_->clear();
  for (const std::string& row : model_.occupantRows()) occupants_->addItem(QString::fromStdString(row));
  if (select >= 0 && select < occupants_->count()) occupants_->setCurrentRow(select);
}

bool SiteDialog::takeFields() {
  SiteDialogModel& m = model_;
  float xyz[3];
  std::array<float, 6> f{};
  std::array<float, 4> v{};
  int type = 0, ortep = 0;
  if (!readInt(type_, type, -999, 999, ui_)) return false;
  for (int k = 0; k < 3; ++k)
    if (!readFloat(coordinates_[k], xyz[k], ui_)) return false;
  for (int k = 0; k < 6; ++k)
    if (!readFloat(factors_[k], f[k], ui_)) return false;
  if (!readInt(ortep_, ortep, -1, 20, ui_)) return false;
  for (int k = 0; k < 4; ++k)
    if (!readFloat(vector_[k], v[k], ui_)) return false;
  const std::string previousLabel = m.label;
  m.label = label_->text().trimmed().toStdString();
  m.typeNumber = type;
  m.x = xyz[0];
  m.y = xyz[1];
  m.z = xyz[2];
  m.factors = f;
  m.ortepType = ortep;
  if (const auto problem = m.validate()) {
    m.label = previousLabel;
    ui_.message(*problem);
    label_->setFocus();
    return false;
  }
  m.vectorOn = vectorOn_->isChecked();
  m.vector = {v[0], v[1], v[2]};
  m.vectorLength = v[3];
  return true;
}

void SiteDialog::goBack() {
  if (!takeFields()) return;
  model_.last();
  loadFields();
}

void SiteDialog::goForward() {
  if (!takeFields()) return;
  model_.next();
  loadFields();
}

void SiteDialog::accept() {
  if (takeFields()) QDialog::accept();
}

// ---------------------------------------------------------------------------

OccupantDialog::OccupantDialog(OccupantDialogModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent),
      model_(model),
      ui_(ui),
      label_(new QLineEdit(QString::fromStdString(model.label), this)),
      type_(numberField(this, 4)),
      element_(new QLineEdit(QString::fromStdString(model.element), this)),
      occupancy_(numberField(this)),
      charge_(numberField(this)),
      scattering_(numberField(this, 4)) {
  setWindowTitle("Atom Sharing a Site");
  label_->setMaxLength(static_cast<int>(kMaxLabelLength));
  element_->setMaxLength(7);
  type_->setText(QString::number(model.typeNumber));
  occupancy_->setText(number(model.occupancy));
  charge_->setText(number(model.charge));
  scattering_->setText(QString::number(model.scatteringNumber));
  occupancy_->setObjectName("occupancy");
  auto* grid = new QGridLayout;
  const std::pair<const char*, QLineEdit*> rows[] = {{"Label:", label_},        {"Type:", type_},
                                                     {"Element: ", element_},   {"Site occupancy:", occupancy_},
                                                     {"Charge: ", charge_},     {"Scattering no.:", scattering_}};
  int row = 0;
  for (const auto& [caption, edit] : rows) {
    grid->addWidget(buddyLabel(caption, edit, this), row, 0);
    grid->addWidget(edit, row++, 1);
  }
  auto* heading = new QLabel(QString::fromStdString(model.heading()), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addLayout(grid);
  layout->addWidget(okCancelButtons(this));
  label_->setFocus();
}

void OccupantDialog::accept() {
  OccupantDialogModel candidate = model_;
  if (!readInt(type_, candidate.typeNumber, -999, 999, ui_) || !readFloat(occupancy_, candidate.occupancy, ui_) ||
      !readFloat(charge_, candidate.charge, ui_) || !readInt(scattering_, candidate.scatteringNumber, -999, 999, ui_))
    return;
  candidate.label = label_->text().trimmed().toStdString();
  candidate.element = element_->text().trimmed().toStdString();
  if (const auto problem = candidate.validate()) {
    ui_.message(*problem);
    return;
  }
  model_ = candidate;
  QDialog::accept();
}

// ---------------------------------------------------------------------------

SiteOccupanciesDialog::SiteOccupanciesDialog(SiteOccupanciesModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Site Occupancies");
  auto* heading = new QLabel(QString::fromStdString(model.view.heading), this);
  auto* header = new QLabel(QString::fromStdString(model.view.header), this);
  header->setFont(siteListFont());
  auto* list = new QListWidget(this);
  list->setFont(siteListFont());
  for (const std::string& row : model.view.rows) list->addItem(QString::fromStdString(row));
  list->setMinimumWidth(QFontMetrics(siteListFont()).horizontalAdvance(header->text()) + 40);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(header);
  layout->addWidget(list, 1);
  layout->addWidget(buttons);
}

}  // namespace tessera::app
