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

int groupFromOperators(const SgInfo& sg, SgInfo& rebuilt) {
  ResetSgInfo(rebuilt);
  AddLatticeTr2ListSeitzMx(rebuilt, *sg.lattice);
  for (const SeitzMx& m : sg.listSeitzMx) Add2ListSeitzMx(rebuilt, m);
  if (sg.centric == -1) AddInversion2ListSeitzMx(rebuilt);
  return CompleteSgInfo(rebuilt);
}

}  // namespace tessera::test
