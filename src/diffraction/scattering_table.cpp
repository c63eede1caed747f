#include "diffraction/scattering_table.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "core/text.h"

namespace tessera {

namespace {

/// Tokens separated by any white space, read one at a time.
class TokenStream {
 public:
  explicit TokenStream(std::string_view text) : text_(text) {}
  /// The next token, or an empty view at the end.
  std::string_view next() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  /// The next token without taking it.
  std::string_view peek() {
    const std::size_t saved = pos_;
    const std::string_view t = next();
    pos_ = saved;
    return t;
  }

 private:
  static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
  std::string_view text_;
  std::size_t pos_ = 0;
};

std::optional<long> integerToken(std::string_view token) {
  if (token.empty()) return std::nullopt;
  return parseLong(token);
}

}  // namespace

void readScatteringTable(std::string_view text, ScatteringTable& table, UserInterface& ui) {
  table.rows.clear();
  TokenStream in(text);
  while (table.rowCount() < kMaxScatteringRows) {
    if (!integerToken(in.next())) break;
    if (in.next().empty()) break;
    ScatteringRow row;
    // Up to ten numbers; a token that is not a number stops early and stays for the closing number.
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      const std::string_view t = in.peek();
      const std::optional<double> v = t.empty() ? std::nullopt : parseDouble(t);
      if (!v) break;
      in.next();
      row.values[i] = static_cast<float>(*v);
    }
    const std::string_view last = in.next();
    const std::optional<long> closing = integerToken(last);
    if (!closing && !(last.empty() ? std::nullopt : parseDouble(last))) break;
    if (!closing || *closing != table.rowCount() + 1) {
      ui.message("Missing or extra scattering factor");
      break;
    }
    table.rows.push_back(row);
  }
}

void loadScatteringTable(const std::filesystem::path& home, ScatteringTable& table, UserInterface& ui) {
  std::ifstream in(home / "scatfac.dat", std::ios::binary);
  if (!in) {
    ui.message("Scattering factor file open failed");
    return;
  }
  std::ostringstream text;
  text << in.rdbuf();
  readScatteringTable(text.str(), table, ui);
}

double xrayFormFactor(const ScatteringTable& table, int r, double s2) {
  if (!table.hasRow(r)) return 0.0;
  const std::array<float, 10>& v = table.rows[static_cast<std::size_t>(r - 1)].values;
  double f = v[8];
  for (int g = 0; g < 4; ++g) f += v[2 * g] * std::exp(-static_cast<double>(v[2 * g + 1]) * s2);
  return f;
}

double neutronLength(const ScatteringTable& table, int r) {
  return table.hasRow(r) ? table.rows[static_cast<std::size_t>(r - 1)].values[9] : 0.0;
}

double occupantNeutronLength(const ScatteringTable& table, const SiteOccupant& occupant) {
  if (occupant.typeNumber == 1) {
    const std::string element = toUpper(trim(occupant.element));
    if (element == "D") return kDeuteriumLength;
    if (element == "T") return kTritiumLength;
  }
  return neutronLength(table, occupant.typeNumber);
}

double siteAmplitude(const ScatteringTable& table, const Site& site, double s2, bool neutron) {
  double f = 0.0;
  for (const SiteOccupant& o : site.occupants)
    f += o.occupancy * (neutron ? occupantNeutronLength(table, o) : xrayFormFactor(table, o.typeNumber, s2));
  return f;
}

}  // namespace tessera
