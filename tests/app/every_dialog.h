#pragma once
// One view of every dialog the program shows, each on a model filled from the
// corundum example, for the checks that go over all of them (focus chains,
// screenshots).

#include <QDialog>
#include <QPlainTextEdit>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_views.h"
#include "app/find_replace_dialog.h"
#include "app/pick_list_dialog.h"
#include "bonds/bond_dialog_model.h"
#include "commands/site_dialog_model.h"
#include "commands/title_axes.h"
#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "diffraction/metafile_command.h"
#include "diffraction/pattern_models.h"
#include "diffraction/print_graphics.h"
#include "formats/export_framework.h"
#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "support/test_paths.h"
#include "symmetry/hall_dat.h"
#include "symmetry/symmetry_dialogs.h"
#include "transform/transform_parameters_model.h"

namespace tessera::test {

struct EveryDialog {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument doc;
  app::DialogViewRegistry registry;
  std::vector<std::unique_ptr<DialogModel>> models;
  QPlainTextEdit editor;
  /// Each dialog with a short name for its file ("site", "transform", ...).
  std::vector<std::pair<std::string, std::unique_ptr<QDialog>>> dialogs;

  EveryDialog() {
    readDocumentFile(doc, exampleDocument().string(), ui);
    doc.crystals[1] = doc.crystals[0];
    app::registerDialogViews(registry);
    auto title = std::make_unique<TitleAxesModel>();
    title->loadFrom(doc);
    add("title_axes", std::move(title));
    add("site", std::make_unique<SiteDialogModel>(doc, ui, 0, false));
    auto occupant = std::make_unique<OccupantDialogModel>();
    occupant->load(doc.sites[0][0].occupants[0], 0);
    add("occupant", std::move(occupant));
    auto occupancies = std::make_unique<SiteOccupanciesModel>();
    occupancies->view = siteOccupancies(doc, 0);
    add("site_occupancies", std::move(occupancies));
    add("symmetry_option", std::make_unique<SymmetryOptionModel>());
    add("symmetry_table", std::make_unique<TableSymmetryModel>(doc.crystals[0], ui,
                                                               std::vector<std::filesystem::path>{TESSERA_BIN_DIR}));
    add("symmetry_custom", std::make_unique<CustomSymmetryModel>(doc.crystals[0], ui));
    auto line = std::make_unique<SymmetryLineModel>();
    line->lineNumber = 3;
    line->text = "-Y,X-Y,Z+1/Q";
    line->errorPosition = 12;
    add("symmetry_line", std::move(line));
    add("transform", std::make_unique<TransformParametersModel>(doc, ui));
    add("import_options", std::make_unique<ImportOptionsModel>(settings, kKindCif));
    add("import_data_sets", std::make_unique<DataSetModel>("journal.cif", std::vector<std::string>{"I", "II", "global"}));
    add("export", std::make_unique<ExportDialogModel>(doc, settings, kKindShelx));
    auto powder = std::make_unique<PowderDialogModel>();
    powder->loadFrom(doc);
    add("powder", std::move(powder));
    auto precession = std::make_unique<PrecessionDialogModel>();
    precession->loadFrom(doc);
    add("precession", std::move(precession));
    add("bonds", std::make_unique<BondDialogModel>(doc, settings));
    auto metafile = std::make_unique<MetafileDialogModel>();
    metafile->loadFrom(settings);
    add("metafile", std::move(metafile));
    auto print = std::make_unique<PrintGraphicsModel>();
    print->loadFrom(settings);
    add("print_graphics", std::move(print));
    editor.setPlainText("Al1 0.1\nO1 0.2\n");
    auto find = std::make_unique<app::FindReplaceDialog>(editor, nullptr);
    find->open(true);  // the Replace layout, with the focus in the find field
    dialogs.emplace_back("find_replace", std::move(find));
    dialogs.emplace_back("select_space_group",
                         std::make_unique<app::PickListDialog>(kHallDatHeading, hallDatLines(hallDatText()), 167, nullptr));
  }

  void add(const std::string& name, std::unique_ptr<DialogModel> model) {
    dialogs.emplace_back(name, registry.create(*model, ui, nullptr));
    models.push_back(std::move(model));
  }
};

}  // namespace tessera::test
