#include "formats/record_scan.h"

#include <algorithm>
#include <climits>

#include "core/text.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

RecordScan::RecordScan(std::string_view line, std::string_view pattern) {
  std::vector<std::string> tokens = splitTokens(line);
  for (std::size_t k = 0; k < pattern.size() && k < tokens.size(); ++k) {
    double value = 0.0;
    if (pattern[k] == 'd') {
      const auto v = parseLong(tokens[k]);
      if (!v) break;
      value = static_cast<double>(std::clamp<long>(*v, INT_MIN, INT_MAX));
    } else if (pattern[k] == 'f') {
      const auto v = parseDouble(tokens[k]);
      if (!v) break;
      value = *v;
    }
    words_.push_back(std::move(tokens[k]));
    numbers_.push_back(value);
  }
}

int RecordScan::integer(int k) const { return static_cast<int>(numbers_[static_cast<std::size_t>(k)]); }

float RecordScan::real(int k) const { return narrowToFloat(numbers_[static_cast<std::size_t>(k)]); }

bool SymmetryLineSink::add(std::string_view text) {
  if (full_) return false;
  full_ = AppendSymmetryLine(crystal_, text, ui_) == 0;
  return !full_;
}

int colourFrom16Bit(long value) {
  long long v = value;
  if (v < 0) v += 65536;
  return static_cast<int>(std::clamp<long long>(v / 256, 0, 255));
}

}  // namespace tessera
