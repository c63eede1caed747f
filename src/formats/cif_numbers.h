#pragma once
// Numbers as CIF files write them: 1.234(5), -0.5, 12(3), 1.5E3, 2.3e-4, 1.23e-4(5)
// and the older exponent written as a bare sign, 1.5-3 (= 0.0015).

#include <optional>
#include <string_view>

namespace tessera {

/// A number read from a CIF word: its value and standard uncertainty (-1 when none).
struct CifNumber {
  double value = 0.0;
  double su = -1.0;
};

/// True when the whole word is a CIF number: [sign] digits with at most one decimal
/// point, then an optional exponent (E or e with an optional sign, or a bare sign),
/// then an optional standard uncertainty "(digits)".
bool isCifNumber(std::string_view word);

/// Reads the whole word as a CIF number, rounded correctly from its digits; nullopt
/// when the word is not a number or its value lies beyond the double range.
std::optional<CifNumber> parseCifNumber(std::string_view word);

/// isCifNumber for the word at the start of text, which ends at a blank (space, tab,
/// CR, LF), a "#" or the end of text: numbers are read in place, without first
/// finding the word's end.
bool isCifNumberAt(std::string_view text);
/// parseCifNumber for the word at the start of text, as isCifNumberAt.
std::optional<CifNumber> parseCifNumberAt(std::string_view text);

}  // namespace tessera
