// What a day's work must never see: files replaced unasked, a document state the
// windows misreport, a Cancel that changes something.
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

#include "app/control_window_view.h"
#include "app/custom_symmetry_view.h"
#include "app/find_replace_dialog.h"
#include "app/site_dialogs.h"
#include "app/symmetry_views.h"
#include "app/text_window.h"
#include "app/title_axes_dialog.h"
#include "app/transform_dialog.h"
#include "modal_script.h"
#include "started_program.h"

namespace tessera::app {
namespace {

using test::readBytes;

TEST(DocumentSafety, SaveAfterAnImportOffersTheDerivedNameInsteadOfReplacingTheFile) {
  test::StartedProgram s({});
  const QString ins = s.home.filePath("corundum.ins");
  ASSERT_TRUE(QFile::copy(test::examplePath("corundum.ins"), ins));
  const QByteArray before = readBytes(s.document);
  test::ModalScript script;
  script.paths = {ins};
  s.menuAction("Import", "SHELX")->trigger();
  CrystalDocument& doc = s.app->document();
  ASSERT_TRUE(doc.isOpen);
  EXPECT_EQ(doc.fileTitle, "corundum.tsr");

  // Ctrl+S asks for the name (offered: the derived one); cancelling it leaves the file alone.
  script.seen.clear();
  s.app->mainWindow().activateWindow();
  QApplication::processEvents();
  QTest::keyClick(s.workspace().controlWindow()->siteList(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(script.seen, QStringList({"Save As"}));
  EXPECT_EQ(readBytes(s.document), before);
  EXPECT_TRUE(doc.modified);

  // Once saved under a name of its own, Save writes there without asking.
  const QString own = s.home.filePath("corundum_from_ins.tsr");
  script.seen.clear();
  script.paths = {own};
  s.menuAction("File", "Save")->trigger();
  doc.title = "changed";
  doc.modified = true;
  s.menuAction("File", "Save")->trigger();
  EXPECT_EQ(script.seen, QStringList({"Save As"})) << script.seen.join('|').toStdString();
  EXPECT_TRUE(readBytes(own).contains("changed"));
  EXPECT_EQ(readBytes(s.document), before);
}

/// Types the Hex -> Rhomb matrix and the "Input atoms only" mode into the transformation dialog.
void typeHexToRhomb(TransformParametersDialog* d) {
  const char* rows[3][3] = {{"0.6666667", "0.333333", "0.333333"},
                            {"-0.333333", "0.333333", "0.333333"},
                            {"-0.333333", "-0.6666667", "0.333333"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      d->matrixField(r, c)->setText(rows[r][c]);
      d->matrixField(r, c)->setModified(true);
    }
  d->modeButton(1)->click();
}

TEST(DocumentSafety, NewToOldKeepsTheAxesTypeOfTheTransformedCell) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  test::ModalScript script;
  // The New crystal gets R -3 c in rhombohedral axes from the dialog's Symmetry button.
  script.dialogs = {[](QDialog* d) {
                      auto* t = qobject_cast<TransformParametersDialog*>(d);
                      ASSERT_NE(t, nullptr);
                      typeHexToRhomb(t);
                      t->symmetryButton()->click();
                      t->accept();
                    },
                    [](QDialog* d) {
                      auto* table = qobject_cast<TableSymmetryDialog*>(d);
                      ASSERT_NE(table, nullptr);
                      table->symbolField(2)->setText("167:R");
                      table->kindButton(2)->click();
                      table->accept();
                    }};
  s.workspace().controlWindow()->button(ControlWindowView::Transform)->click();
  EXPECT_FALSE(script.seen.contains("Error - space group is rhombohedral and crystal axes are non-rhombohedral"))
      << script.seen.join('|').toStdString();
  ASSERT_EQ(doc.newSiteCount(), 2);
  EXPECT_EQ(doc.crystals[0].hmSymbol, "R_-3_c:H");  // the dialog's Symmetry button works on the New crystal
  EXPECT_EQ(doc.crystals[1].axesType, 4);
  EXPECT_EQ(doc.crystals[1].rhombohedralAxes, 1);

  script.answers = {QMessageBox::Ok, QMessageBox::No};
  s.workspace().controlWindow()->button(ControlWindowView::NewToOld)->click();
  ASSERT_EQ(doc.crystals[0].axesType, 4);

  // Title/Axes opens on the rhombohedral axes, and OK unchanged keeps the cell.
  QString shownAxes;
  script.dialogs = {[&shownAxes](QDialog* d) {
    if (auto* t = qobject_cast<TitleAxesDialog*>(d)) shownAxes = t->axesList()->currentText();
    d->accept();
  }};
  s.menuAction("Input", "Title/Axes...")->trigger();
  EXPECT_EQ(shownAxes, "trigonal rhombohedral");
  EXPECT_NEAR(doc.crystals[0].cell[0], 5.129, 0.001);
  EXPECT_NEAR(doc.crystals[0].cell[3] / 0.01745329f, 55.29, 0.01);
}

TEST(DocumentSafety, TheModifiedMarkFollowsTheDocumentWhileWindowsOpenAndClose) {
  test::StartedProgram s({}, true);
  MainWindow& main = s.app->mainWindow();
  EXPECT_EQ(main.windowTitle(), "Tessera - corundum.tsr");
  test::ModalScript script;
  script.dialogs = {[](QDialog* d) { d->accept(); }};
  s.workspace().controlWindow()->button(ControlWindowView::Transform)->click();  // the unit matrix: a report
  ASSERT_TRUE(s.app->document().modified);
  EXPECT_EQ(main.windowTitle(), "Tessera - corundum.tsr*");
  QMdiSubWindow* report = main.area().subWindowList().last();
  ASSERT_NE(report->widget(), s.workspace().controlWindow());
  report->close();
  QApplication::processEvents();
  EXPECT_EQ(main.windowTitle(), "Tessera - corundum.tsr*");
  EXPECT_FALSE(main.isWindowModified() && main.windowTitle().contains("[*]"));
}

TEST(DocumentSafety, CancelChangesNothing) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  ControlWindowView* view = s.workspace().controlWindow();
  test::ModalScript script;
  auto reject = [](QDialog* d) { d->reject(); };

  // Edit site: an occupant edited, then Cancel.
  script.dialogs = {[](QDialog* d) {
                      auto* site = qobject_cast<SiteDialog*>(d);
                      ASSERT_NE(site, nullptr);
                      site->findChild<QPushButton*>("editOccupant")->click();
                      d->reject();
                    },
                    [](QDialog* d) {
                      d->findChild<QLineEdit*>("occupancy")->setText("0.5");
                      d->accept();
                    }};
  const float occupancy = doc.sites[0][0].occupants[0].occupancy;
  view->button(ControlWindowView::Edit)->click();
  EXPECT_EQ(script.seen, QStringList({"Input Atom (Site)", "Atom Sharing a Site"}));
  EXPECT_EQ(doc.sites[0][0].occupants[0].occupancy, occupancy);
  EXPECT_FALSE(doc.modified);

  // Custom symmetry: a line deleted and the group identified, then Cancel.
  CrystalRecord& old = doc.crystals[0];
  old.symmetrySource = 4;
  const CrystalRecord before = old;
  script.seen.clear();
  script.answers = {QMessageBox::Yes};
  script.dialogs = {[](QDialog* d) {
    auto* custom = qobject_cast<CustomSymmetryDialog*>(d);
    ASSERT_NE(custom, nullptr);
    custom->lineList()->setCurrentRow(1);
    custom->deleteButton()->click();
    custom->identifyButton()->click();
    d->reject();
  }};
  view->button(ControlWindowView::Symmetry)->click();
  EXPECT_EQ(script.seen.first(), "Custom Symmetry");
  EXPECT_EQ(old.xyzLines, before.xyzLines);
  EXPECT_EQ(old.hmSymbol, before.hmSymbol);
  EXPECT_EQ(old.hallSymbol, before.hallSymbol);
  EXPECT_FALSE(doc.modified);

  // Table: Cancel.
  old.symmetrySource = 1;
  script.dialogs = {reject};
  view->button(ControlWindowView::Symmetry)->click();
  EXPECT_FALSE(doc.modified);

  // No symmetry yet: the option dialog cancelled, then Cancel (Escape) to the P1 question ends it.
  old.symmetrySource = 0;
  script.seen.clear();
  script.dialogs = {reject};
  script.answers = {QMessageBox::Cancel};
  view->button(ControlWindowView::Symmetry)->click();
  EXPECT_EQ(script.seen, QStringList({"Symmetry", "A symmetry option must be selected - do you want to select space group P1 ?"}));
  EXPECT_EQ(old.symmetrySource, 0);
  EXPECT_EQ(old.xyzLines, before.xyzLines);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(s.app->mainWindow().windowTitle(), "Tessera - corundum.tsr");
}

TEST(DocumentSafety, TextWindowShortcutsActOnTheTextWindow) {
  test::StartedProgram s({}, true);
  CrystalDocument& doc = s.app->document();
  const QString report = s.home.filePath("notes.out");
  ASSERT_TRUE(test::writeBytes(report, "Al1 0.1\nO1 0.2\nAl2 0.3\n"));
  TextWindow* window = s.workspace().openTextWindow(report);
  ASSERT_NE(window, nullptr);
  QPlainTextEdit* editor = window->editor();
  s.app->mainWindow().activateWindow();
  editor->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), editor);

  QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(window->findDialog()->isVisible());
  window->findDialog()->findField()->setText("Al");
  window->findDialog()->hide();
  editor->setFocus();
  QTest::keyClick(editor, Qt::Key_F3);
  EXPECT_EQ(editor->textCursor().selectedText(), "Al");
  QTest::keyClick(editor, Qt::Key_F3);
  EXPECT_EQ(editor->textCursor().selectionStart(), 15);

  // Ctrl+S in an edited report saves the report, not the crystal document.
  const QByteArray documentBefore = readBytes(s.document);
  doc.modified = true;
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "Q1 0.4");
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(readBytes(report).endsWith("Q1 0.4"));
  EXPECT_FALSE(editor->document()->isModified());
  EXPECT_EQ(readBytes(s.document), documentBefore);
  EXPECT_TRUE(doc.modified);

  // Ctrl+P opens the print dialog.
  test::ModalScript script;
  script.dialogs = {[](QDialog* d) { d->reject(); }};
  QTest::keyClick(editor, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(script.seen.size(), 1);
}

TEST(DocumentSafety, DataFilesTheHomeFolderLacksComeFromBesideTheProgram) {
  test::StartedProgram s({}, true, TESSERA_BIN_DIR);  // the scratch home holds no data file
  test::ModalScript script;
  script.dialogs = {[](QDialog* d) {
                      qobject_cast<TableSymmetryDialog*>(d)->selectButton()->click();
                      d->reject();
                    },
                    [](QDialog* d) { d->reject(); }};  // the HALL.DAT pick list
  s.workspace().controlWindow()->button(ControlWindowView::Symmetry)->click();
  EXPECT_EQ(script.seen.size(), 2) << script.seen.join('|').toStdString();
  EXPECT_FALSE(script.seen.contains("Unable to find or open HALL.DAT file."));

  const QString cif = s.home.filePath("corundum.cif");
  ASSERT_TRUE(QFile::copy(test::examplePath("corundum.cif"), cif));
  script.seen.clear();
  script.answers = {QMessageBox::No};
  script.paths = {cif};
  script.dialogs = {};
  s.menuAction("Import", "CIF")->trigger();
  EXPECT_TRUE(s.app->document().isOpen) << script.seen.join('|').toStdString();
  EXPECT_EQ(s.app->document().fileTitle, "corundum.tsr");
}

}  // namespace
}  // namespace tessera::app
