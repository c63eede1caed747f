#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/export_dialog.h"
#include "app/import_dialogs_view.h"
#include "core/scripted_user_interface.h"
#include "formats/import_kinds.h"

namespace tessera::app {
namespace {

TEST(ImportViews, OptionsDialogShowsAndTakesTheOptions) {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  settings.importExtensions[kKindShelx] = ".res";
  settings.symmetrySourcePref = 1;
  ImportOptionsModel model(settings, kKindShelx);
  ImportOptionsDialog view(model, ui, nullptr);
  view.show();
  EXPECT_EQ(view.windowTitle(), "Import File");
  EXPECT_EQ(view.captionLabel()->text(), "Import SHELX-93 file");
  EXPECT_EQ(view.extensionField()->text(), ".res");
  EXPECT_EQ(view.focusWidget(), view.extensionField());
  EXPECT_TRUE(view.symmetryButton(1)->isChecked());
  EXPECT_TRUE(view.typeButton(0)->isChecked());

  // The field holds four characters; the two pairs are separate choices.
  view.extensionField()->selectAll();
  QTest::keyClicks(view.extensionField(), "shelx");
  EXPECT_EQ(view.extensionField()->text(), "shel");
  view.symmetryButton(0)->click();
  view.typeButton(1)->click();
  EXPECT_TRUE(view.symmetryButton(0)->isChecked());
  EXPECT_TRUE(view.typeButton(1)->isChecked());
  QTest::keyClick(view.extensionField(), Qt::Key_Return);  // Enter accepts
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(model.extension, "shel");
  EXPECT_EQ(model.symmetrySourcePref, 0);
  EXPECT_EQ(model.typeNumberSource, 1);
  model.apply(settings);
  EXPECT_EQ(settings.importExtensions[kKindShelx], ".she");
}

TEST(ImportViews, DataSetDialogReturnsTheChosenLine) {
  ScriptedUserInterface ui;
  DataSetModel model("/data/three.cif", {"first_block", "second phase", "third"});
  model.selection = 2;
  DataSetDialog view(model, ui, nullptr);
  EXPECT_EQ(view.windowTitle(), "Data Sets, Phases or Crystals in Import File");
  EXPECT_EQ(view.fileLabel()->text(), "File: /data/three.cif");
  ASSERT_EQ(view.list()->count(), 3);
  EXPECT_EQ(view.list()->item(1)->text(), "  2   second phase");
  EXPECT_TRUE(QFontInfo(view.list()->font()).fixedPitch());
  EXPECT_EQ(view.list()->currentRow(), 1);
  view.list()->setCurrentRow(2);
  view.accept();
  EXPECT_EQ(model.selection, 3);

  // Nothing to choose: OK stays off and cannot accept.
  DataSetModel empty("/data/none.cif", {});
  DataSetDialog emptyView(empty, ui, nullptr);
  emptyView.accept();
  EXPECT_NE(emptyView.result(), QDialog::Accepted);
}

TEST(ExportViews, DialogShowsTheOptionsAndTheFormatsSupport) {
  ScriptedUserInterface ui;
  CrystalDocument doc;
  ProgramSettings settings;
  settings.convMode = 2;
  settings.anisoPref = 1;
  settings.isoPref = 1;
  settings.removeMultipleOccupancies = true;
  ExportDialogModel model(doc, settings, kKindShelx);
  ExportDialog view(model, ui, nullptr);
  EXPECT_EQ(view.windowTitle(), "Export Data File");
  // Without New sites the original data come preselected.
  EXPECT_TRUE(view.crystalButton(0)->isChecked());
  EXPECT_TRUE(view.convModeButton(2)->isChecked());
  EXPECT_TRUE(view.anisoButton(1)->isChecked());
  EXPECT_TRUE(view.isoButton(1)->isChecked());
  EXPECT_TRUE(view.removeMultipleBox()->isChecked());
  EXPECT_EQ(view.supportLabel()->text(), "SHELX-93 files support U iso and U aniso");
  EXPECT_EQ(view.convModeButton(1)->text().remove('&'), "Convert iso/iso aniso/aniso");
  EXPECT_EQ(view.isoButton(0)->text().remove('&'), "Prefer iso U");

  // Each pair is its own choice: changing one leaves the others alone.
  view.crystalButton(1)->click();
  view.convModeButton(3)->click();
  view.anisoButton(0)->click();
  EXPECT_TRUE(view.isoButton(1)->isChecked());
  EXPECT_TRUE(view.crystalButton(1)->isChecked());
  view.isoButton(0)->click();
  view.removeMultipleBox()->click();
  view.accept();
  EXPECT_EQ(model.crystalChoice, 1);
  EXPECT_EQ(model.convMode, 3);
  EXPECT_EQ(model.anisoPref, 0);
  EXPECT_EQ(model.isoPref, 0);
  EXPECT_FALSE(model.removeMultipleOccupancies);

  // New sites preselect the transformed data; a kind without a support row shows no sentence.
  doc.sites[1].resize(1);
  ExportDialogModel fresh(doc, ProgramSettings{}, kKindCcdcFdat);
  ExportDialog freshView(fresh, ui, nullptr);
  EXPECT_TRUE(freshView.crystalButton(1)->isChecked());
  EXPECT_TRUE(freshView.convModeButton(0)->isChecked());
  EXPECT_TRUE(freshView.supportLabel()->isHidden());
}

}  // namespace
}  // namespace tessera::app
