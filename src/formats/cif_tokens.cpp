#include "formats/cif_tokens.h"

#include <array>
#include <cstring>

namespace tessera {

namespace {

// Carriage returns separate tokens like blanks, so files written with CR LF line
// ends read the same.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Characters that end an unquoted word.
constexpr auto kEndsWord = [] {
  std::array<bool, 256> t{};
  for (unsigned char c : {' ', '\t', '\r', '\n', '#'}) t[c] = true;
  return t;
}();

bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}

std::string_view dropTrailingCr(std::string_view s) {
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}

}  // namespace

std::size_t CifTokenizer::lineEnd(std::size_t from) const {
  const void* nl = std::memchr(buf_.data() + from, '\n', buf_.size() - from);
  return nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - buf_.data()) : buf_.size();
}

void CifTokenizer::skipBlanksAndComments() {
  while (pos_ < buf_.size()) {
    const char c = buf_[pos_];
    if (c == '\n') {
      ++line_;
      ++pos_;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      ++pos_;
    } else if (c == '#') {
      pos_ = lineEnd(pos_);
    } else {
      break;
    }
  }
}

CifToken CifTokenizer::next() {
  skipBlanksAndComments();
  CifToken token;
  token.line = line_;
  if (pos_ >= buf_.size()) return token;
  const char c = buf_[pos_];
  if (c == ';' && (pos_ == 0 || buf_[pos_ - 1] == '\n')) return textField();
  if (c == '\'' || c == '"') return quoted(c);
  return word();
}

// A text field runs from a ";" in column 1 to the next line that starts with ";".
// When the opening line holds nothing after its ";", the value starts on the next line.
CifToken CifTokenizer::textField() {
  CifToken token;
  token.kind = CifTokenKind::Value;
  token.valueKind = CifValueKind::Text;
  token.line = line_;
  std::size_t start = pos_ + 1;
  const std::size_t firstEnd = lineEnd(start);
  bool blankOpening = true;
  for (std::size_t i = start; i < firstEnd; ++i) blankOpening = blankOpening && isBlank(buf_[i]);
  if (blankOpening && firstEnd < buf_.size()) start = firstEnd + 1;

  std::size_t nl = firstEnd;
  while (nl < buf_.size()) {
    ++line_;
    if (nl + 1 < buf_.size() && buf_[nl + 1] == ';') {
      const std::size_t valueEnd = nl < start ? start : nl;
      token.text = dropTrailingCr(buf_.substr(start, valueEnd - start));
      pos_ = nl + 2;
      return token;
    }
    nl = lineEnd(nl + 1);
  }
  token.valueKind = CifValueKind::Bad;
  token.error = kCifUnexpectedEnd;
  token.text = buf_.substr(start < buf_.size() ? start : buf_.size());
  pos_ = buf_.size();
  return token;
}

// A quoted word ends at the next same mark that is followed by a blank or the line
// end, so 'O'Brien' reads as O'Brien.
CifToken CifTokenizer::quoted(char mark) {
  CifToken token;
  token.kind = CifTokenKind::Value;
  token.valueKind = CifValueKind::Quoted;
  token.line = line_;
  const std::size_t start = pos_ + 1;
  const std::size_t end = lineEnd(start);
  for (std::size_t i = start; i < end; ++i) {
    if (buf_[i] == mark && (i + 1 >= buf_.size() || isBlank(buf_[i + 1]))) {
      token.text = buf_.substr(start, i - start);
      pos_ = i + 1;
      return token;
    }
  }
  token.valueKind = CifValueKind::Bad;
  token.error = kCifQuoteNotClosed;
  token.text = dropTrailingCr(buf_.substr(start, end - start));
  pos_ = end;
  return token;
}

CifToken CifTokenizer::word() {
  CifToken token;
  token.line = line_;
  const std::size_t start = pos_;
  while (pos_ < buf_.size() && !kEndsWord[static_cast<unsigned char>(buf_[pos_])]) ++pos_;
  const std::string_view w = buf_.substr(start, pos_ - start);
  token.text = w;
  if (w[0] == '_') {
    token.kind = CifTokenKind::Name;
  } else if (startsWithNoCase(w, "data_")) {
    token.kind = CifTokenKind::Data;
    token.text = w.substr(5);
  } else if (w.size() == 5 && startsWithNoCase(w, "loop_")) {
    token.kind = CifTokenKind::Loop;
  } else {
    token.kind = CifTokenKind::Value;
    token.valueKind = (w == "." || w == "?") ? CifValueKind::NoValue : CifValueKind::Plain;
  }
  return token;
}

}  // namespace tessera
