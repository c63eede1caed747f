#pragma once
// HALL.DAT: the list of settings the table dialog offers for picking. Fixed
// columns (from 1): number-with-extension key 4-11, H-M symbol 15-27, Hall
// symbol 29-46.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_interface.h"

namespace tessera {

/// Heading shown above the pick list.
inline constexpr const char* kHallDatHeading = " Number   Hermann-Maughin     Hall";

/// The three fields of a line, each with its surrounding blanks removed.
struct HallDatEntry {
  std::string key;
  std::string hmSymbol;
  std::string hallSymbol;
};

/// Splits a HALL.DAT line into its fixed columns.
HallDatEntry hallDatFields(std::string_view line);

/// The HALL.DAT text for the compiled-in table (one line per row, in table order).
std::string hallDatText();

/// The pick list read from HALL.DAT: the lines and the 0-based preselected index.
struct HallDatList {
  std::vector<std::string> lines;
  int preselected = 0;
};

/// Splits file text into list lines of at most 62 characters, line ends removed.
std::vector<std::string> hallDatLines(std::string_view text);

/// Index of the first line whose text from column 4 on (leading blanks skipped) begins
/// with the key; 0 for an empty key or when none does.
int hallDatPreselection(const std::vector<std::string>& lines, std::string_view key);

/// Reads HALL.DAT from the first data folder holding it, with the document's key preselected;
/// nullopt after the message "Unable to find or open HALL.DAT file.".
std::optional<HallDatList> readHallDat(const std::vector<std::filesystem::path>& folders, std::string_view key,
                                       UserInterface& ui);

}  // namespace tessera
