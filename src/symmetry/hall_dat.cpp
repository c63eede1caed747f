#include "core/data_files.h"
#include "symmetry/hall_dat.h"

#include <fstream>
#include <sstream>

#include "core/text.h"
#include "symmetry/sg_table.h"

namespace tessera {

namespace {

constexpr std::size_t kMaxListLine = 62;

std::string column(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) return "";
  return trim(line.substr(first - 1, last - first + 1));
}

}  // namespace

HallDatEntry hallDatFields(std::string_view line) {
  return {column(line, 4, 11), column(line, 15, 27), column(line, 29, 46)};
}

std::string hallDatText() {
  std::string out;
  for (const TabSgName& row : tabSgNames())
    out += format("   %-8s   %-13s %s\n", row.key().c_str(), row.documentHmSymbol().c_str(), row.HallSymbol.c_str());
  return out;
}

std::vector<std::string> hallDatLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    do {
      lines.emplace_back(line.substr(0, kMaxListLine));
      line.remove_prefix(std::min(line.size(), kMaxListLine));
    } while (!line.empty());
  }
  return lines;
}

int hallDatPreselection(const std::vector<std::string>& lines, std::string_view key) {
  if (key.empty()) return 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() < 4) continue;
    const std::string from4 = trimLeft(std::string_view(lines[i]).substr(3));
    if (from4.compare(0, key.size(), key) == 0) return static_cast<int>(i);
  }
  return 0;
}

std::optional<HallDatList> readHallDat(const std::vector<std::filesystem::path>& folders, std::string_view key,
                                       UserInterface& ui) {
  const auto file = findDataFile(folders, "HALL.DAT");
  std::ifstream in;
  if (file) in.open(*file, std::ios::binary);
  if (!in.is_open()) {
    ui.message("Unable to find or open HALL.DAT file.");
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  HallDatList list;
  list.lines = hallDatLines(text.str());
  list.preselected = hallDatPreselection(list.lines, key);
  return list;
}

}  // namespace tessera
