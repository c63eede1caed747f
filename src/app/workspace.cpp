#include "app/workspace.h"

#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "app/control_window_view.h"
#include "app/fonts.h"
#include "app/qt_user_interface.h"
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
#include "formats/import_kinds.h"
#include "symmetry/symmetry_dialogs.h"
#include "transform/transform_parameters_model.h"

namespace tessera::app {

namespace {

/// Names the running command in the titles of its message boxes, for the command's lifetime.
class CommandName {
 public:
  CommandName(UserInterface& ui, const QString& name) : ui_(dynamic_cast<QtUserInterface*>(&ui)) {
    if (ui_) previous_ = ui_->setCommandName(name.toStdString());
  }
  ~CommandName() {
    if (ui_) ui_->setCommandName(previous_);
  }
  CommandName(const CommandName&) = delete;
  CommandName& operator=(const CommandName&) = delete;

 private:
  QtUserInterface* ui_;
  std::string previous_;
};

}  // namespace

Workspace::Workspace(Session& session, QMdiArea& area, RecentFiles& recent, QObject* parent)
    : QObject(parent), session_(session), area_(area), recent_(recent) {}

ControlWindowView* Workspace::controlWindow() const {
  return control_ ? qobject_cast<ControlWindowView*>(control_->widget()) : nullptr;
}

void Workspace::newDocument() {
  const CommandName name(session_.ui, "New");
  // The old document's windows go before the new document's dialog appears.
  if (!closeDocument()) return;
  newCommand(session_);
  afterCommand();
}

void Workspace::openWithDialog() {
  const CommandName name(session_.ui, "Open");
  // The document's reports are asked about with the document, before the file is chosen.
  if (!confirmClosing(false)) return;
  const OpenOutcome outcome = openCommand(session_);
  const bool documentStays = outcome.result == OpenResult::OpenAsText || outcome.result == OpenResult::Cancelled;
  if (documentStays) {
    // Nothing replaced the document: changes given up in the prompt are still there.
    if (changesGivenUp_) session_.document.modified = true;
    forgetReportCloseAnswers();
  }
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
  const CommandName name(session_.ui, "Open");
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
  const CommandName name(session_.ui, "Save");
  if (saveCommand(session_)) saved();
  afterCommand();
}

void Workspace::saveAs() {
  const CommandName name(session_.ui, "Save As");
  if (saveAsCommand(session_)) saved();
  afterCommand();
}

void Workspace::saved() {
  rememberDocument();
  emit statusMessage("Saved " + QString::fromStdString(session_.document.documentPath));
}

void Workspace::importFile(int kind) {
  const ImportKind* row = findImportKind(kind);
  const CommandName name(session_.ui, QString("Import %1").arg(row ? row->menuEntry : ""));
  // The save prompt comes first and the old document's windows go before the
  // import's dialogs appear; the import then finds nothing open to ask about.
  if (!closeDocument()) return;
  RunImport(session_, kind, [](Session& session) { return saveCommand(session); });
  afterCommand();
}

void Workspace::importFile(int kind, const QString& path) {
  auto* qtUi = dynamic_cast<QtUserInterface*>(&session_.ui);
  if (qtUi) qtUi->presetOpenFile(path.toStdString());
  importFile(kind);
  if (qtUi) qtUi->presetOpenFile(std::nullopt);
}

std::optional<int> Workspace::importKindOf(const QString& path) const {
  // The import extensions as the import options hold them.
  const std::string suffix = "." + QFileInfo(path).suffix().toStdString();
  return importKindForExtension(suffix, session_.settings.importExtensions);
}

void Workspace::openDropped(const QString& path) {
  // Native documents and anything no import reads open as they would from File > Open.
  if (const std::optional<int> kind = importKindOf(path)) return importFile(*kind, path);
  openPath(path);
}

void Workspace::importAnyFile() {
  const CommandName name(session_.ui, "Import");
  std::string patterns;
  for (const std::string& extension : session_.settings.importExtensions)
    if (importKindForExtension(extension, session_.settings.importExtensions) &&
        patterns.find("*" + extension + ";") == std::string::npos)
      patterns += "*" + extension + ";";
  if (!patterns.empty()) patterns.pop_back();
  FileRequest request;
  request.title = "Import";
  request.filter = "Files the program imports (" + patterns + ")|" + patterns + "|All Files (*.*)|*.*||";
  request.directory = session_.settings.documentDirectory;
  const std::optional<std::string> path = session_.ui.openFile(request);
  if (!path) return;
  const QString file = QString::fromStdString(*path);
  if (const std::optional<int> kind = importKindOf(file)) return importFile(*kind, file);
  session_.ui.message(QString("No import format reads files ending in .%1").arg(QFileInfo(file).suffix()).toStdString());
}

void Workspace::exportFile(int commandIndex) {
  if (!session_.document.isOpen || commandIndex < 0 || commandIndex >= static_cast<int>(exportCommands().size())) return;
  const QString format = exportCommands()[static_cast<std::size_t>(commandIndex)].name;
  const CommandName name(session_.ui, "Export " + format);
  if (RunExport(session_, commandIndex)) {
    const auto* qtUi = dynamic_cast<const QtUserInterface*>(&session_.ui);
    emit statusMessage(QString("Exported %1 file %2").arg(format, qtUi ? QString::fromStdString(qtUi->lastSaveFile()) : ""));
  }
  afterCommand();  // the symbol check may have given the crystal new symbols
}

void Workspace::titleAxes() {
  const CommandName name(session_.ui, "Title/Axes");
  titleAxesCommand(session_);
  afterCommand();
}

void Workspace::symmetry() {
  const CommandName name(session_.ui, "Symmetry");
  SymmetryCommand(session_, 0);
  afterCommand();
}

void Workspace::transform() {
  const CommandName name(session_.ui, "Transform");
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
  const CommandName name(session_.ui, "Transformed to Input");
  transformedToInputCommand(session_);
  afterCommand();
}

void Workspace::bondLengths() {
  const auto outcome = bondLengthsCommand(session_);
  if (outcome && outcome->written) showReport(2, QString::fromStdString(outcome->path.string()));
  afterCommand();  // the selected site may have changed
}

void Workspace::addSite() {
  const CommandName name(session_.ui, "Add site");
  tessera::addSite(session_);
  afterCommand();
}

void Workspace::editSite() {
  const CommandName name(session_.ui, "Edit site");
  editSelectedSite(session_, session_.document.selectedSite);
  afterCommand();
}

void Workspace::deleteSite() {
  const CommandName name(session_.ui, "Delete site");
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

bool Workspace::confirmClosing(bool everyTextWindow) {
  // Every question comes before anything closes: a Cancel in the last one finds all as it was.
  if (!confirmSaveChanges(session_)) return false;
  changesGivenUp_ = session_.document.modified;  // still modified after the prompt: answered No
  QList<TextWindow*> answered;
  for (QMdiSubWindow* sub : area_.subWindowList()) {
    auto* text = qobject_cast<TextWindow*>(sub->widget());
    if (!text || (!everyTextWindow && !std::count(slots_.begin(), slots_.end(), sub))) continue;
    if (!text->confirmClose()) {
      for (TextWindow* t : answered) t->forgetCloseAnswer();
      return false;
    }
    answered << text;
  }
  // The document's question has been answered (saved, or changes given up).
  session_.document.modified = false;
  return true;
}

bool Workspace::closeDocument() {
  if (!confirmClosing(false) || !closeDocumentCommand(session_)) return false;
  closeControlWindow();
  closeReportWindows();
  emit documentChanged();
  return true;
}

bool Workspace::closeAll() {
  if (!confirmClosing(true) || !closeDocument()) return false;
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
  const QSize viewport = area_.viewport()->size();
  addWindow(window, {viewport.width() * 2 / 3, viewport.height() * 2 / 3}, WindowKind::Text);
  return window;
}

QMdiSubWindow* Workspace::addWindow(QWidget* widget, QSize size, std::optional<WindowKind> kind) {
  QMdiSubWindow* sub = area_.addSubWindow(widget);
  if (kind) {
    placeFromSettings(*sub, session_.settings, *kind, size);  // the placement the last run kept
  } else if (size.isValid()) {
    sub->resize(size);
  }
  sub->show();
  // The area's own placement avoids overlaps by pushing windows past its right or lower edge.
  const QRect inside = area_.viewport()->rect();
  if (inside.width() < 200 || inside.height() < 150) return sub;  // not laid out yet: nothing to fit into
  QRect frame = sub->geometry();
  frame.setSize(frame.size().boundedTo(inside.size()));
  frame.moveLeft(std::clamp(frame.left(), 0, inside.width() - frame.width()));
  frame.moveTop(std::clamp(frame.top(), 0, inside.height() - frame.height()));
  sub->setGeometry(frame);
  return sub;
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
    control_ = addWindow(view, view->sizeHint(), WindowKind::Control);
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
  if (!confirmClosing(false) || !closeDocumentCommand(session_)) return false;
  control_ = nullptr;
  closeReportWindows();
  emit documentChanged();
  return true;
}

void Workspace::forgetReportCloseAnswers() {
  for (const auto& slot : slots_)
    if (auto* text = slot ? qobject_cast<TextWindow*>(slot->widget()) : nullptr) text->forgetCloseAnswer();
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
