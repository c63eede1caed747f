#pragma once
// What every fuzz target shares: the fuzzer's bytes as a file in a scratch
// folder, and a session whose questions take their default answers and whose
// home is the source tree's data folder.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/scripted_user_interface.h"
#include "core/session.h"
#include "formats/import_framework.h"

namespace tessera::fuzz {

/// A scratch file holding the input, named with the given extension (one per process).
inline std::filesystem::path writeInput(const uint8_t* data, size_t size, const std::string& extension) {
  static const std::filesystem::path folder = [] {
    auto dir = std::filesystem::temp_directory_path() / ("tessera-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
  }();
  const std::filesystem::path path = folder / ("input" + extension);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

/// One program session with scripted answers.
struct FuzzSession {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument document;
  Session session{document, ui, settings, std::filesystem::path(TESSERA_DATA_DIR)};
};

/// Imports the bytes as a file of the given import kind; true when the import succeeded.
inline bool fuzzImport(FuzzSession& s, int kind, const uint8_t* data, size_t size, const std::string& extension) {
  s.ui.files.push_back(writeInput(data, size, extension).string());
  return RunImport(s.session, kind, nullptr);
}

}  // namespace tessera::fuzz
