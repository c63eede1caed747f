// Lookup of a table row by Hermann-Mauguin symbol or by number with extension,
// under the monoclinic and rhombohedral conventions of volume A or volume I.

#include <cctype>

#include "core/text.h"
#include "symmetry/sg_table.h"

namespace tessera {

namespace {

constexpr std::size_t kMaxSymbolPart = 20;
constexpr std::size_t kMaxExtensionPart = 5;

struct Request {
  char volume = 'A';
  bool byNumber = false;
  int number = 0;
  SgExtension ext;
};

std::string withoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '_' && c != '\t') out += c;
  return out;
}

// Merges an origin choice or axes letter written at the end of the symbol with the extension.
bool mergeSuffix(char suffix, SgExtension& ext) {
  char SgExtension::*field = &SgExtension::originChoice;
  char value;
  switch (std::toupper(static_cast<unsigned char>(suffix))) {
    case 'S': value = '1'; break;
    case 'Z': value = '2'; break;
    case 'H': field = &SgExtension::hexRhomb; value = 'H'; break;
    case 'R': field = &SgExtension::hexRhomb; value = 'R'; break;
    default: return false;
  }
  if (ext.*field != '\0' && ext.*field != value) return false;
  ext.*field = value;
  return true;
}

// Index (0-based) of the row's label matching the symbol, or -1.
int matchingLabel(const TabSgName& row, const std::string& symbol) {
  for (std::size_t i = 0; i < row.lookupLabels.size(); ++i)
    if (equalsIgnoreCase(row.lookupLabels[i], symbol)) return static_cast<int>(i);
  return -1;
}

bool cellAccepted(char given, char rows) { return given == '\0' ? (rows == '\0' || rows == '1') : rows == given; }

bool acceptMonoclinic(const TabSgName& row, const Request& q, int label) {
  const SgExtension& e = q.ext;
  const SgExtension& r = row.parsedExtension;
  if (e.originChoice || e.hexRhomb || e.axisCode.size() > 2) return false;
  std::string axis = e.axisCode;
  // A full symbol names its own cell choice unless one was given.
  const bool ownCell = !q.byNumber && label > 0 && e.cellChoice == '\0';
  if (axis.empty()) {
    if (q.byNumber && q.volume == 'I') {
      if (r.axisCode.find('c') == std::string::npos) return false;
      if (r.cellChoice == '\0') return cellAccepted(e.cellChoice, '1');
      return row.labelCount == 3 && (e.cellChoice == '\0' || e.cellChoice == r.cellChoice);
    }
    if (q.byNumber || label == 0)
      axis = (q.volume == 'A' || r.cellChoice != '\0') ? "b" : "c";
    else
      axis = r.axisCode;
  }
  if (r.axisCode != axis) return false;
  return ownCell || cellAccepted(e.cellChoice, r.cellChoice);
}

bool acceptOther(const TabSgName& row, const Request& q) {
  const SgExtension& e = q.ext;
  const SgExtension& r = row.parsedExtension;
  if (e.cellChoice) return false;
  if (r.hexRhomb) {
    if (e.originChoice || !e.axisCode.empty()) return false;
    if (e.hexRhomb) return e.hexRhomb == r.hexRhomb;
    return r.hexRhomb == (q.volume == 'I' ? 'R' : 'H');
  }
  if (e.hexRhomb) return false;
  const bool originOk = e.originChoice == '\0'   ? (r.originChoice == '\0' || r.originChoice == '2')
                        : e.originChoice == '1' ? (r.originChoice == '\0' || r.originChoice == '1')
                                                : r.originChoice == e.originChoice;
  if (!originOk) return false;
  if (e.axisCode.empty()) return !q.byNumber || r.axisCode.empty();
  if (e.axisCode == "abc") return r.axisCode.empty();
  return r.axisCode == e.axisCode;
}

const TabSgName* scan(const Request& q, const std::string& symbol) {
  for (const TabSgName& row : tabSgNames()) {
    int label = -1;
    if (q.byNumber) {
      if (row.number != q.number) continue;
    } else {
      label = matchingLabel(row, symbol);
      if (label < 0) continue;
    }
    const bool monoclinic = row.number >= 3 && row.number <= 15;
    if (monoclinic ? acceptMonoclinic(row, q, label) : acceptOther(row, q)) return &row;
  }
  return nullptr;
}

// The symbol written out as a full monoclinic symbol with the unique axis given.
std::string fullMonoclinic(const std::string& symbol, char axis) {
  const std::string lattice = symbol.substr(0, 1), rest = symbol.substr(1);
  if (axis == 'a') return lattice + rest + "11";
  if (axis == 'b') return lattice + "1" + rest + "1";
  return lattice + "11" + rest;
}

}  // namespace

const TabSgName* findTabSgNameEntry(std::string_view text, char volume, std::string* error) {
  if (tabSgNameIsCorrupt()) {
    if (error) *error = "Internal Error: Corrupt TabSgName";
    return nullptr;
  }
  Request q;
  if (volume == '\0' || volume == ' ') volume = 'A';
  if (volume == '1') volume = 'I';
  q.volume = static_cast<char>(std::toupper(static_cast<unsigned char>(volume)));
  if (q.volume != 'I' && q.volume != 'A') return nullptr;

  const std::size_t colon = text.find(':');
  std::string symbol = withoutBlanks(text.substr(0, colon));
  const std::string extText = colon == std::string_view::npos ? "" : withoutBlanks(text.substr(colon + 1));
  if (symbol.empty() || symbol.size() > kMaxSymbolPart || extText.size() > kMaxExtensionPart) return nullptr;
  if (!parseSgExtension(extText, q.ext)) return nullptr;
  if (symbol.size() > 1 && std::string_view("SsZzHhRr").find(symbol.back()) != std::string_view::npos) {
    if (!mergeSuffix(symbol.back(), q.ext)) return nullptr;
    symbol.pop_back();
  }

  const bool hm = std::isalpha(static_cast<unsigned char>(symbol[0])) != 0;
  if (!hm) {
    for (char c : symbol)
      if (!std::isdigit(static_cast<unsigned char>(c))) return nullptr;
    const auto n = parseLong(symbol);
    if (!n || *n < 1 || *n > 230) return nullptr;
    q.byNumber = true;
    q.number = static_cast<int>(*n);
    return scan(q, symbol);
  }
  if (const TabSgName* row = scan(q, symbol)) return row;
  const char defaultAxis = q.volume == 'A' ? 'b' : 'c';
  const char otherAxis = q.volume == 'A' ? 'c' : 'b';
  const char lastAxis = static_cast<char>(std::tolower(static_cast<unsigned char>(symbol.back())));
  for (char axis : {defaultAxis, otherAxis, lastAxis}) {
    if (axis < 'a' || axis > 'c') continue;
    const std::string full = fullMonoclinic(symbol, axis);
    if (full.size() > kMaxSymbolPart) continue;
    if (const TabSgName* row = scan(q, full)) return row;
  }
  return nullptr;
}

}  // namespace tessera
