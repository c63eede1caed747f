#pragma once
// The state the three ICSD layout readers share while one data set is read:
// title, cell, symbol and operator lines, sites and factors given by label.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "formats/import_framework.h"

namespace tessera {

class IcsdReading {
 public:
  explicit IcsdReading(ImportContext& context) : ctx(context) {}

  ImportContext& ctx;
  ImportResult result;

  /// A NAME (minr false) or MINR record's text: MINR gives the title, else the first NAME.
  void nameRecord(std::string_view text, bool minr);
  /// The six "key=value" tokens of a CELL record (keyword left out).
  void cellTokens(const std::vector<std::string>& tokens);
  /// Cell values in Angstrom and degrees; refused with a message when an edge or angle is impossible.
  void setCell(const std::array<float, 6>& cell);
  /// An SGR record after the shift: the symbol from the sixth column up to "(".
  void symbolRecord(std::string_view line);
  /// An SYM record's operator text.
  void operatorLine(std::string_view text);
  /// One atom: label, element (empty: from the label), oxidation state, Wyckoff text, x, y, z, occupancy.
  void atom(const std::string& label, std::string_view element, float charge, std::string_view wyckoff,
            const std::array<float, 3>& xyz, float occupancy);
  /// Factors of the site with that label (ortepType 0, 4, 6, 8 or 10).
  void factor(std::string_view label, const std::array<float, 6>& values, int ortepType);

 private:
  bool titleFromMinr_ = false;
  bool titleFromName_ = false;
};

/// The label of an atom given as element and number: both with blanks removed, at most 7 characters.
std::string icsdLabel(std::string_view element, std::string_view number);
/// Tokens of a line with every standard uncertainty "(...)" taken out.
std::vector<std::string> icsdValueTokens(std::string_view line);
/// An isotropic factor line's tokens from the element on: element, number, "B=" or "U=" and the value
/// (in the same token or the next). False when they do not read.
bool icsdIsoFactor(const std::vector<std::string>& tokens, std::size_t first, float& value, int& ortepType);

/// The layout readers, over lines [begin, end) of the file.
void readIcsdRetrieve(IcsdReading& r, const std::vector<std::string>& lines, std::size_t begin, std::size_t end);
void readIcsdOriginal(IcsdReading& r, const std::vector<std::string>& lines, std::size_t begin, std::size_t end);
void readIcsdCanSnd(IcsdReading& r, const std::vector<std::string>& lines, std::size_t begin, std::size_t end);

}  // namespace tessera
