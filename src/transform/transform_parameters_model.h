#pragma once
// The "Transformation Parameters" dialog as a model: the matrix, the three
// translations, the tolerance and the mode, with the standard matrices, Clear,
// Symmetry and Transform HKL File buttons. The view binds widgets to it.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "transform/transform_engine.h"
#include "transform/transform_parameters.h"

namespace tessera {

class TransformParametersModel : public DialogModel {
 public:
  /// Runs the symmetry dialogs on the document's New crystal (the document's activeCrystal is 1).
  using SymmetryAction = std::function<void(CrystalDocument&, UserInterface&)>;

  /// A model holding copies of the document's parameters.
  TransformParametersModel(CrystalDocument& doc, UserInterface& ui, SymmetryAction symmetry = {});

  static constexpr std::string_view kKind = "TransformationParameters";
  std::string_view dialogKind() const override { return kKind; }
  /// Window title.
  static constexpr const char* kTitle = "Transformation Parameters";
  /// Texts of the mode choice, by mode number.
  static const std::vector<std::string>& modeNames();
  /// Texts of the "Standard Matrices:" list.
  static std::vector<std::string> standardMatrixNames();

  /// The values shown (the view reads them; the setters below change them).
  const Transformation& values() const { return values_; }

  /// Setters return the refusal message when the value is refused (the value stays).
  std::optional<std::string> setMatrixEntry(int row, int column, double value);
  std::optional<std::string> setPreSymmetryShift(int axis, double value);
  std::optional<std::string> setPreMatrixShift(int axis, double value);
  std::optional<std::string> setPostMatrixShift(int axis, double value);
  std::optional<std::string> setTolerance(double value);
  std::optional<std::string> setMode(int mode);

  /// Lowest and highest post-matrix translation along an axis (0 a, 1 b, 2 c).
  static std::pair<double, double> postMatrixRange(int axis);
  /// The refusal text for a post-matrix value outside its range.
  static std::string rangeMessage(int axis);

  /// The list entry picked (0-based), or -1 while none is (the state on opening).
  int selectedStandard() const { return selectedStandard_; }
  /// Picks a standard matrix: asks to replace the matrix; OK copies its nine values.
  bool chooseStandardMatrix(int index);
  /// "Clear": asks; OK resets the New crystal to the Old one, the matrix and translations.
  bool clear();
  /// "Symmetry": the symmetry dialogs on the New crystal; the symmetry line follows.
  void runSymmetry();
  /// "Transform HKL File": takes the values into the document and transforms an HKL file.
  bool transformHklFile();

  /// "Symmetry - Space group: %s" / "Symmetry - Custom: %s" of the New crystal, or "".
  std::string symmetryLine() const;

  /// Writes the values into the document's transformation record ("Transform").
  void applyTo(CrystalDocument& doc) const;
  /// The refusal of "Transform" for values no mode can run (a singular matrix outside
  /// "Translation only"), so that the dialog stays open; nothing when they can run.
  std::optional<std::string> refusal() const;

 private:
  static std::optional<std::string> checkNumber(double value);
  CrystalDocument& doc_;
  UserInterface& ui_;
  SymmetryAction symmetry_;
  Transformation values_;
  int selectedStandard_ = -1;
};

/// The Transform button: runs the dialog and, on "Transform", stores the values and runs
/// the transformation (the caller shows the report when reportEnabled is set); nullopt
/// when the dialog was cancelled.
std::optional<TransformOutcome> transformCommand(CrystalDocument& doc, UserInterface& ui,
                                                 TransformParametersModel::SymmetryAction symmetry = {},
                                                 const TransformOptions& options = {});

}  // namespace tessera
