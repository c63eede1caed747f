#pragma once
// Fixed-column records read by field descriptors such as "(A4,1X,I4,1X,A4,2X,5F8.0)":
// A text, I integer, F or G real (width.decimals), X skipped columns, a leading
// count repeating a field. Blank numeric columns read as zero.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessera {

/// One field of a descriptor.
struct ColumnField {
  char kind = 'A';         ///< 'A' text, 'I' integer, 'F' real
  std::size_t start = 0;   ///< 0-based first column
  std::size_t width = 0;   ///< columns
  int decimals = 0;        ///< implied decimals of an F field written without a point
};

/// A parsed descriptor: the fields in order (skipped columns left out).
struct ColumnLayout {
  std::vector<ColumnField> fields;

  /// Parses a descriptor; nullopt when it is malformed.
  static std::optional<ColumnLayout> parse(std::string_view descriptor);
};

/// The value of one field of a record.
struct ColumnValue {
  std::string text;     ///< the columns as they stand (A fields), blanks kept
  double number = 0.0;  ///< the value of an I or F field (0 when blank)
  bool blank = true;    ///< the columns hold only blanks
  bool isNumber = false;  ///< an I or F field holding a number (not blank)
};

/// Reads a line by a layout (columns past the line end count as blank). False when a
/// numeric field holds something that is not a number; the values read are kept.
bool readColumns(const ColumnLayout& layout, std::string_view line, std::vector<ColumnValue>& values);

}  // namespace tessera
