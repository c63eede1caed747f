// Hall and Hermann-Mauguin symbols: the input's first line is built as a Hall symbol
// and looked up as a table symbol under both volumes; the groups built list their
// operators.
// fuzz-seeds: sym
#include <string>

#include "fuzz_support.h"
#include "symmetry/sg_info.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  std::string_view text = fuzz::asText(data, size);
  text = text.substr(0, text.find('\n'));
  SgInfo sg;
  if (BuildSgInfoFromHall(text, sg) == 0) listedOperatorLines(sg);
  for (char volume : {'A', 'I'}) {
    std::string error;
    findTabSgNameEntry(text, volume, &error);
    SgInfo table;
    if (BuildSgInfoFromSymbol(text, volume, table) == 0) listedOperatorLines(table);
  }
  findTabSgNameByHall(text);
  return 0;
}
