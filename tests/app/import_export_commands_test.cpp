#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/export_dialog.h"
#include "app/import_dialogs_view.h"
#include "app/text_window.h"
#include "formats/export_framework.h"
#include "formats/import_kinds.h"
#include "started_program.h"

namespace tessera::app {
namespace {

/// Answers every modal window as it comes up and records its title (message boxes: their text).
/// Questions take the queued answers (none left: the box is rejected); file dialogs take the
/// queued paths (an empty path or none left: cancelled); other dialogs run the queued step,
/// or are accepted as they stand.
struct ModalScript {
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<QString> paths;
  std::deque<std::function<void(QDialog*)>> dialogs;
  QStringList seen;
  QTimer timer;

  ModalScript() {
    QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
    timer.start(20);
  }
  void answer() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || w->property("scripted").toBool()) return;
    w->setProperty("scripted", true);
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      seen << box->text();
      if (box->buttons().size() == 1) box->buttons().first()->click();
      else if (answers.empty()) box->reject();
      else box->button(take(answers))->click();
    } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
      seen << files->windowTitle();
      const QString path = paths.empty() ? QString() : take(paths);
      if (path.isEmpty()) return files->reject();
      // Typed as a user does: selectFile leaves a focused name field alone.
      if (auto* name = files->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
      static_cast<QDialog*>(files)->accept();  // the dialog's own accept checks the name
    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
      seen << dialog->windowTitle();
      if (dialogs.empty()) dialog->accept();
      else take(dialogs)(dialog);
    }
  }
  template <class T>
  static T take(std::deque<T>& queue) {
    T front = queue.front();
    queue.pop_front();
    return front;
  }
};

QList<QAction*> commandsOf(test::StartedProgram& s, const QString& menu) {
  for (QAction* m : s.app->mainWindow().menuBar()->actions())
    if (m->text().remove('&') == menu) return m->menu()->actions();
  return {};
}

/// The mnemonic letters of a menu's commands, lower case.
QString mnemonics(const QList<QAction*>& actions) {
  QString keys;
  for (QAction* a : actions) {
    const qsizetype at = a->text().indexOf('&');
    if (at >= 0 && at + 1 < a->text().size()) keys += a->text()[at + 1].toLower();
  }
  return keys;
}

