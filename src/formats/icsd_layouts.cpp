#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/icsd_common.h"
#include "formats/icsd_reading.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

bool isBlankLine(std::string_view s) { return s.find_first_not_of(" \t") == std::string_view::npos; }

/// RETRIEVE and Original lines lose their first column (a blank in these layouts).
std::string shifted(const std::string& line) { return line.empty() ? std::string() : line.substr(1); }

/// Text after a keyword and one blank.
std::string_view afterKeyword(std::string_view s, std::size_t keyLength) {
  return s.size() > keyLength + 1 ? s.substr(keyLength + 1) : std::string_view();
}

/// Reads n values from tokens[first..]; false when one is missing or not a number.
template <std::size_t N>
bool readValues(const std::vector<std::string>& t, std::size_t first, std::array<float, N>& out, bool coordinates) {
  if (t.size() < first + N) return false;
  for (std::size_t k = 0; k < N; ++k) {
    const auto v = coordinates ? icsdCoordinate(t[first + k]) : icsdNumber(t[first + k]);
    if (!v) return false;
    out[k] = narrowToFloat(*v);
  }
  return true;
}

/// Element, number, oxidation state, Wyckoff, x, y, z and an optional occupancy from tokens[first..].
void atomFromTokens(IcsdReading& r, const std::string& element, const std::string& number,
                    const std::vector<std::string>& t, std::size_t first) {
  if (t.size() < first + 5) {
    r.ctx.ui.message("Error reading PARM line");
    return;
  }
  const auto charge = icsdNumber(t[first]);
  std::array<float, 3> xyz{};
  if (!readValues(t, first + 2, xyz, true)) {
    r.ctx.ui.message("Error reading fractional coordinate line");
    return;
  }
  if (!charge) {
    r.ctx.ui.message("Error reading PARM line");
    return;
  }
  float occupancy = 1.0f;
  if (t.size() > first + 5)
    if (const auto v = icsdNumber(t[first + 5])) occupancy = narrowToFloat(*v);
  r.atom(icsdLabel(element, number), element, narrowToFloat(*charge), t[first + 1], xyz, occupancy);
}

/// Element, number and six anisotropic values.
void anisoFromTokens(IcsdReading& r, const std::vector<std::string>& t, int ortepType, const char* problem) {
  std::array<float, 6> v{};
  if (t.size() < 2 || !readValues(t, 2, v, false)) {
    r.ctx.ui.message(problem);
    return;
  }
  r.factor(icsdLabel(t[0], t[1]), v, ortepType);
}

void isoLine(IcsdReading& r, const std::vector<std::string>& t, std::size_t first, const char* problem) {
  float value = 0.0f;
  int type = 0;
  if (!icsdIsoFactor(t, first, value, type)) {
    r.ctx.ui.message(problem);
    return;
  }
  r.factor(icsdLabel(t[first], t[first + 1]), {value, 0, 0, 0, 0, 0}, type);
}

/// The records every layout but CAN/SND shares; true when the line was one of them.
bool commonRecord(IcsdReading& r, const std::string& s, const std::vector<std::string>& words) {
  const std::string& key = words[0];
  if (key == "NAME" || key == "MINR")
    r.nameRecord(afterKeyword(s, 4), key == "MINR");
  else if (key == "CELL")
    r.cellTokens(std::vector<std::string>(words.begin() + 1, words.end()));
  else if (key == "SGR")
    r.symbolRecord(s);
  else if (key == "SYM")
    r.operatorLine(s.size() > 3 ? std::string_view(s).substr(3) : std::string_view());
  else
    return false;
  return true;
}

}  // namespace

