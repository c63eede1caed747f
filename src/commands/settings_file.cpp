#include "commands/settings_file.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/native_file.h"
#include "core/text.h"
#include "formats/shelx_common.h"

namespace tessera {

namespace {

constexpr std::array<const char*, kWindowKindCount> kPlacementKeys = {"wpmain", "wpcont", "wptext", "wppow",
                                                                       "wppre",  "wppow2", "wppre2"};

// The import kinds of the seventeen extensions the file holds, in file order: the
// two ICSD kinds 6 and 7 share ".cry", so kind 7 is not written and keeps its own.
constexpr std::array<int, 17> kExtensionKinds = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool hasLetterOrDigit(std::string_view text) {
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c))) return true;
  return false;
}

void appendPlacement(std::string& out, const char* key, const WindowPlacement& p) {
  appendFormat(out, "%s %u,%u,%d,%d,%d,%d,%d,%d,%d,%d\n", key, p.flags, p.showState, p.minX, p.minY, p.maxX,
               p.maxY, p.left, p.top, p.right, p.bottom);
}

// Reads the records in file order from the text's lines; every record that yields
// too few fields ends the reading with the keyword of the last placement read.
class SettingsParser {
 public:
  SettingsParser(std::string_view text, ProgramSettings& settings) : settings_(settings) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      lines_.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }

  std::string run() {
    if (!directory()) return failure();
    for (int k = 0; k < 3; ++k)
      if (!placement(k)) return failure();
    if (!extensions() || !keywords() || !options() || !limits() || !fontName() || !font() || !output() || !frame())
      return failure();
    for (int k = 3; k < kWindowKindCount; ++k)
      if (!placement(k)) return failure();
    return {};
  }

 private:
  std::string failure() const {
    return format("Error reading SCRPTR file, line: %s ", lastPlacement_ ? lastPlacement_ : "zero");
  }

  std::optional<std::string_view> nextLine() {
    if (next_ >= lines_.size()) return std::nullopt;
    std::string_view line = lines_[next_++];
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

  // The next line's numbers (blank- or comma-separated); nullopt when fewer than count.
  std::optional<std::vector<double>> numbers(std::size_t count, bool skipKeyword = false) {
    auto line = nextLine();
    if (!line) return std::nullopt;
    std::vector<std::string> tokens = splitTokens(*line, " \t,");
    std::vector<double> values;
    for (std::size_t i = skipKeyword ? 1 : 0; i < tokens.size() && values.size() < count; ++i) {
      auto v = parseDouble(tokens[i]);
      if (!v) break;
      values.push_back(*v);
    }
    if (values.size() < count || (skipKeyword && tokens.empty())) return std::nullopt;
    return values;
  }

  bool directory() {
    auto line = nextLine();
    if (!line) return false;
    std::string folder = trim(*line);
    // Only a trailing folder separator is removed; a root folder stays as it is.
    if (folder.size() > 1 && isSeparator(folder.back())) folder.pop_back();
    settings_.documentDirectory = folder;
    return true;
  }

  bool placement(int kind) {
    auto v = numbers(10, true);
    if (!v) return false;
    WindowPlacement& p = settings_.windowPlacements[static_cast<std::size_t>(kind)];
    const std::vector<double>& n = *v;
    p.flags = static_cast<unsigned>(n[0]);
    p.showState = static_cast<unsigned>(n[1]);
    p.minX = static_cast<int>(n[2]);
    p.minY = static_cast<int>(n[3]);
    p.maxX = static_cast<int>(n[4]);
    p.maxY = static_cast<int>(n[5]);
    p.left = static_cast<int>(n[6]);
    p.top = static_cast<int>(n[7]);
    p.right = static_cast<int>(n[8]);
    p.bottom = static_cast<int>(n[9]);
    lastPlacement_ = kPlacementKeys[static_cast<std::size_t>(kind)];
    return true;
  }

  bool extensions() {
    auto line = nextLine();
    if (!line) return false;
    std::vector<std::string> tokens = splitTokens(*line);
    if (tokens.size() < kExtensionKinds.size()) return false;
    for (std::size_t i = 0; i < kExtensionKinds.size(); ++i)
      settings_.importExtensions[static_cast<std::size_t>(kExtensionKinds[i])] = tokens[i];
    return true;
  }

  bool keywords() {
    auto count = numbers(1);
    if (!count || (*count)[0] < 0) return false;
    const auto wanted = static_cast<std::size_t>((*count)[0]);
    std::vector<std::string> list;
    while (list.size() < wanted) {
      auto line = nextLine();
      if (!line) return false;
      for (std::string& token : splitTokens(*line))
        if (list.size() < wanted) list.push_back(std::move(token));
    }
    settings_.shelxSkipTable = std::move(list);
    return true;
  }

  bool options() {
    auto v = numbers(8);
    if (!v) return false;
    const std::vector<double>& n = *v;
    settings_.convMode = static_cast<int>(n[0]);
    settings_.anisoPref = static_cast<int>(n[1]);
    settings_.isoPref = static_cast<int>(n[2]);
    settings_.removeMultipleOccupancies = n[3] != 0;
    settings_.bondSelectedOnly = n[4] != 0;
    settings_.symmetrySourcePref = static_cast<int>(n[5]);
    settings_.typeNumberSource = static_cast<int>(n[6]);
    settings_.bondAngles = n[7] != 0;
    return true;
  }

  bool limits() {
    auto v = numbers(5);
    if (!v) return false;
    const std::vector<double>& n = *v;
    settings_.centralLigandLimit = static_cast<float>(n[0]);
    settings_.ligandLigandLimit = static_cast<float>(n[1]);
    settings_.angleLimit = static_cast<float>(n[2]);
    settings_.tolerance = static_cast<float>(n[3]);
    settings_.fontPointSize = static_cast<int>(n[4] + 0.5);
    return true;
  }

  bool fontName() {
    auto line = nextLine();
    if (!line) return false;
    settings_.fontName = cut(*line, 63);
    return true;
  }

  bool font() {
    auto v = numbers(6);
    if (!v) return false;
    const std::vector<double>& n = *v;
    settings_.fontHeight = static_cast<int>(n[0]);
    settings_.fontWeight = static_cast<int>(n[1]);
    settings_.fontPitchFamily = static_cast<int>(n[2]);
    settings_.fontItalic = static_cast<int>(n[3]);
    settings_.fontUnderline = static_cast<int>(n[4]);
    settings_.fontStrikeOut = static_cast<int>(n[5]);
    return true;
  }

  bool output() {
    auto v = numbers(5);
    if (!v) return false;
    const std::vector<double>& n = *v;
    settings_.printOutputType = static_cast<int>(n[0]);
    settings_.frameUnits = static_cast<int>(n[1]);
    settings_.printStandardDialog = static_cast<int>(n[2]);
    settings_.printBlackWhite = static_cast<int>(n[3]);
    settings_.powderScaleMode = static_cast<int>(n[4]);
    return true;
  }

  bool frame() {
    auto v = numbers(5);
    if (!v) return false;
    const std::vector<double>& n = *v;
    for (std::size_t i = 0; i < 4; ++i) settings_.printFrame[i] = static_cast<float>(n[i]);
    settings_.powderFixedScale = static_cast<float>(n[4]);
    return true;
  }

  ProgramSettings& settings_;
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  const char* lastPlacement_ = nullptr;
};