TEST(ImportExportMenus, ListEveryFormatInOrderWithItsPromptAndState) {
  test::StartedProgram s({});
  QStringList bar;
  for (QAction* m : s.app->mainWindow().menuBar()->actions()) bar << m->text().remove('&');
  EXPECT_EQ(bar, QStringList({"File", "Import", "Export", "Input", "Window", "Help"}));

  const QList<QAction*> imports = commandsOf(s, "Import");
  ASSERT_EQ(imports.size(), static_cast<qsizetype>(importMenuOrder().size()));
  for (qsizetype i = 0; i < imports.size(); ++i) {
    const ImportKind& row = *findImportKind(importMenuOrder()[static_cast<std::size_t>(i)]);
    EXPECT_EQ(imports[i]->text().remove('&'), row.menuEntry);
    EXPECT_EQ(imports[i]->statusTip(), row.statusPrompt);
    EXPECT_EQ(imports[i]->isEnabled(), row.available()) << row.menuEntry;  // no document needed
  }
  EXPECT_TRUE(imports[2]->isEnabled());  // SHELX reads already

  const QList<QAction*> exports = commandsOf(s, "Export");
  const auto& commands = exportCommands();
  ASSERT_EQ(exports.size(), static_cast<qsizetype>(commands.size()));
  for (qsizetype i = 0; i < exports.size(); ++i) {
    EXPECT_EQ(exports[i]->text().remove('&'), commands[static_cast<std::size_t>(i)].name);
    EXPECT_FALSE(exports[i]->statusTip().isEmpty());
    EXPECT_FALSE(exports[i]->isEnabled()) << "nothing to export";
  }
  EXPECT_EQ(exports[2]->statusTip(), "Export a SHELX .INS file");
  for (const QList<QAction*>* menu : {&imports, &exports}) {
    const QString keys = mnemonics(*menu);
    EXPECT_EQ(keys.size(), menu->size());
    for (QChar k : keys) EXPECT_EQ(keys.count(k), 1) << "mnemonic " << k.toLatin1() << " twice";
  }

  // With a document the working exports come on; those without a writer stay off.
  s.workspace().openPath(s.document);
  for (qsizetype i = 0; i < exports.size(); ++i)
    EXPECT_EQ(exports[i]->isEnabled(), commands[static_cast<std::size_t>(i)].available()) << commands[i].name;

  // "CCDC FDAT" runs and does nothing: no dialog, no file, no change.
  ModalScript script;
  CrystalDocument& doc = s.app->document();
  doc.modified = false;
  const QStringList before = QDir(s.home.path()).entryList(QDir::Files);
  ASSERT_TRUE(exports[1]->isEnabled());
  exports[1]->trigger();
  QTest::qWait(60);
  EXPECT_TRUE(script.seen.isEmpty()) << script.seen.join('|').toStdString();
  EXPECT_FALSE(doc.modified);
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

  // Cancel in the save prompt keeps the document and its window.
  ModalScript script;
  script.answers = {QMessageBox::Cancel};
  shelx->trigger();
  EXPECT_TRUE(doc.isOpen);
  EXPECT_EQ(doc.fileTitle, "corundum.tsr");
  ASSERT_NE(s.workspace().controlWindow(), nullptr);

  // No: the options dialog, the file dialog, the reader's messages, then the Control Window.
  script.seen.clear();
  script.answers = {QMessageBox::No};
  script.paths = {source};
  QString caption;
  script.dialogs = {[&caption](QDialog* d) {
    auto* options = qobject_cast<ImportOptionsDialog*>(d);
    if (!options) return d->reject();
    caption = options->captionLabel()->text();
    options->symmetryButton(0)->click();
    options->accept();
  }};
  shelx->trigger();
  ASSERT_GE(script.seen.size(), 3);
  EXPECT_EQ(script.seen[0], "Save changes to " + s.document + " ?");
  EXPECT_EQ(script.seen[1], "Import File");
  EXPECT_EQ(script.seen[2], "Import SHELX-93 file");
  EXPECT_TRUE(script.seen.contains("2 residual-density peaks (Q) skipped")) << script.seen.join('|').toStdString();
  EXPECT_EQ(caption, "Import SHELX-93 file");

  ASSERT_TRUE(doc.isOpen);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.fileTitle, "disorder.tsr");
  EXPECT_EQ(doc.importFormat, kKindShelx);
  EXPECT_EQ(doc.siteCount(), 11);
  EXPECT_EQ(doc.crystals[0].hmSymbol, "P_1_21/c_1");
  ControlWindowView* view = s.workspace().controlWindow();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->siteList()->count(), 11);
  EXPECT_TRUE(view->fileLine()->text().contains("disorder")) << view->fileLine()->text().toStdString();
  EXPECT_EQ(s.workspace().recentFiles().entries(), recent);
  EXPECT_EQ(s.app->session().settings.symmetrySourcePref, 0);
  EXPECT_TRUE(s.menuAction("Export", "SHELX")->isEnabled());

  // A cancelled file choice after the prompt leaves no document and no Control Window.
  doc.modified = false;
  script.paths = {QString()};
  script.dialogs.clear();
  shelx->trigger();
  EXPECT_FALSE(doc.isOpen);
  EXPECT_EQ(s.workspace().controlWindow(), nullptr);
  EXPECT_FALSE(s.menuAction("Export", "SHELX")->isEnabled());
}

TEST(ExportInTheProgram, FreeFormWritesTheFileWithTheChosenOptions) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  ASSERT_TRUE(doc.isOpen);
  QAction* freeForm = s.menuAction("Export", "Free-Form (ORBIS .inp)");
  ASSERT_NE(freeForm, nullptr);
  const QString out = s.home.filePath("corundum_out.inp");

  // Transformed data without New sites: the export ends with its message and writes nothing.
  ModalScript script;
  script.dialogs = {[](QDialog* d) {
    auto* dialog = qobject_cast<ExportDialog*>(d);
    if (!dialog) return d->reject();
    dialog->crystalButton(1)->click();
    dialog->accept();
  }};
  script.paths = {out};
  freeForm->trigger();
  EXPECT_EQ(script.seen, QStringList({"Export Data File", "No atoms in New cell - must Transform"}));
  EXPECT_FALSE(QFile::exists(out));

  script.seen.clear();
  QString support;
  script.dialogs = {[&support](QDialog* d) {
    auto* dialog = qobject_cast<ExportDialog*>(d);
    if (!dialog) return d->reject();
    support = dialog->supportLabel()->text();
    EXPECT_TRUE(dialog->crystalButton(0)->isChecked());
    dialog->convModeButton(2)->click();
    dialog->isoButton(1)->click();
    dialog->accept();
  }};
  freeForm->trigger();
  EXPECT_EQ(support, "Free-form files support U/B iso and U/beta aniso");
  EXPECT_TRUE(script.seen.size() == 2 && script.seen[0] == "Export Data File") << script.seen.join('|').toStdString();
  ASSERT_TRUE(QFile::exists(out));
  QFile file(out);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString written = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(written.contains("FIELDS LAB TYP COO")) << written.toStdString();
  EXPECT_EQ(s.app->session().settings.convMode, 2);
  EXPECT_EQ(s.app->session().settings.isoPref, 1);
  EXPECT_EQ(doc.activeCrystal, 0);
  EXPECT_NE(s.workspace().controlWindow(), nullptr);
}

}  // namespace
}  // namespace tessera::app
