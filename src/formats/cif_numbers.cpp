#include "formats/cif_numbers.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

namespace tessera {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Beyond this a decimal exponent only decides between infinity and zero; the cap
// keeps the accumulator from overflowing on a hostile run of digits.
constexpr long long kExponentCap = 1000000000LL;

// Where the parts of a number word lie. digits holds the significant digits of
// the mantissa while they fit in 53 bits (exact is then true).
struct NumberParts {
  bool negative = false;
  std::string_view mantissa;     // digits with the decimal point, no sign
  std::uint64_t digits = 0;
  bool exact = true;
  std::size_t leadingZeros = 0;  // zeros before the first significant digit
  std::size_t intDigits = 0;     // digits before the decimal point
  std::size_t fracDigits = 0;    // digits after the decimal point
  long long exponent = 0;        // signed, capped
  std::string_view suDigits;     // empty when no standard uncertainty is given
};

constexpr std::uint64_t kExactLimit = 1ULL << 53;

// Scans digits from c, folding them into p.digits; returns the end.
const char* scanMantissaDigits(const char* c, const char* end, NumberParts& p) {
  std::uint64_t digits = p.digits;
  std::size_t zeros = p.leadingZeros;
  bool exact = p.exact;
  for (; c < end && isDigit(*c); ++c) {
    const unsigned d = static_cast<unsigned>(*c - '0');
    if (digits == 0 && d == 0) {
      ++zeros;
    } else if (digits < kExactLimit / 10) {
      digits = digits * 10 + d;
    } else {
      exact = false;
    }
  }
  p.digits = digits;
  p.leadingZeros = zeros;
  p.exact = exact;
  return c;
}

bool isSign(char c) { return c == '+' || c == '-'; }

bool endsWord(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '#'; }

// With inPlace the word may be followed by more text after a word-ending character.
bool splitNumber(std::string_view w, NumberParts& p, bool inPlace) {
  const char* c = w.data();
  const char* const end = c + w.size();
  if (c < end && isSign(*c)) p.negative = *c++ == '-';
  const char* const mantissaStart = c;
  c = scanMantissaDigits(c, end, p);
  p.intDigits = static_cast<std::size_t>(c - mantissaStart);
  if (c < end && *c == '.') {
    const char* const fracStart = ++c;
    c = scanMantissaDigits(c, end, p);
    p.fracDigits = static_cast<std::size_t>(c - fracStart);
  }
  if (p.intDigits + p.fracDigits == 0) return false;
  p.mantissa = std::string_view(mantissaStart, static_cast<std::size_t>(c - mantissaStart));

  if (c < end && (*c == 'e' || *c == 'E' || isSign(*c))) {
    bool negativeExponent = *c == '-';
    if (!isSign(*c++) && c < end && isSign(*c)) negativeExponent = *c++ == '-';
    const char* const expStart = c;
    for (; c < end && isDigit(*c); ++c) {
      if (p.exponent < kExponentCap) p.exponent = p.exponent * 10 + (*c - '0');
    }
    if (c == expStart) return false;
    if (negativeExponent) p.exponent = -p.exponent;
  }

  if (c < end && *c == '(') {
    const char* const suStart = ++c;
    while (c < end && isDigit(*c)) ++c;
    p.suDigits = std::string_view(suStart, static_cast<std::size_t>(c - suStart));
    if (c >= end || *c != ')') return false;
    ++c;
  }
  return c == end || (inPlace && endsWord(*c));
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

// Both factors are exact doubles (an integer below 2^53, a power of ten up to
// 10^22), so one multiplication or division rounds correctly.
std::optional<double> exactProduct(std::uint64_t digits, long long exponent) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (digits >= kExactLimit || exponent < -22 || exponent > 22) return std::nullopt;
  const double m = static_cast<double>(digits);
  return exponent >= 0 ? m * kPow10[exponent] : m / kPow10[-exponent];
}

std::uint64_t smallInteger(std::string_view digits) {
  if (digits.size() > 15) return kExactLimit;
  std::uint64_t v = 0;
  for (char c : digits) v = v * 10 + static_cast<unsigned>(c - '0');
  return v;
}

long long clampExponent(long long e) {
  if (e > 2 * kExponentCap) return 2 * kExponentCap;
  if (e < -2 * kExponentCap) return -2 * kExponentCap;
  return e;
}

std::optional<CifNumber> convertParts(const NumberParts& p) {
  // Decimal magnitude of the leading significant digit, only used to tell
  // overflow from underflow.
  const long long lead = static_cast<long long>(p.intDigits) - static_cast<long long>(p.leadingZeros);
  const long long magnitude = clampExponent(lead + p.exponent);
  const long long scale = clampExponent(p.exponent - static_cast<long long>(p.fracDigits));
  auto value = p.exact ? exactProduct(p.digits, scale) : std::nullopt;
  if (value && p.negative) value = -*value;
  if (!value) value = convert(p.negative, p.mantissa, p.exponent, magnitude);
  if (!value) return std::nullopt;
  CifNumber number;
  number.value = *value;
  if (!p.suDigits.empty()) {
    const long long suMagnitude = clampExponent(static_cast<long long>(p.suDigits.size()) + scale);
    auto su = exactProduct(smallInteger(p.suDigits), scale);
    if (!su) su = convert(false, p.suDigits, scale, suMagnitude);
    if (!su) return std::nullopt;
    number.su = *su;
  }
  return number;
}

}  // namespace

bool isCifNumber(std::string_view word) {
  NumberParts parts;
  return splitNumber(word, parts, false);
}

bool isCifNumberAt(std::string_view text) {
  NumberParts parts;
  return splitNumber(text, parts, true);
}

std::optional<CifNumber> parseCifNumber(std::string_view word) {
  NumberParts p;
  if (!splitNumber(word, p, false)) return std::nullopt;
  return convertParts(p);
}

std::optional<CifNumber> parseCifNumberAt(std::string_view text) {
  NumberParts p;
  if (!splitNumber(text, p, true)) return std::nullopt;
  return convertParts(p);
}

}  // namespace tessera
