#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/cell_geometry.h"
#include "core/text.h"
#include "formats/fullprof.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/rietveld_common.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

constexpr int kMaxPhases = 8;
constexpr std::size_t kLineLength = 127;

/// End of file inside the walk, with the label of the line looked for.
struct WalkEnded {
  double label;
};

/// The integers of a line read as " %d" repeated; missing ones are 0.
std::vector<long> ints(const std::string& line, std::size_t count) {
  ScanCursor scan(line);
  std::vector<long> out(count, 0);
  for (std::size_t k = 0; k < count; ++k) {
    const auto v = scan.nextInt();
    if (!v) break;
    out[k] = *v;
  }
  return out;
}

/// Integers and reals of the phase-flag line " %d %d %d %f %f %f %d %d %d %d %d %f %d %d %d".
std::array<long, 15> phaseFlags(const std::string& line) {
  std::array<long, 15> f{};
  ScanCursor scan(line);
  for (std::size_t k = 0; k < f.size(); ++k) {
    if (k == 3 || k == 4 || k == 5 || k == 11) {
      if (!scan.nextFloat()) break;
      continue;
    }
    const auto v = scan.nextInt();
    if (!v) break;
    f[k] = *v;
  }
  return f;
}

class FullprofReader {
 public:
  explicit FullprofReader(ImportContext& context) : ctx_(context) {}

  /// One walk of the file: chosen 0 collects the phase names (retaining the only phase
  /// when there is one), otherwise the chosen phase is retained and the walk ends there.
  void walk(int chosen);

  ImportResult result;
  int phaseCount = 1;
  long atomFormat = 10;  ///< of the retained phase

 private:
  std::string next(double label);
  void skip(double label, long count = 1);
  void header(bool firstPass);
  void phase(int p, bool keep);
  void symmetry(long flag, bool keep);
  void atoms(long count, long format, bool keep);
  void atom(long format, bool keep);
  /// The beta line (11.45) and its codes line; true.
  bool betaLines(std::array<double, 6>& beta);
  /// The profile and cell lines; returns the integers of lines 11.51 and 11.61.
  std::pair<long, long> profileAndCell(long f8, long f14, bool keep);

  ImportContext& ctx_;
  std::optional<LineReader> lines_;
  std::array<long, 17> c_{};
  double line4Third_ = 0.0;
  bool formatMessage4_ = false, formatMessage5_ = false;
  bool symmetryLimitShown_ = false;
  bool firstPass_ = true;

 public:
  /// The retained phase's cell line has been read: its data are complete.
  bool retainedComplete = false;
};

std::string FullprofReader::next(double label) {
  std::string line;
  while (lines_->next(line)) {
    if (line.empty() || line[0] == '!' || trim(line).empty()) continue;
    return line;
  }
  throw WalkEnded{label};
}

void FullprofReader::skip(double label, long count) {
  for (long k = 0; k < count; ++k) next(label);
}

void FullprofReader::walk(int chosen) {
  ctx_.file.clear();
  ctx_.file.seekg(0);
  lines_.emplace(ctx_.file, kLineLength);
  firstPass_ = chosen == 0;
  header(firstPass_);
  const int last = chosen == 0 ? phaseCount : chosen;
  for (int p = 1; p <= last; ++p) phase(p, chosen == 0 ? phaseCount == 1 : p == chosen);
}

void FullprofReader::header(bool firstPass) {
  std::string line = next(1);
  std::size_t from = 0;
  if (line.compare(0, 4, "COMM") == 0 || line.compare(0, 4, "FREE") == 0) {
    from = 4;
    if (line.size() > 4 && line[4] == ' ') from = line.size() > 5 && line[5] == ' ' ? 6 : 5;
  }
  result.title = from < line.size() ? cut(line.substr(from), 70) : std::string();
  const std::vector<long> c = ints(next(2), 17);
  std::copy(c.begin(), c.end(), c_.begin());
  phaseCount = c_[2] == 0 ? 1 : static_cast<int>(std::clamp(c_[2], 1L, static_cast<long>(kMaxPhases) + 1));
  if (phaseCount > kMaxPhases) {
    if (firstPass) ctx_.ui.message(format(" Number of phases larger than %d - excess ignored", kMaxPhases));
    phaseCount = kMaxPhases;
  }
  const bool instrument = c_[14] == 0;
  const long c4 = c_[3];
  next(3);
  if (instrument) {
    line = next(4);
    if (c_[0] >= 0) {
      ScanCursor scan(line);
      scan.nextFloat();
      scan.nextFloat();
      line4Third_ = scan.nextFloat().value_or(0.0);
    }
  }
  next(5);
  if (instrument) {
    if (std::labs(c4) > 1 && c4 != -2 && c4 != -3) skip(6, std::labs(c4));
    skip(7, c_[4]);
  }
  for (long block = 0; block < std::labs(c_[5]); ++block) {
    next(8.1);
    for (;;) {
      ScanCursor scan(next(8.2));
      const auto first = scan.nextFloat();
      if (first && *first == -100.0) break;
    }
  }
  next(9);
  if (!instrument) return;
  line = next(10.1);
  if (c_[0] >= 0) {
    ScanCursor scan(line);
    const std::vector<double> v = scan.floats(8);
    const auto last = v.size() == 8 ? scan.nextInt() : std::nullopt;
    if (last && *last != 0) next(10.11);
  }
  if (c4 == -2) next(10.4);
  if (c4 == 0 || c4 == -1 || c4 == -3) skip(10.2, c4 == -3 ? 4 : 2);
  if (c4 == -1) skip(10.3, 4);
}

