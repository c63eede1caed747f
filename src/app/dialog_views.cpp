#include "app/dialog_views.h"

#include "app/site_dialogs.h"
#include "app/title_axes_dialog.h"
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
}

}  // namespace tessera::app
