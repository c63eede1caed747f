#pragma once
// The view of "Transformation Parameters": the matrix, the three translations,
// the tolerance, the mode and the standard matrices, with Clear, Symmetry,
// Transform HKL File, Transform and Cancel. Fields go into the model when a
// button needs them; a refused value keeps the dialog open at its field.

#include <QDialog>
#include <array>

#include "core/user_interface.h"
#include "transform/transform_parameters_model.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tessera::app {

class TransformParametersDialog : public QDialog {
  Q_OBJECT
 public:
  /// The translations in the order shown.
  enum Translation { PreSymmetry, PreMatrix, PostMatrix };

  TransformParametersDialog(TransformParametersModel& model, UserInterface& ui, QWidget* parent);
  /// "Transform": the fields go into the model; a refused field keeps the dialog open.
  void accept() override;

  QLineEdit* matrixField(int row, int column) const { return matrix_.at(static_cast<std::size_t>(3 * row + column)); }
  QLineEdit* translationField(Translation t, int axis) const {
    return shifts_.at(static_cast<std::size_t>(3 * t + axis));
  }
  QLineEdit* toleranceField() const { return tolerance_; }
  QRadioButton* modeButton(int mode) const { return modes_.at(static_cast<std::size_t>(mode)); }
  QListWidget* standardList() const { return standards_; }
  QLabel* symmetryLine() const { return symmetryLine_; }
  QPushButton* clearButton() const { return clear_; }
  QPushButton* symmetryButton() const { return symmetry_; }
  QPushButton* hklButton() const { return hkl_; }
  QPushButton* transformButton() const { return transform_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildMatrixBox();
  QWidget* buildTranslationBox();
  QWidget* buildModeBox();
  QLayout* buildStandardList();
  bool takeFields();
  void loadMatrix();
  void loadTranslations();
  void chooseStandard(int row);
  void clear();
  void runSymmetry();
  void transformHkl();

  TransformParametersModel& model_;
  UserInterface& ui_;
  std::array<QLineEdit*, 9> matrix_{};
  std::array<QLineEdit*, 9> shifts_{};
  QLineEdit* tolerance_;
  std::array<QRadioButton*, 3> modes_{};
  QButtonGroup* modeGroup_;
  QListWidget* standards_;
  QLabel* symmetryLine_;
  QPushButton* clear_;
  QPushButton* symmetry_;
  QPushButton* hkl_;
  QPushButton* transform_;
};

}  // namespace tessera::app
