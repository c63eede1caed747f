// The older numeric form of the drawing program's structure file: counts and
// flags, then blocks whose sizes they give, then the atoms with their drawing
// attributes. The drawing records after the atoms are not read.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/import_framework.h"
#include "formats/orbis.h"
#include "formats/record_scan.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

/// Blank-separated numbers across line ends, with whole lines taken where the form has them.
class TokenStream {
 public:
  explicit TokenStream(LineReader& lines) : lines_(lines) {}

  /// The next blank-separated token; false at the end of the file.
  bool token(std::string& out) {
    for (;;) {
      const std::size_t start = line_.find_first_not_of(" \t\r\f", at_);
      if (start != std::string::npos) {
        const std::size_t end = std::min(line_.find_first_of(" \t\r\f", start), line_.size());
        out = line_.substr(start, end - start);
        at_ = end;
        return true;
      }
      if (!fetch()) return false;
    }
  }
  /// Passes over the rest of the current line.
  void skipLine() { at_ = line_.size(); }
  /// The next whole line; false at the end of the file.
  bool line(std::string& out) {
    if (!fetch()) return false;
    out = line_;
    at_ = line_.size();
    return true;
  }

 private:
  LineReader& lines_;
  std::string line_;
  std::size_t at_ = 0;

  bool fetch() {
    if (!lines_.next(line_) || lines_.lastLineBinary()) return false;
    at_ = 0;
    return true;
  }
};

class NumericReader {
 public:
  NumericReader(ImportContext& context, LineReader& lines, ImportResult& result)
      : ctx_(context), in_(lines), result_(result), symmetry_(context.crystal(), context.ui) {}

  /// False when a group does not read.
  bool run();

 private:
  ImportContext& ctx_;
  TokenStream in_;
  ImportResult& result_;
  SymmetryLineSink symmetry_;
  double version_ = 0.0;
  std::array<long, 11> n_{};  ///< N1..N10 at their numbers
  long f1_ = 0, f2_ = 0, f3_ = 0, f4_ = 0, f5_ = 0, f6_ = 0;

  /// A group of count numbers read by parse; false when any does not read.
  template <typename T, typename Parse>
  bool numbers(long count, Parse parse, std::vector<T>* out) {
    std::string t;
    for (long k = 0; k < count; ++k) {
      const auto v = in_.token(t) ? parse(t) : std::nullopt;
      if (!v) return false;
      if (out) out->push_back(*v);
    }
    return true;
  }
  bool integers(long count, std::vector<long>* out = nullptr) { return numbers(count, parseLong, out); }
  bool reals(long count, std::vector<double>* out = nullptr) { return numbers(count, parseDouble, out); }
  /// count groups of the given integers and reals.
  bool groups(long count, long ints, long realsEach) {
    for (long k = 0; k < count; ++k)
      if (!integers(ints) || !reals(realsEach)) return false;
    return true;
  }
  bool header();
  bool textLines();
  bool blocks();
  bool atom();
};

long count(long v) { return std::clamp(v, 0L, 1000000000L); }
int asInt(long v) { return static_cast<int>(std::clamp<long>(v, -1000000, 1000000)); }

bool NumericReader::header() {
  std::vector<double> version;
  std::vector<long> a, b, c, d, e, f;
  if (!reals(1, &version) || !integers(9, &a) || !integers(10, &b) || !integers(10, &c) || !integers(10, &d) ||
      !integers(10, &e) || !integers(10, &f))
    return false;
  version_ = version[0];
  for (std::size_t k = 0; k < 9; ++k) n_[k + 1] = count(a[k]);
  f1_ = b[4], n_[10] = count(b[9]);
  result_.axesType = asInt(c[1]);
  f2_ = c[2];
  result_.drawingMode = (c[4] >= 0 && c[4] <= 7) ? static_cast<int>(c[4]) : 0;
  result_.rhombohedralAxes = asInt(c[6]);
  f3_ = std::min(d[3], 2L);
  result_.cartesianSymmetry = d[4] != 0;
  f4_ = e[7];
  f5_ = f[4], f6_ = f[5];
  if (!ReserveSites(ctx_, n_[1] + 10)) return false;
  std::vector<long> lattice;
  std::vector<double> cell;
  if (!reals(3 * 3 + 6 * 5) || !integers(3 * 6) || !integers(2, &lattice) || !reals(6, &cell)) return false;
  result_.acentric = asInt(lattice[0]);
  result_.latticeCode = asInt(lattice[1]);
  for (std::size_t k = 0; k < 6; ++k) result_.cell[k] = narrowToFloat(cell[k]);
  result_.cellFound = true;
  in_.skipLine();
  return true;
}

