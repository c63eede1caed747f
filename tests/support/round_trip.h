#pragma once
// Save, reopen and compare: what the program saves it must open again and show
// the same. Header-only so the fuzz targets use it without the test library.

#include <filesystem>
#include <string>
#include <vector>

#include "commands/control_window.h"
#include "core/native_file.h"
#include "core/scripted_user_interface.h"
#include "core/text.h"

namespace tessera::test {

/// The file text with the symbol records' text trimmed: the reader keeps a Hall
/// symbol's leading blank (" P 2yb") no more than any other outer blank.
inline std::string withTrimmedSymbols(const std::string& text) {
  std::string out;
  for (const std::string& line : splitTokens(text, "\n")) {
    const bool symbol = line.rfind("INTN", 0) == 0 || line.rfind("HALL", 0) == 0;
    out += symbol && line.size() > 5 ? line.substr(0, 5) + " " + trim(line.substr(5)) : line;
    out += '\n';
  }
  return out;
}

/// Saves doc as a native file in folder, reopens it and compares the saved text and
/// the Control Window's contents, character for character: a document holds what its
/// file gives back. Empty when both agree, else what differed.
inline std::string nativeRoundTripDifference(const CrystalDocument& doc, const std::filesystem::path& folder) {
  const std::string path = (folder / "round-trip.tsr").string();
  ScriptedUserInterface ui;
  if (!writeDocumentFile(doc, path, ui)) return "save failed";
  CrystalDocument reopened;
  if (!readDocumentFile(reopened, path, ui)) {
    const auto messages = ui.messages();
    return "reopen failed: " + (messages.empty() ? std::string() : messages.back());
  }
  if (!ui.messages().empty()) return "reopen said: " + ui.messages().front();
  const std::string saved = withTrimmedSymbols(documentFileText(doc));
  const std::string again = withTrimmedSymbols(documentFileText(reopened));
  if (saved != again) {
    std::size_t i = 0;
    while (i < saved.size() && i < again.size() && saved[i] == again[i]) ++i;
    const std::size_t from = saved.rfind('\n', i) == std::string::npos ? 0 : saved.rfind('\n', i) + 1;
    return "saved text differs at line: " + saved.substr(from, saved.find('\n', i) - from);
  }
  CrystalDocument shown = doc;
  shown.isOpen = reopened.isOpen = true;
  shown.selectedSite = reopened.selectedSite = 0;
  const ControlWindowContent a = controlWindowContent(shown);
  const ControlWindowContent b = controlWindowContent(reopened);
  if (a.rows.size() != b.rows.size()) return "site rows differ in number";
  for (std::size_t i = 0; i < a.rows.size(); ++i)
    if (a.rows[i] != b.rows[i]) return "site row differs: \"" + a.rows[i] + "\" / \"" + b.rows[i] + "\"";
  for (std::size_t i = 0; i < a.cellFields.size(); ++i)
    if (a.cellFields[i] != b.cellFields[i]) return "cell shown differently: " + a.cellFields[i];
  if (a.symmetryLine != b.symmetryLine) return "symmetry shown differently: " + a.symmetryLine;
  for (std::size_t i = 0; i < a.selected.size(); ++i)
    if (a.selected[i] != b.selected[i]) return "selected site shown differently: " + a.selected[i];
  return {};
}

}  // namespace tessera::test
