// A SHELX import with include files: the input is split at lines "%%%%" into the
// instruction file and the include files a, b, c, ... beside it ("+a" includes the
// first). A document that imports must survive its own file.
// fuzz-seeds: res ins
#include <filesystem>

#include "formats/import_kinds.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera::fuzz;
  const auto pieces = splitPieces(asText(data, size));
  constexpr std::size_t kMaxIncludes = 6;
  for (std::size_t i = 0; i < kMaxIncludes; ++i) {
    const std::string name(1, static_cast<char>('a' + i));
    if (i + 1 < pieces.size()) {
      writeScratch(name, pieces[i + 1]);
    } else {
      std::error_code ec;
      std::filesystem::remove(scratchFolder() / name, ec);
    }
  }
  FuzzSession s;
  s.ui.files.push_back(writeScratch("input.ins", pieces[0]).string());
  if (RunImport(s.session, tessera::kKindShelx, nullptr)) requireNativeRoundTrip(s.document);
  return 0;
}
