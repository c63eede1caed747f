#include "core/text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace tessera {

namespace {

/// Appends vsnprintf output: one pass into a local buffer for short texts.
void appendV(std::string& out, const char* fmt, va_list args) {
  char buffer[512];
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(buffer, sizeof buffer, fmt, args);
  if (size > 0 && static_cast<std::size_t>(size) < sizeof buffer) {
    out.append(buffer, static_cast<std::size_t>(size));
  } else if (size > 0) {
    const std::size_t old = out.size();
    out.resize(old + static_cast<std::size_t>(size) + 1);
    std::vsnprintf(out.data() + old, static_cast<std::size_t>(size) + 1, fmt, copy);
    out.resize(old + static_cast<std::size_t>(size));
  }
  va_end(copy);
}

}  // namespace

std::string format(const char* fmt, ...) {
  std::string out;
  va_list args;
  va_start(args, fmt);
  appendV(out, fmt, args);
  va_end(args);
  return out;
}

void appendFormat(std::string& out, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  appendV(out, fmt, args);
  va_end(args);
}

namespace {
bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string trim(std::string_view text) { return trimLeft(trimRight(text)); }

std::string trimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && isBlankChar(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string trimLeft(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && isBlankChar(text[start])) ++start;
  return std::string(text.substr(start));
}

std::string toUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string toLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool blankOnly(std::string_view text) { return text.find_first_not_of(" \t\r\f") == std::string_view::npos; }

std::string removeBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t') out.push_back(c);
  return out;
}

std::vector<std::string> splitTokens(std::string_view text, std::string_view separators) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && separators.find(text[i]) != std::string_view::npos) ++i;
    if (i >= text.size()) break;
    std::size_t j = i;
    while (j < text.size() && separators.find(text[j]) == std::string_view::npos) ++j;
    tokens.emplace_back(text.substr(i, j - i));
    i = j;
  }
  return tokens;
}

std::string singleToken(std::string_view text) {
  if (trim(text).empty()) return "*";
  std::string out(text);
  // A control character (a NUL above all) would end or split the token in the file.
  for (char& c : out)
    if (c == ' ' || isControlCharacter(c)) c = '_';
  return out;
}

std::string cut(std::string_view text, std::size_t n) { return std::string(text.substr(0, std::min(n, text.size()))); }

std::optional<double> parseDouble(std::string_view token) {
  const std::string s = trim(token);
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(s.c_str(), &end);
  if (end == s.c_str() || *end != '\0') return std::nullopt;
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long> parseLong(std::string_view token) {
  const std::string s = trim(token);
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (end == s.c_str() || *end != '\0' || errno == ERANGE) return std::nullopt;
  return v;
}

std::optional<double> parseFractionOrNumber(std::string_view token) {
  const std::string s = trim(token);
  const auto slash = s.find('/');
  if (slash == std::string::npos) return parseDouble(s);
  const auto num = parseDouble(std::string_view(s).substr(0, slash));
  const auto den = parseDouble(std::string_view(s).substr(slash + 1));
  if (!num || !den || *den == 0.0) return std::nullopt;
  return *num / *den;
}

bool isControlCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7f;
}

bool hasBlank(std::string_view text) {
  return text.find(' ') != std::string_view::npos || text.find('\t') != std::string_view::npos;
}

}  // namespace tessera
