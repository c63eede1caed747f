#include "formats/cif_numbers.h"

#include <array>
#include <charconv>
#include <string>
#include <system_error>

namespace tessera {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Beyond this a decimal exponent only decides between infinity and zero; the cap
// keeps the accumulator from overflowing on a hostile run of digits.
constexpr long long kExponentCap = 1000000000LL;

// Where the parts of a number word lie.
struct NumberParts {
  bool negative = false;
  std::string_view mantissa;   // digits with the decimal point, no sign
  std::size_t leadingZeros = 0;  // zeros before the first significant digit
  std::size_t intDigits = 0;     // digits before the decimal point
  std::size_t fracDigits = 0;    // digits after the decimal point
  long long exponent = 0;        // signed, capped
  std::string_view suDigits;     // empty when no standard uncertainty is given
};

std::size_t scanDigits(std::string_view w, std::size_t i) {
  while (i < w.size() && isDigit(w[i])) ++i;
  return i;
}

std::optional<NumberParts> splitNumber(std::string_view w) {
  NumberParts p;
  std::size_t i = 0;
  if (i < w.size() && (w[i] == '+' || w[i] == '-')) p.negative = w[i++] == '-';
  const std::size_t mantissaStart = i;
  i = scanDigits(w, i);
  p.intDigits = i - mantissaStart;
  if (i < w.size() && w[i] == '.') {
    const std::size_t fracStart = ++i;
    i = scanDigits(w, i);
    p.fracDigits = i - fracStart;
  }
  if (p.intDigits + p.fracDigits == 0) return std::nullopt;
  p.mantissa = w.substr(mantissaStart, i - mantissaStart);
  for (char c : p.mantissa) {
    if (c == '.') continue;
    if (c != '0') break;
    ++p.leadingZeros;
  }

  if (i < w.size() && (w[i] == 'e' || w[i] == 'E' || w[i] == '+' || w[i] == '-')) {
    bool negativeExponent = w[i] == '-';
    const bool letter = w[i] == 'e' || w[i] == 'E';
    ++i;
    if (letter && i < w.size() && (w[i] == '+' || w[i] == '-')) negativeExponent = w[i++] == '-';
    const std::size_t expStart = i;
    for (; i < w.size() && isDigit(w[i]); ++i) {
      if (p.exponent < kExponentCap) p.exponent = p.exponent * 10 + (w[i] - '0');
    }
    if (i == expStart) return std::nullopt;
    if (negativeExponent) p.exponent = -p.exponent;
  }

  if (i < w.size() && w[i] == '(') {
    const std::size_t suStart = ++i;
    i = scanDigits(w, i);
    p.suDigits = w.substr(suStart, i - suStart);
    if (i >= w.size() || w[i] != ')') return std::nullopt;
    ++i;
  }
  if (i != w.size()) return std::nullopt;
  return p;
}

// Converts "[-]digits e exponent" with correct rounding. Out-of-range results are
// told apart by the decimal magnitude: underflow gives zero, overflow nothing.
std::optional<double> convert(bool negative, std::string_view digits, long long exponent,
                              long long magnitude) {
  std::array<char, 96> small{};
  std::string large;
  char* buf = small.data();
  const std::size_t need = digits.size() + 24;
  if (need > small.size()) {
    large.resize(need);
    buf = large.data();
  }
  std::size_t n = 0;
  if (negative) buf[n++] = '-';
  digits.copy(buf + n, digits.size());
  n += digits.size();
  buf[n++] = 'e';
  const auto tail = std::to_chars(buf + n, buf + need, exponent);
  double value = 0.0;
  const auto result = std::from_chars(buf, tail.ptr, value);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return std::nullopt;
    return negative ? -0.0 : 0.0;
  }
  if (result.ec != std::errc() || result.ptr != tail.ptr) return std::nullopt;
  return value;
}

long long clampExponent(long long e) {
  if (e > 2 * kExponentCap) return 2 * kExponentCap;
  if (e < -2 * kExponentCap) return -2 * kExponentCap;
  return e;
}

}  // namespace

bool isCifNumber(std::string_view word) { return splitNumber(word).has_value(); }

std::optional<CifNumber> parseCifNumber(std::string_view word) {
  const auto parts = splitNumber(word);
  if (!parts) return std::nullopt;
  // Decimal magnitude of the leading significant digit, only used to tell
  // overflow from underflow.
  const long long lead = static_cast<long long>(parts->intDigits) - static_cast<long long>(parts->leadingZeros);
  const long long magnitude = clampExponent(lead + parts->exponent);
  CifNumber number;
  const auto value = convert(parts->negative, parts->mantissa, parts->exponent, magnitude);
  if (!value) return std::nullopt;
  number.value = *value;
  if (!parts->suDigits.empty()) {
    const long long suExponent = clampExponent(parts->exponent - static_cast<long long>(parts->fracDigits));
    const long long suMagnitude = clampExponent(static_cast<long long>(parts->suDigits.size()) + suExponent);
    const auto su = convert(false, parts->suDigits, suExponent, suMagnitude);
    if (!su) return std::nullopt;
    number.su = *su;
  }
  return number;
}

}  // namespace tessera
