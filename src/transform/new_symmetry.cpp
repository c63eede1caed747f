#include "transform/new_symmetry.h"

#include "core/text.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

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