// Values a damaged or hand-edited file may hold that the program cannot work with
// go back to their defaults.
void keepUsable(ProgramSettings& s) {
  const ProgramSettings d;
  auto within = [](auto& value, auto low, auto high, auto fallback) {
    if (!(value >= low && value <= high)) value = fallback;
  };
  within(s.convMode, 0, 3, d.convMode);
  within(s.anisoPref, 0, 1, d.anisoPref);
  within(s.isoPref, 0, 1, d.isoPref);
  within(s.symmetrySourcePref, 0, 1, d.symmetrySourcePref);
  within(s.typeNumberSource, 0, 1, d.typeNumberSource);
  within(s.centralLigandLimit, 0.0f, 1000.0f, d.centralLigandLimit);
  within(s.ligandLigandLimit, 0.0f, 1000.0f, d.ligandLigandLimit);
  within(s.angleLimit, 0.0f, 1000.0f, d.angleLimit);
  within(s.tolerance, 0.0f, 1000.0f, d.tolerance);
  within(s.fontPointSize, 1, 200, d.fontPointSize);
  within(s.frameUnits, 1, 3, d.frameUnits);
  within(s.printOutputType, 0, 1, d.printOutputType);
  within(s.powderScaleMode, 0, 1, d.powderScaleMode);
  within(s.powderFixedScale, 0.001f, 1.0e4f, d.powderFixedScale);
  for (std::size_t i = 0; i < 4; ++i) within(s.printFrame[i], 0.0f, 1.0e4f, d.printFrame[i]);
  if (s.fontName.empty()) s.fontName = d.fontName;
}

}  // namespace

