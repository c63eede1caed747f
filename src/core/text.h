#pragma once
// Small text helpers shared by every subsystem: printf-style formatting (the
// file formats are printf formats), trimming, case folding and tokenising.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessera {

/// printf-style formatting into a std::string (no fixed buffer).
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
/// printf-style formatting appended to out (no temporary string for short results).
void appendFormat(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

/// Removes leading and trailing blanks (space, tab, CR, LF).
std::string trim(std::string_view text);
/// Removes trailing blanks (space, tab, CR, LF).
std::string trimRight(std::string_view text);
/// Removes leading blanks (space, tab, CR, LF).
std::string trimLeft(std::string_view text);

/// ASCII upper / lower case copies.
std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);

/// ASCII case-insensitive equality.
bool equalsIgnoreCase(std::string_view a, std::string_view b);
/// ASCII case-insensitive prefix test.
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);
/// Prefix test, case counting.
bool startsWith(std::string_view text, std::string_view prefix);
/// True when the text holds nothing but blanks (space, tab, CR, form feed), or nothing.
bool blankOnly(std::string_view text);

/// Removes every blank (space and tab) from the text.
std::string removeBlanks(std::string_view text);

/// Splits on runs of the given separator characters; empty tokens are dropped.
std::vector<std::string> splitTokens(std::string_view text, std::string_view separators = " \t\r\n");

/// True for the ASCII control characters (0x00-0x1f and 0x7f), tab and line ends included.
bool isControlCharacter(char c);

/// Text of a single-token field as written to files: "*" when empty, blanks and control
/// characters replaced by "_".
std::string singleToken(std::string_view text);

/// Cuts the text to at most n characters.
std::string cut(std::string_view text, std::size_t n);

/// Whole-token number parsing (C locale); nullopt when the token is not entirely a number.
std::optional<double> parseDouble(std::string_view token);
std::optional<long> parseLong(std::string_view token);

/// Parses a number that may be written as a fraction ("1/2", "-1/3") or a decimal.
std::optional<double> parseFractionOrNumber(std::string_view token);

/// True when the text holds a blank (space or tab).
bool hasBlank(std::string_view text);

}  // namespace tessera
