#pragma once
// Fast printf for the fixed records of the native file: the conversions %d, %f,
// %s and %-s only, written byte for byte as printf writes them. "%f" is the
// costly part of printf; here it is exact integer arithmetic on the binary value.

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace tessera {

/// One argument of appendRecord.
struct RecordArg {
  enum class Kind { Int, Real, Text } kind;
  long long integer = 0;
  double real = 0;
  std::string_view text;

  RecordArg(int v) : kind(Kind::Int), integer(v) {}              // NOLINT: implicit by design
  RecordArg(float v) : kind(Kind::Real), real(v) {}              // NOLINT
  RecordArg(double v) : kind(Kind::Real), real(v) {}             // NOLINT
  RecordArg(const char* v) : kind(Kind::Text), text(v) {}        // NOLINT
  RecordArg(const std::string& v) : kind(Kind::Text), text(v) {} // NOLINT
};

/// Appends the value as printf's "%f" writes it.
void appendFixed6(std::string& out, double value);

/// Appends fmt with its %d, %f, %s and %-s conversions filled from args in order, as
/// printf writes them (a %s text stops at a NUL, as in printf). False when a %f value
/// is not finite (written "nan" or "inf" as printf does), so the caller can refuse it.
bool appendRecord(std::string& out, const char* fmt, std::initializer_list<RecordArg> args);

}  // namespace tessera
