#include "formats/icsd_reader.h"

#include <cctype>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/icsd_common.h"
#include "formats/icsd_reading.h"
#include "formats/import_checks.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

constexpr std::size_t kMaxTitle = 75;

/// One data-set start line found by the scan.
struct DataSet {
  int layout = 0;
  std::size_t line = 0;
  long code = 0;
  std::string name;
};

int layoutOfLine(const std::string& line) {
  if (line.compare(0, 20, " COL  Collection Cod") == 0) return kIcsdRetrieve;
  if (line.compare(0, 3, "ID:") == 0) return kIcsdCanSnd;
  if (line.compare(0, 26, " COL  ICSD Collection Code") == 0) return kIcsdRetrieveDb;
  if (line.find("*** COLL") != std::string::npos) return kIcsdOriginal;
  return 0;
}

long collectionCode(const std::string& line, int layout) {
  const std::vector<std::string> words = splitTokens(line);
  const std::size_t at = layout == kIcsdCanSnd ? 1 : layout == kIcsdRetrieve ? 3 : 4;
  if (at >= words.size()) return 0;
  const std::string& w = words[at];
  return parseLong(std::string_view(w).substr(0, w.find_first_not_of("+-0123456789"))).value_or(0);
}

std::string afterKey(const std::string& line, std::size_t keyLength, std::size_t n) {
  return line.size() > keyLength ? trim(cut(std::string_view(line).substr(keyLength), n)) : std::string();
}

std::string dataSetName(const std::vector<std::string>& lines, std::size_t start, int layout) {
  std::string name;
  if (layout == kIcsdCanSnd) {
    std::size_t i = start + 1;
    if (i >= lines.size()) return name;
    const std::string& title = lines[i];
    std::size_t j = i + 1;
    if (j < lines.size() && lines[j].compare(0, 3, "TV:") == 0) ++j;
    if (j < lines.size() && lines[j].compare(0, 3, "MN:") == 0) return afterKey(lines[j], 4, 22);
    return afterKey(title, 4, 22);
  }
  for (std::size_t i = start + 1; i < lines.size() && i <= start + 6; ++i) {
    const std::string s = lines[i].empty() ? std::string() : lines[i].substr(1);
    if (s.compare(0, 4, "NAME") == 0) name = afterKey(s, 5, 24);
    if (s.compare(0, 4, "MINR") == 0) return afterKey(s, 5, 24);
  }
  return name;
}

}  // namespace

void IcsdReading::nameRecord(std::string_view text, bool minr) {
  if (titleFromMinr_ || (!minr && titleFromName_)) return;
  result.title = trim(cut(text, kMaxTitle));
  (minr ? titleFromMinr_ : titleFromName_) = true;
}

void IcsdReading::cellTokens(const std::vector<std::string>& tokens) {
  // Database files go on with V= and Z=: the first six tokens are the cell.
  if (tokens.size() < 6) {
    ctx.ui.message("Error reading CELL line");
    return;
  }
  std::array<float, 6> cell{};
  for (std::size_t k = 0; k < 6; ++k) {
    const std::string& t = tokens[k];
    const auto eq = t.find('=');
    const std::string_view text = eq != std::string::npos ? std::string_view(t).substr(eq + 1)
                                  : t.size() > 2          ? std::string_view(t).substr(2)
                                                          : std::string_view();
    const auto v = icsdNumber(text);
    if (!v) {
      ctx.ui.message("Error reading cell parameter");
      return;
    }
    cell[k] = narrowToFloat(*v);
  }
  setCell(cell);
}

void IcsdReading::setCell(const std::array<float, 6>& cell) {
  // An edge of zero or an impossible angle would divide by zero in every later calculation.
  const bool usable = usableImportCell(cell);
  if (!usable) {
    ctx.ui.message("Error reading cell parameter");
    return;
  }
  result.cell = cell;
  result.cellFound = true;
}

void IcsdReading::symbolRecord(std::string_view line) {
  std::string_view text = line.size() > 5 ? line.substr(5) : std::string_view();
  text = text.substr(0, text.find('('));
  const std::string symbol = trim(cut(text, kMaxSymbolLength));
  // A separate final "R" or "H" names the axes of a rhombohedral group; the symbol keeps it,
  // as the symbol table reads it so.
  const std::size_t n = symbol.size();
  if (n > 2 && symbol[n - 2] == ' ' && (symbol[n - 1] == 'R' || symbol[n - 1] == 'H'))
    result.rhombohedralAxes = symbol[n - 1] == 'R' ? 2 : 1;
  else if (n > 2 && symbol.find('R', 2) != std::string::npos)
    result.rhombohedralAxes = 2;
  result.hmSymbol = symbol;
}

