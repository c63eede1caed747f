#include "formats/icsd_common.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/elements.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

struct FractionDecimal {
  const char* fraction;
  const char* decimal;
};

constexpr std::array<FractionDecimal, 11> kFractions = {{{"1/2", "0.500"},
                                                         {"1/3", "0.333"},
                                                         {"2/3", "0.667"},
                                                         {"1/4", "0.250"},
                                                         {"3/4", "0.750"},
                                                         {"1/6", "0.167"},
                                                         {"5/6", "0.833"},
                                                         {"1/8", "0.125"},
                                                         {"3/8", "0.375"},
                                                         {"5/8", "0.625"},
                                                         {"7/8", "0.875"}}};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// Centring translations in twelfths by lattice code, the zero translation left out.
std::vector<std::array<int, 3>> centringVectors(int latticeCode) {
  switch (latticeCode) {
    case 2:
      return {{0, 6, 6}};
    case 3:
      return {{6, 0, 6}};
    case 4:
      return {{6, 6, 0}};
    case 5:
      return {{0, 6, 6}, {6, 0, 6}, {6, 6, 0}};
    case 6:
      return {{6, 6, 6}};
    case 7:
      return {{8, 4, 4}, {4, 8, 8}};
    default:
      return {};
  }
}

SeitzMx reduced(SeitzMx op) {
  for (int& t : op.translation) t = ((t % STBF) + STBF) % STBF;
  return op;
}

}  // namespace

std::string icsdDecimalOperatorText(std::string_view line) {
  std::string out;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ';') {
      ++i;
      continue;
    }
    // A whole fraction: digits "/" digits, not part of a longer number.
    if (isDigit(c) && (i == 0 || (!isDigit(line[i - 1]) && line[i - 1] != '.'))) {
      std::size_t j = i;
      while (j < line.size() && isDigit(line[j])) ++j;
      if (j < line.size() && line[j] == '/' && j + 1 < line.size() && isDigit(line[j + 1])) {
        std::size_t k = j + 1;
        while (k < line.size() && isDigit(line[k])) ++k;
        if (k == line.size() || (!isDigit(line[k]) && line[k] != '.')) {
          const std::string_view fraction = line.substr(i, k - i);
          const auto entry = std::find_if(kFractions.begin(), kFractions.end(),
                                          [&](const FractionDecimal& f) { return fraction == f.fraction; });
          const auto value = parseFractionOrNumber(fraction);
          if (entry != kFractions.end())
            out += entry->decimal;
          else if (value)
            appendFormat(out, "%.5f", *value);
          else
            out += fraction;
          i = k;
          continue;
        }
      }
      out.append(line.substr(i, j - i));
      i = j;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

std::optional<double> icsdNumber(std::string_view token) {
  const auto open = token.find('(');
  return parseDouble(trim(token.substr(0, open)));
}

std::optional<double> icsdCoordinate(std::string_view token) {
  const auto open = token.find('(');
  return parseFractionOrNumber(trim(token.substr(0, open)));
}

std::string icsdElement(const SiteOccupant& occupant) {
  const std::string element = removeBlanks(occupant.element);
  if (!element.empty() && element != "*") return element;
  const std::string symbol = elementSymbol(occupant.typeNumber);
  return symbol.empty() ? "*" : symbol;
}

std::vector<std::vector<int>> icsdRunningNumbers(const std::vector<Site>& sites) {
  std::vector<std::pair<std::string, int>> counts;
  std::vector<std::vector<int>> numbers(sites.size());
  for (std::size_t i = 0; i < sites.size(); ++i) {
    for (const SiteOccupant& o : sites[i].occupants) {
      std::string key = icsdElement(o);
      if (key == "OH1" || key == "OH2") key = "O";
      auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == key; });
      if (it == counts.end()) {
        counts.emplace_back(key, 0);
        it = counts.end() - 1;
      }
      numbers[i].push_back(++it->second);
    }
  }
  return numbers;
}

IcsdFactorPlan icsdFactorPlan(const CrystalDocument& doc, const ProgramSettings& settings) {
  IcsdFactorPlan plan;
  plan.aniso = HasAnisoOutput(doc, settings);
  plan.iso = HasIsoOutput(doc, settings);
  const int mode = settings.convMode;
  const bool u = ((mode == 1 || mode == 3) && settings.anisoPref == 0) || (mode == 0 && doc.tfAnisoKind == 1);
  plan.anisoForm = u ? 8 : 0;
  return plan;
}

std::vector<std::string> icsdAllOperatorLines(const CrystalRecord& crystal) {
  std::vector<std::string> lines;
  std::vector<SeitzMx> ops;
  for (const std::string& line : crystal.xyzLines) {
    std::string text = line;
    std::replace(text.begin(), text.end(), ';', ' ');
    SeitzMx op;
    if (ParseSymXYZ(text, op, STBF) != 0) continue;
    op = reduced(op);
    if (std::find(ops.begin(), ops.end(), op) != ops.end()) continue;
    ops.push_back(op);
    lines.push_back(trim(text));
  }
  const std::size_t listed = ops.size();
  std::vector<SeitzMx> all = ops;
  auto add = [&all](const SeitzMx& op) {
    const SeitzMx r = reduced(op);
    if (std::find(all.begin(), all.end(), r) == all.end()) all.push_back(r);
  };
  if (crystal.acentric == 0 && crystal.inversionOffOrigin == 0) {
    for (std::size_t i = 0; i < listed; ++i) {
      SeitzMx inv = ops[i];
      for (int& r : inv.rotation) r = -r;
      for (int& t : inv.translation) t = -t;
      add(inv);
    }
  }
  const std::size_t primitive = all.size();
  for (const auto& v : centringVectors(crystal.latticeCode))
    for (std::size_t i = 0; i < primitive; ++i) {
      SeitzMx op = all[i];
      for (int k = 0; k < 3; ++k) op.translation[static_cast<std::size_t>(k)] += v[static_cast<std::size_t>(k)];
      add(op);
    }
  for (std::size_t i = listed; i < all.size(); ++i)
    if (const auto text = RTMx2XYZ(all[i])) lines.push_back(*text);
  return lines;
}

std::vector<std::string> icsdSplitLines(std::string_view content, int& binaryLines) {
  std::vector<std::string> lines;
  binaryLines = 0;
  std::size_t i = 0;
  while (i < content.size()) {
    std::size_t j = i;
    bool binary = false;
    while (j < content.size() && content[j] != '\n' && content[j] != '\r') {
      const unsigned char u = static_cast<unsigned char>(content[j]);
      if ((u < 0x20 && u != '\t' && u != '\f') || u == 0x7f) binary = true;
      ++j;
    }
    if (binary) {
      ++binaryLines;
      lines.emplace_back();
    } else {
      lines.emplace_back(content.substr(i, j - i));
    }
    if (j < content.size() && content[j] == '\r' && j + 1 < content.size() && content[j + 1] == '\n') ++j;
    i = j + 1;
  }
  return lines;
}

}  // namespace tessera
