#pragma once
// What every fuzz target shares: the fuzzer's bytes as a file in a scratch
// folder, and a session whose questions take their default answers and whose
// home is the source tree's data folder.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/scripted_user_interface.h"
#include "core/session.h"
#include "formats/import_framework.h"
#include "support/round_trip.h"

namespace tessera::fuzz {

/// The scratch folder of this process.
inline const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = [] {
    auto dir = std::filesystem::temp_directory_path() / ("tessera-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
  }();
  return folder;
}

/// Writes bytes to a file of the scratch folder.
inline std::filesystem::path writeScratch(const std::string& name, std::string_view bytes) {
  const std::filesystem::path path = scratchFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

/// A scratch file holding the input, named with the given extension (one per process).
inline std::filesystem::path writeInput(const uint8_t* data, size_t size, const std::string& extension) {
  return writeScratch("input" + extension, std::string_view(reinterpret_cast<const char*>(data), size));
}

/// The input as text.
inline std::string_view asText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

/// Splits the input at lines "%%%%": the main text first, then the pieces after each mark.
inline std::vector<std::string_view> splitPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t mark = text.find("\n%%%%\n", start);
    if (mark == std::string_view::npos) break;
    pieces.push_back(text.substr(start, mark + 1 - start));
    start = mark + 6;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

/// Stops the run (a finding) when a document the program holds does not come back
/// the same through its own file. TESSERA_FUZZ_NO_ROUND_TRIP=1 in the environment
/// leaves the check out, to look for crashes past a known round-trip finding.
inline void requireNativeRoundTrip(const CrystalDocument& doc) {
  static const bool skip = std::getenv("TESSERA_FUZZ_NO_ROUND_TRIP") != nullptr;
  if (skip) return;
  const std::string difference = test::nativeRoundTripDifference(doc, scratchFolder());
  if (!difference.empty()) {
    std::fprintf(stderr, "native round trip: %s\n", difference.c_str());
    std::abort();
  }
}

/// One program session with scripted answers.
struct FuzzSession {
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument document;
  Session session{document, ui, settings, std::filesystem::path(TESSERA_DATA_DIR)};
};

/// Imports the bytes as a file of the given import kind; true when the import succeeded.
/// A document that imports must come back the same through the native file.
inline bool fuzzImport(FuzzSession& s, int kind, const uint8_t* data, size_t size, const std::string& extension) {
  s.ui.files.push_back(writeInput(data, size, extension).string());
  const bool imported = RunImport(s.session, kind, nullptr);
  if (imported) requireNativeRoundTrip(s.document);
  return imported;
}

}  // namespace tessera::fuzz
