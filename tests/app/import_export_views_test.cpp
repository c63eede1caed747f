#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <tuple>

#include "app/export_dialog.h"
#include "app/import_dialogs_view.h"
#include "core/scripted_user_interface.h"
#include "formats/import_kinds.h"

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

}  // namespace
}  // namespace tessera::app
