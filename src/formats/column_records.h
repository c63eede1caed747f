#pragma once
// Fixed-column records told by field descriptors such as (A6, 3X, 5F9.6, F9.0):
// A text, I integer, F real (width.decimals), X skipped columns, a leading count
// repeating a field or a parenthesised group. Blank numeric columns read as zero.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessera {

/// One field of a record: kind 'A', 'I', 'F' or 'X', its width and (F) its decimals.
struct ColumnField {
  char kind = 'X';
  int width = 0;
  int decimals = 0;
};

/// The fields of a descriptor, repeats expanded; throws std::invalid_argument on a bad descriptor.
std::vector<ColumnField> parseColumnDescriptor(std::string_view descriptor);

/// One value read from or written to a non-X field.
struct ColumnValue {
  std::string text;     ///< A fields (trailing blanks kept as read)
  double number = 0.0;  ///< I and F fields
};

/// Reads a line by its fields (a short line reads as if padded with blanks). nullopt when
/// a numeric field holds anything but one decimal number.
std::optional<std::vector<ColumnValue>> readColumnRecord(std::string_view line, const std::vector<ColumnField>& fields);

/// A real in an F field of that width: "%w.df", narrowed when wider (a leading zero
/// dropped, then fewer decimals, then an exponent form) so the field never grows.
std::string fixedReal(double value, int width, int decimals);

}  // namespace tessera
