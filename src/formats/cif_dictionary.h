#pragma once
// The short dictionary of data names and their type words ("numb", "char"), read
// from a CIF text whose items are "_name" (a data name) followed by "_type".

#include <string>
#include <string_view>
#include <unordered_map>

#include "formats/cif_index.h"

namespace tessera {

/// Message text of a dictionary name without a type.
inline constexpr const char* kCifTypeMissing = " _type line missing";

/// Data names with their type words.
class CifDictionary {
 public:
  /// Adds the names of a parsed dictionary text; a name with no type adds an error
  /// to index.errors(). Accepts "_name"/"_type" pairs in any block and loops of both.
  void load(CifIndex& index);
  /// The type word (lower case) of a data name in any case; empty when not listed.
  std::string_view typeOf(std::string_view name) const;
  /// Number of names listed.
  std::size_t size() const { return types_.size(); }
  /// True when nothing is listed.
  bool empty() const { return types_.empty(); }
  /// Forgets every name.
  void clear() { types_.clear(); }

 private:
  void loadBlock(CifIndex& index, std::size_t blockNumber);
  std::unordered_map<std::string, std::string> types_;  // lower-case name -> lower-case type
};

}  // namespace tessera
