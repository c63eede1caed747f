#include "transform/listing_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tessera {

namespace {

struct Conversion {
  bool space = false, left = false;
  int width = 0, precision = -1;
  char conversion = 0;
};

/// Parses the conversion after a '%'; false for anything the listing does not write.
bool parseConversion(const char*& p, Conversion& s) {
  for (;; ++p) {
    if (*p == ' ') s.space = true;
    else if (*p == '-') s.left = true;
    else break;
  }
  if (*p == '0') return false;  // zero padding
  while (*p >= '0' && *p <= '9') s.width = s.width * 10 + (*p++ - '0');
  if (*p == '.') {
    s.precision = 0;
    for (++p; *p >= '0' && *p <= '9';) s.precision = s.precision * 10 + (*p++ - '0');
  }
  s.conversion = *p++;
  if (s.width > 64 || s.precision > 9) return false;
  if (s.conversion == 'd') return !s.space && s.precision < 0;
  if (s.conversion == 's') return !s.space;
  return s.conversion == 'f';
}

void pad(std::string& out, const char* text, std::size_t length, const Conversion& s) {
  const std::size_t fill = static_cast<std::size_t>(s.width) > length ? static_cast<std::size_t>(s.width) - length : 0;
  if (!s.left) out.append(fill, ' ');
  out.append(text, length);
  if (s.left) out.append(fill, ' ');
}

/// The digits of |v| rounded to `precision` decimals, as printf rounds: the exact
/// binary value, ties to even. False when |v| is not below 1e15.
bool fixedDigits(double v, int precision, char* buffer, std::size_t& length) {
  const double magnitude = std::fabs(v);
  if (!(magnitude < 1e15)) return false;
  static constexpr std::uint64_t kTen[10] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = biased - 1075;  // magnitude = mantissa 2^exponent
  if (biased == 0) exponent = -1074;
  else mantissa |= std::uint64_t{1} << 52;
  // Values of floats carry at most 24 significant bits: drop the zero low bits so the
  // scaled mantissa fits in 64 bits.
  if (mantissa != 0 && exponent < 0) {
    const int zeros = std::min(std::countr_zero(mantissa), -exponent);
    mantissa >>= zeros;
    exponent += zeros;
  }
  const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kTen[precision];
  unsigned __int128 units;
  if (exponent >= 0) {
    units = scaled << exponent;  // magnitude < 1e15, so this stays below 2^110
  } else if (exponent <= -127) {
    units = 0;  // far below half a unit of the last place
  } else {
    const int shift = -exponent;
    units = scaled >> shift;
    const unsigned __int128 rest = scaled - (units << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
  }
  const std::uint64_t ten = kTen[precision];
  std::uint64_t whole, fraction;
  if ((units >> 64) == 0) {  // the common case, without a 128-bit division
    whole = static_cast<std::uint64_t>(units) / ten;
    fraction = static_cast<std::uint64_t>(units) % ten;
  } else {
    whole = static_cast<std::uint64_t>(units / ten);
    fraction = static_cast<std::uint64_t>(units % ten);
  }
  char* end = std::to_chars(buffer, buffer + 24, whole).ptr;
  if (precision > 0) {
    *end++ = '.';
    for (int d = precision - 1; d >= 0; --d) end[d] = static_cast<char>('0' + (fraction / kTen[precision - 1 - d]) % 10);
    end += precision;
  }
  length = static_cast<std::size_t>(end - buffer);
  return true;
}

}  // namespace

bool appendListedArgs(std::string& out, const char* format, const ListingArg* args, std::size_t count) {
  const std::size_t start = out.size();
  std::size_t next = 0;
  char buffer[64];
  for (const char* p = format; *p;) {
    if (*p != '%') {
      const char* literal = p;
      while (*p && *p != '%') ++p;
      out.append(literal, static_cast<std::size_t>(p - literal));
      continue;
    }
    ++p;
    Conversion s;
    const bool known = *p != '%' && parseConversion(p, s) && next < count;
    const ListingArg* a = known ? &args[next++] : nullptr;
    if (a && s.conversion == 'd' && a->kind == ListingArg::Kind::Int) {
      pad(out, buffer, static_cast<std::size_t>(std::to_chars(buffer, buffer + 24, a->integer).ptr - buffer), s);
    } else if (a && s.conversion == 's' && a->kind == ListingArg::Kind::Text && a->text) {
      const std::size_t length = s.precision >= 0 ? strnlen(a->text, static_cast<std::size_t>(s.precision)) : std::strlen(a->text);
      pad(out, a->text, length, s);
    } else if (a && s.conversion == 'f' && a->kind == ListingArg::Kind::Real) {
      std::size_t length = 0;
      const bool negative = std::signbit(a->real);
      char* digits = buffer + 1;
      if (!fixedDigits(a->real, s.precision < 0 ? 6 : s.precision, digits, length)) {
        out.resize(start);
        return false;
      }
      if (negative || s.space) {
        *--digits = negative ? '-' : ' ';
        ++length;
      }
      pad(out, digits, length, s);
    } else {
      out.resize(start);
      return false;
    }
  }
  if (next != count) {
    out.resize(start);
    return false;
  }
  return true;
}

}  // namespace tessera
