#pragma once
// The view of the "Bond Lengths and Angles" dialog: binds a BondDialogModel to
// two radio pairs, the atom number, the three limits and the angles check box.

#include <QDialog>
#include <array>

#include "bonds/bond_dialog_model.h"
#include "core/user_interface.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tessera::app {

class BondDialog : public QDialog {
  Q_OBJECT
 public:
  BondDialog(BondDialogModel& model, UserInterface& ui, QWidget* parent);

  /// OK: refused numbers and the missing New atoms keep the dialog open with their message.
  void accept() override;

  /// 0 "Old input atoms", 1 "New input atoms".
  QRadioButton* crystalButton(int i) const { return crystal_.at(static_cast<std::size_t>(i)); }
  /// 0 "All atoms", 1 "Selected atom only:".
  QRadioButton* atomsButton(int i) const { return atoms_.at(static_cast<std::size_t>(i)); }
  QLineEdit* atomField() const { return atom_; }
  /// 0 central-ligand, 1 ligand-ligand, 2 angles.
  QLineEdit* limitField(int i) const { return limits_.at(static_cast<std::size_t>(i)); }
  QCheckBox* anglesBox() const { return angles_; }

 private:
  BondDialogModel& model_;
  UserInterface& ui_;
  std::array<QRadioButton*, 2> crystal_{};
  std::array<QRadioButton*, 2> atoms_{};
  QLineEdit* atom_;
  std::array<QLineEdit*, 3> limits_{};
  QCheckBox* angles_;
};

}  // namespace tessera::app
