#include "formats/am_mineral_reader.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/import_checks.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

constexpr std::size_t kMaxTitle = 80;

struct Token {
  std::size_t begin, end;
};

std::vector<Token> tokenSpans(std::string_view line) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    const std::size_t b = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    out.push_back({b, i});
  }
  return out;
}

bool isMarker(std::string_view line) { return startsWithIgnoreCase(line, "American Mineralogist"); }

/// What a column of the atom header sets.
enum class Column { Label, X, Y, Z, Occupancy, Biso, Uiso, B, U, Unknown };

Column columnOf(const std::string& name, std::size_t& anisoIndex) {
  static const std::array<const char*, 6> kIndices = {"(1,1)", "(2,2)", "(3,3)", "(1,2)", "(1,3)", "(2,3)"};
  if (name == "atom") return Column::Label;
  if (name == "x") return Column::X;
  if (name == "y") return Column::Y;
  if (name == "z") return Column::Z;
  if (name == "occ") return Column::Occupancy;
  if (name == "Biso") return Column::Biso;
  if (name == "Uiso") return Column::Uiso;
  for (std::size_t k = 0; k < kIndices.size(); ++k) {
    anisoIndex = k;
    if (name == std::string("B") + kIndices[k]) return Column::B;
    if (name == std::string("U") + kIndices[k]) return Column::U;
  }
  return Column::Unknown;
}

/// The six numbers and a word of a cell line; nullopt for any other line.
std::optional<std::pair<std::array<float, 6>, std::string>> cellLine(const std::string& line) {
  const std::vector<std::string> words = splitTokens(line);
  if (words.size() < 7) return std::nullopt;
  std::array<float, 6> cell{};
  for (std::size_t k = 0; k < 6; ++k) {
    const auto v = parseDouble(words[k]);
    if (!v) return std::nullopt;
    cell[k] = narrowToFloat(*v);
  }
  if (parseDouble(words[6])) return std::nullopt;
  std::string symbol;
  for (std::size_t k = 6; k < words.size(); ++k) symbol += words[k];
  return std::make_pair(cell, symbol);
}

class AmEntry {
 public:
  AmEntry(ImportContext& context, const std::vector<std::string>& lines, std::size_t first, std::size_t end)
      : ctx_(context), lines_(lines), next_(first), end_(end) {}
  bool read(ImportResult& result);

 private:
  ImportContext& ctx_;
  const std::vector<std::string>& lines_;
  std::size_t next_, end_;
  std::array<float, 3> offset_{};

  void atomLine(const std::string& header, const std::vector<std::string>& names, const std::string& line);
};

bool AmEntry::read(ImportResult& result) {
  if (next_ >= end_) {
    ctx_.ui.message("Error at data location");
    return false;
  }
  result.title = trim(cut(lines_[next_++], kMaxTitle));
  bool offsetLine = false;
  std::size_t i = next_;
  for (; i < end_; ++i) {
    if (startsWith(lines_[i], "atom")) break;
    const auto cell = cellLine(lines_[i]);
    if (!cell) continue;
    result.cell = cell->first;
    result.cellFound = usableImportCell(result.cell);
    std::string symbol = cell->second;
    offsetLine = !symbol.empty() && symbol[0] == '*';
    if (offsetLine) symbol.erase(0, 1);
    result.hmSymbol = cut(removeBlanks(symbol), kMaxSymbolLength);
    for (char& c : result.hmSymbol)
      if (c == '_') c = ' ';
    result.hmSymbol = removeBlanks(result.hmSymbol);
    ++i;
    break;
  }
  if (offsetLine) {
    const std::vector<std::string> words = i < end_ ? splitTokens(lines_[i]) : std::vector<std::string>();
    bool ok = words.size() >= 3;
    for (std::size_t k = 0; ok && k < 3; ++k) {
      const auto v = parseDouble(words[k]);
      if (v)
        offset_[k] = narrowToFloat(*v);
      else
        ok = false;
    }
    if (!ok) {
      ctx_.ui.message("Error reading origin offset line");
      return false;
    }
    ++i;
  }
  while (i < end_ && !startsWith(lines_[i], "atom")) ++i;
  if (i >= end_) {
    ctx_.ui.message("Error reading atom format line");
    return false;
  }
  const std::string& header = lines_[i];
  const std::vector<std::string> names = splitTokens(header);
  for (const std::string& name : names) {
    std::size_t k = 0;
    if (columnOf(name, k) == Column::Unknown) ctx_.ui.message("Field not identified");
  }
  for (++i; i < end_; ++i) {
    const std::string& line = lines_[i];
    if (startsWith(line, "<")) break;
    if (trim(line).empty()) continue;
    atomLine(header, names, line);
  }
  return true;
}

