#include "core/record_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tessera {

namespace {

void appendUnsigned(std::string& out, std::uint64_t v) {
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, v);
  out.append(digits, r.ptr);
}

/// value x 10^6 rounded to the nearest integer, ties to even, from the exact binary
/// value; false when it does not fit in 128 bits.
bool scaledMillionths(double magnitude, unsigned __int128& result) {
  // magnitude = mantissa x 2^shift, from the bits of the double.
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int shift = -1074;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    shift = biased - 1075;
  }
  if (mantissa == 0) {
    result = 0;
    return true;
  }
  const unsigned __int128 n = static_cast<unsigned __int128>(mantissa) * 1000000U;  // < 2^73
  if (shift >= 0) {
    if (shift > 127 - 73) return false;
    result = n << shift;
    return true;
  }
  const int down = -shift;
  if (down >= 74) {  // below half a millionth
    result = 0;
    return true;
  }
  const unsigned __int128 one = 1;
  unsigned __int128 q = n >> down;
  const unsigned __int128 r = n & ((one << down) - 1);
  const unsigned __int128 half = one << (down - 1);
  if (r > half || (r == half && (q & 1) != 0)) ++q;
  result = q;
  return true;
}

}  // namespace

void appendFixed6(std::string& out, double value) {
  unsigned __int128 q = 0;
  if (!std::isfinite(value) || !scaledMillionths(std::fabs(value), q)) {
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, "%f", value);
    if (n > 0) out.append(buffer, static_cast<std::size_t>(std::min(n, static_cast<int>(sizeof buffer) - 1)));
    return;
  }
  if (std::signbit(value)) out += '-';
  unsigned millionths = 0;
  if (q <= UINT64_MAX) {
    const auto q64 = static_cast<std::uint64_t>(q);
    millionths = static_cast<unsigned>(q64 % 1000000U);
    appendUnsigned(out, q64 / 1000000U);
  } else {
    const unsigned __int128 whole = q / 1000000U;
    millionths = static_cast<unsigned>(q % 1000000U);
    if (whole <= UINT64_MAX) {
      appendUnsigned(out, static_cast<std::uint64_t>(whole));
    } else {  // below 2^101: a high part and 19 low digits
      const std::uint64_t e19 = 10000000000000000000ULL;
      appendUnsigned(out, static_cast<std::uint64_t>(whole / e19));
      char digits[24];
      std::snprintf(digits, sizeof digits, "%019llu", static_cast<unsigned long long>(whole % e19));
      out += digits;
    }
  }
  char frac[8] = {'.', '0', '0', '0', '0', '0', '0', 0};
  unsigned m = millionths;
  for (int i = 6; i >= 1; --i) {
    frac[i] = static_cast<char>('0' + m % 10);
    m /= 10;
  }
  out.append(frac, 7);
}

bool appendRecord(std::string& out, const char* fmt, std::initializer_list<RecordArg> args) {
  bool finite = true;
  const RecordArg* arg = args.begin();
  const char* p = fmt;
  while (*p) {
    const char* start = p;
    while (*p && *p != '%') ++p;
    out.append(start, p);
    if (!*p) break;
    ++p;                   // '%'
    if (*p == '-') ++p;    // "%-s" pads to no width: as "%s"
    const char conversion = *p ? *p++ : '\0';
    if (conversion == '%') {
      out += '%';
      continue;
    }
    if (arg == args.end()) break;
    const RecordArg& a = *arg++;
    switch (conversion) {
      case 'd': {
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, a.kind == RecordArg::Kind::Int
                                                                          ? a.integer
                                                                          : static_cast<long long>(a.real));
        out.append(digits, r.ptr);
        break;
      }
      case 'f': {
        const double v = a.kind == RecordArg::Kind::Real ? a.real : static_cast<double>(a.integer);
        finite = finite && std::isfinite(v);
        appendFixed6(out, v);
        break;
      }
      case 's': {
        const std::string_view t = a.text;
        out.append(t.substr(0, std::min(t.size(), t.find('\0'))));
        break;
      }
      default:
        break;
    }
  }
  return finite;
}

}  // namespace tessera
