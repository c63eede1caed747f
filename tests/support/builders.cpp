#include "support/builders.h"

#include "symmetry/sg_complete.h"
#include "symmetry/sg_group.h"

namespace tessera::test {

Site siteAt(const std::string& label, float x, float y, float z, int type) {
  Site s;
  s.label = label;
  s.typeNumber = type;
  s.x = x;
  s.y = y;
  s.z = z;
  s.normaliseOccupants(0);
  return s;
}

CrystalDocument p1Document(const std::string& title, const std::array<float, 6>& cell) {
  CrystalDocument doc;
  doc.isOpen = true;
  doc.title = title;
  CrystalRecord& c = doc.crystals[0];
  c.cell = cell;
  c.hmSymbol = "P1";
  c.symmetrySource = 4;
  c.xyzLines = {"X,Y,Z; "};
  c.acentric = 1;
  c.latticeName = "P";
  c.latticeCode = 1;
  return doc;
}

int groupFromOperators(const SgInfo& sg, SgInfo& rebuilt) {
  ResetSgInfo(rebuilt);
  AddLatticeTr2ListSeitzMx(rebuilt, *sg.lattice);
  for (const SeitzMx& m : sg.listSeitzMx) Add2ListSeitzMx(rebuilt, m);
  if (sg.centric == -1) AddInversion2ListSeitzMx(rebuilt);
  return CompleteSgInfo(rebuilt);
}

}  // namespace tessera::test
