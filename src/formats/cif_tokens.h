#pragma once
// Splits CIF text into tokens: data names, data_ headers, loop_, values and the
// end of the text. Works on a buffer held in memory; tokens are views into it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessera {

/// What a token is.
enum class CifTokenKind : std::uint8_t { Name, Data, Loop, Value, End };

/// How a value was written.
enum class CifValueKind : std::uint8_t {
  Plain,    ///< an unquoted word (may read as a number)
  Quoted,   ///< a word in single or double quotes (marks not included)
  Text,     ///< a text field between lines starting with ";"
  NoValue,  ///< an unquoted "." or "?"
  Bad       ///< a value whose syntax is broken; error says why
};

/// One token. text is a view into the tokenised buffer.
struct CifToken {
  CifTokenKind kind = CifTokenKind::End;
  CifValueKind valueKind = CifValueKind::Plain;
  std::string_view text;        ///< data name with its "_", block name, or value
  std::size_t line = 0;         ///< 1-based line where the token starts
  std::size_t offset = 0;       ///< buffer position of its first character (quote mark, ";")
  const char* error = nullptr;  ///< error text of a Bad value
};

/// Message texts of broken values.
inline constexpr const char* kCifQuoteNotClosed = " Quoted string not closed";
inline constexpr const char* kCifUnexpectedEnd = " Unexpected end of data";
/// A text field that runs to the end of the file; the error's line is where it opens.
inline constexpr const char* kCifTextNotClosed = " Unexpected end of data - text field opened on this line not closed";

/// The text of a value of that kind whose token starts at offset (its word, opening
/// quote mark or ";"); empty for Bad values. Reads as the tokeniser did.
std::string_view cifValueText(std::string_view buffer, std::size_t offset, CifValueKind kind);

/// Reads tokens one after the other from a buffer that must outlive it.
class CifTokenizer {
 public:
  /// Starts at the beginning of the buffer, line 1.
  explicit CifTokenizer(std::string_view buffer) : buf_(buffer) {}
  /// The next token; End (repeatedly) once the buffer is used up.
  CifToken next();
  /// The line the reader is on now.
  std::size_t line() const { return line_; }

 private:
  void skipBlanksAndComments();
  CifToken textField();
  CifToken quoted();
  CifToken word();

  std::string_view buf_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

}  // namespace tessera
