#include "formats/import_checks.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/cell_geometry.h"
#include "core/text.h"
#include "symmetry/sg_table.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

bool hasControlCharacter(std::string_view text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

bool parsedOperator(const std::string& line, SeitzMx& op) {
  std::string plain = line;
  for (char& ch : plain)
    if (ch == ';') ch = ' ';
  return ParseSymXYZ(plain, op, STBF) == 0;
}

}  // namespace

bool knownHmSymbol(std::string_view symbol) { return findTabSgNameEntry(symbol, 'A') != nullptr; }

void cleanImportedTexts(ImportContext& context, ImportResult& r) {
  bool& found = context.controlCharacters;
  for (std::string* text : {&r.hmSymbol, &r.hallSymbol, &r.sgNumberText, &r.pointGroupSchoenflies, &r.pointGroupHM,
                            &r.latticeName, &r.title, &r.cartesianSource})
    *text = withoutControlCharacters(*text, found);
  r.hmSymbol = cut(r.hmSymbol, kMaxSymbolLength);
  r.hallSymbol = cut(r.hallSymbol, kMaxSymbolLength);
}

bool usableImportCell(const std::array<float, 6>& c) {
  for (std::size_t k = 0; k < 3; ++k)
    if (!(c[k] > 0.0f) || !std::isfinite(c[k])) return false;
  for (std::size_t k = 3; k < 6; ++k)
    if (!(c[k] > 0.0f && c[k] < 180.0f)) return false;
  const Cell radians{c[0], c[1], c[2], c[3] * kDegToRad, c[4] * kDegToRad, c[5] * kDegToRad};
  const double volume = cellVolume(radians);
  return std::isfinite(volume) && volume > 1e-6;
}

bool importedCellInRange(const ImportResult& r, UserInterface& ui) {
  bool ok = true;
  for (std::size_t k = 0; k < 3; ++k)
    ok = ok && std::isfinite(r.cell[k]) && r.cell[k] > 0.0f && r.cell[k] <= kMaxImportedCellEdge;
  for (std::size_t k = 3; k < 6; ++k) ok = ok && std::isfinite(r.cell[k]) && r.cell[k] > 0.0f && r.cell[k] < 180.0f;
  if (!ok)
    ui.message("Unit cell refused: an edge is not a number, not positive or above 10000 A, or an angle is not "
               "between 0 and 180 degrees");
  return ok;
}

void normaliseOperatorLines(CrystalRecord& crystal, UserInterface& ui) {
  std::vector<std::string> kept;
  std::vector<SeitzMx> seen;
  kept.reserve(crystal.xyzLines.size());
  int dropped = 0;
  for (const std::string& line : crystal.xyzLines) {
    std::string text = line;
    // An operator listed twice would count twice (files do repeat lines).
    SeitzMx op;
    if (parsedOperator(text, op)) {
      SeitzMx reduced = op;
      for (int& t : reduced.translation) t = (t % STBF + STBF) % STBF;
      if (std::find(seen.begin(), seen.end(), reduced) != seen.end()) continue;
      seen.push_back(reduced);
    }
    // Ordinary lines stay as the file wrote them.
    if (text.size() > kMaxImportedOperatorText || hasControlCharacter(text)) {
      text = toUpper(removeBlanks(text));
      const auto canonical = parsedOperator(text, op) ? RTMx2XYZ(op) : std::nullopt;
      if (!canonical || hasControlCharacter(*canonical)) {
        ++dropped;
        continue;
      }
      text = *canonical + "; ";
    }
    kept.push_back(std::move(text));
  }
  if (dropped > 0) ui.message(format("%d symmetry line(s) could not be read and were dropped", dropped));
  crystal.xyzLines = std::move(kept);
}

std::optional<std::string> tableSpellingOf(std::string_view hmSymbol) {
  const std::string symbol = trim(hmSymbol);
  if (symbol.empty() || knownHmSymbol(symbol)) return std::nullopt;
  // Old cubic spellings leave out the bar over the 3 (Fm3m, Pa3, Ia3d).
  for (std::size_t i = 1; i < symbol.size(); ++i) {
    if (symbol[i] != '3' || symbol[i - 1] == '-') continue;
    std::string barred = symbol;
    barred.insert(i, 1, '-');
    if (knownHmSymbol(barred)) return barred;
  }
  return std::nullopt;
}

std::optional<std::string> triclinicHallSymbol(std::string_view hmSymbol) {
  const std::string symbol = removeBlanks(trim(hmSymbol));
  if (symbol.size() < 2 || symbol.size() > 3) return std::nullopt;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
  if (std::string_view("PABCIFR").find(letter) == std::string_view::npos) return std::nullopt;
  const std::string_view rest = std::string_view(symbol).substr(1);
  if (rest == "1") return format("%c 1", letter);
  if (rest == "-1") return format("-%c 1", letter);
  return std::nullopt;
}

bool namesRhombohedralAxes(std::string_view hmSymbol) {
  const std::string symbol = toUpper(removeBlanks(hmSymbol));
  return symbol.size() > 2 && symbol.ends_with(":R");
}

}  // namespace tessera
