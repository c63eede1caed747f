#pragma once
// A whole CIF text parsed once into data blocks: each block lists its items in
// file order and its loops, with a case-blind name index; the values of all
// blocks are views into the text, kept in one array. Syntax errors are recorded where they were met and tied
// to the item, loop or value they damage, so a request meets them later.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/cif_tokens.h"

namespace tessera {

inline constexpr std::size_t kCifNone = std::numeric_limits<std::size_t>::max();

/// Message texts of the block structure.
inline constexpr const char* kCifMiscount = " Item miscount in loop";
inline constexpr const char* kCifIllegalTagValue = " Illegal tag/value construction";
inline constexpr const char* kCifConstructionError = " Syntax construction error";

/// One value: where its token starts in the text and how it was written. Eight
/// bytes, so a loop of a million values stays small; CifIndex::valueText reads it.
class CifValue {
 public:
  /// A value whose token starts at offset.
  CifValue(std::size_t offset, CifValueKind kind)
      : packed_((static_cast<std::uint64_t>(offset) << 3) | static_cast<std::uint64_t>(kind)) {}
  /// Text position of the token's first character (word, quote mark or ";").
  std::size_t offset() const { return static_cast<std::size_t>(packed_ >> 3); }
  /// How the value was written.
  CifValueKind kind() const { return static_cast<CifValueKind>(packed_ & 7U); }

 private:
  std::uint64_t packed_;
};

/// One data name of a block.
struct CifItem {
  std::string_view name;       ///< as written, with its "_"
  std::size_t line = 0;        ///< line of the name
  std::size_t loop = kCifNone; ///< loop number, kCifNone when not looped
  std::size_t column = 0;      ///< column in the loop packet
  std::size_t value = kCifNone;///< value index of an unlooped name (kCifNone: none)
  std::size_t error = kCifNone;///< error met by this item, kCifNone when sound
};

/// One loop_: its values are values()[firstValue .. firstValue + valueCount).
struct CifLoop {
  std::size_t firstValue = 0;       ///< index of its first value
  std::size_t nameCount = 0;        ///< names per packet
  std::size_t valueCount = 0;       ///< values read
  std::size_t miscount = kCifNone;  ///< error of an incomplete last packet
  /// Packets, the incomplete last one included.
  std::size_t packetCount() const { return nameCount ? (valueCount + nameCount - 1) / nameCount : 0; }
};

/// Case-blind hash of a data name (ASCII letters).
struct CifNameHash {
  std::size_t operator()(std::string_view s) const noexcept;
};
/// Case-blind equality of data names (ASCII letters).
struct CifNameEqual {
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

/// One data block.
struct CifBlock {
  std::string_view name;                 ///< the text after "data_"
  std::size_t line = 0;                  ///< line of the data_ header
  std::vector<CifItem> items;            ///< file order, repeated names included
  std::vector<CifLoop> loops;
  std::unordered_map<std::string_view, std::size_t, CifNameHash, CifNameEqual> index;  ///< first item of each name
  std::size_t blockError = kCifNone;     ///< first error not tied to an item
  /// The item of that name (any case), nullptr when absent.
  const CifItem* find(std::string_view name) const;
  /// Value index of a looped item in the given packet.
  std::size_t loopValue(const CifItem& item, std::size_t packet) const {
    return loops[item.loop].firstValue + packet * loops[item.loop].nameCount + item.column;
  }
};

/// A syntax error and where it was met.
struct CifError {
  std::size_t block = 0;     ///< block it was met in
  std::size_t line = 0;      ///< 1-based line
  const char* text = "";     ///< message text, beginning with a blank
  bool reported = false;     ///< already shown to the user
};

/// A parsed CIF text. Holds the text, so views stay valid for its lifetime.
class CifIndex {
 public:
  /// Takes the text and parses it at once.
  explicit CifIndex(std::string text);
  CifIndex(const CifIndex&) = delete;
  CifIndex& operator=(const CifIndex&) = delete;

  /// The data blocks in file order.
  const std::vector<CifBlock>& blocks() const { return blocks_; }
  /// The whole text.
  std::string_view text() const { return text_; }
  /// The values of every block, in file order.
  const std::vector<CifValue>& values() const { return values_; }
  /// The text of value i: without quote marks; a text field's lines.
  std::string_view valueText(std::size_t i) const { return cifValueText(text_, values_[i].offset(), values_[i].kind()); }
  /// The error of a Bad value, kCifNone for sound ones.
  std::size_t valueError(std::size_t value) const;
  /// Every syntax error met.
  std::vector<CifError>& errors() { return errors_; }
  const std::vector<CifError>& errors() const { return errors_; }

 private:
  class Parser;
  std::string text_;
  std::vector<CifBlock> blocks_;
  std::vector<CifValue> values_;
  std::unordered_map<std::size_t, std::size_t> badValues_;  // value index -> error
  std::vector<CifError> errors_;
};

}  // namespace tessera
