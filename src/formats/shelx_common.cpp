#include "formats/shelx_common.h"

#include <array>
#include <cmath>

#include "core/text.h"

namespace tessera {

const std::vector<std::string>& defaultShelxSkipTable() {
  static const std::vector<std::string> table = {
      // The classic list, in its order.
      "ZERR", "SFAC", "DISP", "UNIT", "L.S.", "ACTA", "OMIT", "ANIS", "WGHT", "DFIX", "EXTI", "CONF", "FMAP", "PLAN",
      "HFIX", "EQIV", "RTAB", "MPLA", "FVAR", "LAUE", "REM", "MORE", "TIME", "EADP", "RESI", "MOVE", "AFIX", "LIST",
      "SIZE", "TEMP", "WPDB", "BOND", "SPEC", "DELU", "CHIV", "SAME", "SAMU", "BIND", "FREE", "PART", "SUMP", "SWAT",
      "BASF", "FRAG", "FEND", "GRID", "MOLE", "TWIN", "MERG", "SHEL", "CGLS", "DAMP", "SLIM", "FLAT", "BLOC", "SIMU",
      "ISOR", "SADI", "CONN", "BUMP", "DEFS", "FACE", "EMPI", "HOPE", "DMAT", "SKIP", "$H",
      // Instructions of current refinement and solution programs, so that ordinary
      // result files ask no questions.
      "ABIN", "ANSC", "ANSR", "BEDE", "DANG", "EGEN", "ESEL", "HTAB", "INIT", "LONE", "NCSY", "NEUT", "PATT", "PHAN",
      "PRIG", "PSEE", "RIGU", "STIR", "TEXP", "TREF", "TWST", "WIGL", "XNPD"};
  return table;
}

void ensureShelxSkipTable(ProgramSettings& settings) {
  if (settings.shelxSkipTable.empty()) {
    settings.shelxSkipTable = defaultShelxSkipTable();
    return;
  }
  // A table stored by an older run (the classic 67 names) still gets the newer
  // instructions; the user's own additions stay.
  for (const std::string& name : defaultShelxSkipTable()) AddSkippedInstruction(settings.shelxSkipTable, name);
}

std::string instructionKey(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  std::size_t end = start;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '_') ++end;
  return toUpper(cut(line.substr(start, end - start), 4));
}

bool IsSkippedInstruction(const std::vector<std::string>& table, std::string_view line) {
  const std::string key = instructionKey(line);
  if (key.empty()) return false;
  for (const std::string& entry : table)
    if (equalsIgnoreCase(key, cut(entry, 4))) return true;
  return false;
}

bool shelxLabelReadsAsInstruction(std::string_view label, const std::vector<std::string>& table) {
  if (label.empty()) return false;
  if (label[0] == '+' || label.find_first_of("!=") != std::string_view::npos) return true;
  static constexpr std::array<std::string_view, 12> kActedOn = {"TITL", "REM",  "HKLF", "CELL", "FVAR", "LATT",
                                                                "SYMM", "FRAG", "FEND", "SFAC", "EXYZ", "PART"};
  const std::string key = instructionKey(label);
  if (key.starts_with("END")) return true;
  for (std::string_view k : kActedOn)
    if (key == k) return true;
  if (IsSkippedInstruction(table, label)) return true;
  return isShelxResidualPeak(label);
}

bool isShelxResidualPeak(std::string_view label) {
  return label.size() >= 2 && (label[0] == 'Q' || label[0] == 'q') &&
         label.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

void AddSkippedInstruction(std::vector<std::string>& table, std::string_view name) {
  const std::string entry = toUpper(cut(trim(name), 4));
  if (entry.empty()) return;
  for (const std::string& e : table)
    if (equalsIgnoreCase(e, entry)) return;
  table.push_back(entry);
}

namespace {
// LATT number n (index n - 1): lattice letter and code.
constexpr std::array<std::pair<char, int>, 7> kShelxLattices = {
    {{'P', 1}, {'I', 6}, {'R', 7}, {'F', 5}, {'A', 2}, {'B', 3}, {'C', 4}}};
}  // namespace

int shelxLatticeNumber(int latticeCode) {
  for (std::size_t n = 0; n < kShelxLattices.size(); ++n)
    if (kShelxLattices[n].second == latticeCode) return static_cast<int>(n + 1);
  return 1;
}

std::optional<std::pair<char, int>> latticeOfShelxNumber(int number) {
  if (number < 1 || number > 7) return std::nullopt;
  return kShelxLattices[static_cast<std::size_t>(number - 1)];
}

double decodeFreeVariable(double v, const std::vector<double>& fv, int* missing) {
  const double a = std::fabs(v);
  if (a <= 8.0) return v;
  if (a < 17.0) return v - 10.0 * (v > 0 ? 1.0 : -1.0);
  const double m = v > 0 ? std::trunc(v * 0.1 + 0.5) : std::trunc(v * 0.1 - 0.5);
  const double p = v - 10.0 * m;
  const double k = std::fabs(m);
  double value = 1.0;
  if (k >= 1.0 && k <= static_cast<double>(fv.size()))
    value = fv[static_cast<std::size_t>(k) - 1];
  else if (missing)
    *missing = k > 1e9 ? 1000000000 : static_cast<int>(k);
  return m > 0 ? p * value : p * (value - 1.0);
}

}  // namespace tessera