void readIcsdRetrieve(IcsdReading& r, const std::vector<std::string>& lines, std::size_t begin, std::size_t end) {
  enum class Section { None, Atoms, Aniso };
  Section section = Section::None;
  int anisoType = 0;
  for (std::size_t i = begin; i < end && i < lines.size(); ++i) {
    const std::string s = shifted(lines[i]);
    if (isBlankLine(s) || s.find("Atoms not located") != std::string::npos) continue;
    if (s[0] == ' ' || s[0] == '\t') {
      const std::vector<std::string> t = icsdValueTokens(s);
      if (section == Section::Atoms && t.size() >= 2)
        atomFromTokens(r, t[0], t[1], t, 2);
      else if (section == Section::Aniso)
        anisoFromTokens(r, t, anisoType, "Error reading aniso tf line");
      continue;
    }
    const std::vector<std::string> words = splitTokens(s);
    section = Section::None;
    if (commonRecord(r, s, words)) continue;
    const std::string& key = words[0];
    if (key == "PARM") {
      section = Section::Atoms;
    } else if (key == "TF" || key == "Atom") {
      // "TF   Atom   U(1,1) ..." or, in database files, "Atom U(1,1) ...": U or beta.
      const std::size_t at = key == "TF" ? 2 : 1;
      anisoType = words.size() > at && std::toupper(static_cast<unsigned char>(words[at][0])) == 'U' ? 8 : 0;
      section = Section::Aniso;
    } else if (key == "ITF") {
      isoLine(r, icsdValueTokens(s), 1, "Error reading ITF line");
    } else if (key == "TEST") {
      isoLine(r, icsdValueTokens(s), 1, "Error reading iso tf line");
    }
  }
}

void readIcsdOriginal(IcsdReading& r, const std::vector<std::string>& lines, std::size_t begin, std::size_t end) {
  enum class Section { None, Atoms, Aniso };
  Section section = Section::None;
  int anisoType = 0;
  for (std::size_t i = begin; i < end && i < lines.size(); ++i) {
    const std::string s = shifted(lines[i]);
    if (s.find("Atoms not located") != std::string::npos) continue;
    // Both lists end at an empty line or at REM or RVAL.
    if (isBlankLine(s) || startsWith(s, "REM") || startsWith(s, "RVAL")) {
      section = Section::None;
      continue;
    }
    if (section == Section::Atoms) {
      if (s[0] == ' ') continue;
      const std::string element = removeBlanks(cut(s, 4));
      const std::string number = s.size() > 4 ? removeBlanks(std::string_view(s).substr(4, 3)) : std::string();
      const std::string rest = s.size() > 7 ? s.substr(7) : std::string();
      atomFromTokens(r, element, number, icsdValueTokens(rest), 0);
      continue;
    }
    if (section == Section::Aniso) {
      anisoFromTokens(r, icsdValueTokens(s), anisoType, "Error reading aniso tf line");
      continue;
    }
    if (s[0] == ' ') continue;
    const std::vector<std::string> words = splitTokens(s);
    if (commonRecord(r, s, words)) continue;
    if (startsWith(s, "At ")) {
      section = Section::Atoms;
    } else if (words[0] == "Atom") {
      anisoType = words.size() > 1 && std::toupper(static_cast<unsigned char>(words[1][0])) == 'U' ? 8 : 0;
      section = Section::Aniso;
    } else if (words.size() >= 3 && words[2].size() >= 2 && words[2][1] == '=') {
      isoLine(r, icsdValueTokens(s), 0, "Error reading isotropic tf line");
    }
  }
}

