#include "app/dialog_views.h"

#include "app/bond_dialog.h"
#include "app/custom_symmetry_view.h"
#include "app/export_dialog.h"
#include "app/graphics_output_dialogs.h"
#include "app/import_dialogs_view.h"
#include "app/pattern_dialogs.h"
#include "app/site_dialogs.h"
#include "app/symmetry_views.h"
#include "app/title_axes_dialog.h"
#include "app/transform_dialog.h"
#include "commands/title_axes.h"

namespace tessera::app {

void DialogViewRegistry::add(std::string_view kind, DialogViewFactory factory) {
  factories_[std::string(kind)] = std::move(factory);
}

std::unique_ptr<QDialog> DialogViewRegistry::create(DialogModel& model, UserInterface& ui, QWidget* parent) const {
  const auto it = factories_.find(model.dialogKind());
  return it == factories_.end() ? nullptr : it->second(model, ui, parent);
}

bool DialogViewRegistry::contains(std::string_view kind) const { return factories_.find(kind) != factories_.end(); }

void registerDialogViews(DialogViewRegistry& registry) {
  registry.add(TitleAxesModel::kKind, viewFactory<TitleAxesDialog, TitleAxesModel>());
  registry.add(SiteDialogModel::kKind, viewFactory<SiteDialog, SiteDialogModel>());
  registry.add(OccupantDialogModel::kKind, viewFactory<OccupantDialog, OccupantDialogModel>());
  registry.add(SiteOccupanciesModel::kKind, viewFactory<SiteOccupanciesDialog, SiteOccupanciesModel>());
  registry.add(SymmetryOptionModel::kKind, viewFactory<SymmetryOptionDialog, SymmetryOptionModel>());
  registry.add(TableSymmetryModel::kKind, viewFactory<TableSymmetryDialog, TableSymmetryModel>());
  registry.add(CustomSymmetryModel::kKind, viewFactory<CustomSymmetryDialog, CustomSymmetryModel>());
  registry.add(SymmetryLineModel::kKind, viewFactory<SymmetryLineDialog, SymmetryLineModel>());
  registry.add(TransformParametersModel::kKind, viewFactory<TransformParametersDialog, TransformParametersModel>());
  registry.add(ImportOptionsModel::kKind, viewFactory<ImportOptionsDialog, ImportOptionsModel>());
  registry.add(DataSetModel::kKind, viewFactory<DataSetDialog, DataSetModel>());
  registry.add(ExportDialogModel::kKind, viewFactory<ExportDialog, ExportDialogModel>());
  registry.add(PowderDialogModel::kKind, viewFactory<PowderDialogView, PowderDialogModel>());
  registry.add(PrecessionDialogModel::kKind, viewFactory<PrecessionDialogView, PrecessionDialogModel>());
  registry.add(BondDialogModel::kKind, viewFactory<BondDialog, BondDialogModel>());
  registry.add(MetafileDialogModel::kKind, viewFactory<MetafileDialogView, MetafileDialogModel>());
  registry.add(PrintGraphicsModel::kKind, viewFactory<PrintGraphicsView, PrintGraphicsModel>());
}

}  // namespace tessera::app
