#include "app/export_actions.h"

#include <QMenuBar>
#include <cstring>

#include "app/workspace.h"
#include "formats/export_framework.h"

namespace tessera::app {

namespace {

struct ExportPrompt {
  const char* cliName;
  const char* prompt;
};

constexpr ExportPrompt kPrompts[] = {
    {"free-form", "Export an ORBIS free-form (.inp) file"},
    {"ccdc-fdat", "CCDC FDAT files are read only: there is no writer for this layout"},
    {"shelx", "Export a SHELX .INS file"},
    {"cif", "Export a Crystallographic Information File"},
    {"dbws", "Export a DBWS Rietveld file"},
    {"lhpm", "Export an LHPM Rietveld file"},
    {"icsd-retrieve", "Export an Inorganic Crystal Structure Database RETRIEVE file"},
    {"icsd-cansnd", "Export a CAN/SND Inorganic Crystal Structure Database CRYSTIN file"},
    {"icsd-original", "Export an original Inorganic Crystal Structure Database CRYSTIN file"},
    {"ortep", "Export an ORTEP file"},
    {"rietan", "Export a RIETAN Rietveld file"},
    {"gsas", "Export a GSAS (Los Alamos) file"},
    {"fullprof", "Export a FULLPROF file"},
};

/// The status-line prompt of an export command, found by its tessera-cli name.
QString prompt(const char* cliName, const char* menuText) {
  for (const ExportPrompt& p : kPrompts)
    if (std::strcmp(p.cliName, cliName) == 0) return QString::fromUtf8(p.prompt);
  return QString("Export a %1 file").arg(QString::fromUtf8(menuText));
}

}  // namespace

ExportActions::ExportActions(Workspace& workspace, QObject* parent) : MenuArea(parent), workspace_(workspace) {}

void ExportActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("&Export");
  const auto& commands = exportCommands();
  QStringList names;
  for (const ExportCommand& command : commands) names << QString::fromUtf8(command.name);
  const QStringList texts = withMnemonics(names);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const ExportCommand& command = commands[i];
    const QString& text = texts[static_cast<qsizetype>(i)];
    if (!command.available()) {
      addLaterCommand(menu, text, prompt(command.cliName, command.name), "this version has no writer for the format yet");
      continue;
    }
    QAction* action = addCommand(menu, text, prompt(command.cliName, command.name));
    const int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this, [this, index] { workspace_.exportFile(index); });
    working_ << action;
  }
  updateActions();
}

void ExportActions::updateActions() {
  const bool open = workspace_.session().document.isOpen;
  for (QAction* action : working_) action->setEnabled(open);
}

}  // namespace tessera::app
