#pragma once
// The CIF writer (export "CIF"): one data block with the cell, the complete list
// of symmetry operators, the sites and, for anisotropic sites, their U tensors.

#include <string>
#include <string_view>
#include <vector>

#include "core/crystal_document.h"

namespace tessera {

class ExportContext;

/// Writes the context's crystal as a CIF data block; true when the file was written.
bool ExportCif(ExportContext& context);

/// A value as one CIF token: bare when it can stand alone, else quoted ("?" for an empty text).
std::string cifToken(std::string_view text);

/// A block name for a title: blanks and control characters become "_"; fallback when the title is empty.
std::string cifBlockName(std::string_view title, std::string_view fallback);

/// Every operator of the crystal as lower-case xyz text (translations last): each line,
/// its inverse when the crystal is completed by inversion, and every centring copy; the
/// identity alone for a crystal without lines. Lines that do not parse are kept as written.
std::vector<std::string> fullOperatorList(const CrystalRecord& crystal);

}  // namespace tessera
