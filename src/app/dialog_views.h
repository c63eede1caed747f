#pragma once
// The registry of dialog views. Logic runs a dialog model with ui.runDialog(model);
// the Qt port looks the model's dialogKind() up here and shows the view the
// factory makes. A new dialog plugs in with one line in registerDialogViews().

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "core/user_interface.h"

namespace tessera::app {

/// Makes the view of one model; the view edits the model in place and shows messages through ui.
using DialogViewFactory = std::function<std::unique_ptr<QDialog>(DialogModel& model, UserInterface& ui, QWidget* parent)>;

class DialogViewRegistry {
 public:
  /// Registers the view factory of a dialog kind (a later call for the same kind replaces it).
  void add(std::string_view kind, DialogViewFactory factory);
  /// The view of the model's kind, or nullptr when none is registered.
  std::unique_ptr<QDialog> create(DialogModel& model, UserInterface& ui, QWidget* parent) const;
  /// True when a view is registered for the kind.
  bool contains(std::string_view kind) const;

 private:
  std::map<std::string, DialogViewFactory, std::less<>> factories_;
};

/// The factory of a view class constructed as View(Model&, UserInterface&, QWidget*).
template <class View, class Model>
DialogViewFactory viewFactory() {
  return [](DialogModel& model, UserInterface& ui, QWidget* parent) -> std::unique_ptr<QDialog> {
    auto* typed = dynamic_cast<Model*>(&model);
    return typed ? std::make_unique<View>(*typed, ui, parent) : nullptr;
  };
}

/// Registers the view of every dialog the program has.
void registerDialogViews(DialogViewRegistry& registry);

}  // namespace tessera::app
