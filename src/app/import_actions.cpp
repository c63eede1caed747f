#include "app/import_actions.h"

#include <QMenuBar>

#include "app/workspace.h"
#include "formats/import_kinds.h"

namespace tessera::app {

ImportActions::ImportActions(Workspace& workspace, QObject* parent) : MenuArea(parent), workspace_(workspace) {}

void ImportActions::addTo(QMenuBar& bar) {
  QMenu* menu = bar.addMenu("I&mport");
  QStringList entries;
  for (int kind : importMenuOrder()) entries << QString::fromUtf8(findImportKind(kind)->menuEntry);
  entries << "All Files...";
  const QStringList texts = withMnemonics(entries);
  for (std::size_t i = 0; i < importMenuOrder().size(); ++i) {
    const int kind = importMenuOrder()[i];
    const ImportKind& row = *findImportKind(kind);
    const QString& text = texts[static_cast<qsizetype>(i)];
    const QString prompt = QString::fromUtf8(row.statusPrompt);
    if (!row.available()) {
      addLaterCommand(menu, text, prompt, "this version has no reader for the format yet");
      continue;
    }
    // An import replaces whatever is open, so the command never depends on the document.
    connect(addCommand(menu, text, prompt), &QAction::triggered, this, [this, kind] { workspace_.importFile(kind); });
  }
  // Every kind with a reader, those without an entry of their own (PDB) too, by extension.
  menu->addSeparator();
  connect(addCommand(menu, texts.last(), "Import a file of any format the program reads, chosen by its extension"),
          &QAction::triggered, &workspace_, &Workspace::importAnyFile);
}

}  // namespace tessera::app
