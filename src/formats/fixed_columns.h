#pragma once
// Fixed-column records read through a table of field descriptors, as in
// "(A6, 3X, 5F9.6, F9.0)" or "(a5,3i7,1x,a5,3i7)": A text, I integer, F real
// (width.decimals; E, D and G read as F), X skipped columns; a leading count
// repeats a field or a parenthesised group. Blank numeric columns read as zero.
// The writing side: fixedReal keeps a real within its field.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessera {

/// Blanks between the characters of a numeric field: not a number, or (as the old
/// Fortran programs read them) ignored, so "1 234" reads 1234.
enum class InnerBlanks { Invalid, Ignored };

/// One field of a record as read.
struct FixedField {
  char kind = 'A';       ///< 'A', 'I' or 'F'
  std::string text;      ///< A: the columns as written; I, F: the columns without blanks
  double number = 0.0;   ///< I and F: the value (0 for blank columns)
  bool present = false;  ///< at least one column of the field lies within the line
  bool valid = true;     ///< I, F: the columns read as a number (blank counts as valid)

  long integer() const { return static_cast<long>(number); }
  /// The columns hold only blanks (or lie past the line's end).
  bool blank() const { return text.find_first_not_of(" \t") == std::string::npos; }
  /// An I or F field holding a number (not blank).
  bool holdsNumber() const { return kind != 'A' && valid && !blank(); }
};

/// The fields of one line read with a layout.
struct FixedRecord {
  std::vector<FixedField> fields;  ///< A, I and F fields in layout order (X fields are not listed)
  bool complete = true;            ///< the line reaches the last column of the last field

  /// True when every numeric field read as a number.
  bool valid() const;
  /// Index of the first numeric field that did not read, or -1.
  int firstInvalid() const;
  double number(std::size_t i) const { return i < fields.size() ? fields[i].number : 0.0; }
  long integer(std::size_t i) const { return i < fields.size() ? fields[i].integer() : 0; }
  const std::string& text(std::size_t i) const;
};

/// A record layout built from a field-descriptor text.
class FixedLayout {
 public:
  /// One expanded field: kind ('A', 'I', 'F' or 'X'), first column (0-based), width, decimals.
  struct Column {
    char kind;
    std::size_t start;
    std::size_t width;
    int decimals;
  };

  /// The layout of a descriptor; nullopt when the descriptor is malformed.
  static std::optional<FixedLayout> parse(std::string_view descriptor);
  /// The layout of a descriptor written in the program; a malformed one throws std::invalid_argument.
  explicit FixedLayout(std::string_view descriptor);

  /// Reads one line. Columns past the line's end read as blank.
  FixedRecord read(std::string_view line, InnerBlanks blanks = InnerBlanks::Invalid) const;
  /// Number of A, I and F fields.
  std::size_t fieldCount() const { return fieldCount_; }
  /// Total width in columns.
  std::size_t width() const { return width_; }
  const std::vector<Column>& columns() const { return columns_; }

 private:
  FixedLayout() = default;
  std::vector<Column> columns_;
  std::size_t fieldCount_ = 0;
  std::size_t width_ = 0;
};

/// Reads a numeric fixed field: blanks around the value ignored, a blank field is 0; an F field
/// without a decimal point or exponent has its last `decimals` digits taken as decimals; a D exponent
/// reads as E. Nullopt when not a (finite) number.
std::optional<double> readFixedNumber(std::string_view columns, char kind, int decimals,
                                      InnerBlanks blanks = InnerBlanks::Invalid);

/// A real in an F field of that width: "%w.df", narrowed when wider (a leading zero
/// dropped, then fewer decimals, then an exponent form) so the field never grows.
std::string fixedReal(double value, int width, int decimals);

}  // namespace tessera
