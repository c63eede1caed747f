#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/export_dialog.h"
#include "app/import_dialogs_view.h"
#include "formats/export_framework.h"
#include "formats/import_kinds.h"
#include "modal_script.h"
#include "started_program.h"

namespace tessera::app {
namespace {

TEST(ImportExportMenus, ListEveryFormatInOrderWithItsPromptAndState) {
  test::StartedProgram s({});
  QStringList bar;
  for (QAction* m : s.app->mainWindow().menuBar()->actions()) bar << m->text().remove('&');
  EXPECT_EQ(bar, QStringList({"File", "Import", "Export", "Input", "View", "Window", "Help"}));

  const QList<QAction*> imports = test::menuCommands(s.app->mainWindow(), "Import");
  const QList<QAction*> exports = test::menuCommands(s.app->mainWindow(), "Export");
  const auto& commands = exportCommands();
  ASSERT_EQ(imports.size(), static_cast<qsizetype>(importMenuOrder().size()) + 1);
  EXPECT_EQ(imports.last()->text().remove('&'), "All Files...");  // every kind by extension, PDB too
  ASSERT_EQ(exports.size(), static_cast<qsizetype>(commands.size()));
  for (qsizetype i = 0; i + 1 < imports.size(); ++i) {
    const ImportKind& row = *findImportKind(importMenuOrder()[static_cast<std::size_t>(i)]);
    EXPECT_EQ(imports[i]->text().remove('&'), row.menuEntry);
    EXPECT_EQ(imports[i]->isEnabled(), row.available()) << row.menuEntry;  // no document needed
  }
  for (QAction* e : exports) EXPECT_FALSE(e->isEnabled()) << "nothing to export";
  EXPECT_EQ(exports[2]->statusTip(), "Export a SHELX .INS file");
  // Every command has its own mnemonic, "OSCILLA" too, whose letters all occur earlier.
  for (const QList<QAction*>* menu : {&imports, &exports}) {
    QSet<QString> keys;
    for (QAction* a : *menu) keys.insert(a->text().section('&', 1).left(1).toLower());
    keys.remove(QString());
    EXPECT_EQ(keys.size(), menu->size());
  }

  // With a document the working exports come on; those without a writer stay off.
  s.workspace().openPath(s.document);
  for (qsizetype i = 0; i < exports.size(); ++i)
    EXPECT_EQ(exports[i]->isEnabled(), commands[static_cast<std::size_t>(i)].available()) << commands[i].name;

  // "CCDC FDAT" runs and writes nothing: it says so, and nothing changes.
  test::ModalScript script;
  s.app->document().modified = false;
  const QStringList before = QDir(s.home.path()).entryList(QDir::Files);
  ASSERT_TRUE(exports[1]->isEnabled());
  exports[1]->trigger();
  QTest::qWait(60);
  EXPECT_EQ(script.seen, QStringList({"CCDC FDAT files are read only: Tessera has no writer for this layout"}));
  EXPECT_FALSE(s.app->document().modified);
  EXPECT_EQ(QDir(s.home.path()).entryList(QDir::Files), before);
}

TEST(ImportInTheProgram, ShelxFileReplacesTheDocumentThroughTheMenu) {
  test::StartedProgram s({}, true);
  const QString source = s.home.filePath("disorder.res");
  ASSERT_TRUE(QFile::copy(QString(TESSERA_FIXTURES) + "/formats/shelx/disorder.res", source));
  CrystalDocument& doc = s.app->document();
  doc.modified = true;
  const QStringList recent = s.workspace().recentFiles().entries();
  QAction* shelx = s.menuAction("Import", "SHELX");
  ASSERT_NE(shelx, nullptr);

  // Cancel in the save prompt keeps the document.
  test::ModalScript script;
  shelx->trigger();
  EXPECT_EQ(doc.fileTitle, "corundum.tsr");
  ASSERT_NE(s.workspace().controlWindow(), nullptr);

  // No: the options dialog, the file dialog, the reader's message, then the Control Window.
  script.seen.clear();
  script.answers = {QMessageBox::No};
  script.paths = {source};
  script.dialogs = {[](QDialog* d) {
    auto* options = qobject_cast<ImportOptionsDialog*>(d);
    ASSERT_NE(options, nullptr);
    options->symmetryButton(0)->click();
    options->accept();
  }};
  shelx->trigger();
  EXPECT_EQ(script.seen, QStringList({"Save changes to " + s.document + " ?", "Import File", "Import SHELX-93 file",
                                      "2 residual-density peaks (Q) skipped"}));
  ASSERT_TRUE(doc.isOpen);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.fileTitle, "disorder.tsr");
  EXPECT_EQ(doc.siteCount(), 11);
  EXPECT_EQ(doc.crystals[0].hmSymbol, "P_1_21/c_1");
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->siteList()->count(), 11);
  EXPECT_TRUE(view->fileLine()->text().contains("disorder.tsr")) << view->fileLine()->text().toStdString();
  EXPECT_EQ(s.workspace().recentFiles().entries(), recent);
  EXPECT_TRUE(s.menuAction("Export", "SHELX")->isEnabled());

  // A cancelled file choice leaves no document, no Control Window and nothing to export.
  doc.modified = false;
  shelx->trigger();
  EXPECT_FALSE(doc.isOpen);
  EXPECT_EQ(s.workspace().controlWindow(), nullptr);
  EXPECT_FALSE(s.menuAction("Export", "SHELX")->isEnabled());
}

TEST(ExportInTheProgram, FreeFormWritesTheFileWithTheChosenOptions) {
  test::StartedProgram s({}, true);
  const QString out = s.home.filePath("corundum_out.inp");
  test::ModalScript script;
  script.dialogs = {[](QDialog* d) {
    auto* dialog = qobject_cast<ExportDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    dialog->convModeButton(2)->click();
    dialog->anisoButton(1)->click();
    dialog->accept();
  }};
  script.paths = {out};
  s.menuAction("Export", "Free-Form (ORBIS .inp)")->trigger();
  EXPECT_EQ(script.seen, QStringList({"Export Data File", "Export"}));
  EXPECT_TRUE(test::readBytes(out).contains("FIELDS LAB TYP COO TFB"));  // the header follows the aniso preference
  EXPECT_EQ(s.app->session().settings.convMode, 2);
  EXPECT_EQ(s.app->session().settings.anisoPref, 1);
  EXPECT_NE(s.workspace().controlWindow(), nullptr);
}

}  // namespace
}  // namespace tessera::app