void FullprofReader::phase(int p, bool keep) {
  const std::string name = next(11.1);
  if (firstPass_) AddDataSetName(ctx_, trimRight(cut(name, 31)), p);
  const std::array<long, 15> f = phaseFlags(next(11.2));
  const long format = std::labs(f[6]);
  bool closing8687 = false;
  if (f[14] != 0) closing8687 = ints(next(11.21), 4)[3] == 1;
  const std::string symbol = next(11.3);
  if (keep) {
    result.hmSymbol = unstarred(cut(symbol, 19));
    atomFormat = format;
  }
  if (format == 10 && symbol.find("Mag") != std::string::npos) next(11.3);
  if (f[8] != 0) symmetry(f[8], keep);
  if (format != 2 && format != 3) atoms(f[0], format, keep);
  const auto [profileInt, int61] = profileAndCell(f[7], f[13], keep);
  long int86 = 0;
  if (closing8687) {
    ScanCursor scan(next(11.86));
    scan.floats(3);
    scan.nextInt();
    int86 = scan.nextInt().value_or(0);
    next(11.87);
  }
  if (std::labs(int86) == 1) next(11.88);
  if (std::labs(int61) == 1) next(11.9);
  if (profileInt == 7) next(11.101);
  if (profileInt > 8) skip(11.102, 2);
  skip(11.11, 2 * std::max(0L, f[12]));
  skip(11.12, f[10]);
  if (f[9] == 1 || f[9] == 3) next(11.13);
  if (f[9] == 2 || f[9] == 3) next(11.14);
  skip(11.15, f[1]);
  skip(11.16, f[2]);
}

void FullprofReader::symmetry(long flag, bool keep) {
  const std::vector<long> s = ints(next(11.31), 4);
  if (keep) {
    if (s[1] != 1) result.acentric = 0;
    result.hasXyzLines = true;
  }
  const long extra = std::max(0L, s[3]);
  for (long k = 0; k < s[0]; ++k) {
    CrystalRecord& c = ctx_.crystal();
    const bool room = c.lineCount() < kMaxSymmetryLines;
    if (flag == 1) {
      std::array<std::array<float, 4>, 3> m{};
      for (std::size_t row = 0; row < 3; ++row) {
        ScanCursor scan(next(11.32));
        const std::vector<double> v = scan.floats(12);
        for (std::size_t col = 0; col < 4 && col < v.size(); ++col) m[row][col] = narrowToFloat(v[col]);
      }
      if (keep && room) AppendOperatorFromMatrix(c, m, ctx_.ui);
    } else {
      const std::string line = next(11.32);
      const std::string text = removeBlanks(line.size() > 5 ? line.substr(5) : std::string());
      if (keep && room && !text.empty()) AppendSymmetryLine(c, text, ctx_.ui);
    }
    // One message for the whole list rather than one per refused line.
    if (keep && !room && !symmetryLimitShown_) {
      symmetryLimitShown_ = true;
      ctx_.ui.message("More than 192 symmetry lines");
    }
    skip(11.32, extra);
  }
}

void FullprofReader::atoms(long count, long format, bool keep) {
  if (keep && !ReserveSites(ctx_, std::clamp(count, 0L, 100000L) + 10)) throw WalkEnded{-1.0};
  for (long k = 0; k < count; ++k) atom(format, keep);
  if (!keep) return;
  if (format == 4 && !formatMessage4_) {
    formatMessage4_ = true;
    ctx_.ui.message("User supplied non-magnetic format used - atom parameters may be incorrect");
  }
  if (format == 5 && !formatMessage5_) {
    formatMessage5_ = true;
    ctx_.ui.message("User supplied magnetic format used - atom parameters may be incorrect");
  }
}

bool FullprofReader::betaLines(std::array<double, 6>& beta) {
  ScanCursor b(next(11.45));
  const std::vector<double> u = b.floats(6);
  std::copy(u.begin(), u.end(), beta.begin());
  next(11.46);
  return true;
}

