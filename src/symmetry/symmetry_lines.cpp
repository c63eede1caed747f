// The crystal's operator table and the editing of its symmetry lines.

#include <cmath>
#include <string>
#include <vector>

#include "core/text.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

constexpr const char* kLimitMessage = "Limit reached for %s: %d";

SymmetryOperator invertedPartner(const SymmetryOperator& op) {
  SymmetryOperator p;
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < 3; ++j) p.rotation[i][j] = 0.0f - op.rotation[i][j];
    float t = 0.0f - op.translation[i];
    if (t < 0) t += 1.0f;
    p.translation[i] = t;
  }
  return p;
}

bool sameRotation(const SymmetryOperator& a, const SymmetryOperator& b) {
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j)
      if (std::fabs(a.rotation[i][j] - b.rotation[i][j]) > 0.001f) return false;
  return true;
}

bool negatedRotation(const SymmetryOperator& a, const SymmetryOperator& b) {
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j)
      if (std::fabs(a.rotation[i][j] + b.rotation[i][j]) > 0.001f) return false;
  return true;
}

struct CentringType {
  char letter;
  int latticeCode;
  std::vector<std::array<float, 3>> vectors;
};

const std::vector<CentringType>& centringTypes() {
  static const std::vector<CentringType> types = {
      {'F', 5, {{0.0f, 0.5f, 0.5f}, {0.5f, 0.0f, 0.5f}, {0.5f, 0.5f, 0.0f}}},
      {'R', 7, {{1.0f / 3, 2.0f / 3, 2.0f / 3}, {2.0f / 3, 1.0f / 3, 1.0f / 3}}},
      {'A', 2, {{0.0f, 0.5f, 0.5f}}},
      {'B', 3, {{0.5f, 0.0f, 0.5f}}},
      {'C', 4, {{0.5f, 0.5f, 0.0f}}},
      {'I', 6, {{0.5f, 0.5f, 0.5f}}},
  };
  return types;
}

// Index of the centring vector that takes operator j to operator i, or -1.
int centringVectorBetween(const SymmetryOperator& oi, const SymmetryOperator& oj, const CentringType& type) {
  if (!sameRotation(oi, oj)) return -1;
  for (std::size_t v = 0; v < type.vectors.size(); ++v) {
    bool agrees = true;
    for (std::size_t k = 0; k < 3 && agrees; ++k) {
      float d = oi.translation[k] - oj.translation[k];
      if (d > 1.0f) d -= 1.0f;
      if (d < 0.0f) d += 1.0f;
      agrees = std::fabs(d - type.vectors[v][k]) <= 0.01f;
    }
    if (agrees) return static_cast<int>(v);
  }
  return -1;
}

// Marks the operators made redundant by the centring type; false when the type does not apply.
bool markCentring(const std::vector<SymmetryOperator>& ops, int n, const CentringType& type, std::vector<int>& mark) {
  mark.assign(static_cast<std::size_t>(n), 0);
  std::vector<bool> seen(type.vectors.size(), false);
  bool anyMarked = false;
  for (int i = 0; i < n; ++i) {
    if (mark[static_cast<std::size_t>(i)]) continue;
    bool found = false;
    for (int j = i + 1; j < n; ++j) {
      const int v = centringVectorBetween(ops[static_cast<std::size_t>(i)], ops[static_cast<std::size_t>(j)], type);
      if (v < 0) continue;
      mark[static_cast<std::size_t>(j)] = 1;
      seen[static_cast<std::size_t>(v)] = true;
      found = anyMarked = true;
    }
    if (!found) return false;
  }
  for (bool s : seen)
    if (!s) return false;
  return anyMarked;
}

void removeMarkedLines(CrystalRecord& crystal, const std::vector<int>& mark) {
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < crystal.xyzLines.size(); ++i)
    if (i >= mark.size() || !mark[i]) kept.push_back(crystal.xyzLines[i]);
  crystal.xyzLines = std::move(kept);
  crystal.matricesValid = 0;  // the table no longer matches the lines
}

bool detectCentring(CrystalRecord& crystal, UserInterface& ui) {
  const int n = crystal.opCount;
  std::vector<int> mark;
  for (const CentringType& type : centringTypes()) {
    if (!markCentring(crystal.operators, n, type, mark)) continue;
    const std::string question =
        std::string(1, type.letter) + " lattice centering detected - do you want to remove extra operators?";
    if (ui.ask(question, Buttons::YesNo) != Answer::Yes) continue;
    removeMarkedLines(crystal, mark);
    crystal.latticeName = std::string(1, type.letter);
    if (crystal.hmSymbol.empty())
      crystal.hmSymbol = crystal.latticeName;
    else
      crystal.hmSymbol[0] = type.letter;
    crystal.latticeCode = type.latticeCode;
    return true;
  }
  return false;
}

// Translations of an inversion pair through the origin add up to a lattice vector.
bool inversionPartners(const SymmetryOperator& a, const SymmetryOperator& b) {
  if (!negatedRotation(a, b)) return false;
  for (std::size_t k = 0; k < 3; ++k) {
    const float s = a.translation[k] + b.translation[k];
    if (std::fabs(s - std::round(s)) > 0.001f) return false;
  }
  return true;
}

