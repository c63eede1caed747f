#pragma once
// TabSgName: the 530 space-group settings with their Hall symbols, compiled into
// the program, and the lookups by symbol, number and Hall symbol.

#include <string>
#include <string_view>
#include <vector>

namespace tessera {

/// The parts of a setting extension ("b1", "-c2", "1cab", "2", "H").
struct SgExtension {
  char originChoice = '\0';  ///< '1', '2' or none
  char cellChoice = '\0';    ///< '1', '2', '3' or none (monoclinic)
  std::string axisCode;      ///< monoclinic axis ("b", "-c") or axis permutation ("ba-c"); "" none
  char hexRhomb = '\0';      ///< 'H', 'R' or none

  friend bool operator==(const SgExtension&, const SgExtension&) = default;
};

/// Splits an extension; false when it is malformed.
bool parseSgExtension(std::string_view text, SgExtension& out);

/// One table row.
struct TabSgName {
  std::string HallSymbol;  ///< leading '-' (inversion at the origin) or blank
  int number = 0;          ///< 1..230
  std::string extension;   ///< "" or "b1", "2", "1ba-c", "H", ...
  std::string labels;      ///< H-M forms with '_' for blanks, joined by " = "
  std::string oldLabel;    ///< the pre-2002 spelling of an e-glide setting ("" when none)
  SgExtension parsedExtension;
  std::vector<std::string> lookupLabels;  ///< labels then oldLabel, without blanks and '_'
  int labelCount = 0;                     ///< forms in labels (1 to 3)

  /// Number-with-extension key: "14:b1", "227:2", "1".
  std::string key() const;
  /// The H-M symbol the document gets: the full form (after the first " = ") or the only
  /// form, blanks removed, with ":1", ":2", ":H" or ":R" appended by the extension.
  std::string documentHmSymbol() const;
};

/// The rows in the published order (530).
const std::vector<TabSgName>& tabSgNames();

/// True when a row of the compiled-in table could not be read (number or extension).
bool tabSgNameIsCorrupt();

/// The first row with exactly this Hall symbol (leading blank included), or nullptr.
const TabSgName* findTabSgNameByHall(std::string_view hallSymbol);

/// The row named by an H-M symbol or a number with optional extension ("P21/c", "14:c1",
/// "Fd-3mS", "R-3:H") under volume 'A' or 'I' ('\0' or ' ' for A, '1' for I); nullptr when
/// none. *error receives "Internal Error: Corrupt TabSgName" for an inconsistent table.
const TabSgName* findTabSgNameEntry(std::string_view text, char volume, std::string* error = nullptr);

}  // namespace tessera
