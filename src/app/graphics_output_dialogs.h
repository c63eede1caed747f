#pragma once
// Thin views of the "Metafiles" and "Print Graphics Image" dialog models: the
// frame fields show lengths kept in inches in the chosen units.

#include <QDialog>
#include <optional>
#include <vector>

#include "core/user_interface.h"
#include "diffraction/metafile_command.h"
#include "diffraction/print_graphics.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace tessera::app {

/// Number fields holding lengths kept in inches, shown in units of `perInch`.
class LengthFields {
 public:
  void add(QLineEdit* field, double inches, double perInch);
  /// Shows the fields in new units (values that do not read stay as typed).
  void rescale(double oldPerInch, double newPerInch);
  /// The values in inches, or nothing (message shown, field focused) when one does not read.
  std::optional<std::vector<double>> read(double perInch, UserInterface& ui) const;

 private:
  std::vector<QLineEdit*> fields_;
};

class MetafileDialogView : public QDialog {
  Q_OBJECT
 public:
  MetafileDialogView(MetafileDialogModel& model, UserInterface& ui, QWidget* parent);
  void accept() override;

 private:
  MetafileDialogModel& model_;
  UserInterface& ui_;
  QButtonGroup* destination_;
  QButtonGroup* colour_;
  QButtonGroup* units_;
  QButtonGroup* type_;
  QButtonGroup* scaling_;
  LengthFields frame_;
  int shownUnits_;
};

class PrintGraphicsView : public QDialog {
  Q_OBJECT
 public:
  PrintGraphicsView(PrintGraphicsModel& model, UserInterface& ui, QWidget* parent);
  void accept() override;

 private:
  PrintGraphicsModel& model_;
  UserInterface& ui_;
  QButtonGroup* output_;
  QButtonGroup* units_;
  QCheckBox* standard_;
  QCheckBox* colour_;
  LengthFields frame_;
};

}  // namespace tessera::app
