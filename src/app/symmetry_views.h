#pragma once
// Views of the symmetry dialogs: "Symmetry" (table or custom lines), "Space-Group
// Symmetry from Table" and "Edit Symmetry Operation Line". The "Custom Symmetry"
// view is in custom_symmetry_view.h.

#include <QDialog>
#include <array>

#include "core/user_interface.h"
#include "symmetry/symmetry_dialogs.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessera::app {

class SymmetryOptionDialog : public QDialog {
  Q_OBJECT
 public:
  SymmetryOptionDialog(SymmetryOptionModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the model takes the option checked.
  void accept() override;

  QRadioButton* optionButton(int option) const { return options_.at(static_cast<std::size_t>(option)); }

 private:
  SymmetryOptionModel& model_;
  std::array<QRadioButton*, 2> options_{};
};

class TableSymmetryDialog : public QDialog {
  Q_OBJECT
 public:
  TableSymmetryDialog(TableSymmetryModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the fields go into the model; a refused field keeps the dialog open.
  void accept() override;

  /// The field of a symbol kind: 0 H-M, 1 Hall, 2 number.
  QLineEdit* symbolField(int kind) const { return fields_.at(static_cast<std::size_t>(kind)); }
  /// The radio button choosing a symbol kind.
  QRadioButton* kindButton(int kind) const { return kinds_.at(static_cast<std::size_t>(kind)); }
  /// The radio button of a setting code: 1 volume I, 0 volume A.
  QRadioButton* settingButton(int code) const { return settings_.at(static_cast<std::size_t>(code)); }
  QPushButton* selectButton() const { return select_; }

 private:
  void takeFields();
  void loadFields();
  void select();

  TableSymmetryModel& model_;
  UserInterface& ui_;
  std::array<QLineEdit*, 3> fields_{};
  std::array<QRadioButton*, 3> kinds_{};
  std::array<QRadioButton*, 2> settings_{};
  QButtonGroup* kindGroup_;
  QButtonGroup* settingGroup_;
  QPushButton* select_;
};

class SymmetryLineDialog : public QDialog {
  Q_OBJECT
 public:
  SymmetryLineDialog(SymmetryLineModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the model takes the text.
  void accept() override;

  QLineEdit* textField() const { return text_; }
  QLabel* captionLabel() const { return caption_; }
  /// The error note, hidden while no error place is known.
  QLabel* errorNote() const { return note_; }
  /// The text up to the error, drawn like the field above it (hidden without an error).
  QLineEdit* errorText() const { return upToError_; }

 private:
  SymmetryLineModel& model_;
  QLabel* caption_;
  QLabel* note_;
  QLineEdit* upToError_;
  QLineEdit* text_;
};

}  // namespace tessera::app
