// The conventions of a desktop program: keys, menus, confirmations, and the
// faults a day's work ran into (drops, prompts on exit, refused matrices).
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/fonts.h"
#include "app/pick_list_dialog.h"
#include "app/text_window.h"
#include "app/transform_dialog.h"
#include "modal_script.h"
#include "started_program.h"
#include "symmetry/hall_dat.h"
#include "transform/transform_parameters.h"

namespace tessera::app {
namespace {

TEST(DesktopConventions, TheTransformationDialogRefusesASingularMatrixAndANewDocumentStartsFromTheUnitMatrix) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  doc.transformation.matrix = {};
  doc.transformation.mode = 2;
  test::ModalScript script;
  bool stayedOpen = false;
  script.dialogs = {[&stayedOpen](QDialog* d) {
    d->accept();
    stayedOpen = d->isVisible();
    d->reject();
  }};
  s.workspace().controlWindow()->button(ControlWindowView::Transform)->click();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(script.seen, QStringList({"Transformation Parameters", kSingularMatrixMessage}));
  EXPECT_EQ(doc.newSiteCount(), 0);

  script.seen.clear();
  script.answers = {QMessageBox::No};  // the save prompt
  script.dialogs = {[](QDialog* d) { d->accept(); }, [](QDialog* d) { d->reject(); }};  // Title/Axes, first site
  s.menuAction("File", "New")->trigger();
  ASSERT_TRUE(doc.isOpen);
  EXPECT_EQ(doc.transformation.matrix, unitMatrix());
}

TEST(DesktopConventions, FilesDroppedOnAnyWindowOpenOrImportByExtensionAfterTheDrop) {
  test::StartedProgram s({}, true, TESSERA_BIN_DIR);
  const QString cif = s.home.filePath("quartz.cif");
  ASSERT_TRUE(QFile::copy(test::examplePath("quartz.cif"), cif));
  TextWindow* report = s.workspace().openTextWindow(s.document);
  ASSERT_NE(report, nullptr);
  const QString text = report->editor()->toPlainText();
  test::ModalScript script;
  test::dropFile(report->editor()->viewport(), cif);
  EXPECT_TRUE(script.seen.isEmpty()) << "nothing runs inside the drop";
  EXPECT_EQ(report->editor()->toPlainText(), text);  // no file:// text pasted
  for (int wait = 0; wait < 250 && s.app->document().fileTitle != "quartz.tsr"; ++wait) QTest::qWait(20);
  EXPECT_EQ(s.app->document().fileTitle, "quartz.tsr");
  ASSERT_FALSE(script.seen.isEmpty());
  EXPECT_EQ(script.seen.first(), "Import File");  // the options, but no file dialog
  for (const QString& seen : script.seen) EXPECT_FALSE(seen.startsWith("Import ") && seen.endsWith(" file")) << seen.toStdString();
}

TEST(DesktopConventions, ExitAsksAboutEveryWindowBeforeClosingAny) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  doc.modified = true;
  TextWindow* report = s.workspace().openTextWindow(s.document);
  ASSERT_NE(report, nullptr);
  report->editor()->appendPlainText("edited");
  test::ModalScript script;
  script.answers = {QMessageBox::No, QMessageBox::Cancel};
  EXPECT_FALSE(s.app->mainWindow().close());
  EXPECT_EQ(script.seen, QStringList({"Save changes to " + s.document + " ?", "Save changes to " + s.document + " ?"}));
  EXPECT_TRUE(doc.isOpen);
  EXPECT_TRUE(doc.modified);
  EXPECT_NE(s.workspace().controlWindow(), nullptr);
  EXPECT_TRUE(report->editor()->document()->isModified());
  EXPECT_EQ(s.app->mainWindow().area().subWindowList().size(), 2);
}

