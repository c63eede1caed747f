#include "transform/new_symmetry.h"

#include "core/text.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

bool setNewSymmetryFromGroup(CrystalRecord& crystal, NewSymmetryKind kind, const std::string& text,
                             UserInterface& ui) {
  SgInfo sg;
  const std::string symbol = trim(text);
  const int r = kind == NewSymmetryKind::Hall ? BuildSgInfoFromHall(symbol, sg) : BuildSgInfoFromSymbol(symbol, 'A', sg);
  const std::vector<std::string> lines = r == 0 ? listedOperatorLines(sg) : std::vector<std::string>();
  if (r != 0 || lines.empty() || static_cast<int>(lines.size()) > kMaxSymmetryLines) {
    ui.message(sg.error.empty() ? std::string("Unknown error in SgInfo") : sg.error);
    return false;
  }
  CrystalRecord c = crystal;
  c.xyzLines = lines;
  c.latticeName = std::string(1, sg.lattice->code);
  c.latticeCode = sg.lattice->latticeCode;
  c.acentric = sg.centric == 0 ? 1 : 0;
  c.inversionOffOrigin = sg.inversionOffOrigin;
  if (c.inversionOffOrigin) c.acentric = 0;
  c.hallSymbol = sg.HallSymbol;
  if (const TabSgName* row = sg.tabSgName) {
    c.hmSymbol = row->documentHmSymbol();
    c.sgNumber = row->number;
    c.sgNumberText = row->key();
  } else {
    c.hmSymbol = sg.HallSymbol;
    c.sgNumber = 0;
    c.sgNumberText.clear();
  }
  c.symbolKind = kind == NewSymmetryKind::HermannMauguin ? 0 : (kind == NewSymmetryKind::Hall ? 1 : 2);
  c.settingCode = 0;
  c.symmetrySource = 1;
  c.p1Defaulted = 0;
  c.aperiodicAxes = {};
  c.matricesValid = 0;
  crystal = std::move(c);
  return true;
}

bool setNewCustomSymmetry(CrystalRecord& crystal, const std::vector<std::string>& lines, UserInterface& ui) {
  if (lines.empty() || static_cast<int>(lines.size()) > kMaxSymmetryLines) {
    ui.message(format("Limit reached for %s: %d", "symmetry matrices", static_cast<int>(lines.size())));
    return false;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string text = trim(lines[i]);
    for (char& ch : text)
      if (ch == ';') ch = ' ';
    SeitzMx op;
    if (trim(text).empty() || ParseSymXYZ(text, op, STBF) != 0) {
      ui.message(format("Failed to parse symmetry operator number %d", static_cast<int>(i) + 1));
      return false;
    }
  }
  crystal.xyzLines.clear();
  for (const std::string& line : lines) {
    std::string text = toUpper(trim(line));
    if (text.back() != ';') text += ";";
    crystal.xyzLines.push_back(text);
  }
  crystal.latticeName = "P";
  crystal.latticeCode = 1;
  crystal.acentric = 1;
  crystal.inversionOffOrigin = 0;
  crystal.symmetrySource = 4;
  crystal.aperiodicAxes = {};
  crystal.matricesValid = 0;
  return true;
}

}  // namespace tessera
