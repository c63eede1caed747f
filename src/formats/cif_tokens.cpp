#include "formats/cif_tokens.h"

#include <algorithm>
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
  for (unsigned char c : {' ', '\t', '\r', '\n'}) t[c] = true;
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

std::size_t lineEnd(std::string_view buf, std::size_t from) {
  if (from >= buf.size()) return buf.size();
  const void* nl = std::memchr(buf.data() + from, '\n', buf.size() - from);
  return nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - buf.data()) : buf.size();
}

// Where a value's text lies and where reading resumes after it.
struct Extent {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t resume = 0;
  bool closed = true;
};

std::size_t wordEnd(std::string_view buf, std::size_t pos) {
  while (pos < buf.size() && !kEndsWord[static_cast<unsigned char>(buf[pos])]) ++pos;
  return pos;
}

// A quoted word ends at the next same mark that is followed by a blank or the line
// end, so 'O'Brien' reads as O'Brien.
Extent quotedExtent(std::string_view buf, std::size_t pos) {
  const char mark = buf[pos];
  Extent e;
  e.begin = pos + 1;
  const std::size_t end = lineEnd(buf, e.begin);
  for (std::size_t i = e.begin; i < end; ++i) {
    if (buf[i] == mark && (i + 1 >= buf.size() || isBlank(buf[i + 1]))) {
      e.end = i;
      e.resume = i + 1;
      return e;
    }
  }
  e.end = end;
  e.resume = end;
  e.closed = false;
  return e;
}

// A text field runs from a ";" in column 1 to the next line that starts with ";".
// When the opening line holds nothing after its ";", the value starts on the next line.
Extent textFieldExtent(std::string_view buf, std::size_t pos) {
  Extent e;
  e.begin = pos + 1;
  const std::size_t firstEnd = lineEnd(buf, e.begin);
  bool blankOpening = true;
  for (std::size_t i = e.begin; i < firstEnd; ++i) blankOpening = blankOpening && isBlank(buf[i]);
  if (blankOpening && firstEnd < buf.size()) e.begin = firstEnd + 1;
  for (std::size_t nl = firstEnd; nl < buf.size(); nl = lineEnd(buf, nl + 1)) {
    if (nl + 1 < buf.size() && buf[nl + 1] == ';') {
      e.end = nl < e.begin ? e.begin : nl;
      e.resume = nl + 2;
      return e;
    }
  }
  e.begin = std::min(e.begin, buf.size());
  e.end = buf.size();
  e.resume = buf.size();
  e.closed = false;
  return e;
}

}  // namespace

std::string_view cifValueText(std::string_view buffer, std::size_t offset, CifValueKind kind) {
  switch (kind) {
    case CifValueKind::Plain:
    case CifValueKind::NoValue:
      return buffer.substr(offset, wordEnd(buffer, offset) - offset);
    case CifValueKind::Quoted: {
      const Extent e = quotedExtent(buffer, offset);
      return buffer.substr(e.begin, e.end - e.begin);
    }
    case CifValueKind::Text: {
      const Extent e = textFieldExtent(buffer, offset);
      return dropTrailingCr(buffer.substr(e.begin, e.end - e.begin));
    }
    case CifValueKind::Bad:
      break;
  }
  return {};
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
      pos_ = lineEnd(buf_, pos_);
    } else {
      break;
    }
  }
}

CifToken CifTokenizer::next() {
  skipBlanksAndComments();
  if (pos_ >= buf_.size()) {
    CifToken end;
    end.line = line_;
    end.offset = buf_.size();
    return end;
  }
  const char c = buf_[pos_];
  if (c == ';' && (pos_ == 0 || buf_[pos_ - 1] == '\n')) return textField();
  if (c == '\'' || c == '"') return quoted();
  return word();
}

CifToken CifTokenizer::textField() {
  CifToken token;
  token.kind = CifTokenKind::Value;
  token.valueKind = CifValueKind::Text;
  token.line = line_;
  token.offset = pos_;
  const Extent e = textFieldExtent(buf_, pos_);
  token.text = dropTrailingCr(buf_.substr(e.begin, e.end - e.begin));
  if (!e.closed) {
    token.valueKind = CifValueKind::Bad;
    token.error = kCifTextNotClosed;
  }
  const auto from = buf_.begin() + static_cast<std::ptrdiff_t>(pos_);
  line_ += static_cast<std::size_t>(std::count(from, buf_.begin() + static_cast<std::ptrdiff_t>(e.resume), '\n'));
  pos_ = e.resume;
  return token;
}

CifToken CifTokenizer::quoted() {
  CifToken token;
  token.kind = CifTokenKind::Value;
  token.valueKind = CifValueKind::Quoted;
  token.line = line_;
  token.offset = pos_;
  const Extent e = quotedExtent(buf_, pos_);
  token.text = buf_.substr(e.begin, e.end - e.begin);
  if (!e.closed) {
    token.valueKind = CifValueKind::Bad;
    token.error = kCifQuoteNotClosed;
    token.text = dropTrailingCr(token.text);
  }
  pos_ = e.resume;
  return token;
}

CifToken CifTokenizer::word() {
  CifToken token;
  token.line = line_;
  token.offset = pos_;
  const std::size_t start = pos_;
  pos_ = wordEnd(buf_, pos_);
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
