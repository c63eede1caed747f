#pragma once
// The UI port on Qt widgets: message boxes with the exact texts and buttons,
// file dialogs, a pick list, dialog views found in the registry, wait cursor.

#include <QPointer>
#include <QWidget>
#include <string>
#include <utility>

#include "app/dialog_views.h"
#include "core/user_interface.h"

namespace tessera::app {

class QtUserInterface : public UserInterface {
 public:
  explicit QtUserInterface(const DialogViewRegistry& registry) : registry_(registry) {}

  /// The window the modal boxes and dialogs belong to.
  void setParentWidget(QWidget* parent) { parent_ = parent; }
  QWidget* parentWidget() const { return parent_; }

  void message(std::string_view text) override;
  Answer ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> openFile(const FileRequest& request) override;
  std::optional<std::string> saveFile(const FileRequest& request) override;
  int choose(std::string_view title, const std::vector<std::string>& items, int preselected) override;
  bool runDialog(DialogModel& model) override;
  void setBusy(bool busy) override;
  /// The command running now: message boxes carry "Tessera - <command>" as their title
  /// (empty: "Tessera"). Returns the name it replaces.
  std::string setCommandName(std::string name) { return std::exchange(command_, std::move(name)); }
  /// True for a message that reports a failure or a warning (shown with the warning icon).
  static bool isWarning(std::string_view text);
  /// The path the last save-file dialog gave (for the status bar's confirmation).
  const std::string& lastSaveFile() const { return lastSaveFile_; }
  /// The file the next open-file request takes without a dialog (a dropped file); nothing clears it.
  void presetOpenFile(std::optional<std::string> path) { presetOpenFile_ = std::move(path); }

 private:
  class NormalCursor;
  QString boxTitle() const;
  std::optional<std::string> runFileDialog(const FileRequest& request, bool save);

  const DialogViewRegistry& registry_;
  QPointer<QWidget> parent_;
  int busyDepth_ = 0;
  std::optional<std::string> presetOpenFile_;
  std::string command_;
  std::string lastSaveFile_;
};

}  // namespace tessera::app
