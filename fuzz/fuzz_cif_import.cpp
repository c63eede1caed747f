// A CIF import from arbitrary bytes; a document that imports must survive its own file.
// fuzz-seeds: cif
#include "formats/import_kinds.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessera::fuzz::FuzzSession s;
  tessera::fuzz::fuzzImport(s, tessera::kKindCif, data, size, ".cif");
  return 0;
}
