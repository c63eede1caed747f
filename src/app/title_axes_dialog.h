#pragma once
// The view of the "Title/Structure Axes" dialog: binds a TitleAxesModel to
// widgets. Fields the axes choice does not use are hidden with their labels.

#include <QDialog>
#include <array>

#include "commands/title_axes.h"
#include "core/user_interface.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tessera::app {

class TitleAxesDialog : public QDialog {
  Q_OBJECT
 public:
  TitleAxesDialog(TitleAxesModel& model, UserInterface& ui, QWidget* parent);

  /// OK: the model takes the fields; a refused field keeps the dialog open with its message.
  void accept() override;

  QLineEdit* titleEdit() const { return title_; }
  QComboBox* axesList() const { return axes_; }
  QLineEdit* cellEdit(int field) const { return cellEdits_.at(static_cast<std::size_t>(field)); }
  QLabel* cellLabel(int field) const { return cellLabels_.at(static_cast<std::size_t>(field)); }

 private:
  void showFieldsOfChoice(int choice);

  TitleAxesModel& model_;
  UserInterface& ui_;
  QLineEdit* title_;
  QComboBox* axes_;
  std::array<QLineEdit*, TitleAxesModel::kFieldCount> cellEdits_{};
  std::array<QLabel*, TitleAxesModel::kFieldCount> cellLabels_{};
};

}  // namespace tessera::app
