// The CIF syntax reader on arbitrary bytes: every block opened, every data name of
// the block requested as text and as a number through all of its loop packets.
// fuzz-seeds: cif
#include <string>
#include <vector>

#include "formats/cif_index.h"
#include "formats/cif_syntax.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  const std::string text(fuzz::asText(data, size));
  // The names to request, taken from an index of the same text.
  const CifIndex index(text);
  ScriptedUserInterface ui;
  CifReader reader(ui);
  reader.openCifText(text, "fuzz.cif");
  for (std::size_t b = 0; b < reader.blockCount() && b < index.blocks().size(); ++b) {
    reader.blockName(b);
    if (!reader.selectBlock(b)) continue;
    std::vector<std::string> names;
    for (const CifItem& item : index.blocks()[b].items)
      if (names.size() < 64) names.emplace_back(item.name);
    for (const std::string& name : names) {
      reader.contains(name);
      const std::size_t packets = reader.packetCount(name);
      std::string value;
      double number = 0, su = 0;
      for (std::size_t p = 0; p < packets && p < 4096; ++p) {
        reader.getChar(name, value);
        reader.getNumber(name, number, su);
        if (!reader.loopMore()) break;
      }
    }
  }
  return 0;
}
