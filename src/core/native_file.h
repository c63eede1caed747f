#pragma once
// The native document file (.tsr): a line-oriented text file holding the Old
// crystal with its sites, both crystals' symmetry records, the transformation
// parameters and the simulation settings.

#include <string>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// File dialog filter of native documents.
inline constexpr const char* kNativeFilter = "Data files (*.tsr)|*.tsr|All Files (*.*)|*.*||";

/// The whole file text of a document, exactly as writeDocumentFile writes it.
std::string documentFileText(const CrystalDocument& doc);

/// The value v comes back as from the file: written with six decimals and read again.
float nativeFileValue(float v);

/// Rounds what the file keeps of an imported structure (the Old crystal's cell, every
/// site's numbers, labels and element texts, the H-M symbol and the title) to what the
/// file gives back, so that the document saves and reopens exactly as it is: values to
/// six decimals, an empty or blank label as "*", blanks in a label as "_", texts
/// without outer blanks. The saved text does not change.
void keepAsNativeFileHolds(CrystalDocument& doc);

/// Writes the document to path through a temporary file renamed over the target.
/// Shows "File open for write failed" or "File write failed" and returns false on failure
/// (an existing file is then left as it was).
bool writeDocumentFile(const CrystalDocument& doc, const std::string& path, UserInterface& ui);

/// Reads a native file into doc. On success doc holds the file's structure (its New
/// crystal sites empty); on failure the message has been shown and doc is unchanged.
bool readDocumentFile(CrystalDocument& doc, const std::string& path, UserInterface& ui);

/// Writes text to path through a temporary file in the same folder renamed over the
/// target; false (and the target untouched) when any step fails.
bool writeFileAtomically(const std::string& path, const std::string& text);

}  // namespace tessera
