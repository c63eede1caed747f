#pragma once
// Thin views of the "Powder Diffraction Pattern" and "Precession Pattern"
// dialog models: one widget per field, bound to the model's value.

#include <QDialog>
#include <functional>
#include <vector>

#include "core/user_interface.h"
#include "diffraction/pattern_models.h"

class QGridLayout;
class QLineEdit;

namespace tessera::app {

/// A dialog whose widgets write straight into fields of a model on OK.
class BoundDialog : public QDialog {
  Q_OBJECT
 public:
  BoundDialog(const char* title, UserInterface& ui, QWidget* parent);

 protected:
  /// A number field bound to a float (a whole number for `whole`).
  QLineEdit* numberRow(const char* label, float& value);
  QLineEdit* wholeRow(const char* label, int& value);
  /// A radio group of the texts bound to an int (index of the checked button).
  void choiceRow(const char* label, const std::vector<const char*>& texts, int& value);
  /// A list bound to an int.
  void listRow(const char* label, const std::vector<const char*>& texts, int& value);
  /// A check box bound to an int 0/1.
  void checkRow(const char* label, int& value);
  /// Adds OK and Cancel at the bottom.
  void finish();
  void accept() override;
  /// Runs after every change (enabling fields).
  std::function<void()> onChange;

 private:
  UserInterface& ui_;
  QGridLayout* grid_;
  int row_ = 0;
  std::vector<std::function<bool()>> readers_;
};

class PowderDialogView : public BoundDialog {
  Q_OBJECT
 public:
  PowderDialogView(PowderDialogModel& model, UserInterface& ui, QWidget* parent);
};

class PrecessionDialogView : public BoundDialog {
  Q_OBJECT
 public:
  PrecessionDialogView(PrecessionDialogModel& model, UserInterface& ui, QWidget* parent);
};

}  // namespace tessera::app
