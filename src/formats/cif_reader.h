#pragma once
// The CIF reader (import kind 3): one data block of a CIF file, read through the
// CIF syntax reader, fills the cell, symmetry, sites and displacement parameters.

namespace tessera {

class ImportContext;

/// Name of the dictionary file in the home directory.
inline constexpr const char* kCifDictionaryFile = "cifdic.sht";

/// Reads one data block of a CIF file into the context's document; true when finished.
bool ReadCif(ImportContext& context);

}  // namespace tessera