void FullprofReader::atom(long format, bool keep) {
  ScanCursor scan(next(11.41));
  const std::string label = scan.nextWord().value_or("");
  const std::string element = unstarred(scan.nextWord().value_or(""));
  if (format == 10 || (format != 0 && format != 4)) {
    scan.nextInt();
    scan.nextInt();
  }
  const std::vector<double> v = scan.floats(format == 10 || format == 0 || format == 4 ? 5 : 8);
  const auto value = [&v](std::size_t k) { return k < v.size() ? narrowToFloat(v[k]) : 0.0f; };
  long code = 0;
  Site site;
  site.label = clampLabel(label);
  site.x = value(0);
  site.y = value(1);
  site.z = value(2);
  site.ortepType = 6;
  site.isoValue = value(3);
  std::array<double, 6> beta{};
  bool hasBeta = false;
  if (format == 10) {
    code = scan.nextInt().value_or(0);
    next(11.42);
    if (code == 1 || code == 3) {
      ScanCursor vec(next(11.43));
      const std::vector<double> u = vec.floats(3);
      for (std::size_t k = 0; k < u.size(); ++k) site.vector[k] = narrowToFloat(u[k]);
      site.hasVector = 1;
      next(11.44);
    }
    if (code == 2 || code == 3) hasBeta = betaLines(beta);
    if (code == 4) skip(11.42, 4);
  } else if (format == 0 || format == 4) {
    scan.nextInt();
    scan.nextInt();
    code = scan.nextInt().value_or(0);
    if (format == 4) {
      skip(11.42, 3);
    } else {
      next(11.42);
      if (code == 2) hasBeta = betaLines(beta);
      if (code == 4) skip(11.42, 4);
    }
  } else {
    for (std::size_t k = 0; k < 3; ++k) site.vector[k] = value(5 + k);
    site.hasVector = 1;
    skip(11.42, 3);
  }
  if (!keep) return;
  if (hasBeta && beta[1] != 0.0) {
    site.ortepType = 0;
    for (std::size_t k = 0; k < 6; ++k) site.aniso[k] = narrowToFloat(beta[k]);
  } else {
    site.aniso = {site.isoValue, 0, 0, 0, 0, 0};
  }
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  first.occupancy = value(4);
  first.element = element;
  site.occupants = {first};
  AddImportedSite(ctx_, std::move(site), label, element);
}

std::pair<long, long> FullprofReader::profileAndCell(long f8, long f14, bool keep) {
  const auto cellLine = [&]() {
    ScanCursor scan(next(11.71));
    const std::vector<double> v = scan.floats(6);
    if (keep && v.size() == 6) {
      for (std::size_t k = 0; k < 6; ++k) result.cell[k] = narrowToFloat(v[k]);
      result.cellFound = true;
    }
    if (keep) retainedComplete = true;
  };
  long int51 = 0, int61 = 0;
  if (c_[0] < 0) {
    for (double label : {11.51, 11.52, 11.61, 11.62, 11.63, 11.64}) next(label);
    cellLine();
    for (double label : {11.72, 11.81, 11.82, 11.83}) next(label);
    return {int51, int61};
  }
  if (std::labs(f8) == 4) {
    skip(11.51, 2);
  } else {
    ScanCursor scan(next(11.51));
    scan.floats(6);
    int51 = scan.nextInt().value_or(0);
    next(11.52);
  }
  {
    ScanCursor scan(next(11.61));
    scan.floats(7);
    int61 = scan.nextInt().value_or(0);
  }
  next(11.62);
  if (f14 == 11) skip(11.63, 2);
  cellLine();
  for (double label : {11.72, 11.81, 11.82}) next(label);
  if (f14 == 4 || f14 == 8) next(11.83);
  if (line4Third_ < 0.0) skip(11.84, 2);
  return {int51, int61};
}

/// Length of a vector in crystal axes in the cell metric (cell angles in degrees).
float metricLength(const std::array<float, 3>& v, const std::array<float, 6>& cell) {
  const Mat3 g = directMetric({cell[0], cell[1], cell[2], cell[3] * kDegToRad, cell[4] * kDegToRad, cell[5] * kDegToRad});
  double q = 0.0;
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) q += static_cast<double>(v[i]) * g[i][j] * static_cast<double>(v[j]);
  return narrowToFloat(std::fabs(q) < 0.0002 ? q : std::sqrt(std::max(q, 0.0)));
}

}  // namespace

bool ReadFullprof(ImportContext& context) {
  SetImportKind(context, kKindFullprof);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  FullprofReader reader(context);
  try {
    reader.walk(0);
    if (reader.phaseCount > 1) {
      const int chosen = ChooseDataSet(context);
      if (chosen < 1) return false;
      reader.walk(std::min(chosen, reader.phaseCount));
    }
  } catch (const WalkEnded& end) {
    // The label -1 marks a refused site reservation (its message has been shown).
    if (end.label < 0.0) return false;
    if (!reader.retainedComplete) {
      context.ui.message(format("Error reading file - line: %f", end.label));
      return false;
    }
  }
  context.file.close();
  const long f = reader.atomFormat;
  if (f == 1 || f == 5 || f == 10)
    for (Site& s : context.sites()) s.vectorLength = metricLength(s.vector, reader.result.cell);
  FinishImport(context, reader.result.hasXyzLines, reader.result);
  return true;
}

}  // namespace tessera
