#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/record_scan.h"
#include "formats/text_input.h"
#include "formats/xtlview.h"
#include "symmetry/space_group.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

/// True for a line that can name a data set (outside one).
bool isTitleLine(const std::string& line) {
  return !blankOnly(line) && line.compare(0, 2, "  ") != 0 && !startsWithIgnoreCase(line, "STOP");
}

/// The first line of each data set, in file order.
std::vector<std::size_t> dataSetStarts(const std::vector<std::string>& lines) {
  std::vector<std::size_t> starts;
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (inside) {
      inside = !startsWithIgnoreCase(lines[i], "END");
    } else if (isTitleLine(lines[i])) {
      starts.push_back(i);
      inside = true;
    }
  }
  return starts;
}

/// The symbol after "SPACE GROUP": the rest of the line without blanks, separators dropped.
std::string spaceGroupSymbol(const std::string& line) {
  const std::string upper = toUpper(line);
  const std::size_t at = upper.find("SPACE GROUP");
  if (at == std::string::npos) return "not found";
  std::string rest = line.substr(at + 11);
  const std::size_t start = rest.find_first_not_of(" \t:=()");
  rest = start == std::string::npos ? std::string() : rest.substr(start);
  rest = removeBlanks(rest);
  while (!rest.empty() && rest.back() == ')') rest.pop_back();
  return cut(rest, kMaxSymbolLength);
}

struct Transposition {
  std::array<int, 9> rows;
  const char* setting;
};

constexpr std::array<Transposition, 5> kTranspositions = {{{{0, 1, 0, 0, 0, 1, 1, 0, 0}, ":cab"},
                                                           {{0, 0, 1, 1, 0, 0, 0, 1, 0}, ":bca"},
                                                           {{1, 0, 0, 0, 0, 1, 0, -1, 0}, ":a-cb"},
                                                           {{0, 1, 0, 1, 0, 0, 0, 0, -1}, ":ba-c"},
                                                           {{0, 0, 1, 0, 1, 0, -1, 0, 0}, ":-cba"}}};

/// True when the group of that symbol has an inversion centre at minus the shift.
bool inversionAtMinus(const std::string& symbol, const std::array<float, 3>& shift) {
  SgInfo sg;
  if (BuildSgInfoFromSymbol(symbol, 'A', sg) != 0 || !sg.error.empty()) return false;
  std::array<int, 3> t{};
  if (sg.centric == 0) return false;
  if (sg.centric == 1) {
    const std::array<int, 9> minusOne = {-1, 0, 0, 0, -1, 0, 0, 0, -1};
    const auto it = std::find_if(sg.listSeitzMx.begin(), sg.listSeitzMx.end(),
                                 [&](const SeitzMx& m) { return m.rotation == minusOne; });
    if (it == sg.listSeitzMx.end()) return false;
    t = it->translation;
  }
  // Centres lie at t/2 plus half cell translations: t + 2 shift must be a whole translation.
  for (std::size_t k = 0; k < 3; ++k) {
    const double v = t[k] / 12.0 + 2.0 * shift[k];
    if (std::fabs(v - std::round(v)) > 0.01) return false;
  }
  return true;
}

float intoCell(float v) {
  v -= std::floor(v);
  return v >= 1.0f ? 0.0f : v;
}

class XtlviewReader {
 public:
  XtlviewReader(ImportContext& context, const std::vector<std::string>& lines, std::size_t start)
      : ctx_(context), lines_(lines), at_(start) {}

  void run();
  ImportResult result;

 private:
  ImportContext& ctx_;
  const std::vector<std::string>& lines_;
  std::size_t at_;
  std::array<float, 3> shift_{};

  const std::string* next() { return at_ < lines_.size() ? &lines_[at_++] : nullptr; }
  void readCell();
  void readExplicitSymmetry();
  void readCentring();
  void readTransposition(int number);
  void readAtoms();
};

void XtlviewReader::run() {
  result.title = cut(trimRight(*next()), kMaxTitleLength);
  next();
  const std::string* group = next();
  result.hmSymbol = group ? spaceGroupSymbol(*group) : "not found";
  readCell();
  readAtoms();
}

