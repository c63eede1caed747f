// An ORTEP import from arbitrary bytes.
// fuzz-seeds: ort
#include "fuzz_support.h"
#include "formats/import_kinds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessera::fuzz::FuzzSession s;
  tessera::fuzz::fuzzImport(s, tessera::kKindOrtep, data, size, ".ort");
  return 0;
}