void readIcsdCanSnd(IcsdReading& r, const std::vector<std::string>& lines, std::size_t begin, std::size_t end) {
  enum class Section { None, Atoms, Aniso };
  Section section = Section::None;
  int anisoType = 8;
  bool started = false;
  for (std::size_t i = begin; i < end && i < lines.size(); ++i) {
    const std::string& s = lines[i];
    if (startsWith(s, "---")) {
      if (started) break;
      continue;
    }
    if (isBlankLine(s)) continue;
    if (startsWith(s, "ID:")) {
      started = true;
      section = Section::None;
    } else if (startsWith(s, "TI:")) {
      r.nameRecord(afterKeyword(s, 3), false);
    } else if (startsWith(s, "NA:") || startsWith(s, "MN:")) {
      r.nameRecord(afterKeyword(s, 3), true);
    } else if (startsWith(s, "CE:")) {
      std::string text = s.substr(3);
      if (i + 1 < end && i + 1 < lines.size() && startsWith(lines[i + 1], " ")) text += " " + lines[++i];
      std::array<float, 6> cell{0, 0, 0, 90, 90, 90};
      for (const std::string& token : splitTokens(text)) {
        const std::string value = token.substr(0, token.find('('));
        const auto eq = value.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = toUpper(value.substr(0, eq));
        const std::string rest = value.substr(eq + 1);
        static const std::array<const char*, 6> kCellKeys = {"A", "B", "C", "ALPHA", "BETA", "GAMMA"};
        for (std::size_t k = 0; k < 6; ++k)
          if (key == kCellKeys[k])
            if (const auto v = parseDouble(rest)) cell[k] = narrowToFloat(*v);
        if (key == "SYS" && !rest.empty()) {
          static const std::string kSystems = "AMORTHC";
          const auto at = kSystems.find(static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0]))));
          r.result.axesType = at == std::string::npos ? 1 : static_cast<int>(at) + 1;
        } else if (key == "SPGR") {
          // A final R or H names the axes of a rhombohedral group: 2 rhombohedral, 1 hexagonal.
          // The symbol keeps the letter, which the symbol table reads as the setting.
          const std::string& symbol = rest;
          if (symbol.size() > 1 && (symbol.back() == 'R' || symbol.back() == 'H'))
            r.result.rhombohedralAxes = symbol.back() == 'R' ? 2 : 1;
          r.result.hmSymbol = cut(symbol, kMaxSymbolLength);
        }
      }
      r.setCell(cell);
    } else if (startsWith(s, "AT COORDS:")) {
      section = Section::Atoms;
    } else if (startsWith(s, "ANISOTROPIC TEMPERATURE FACTORS")) {
      const std::string form = s.size() > 34 ? s.substr(33, 2) : s.size() > 33 ? s.substr(33, 1) + " " : "";
      anisoType = form == "B " ? 4 : form == "BE" ? 0 : 8;
      section = Section::Aniso;
    } else if (section == Section::Atoms && startsWith(s, "     ")) {
      // The label stands in columns 12-17; a longer one runs on to its end.
      std::size_t stop = std::min<std::size_t>(s.size(), 17);
      if (stop == 17 && s.size() > 17 && s[17] != ' ' && !isBlankLine(std::string_view(s).substr(11, 6)))
        stop = std::min(s.size(), s.find(' ', 17));
      const std::string label = s.size() > 11 ? removeBlanks(std::string_view(s).substr(11, stop - 11)) : std::string();
      std::array<float, 3> xyz{};
      if (label.empty() || !readValues(icsdValueTokens(std::string_view(s).substr(stop)), 0, xyz, true)) {
        r.ctx.ui.message("Error reading fractional coordinate line");
        continue;
      }
      r.atom(label, "", 0.0f, "", xyz, 1.0f);
    } else if (section == Section::Aniso) {
      // The label stands in columns 1-4; a longer one runs on to its end.
      const std::size_t stop =
          s.size() > 4 && s[4] != ' ' ? std::min(s.size(), s.find(' ')) : std::min<std::size_t>(s.size(), 4);
      const std::string label = removeBlanks(std::string_view(s).substr(0, stop));
      std::array<float, 6> v{};
      if (label.empty() || !readValues(icsdValueTokens(std::string_view(s).substr(stop)), 0, v, false)) {
        r.ctx.ui.message("Error reading temp factor");
        continue;
      }
      r.factor(label, v, anisoType);
    } else if (s[0] != ' ') {
      section = Section::None;
    }
  }
}

}  // namespace tessera