void XtlviewReader::readCell() {
  const std::string* line = next();
  const RecordScan f(line ? *line : std::string(), "ffffffd");
  if (f.count() < 7) {
    ctx_.ui.message("Error reading cell line");
    return;
  }
  for (int k = 0; k < 6; ++k) result.cell[static_cast<std::size_t>(k)] = f.real(k);
  result.cellFound = true;
  const int n = f.integer(6);
  if (n == 0) {
    readExplicitSymmetry();
    return;
  }
  result.sgNumber = std::abs(n);
  result.sgNumberText = std::to_string(result.sgNumber);
  if (n < 0) readTransposition(result.sgNumber);
  // Without a symbol line the number text (with its setting) names the group.
  if (result.hmSymbol == "not found") result.hmSymbol = result.sgNumberText;
}

void XtlviewReader::readExplicitSymmetry() {
  CrystalRecord& c = ctx_.crystal();
  AppendSymmetryLine(c, "X,Y,Z;", ctx_.ui);
  const std::string* countLine = next();
  const RecordScan count(countLine ? *countLine : std::string(), "d");
  const int m = count.count() == 1 ? count.integer(0) : 0;
  bool full = false;
  for (int op = 0; op < m; ++op) {
    std::array<std::array<float, 4>, 3> matrix{};
    for (std::size_t row = 0; row < 3; ++row) {
      const std::string* line = next();
      const RecordScan f(line ? *line : std::string(), "ffff");
      if (f.count() < 4) {
        ctx_.ui.message(format("Error reading symmetry operator %d", op + 1));
        return;
      }
      for (int k = 0; k < 4; ++k) matrix[row][static_cast<std::size_t>(k)] = f.real(k);
    }
    bool identity = true, inversion = true;
    for (std::size_t row = 0; row < 3; ++row) {
      for (std::size_t col = 0; col < 3; ++col) {
        const float unit = row == col ? 1.0f : 0.0f;
        identity = identity && matrix[row][col] == unit;
        inversion = inversion && matrix[row][col] == -unit;
      }
      identity = identity && matrix[row][3] == 0.0f;
      inversion = inversion && matrix[row][3] == 0.0f;
    }
    // The identity is the line added above; the inversion at the origin is the acentric flag.
    if (identity) continue;
    if (inversion) {
      result.acentric = 0;
      continue;
    }
    if (full) continue;
    if (AppendOperatorFromMatrix(c, matrix, ctx_.ui))
      result.hasXyzLines = true;
    else
      full = c.lineCount() >= kMaxSymmetryLines;
  }
  readCentring();
}

void XtlviewReader::readCentring() {
  std::vector<std::array<float, 3>> vectors;
  while (const std::string* line = next()) {
    const RecordScan f(*line, "fff");
    if (f.count() < 3) break;
    const std::array<float, 3> v = {f.real(0), f.real(1), f.real(2)};
    if (v == std::array<float, 3>{}) break;
    vectors.push_back(v);
  }
  auto near = [](const std::array<float, 3>& v, float x, float y, float z) {
    return std::fabs(v[0] - x) < 0.01f && std::fabs(v[1] - y) < 0.01f && std::fabs(v[2] - z) < 0.01f;
  };
  const char* letter = nullptr;
  if (vectors.empty())
    letter = "P";
  else if (vectors.size() == 3)
    letter = "F";
  else if (vectors.size() == 2)
    letter = "R";
  else if (vectors.size() == 1) {
    const auto& v = vectors[0];
    if (near(v, 0.5f, 0.5f, 0.5f))
      letter = "I";
    else if (near(v, 0.0f, 0.5f, 0.5f))
      letter = "A";
    else if (near(v, 0.5f, 0.0f, 0.5f))
      letter = "B";
    else if (near(v, 0.5f, 0.5f, 0.0f))
      letter = "C";
  }
  if (!letter) return;  // the finish takes the lattice from the symbol
  result.latticeName = letter;
  result.latticeCode = latticeCodeFromLetter(letter[0]);
}

