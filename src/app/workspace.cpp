#include "app/workspace.h"

#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/control_window_view.h"
#include "app/fonts.h"
#include "app/recent_files.h"
#include "app/text_window.h"
#include "app/window_placements.h"
#include "bonds/bond_dialog_model.h"
#include "commands/command_line.h"
#include "commands/document_commands.h"
#include "commands/site_commands.h"
#include "commands/site_dialog_model.h"
#include "formats/export_framework.h"
#include "formats/import_framework.h"
#include "symmetry/symmetry_dialogs.h"
#include "transform/transform_parameters_model.h"

namespace tessera::app {

Workspace::Workspace(Session& session, QMdiArea& area, RecentFiles& recent, QObject* parent)
    : QObject(parent), session_(session), area_(area), recent_(recent) {}

ControlWindowView* Workspace::controlWindow() const {
  return control_ ? qobject_cast<ControlWindowView*>(control_->widget()) : nullptr;
}

void Workspace::newDocument() {
  // The old document's windows go before the new document's dialog appears.
  if (!closeDocument()) return;
  newCommand(session_);
  afterCommand();
}

void Workspace::openWithDialog() {
  const OpenOutcome outcome = openCommand(session_);
  switch (outcome.result) {
    case OpenResult::Opened: closeReportWindows(); rememberDocument(); break;
    case OpenResult::Failed: closeReportWindows(); break;
    case OpenResult::OpenAsText:
      if (openTextWindow(QString::fromStdString(outcome.path))) recent_.add(QString::fromStdString(outcome.path));
      break;
    case OpenResult::Cancelled: break;
  }
  afterCommand();
}

void Workspace::openPath(const QString& path) {
  switch (openDocumentFile(session_, path.toStdString())) {
    case OpenResult::Opened: closeReportWindows(); rememberDocument(); break;
    case OpenResult::Failed:
      closeReportWindows();
      if (!QFileInfo::exists(path)) recent_.remove(path);
      break;
    case OpenResult::OpenAsText:
      if (openTextWindow(path)) recent_.add(path);
      else if (!QFileInfo::exists(path)) recent_.remove(path);
      break;
    case OpenResult::Cancelled: break;
  }
  afterCommand();
}

void Workspace::openFromCommandLine(const std::string& commandLine) {
  if (tessera::openFromCommandLine(session_, commandLine)) rememberDocument();
  afterCommand();
}

void Workspace::save() {
  if (saveCommand(session_)) rememberDocument();
  afterCommand();
}

void Workspace::saveAs() {
  if (saveAsCommand(session_)) rememberDocument();
  afterCommand();
}

void Workspace::importFile(int kind) {
  // The save prompt comes first and the old document's windows go before the
  // import's dialogs appear; the import then finds nothing open to ask about.
  if (!closeDocument()) return;
  RunImport(session_, kind, [](Session& session) { return saveCommand(session); });
  afterCommand();
}

void Workspace::exportFile(int commandIndex) {
  if (!session_.document.isOpen) return;
  RunExport(session_, commandIndex);
  afterCommand();  // the symbol check may have given the crystal new symbols
}

void Workspace::titleAxes() {
  titleAxesCommand(session_);
  afterCommand();
}

void Workspace::symmetry() {
  SymmetryCommand(session_, 0);
  afterCommand();
}

void Workspace::transform() {
  CrystalDocument& doc = session_.document;
  Session& session = session_;
  // The dialog's "Symmetry" button gives the New crystal its symmetry.
  const auto outcome =
      transformCommand(doc, session_.ui, [&session](CrystalDocument&, UserInterface&) { SymmetryCommand(session, 1); });
  if (outcome) {
    doc.modified = true;  // the parameters went into the document even when the transformation stopped
    if (outcome->reportWritten && doc.reportEnabled) showReport(1, QString::fromStdString(outcome->reportPath));
  }
  afterCommand();
}

void Workspace::transformedToInput() {
  transformedToInputCommand(session_);
  afterCommand();
}

void Workspace::bondLengths() {
  const auto outcome = bondLengthsCommand(session_);
  if (outcome && outcome->written) showReport(2, QString::fromStdString(outcome->path.string()));
  afterCommand();  // the selected site may have changed
}

void Workspace::addSite() {
  tessera::addSite(session_);
  afterCommand();
}

void Workspace::editSite() {
  editSelectedSite(session_, session_.document.selectedSite);
  afterCommand();
}

void Workspace::deleteSite() {
  deleteSelectedSite(session_, session_.document.selectedSite);
  afterCommand();
}

void Workspace::showSelectedAtom() {
  const CrystalDocument& doc = session_.document;
  if (doc.selectedSite < 0 || doc.selectedSite >= doc.siteCount()) return;
  SiteOccupanciesModel model;
  model.view = siteOccupancies(doc, doc.selectedSite);
  session_.ui.runDialog(model);
}

bool Workspace::closeDocument() {
  if (!closeDocumentCommand(session_)) return false;
  closeControlWindow();
  closeReportWindows();
  emit documentChanged();
  return true;
}

bool Workspace::closeAll() {
  if (!closeDocument()) return false;
  area_.closeAllSubWindows();
  return area_.subWindowList().isEmpty();
}

bool Workspace::showReport(int slot, const QString& path) {
  if (slot < 1 || slot >= kSlotCount) return false;
  if (slots_[slot] && !slots_[slot]->close()) return false;
  TextWindow* window = openTextWindow(path);
  slots_[slot] = window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
  return window != nullptr;
}

TextWindow* Workspace::openTextWindow(const QString& path) {
  auto* window = new TextWindow;
  if (!window->load(path)) {
    delete window;
    return nullptr;
  }
  window->editor()->setFont(textWindowFont(session_.settings));
  QMdiSubWindow* sub = area_.addSubWindow(window);
  placeFromSettings(*sub, session_.settings, WindowKind::Text, QSize(area_.width() * 2 / 3, area_.height() * 2 / 3));
  return window;
}

void Workspace::applyTextFont() {
  const QFont font = textWindowFont(session_.settings);
  for (QMdiSubWindow* sub : area_.subWindowList())
    if (auto* text = qobject_cast<TextWindow*>(sub->widget())) text->editor()->setFont(font);
}

void Workspace::refreshControlWindow() {
  if (ControlWindowView* view = controlWindow()) view->refresh();
}

void Workspace::afterCommand() {
  if (session_.document.isOpen) showControlWindow();
  else closeControlWindow();
  emit documentChanged();
}

void Workspace::showControlWindow() {
  if (!control_) {
    auto* view = new ControlWindowView(session_.document);
    view->setCloseGuard([this] { return closeFromControlWindow(); });
    const std::pair<ControlWindowView::Button, void (Workspace::*)()> live[] = {
        {ControlWindowView::Transform, &Workspace::transform},
        {ControlWindowView::Symmetry, &Workspace::symmetry},
        {ControlWindowView::NewToOld, &Workspace::transformedToInput},
        {ControlWindowView::BondLengths, &Workspace::bondLengths},
        {ControlWindowView::Add, &Workspace::addSite},
        {ControlWindowView::Edit, &Workspace::editSite},
        {ControlWindowView::Delete, &Workspace::deleteSite},
        {ControlWindowView::SelectedAtom, &Workspace::showSelectedAtom}};
    for (const auto& [button, action] : live) {
      view->button(button)->setEnabled(true);
      connect(view->button(button), &QPushButton::clicked, this, action);
    }
    connect(view->siteList(), &QListWidget::itemDoubleClicked, this, &Workspace::editSite);
    control_ = area_.addSubWindow(view);
    placeFromSettings(*control_, session_.settings, WindowKind::Control, control_->sizeHint());
    return;  // a new view has just filled itself
  }
  refreshControlWindow();
}

void Workspace::closeControlWindow() {
  if (!control_) return;
  if (ControlWindowView* view = controlWindow()) view->allowClose();
  QPointer<QMdiSubWindow> window = control_;
  control_ = nullptr;
  window->close();
}

bool Workspace::closeFromControlWindow() {
  // The user closed the Control Window's frame: that closes the document.
  if (!closeDocumentCommand(session_)) return false;
  control_ = nullptr;
  closeReportWindows();
  emit documentChanged();
  return true;
}

void Workspace::closeReportWindows() {
  for (auto& slot : slots_) {
    if (slot) slot->close();
    slot = nullptr;
  }
}

void Workspace::rememberDocument() {
  recent_.add(QString::fromStdString(session_.document.documentPath));
}

}  // namespace tessera::app