TEST(DesktopConventions, OpenAsksAboutTheDocumentAndItsReportsBeforeTheFileIsChosen) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  const QString quartz = s.home.filePath("quartz.tsr");
  ASSERT_TRUE(QFile::copy(test::examplePath("quartz.tsr"), quartz));
  auto editedReport = [&] {
    EXPECT_TRUE(s.workspace().showReport(2, s.document));
    auto* report = qobject_cast<TextWindow*>(s.app->mainWindow().area().activeSubWindow()->widget());
    report->editor()->appendPlainText("edited");
    return QPointer<TextWindow>(report);
  };
  doc.modified = true;
  QPointer<TextWindow> report = editedReport();
  test::ModalScript script;

  // Changes given up, then no file chosen: the document keeps its changes and the report asks again later.
  script.answers = {QMessageBox::No, QMessageBox::No};
  s.menuAction("File", "Open...")->trigger();
  EXPECT_EQ(script.seen, QStringList({"Save changes to " + s.document + " ?", "Save changes to " + s.document + " ?", "Open"}));
  EXPECT_TRUE(doc.modified);
  ASSERT_FALSE(report.isNull());
  EXPECT_TRUE(report->editor()->document()->isModified());

  // A file chosen: nothing more is asked after the document has been replaced.
  script.seen.clear();
  script.answers = {QMessageBox::No, QMessageBox::No};
  script.paths = {quartz};
  s.menuAction("File", "Open...")->trigger();
  EXPECT_EQ(script.seen.size(), 3) << script.seen.join(" | ").toStdString();
  EXPECT_EQ(doc.fileTitle, "quartz.tsr");
  EXPECT_FALSE(doc.modified);
  QTest::qWait(50);
  EXPECT_TRUE(report.isNull());
}

TEST(DesktopConventions, ImportAllFilesChoosesTheReaderByExtensionPdbToo) {
  test::StartedProgram s({});
  const QString pdb = s.home.filePath("small.pdb");
  ASSERT_TRUE(test::writeBytes(pdb, "HETATM    1  O   HOH A   1       1.000   2.000   3.000  1.00 10.00           O\n"
                                    "HETATM    2  C1  LIG A   2       2.500   2.000   3.000  1.00 10.00           C\n"
                                    "END\n"));
  test::ModalScript script;
  script.paths = {pdb};
  s.menuAction("Import", "All Files...")->trigger();
  const CrystalDocument& doc = s.app->document();
  ASSERT_TRUE(doc.isOpen) << script.seen.join(" | ").toStdString();
  EXPECT_EQ(doc.siteCount(), 2);
  EXPECT_EQ(doc.fileTitle, "small.tsr");

  script.seen.clear();
  script.paths = {s.home.filePath("notes.xyz1")};
  ASSERT_TRUE(test::writeBytes(script.paths.front(), ""));
  s.menuAction("Import", "All Files...")->trigger();
  EXPECT_TRUE(script.seen.contains("No import format reads files ending in .xyz1")) << script.seen.join(" | ").toStdString();
  EXPECT_EQ(doc.fileTitle, "small.tsr");
}

TEST(DesktopConventions, ControlWindowKeysTitleButtonsAndReadOnlyCell) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  ControlWindowView* view = s.workspace().controlWindow();
  EXPECT_EQ(view->titleLine()->text().toStdString(), doc.title);
  EXPECT_FALSE(doc.title.empty());
  QSet<QChar> keys;
  for (int b = 0; b < ControlWindowView::ButtonCount; ++b) {
    QPushButton* button = view->button(static_cast<ControlWindowView::Button>(b));
    EXPECT_FALSE(button->toolTip().isEmpty()) << b;
    ASSERT_TRUE(button->text().contains('&')) << button->text().toStdString();
    keys.insert(button->text().section('&', 1).at(0).toLower());
  }
  EXPECT_EQ(keys.size(), ControlWindowView::ButtonCount);
  for (QChar menuKey : {'f', 'm', 'e', 'i', 'w', 'h'}) EXPECT_FALSE(keys.contains(menuKey)) << menuKey.toLatin1();
  const QPalette cell = view->cellField(0)->palette();
  EXPECT_EQ(cell.color(QPalette::Base), cell.color(QPalette::Window));

  test::ModalScript script;
  script.dialogs = {[](QDialog* d) { d->reject(); }};
  view->siteList()->setCurrentRow(1);
  QTest::keyClick(view->siteList(), Qt::Key_Return);
  EXPECT_EQ(script.seen, QStringList({"Input Atom (Site)"}));
  script.seen.clear();
  script.answers = {QMessageBox::No};
  QTest::keyClick(view->siteList(), Qt::Key_Delete);
  EXPECT_EQ(script.seen, QStringList({"Delete input atom (site) number 2 ?"}));
  EXPECT_EQ(doc.siteCount(), 2);
}

