#pragma once
// Blank-separated records read field by field as the text formats give them:
// a pattern of 's' (word), 'd' (integer) and 'f' (real); reading stops at the
// first field that is missing or does not convert, and the count says how many did.

#include <string>
#include <string_view>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// The fields of one record read by a pattern such as "sdddf".
class RecordScan {
 public:
  RecordScan(std::string_view line, std::string_view pattern);

  /// Fields read before the first missing or unreadable one.
  int count() const { return static_cast<int>(numbers_.size()); }
  /// Field k (0-based) as read: the word of an 's' field.
  const std::string& word(int k) const { return words_[static_cast<std::size_t>(k)]; }
  /// Field k as an integer (clamped to the int range) of a 'd' field.
  int integer(int k) const;
  /// Field k as a real of an 'f' (or 'd') field.
  float real(int k) const;
  /// True when field k was read.
  bool has(int k) const { return k >= 0 && k < count(); }

 private:
  std::vector<std::string> words_;
  std::vector<double> numbers_;
};

/// Takes a reader's symmetry lines into a crystal: past the line limit its message is
/// shown once and the later lines are dropped (a file of thousands asks nothing more).
class SymmetryLineSink {
 public:
  SymmetryLineSink(CrystalRecord& crystal, UserInterface& ui) : crystal_(crystal), ui_(ui) {}
  /// True when the line was appended.
  bool add(std::string_view text);

 private:
  CrystalRecord& crystal_;
  UserInterface& ui_;
  bool full_ = false;
};

/// The colour of a 16-bit colour value on the 0..255 scale: v (plus 65536 when
/// negative) / 256, truncated, kept within 0..255.
int colourFrom16Bit(long value);

}  // namespace tessera
