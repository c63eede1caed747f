#pragma once
// The element table (atomic numbers 1 to 94) and the label-to-type lookup.

#include <string>
#include <string_view>

namespace tessera {

/// Element symbol of an atomic number 1..94 ("" outside), e.g. "Fe", "C".
std::string elementSymbol(int atomicNumber);

/// Result of the label-to-type lookup.
struct TypeLookup {
  int typeNumber = 0;   ///< atomic number, 0 when nothing matched
  std::string element;  ///< element symbol, empty when nothing matched
};

/// Atom type number and element symbol from the first two characters of a label
/// (case ignored): a two-letter symbol first, then a one-letter symbol; a label that
/// starts with D and matches no element is deuterium (type 1, element "D").
TypeLookup typeFromLabel(std::string_view label);

/// Type number and element symbol of a text that names an element: a symbol of the
/// table, D or T (hydrogen isotopes, type 1, the symbol kept), optionally followed by
/// anything but a letter ("Fe3+", "O2-(H2O)", "C", "D"); case ignored. Empty for anything
/// else ("Wat", "OH-", "?", "Xx").
TypeLookup typeFromElementSymbol(std::string_view text);

}  // namespace tessera
