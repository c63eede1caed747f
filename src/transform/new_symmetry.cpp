#include "transform/new_symmetry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "core/text.h"
#include "symmetry/symmetry_operators.h"
#include "transform/transform_parameters.h"
#include "transform/unit_cell.h"

namespace tessera {

bool setNewCustomSymmetry(CrystalRecord& crystal, const std::vector<std::string>& lines, UserInterface& ui) {
  if (lines.empty() || static_cast<int>(lines.size()) > kMaxSymmetryLines) {
    ui.message(format("Limit reached for %s: %d", "symmetry matrices", static_cast<int>(lines.size())));
    return false;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string text = trim(lines[i]);
    for (char& ch : text)
      if (ch == ';') ch = ' ';
    SeitzMx op;
    if (trim(text).empty() || ParseSymXYZ(text, op, STBF) != 0) {
      ui.message(format("Failed to parse symmetry operator number %d", static_cast<int>(i) + 1));
      return false;
    }
  }
  crystal.xyzLines.clear();
  for (const std::string& line : lines) {
    std::string text = toUpper(trim(line));
    if (text.back() != ';') text += ";";
    crystal.xyzLines.push_back(text);
  }
  crystal.latticeName = "P";
  crystal.latticeCode = 1;
  crystal.acentric = 1;
  crystal.inversionOffOrigin = 0;
  crystal.symmetrySource = 4;
  crystal.aperiodicAxes = {};
  crystal.matricesValid = 0;
  return true;
}

namespace {

struct FloatOp {
  std::array<std::array<double, 3>, 3> r{};
  std::array<double, 3> t{};
};

/// Every operator of the crystal: its lines, with the inversion when centric, times the centring.
std::optional<std::vector<FloatOp>> fullGroup(const CrystalRecord& c) {
  std::vector<FloatOp> ops;
  for (const std::string& line : c.xyzLines) {
    std::string text = line;
    for (char& ch : text)
      if (ch == ';') ch = ' ';
    SeitzMx m;
    if (trim(text).empty() || ParseSymXYZ(text, m, STBF) != 0) return std::nullopt;
    FloatOp op;
    for (std::size_t i = 0; i < 3; ++i) {
      for (std::size_t j = 0; j < 3; ++j) op.r[i][j] = m.rotation[3 * i + j];
      op.t[i] = m.translation[i] / static_cast<double>(STBF);
    }
    ops.push_back(op);
    if (c.acentric == 0) {
      FloatOp inverted = op;
      for (std::size_t i = 0; i < 3; ++i) {
        for (double& v : inverted.r[i]) v = -v;
        inverted.t[i] = -op.t[i];
      }
      ops.push_back(inverted);
    }
  }
  std::vector<FloatOp> all;
  for (const Vector3f& centring : centringTranslations(c.latticeCode))
    for (FloatOp op : ops) {
      for (std::size_t i = 0; i < 3; ++i) op.t[i] += centring[i];
      all.push_back(op);
    }
  return all;
}

bool sameOp(const FloatOp& a, const FloatOp& b) {
  constexpr double tol = 1e-3;
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < 3; ++j)
      if (std::fabs(a.r[i][j] - b.r[i][j]) > tol) return false;
    const double d = a.t[i] - b.t[i];
    if (std::fabs(d - std::round(d)) > tol) return false;
  }
  return true;
}

bool contains(const std::vector<FloatOp>& set, const FloatOp& op) {
  return std::any_of(set.begin(), set.end(), [&op](const FloatOp& o) { return sameOp(o, op); });
}

}  // namespace

bool newSymmetryUnset(const CrystalDocument& doc) {
  const CrystalRecord& oldC = doc.crystals[0];
  const CrystalRecord& newC = doc.crystals[1];
  if (newC.xyzLines != oldC.xyzLines || newC.latticeCode != oldC.latticeCode || newC.acentric != oldC.acentric)
    return false;
  const Transformation& t = doc.transformation;
  const MatrixInverse inverse = invertTransformMatrix(t.matrix);
  if (inverse.singular) return false;
  const auto old = fullGroup(oldC);
  if (!old) return false;
  // x' = Q^T (x + p) + s, so (R, u) becomes R' = Q^T R M^T, u' = Q^T (u + p - R p) + s - R' s.
  const auto& m = t.matrix;
  const auto& q = inverse.inverse;
  std::vector<FloatOp> moved;
  for (const FloatOp& op : *old) {
    FloatOp n;
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j)
        for (std::size_t k = 0; k < 3; ++k)
          for (std::size_t l = 0; l < 3; ++l) n.r[i][j] += q[k][i] * op.r[k][l] * m[j][l];
    std::array<double, 3> u{};
    for (std::size_t k = 0; k < 3; ++k) {
      u[k] = op.t[k] + t.preMatrixShift[k];
      for (std::size_t l = 0; l < 3; ++l) u[k] -= op.r[k][l] * t.preMatrixShift[l];
    }
    for (std::size_t i = 0; i < 3; ++i) {
      n.t[i] = t.postMatrixShift[i];
      for (std::size_t k = 0; k < 3; ++k) n.t[i] += q[k][i] * u[k] - n.r[i][k] * t.postMatrixShift[k];
    }
    moved.push_back(n);
  }
  // The lines fit when the transformed group is the group itself.
  for (const FloatOp& op : moved)
    if (!contains(*old, op)) return true;
  for (const FloatOp& op : *old)
    if (!contains(moved, op)) return true;
  return false;
}

}  // namespace tessera