void AmEntry::atomLine(const std::string& header, const std::vector<std::string>& names, const std::string& line) {
  const std::vector<std::string> fields = amColumnFields(header, line);
  Site site;
  site.ortepType = -1;  // no temperature-factor column: no factor
  float occupancy = 1.0f;
  for (std::size_t c = 0; c < names.size() && c < fields.size(); ++c) {
    std::size_t k = 0;
    const Column column = columnOf(names[c], k);
    if (column == Column::Unknown) continue;
    if (column == Column::Label) {
      site.label = fields[c];
      continue;
    }
    const auto v = fields[c].empty() ? std::optional<double>(0.0) : parseDouble(fields[c]);
    if (!v) {
      ctx_.ui.message(format("Error reading atom line \"%s\"", line.c_str()));
      return;
    }
    const float f = narrowToFloat(*v);
    switch (column) {
      case Column::X:
        site.x = f;
        break;
      case Column::Y:
        site.y = f;
        break;
      case Column::Z:
        site.z = f;
        break;
      case Column::Occupancy:
        occupancy = f <= 0.0f ? 1.0f : f;
        break;
      case Column::Biso:
      case Column::Uiso:
        site.isoValue = f;
        site.aniso[0] = f;
        site.ortepType = column == Column::Biso ? 6 : 10;
        break;
      case Column::B:
      case Column::U:
        site.aniso[k] = f;
        site.ortepType = column == Column::B ? 0 : 8;
        break;
      default:
        break;
    }
  }
  site.x += offset_[0];
  site.y += offset_[1];
  site.z += offset_[2];
  site.label = cut(site.label, kMaxLabelLength);
  SiteOccupant o = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  o.occupancy = occupancy;
  o.element.clear();
  site.occupants = {o};
  const std::string label = site.label;
  AddImportedSite(ctx_, std::move(site), label, label);
}

}  // namespace

std::vector<std::string> amColumnFields(std::string_view header, std::string_view line) {
  const std::vector<Token> columns = tokenSpans(header);
  const std::vector<Token> tokens = tokenSpans(line);
  std::vector<std::string> out(columns.size());
  std::vector<bool> filled(columns.size(), false);
  std::vector<bool> taken(tokens.size(), false);
  auto put = [&](std::size_t c, std::size_t t) {
    out[c] = std::string(line.substr(tokens[t].begin, tokens[t].end - tokens[t].begin));
    filled[c] = taken[t] = true;
  };
  // First the tokens standing under a column name (right- or left-aligned alike) ...
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (std::size_t t = 0; t < tokens.size(); ++t)
      if (!taken[t] && tokens[t].begin < columns[c].end && tokens[t].end > columns[c].begin) {
        put(c, t);
        break;
      }
  // ... then each other token in the column its start lies in, or the next free one.
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    if (taken[t]) continue;
    std::size_t c = 0;
    while (c + 1 < columns.size() && columns[c + 1].begin <= tokens[t].begin) ++c;
    while (c < columns.size() && filled[c]) ++c;
    if (c < columns.size()) put(c, t);
  }
  return out;
}

bool ReadAmMineral(ImportContext& context) {
  SetImportKind(context, kKindAmMineral);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  if (!ReserveSites(context, 20)) return false;
  std::vector<std::string> lines;
  std::vector<std::size_t> names;  // the name line of each entry
  bool binary = false;
  LineReader reader(context.file);
  for (std::string line; reader.next(line);) {
    binary = binary || reader.lastLineBinary();
    lines.push_back(std::move(line));
  }
  context.file.close();
  if (binary) {
    context.ui.message("Error at data location");
    return false;
  }
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if (isMarker(lines[i])) names.push_back(i + 1);
  // Current files carry no marker line: the file is one entry, named by its first line.
  if (names.empty())
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (!trim(lines[i]).empty()) {
        names.push_back(i);
        break;
      }
  int index = 0;
  for (std::size_t n : names)
    if (!AddDataSetName(context, trim(lines[n]), ++index)) break;
  std::size_t chosen = 0;
  if (context.dataSetNames.size() >= 2) {
    const int choice = ChooseDataSet(context);
    if (choice <= 0) return false;
    chosen = static_cast<std::size_t>(choice - 1);
  }
  const std::size_t first = names.empty() ? lines.size() : names[chosen];
  // An entry ends at the next entry's marker.
  const std::size_t end = chosen + 1 < names.size() ? names[chosen + 1] - 1 : lines.size();
  ImportResult result;
  AmEntry entry(context, lines, first, end);
  if (!entry.read(result)) return false;
  FinishImport(context, false, result);
  return true;
}

}  // namespace tessera
