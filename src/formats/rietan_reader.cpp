#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/rietan.h"
#include "formats/rietveld_common.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

constexpr std::size_t kLineLength = 255;
constexpr long kMaxAtoms = 100000;

/// Ends the reading: the file ended, or a line could not be read (the message says which).
struct ReadStopped {};

/// An angle from its cosine in degrees, snapped to 90 and 120 within 0.0001.
float angleFromCosine(double cosine) {
  const double degrees = std::acos(std::clamp(cosine, -1.0, 1.0)) * 57.29575495751519;
  if (std::fabs(degrees - 90.0) < 0.0001) return 90.0f;
  if (std::fabs(degrees - 120.0) < 0.0001) return 120.0f;
  return static_cast<float>(degrees);
}

class RietanReader {
 public:
  explicit RietanReader(ImportContext& context) : ctx_(context), lines_(context.file, kLineLength) {}

  void read();
  ImportResult result;

 private:
  std::string next();
  void atomLine(const std::string& line);
  void cellLine(const std::string& line);
  void operationLine(const std::string& line);

  ImportContext& ctx_;
  LineReader lines_;
  bool limitShown_ = false;
};

std::string RietanReader::next() {
  std::string line;
  if (lines_.next(line)) return line;
  ctx_.ui.message(format("Error reading file - line: %d", lines_.lineNumber() + 1));
  throw ReadStopped{};
}

void RietanReader::read() {
  result.title = cut(trimLeft(next()), 80);
  while (next().compare(0, 7, "ENDCON1") != 0) {
  }
  ScanCursor count(next());
  const long atoms = std::max(0L, count.nextInt().value_or(0) / 10);
  if (!ReserveSites(ctx_, std::min(atoms, kMaxAtoms) + 10)) throw ReadStopped{};
  for (long k = 0; k < atoms; ++k) atomLine(next());
  // One line ("00000"), then a count of lines to pass over.
  next();
  ScanCursor skipped(next());
  const long n = std::max(0L, skipped.nextInt().value_or(0));
  for (long k = 0; k < n; ++k) next();
  cellLine(next());
  // The line after the cell, then the identity's line: the identity is already the first line.
  next();
  next();
  for (std::string line = next(); line.compare(0, 6, "ENDSYM") != 0; line = next()) {
    operationLine(line);
    next();  // the partner line, translations + 1
  }
}

void RietanReader::atomLine(const std::string& line) {
  const std::string head = line.substr(0, std::min<std::size_t>(9, line.size()));
  const std::string rest = line.size() > 9 ? line.substr(9) : std::string();
  ScanCursor scan(rest);
  const std::vector<double> v = scan.floats(10);
  // Occupancy and coordinates are needed: a site without them would be corrupt.
  if (v.size() < 4) {
    ctx_.ui.message(format("Error reading file - line: %d", lines_.lineNumber()));
    throw ReadStopped{};
  }
  Site site;
  site.label = clampLabel(removeBlanks(head));
  site.x = narrowToFloat(v[1]);
  site.y = narrowToFloat(v[2]);
  site.z = narrowToFloat(v[3]);
  site.ortepType = -1;
  const std::vector<std::string> words = splitTokens(rest);
  if (v.size() == 5 && !(words.size() == 5 && words[4] == "1.0")) {
    site.ortepType = 6;
    site.isoValue = narrowToFloat(v[4]);
    site.aniso = {site.isoValue, 0, 0, 0, 0, 0};
  } else if (v.size() == 10) {
    site.ortepType = 8;
    for (std::size_t k = 0; k < 6; ++k) site.aniso[k] = narrowToFloat(v[4 + k]);
  }
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  first.occupancy = narrowToFloat(v[0]);
  first.element.clear();
  site.occupants = {first};
  const std::string label = site.label;
  AddImportedSite(ctx_, std::move(site), label, label);
}

void RietanReader::cellLine(const std::string& line) {
  ScanCursor scan(line);
  const std::vector<double> v = scan.floats(6);
  if (v.size() < 6) {
    ctx_.ui.message("Error reading cell line");
    return;
  }
  for (std::size_t k = 0; k < 3; ++k) {
    result.cell[k] = narrowToFloat(v[k]);
    result.cell[k + 3] = angleFromCosine(v[k + 3]);
  }
  result.cellFound = true;
}

void RietanReader::operationLine(const std::string& line) {
  std::array<std::array<float, 4>, 3> m{};
  for (std::size_t r = 0; r < 3; ++r) {
    const std::size_t at = 15 * r;
    const std::string_view group = at < line.size() ? std::string_view(line).substr(at, 15) : std::string_view();
    double t = leadingNumber(group.substr(0, std::min<std::size_t>(11, group.size()))).value_or(0.0);
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    m[r][3] = narrowToFloat(t);
    for (std::size_t c = 0; c < 2; ++c) {
      const std::size_t from = 11 + 2 * c;
      const std::string_view text = from < group.size() ? group.substr(from, 2) : std::string_view();
      const long code = std::lround(leadingNumber(text).value_or(0.0));
      if (code != 0 && std::labs(code) <= 3) m[r][static_cast<std::size_t>(std::labs(code) - 1)] = code > 0 ? 1.0f : -1.0f;
    }
  }
  // One message for the whole list rather than one per refused line.
  if (ctx_.crystal().lineCount() >= kMaxSymmetryLines) {
    if (!limitShown_) ctx_.ui.message("More than 192 symmetry lines");
    limitShown_ = true;
    return;
  }
  AppendOperatorFromMatrix(ctx_.crystal(), m, ctx_.ui);
}

}  // namespace

bool ReadRietan(ImportContext& context) {
  SetImportKind(context, kKindRietan);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  // The identity is the first operation; the file gives it only in the form the reader passes over.
  ResetCrystalForImport(context, 2);
  RietanReader reader(context);
  try {
    reader.read();
  } catch (const ReadStopped&) {
    return false;
  }
  context.file.close();
  reader.result.hasXyzLines = true;
  FinishImport(context, true, reader.result);
  return true;
}

}  // namespace tessera
