#include "formats/text_input.h"

#include <charconv>
#include <cmath>

namespace tessera {

bool LineReader::next(std::string& line) {
  line.clear();
  binary_ = false;
  std::streambuf* buf = in_.rdbuf();
  if (!buf) return false;
  bool any = false;
  // Reading character by character through the buffer keeps memory bounded on a
  // file without line ends (binary garbage) while staying fast on real files.
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      if (!any) {
        in_.setstate(std::ios::eofbit);
        return false;
      }
      break;
    }
    any = true;
    if (c == '\n') break;
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 && u != '\t' && u != '\r' && u != '\f') binary_ = true;
    if (u == 0x7f) binary_ = true;
    if (line.size() < limit_) line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  return true;
}

std::optional<double> leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t j = i;
  if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
  std::size_t digits = 0;
  while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, ++digits;
  if (j < text.size() && text[j] == '.') {
    ++j;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
    std::size_t k = j + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    std::size_t expDigits = 0;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k, ++expDigits;
    if (expDigits > 0) j = k;
  }
  // from_chars does not depend on the locale and takes no leading "+".
  if (text[i] == '+') ++i;
  double v = 0.0;
  const auto r = std::from_chars(text.data() + i, text.data() + j, v);
  if (r.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace tessera

namespace tessera {

float narrowToFloat(double value) {
  constexpr double kMax = 3.4028234663852886e38;
  if (value > kMax) return static_cast<float>(kMax);
  if (value < -kMax) return static_cast<float>(-kMax);
  return static_cast<float>(value);
}

}  // namespace tessera
