#pragma once
// A program session driven by a scripted user interface, with the import and
// export commands at hand, and a plain text dump of a document for golden files
// (the test paths come along).

#include <filesystem>
#include <string>

#include "core/scripted_user_interface.h"
#include "core/session.h"
#include "support/test_paths.h"

namespace tessera::test {

/// One program session driven by queued answers; its home is the data folder.
struct TestSession {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument document;
  Session session{document, ui, settings, std::filesystem::path(TESSERA_DATA_DIR)};

  /// Runs the import command of a kind on path (dialogs accepted unchanged).
  bool import(int kind, const std::filesystem::path& path);
  /// Runs the export command with that CLI name into path; the dialog chooses the crystal.
  bool exportTo(const char* command, const std::filesystem::path& path, int crystal = 0);
};

/// Cell, symmetry and every site of the Old crystal, one value set per line.
std::string documentDump(const CrystalDocument& doc);

}  // namespace tessera::test
