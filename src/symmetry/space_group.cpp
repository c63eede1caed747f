#include "symmetry/space_group.h"

#include "symmetry/hall_parser.h"
#include "symmetry/rotation_info.h"
#include "symmetry/sg_complete.h"
#include "symmetry/sg_table.h"

namespace tessera {

int BuildSgInfoFromHall(std::string_view hallSymbol, SgInfo& sg) {
  ResetSgInfo(sg);
  if (ParseHallSymbol(hallSymbol, sg) != 0) return -1;
  return CompleteSgInfo(sg);
}

int BuildSgInfoFromSymbol(std::string_view symbol, char volume, SgInfo& sg) {
  ResetSgInfo(sg);
  std::string error;
  const TabSgName* row = findTabSgNameEntry(symbol, volume, &error);
  if (!row) return setSgError(sg, error.empty() ? kSymbolNotFound : error);
  sg.tabSgName = row;
  if (ParseHallSymbol(row->HallSymbol, sg) != 0) return -1;
  return CompleteSgInfo(sg);
}

bool listIsValid(const SgInfo& sg) {
  for (const SeitzMx& op : sg.listSeitzMx)
    if (GetRotMxInfo(op.rotation).order == 0) return false;
  return true;
}

std::vector<std::string> listedOperatorLines(const SgInfo& sg, bool withTerminator) {
  std::vector<std::string> lines;
  if (!listIsValid(sg)) return lines;
  for (const SeitzMx& op : sg.listSeitzMx) {
    const auto text = RTMx2XYZ(op);
    if (!text) return {};
    lines.push_back(withTerminator ? *text + "; " : *text);
  }
  return lines;
}

}  // namespace tessera
