#include "transform/transform_parameters_model.h"

#include <cmath>

#include "core/text.h"
#include "transform/hkl_transform.h"

namespace tessera {

namespace {

bool validAxis(int axis) { return axis >= 0 && axis < 3; }

}  // namespace

TransformParametersModel::TransformParametersModel(CrystalDocument& doc, UserInterface& ui, SymmetryAction symmetry)
    : doc_(doc), ui_(ui), symmetry_(std::move(symmetry)), values_(doc.transformation) {}

const std::vector<std::string>& TransformParametersModel::modeNames() {
  static const std::vector<std::string> names = {"Translation only", "Input atoms only", "Full unit cells"};
  return names;
}

std::vector<std::string> TransformParametersModel::standardMatrixNames() {
  std::vector<std::string> names;
  for (const StandardMatrix& m : standardMatrices()) names.emplace_back(m.listText);
  return names;
}

std::optional<std::string> TransformParametersModel::checkNumber(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return std::string("Please enter a number.");
  return std::nullopt;
}

std::optional<std::string> TransformParametersModel::setMatrixEntry(int row, int column, double value) {
  if (!validAxis(row) || !validAxis(column)) return std::string("Please enter a number.");
  if (auto e = checkNumber(value)) return e;
  values_.matrix[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = static_cast<float>(value);
  return std::nullopt;
}

std::optional<std::string> TransformParametersModel::setPreSymmetryShift(int axis, double value) {
  if (!validAxis(axis)) return std::string("Please enter a number.");
  if (auto e = checkNumber(value)) return e;
  values_.preSymmetryShift[static_cast<std::size_t>(axis)] = static_cast<float>(value);
  return std::nullopt;
}

std::optional<std::string> TransformParametersModel::setPreMatrixShift(int axis, double value) {
  if (!validAxis(axis)) return std::string("Please enter a number.");
  if (auto e = checkNumber(value)) return e;
  values_.preMatrixShift[static_cast<std::size_t>(axis)] = static_cast<float>(value);
  return std::nullopt;
}

std::pair<double, double> TransformParametersModel::postMatrixRange(int axis) {
  return {-0.99999, axis == 1 ? 0.999999 : 0.99999};
}

std::string TransformParametersModel::rangeMessage(int axis) {
  const auto [low, high] = postMatrixRange(axis);
  return format("Please enter a number between %g and %g.", low, high);
}

std::optional<std::string> TransformParametersModel::setPostMatrixShift(int axis, double value) {
  if (!validAxis(axis)) return std::string("Please enter a number.");
  if (auto e = checkNumber(value)) return e;
  const auto [low, high] = postMatrixRange(axis);
  if (value < low || value > high) return rangeMessage(axis);
  values_.postMatrixShift[static_cast<std::size_t>(axis)] = static_cast<float>(value);
  return std::nullopt;
}

std::optional<std::string> TransformParametersModel::setTolerance(double value) {
  if (auto e = checkNumber(value)) return e;
  values_.tolerance = static_cast<float>(value);
  return std::nullopt;
}

std::optional<std::string> TransformParametersModel::setMode(int mode) {
  if (mode < 0 || mode > 2) return format("Please enter a number between %d and %d.", 0, 2);
  values_.mode = mode;
  return std::nullopt;
}

bool TransformParametersModel::chooseStandardMatrix(int index) {
  if (index < 0 || index >= kStandardMatrixCount) return false;
  selectedStandard_ = index;
  const StandardMatrix& m = standardMatrices()[static_cast<std::size_t>(index)];
  const Answer a = ui_.ask(format("Do you want to replace the current matrix with %s ?", m.questionName), Buttons::OkCancel);
  if (!isAffirmative(a)) return false;
  values_.matrix = m.matrix;
  return true;
}

bool TransformParametersModel::clear() {
  const Answer a = ui_.ask(
      "Do you want to clear the conversion matrix and translations and reset the new symmetry to the old?",
      Buttons::OkCancel);
  if (!isAffirmative(a)) return false;
  doc_.crystals[1] = doc_.crystals[0];
  doc_.modified = true;  // the New crystal changed even if the dialog is then cancelled
  values_.resetToIdentity();
  return true;
}

void TransformParametersModel::runSymmetry() {
  if (!symmetry_) return;
  // The checks of the New symmetry against the cell see the cell the matrix gives.
  CrystalRecord& newC = doc_.crystals[1];
  const Cell oldCell = completeZeroCellValues(doc_.crystals[0].cell);
  if (isUsableCell(oldCell) && !invertTransformMatrix(values_.matrix).singular) {
    newC.cell = newCellParameters(oldCell, values_.matrix);
    deriveNewAxesType(newC);
  }
  doc_.activeCrystal = 1;
  symmetry_(doc_, ui_);
}

bool TransformParametersModel::transformHklFile() {
  applyTo(doc_);
  doc_.modified = true;  // the values are the document's now, whatever the dialog does next
  return transformHklFileCommand(doc_, ui_);
}

std::string TransformParametersModel::symmetryLine() const {
  const CrystalRecord& c = doc_.crystals[1];
  if (c.symmetrySource == 1) return format("Symmetry - Space group: %s", c.hmSymbol.c_str());
  if (c.symmetrySource == 4) return format("Symmetry - Custom: %s", c.hmSymbol.c_str());
  return std::string();
}

void TransformParametersModel::applyTo(CrystalDocument& doc) const { doc.transformation = values_; }

std::optional<std::string> TransformParametersModel::refusal() const {
  if (values_.mode != 0 && invertTransformMatrix(values_.matrix).singular) return std::string(kSingularMatrixMessage);
  return std::nullopt;
}

std::optional<TransformOutcome> transformCommand(CrystalDocument& doc, UserInterface& ui,
                                                 TransformParametersModel::SymmetryAction symmetry,
                                                 const TransformOptions& options) {
  TransformParametersModel model(doc, ui, std::move(symmetry));
  if (!ui.runDialog(model)) return std::nullopt;
  model.applyTo(doc);
  return runTransformation(doc, ui, options);
}

}  // namespace tessera
