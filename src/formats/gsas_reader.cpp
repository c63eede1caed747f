#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/fixed_columns.h"
#include "formats/gsas.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/rietveld_common.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

/// Most sites reserved ahead for an atom count read from the file.
constexpr long kMaxAtomCount = 100000;

/// The records' fixed columns (the values are written in exactly these columns).
const FixedLayout& atomLayout() {
  static const FixedLayout l("(14X,A8,4F10.0,A8)");
  return l;
}
const FixedLayout& sixValues() {
  static const FixedLayout l("(12X,6F10.0)");
  return l;
}
const FixedLayout& threeValues() {
  static const FixedLayout l("(12X,3F10.0)");
  return l;
}

bool keyAt(const std::string& line, std::size_t at, std::string_view key) {
  return line.size() >= at + key.size() && std::string_view(line).substr(at, key.size()) == key;
}

/// The values of a record when each of the first `needed` fields holds a number.
std::optional<std::vector<double>> numbersOf(const std::string& line, const FixedLayout& layout, std::size_t needed) {
  const FixedRecord values = layout.read(line, InnerBlanks::Ignored);
  std::vector<double> out;
  for (const FixedField& v : values.fields) {
    if (!v.holdsNumber()) break;
    out.push_back(v.number);
  }
  if (out.size() < needed) return std::nullopt;
  return out;
}

class GsasReader {
 public:
  explicit GsasReader(ImportContext& context) : ctx_(context) {}

  /// Collects the phase names and their digits.
  void collectPhases();
  /// Reads the considered lines; false when the sites could not be reserved.
  bool read(int chosenPhase);

  ImportResult result;
  std::vector<char> phaseDigits;

 private:
  void atomLine(const std::string& line);
  void thermalLine(const std::string& line);
  void momentLine(const std::string& line);
  void cellLine(const std::string& line, bool angles);
  void flushAtom();

  ImportContext& ctx_;
  std::optional<Site> atom_;
  bool lengthsFound_ = false, anglesFound_ = false;
  Mat3 toCrystal_{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};  ///< inverse of the moment axes
};

void GsasReader::collectPhases() {
  LineReader lines(ctx_.file);
  std::string line;
  while (lines.next(line)) {
    if (!keyAt(line, 8, "PNAM") || line.size() < 4) continue;
    const int index = static_cast<int>(phaseDigits.size()) + 1;
    const std::string name = line.size() > 14 ? trim(cut(line.substr(14), 31)) : std::string();
    if (!AddDataSetName(ctx_, name, index)) break;
    phaseDigits.push_back(line[3]);
  }
}

bool GsasReader::read(int chosenPhase) {
  ctx_.file.clear();
  ctx_.file.seekg(0);
  LineReader lines(ctx_.file);
  std::string line;
  const bool filtered = phaseDigits.size() >= 2;
  const char digit = filtered ? phaseDigits[static_cast<std::size_t>(chosenPhase - 1)] : 0;
  while (lines.next(line)) {
    if (filtered && !(line.size() >= 4 && line.compare(0, 3, "CRS") == 0 && line[3] == digit)) continue;
    if (keyAt(line, 8, "PNAM")) {
      // The name is written from column 14.
      result.title = line.size() > 14 ? trimRight(cut(line.substr(14), 66)) : std::string();
    } else if (keyAt(line, 7, "NATOM")) {
      ScanCursor scan(line.size() > 12 ? std::string_view(line).substr(12) : std::string_view());
      const long count = scan.nextInt().value_or(100);
      if (!ReserveSites(ctx_, std::clamp(count, 0L, kMaxAtomCount) + 10)) return false;
    } else if (keyAt(line, 6, "ABC   ")) {
      cellLine(line, false);
    } else if (keyAt(line, 6, "ANGLES")) {
      cellLine(line, true);
    } else if (keyAt(line, 6, "AT") && line.size() > 11) {
      if (line[11] == 'A') atomLine(line);
      else if (line[11] == 'B') thermalLine(line);
      else if (line[11] == 'M') momentLine(line);
    } else if (keyAt(line, 6, "SG SYM")) {
      // The whole symbol: long full symbols reach past column 26.
      result.hmSymbol = line.size() > 12 ? trim(cut(line.substr(12), kMaxSymbolLength)) : std::string();
    }
  }
  flushAtom();
  return true;
}

