#include "app/symmetry_views.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog_widgets.h"
#include "app/fonts.h"
#include "core/crystal_document.h"

namespace tessera::app {

// ---------------------------------------------------------------------------
// Symmetry

SymmetryOptionDialog::SymmetryOptionDialog(SymmetryOptionModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle("Symmetry");
  auto* box = new QGroupBox("Symmetry option", this);
  auto* boxLayout = new QVBoxLayout(box);
  options_[0] = new QRadioButton("Space group from &table", box);
  options_[1] = new QRadioButton("&Custom symmetry (xyz)", box);
  for (QRadioButton* b : options_) boxLayout->addWidget(b);
  QRadioButton* checked = optionButton(model.option == 1 ? 1 : 0);
  checked->setChecked(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addWidget(okCancelButtons(this));
  setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  checked->setFocus();
}

void SymmetryOptionDialog::accept() {
  model_.option = options_[1]->isChecked() ? 1 : 0;
  QDialog::accept();
}

// ---------------------------------------------------------------------------
// Space-Group Symmetry from Table

TableSymmetryDialog::TableSymmetryDialog(TableSymmetryModel& model, UserInterface& ui, QWidget* parent)
    : QDialog(parent),
      model_(model),
      ui_(ui),
      kindGroup_(new QButtonGroup(this)),
      settingGroup_(new QButtonGroup(this)),
      select_(new QPushButton("&Select", this)) {
  setWindowTitle("Space-Group Symmetry from Table");
  const char* const captions[3] = {"&H-M Symbol:", "Hall Sy&mbol:", "&Number:"};
  const int widths[3] = {30, 30, 10};
  auto* grid = new QGridLayout;
  for (int k = 0; k < 3; ++k) {
    fields_[k] = numberField(this, widths[k]);
    fields_[k]->setMaxLength(static_cast<int>(kMaxSymbolLength));
    grid->addWidget(buddyLabel(captions[k], fields_[k], this), k, 0);
    grid->addWidget(fields_[k], k, 1, Qt::AlignLeft);
  }
  grid->setColumnStretch(1, 1);

  auto* kindBox = new QGroupBox("Symbol used", this);
  auto* kindLayout = new QHBoxLayout(kindBox);
  const char* const kindNames[3] = {"H-M symbol", "Hall symbol", "Number"};
  for (int k = 0; k < 3; ++k) {
    kinds_[k] = new QRadioButton(kindNames[k], kindBox);
    kindGroup_->addButton(kinds_[k], k);
    kindLayout->addWidget(kinds_[k]);
  }
  kindLayout->addStretch(1);

  auto* settingBox = new QGroupBox("Monoclinic settings", this);
  auto* settingLayout = new QVBoxLayout(settingBox);
  settings_[1] = new QRadioButton("Vol I (mono - c assumed)", settingBox);
  settings_[0] = new QRadioButton("Vol A (mono - b assumed)", settingBox);
  for (int code : {1, 0}) {
    settingGroup_->addButton(settings_[code], code);
    settingLayout->addWidget(settings_[code]);
  }

  select_->setAutoDefault(false);
  select_->setToolTip("Pick the space group from the list of table settings");
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(select_);
  bottom->addStretch(1);
  QDialogButtonBox* okCancel = okCancelButtons(this);
  bottom->addWidget(okCancel);
  // Select was made first; Tab goes down the dialog as it reads.
  const QList<QWidget*> order = {fields_[0],   fields_[1],   fields_[2], kinds_[0], kinds_[1], kinds_[2],
                                 settings_[1], settings_[0], select_,    okCancel};
  for (qsizetype k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(kindBox);
  layout->addWidget(settingBox);
  layout->addStretch(1);
  layout->addLayout(bottom);

  // Typing a symbol means using it.
  for (int k = 0; k < 3; ++k)
    connect(fields_[k], &QLineEdit::textEdited, this, [this, k] { kinds_[k]->setChecked(true); });
  connect(select_, &QPushButton::clicked, this, &TableSymmetryDialog::select);
  loadFields();
  fields_[static_cast<std::size_t>(model.symbolKind)]->setFocus();
  fields_[static_cast<std::size_t>(model.symbolKind)]->selectAll();
}

void TableSymmetryDialog::loadFields() {
  fields_[0]->setText(QString::fromStdString(model_.hmSymbol));
  fields_[1]->setText(QString::fromStdString(model_.hallSymbol));
  fields_[2]->setText(QString::fromStdString(model_.numberText));
  kinds_[static_cast<std::size_t>(model_.symbolKind >= 0 && model_.symbolKind <= 2 ? model_.symbolKind : 0)]
      ->setChecked(true);
  settings_[model_.settingCode == 1 ? 1 : 0]->setChecked(true);
}

void TableSymmetryDialog::takeFields() {
  model_.hmSymbol = fields_[0]->text().toStdString();
  model_.hallSymbol = fields_[1]->text().toStdString();
  model_.numberText = fields_[2]->text().toStdString();
  model_.symbolKind = kindGroup_->checkedId() < 0 ? 0 : kindGroup_->checkedId();
  model_.settingCode = settingGroup_->checkedId() == 1 ? 1 : 0;
}

void TableSymmetryDialog::select() {
  takeFields();
  if (model_.select()) loadFields();
}

void TableSymmetryDialog::accept() {
  takeFields();
  if (const auto problem = model_.validate()) {
    ui_.message(*problem);
    for (QLineEdit* field : fields_)
      if (field->text().toUtf8().size() > static_cast<qsizetype>(kMaxSymbolLength)) focusRefused(field);
    return;
  }
  QDialog::accept();
}

// ---------------------------------------------------------------------------
// Edit Symmetry Operation Line

SymmetryLineDialog::SymmetryLineDialog(SymmetryLineModel& model, UserInterface&, QWidget* parent)
    : QDialog(parent),
      model_(model),
      caption_(new QLabel(toQt(model.caption()), this)),
      note_(new QLabel(toQt(model.errorNote()), this)),
      upToError_(new QLineEdit(toQt(model.textUpToError()), this)),
      text_(new QLineEdit(toQt(model.text), this)) {
  setWindowTitle("Edit Symmetry Operation Line");
  // Both texts in one fixed-pitch font and in like frames: the end of the upper one
  // stands over the place of the error in the field.
  // The program's own fixed-pitch face: the platform's "fixed" font is not always one.
  QFont fixed = siteListFont();
  fixed.setPointSize(font().pointSize() > 0 ? font().pointSize() : 10);
  fixed.setWeight(QFont::Normal);
  const int width = QFontMetrics(fixed).horizontalAdvance(QString(56, 'X'));
  for (QLineEdit* e : {upToError_, text_}) {
    e->setFont(fixed);
    e->setMinimumWidth(width);
  }
  upToError_->setReadOnly(true);
  upToError_->setFocusPolicy(Qt::NoFocus);
  QPalette muted = upToError_->palette();
  muted.setColor(QPalette::Base, muted.color(QPalette::Window));
  upToError_->setPalette(muted);
  QFont bold = note_->font();
  bold.setBold(true);
  note_->setFont(bold);
  const bool hasError = !model.errorNote().empty();
  note_->setVisible(hasError);
  upToError_->setVisible(hasError);

  auto* grid = new QGridLayout;
  grid->addWidget(buddyLabel("Line number:", nullptr, this), 0, 0);
  grid->addWidget(caption_, 0, 1);
  grid->addWidget(note_, 1, 1);
  grid->addWidget(upToError_, 2, 1);
  grid->addWidget(buddyLabel("&Operation (x,y,z):", text_, this), 3, 0);
  grid->addWidget(text_, 3, 1);
  grid->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addWidget(okCancelButtons(this));
  text_->setFocus();
  const int length = static_cast<int>(text_->text().size());
  if (model.errorPosition && *model.errorPosition < length)
    // The rest of the line from the error on is selected, with the cursor at the error.
    text_->setSelection(length, std::max(0, *model.errorPosition) - length);
  else if (model.errorPosition)
    text_->setCursorPosition(length);
  else
    text_->selectAll();
}

void SymmetryLineDialog::accept() {
  model_.text = text_->text().toStdString();
  QDialog::accept();
}

}  // namespace tessera::app