void IcsdReading::operatorLine(std::string_view text) {
  const std::string line = removeBlanks(text);
  if (line.empty()) return;
  if (AppendSymmetryLine(ctx.crystal(), line, ctx.ui)) result.hasXyzLines = true;
}

void IcsdReading::atom(const std::string& label, std::string_view element, float charge, std::string_view wyckoff,
                       const std::array<float, 3>& xyz, float occupancy) {
  Site site;
  site.label = label;
  site.x = xyz[0];
  site.y = xyz[1];
  site.z = xyz[2];
  site.ortepType = -1;
  const std::string w = removeBlanks(wyckoff);
  if (w != "*") site.wyckoff = w;
  SiteOccupant o = SiteOccupant::makeDefault(label, static_cast<int>(ctx.sites().size()), 0);
  o.element = removeBlanks(element);
  o.charge = charge;
  o.occupancy = occupancy;
  site.occupants = {o};
  AddImportedSite(ctx, std::move(site), label, label);
}

void IcsdReading::factor(std::string_view label, const std::array<float, 6>& values, int ortepType) {
  AssignTemperatureFactorsByLabel(ctx, label, values, ortepType, 0, 0);
  if (ortepType == 6)
    for (Site& s : ctx.sites())
      if (s.label == label) {
        s.isoValue = values[0];
        break;
      }
}

std::string icsdLabel(std::string_view element, std::string_view number) {
  return cut(removeBlanks(std::string(element) + std::string(number)), 7);
}

std::vector<std::string> icsdValueTokens(std::string_view line) {
  std::string text;
  int depth = 0;
  for (char c : line) {
    if (c == '(') ++depth;
    if (depth == 0)
      text.push_back(c);
    else if (c == ')') {
      --depth;
      text.push_back(' ');
    }
  }
  return splitTokens(text);
}

bool icsdIsoFactor(const std::vector<std::string>& t, std::size_t first, float& value, int& ortepType) {
  if (t.size() < first + 3) return false;
  const std::string& key = t[first + 2];
  const auto eq = key.find('=');
  if (eq == std::string::npos || eq != 1) return false;
  const char form = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
  if (form != 'B' && form != 'U') return false;
  std::string number = key.substr(eq + 1);
  if (number.empty() && t.size() > first + 3) number = t[first + 3];
  const auto v = icsdNumber(number);
  if (!v) return false;
  value = narrowToFloat(*v);
  ortepType = form == 'B' ? 6 : 10;
  return true;
}

bool ReadIcsd(ImportContext& context) {
  SetImportKind(context, kKindIcsd);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  if (!ReserveSites(context, 20)) return false;
  const std::string content{std::istreambuf_iterator<char>(context.file), std::istreambuf_iterator<char>()};
  context.file.close();
  int binaryLines = 0;
  const std::vector<std::string> lines = icsdSplitLines(content, binaryLines);

  std::vector<DataSet> sets;
  int layout = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int found = layoutOfLine(lines[i]);
    if (found == 0) continue;
    if (layout != 0 && found != layout) context.ui.message("Conflicting file types");
    layout = found;
    sets.push_back({found, i, collectionCode(lines[i], found), dataSetName(lines, i, found)});
  }
  if (sets.empty()) {
    context.ui.message("ICSD file type not identified");
    return false;
  }
  // The data set is chosen by its place in the file: two written with the same
  // collection code stay apart.
  std::size_t chosen = 0;
  std::size_t begin = 0;
  std::size_t end = lines.size();
  if (sets.size() >= 2) {
    int index = 0;
    for (const DataSet& d : sets)
      if (!AddDataSetName(context, format("%ld %s", d.code, d.name.c_str()), ++index)) break;
    const int choice = ChooseDataSet(context);
    if (choice <= 0) return false;
    chosen = static_cast<std::size_t>(choice - 1);
    begin = sets[chosen].line;
    if (chosen + 1 < sets.size()) end = sets[chosen + 1].line;
  }
  // In a file of mixed layouts each data set is still read with its own layout.
  layout = sets[chosen].layout;
  IcsdReading reading(context);
  if (layout == kIcsdCanSnd)
    readIcsdCanSnd(reading, lines, begin, end);
  else if (layout == kIcsdOriginal)
    readIcsdOriginal(reading, lines, begin, end);
  else
    readIcsdRetrieve(reading, lines, begin, end);
  FinishImport(context, false, reading.result);
  return true;
}

}  // namespace tessera