void XtlviewReader::readTransposition(int number) {
  const std::string* shiftLine = next();
  const RecordScan s(shiftLine ? *shiftLine : std::string(), "fff");
  for (int k = 0; k < s.count(); ++k) shift_[static_cast<std::size_t>(k)] = s.real(k);
  std::array<int, 9> rows{};
  for (std::size_t r = 0; r < 3; ++r) {
    const std::string* line = next();
    const RecordScan f(line ? *line : std::string(), "ddd");
    for (int k = 0; k < f.count(); ++k) rows[r * 3 + static_cast<std::size_t>(k)] = f.integer(k);
  }
  const std::array<int, 9> unit = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  // The transposition counts with or without an origin shift; the unit matrix is the standard setting.
  if (rows != unit) {
    const auto it = std::find_if(kTranspositions.begin(), kTranspositions.end(),
                                 [&](const Transposition& t) { return t.rows == rows; });
    if (it == kTranspositions.end())
      ctx_.ui.message("Unknown axis transposition - try using symbol");
    else
      result.sgNumberText += it->setting;
  }
  if (shift_ == std::array<float, 3>{}) return;
  if (inversionAtMinus(std::to_string(number), shift_)) shift_ = {};
}

void XtlviewReader::readAtoms() {
  if (!ReserveSites(ctx_, 20)) return;
  int mode = -1;  // ortepType of the section: -1 isotropic without a factor, 0 anisotropic B, 8 anisotropic U
  while (const std::string* line = next()) {
    if (startsWithIgnoreCase(*line, "END")) return;
    if (startsWithIgnoreCase(*line, "ANISOB") || startsWithIgnoreCase(*line, "ANISOU")) {
      mode = startsWithIgnoreCase(*line, "ANISOB") ? 0 : 8;
      continue;
    }
    if (startsWithIgnoreCase(*line, "ISO")) {
      mode = -1;
      continue;
    }
    if (startsWithIgnoreCase(*line, "ANIONS")) continue;
    const std::string label = removeBlanks(cut(*line, 6));
    if (label.empty()) continue;
    const std::string* values = next();
    const RecordScan f(values ? *values : std::string(), mode < 0 ? "fff" : "fffffffff");
    if (f.count() < (mode < 0 ? 3 : 9)) {
      ctx_.ui.message(format("Error reading atom %s - atom skipped", label.c_str()));
      continue;
    }
    Site site;
    site.label = label;
    site.x = f.real(0), site.y = f.real(1), site.z = f.real(2);
    if (shift_ != std::array<float, 3>{}) {
      site.x = intoCell(site.x + shift_[0]);
      site.y = intoCell(site.y + shift_[1]);
      site.z = intoCell(site.z + shift_[2]);
    }
    site.ortepType = mode;
    if (mode >= 0)
      for (int k = 0; k < 6; ++k) site.aniso[static_cast<std::size_t>(k)] = f.real(3 + k);
    SiteOccupant first = SiteOccupant::makeDefault(label, 0, 0);
    first.element.clear();
    site.occupants = {first};
    if (!AddImportedSite(ctx_, std::move(site), label, label)) return;
  }
}

}  // namespace

bool ReadXtlview(ImportContext& context) {
  SetImportKind(context, kKindXtlview);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  std::vector<std::string> lines;
  LineReader reader(context.file);
  for (std::string line; reader.next(line) && !reader.lastLineBinary();) lines.push_back(line);
  context.file.close();
  const std::vector<std::size_t> starts = dataSetStarts(lines);
  int count = 0;
  for (std::size_t start : starts) {
    if (!AddDataSetName(context, cut(lines[start], 32), count + 1)) break;
    ++count;
  }
  int chosen = count > 0 ? 1 : 0;
  if (count >= 2) {
    chosen = ChooseDataSet(context);
    if (chosen == 0) return false;
  }
  XtlviewReader xtl(context, lines, chosen > 0 ? starts[static_cast<std::size_t>(chosen - 1)] : lines.size());
  if (chosen > 0) xtl.run();
  FinishImport(context, false, xtl.result);
  return true;
}

}  // namespace tessera
