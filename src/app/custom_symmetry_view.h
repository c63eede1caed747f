#pragma once
// The view of "Custom Symmetry": the symbol, centric or acentric, the Bravais
// lattice and the operation lines, with the buttons that add, edit and delete
// lines, name the group of the lines or go back to the option dialog.

#include <QDialog>

#include "core/user_interface.h"
#include "symmetry/symmetry_dialogs.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tessera::app {

class CustomSymmetryDialog : public QDialog {
  Q_OBJECT
 public:
  CustomSymmetryDialog(CustomSymmetryModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the fields go into the model (the command stores them).
  void accept() override;

  /// The list row of a line as shown: its 1-based number and text.
  static QString lineRow(int j, const std::string& line);

  QLineEdit* symbolField() const { return symbol_; }
  QRadioButton* centricButton() const { return centric_; }
  QRadioButton* acentricButton() const { return acentric_; }
  QComboBox* latticeList() const { return lattice_; }
  QListWidget* lineList() const { return lines_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* editButton() const { return edit_; }
  QPushButton* deleteButton() const { return delete_; }
  QPushButton* identifyButton() const { return identify_; }
  QPushButton* changeOptionButton() const { return changeOption_; }

 private:
  void takeFields();
  void loadFields();
  void refreshLines(int select);
  void updateLineButtons();
  void addLine();
  void editLine();
  void deleteLine();
  void identify();
  void changeOption();

  CustomSymmetryModel& model_;
  QLineEdit* symbol_;
  QRadioButton* centric_;
  QRadioButton* acentric_;
  QComboBox* lattice_;
  QListWidget* lines_;
  QPushButton* add_;
  QPushButton* edit_;
  QPushButton* delete_;
  QPushButton* identify_;
  QPushButton* changeOption_;
};

}  // namespace tessera::app
