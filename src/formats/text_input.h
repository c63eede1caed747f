#pragma once
// Line-by-line reading of import files with bounded memory, and the number
// readers the text formats share.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace tessera {

/// Reads text lines (LF or CR LF) from a stream. Each line keeps at most `limit`
/// characters (the rest of a longer line is dropped); a line holding control bytes
/// other than tab, CR and form feed marks the input as binary.
class LineReader {
 public:
  explicit LineReader(std::istream& in, std::size_t limit = 4096) : in_(in), limit_(limit) {}

  /// The next line without its line end; false at the end of the input.
  bool next(std::string& line);
  /// 1-based number of the last line returned.
  int lineNumber() const { return lineNumber_; }
  /// True when the last line returned held control bytes (the file is not text).
  bool lastLineBinary() const { return binary_; }

 private:
  std::istream& in_;
  std::size_t limit_;
  int lineNumber_ = 0;
  bool binary_ = false;
};

/// Reads a number from the start of text as scanf's "%f" does (sign, digits, point,
/// exponent; trailing characters ignored); nullopt when no number starts there or it is not finite.
std::optional<double> leadingNumber(std::string_view text);

}  // namespace tessera

namespace tessera {

/// A double as float, out-of-range values clamped to the largest finite float.
float narrowToFloat(double value);

}  // namespace tessera
