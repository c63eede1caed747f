// A free-form import from arbitrary bytes; a document that imports must survive its own file.
// fuzz-seeds: inp
#include "formats/import_kinds.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessera::fuzz::FuzzSession s;
  tessera::fuzz::fuzzImport(s, tessera::kKindFreeForm, data, size, ".inp");
  return 0;
}
