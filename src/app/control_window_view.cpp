#include "app/control_window_view.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/fonts.h"
#include "commands/control_window.h"
#include "core/site_listing.h"

namespace tessera::app {

namespace {

QString toQt(const std::string& text) { return QString::fromStdString(text); }

const char* const kButtonCaptions[ControlWindowView::ButtonCount] = {
    "Transform", "Symmetry", "Selected atom", "Edit", "Delete", "Add", "Bond Lengths/Angles", "New to Old", "Help"};

const char* const kHelpText =
    "The Control Window shows the open document: its file, its symmetry, the input atoms (sites) "
    "with their type, fractional coordinates, equivalent isotropic B, summed occupancy and number of "
    "atoms sharing the site, and the unit cell of the input crystal (angles in degrees).\n\n"
    "Select a site in the list to see its temperature factors and vector below the cell.\n\n"
    "Symmetry sets the input crystal's space group from the table or as custom operator lines.\n"
    "Transform takes the input crystal to a new cell or setting and writes the report beside the document.\n"
    "Bond Lengths/Angles lists the neighbours of every atom, or of one, with distances and angles (BONDS.OUT).\n"
    "New to Old makes the transformed (New) crystal and its atoms the input crystal.\n"
    "Input > Title/Axes changes the title, the structure axes and the cell.";

const char* const kCellLabels[6] = {"a", "b", "c", "alpha", "beta", "gamma"};

}  // namespace

ControlWindowView::ControlWindowView(CrystalDocument& document, QWidget* parent)
    : QWidget(parent),
      document_(document),
      fileLine_(new QLabel(this)),
      symmetryLine_(new QLabel(this)),
      tfLine_(new QLabel(this)),
      vectorLine_(new QLabel(this)) {
  setWindowTitle("Tessera Control Window");
  fileLine_->setObjectName("fileLine");
  symmetryLine_->setObjectName("symmetryLine");
  tfLine_->setObjectName("temperatureFactorLine");
  vectorLine_->setObjectName("vectorLine");
  for (QLabel* l : {fileLine_, symmetryLine_, tfLine_, vectorLine_}) {
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long paths and factor lines are cut at the window's edge rather than widening every layout.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }

  auto* left = new QVBoxLayout;
  left->addWidget(fileLine_);
  left->addWidget(symmetryLine_);
  left->addWidget(buildListArea(), 1);
  left->addWidget(buildCellArea());
  left->addWidget(tfLine_);
  left->addWidget(vectorLine_);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addWidget(buildButtons());
  refresh();
}

QWidget* ControlWindowView::buildListArea() {
  auto* area = new QWidget(this);
  list_ = new QListWidget(area);
  list_->setObjectName("siteList");
  list_->setFont(siteListFont());
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // The header lives in a strip that clips it, so it can slide sideways with the rows.
  auto* strip = new QWidget(area);
  header_ = new QLabel(QString(kSiteListHeader), strip);
  header_->setObjectName("siteHeader");
  header_->setFont(siteListFont());
  header_->resize(header_->sizeHint().width() + 40, header_->sizeHint().height());
  strip->setFixedHeight(header_->height());
  strip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  // Its columns sit over the rows' columns: indented by the list's frame and item margin.
  const int indent = list_->frameWidth() + list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
  header_->move(indent, 0);
  connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged, header_,
          [this, indent](int offset) { header_->move(indent - offset, 0); });
  const int rowWidth = QFontMetrics(siteListFont()).horizontalAdvance(header_->text() + "  ");
  listWidth_ = rowWidth + 2 * indent + list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  connect(list_, &QListWidget::currentRowChanged, this, &ControlWindowView::selectionChanged);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(strip);
  layout->addWidget(list_, 1);
  return area;
}

QWidget* ControlWindowView::buildCellArea() {
  auto* box = new QGroupBox("Cell", this);
  auto* grid = new QGridLayout(box);
  for (int k = 0; k < 6; ++k) {
    auto* field = new QLineEdit(box);
    field->setObjectName(QString("cell_") + kCellLabels[k]);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    field->setMaximumWidth(field->fontMetrics().averageCharWidth() * 12);
    cell_[k] = field;
    auto* label = new QLabel(QString(kCellLabels[k]) + ":", box);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, k / 3, 2 * (k % 3));
    grid->addWidget(field, k / 3, 2 * (k % 3) + 1);
  }
  grid->setColumnStretch(6, 1);
  return box;
}

QWidget* ControlWindowView::buildButtons() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  for (int b = 0; b < ButtonCount; ++b) {
    auto* button = new QPushButton(kButtonCaptions[b], column);
    button->setObjectName(QString("button_%1").arg(b));
    button->setAutoDefault(false);
    // Each command's button comes alive when its capability is in the program.
    button->setEnabled(b == Help);
    buttons_[b] = button;
    layout->addWidget(button);
  }
  layout->addStretch(1);
  connect(buttons_[Help], &QPushButton::clicked, this, [this] {
    QMessageBox::information(this, windowTitle(), kHelpText);
  });
  return column;
}

QSize ControlWindowView::sizeHint() const {
  // Wide enough for a whole row without scrolling; smaller sizes scroll the list.
  const QSize base = QWidget::sizeHint();
  const QMargins m = layout()->contentsMargins();
  const int width = m.left() + listWidth_ + layout()->spacing() + buttons_[0]->parentWidget()->sizeHint().width() + m.right();
  return {std::max(base.width(), width), std::max(base.height(), 460)};
}

void ControlWindowView::refresh() {
  const int keep = document_.selectedSite;
  const ControlWindowContent c = controlWindowContent(document_);
  fileLine_->setText(toQt(c.fileLine));
  symmetryLine_->setText(toQt(c.symmetryLine));
  symmetryLine_->setVisible(!c.symmetryLine.empty());
  header_->setText(toQt(c.header));
  QSignalBlocker block(list_);
  list_->clear();
  QStringList rows;
  rows.reserve(static_cast<qsizetype>(c.rows.size()));
  for (const std::string& row : c.rows) rows << toQt(row);
  list_->addItems(rows);
  for (int k = 0; k < 6; ++k) cell_[k]->setText(toQt(c.cellFields[k]));
  if (!c.rows.empty()) list_->setCurrentRow(keep < static_cast<int>(c.rows.size()) ? keep : document_.selectedSite);
  showSelectedSite();
}

void ControlWindowView::selectionChanged(int row) {
  if (row < 0 || row >= document_.siteCount()) return;
  document_.selectedSite = row;
  showSelectedSite();
}

void ControlWindowView::showSelectedSite() {
  const bool any = document_.selectedSite >= 0 && document_.selectedSite < document_.siteCount();
  const auto texts = selectedSiteTexts(document_, document_.selectedSite);
  tfLine_->setText(any ? toQt(texts[0]) : QString());
  vectorLine_->setText(any ? toQt(texts[1]) : QString());
  button(SelectedAtom)->setText(any ? toQt(texts[2]) : QString(kButtonCaptions[SelectedAtom]));
}

void ControlWindowView::closeEvent(QCloseEvent* event) {
  if (closeAllowed_ || !closeGuard_ || closeGuard_()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace tessera::app
