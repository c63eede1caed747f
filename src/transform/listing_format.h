#pragma once
// printf formatting for the long atom listings of the transformation report, written
// out for the conversions they use so that a list of a hundred thousand atoms does
// not go through printf three or four times a line. The text is printf's: %d with a
// width, %s with flags, width and precision, and %f with the space or minus flag,
// width and precision, for values below 1e15; anything else goes to printf.

#include <array>
#include <string>
#include <type_traits>

#include "core/text.h"

namespace tessera {

/// One argument of appendListed.
struct ListingArg {
  enum class Kind { Int, Text, Real } kind;
  long long integer = 0;
  const char* text = nullptr;
  double real = 0.0;

  ListingArg(int v) : kind(Kind::Int), integer(v) {}
  ListingArg(const char* v) : kind(Kind::Text), text(v) {}
  ListingArg(double v) : kind(Kind::Real), real(v) {}
};

/// The listing formatter; false when the format holds anything it does not write,
/// with `out` then unchanged.
bool appendListedArgs(std::string& out, const char* format, const ListingArg* args, std::size_t count);

/// appendFormat(out, format, args...) with the same text.
template <class... Args>
void appendListed(std::string& out, const char* format, Args... args) {
  static_assert(((std::is_same_v<Args, int> || std::is_same_v<Args, const char*> || std::is_same_v<Args, float> ||
                  std::is_same_v<Args, double>) && ...),
                "appendListed takes int, const char*, float and double");
  const std::array<ListingArg, sizeof...(Args)> list{ListingArg(std::conditional_t<std::is_same_v<Args, float>, double, Args>(args))...};
  if (!appendListedArgs(out, format, list.data(), list.size())) appendFormat(out, format, args...);
}

}  // namespace tessera
