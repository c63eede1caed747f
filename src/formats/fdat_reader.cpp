#include "formats/fdat_reader.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/fixed_columns.h"
#include "formats/import_checks.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

const FixedLayout& headerLayout() {
  static const FixedLayout layout("(1a,a8,2i1,i6,6x,11i3,22i1,i2)");
  return layout;
}
const FixedLayout& cellLayout() {
  static const FixedLayout layout("(6i6,6i1,6i2,2i3,i3,a8)");
  return layout;
}
const FixedLayout& symmetryLayout() {
  static const FixedLayout layout("(5(3i1,i2,3i1,i2,3i1,i2),5x)");
  return layout;
}
const FixedLayout& atomLayout() {
  static const FixedLayout layout("(a5,3i7,1x,a5,3i7,1x,a5,3i7)");
  return layout;
}

constexpr std::size_t kCountsField = 5;  ///< first of the eleven counts in the header
constexpr std::size_t kFlagsField = 16;  ///< first of the twenty-two one-digit flags
constexpr std::size_t kCharactersPerTextRecord = 80;

std::size_t recordsFor(long items, long perRecord) {
  return items <= 0 ? 0 : static_cast<std::size_t>((items + perRecord - 1) / perRecord);
}

class FdatEntry {
 public:
  FdatEntry(ImportContext& context, const std::vector<std::string>& lines, std::size_t first)
      : ctx_(context), lines_(lines), next_(first) {}

  /// Reads the entry; false after a message when a record does not read.
  bool read(ImportResult& result);

 private:
  ImportContext& ctx_;
  const std::vector<std::string>& lines_;
  std::size_t next_;

  const std::string* nextLine() { return next_ < lines_.size() ? &lines_[next_++] : nullptr; }
  bool fail(int record) {
    ctx_.ui.message(format("Read failed for FDAT file (%d)", record));
    return false;
  }
  bool readOperators(long count);
  bool readAtoms(long sites, long others);
};

bool FdatEntry::read(ImportResult& result) {
  const std::string* line = nextLine();
  if (!line) return fail(1);
  const FixedRecord header = headerLayout().read(*line);
  if (header.text(0) != "#" || !header.valid() || !header.fields[kFlagsField + 3].present) return fail(1);
  auto count = [&](int k) { return header.integer(kCountsField + static_cast<std::size_t>(k - 1)); };
  for (int k = 1; k <= 11; ++k)
    if (count(k) < 0) return fail(1);
  const int systemCode = static_cast<int>(header.integer(2));
  const long centrosymmetry = header.integer(kFlagsField + 3);

  line = nextLine();
  if (!line) return fail(2);
  const FixedRecord cell = cellLayout().read(*line);
  if (!cell.valid() || !cell.fields[5].present) return fail(2);
  for (std::size_t k = 0; k < 6; ++k)
    result.cell[k] = static_cast<float>(cell.number(k) / std::pow(10.0, static_cast<double>(cell.integer(6 + k))));
  std::string symbol = removeBlanks(cell.text(21));
  // A blank or zero cell value would divide by zero later on.
  if (!usableImportCell(result.cell)) return fail(2);

  // The text counts are characters, packed 80 to a record.
  const long characters = count(2) + count(3) + count(4) + count(5);
  for (std::size_t r = 0; r < recordsFor(characters, kCharactersPerTextRecord); ++r)
    if (!nextLine()) return fail(3);
  if (!readOperators(count(6))) return false;
  for (std::size_t r = 0; r < recordsFor(count(7), 16); ++r)
    if (!nextLine()) return fail(5);
  if (!readAtoms(count(8), count(9))) return false;

  bool rhombohedral = false;
  result.title = trim(header.text(1));
  result.latticeName = "P";
  result.latticeCode = 1;
  result.axesType = fdatAxesType(systemCode, symbol, rhombohedral);
  // The final "r" of a symbol on rhombohedral axes stays: the symbol table reads it as the setting.
  if (rhombohedral) result.rhombohedralAxes = 2;
  if (result.axesType == 2) result.uniqueAxis = fdatUniqueAxis(symbol);
  result.hmSymbol = cut(symbol, kMaxSymbolLength);
  // Entries list the operators without the inversion and set the flag; a list that
  // already holds the inversion is complete as it stands.
  bool listsInversion = false;
  for (const std::string& text : ctx_.crystal().xyzLines) {
    std::string clean = text;
    for (char& c : clean)
      if (c == ';') c = ' ';
    SeitzMx m;
    if (ParseSymXYZ(clean, m, STBF) == 0 && m.rotation == std::array<int, 9>{-1, 0, 0, 0, -1, 0, 0, 0, -1})
      listsInversion = true;
  }
  result.acentric = (centrosymmetry == 1 && !listsInversion) ? 0 : 1;
  result.cellFound = true;
  return true;
}

