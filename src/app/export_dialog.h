#pragma once
// The view of the "Export Data File" dialog: the crystal to write, how its
// temperature factors are written, and what the chosen format supports.

#include <QDialog>
#include <array>

#include "core/user_interface.h"
#include "formats/export_framework.h"

class QCheckBox;
class QLabel;
class QRadioButton;

namespace tessera::app {

class ExportDialog : public QDialog {
  Q_OBJECT
 public:
  ExportDialog(ExportDialogModel& model, UserInterface& ui, QWidget* parent);
  /// OK: the model takes the crystal and the four temperature-factor options.
  void accept() override;

  /// 0 "Export original data", 1 "Export transformed data".
  QRadioButton* crystalButton(int choice) const { return crystal_.at(static_cast<std::size_t>(choice)); }
  /// The conversion mode 0..3.
  QRadioButton* convModeButton(int mode) const { return convMode_.at(static_cast<std::size_t>(mode)); }
  /// 0 "Prefer aniso U", 1 "Prefer aniso beta".
  QRadioButton* anisoButton(int pref) const { return aniso_.at(static_cast<std::size_t>(pref)); }
  /// 0 "Prefer iso U", 1 "Prefer iso B".
  QRadioButton* isoButton(int pref) const { return iso_.at(static_cast<std::size_t>(pref)); }
  QCheckBox* removeMultipleBox() const { return removeMultiple_; }
  /// The format's support sentence (hidden when the format has none).
  QLabel* supportLabel() const { return support_; }

 private:
  ExportDialogModel& model_;
  std::array<QRadioButton*, 2> crystal_{};
  std::array<QRadioButton*, 4> convMode_{};
  std::array<QRadioButton*, 2> aniso_{};
  std::array<QRadioButton*, 2> iso_{};
  QCheckBox* removeMultiple_;
  QLabel* support_;
};

}  // namespace tessera::app