TEST(DesktopConventions, MenusStatusBarAndMessageBoxes) {
  test::StartedProgram s({}, true);
  EXPECT_NE(s.menuAction("File", "Close"), nullptr);
  EXPECT_EQ(s.menuAction("File", "Save As...")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  EXPECT_NE(s.menuAction("Help", "Commands..."), nullptr);
  QMenu* window = test::barMenu(s.app->mainWindow(), "Window");
  emit window->aboutToShow();
  QStringList entries;
  for (QAction* a : window->actions()) entries << a->text().remove('&');
  EXPECT_TRUE(entries.contains("1 Tessera Control Window")) << entries.join('|').toStdString();

  // Formats still to come say why they are off.
  for (QAction* a : test::menuCommands(s.app->mainWindow(), "Import"))
    if (!a->isEnabled()) {
      EXPECT_TRUE(a->toolTip().startsWith("Not available: ")) << a->text().toStdString();
    }

  // Save confirms in the status bar.
  s.app->document().modified = true;
  s.menuAction("File", "Save")->trigger();
  EXPECT_EQ(s.app->mainWindow().statusBar()->currentMessage(), "Saved " + s.document);

  // A failure shows the warning icon under a title naming the command.
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  test::onNextDialog([&](QDialog* d) {
    title = d->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(d)) icon = box->icon();
    d->accept();
  });
  s.workspace().controlWindow()->button(ControlWindowView::NewToOld)->click();
  EXPECT_EQ(title, "Tessera - Transformed to Input");
  EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(DesktopConventions, FontStyleCascadeSelectListAndFieldWidths) {
  ProgramSettings settings;
  QFont bold = textWindowFont(settings);
  bold.setBold(true);
  bold.setItalic(true);
  storeTextWindowFont(settings, bold);
  EXPECT_TRUE(textWindowFont(settings).bold());
  EXPECT_TRUE(textWindowFont(settings).italic());

  test::StartedProgram s({}, true);
  QMdiArea& area = s.app->mainWindow().area();
  TextWindow* report = s.workspace().openTextWindow(s.document);
  ASSERT_NE(report, nullptr);
  s.menuAction("Window", "Cascade")->trigger();
  EXPECT_EQ(area.subWindowList(QMdiArea::StackingOrder).first()->widget(), s.workspace().controlWindow());

  PickListDialog select(kHallDatHeading, hallDatLines(hallDatText()), 0, nullptr);
  EXPECT_TRUE(QFontInfo(select.list()->font()).fixedPitch());
  ASSERT_EQ(select.list()->count(), 530);
  QTest::keyClicks(select.list(), "R -3 c");
  int shown = 0;
  for (int row = 0; row < select.list()->count(); ++row)
    if (!select.list()->item(row)->isHidden()) {
      ++shown;
      EXPECT_TRUE(select.list()->item(row)->text().contains("R_-3_c")) << row;  // "_" typed as a blank
    }
  EXPECT_GE(shown, 1);
  EXPECT_EQ(select.filterField()->text(), "R -3 c");
  EXPECT_GT(select.choice(), 0);

  test::ModalScript script;
  script.dialogs = {[](QDialog* d) {
    auto* t = qobject_cast<TransformParametersDialog*>(d);
    t->show();
    QLineEdit* field = t->matrixField(0, 0);
    field->setText("-0.6666667");
    const int room = field->width() - field->textMargins().left() - field->textMargins().right();
    EXPECT_GE(room, field->fontMetrics().horizontalAdvance(field->text()) + 4);
    d->reject();
  }};
  s.workspace().controlWindow()->button(ControlWindowView::Transform)->click();
  EXPECT_EQ(script.seen.size(), 1);
}

TEST(DesktopConventions, HelpAndVersionPrintWithoutAWindow) {
  for (const char* option : {"--help", "--version"}) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");  // a window would fail without a display
    program.setProcessEnvironment(env);
    program.start(QString(TESSERA_BIN_DIR) + "/tessera", {option});
    ASSERT_TRUE(program.waitForFinished(20000)) << option;
    EXPECT_EQ(program.exitCode(), 0) << option;
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    EXPECT_TRUE(out.startsWith(QString(option) == "--help" ? "usage: tessera" : "tessera ")) << out.toStdString();
  }
}

}  // namespace
}  // namespace tessera::app
