// Opening a native document from arbitrary bytes. Whatever opens must save to a
// file that opens to the same document.
// fuzz-seeds: tsr
#include "core/native_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  ScriptedUserInterface ui;
  CrystalDocument doc;
  if (readDocumentFile(doc, fuzz::writeInput(data, size, ".tsr").string(), ui)) fuzz::requireNativeRoundTrip(doc);
  return 0;
}
