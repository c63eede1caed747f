#include "symmetry/sg_table.h"

#include <cctype>
#include <mutex>
#include <unordered_map>

#include "core/text.h"

namespace tessera {

namespace {

const char* const kSettingsText =
#include "space_group_settings.inc"
    ;

std::string withoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '_' && c != '\t') out += c;
  return out;
}

std::vector<std::string> splitLabels(const std::string& labels) {
  std::vector<std::string> forms;
  std::size_t start = 0;
  for (;;) {
    const std::size_t sep = labels.find(" = ", start);
    forms.push_back(labels.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (sep == std::string::npos) return forms;
    start = sep + 3;
  }
}

struct Table {
  std::vector<TabSgName> rows;
  std::unordered_map<std::string, std::size_t> byHall;
  bool corrupt = false;
};

Table loadTable() {
  Table table;
  std::string_view text = kSettingsText;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cols;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      cols.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    TabSgName row;
    const auto number = cols.size() >= 4 ? parseLong(cols[1]) : std::nullopt;
    if (!number || !parseSgExtension(cols[2], row.parsedExtension)) {
      table.corrupt = true;
      continue;
    }
    row.HallSymbol = cols[0];
    row.number = static_cast<int>(*number);
    row.extension = cols[2];
    row.labels = cols[3];
    row.oldLabel = cols.size() > 4 ? cols[4] : "";
    for (const std::string& form : splitLabels(row.labels)) row.lookupLabels.push_back(withoutBlanks(form));
    row.labelCount = static_cast<int>(row.lookupLabels.size());
    if (!row.oldLabel.empty()) row.lookupLabels.push_back(withoutBlanks(row.oldLabel));
    table.byHall.emplace(row.HallSymbol, table.rows.size());  // keeps the first of a shared symbol
    table.rows.push_back(std::move(row));
  }
  return table;
}

const Table& table() {
  static const Table t = loadTable();
  return t;
}

}  // namespace

bool parseSgExtension(std::string_view text, SgExtension& out) {
  out = SgExtension{};
  if (text.empty()) return true;
  if (text.size() == 1 && (text[0] == 'H' || text[0] == 'h' || text[0] == 'R' || text[0] == 'r')) {
    out.hexRhomb = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return true;
  }
  std::string rest = toLower(text);
  if (rest[0] == '1' || rest[0] == '2') {
    out.originChoice = rest[0];
    rest.erase(0, 1);
    if (rest.empty()) return true;
  }
  // Monoclinic axis with an optional cell choice: [-]a|b|c[1|2|3].
  std::size_t i = rest[0] == '-' ? 1 : 0;
  if (!out.originChoice && i < rest.size() && rest[i] >= 'a' && rest[i] <= 'c' &&
      (rest.size() == i + 1 || (rest.size() == i + 2 && rest[i + 1] >= '1' && rest[i + 1] <= '3'))) {
    out.axisCode = rest.substr(0, i + 1);
    if (rest.size() == i + 2) out.cellChoice = rest[i + 1];
    return true;
  }
  // Axis permutation: a, b and c once each, one of them possibly negated.
  int letters = 0, minus = 0;
  bool seen[3] = {false, false, false};
  for (std::size_t k = 0; k < rest.size(); ++k) {
    const char c = rest[k];
    if (c == '-') {
      if (++minus > 1 || k + 1 >= rest.size()) return false;
    } else if (c >= 'a' && c <= 'c' && !seen[c - 'a']) {
      seen[c - 'a'] = true;
      ++letters;
    } else {
      return false;
    }
  }
  if (letters != 3) return false;
  out.axisCode = rest;
  return true;
}

std::string TabSgName::key() const {
  std::string k = std::to_string(number);
  if (!extension.empty()) k += ":" + extension;
  return k;
}

std::string TabSgName::documentHmSymbol() const {
  std::string form = labels;
  const std::size_t first = form.find(" = ");
  if (first != std::string::npos) {
    form.erase(0, first + 3);
    const std::size_t second = form.find('=');
    if (second != std::string::npos) form.erase(second);
  }
  form = removeBlanks(form);
  if (!extension.empty() && (extension[0] == '1' || extension[0] == '2' || extension[0] == 'H' || extension[0] == 'R'))
    form += ":" + std::string(1, extension[0]);
  return form;
}

const std::vector<TabSgName>& tabSgNames() { return table().rows; }

const TabSgName* findTabSgNameByHall(std::string_view hallSymbol) {
  const Table& t = table();
  const auto it = t.byHall.find(std::string(hallSymbol));
  return it == t.byHall.end() ? nullptr : &t.rows[it->second];
}

bool tabSgNameIsCorrupt() { return table().corrupt; }

}  // namespace tessera