void GsasReader::cellLine(const std::string& line, bool angles) {
  const auto v = numbersOf(line, threeValues(), 3);
  if (!v) return;
  for (std::size_t k = 0; k < 3; ++k) result.cell[k + (angles ? 3 : 0)] = narrowToFloat((*v)[k]);
  (angles ? anglesFound_ : lengthsFound_) = true;
  result.cellFound = lengthsFound_ && anglesFound_;
  if (!result.cellFound) return;
  const std::array<float, 6>& d = result.cell;
  Mat3 inverse{};
  if (invert3(momentAxes(Cell{d[0], d[1], d[2], d[3] * kDegToRad, d[4] * kDegToRad, d[5] * kDegToRad}), inverse))
    toCrystal_ = inverse;
}

void GsasReader::flushAtom() {
  if (!atom_) return;
  const std::string label = atom_->label;
  const std::string element = atom_->occupants[0].element;
  AddImportedSite(ctx_, std::move(*atom_), label, element);
  atom_.reset();
}

void GsasReader::atomLine(const std::string& line) {
  flushAtom();
  const FixedRecord values = atomLayout().read(line, InnerBlanks::Ignored);
  if (!values.valid() || values.fields.size() != 6) return;
  for (std::size_t k = 1; k <= 4; ++k)
    if (!values.fields[k].holdsNumber()) return;
  Site site;  // a fresh site: nothing of the previous atom carries over
  site.ortepType = -1;
  site.x = narrowToFloat(values.number(1));
  site.y = narrowToFloat(values.number(2));
  site.z = narrowToFloat(values.number(3));
  site.label = clampLabel(removeBlanks(values.text(5)));
  if (site.label.empty() || site.label == "*") site.label = removeBlanks(values.text(0));
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  first.occupancy = narrowToFloat(values.number(4));
  first.element = unstarred(removeBlanks(values.text(0)));
  site.occupants = {first};
  atom_ = std::move(site);
}

void GsasReader::thermalLine(const std::string& line) {
  if (!atom_) return;
  const auto v = numbersOf(line, sixValues(), 1);
  if (!v) return;
  const char flag = line.size() > 74 ? line[74] : ' ';
  if (flag == 'I') {
    atom_->ortepType = 10;
    atom_->isoValue = narrowToFloat((*v)[0]);
    atom_->aniso = {atom_->isoValue, 0, 0, 0, 0, 0};
  } else if (flag == 'A' && v->size() == 6) {
    atom_->ortepType = 8;
    for (std::size_t k = 0; k < 6; ++k) atom_->aniso[k] = narrowToFloat((*v)[k]);
  }
}

void GsasReader::momentLine(const std::string& line) {
  if (!atom_) return;
  const auto m = numbersOf(line, threeValues(), 3);
  if (!m) return;
  const Vec3 cart{(*m)[0], (*m)[1], (*m)[2]};
  atom_->vectorLength = narrowToFloat(std::sqrt(cart[0] * cart[0] + cart[1] * cart[1] + cart[2] * cart[2]));
  for (std::size_t i = 0; i < 3; ++i) {
    double v = 0.0;
    for (std::size_t j = 0; j < 3; ++j) v += toCrystal_[j][i] * cart[j];
    atom_->vector[i] = narrowToFloat(v);
  }
  atom_->hasVector = 1;
}

}  // namespace

bool ReadGsas(ImportContext& context) {
  SetImportKind(context, kKindGsas);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  GsasReader reader(context);
  reader.collectPhases();
  int chosen = 1;
  if (reader.phaseDigits.size() >= 2) {
    chosen = ChooseDataSet(context);
    if (chosen < 1 || chosen > static_cast<int>(reader.phaseDigits.size())) return false;
  }
  if (!reader.read(chosen)) return false;
  context.file.close();
  FinishImport(context, false, reader.result);
  return true;
}

}  // namespace tessera
