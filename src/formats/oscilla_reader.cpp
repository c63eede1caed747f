#include <cmath>
#include <string>
#include <string_view>

#include "core/text.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/oscilla.h"
#include "formats/record_scan.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

/// Radians to degrees; an angle that lands within 1e-4 of 90 or 120 is that angle
/// (2.0943951 would otherwise read as 120.00001).
float degreesFromRadians(float radians) {
  const float degrees = radians * 57.29578f;
  for (const float exact : {90.0f, 120.0f})
    if (std::fabs(degrees - exact) < 1e-4f) return exact;
  return degrees;
}

/// True when the line holds nothing but integers (a row of a Cartesian matrix).
bool integersOnly(std::string_view line) {
  const std::vector<std::string> tokens = splitTokens(line);
  if (tokens.empty()) return false;
  for (const std::string& t : tokens)
    if (!parseLong(t)) return false;
  return true;
}

class OscillaReader {
 public:
  explicit OscillaReader(ImportContext& context)
      : ctx_(context), lines_(context.file, 255), symmetry_(context.crystal(), context.ui) {}

  /// False when the import fails (its message shown).
  bool run();
  ImportResult result;

 private:
  ImportContext& ctx_;
  LineReader lines_;
  SymmetryLineSink symmetry_;
  bool versionSeen_ = false;
  int sym1First_ = 0;  ///< SYM1 integer 1: 3 makes the SSTR point group the Schoenflies symbol
  std::string pending_;
  bool hasPending_ = false;

  bool nextLine(std::string& line) {
    if (hasPending_) {
      line = std::move(pending_);
      hasPending_ = false;
      return true;
    }
    while (lines_.next(line))
      if (!blankOnly(line)) return true;
    return false;
  }
  bool readError(const std::string& line) {
    ctx_.ui.message("File read error: " + cut(line, 20));
    return false;
  }
  /// One keyword line; false when the import fails.
  bool record(const std::string& line);
  void readAtom(const std::string& line, const RecordScan& f);
  void readCartesian(const std::string& line);
};

std::string restOf(const std::string& line, std::size_t from, std::size_t limit) {
  return line.size() > from ? cut(trim(line.substr(from)), limit) : std::string();
}

bool OscillaReader::record(const std::string& line) {
  const std::string key = line.substr(0, std::min<std::size_t>(4, line.size()));
  if (key == "FLG1" || key == "FLG3" || key == "FLG4" || key == "PFLG" || key == "CON1" || key == "CON2") return true;
  if (key == "VERS") {
    versionSeen_ = true;
    return true;
  }
  if (key == "INTN")
    result.hmSymbol = restOf(line, 4, kMaxSymbolLength);
  else if (key == "HALL")
    result.hallSymbol = restOf(line, 4, kMaxSymbolLength);
  else if (key == "OPER") {
    const std::string text = cut(removeBlanks(line.substr(4)), 76);
    if (!text.empty() && symmetry_.add(text)) result.hasXyzLines = true;
  } else if (key == "CFTT") {
    readCartesian(line);
  } else if (key == "FLG2") {
    const RecordScan f(line, "sddddddds");
    if (f.count() < 2) return readError(line);
    if (f.has(6)) result.pointGroupIndex = f.integer(6);
    if (f.has(7)) result.latticeCode = std::max(1, f.integer(7));
    if (f.has(8)) result.latticeName = cut(f.word(8), 1);
  } else if (key == "SYM1") {
    const RecordScan f(line, "sdddddddddddd");
    if (f.count() < 2) return readError(line);
    sym1First_ = f.integer(1);
    int* const into[13] = {nullptr,
                           nullptr,
                           nullptr,
                           &result.rhombohedralAxes,
                           &result.sgNumber,
                           &result.axesType,
                           &result.uniqueAxis,
                           nullptr,
                           &result.offOrigin,
                           nullptr,
                           nullptr,
                           &result.acentric,
                           &result.offOrigin};
    for (int k = 2; k < 13; ++k)
      if (f.has(k) && into[k]) *into[k] = f.integer(k);
    if (f.has(7)) result.cartesianSymmetry = f.integer(7) != 0;
  } else if (key == "SSTR") {
    const RecordScan f(line, "ssss");
    if (f.count() < 2) return readError(line);
    if (sym1First_ == 3) result.pointGroupSchoenflies = cut(f.word(1), 5);
    if (f.has(3)) result.sgNumberText = cut(f.word(3), 31);
  } else if (key == "CELL") {
    const RecordScan f(line, "sffffff");
    if (f.count() < 2) return readError(line);
    for (int k = 1; k < f.count(); ++k)
      result.cell[static_cast<std::size_t>(k - 1)] = k <= 3 ? f.real(k) : degreesFromRadians(f.real(k));
    // A cell missing some of its values would be no cell at all.
    result.cellFound = f.count() == 7;
  } else if (key == "LATT") {
    const RecordScan f(line, "sddd");
    if (f.count() < 2) return readError(line);
    for (int k = 1; k < f.count(); ++k) result.polymerFlags[static_cast<std::size_t>(k - 1)] = f.integer(k);
  } else if (key == "ATOM") {
    const RecordScan f(line, "sdsdfff");
    if (f.count() < 2) return readError(line);
    readAtom(line, f);
  } else if (key == "ATTY") {
    if (RecordScan(line, "sdddddddfffd").count() < 2) return readError(line);
  } else if (RecordScan(line, "sddd").count() < 2) {
    return readError(line);
  }
  return true;
}

void OscillaReader::readAtom(const std::string& line, const RecordScan& f) {
  if (f.count() < 7) {
    ctx_.ui.message("ATOM line without label or coordinates skipped: " + cut(line, 20));
    return;
  }
  Site site;
  site.label = f.word(2);
  site.typeNumber = f.integer(3);
  site.x = f.real(4);
  site.y = f.real(5);
  site.z = f.real(6);
  site.ortepType = -1;
  SiteOccupant first = SiteOccupant::makeDefault(site.label, 0, site.typeNumber);
  first.element.clear();
  site.occupants = {first};
  const std::string label = site.label;
  AddImportedSite(ctx_, std::move(site), label, label);
}

void OscillaReader::readCartesian(const std::string& line) {
  result.cartesianSource = restOf(line, 5, 127);
  // The matrices follow as lines of integers, as many as the file gives.
  std::string next;
  std::size_t integers = 0;
  while (nextLine(next)) {
    if (!integersOnly(next)) {
      pending_ = std::move(next);
      hasPending_ = true;
      break;
    }
    integers += splitTokens(next).size();
  }
  if (integers < 2) {
    ctx_.ui.message("Error reading Cartesian symmetry matrices");
    result.hallSymbol = "P1";
    result.sgNumberText = "1";
    result.sgNumber = 1;
  }
}

bool OscillaReader::run() {
  std::string line;
  if (lines_.next(line)) result.title = cut(trim(line), kMaxTitleLength);
  while (nextLine(line)) {
    if (lines_.lastLineBinary()) return readError(line);
    if (!record(line)) return false;
  }
  if (!versionSeen_) {
    ctx_.ui.message("Not a valid .OSL file");
    return false;
  }
  CompleteCellFromAxesType(result);
  return true;
}

}  // namespace

bool ReadOscilla(ImportContext& context) {
  SetImportKind(context, kKindOscilla);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  if (!ReserveSites(context, 20)) return false;
  OscillaReader reader(context);
  const bool read = reader.run();
  context.file.close();
  if (!read) return false;
  FinishImport(context, false, reader.result);
  return true;
}

}  // namespace tessera