bool FdatEntry::readOperators(long count) {
  long done = 0;
  for (std::size_t r = 0; r < recordsFor(count, 5); ++r) {
    const std::string* line = nextLine();
    if (!line) return fail(4);
    const FixedRecord rec = symmetryLayout().read(*line);
    if (!rec.valid()) return fail(4);
    for (std::size_t op = 0; op < 5 && done < count; ++op, ++done) {
      std::array<std::array<float, 4>, 3> matrix{};
      for (std::size_t row = 0; row < 3; ++row) {
        const std::size_t base = op * 12 + row * 4;
        for (std::size_t k = 0; k < 3; ++k) {
          const long code = rec.integer(base + k);
          if (code < 0 || code > 2) return fail(4);
          matrix[row][k] = static_cast<float>(code - 1);
        }
        matrix[row][3] = static_cast<float>(rec.integer(base + 3)) / 12.0f;
      }
      AppendOperatorFromMatrix(ctx_.crystal(), matrix, ctx_.ui);
    }
  }
  return true;
}

bool FdatEntry::readAtoms(long sites, long others) {
  if (!ReserveSites(ctx_, sites + 10)) return false;
  const long total = sites + others;
  long done = 0;
  for (std::size_t r = 0; r < recordsFor(total, 3); ++r) {
    const std::string* line = nextLine();
    if (!line) return fail(6);
    const FixedRecord rec = atomLayout().read(*line);
    if (!rec.valid()) return fail(6);
    for (std::size_t a = 0; a < 3 && done < total; ++a, ++done) {
      if (done >= sites) continue;  // further atoms are read and passed over
      Site site;
      site.label = removeBlanks(rec.text(a * 4));
      std::array<float, 3> xyz{};
      for (std::size_t k = 0; k < 3; ++k) {
        double v = static_cast<double>(rec.integer(a * 4 + 1 + k)) * 0.00001;
        if (v > 1.0)
          v -= 1.0;
        else if (v < -1.0)
          v += 1.0;
        xyz[k] = static_cast<float>(v);
      }
      site.x = xyz[0];
      site.y = xyz[1];
      site.z = xyz[2];
      site.ortepType = -1;
      SiteOccupant o = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
      o.element.clear();
      site.occupants = {o};
      const std::string label = site.label;
      if (!AddImportedSite(ctx_, std::move(site), label, label)) return false;
    }
  }
  return true;
}

}  // namespace

int fdatAxesType(int systemCode, std::string_view symbol, bool& rhombohedral) {
  rhombohedral = false;
  switch (systemCode) {
    case 1:
    case 2:
    case 3:
      return systemCode;
    case 4:
      return 5;
    case 6:
      return 7;
    case 5: {
      // The main axis is the first digit after the lattice letter: 3 trigonal, 6 hexagonal
      // (so P63/mmc, holding both digits, is hexagonal).
      for (std::size_t i = 1; i < symbol.size(); ++i) {
        if (symbol[i] == '3') return 4;
        if (symbol[i] == '6') return 6;
      }
      return 6;
    }
    case 7:
      rhombohedral = symbol.size() > 1 && (symbol.back() == 'r' || symbol.back() == 'R');
      return 4;
    default:
      return 0;
  }
}

int fdatUniqueAxis(std::string_view symbol) {
  // Full symbols name the unique axis by the place of the symmetry element: P1121/b (c),
  // P121/c1 (b), P21/a11 (a); short symbols mean b.
  const std::string_view axes = symbol.size() > 1 ? symbol.substr(1) : std::string_view();
  if (axes.substr(0, 2) == "11") return 2;
  if (axes.size() > 2 && axes.substr(axes.size() - 2) == "11" && axes[0] != '1') return 1;
  return 0;
}

bool ReadCcdcFdat(ImportContext& context) {
  SetImportKind(context, kKindCcdcFdat);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  std::vector<std::string> lines;
  LineReader reader(context.file);
  std::vector<std::size_t> entries;
  for (std::string line; reader.next(line);) {
    if (reader.lastLineBinary()) line.clear();
    if (!line.empty() && line[0] == '#') {
      entries.push_back(lines.size());
      AddDataSetName(context, cut(line, 9), static_cast<int>(entries.size()));
    }
    lines.push_back(std::move(line));
  }
  context.file.close();
  std::size_t first = 0;
  if (entries.size() >= 2) {
    const int choice = ChooseDataSet(context);
    if (choice <= 0) return false;
    if (static_cast<std::size_t>(choice) > entries.size()) {
      context.ui.message("Error reading file - data set not found");
      return false;
    }
    first = entries[static_cast<std::size_t>(choice - 1)];
  } else if (entries.size() == 1) {
    first = entries[0];
  }
  ImportResult result;
  FdatEntry entry(context, lines, first);
  if (!entry.read(result)) return false;
  result.hasXyzLines = context.crystal().lineCount() > 0;
  FinishImport(context, false, result);
  return true;
}

}  // namespace tessera
