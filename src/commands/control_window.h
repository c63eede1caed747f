#pragma once
// What the Control Window shows for the open document, as plain texts: the
// desktop program displays them and tessera-cli prints them.

#include <array>
#include <string>
#include <vector>

#include "core/crystal_document.h"

namespace tessera {

/// The Control Window's contents.
struct ControlWindowContent {
  std::string fileLine;                   ///< "File: " and the document path
  std::string symmetryLine;               ///< empty when the Old crystal has no symmetry source 1 or 4
  std::string header;                     ///< site list header
  std::vector<std::string> rows;          ///< one row per input site
  std::array<std::string, 6> cellFields;  ///< a, b, c and the angles in degrees
  std::array<std::string, 3> selected;    ///< temperature-factor line, vector line, button caption
};

/// "Symmetry - Space group: %s" / "Symmetry - Custom: %s", or empty.
std::string symmetryLineOf(const CrystalRecord& crystal);

/// Rebuilds the Control Window's contents (resets selectedSite to 0 when it lies past the list).
ControlWindowContent controlWindowContent(CrystalDocument& doc);

/// A cell value as the Control Window's display field shows it (angles given in radians).
std::string cellFieldText(float value, bool angle);

}  // namespace tessera