void detectInversion(CrystalRecord& crystal, UserInterface& ui) {
  const int n = crystal.opCount;
  std::vector<int> mark(static_cast<std::size_t>(n), 0);
  for (int i = 0; i < n; ++i) {
    if (mark[static_cast<std::size_t>(i)]) continue;
    bool found = false;
    for (int j = i + 1; j < n && !found; ++j) {
      if (mark[static_cast<std::size_t>(j)]) continue;
      if (!inversionPartners(crystal.operators[static_cast<std::size_t>(i)], crystal.operators[static_cast<std::size_t>(j)]))
        continue;
      mark[static_cast<std::size_t>(j)] = 1;
      found = true;
    }
    if (!found) return;
  }
  if (n == 0) return;
  if (ui.ask("Inversion center detected - do you want to remove extra operators?", Buttons::YesNo) != Answer::Yes)
    return;
  removeMarkedLines(crystal, mark);
  crystal.acentric = 0;
}

// Fraction texts of translations, tried in this order.
struct FractionText {
  float value;
  const char* text;
};
constexpr FractionText kFractions[] = {
    {0.5f, "1/2"},        {1.0f / 3, "1/3"},    {2.0f / 3, "2/3"},  {0.25f, "1/4"},
    {0.75f, "3/4"},       {1.0f / 6, "1/6"},    {0.83333f, "5/6"},  {1.0f / 12, "1/12"},
    {5.0f / 12, "5/12"},  {7.0f / 12, "7/12"},  {11.0f / 12, "11/12"},
};

// Text of a translation brought into [0, 1); nullopt when it is no multiple of 1/12.
std::optional<std::string> translationText(float t) {
  double r = static_cast<double>(t) - std::floor(static_cast<double>(t));
  if (!std::isfinite(r)) return std::nullopt;
  if (r < 0.01 || r > 0.99) return std::string();
  for (const FractionText& f : kFractions)
    if (std::fabs(r - f.value) <= 0.01) return std::string(f.text);
  return std::nullopt;
}

}  // namespace

void BuildSymmetryMatrices(CrystalRecord& crystal, UserInterface& ui) {
  crystal.opCount = 0;
  crystal.operators.clear();
  for (std::size_t i = 0; i < crystal.xyzLines.size(); ++i) {
    if (crystal.opCount + 1 > kMaxSymmetryLines) {
      ui.message(format(kLimitMessage, "symmetry matrices", kMaxSymmetryLines));
      return;
    }
    ++crystal.opCount;
    std::string line = crystal.xyzLines[i];
    for (char& c : line)
      if (c == ';') c = ' ';
    SeitzMx m;
    if (ParseSymXYZ(line, m, STBF) != 0) {
      ui.message(format("Failed to parse symmetry operator number %d", static_cast<int>(i) + 1));
      m = identitySeitzMx();  // keeps later operators at the index of their line
    }
    crystal.operators.push_back(toSymmetryOperator(m));
  }
  if (crystal.acentric == 0 && crystal.inversionOffOrigin == 0) {
    const int n = crystal.opCount;
    if (2 * n > kMaxSymmetryLines) {
      ui.message(format(kLimitMessage, "symmetry matrices", kMaxSymmetryLines));
      return;
    }
    for (int k = 0; k < n; ++k) crystal.operators.push_back(invertedPartner(crystal.operators[static_cast<std::size_t>(k)]));
  }
  crystal.matricesValid = 1;
}

void DetectCentringAndInversion(CrystalRecord& crystal, UserInterface& ui, bool checkInversion, bool checkCentring) {
  BuildSymmetryMatrices(crystal, ui);
  if (checkCentring) detectCentring(crystal, ui);
  BuildSymmetryMatrices(crystal, ui);
  if (!checkInversion) return;
  detectInversion(crystal, ui);
}

int AppendSymmetryLine(CrystalRecord& crystal, std::string_view text, UserInterface& ui) {
  if (crystal.lineCount() >= kMaxSymmetryLines) {
    ui.message("More than 192 symmetry lines");
    return 0;
  }
  crystal.xyzLines.emplace_back(text);
  return 1;
}

int AppendOperatorFromMatrix(CrystalRecord& crystal, const std::array<std::array<float, 4>, 3>& matrix,
                             UserInterface& ui) {
  if (crystal.lineCount() >= kMaxSymmetryLines) {
    ui.message("More than 48 symmetry lines");
    return 0;
  }
  static const char* const kPlus[] = {"+X", "+Y", "+Z"};
  static const char* const kMinus[] = {"-X", "-Y", "-Z"};
  std::string line;
  for (std::size_t row = 0; row < 3; ++row) {
    const auto tr = translationText(matrix[row][3]);
    if (!tr) {
      ui.message(format("Translation %.4f in symmetry operator %d is not a multiple of 1/12 - operator not added",
                        static_cast<double>(matrix[row][3]), crystal.lineCount() + 1));
      return 0;
    }
    line += *tr;
    for (std::size_t col = 0; col < 3; ++col) {
      if (matrix[row][col] == 1.0f) line += kPlus[col];
      if (matrix[row][col] == -1.0f) line += kMinus[col];
    }
    line += row < 2 ? "," : "; ";
  }
  crystal.xyzLines.push_back(line);
  return 1;
}

}  // namespace tessera
