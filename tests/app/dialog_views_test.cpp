// The dialog views on their models: what they show, what they hand back and what
// they refuse; the text window with its find and replace.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

#include "app/export_dialog.h"
#include "app/file_filter.h"
#include "app/find_replace_dialog.h"
#include "app/import_dialogs_view.h"
#include "app/site_dialogs.h"
#include "app/text_window.h"
#include "app/title_axes_dialog.h"
#include "commands/site_dialog_model.h"
#include "commands/title_axes.h"
#include "core/scripted_user_interface.h"
#include "formats/import_kinds.h"
#include "gui_support.h"

namespace tessera::app {
namespace {

TEST(ImportViews, OptionsAndDataSetDialogsFillTheirModels) {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  settings.importExtensions[kKindShelx] = ".res";
  settings.symmetrySourcePref = 1;
  ImportOptionsModel model(settings, kKindShelx);
  ImportOptionsDialog view(model, ui, nullptr);
  view.show();
  EXPECT_EQ(view.captionLabel()->text(), "Import SHELX-93 file");
  EXPECT_EQ(view.extensionField()->text(), ".res");
  EXPECT_EQ(view.focusWidget(), view.extensionField());
  EXPECT_TRUE(view.symmetryButton(1)->isChecked() && view.typeButton(0)->isChecked());
  // Four characters at most; the two pairs are separate choices; Enter accepts.
  view.extensionField()->selectAll();
  QTest::keyClicks(view.extensionField(), "shelx");
  view.symmetryButton(0)->click();
  view.typeButton(1)->click();
  EXPECT_TRUE(view.symmetryButton(0)->isChecked());
  QTest::keyClick(view.extensionField(), Qt::Key_Return);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(model.extension, "shel");
  EXPECT_EQ(model.symmetrySourcePref, 0);
  EXPECT_EQ(model.typeNumberSource, 1);

  DataSetModel sets("/data/three.cif", {"first_block", "second phase", "third"});
  sets.selection = 2;
  DataSetDialog chooser(sets, ui, nullptr);
  EXPECT_EQ(chooser.fileLabel()->text(), "File: /data/three.cif");
  ASSERT_EQ(chooser.list()->count(), 3);
  EXPECT_EQ(chooser.list()->item(1)->text(), "  2   second phase");
  EXPECT_EQ(chooser.list()->currentRow(), 1);
  chooser.list()->setCurrentRow(2);
  chooser.accept();
  EXPECT_EQ(sets.selection, 3);
  DataSetModel none("/data/none.cif", {});
  DataSetDialog empty(none, ui, nullptr);
  empty.accept();  // nothing chosen, nothing accepted
  EXPECT_NE(empty.result(), QDialog::Accepted);
}

TEST(ExportViews, DialogShowsAndTakesTheOptions) {
  ScriptedUserInterface ui;
  CrystalDocument doc;
  ProgramSettings settings;
  settings.convMode = 2;
  settings.anisoPref = 1;
  settings.removeMultipleOccupancies = true;
  ExportDialogModel model(doc, settings, kKindShelx);
  ExportDialog view(model, ui, nullptr);
  // The Old crystal (no New sites) and the stored options.
  EXPECT_TRUE(view.crystalButton(0)->isChecked() && view.convModeButton(2)->isChecked() && view.anisoButton(1)->isChecked() &&
              view.isoButton(0)->isChecked() && view.removeMultipleBox()->isChecked());
  EXPECT_EQ(view.supportLabel()->text(), "SHELX-93 files support U iso and U aniso");
  // Each pair is a choice of its own.
  view.crystalButton(1)->click();
  view.convModeButton(3)->click();
  view.anisoButton(0)->click();
  view.isoButton(1)->click();
  EXPECT_TRUE(view.crystalButton(1)->isChecked() && view.anisoButton(0)->isChecked());
  view.removeMultipleBox()->click();
  view.accept();
  EXPECT_EQ(std::tuple(model.crystalChoice, model.convMode, model.anisoPref, model.isoPref, model.removeMultipleOccupancies),
            std::tuple(1, 3, 0, 1, false));

  // New sites preselect the transformed data; a kind without a support row shows no sentence.
  doc.sites[1].resize(1);
  ExportDialogModel fresh(doc, ProgramSettings{}, kKindCcdcFdat);
  ExportDialog freshView(fresh, ui, nullptr);
  EXPECT_TRUE(freshView.crystalButton(1)->isChecked());
  EXPECT_TRUE(freshView.supportLabel()->isHidden());
}

TEST(SiteDialog, TypedFieldsWalkAndStoreThroughTheModel) {
  CrystalDocument doc;
  Site first;
  first.ortepType = -1;
  doc.sites[0].push_back(first);
  ScriptedUserInterface ui;
  SiteDialogModel model(doc, ui, 0, true);
  SiteDialog dialog(model, ui, nullptr);
  dialog.show();
  EXPECT_EQ(dialog.heading()->text(), "Add input atom (site) no. 1");
  EXPECT_EQ(dialog.forwardButton()->text(), "&New");

  dialog.labelEdit()->setText("Na1");
  dialog.coordinateEdit(0)->setText("0.25");
  // "New" asks to save the changed site (Yes by default) and moves to a fresh site 2.
  QTest::mouseClick(dialog.forwardButton(), Qt::LeftButton);
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Save changes to current atom ?"});
  ASSERT_EQ(doc.siteCount(), 2);
  EXPECT_EQ(doc.sites[0][0].label, "Na1");
  EXPECT_FLOAT_EQ(doc.sites[0][0].x, 0.25f);
  EXPECT_EQ(dialog.heading()->text(), "Add input atom (site) no. 2");
  EXPECT_EQ(dialog.labelEdit()->text(), "");

  dialog.labelEdit()->setText("Cl1");
  dialog.ortepEdit()->setText("-1");
  dialog.accept();
  model.accept();
  EXPECT_EQ(doc.sites[0][1].label, "Cl1");
  ASSERT_EQ(doc.sites[0][1].occupantCount(), 1);
}

TEST(SiteDialog, OccupantViewStoresIntoTheModel) {
  OccupantDialogModel model;
  model.index = 2;
  ScriptedUserInterface ui;
  OccupantDialog dialog(model, ui, nullptr);
  auto edits = dialog.findChildren<QLineEdit*>();
  ASSERT_EQ(edits.size(), 6);
  edits[0]->setText("Mn2");
  edits[2]->setText("Mn");
  edits[3]->setText("0.3");
  dialog.accept();
  EXPECT_EQ(model.label, "Mn2");
  EXPECT_EQ(model.element, "Mn");
  EXPECT_FLOAT_EQ(model.occupancy, 0.3f);
  edits[3]->setText("abc");
  dialog.accept();
  EXPECT_EQ(ui.messages().back(), "Please enter a number.");
}

TEST(TitleAxesDialog, FieldsFollowTheAxesChoiceAndOkChecksRanges) {
  TitleAxesModel model;
  model.title = "Corundum";
  model.axesChoice = 7;
  model.cell = {4.7602f, 4.7602f, 12.9933f, 90, 90, 120};
  ScriptedUserInterface ui;
  TitleAxesDialog dialog(model, ui, nullptr);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  EXPECT_EQ(dialog.focusWidget(), dialog.titleEdit());
  EXPECT_EQ(dialog.titleEdit()->maxLength(), 80);
  EXPECT_EQ(dialog.axesList()->currentText(), "hexagonal");
  EXPECT_EQ(dialog.cellEdit(TitleAxesModel::kC)->text(), "12.9933");
  // hexagonal: a and c only, labels hidden with their fields
  for (int k = 0; k < 6; ++k) {
    const bool shown = k == TitleAxesModel::kA || k == TitleAxesModel::kC;
    EXPECT_EQ(dialog.cellEdit(k)->isVisible(), shown) << k;
    EXPECT_EQ(dialog.cellLabel(k)->isVisible(), shown) << k;
  }
  dialog.axesList()->setCurrentIndex(2);  // monoclinic: all six
  for (int k = 0; k < 6; ++k) EXPECT_TRUE(dialog.cellLabel(k)->isVisible()) << k;

  dialog.cellEdit(TitleAxesModel::kBeta)->setText("200");
  QTest::keyClick(dialog.cellEdit(TitleAxesModel::kA), Qt::Key_Return);  // Enter is OK
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Please enter a number between 0.1 and 180."});
  EXPECT_EQ(dialog.focusWidget(), dialog.cellEdit(TitleAxesModel::kBeta));
  EXPECT_EQ(model.axesChoice, 7);  // nothing taken while refused

  // Cubic hides the refused beta: rubbish left in hidden fields does not block OK.
  dialog.axesList()->setCurrentIndex(8);
  dialog.cellEdit(TitleAxesModel::kGamma)->setText("not a number");
  dialog.cellEdit(TitleAxesModel::kA)->setText("5");
  dialog.titleEdit()->setText("Cubic now");
  QTest::keyClick(dialog.titleEdit(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(model.axesChoice, 8);
  EXPECT_EQ(model.title, "Cubic now");
  EXPECT_FLOAT_EQ(model.cell[TitleAxesModel::kA], 5.0f);
}

TEST(FileFilter, ProgramFiltersBecomeQtFilters) {
  EXPECT_EQ(qtNameFilters("Data files (*.tsr)|*.tsr|All Files (*.*)|*.*||"),
            (QStringList{"Data files (*.tsr)", "All Files (*)"}));
  EXPECT_EQ(qtFilter("SHELX files (*.ins)|*.ins;*.res|All Files (*.*)|*.*||"),
            "SHELX files (*.ins *.res);;All Files (*)");
  EXPECT_TRUE(qtNameFilters("").isEmpty());
}

TEST(TextWindow, EditFindReplaceAndSave) {
  QTemporaryDir dir;
  const QString path = dir.filePath("quartz.out");
  ASSERT_TRUE(test::writeBytes(path, "Si1 0.47\nO1 0.41\nsi2 0.1\n"));
  TextWindow window;
  EXPECT_FALSE(window.load(dir.filePath("missing.out")));
  ASSERT_TRUE(window.load(path));
  EXPECT_EQ(window.windowTitle(), "Tessera Output - quartz.out[*]");

  FindReplaceDialog* find = window.findDialog();
  find->findField()->setText("Si");
  EXPECT_TRUE(find->findNext());
  EXPECT_EQ(window.editor()->textCursor().selectionStart(), 0);
  EXPECT_TRUE(find->findNext());  // "si2": case is ignored unless asked
  EXPECT_EQ(window.editor()->textCursor().selectionStart(), 17);
  EXPECT_TRUE(find->findNext());  // wraps round to the top
  EXPECT_EQ(window.editor()->textCursor().selectionStart(), 0);

  find->replaceField()->setText("Ge");
  EXPECT_EQ(find->replaceAll(), 2);
  EXPECT_EQ(window.editor()->toPlainText(), "Ge1 0.47\nO1 0.41\nGe2 0.1\n");
  window.editor()->undo();  // one step undoes the whole replacement
  EXPECT_EQ(window.editor()->toPlainText(), "Si1 0.47\nO1 0.41\nsi2 0.1\n");

  window.editor()->appendPlainText("added");
  EXPECT_TRUE(window.save());
  EXPECT_EQ(test::readBytes(path), "Si1 0.47\nO1 0.41\nsi2 0.1\n\nadded");
  EXPECT_FALSE(window.editor()->document()->isModified());
}

}  // namespace
}  // namespace tessera::app