std::filesystem::path settingsFolder(const std::filesystem::path& home, bool homeGiven,
                                     const std::filesystem::path& userConfigFolder) {
  if (homeGiven || userConfigFolder.empty()) return home;
  std::error_code ec;
  return std::filesystem::is_directory(home, ec) && ::access(home.c_str(), W_OK) == 0 ? home : userConfigFolder;
}

std::string settingsText(const ProgramSettings& s) {
  std::string out;
  std::string folder = s.documentDirectory;
  if (!folder.empty() && !isSeparator(folder.back())) folder += '/';
  appendFormat(out, "%-s\n", folder.c_str());
  for (std::size_t k = 0; k < 3; ++k) appendPlacement(out, kPlacementKeys[k], s.windowPlacements[k]);
  for (int kind : kExtensionKinds) appendFormat(out, " %s", s.importExtensions[static_cast<std::size_t>(kind)].c_str());
  out += "\n";
  const std::vector<std::string>& keys = s.shelxSkipTable.empty() ? defaultShelxSkipTable() : s.shelxSkipTable;
  appendFormat(out, " %d\n", static_cast<int>(keys.size()));
  for (std::size_t i = 0; i < keys.size(); ++i) {
    appendFormat(out, " %s", keys[i].c_str());
    if ((i + 1) % 10 == 0 || i + 1 == keys.size()) out += "\n";
  }
  appendFormat(out, "%d %d %d %d %d %d %d %d \n", s.convMode, s.anisoPref, s.isoPref,
               s.removeMultipleOccupancies ? 1 : 0, s.bondSelectedOnly ? 1 : 0, s.symmetrySourcePref,
               s.typeNumberSource, s.bondAngles ? 1 : 0);
  appendFormat(out, "%f %f %f %f %f \n", s.centralLigandLimit, s.ligandLigandLimit, s.angleLimit, s.tolerance,
               static_cast<double>(s.fontPointSize));
  appendFormat(out, "%s\n", cut(s.fontName, 63).c_str());
  appendFormat(out, "%d %d %d %d %d %d \n", s.fontHeight, s.fontWeight, s.fontPitchFamily, s.fontItalic,
               s.fontUnderline, s.fontStrikeOut);
  appendFormat(out, "%d %d %d %d %d\n", s.printOutputType, s.frameUnits, s.printStandardDialog, s.printBlackWhite,
               s.powderScaleMode);
  appendFormat(out, "%f %f %f %f %f\n", s.printFrame[0], s.printFrame[1], s.printFrame[2], s.printFrame[3],
               s.powderFixedScale);
  for (std::size_t k = 3; k < kPlacementKeys.size(); ++k) appendPlacement(out, kPlacementKeys[k], s.windowPlacements[k]);
  return out;
}

std::string parseSettings(std::string_view text, ProgramSettings& settings) {
  std::string error = SettingsParser(text, settings).run();
  keepUsable(settings);
  return error;
}

bool readSettings(const std::filesystem::path& folder, ProgramSettings& settings, UserInterface& ui) {
  std::ifstream in(folder / kSettingsFileName, std::ios::binary);
  if (!in) {
    ui.message("Failed to open SCRPTR file");
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const std::string error = parseSettings(text.str(), settings);
  if (error.empty()) return true;
  ui.message(error);
  return false;
}

bool writeSettings(const std::filesystem::path& folder, ProgramSettings& settings, UserInterface& ui) {
  std::erase_if(settings.shelxSkipTable, [](const std::string& k) { return !hasLetterOrDigit(k); });
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!writeFileAtomically((folder / kSettingsFileName).string(), settingsText(settings))) {
    ui.message("Failed to open SCRPTR file");
    return false;
  }
  return true;
}

}  // namespace tessera
