#include <optional>
#include <string>

#include "core/text.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/orbis.h"
#include "formats/record_scan.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

/// The text after the keyword, blanks trimmed, at most limit characters.
std::string textAfterKeyword(const std::string& line, std::size_t limit) {
  const std::size_t start = line.find_first_not_of(" \t");
  const std::size_t end = line.find_first_of(" \t", start);
  return end == std::string::npos ? std::string() : cut(trim(line.substr(end)), limit);
}

class KeywordReader {
 public:
  KeywordReader(ImportContext& context, ImportResult& result)
      : ctx_(context), result_(result), symmetry_(context.crystal(), context.ui) {}

  /// One record; false when it does not read (the import fails).
  bool record(const std::string& line);
  /// Adds the atom under way, if any; false when the site list cannot grow.
  bool addPending();

 private:
  ImportContext& ctx_;
  ImportResult& result_;
  std::optional<Site> atom_;
  SymmetryLineSink symmetry_;

  bool atomRecord(const std::string& key, const std::string& line);
};

bool KeywordReader::addPending() {
  if (!atom_) return true;
  Site site = std::move(*atom_);
  atom_.reset();
  const std::string label = site.label;
  return AddImportedSite(ctx_, std::move(site), label, label);
}

bool KeywordReader::record(const std::string& line) {
  const std::vector<std::string> words = splitTokens(line);
  if (words.empty()) return true;
  const std::string& key = words[0];
  if (key == "TITL") {
    result_.title = textAfterKeyword(line, kMaxTitleLength);
  } else if (key == "CFTIT") {
    result_.cartesianSource = textAfterKeyword(line, 128);
  } else if (key == "CSPGP" || key == "CNSPG" || key == "HALL" || key == "CPTGPS") {
    const std::string text = textAfterKeyword(line, key == "CNSPG" ? 31 : kMaxSymbolLength);
    if (key == "CSPGP") result_.hmSymbol = text;
    if (key == "CNSPG") result_.sgNumberText = text;
    if (key == "HALL") result_.hallSymbol = text;
    if (key == "CPTGPS") result_.pointGroupHM = cut(text, 5);
  } else if (key == "SYMXYZ") {
    const std::string text = removeBlanks(textAfterKeyword(line, 127));
    if (!text.empty() && symmetry_.add(text)) result_.hasXyzLines = true;
  } else if (key == "VERS") {
    return RecordScan(line, "sf").count() == 2;
  } else if (key == "CPTGPI") {
    const RecordScan f(line, "sd");
    if (f.count() < 2) return false;
    result_.pointGroupIndex = f.integer(1);
  } else if (key == "GNIN1") {
    // The last four integers once said which record completes an atom; every atom is
    // now complete when the next one starts or the file ends.
    const RecordScan f(line, "sdddddd");
    if (f.count() < 7) return false;
    result_.drawingMode = f.integer(1);
    result_.axesType = f.integer(3);
    for (int k = 0; k < 3; ++k) result_.polymerFlags[static_cast<std::size_t>(k)] = f.integer(4 + k);
  } else if (key == "GNFP1") {
    const RecordScan f(line, "sffffff");
    if (f.count() < 7) return false;
    for (int k = 0; k < 6; ++k) result_.cell[static_cast<std::size_t>(k)] = f.real(k + 1);
    result_.cellFound = true;
  } else if (key == "SYMI") {
    const RecordScan f(line, "sddddddd");
    if (f.count() < 8) return false;
    result_.rhombohedralAxes = f.integer(1);
    result_.cartesianSymmetry = f.integer(3) != 0;
    result_.acentric = f.integer(4);
    result_.latticeCode = f.integer(5);
    // The letter goes with the code, as the other readers give both.
    if (result_.latticeCode >= 1 && result_.latticeCode <= 7)
      result_.latticeName = std::string(1, "PABCFIR"[result_.latticeCode - 1]);
    result_.sgNumber = f.integer(6);
    result_.uniqueAxis = f.integer(7);
  } else {
    return atomRecord(key, line);
  }
  return true;
}

bool KeywordReader::atomRecord(const std::string& key, const std::string& line) {
  if (key == "ATBAS1") {
    const RecordScan f(line, "ssdffff");
    if (f.count() < 7) return false;
    if (!addPending()) return false;
    Site site;
    site.label = f.word(1) == "*" ? std::string() : clampLabel(f.word(1));
    site.typeNumber = f.integer(2);
    site.x = f.real(3), site.y = f.real(4), site.z = f.real(5);
    site.radius = f.real(6);
    site.ortepType = -1;
    SiteOccupant first = SiteOccupant::makeDefault(site.label, 0, site.typeNumber);
    first.element.clear();
    site.occupants = {first};
    atom_ = std::move(site);
    return true;
  }
  // Records of the atom under way; unknown keywords are passed over.
  const bool known = key == "ATBAS2" || key == "ATTFS" || key == "ATVEC";
  if (!known) return true;
  if (key == "ATBAS2") {
    const RecordScan f(line, "sddddddfdddddd");
    if (f.count() < 14) return false;
    if (!atom_) return true;
    atom_->rimPattern = f.integer(1), atom_->fillPattern = f.integer(2), atom_->pen = f.integer(3);
    for (int c = 0; c < 3; ++c) {
      atom_->rimColor[static_cast<std::size_t>(c)] = colourFrom16Bit(f.integer(8 + c));
      atom_->fillColor[static_cast<std::size_t>(c)] = colourFrom16Bit(f.integer(11 + c));
    }
  } else if (key == "ATTFS") {
    const RecordScan f(line, "sdffffff");
    if (f.count() < 8) return false;
    if (!atom_) return true;
    atom_->ortepType = f.integer(1);
    for (int k = 0; k < 6; ++k) atom_->aniso[static_cast<std::size_t>(k)] = f.real(2 + k);
    const int t = atom_->ortepType;
    if (t == 6 || t == 7 || t == 10) atom_->isoValue = atom_->aniso[0];
  } else {
    const RecordScan f(line, "sffff");
    if (f.count() < 5) return false;
    if (!atom_) return true;
    atom_->vector = {f.real(1), f.real(2), f.real(3)};
    atom_->vectorLength = f.real(4);
    atom_->hasVector = 1;
  }
  return true;
}

}  // namespace

bool readOrbisKeywords(ImportContext& context, LineReader& lines, ImportResult& result) {
  KeywordReader reader(context, result);
  std::string line;
  while (lines.next(line)) {
    if (lines.lastLineBinary() || !reader.record(line)) {
      context.ui.message("File read error: " + cut(line, 80));
      return false;
    }
  }
  return reader.addPending();
}

bool ReadOrbis(ImportContext& context) {
  SetImportKind(context, kKindOrbis);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  LineReader lines(context.file);
  std::string first;
  if (!lines.next(first) || first.compare(0, 6, "ORUNIV") != 0) {
    context.ui.message("Only V3.0 or later ORBIS files can be read");
    return false;
  }
  ImportResult result;
  const bool read = first.compare(0, 7, "ORUNIV2") == 0 ? readOrbisKeywords(context, lines, result)
                                                        : readOrbisNumeric(context, lines, result);
  context.file.close();
  if (!read) return false;
  FinishImport(context, false, result);
  return true;
}

}  // namespace tessera
