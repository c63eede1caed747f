#include "transform/hkl_transform.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "core/native_file.h"
#include "core/messages.h"
#include "core/text.h"

namespace tessera {

namespace {

constexpr int kMaxFields = 8;
constexpr double kIntegralTolerance = 0.01;
constexpr double kFirstIndexBound = 500.0;
// Past this an index cannot be written with "%d"; the scaling loop also ends here.
constexpr double kIntegerBound = 2147483647.0;
constexpr int kMaxScalings = 100000;

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

/// Reads an integer as "%d" does (blanks, an optional sign, digits); false without digits.
bool scanInteger(std::string_view s, std::size_t& pos, double& value) {
  std::size_t i = pos;
  while (i < s.size() && isSpace(s[i])) ++i;
  double sign = 1.0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') sign = -1.0;
    ++i;
  }
  const std::size_t digits = i;
  double v = 0.0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) v = v * 10.0 + (s[i++] - '0');
  if (i == digits) return false;
  value = sign * v;
  pos = i;
  return true;
}

/// Reads a whitespace-delimited field as "%s" does; false at the end of the line.
bool scanField(std::string_view s, std::size_t& pos, std::string& field) {
  std::size_t i = pos;
  while (i < s.size() && isSpace(s[i])) ++i;
  if (i >= s.size()) return false;
  const std::size_t start = i;
  while (i < s.size() && !isSpace(s[i])) ++i;
  field.assign(s.substr(start, i - start));
  pos = i;
  return true;
}

int roundHalfAway(double t) { return static_cast<int>(t >= 0.0 ? t + 0.5 : t - 0.5); }

}  // namespace

namespace {

/// The new indices, or nothing when they exceed the format's range.
std::optional<std::array<int, 3>> findIndices(const Matrix3f& m, const std::array<double, 3>& h) {
  double t[3];
  for (std::size_t i = 0; i < 3; ++i) t[i] = m[i][0] * h[0] + m[i][1] * h[1] + m[i][2] * h[2];
  for (int pass = 0; pass < kMaxScalings; ++pass) {
    if (!std::isfinite(t[0]) || std::fabs(t[0]) > kFirstIndexBound) return std::nullopt;
    for (double v : t)
      if (!std::isfinite(v) || std::fabs(v) > kIntegerBound) return std::nullopt;
    int bad = -1;
    double fraction = 0.0;
    for (int i = 0; i < 3 && bad < 0; ++i) {
      fraction = std::fabs(t[i] - std::trunc(t[i]));
      if (fraction > kIntegralTolerance) bad = i;
    }
    if (bad < 0) return std::array<int, 3>{roundHalfAway(t[0]), roundHalfAway(t[1]), roundHalfAway(t[2])};
    // Each pass multiplies by more than 1, so the bounds above end the loop; the pass
    // count only guards against a factor that stays next to 1.
    for (double& v : t) v *= 1.0 / fraction;
  }
  return std::nullopt;
}

}  // namespace

std::array<int, 3> transformIndices(const Matrix3f& m, const std::array<double, 3>& h) {
  return findIndices(m, h).value_or(std::array<int, 3>{0, 0, 0});
}

std::string transformHklLine(std::string_view line, const Matrix3f& matrix, bool* outOfRange) {
  std::size_t pos = 0;
  std::array<double, 3> h{};
  bool reflection = true;
  for (double& v : h)
    if (!scanInteger(line, pos, v)) {
      reflection = false;
      break;
    }
  if (!reflection) return trimRight(line) + "\n";
  const std::optional<std::array<int, 3>> found = findIndices(matrix, h);
  if (outOfRange) *outOfRange = !found;
  const std::array<int, 3> k = found.value_or(std::array<int, 3>{0, 0, 0});
  std::string out = format("%d %d %d", k[0], k[1], k[2]);
  std::string field;
  for (int f = 0; f < kMaxFields && scanField(line, pos, field); ++f) out += " " + field;
  out += "\n";
  return out;
}

std::string transformHklText(std::string_view text, const Matrix3f& matrix, HklOutOfRange* outOfRange) {
  std::string out;
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++lineNumber;
    bool zeroed = false;
    out += transformHklLine(text.substr(start, end - start), matrix, &zeroed);
    if (zeroed && outOfRange) {
      if (outOfRange->count++ == 0) outOfRange->firstLine = lineNumber;
    }
    start = end + 1;
  }
  return out;
}

bool transformHklFileCommand(CrystalDocument& doc, UserInterface& ui) {
  FileRequest in;
  in.title = "HKL data list - input";
  in.filter = "HKL data list - input (*.hkl)|*.hkl||";
  in.defaultName = "Untitled.hkl";
  in.defaultExtension = ".hkl";
  in.mustExist = true;
  const std::optional<std::string> inPath = ui.openFile(in);
  if (!inPath) return false;
  std::ifstream input(*inPath, std::ios::binary);
  std::error_code ec;
  if (!input || std::filesystem::is_directory(*inPath, ec)) {
    ui.message("Input file open failed");
    return false;
  }
  std::ostringstream content;
  content << input.rdbuf();
  if (input.bad()) {
    ui.message("Input file open failed");
    return false;
  }

  FileRequest out = in;
  out.title = "HKL data list - output";
  out.filter = "HKL data list - output (*.hkl)|*.hkl||";
  out.mustExist = false;
  out.confirmOverwrite = true;
  const std::optional<std::string> outPath = ui.saveFile(out);
  if (!outPath) return false;
  // The same file under another spelling would be overwritten while it is the input.
  if (equalsIgnoreCase(*inPath, *outPath) || std::filesystem::equivalent(*inPath, *outPath, ec)) {
    ui.message("Output file has the same name as input file - try again");
    return false;
  }
  HklOutOfRange outOfRange;
  if (!writeFileAtomically(*outPath, transformHklText(content.str(), doc.transformation.matrix, &outOfRange))) {
    ui.message(fileOpenFailedMessage(*outPath));
    return false;
  }
  if (outOfRange.count > 0)
    ui.message(format("%d reflections exceed the range of the new indices and were written as 0 0 0 (first at line %d)",
                      outOfRange.count, outOfRange.firstLine));
  return true;
}

}  // namespace tessera