bool NumericReader::textLines() {
  std::string line;
  if (!in_.line(line)) return false;
  if (line.size() > 12) result_.latticeName = std::string(1, line[12]);
  if (line.size() > 14) result_.hmSymbol = cut(trim(line.substr(14, 39)), kMaxSymbolLength);
  if (!in_.line(line)) return false;
  result_.cartesianSource = trim(cut(line, 127));
  for (long k = 0; k < n_[7]; ++k) {
    if (!in_.line(line)) return false;
    // Each operator ends at its ";"; text after the last one is not an operator.
    std::string text = cut(line, 127);
    for (std::size_t end = text.find(';'); end != std::string::npos; end = text.find(';')) {
      const std::string op = removeBlanks(text.substr(0, end));
      if (!op.empty() && symmetry_.add(op)) result_.hasXyzLines = true;
      text.erase(0, end + 1);
    }
  }
  if (f4_ == 2 && !in_.line(line)) return false;
  return true;
}

bool NumericReader::blocks() {
  std::vector<long> polymer;
  if (!integers(n_[9]) || !integers(3, &polymer) || !integers(12)) return false;
  for (std::size_t k = 0; k < 3; ++k) result_.polymerFlags[k] = asInt(polymer[k]);
  if (result_.drawingMode == 3 && (!integers(6) || !reals(5))) return false;
  if (!groups(n_[6], 5, 0) || !groups(n_[5], 4, 1)) return false;
  return f3_ == 0 || groups(n_[4], 4, 1);
}

bool NumericReader::atom() {
  std::string label;
  std::vector<long> type, attributes;
  std::vector<double> position;
  if (!in_.token(label) || !integers(1) || !integers(1, &type) || !reals(4, &position) || !integers(9, &attributes))
    return false;
  Site site;
  site.label = label == "*" ? std::string() : clampLabel(label);
  site.typeNumber = asInt(type[0]);
  site.x = narrowToFloat(position[0]), site.y = narrowToFloat(position[1]), site.z = narrowToFloat(position[2]);
  site.radius = narrowToFloat(position[3]);
  site.rimPattern = asInt(attributes[0]), site.fillPattern = asInt(attributes[1]), site.pen = asInt(attributes[2]);
  for (std::size_t c = 0; c < 3; ++c) {
    site.rimColor[c] = colourFrom16Bit(attributes[3 + c]);
    site.fillColor[c] = colourFrom16Bit(attributes[6 + c]);
  }
  site.ortepType = -1;
  if (version_ > 4.8101 && !reals(1)) return false;
  if (version_ > 4.9401 && (!integers(2) || !reals(1))) return false;
  if (f2_ != 0 && !reals(result_.drawingMode == 3 ? 1 : n_[5])) return false;
  if ((f6_ & 3) != 0 && f1_ <= 1) {
    if (f5_ != 0) {
      if (!reals(12)) return false;
    } else {
      std::vector<long> t;
      std::vector<double> values;
      if (!integers(1, &t) || !reals(6, &values)) return false;
      site.ortepType = asInt(t[0]);
      for (std::size_t k = 0; k < 6; ++k) site.aniso[k] = narrowToFloat(values[k]);
      if (site.ortepType == 6 || site.ortepType == 7 || site.ortepType == 10) site.isoValue = site.aniso[0];
    }
  }
  SiteOccupant first = SiteOccupant::makeDefault(site.label, 0, site.typeNumber);
  first.element.clear();
  site.occupants = {first};
  const std::string text = site.label;
  return AddImportedSite(ctx_, std::move(site), text, "");
}

bool NumericReader::run() {
  if (!header() || !textLines() || !blocks()) return false;
  for (long k = 0; k < n_[1]; ++k)
    if (!atom()) return false;
  return true;
}

}  // namespace

bool readOrbisNumeric(ImportContext& context, LineReader& lines, ImportResult& result) {
  std::string title;
  if (lines.next(title)) result.title = cut(trim(title), kMaxTitleLength);
  NumericReader reader(context, lines, result);
  if (reader.run()) return true;
  context.ui.message("Error reading file");
  return false;
}

}  // namespace tessera
