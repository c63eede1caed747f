#include "symmetry/sg_complete.h"

#include "core/text.h"
#include "symmetry/hall_builder.h"
#include "symmetry/rotation_info.h"
#include "symmetry/sg_group.h"
#include "symmetry/sg_table.h"

namespace tessera {

namespace {

void eraseEntry(SgInfo& sg, std::size_t i) {
  sg.listSeitzMx.erase(sg.listSeitzMx.begin() + static_cast<std::ptrdiff_t>(i));
  sg.listRotMxInfo.erase(sg.listRotMxInfo.begin() + static_cast<std::ptrdiff_t>(i));
  if (i < sg.multiplied.size()) sg.multiplied.erase(sg.multiplied.begin() + static_cast<std::ptrdiff_t>(i));
}

void shiftOperator(SeitzMx& op, const std::array<int, 3>& s) {
  const auto& r = op.rotation;
  for (std::size_t i = 0; i < 3; ++i)
    op.translation[i] = mod12(op.translation[i] + s[i] - (r[i * 3] * s[0] + r[i * 3 + 1] * s[1] + r[i * 3 + 2] * s[2]));
}

int applyOriginShift(SgInfo& sg) {
  const std::array<int, 3>& s = sg.originShift;
  if (s[0] == 0 && s[1] == 0 && s[2] == 0) return 0;
  for (SeitzMx& op : sg.listSeitzMx) shiftOperator(op, s);
  for (SeitzMx& op : sg.closureGenerators) shiftOperator(op, s);
  if (sg.centric != -1) return 0;
  // The inversion at the old origin becomes an explicit one off the new origin. The list
  // (one operator per inversion pair) is a closed subgroup: only the products with the
  // inversion are missing.
  sg.closureGenerators = sg.listSeitzMx;
  sg.multiplied.assign(sg.listSeitzMx.size(), sg.closureGenerators.size());
  sg.centric = 0;
  sg.inversionOffOrigin = 1;
  SeitzMx inversion;
  inversion.rotation = {-1, 0, 0, 0, -1, 0, 0, 0, -1};
  inversion.translation = {mod12(2 * s[0]), mod12(2 * s[1]), mod12(2 * s[2])};
  return Add2ListSeitzMx(sg, inversion);
}

void reduceByLattice(SgInfo& sg) {
  bool removed = false;
  for (std::size_t i = 1; i < sg.listSeitzMx.size();) {
    bool redundant = false;
    for (std::size_t j = 0; j < i && !redundant; ++j)
      redundant = equalModuloCentring(*sg.lattice, sg.listSeitzMx[i], sg.listSeitzMx[j]);
    if (redundant) {
      eraseEntry(sg, i);
      removed = true;
    } else {
      ++i;
    }
  }
  // Set also after a promotion: the caller's lattice did not name these translations.
  sg.latticeTranslationStatus = (removed || sg.latticeTranslationStatus == -1) ? 1 : 0;
}

bool isPartner(const LatticeInfo& lattice, const SeitzMx& proper, const SeitzMx& improper) {
  for (std::size_t k = 0; k < 9; ++k)
    if (proper.rotation[k] != -improper.rotation[k]) return false;
  const std::array<int, 3> sum = {mod12(proper.translation[0] + improper.translation[0]),
                                  mod12(proper.translation[1] + improper.translation[1]),
                                  mod12(proper.translation[2] + improper.translation[2])};
  return isCentringTranslation(lattice, sum);
}

int reduceByInversion(SgInfo& sg) {
  bool atOrigin = false, offOrigin = false;
  for (const SeitzMx& op : sg.listSeitzMx) {
    if (!isInversionRotation(op.rotation)) continue;
    (isCentringTranslation(*sg.lattice, op.translation) ? atOrigin : offOrigin) = true;
  }
  if (atOrigin && offOrigin) return setSgError(sg, "Internal Error: Corrupt SgInfo");
  if (offOrigin) {
    sg.centric = 1;
    sg.inversionOffOrigin = 1;
    return 0;
  }
  if (!atOrigin) return 0;
  // Keep the proper rotation of each pair related by the inversion, in list order.
  for (std::size_t i = 0; i < sg.listSeitzMx.size();) {
    if (determinant(sg.listSeitzMx[i].rotation) > 0) {
      ++i;
      continue;
    }
    bool paired = false;
    for (const SeitzMx& p : sg.listSeitzMx)
      if (determinant(p.rotation) > 0 && isPartner(*sg.lattice, p, sg.listSeitzMx[i])) paired = true;
    if (!paired) return setSgError(sg, "Internal Error: Corrupt SgInfo");
    eraseEntry(sg, i);
  }
  sg.centric = -1;
  sg.inversionOffOrigin = 0;
  return 0;
}

// The coset member with the most zero components, then the smallest sum, then the
// lexicographically smallest translation.
void standardTranslations(SgInfo& sg) {
  for (SeitzMx& op : sg.listSeitzMx) {
    std::array<int, 3> best{};
    int bestZeros = -1, bestSum = 0;
    for (const auto& c : sg.lattice->translations) {
      const std::array<int, 3> t = {mod12(op.translation[0] + c[0]), mod12(op.translation[1] + c[1]),
                                    mod12(op.translation[2] + c[2])};
      const int zeros = (t[0] == 0) + (t[1] == 0) + (t[2] == 0);
      const int sum = t[0] + t[1] + t[2];
      if (zeros > bestZeros || (zeros == bestZeros && (sum < bestSum || (sum == bestSum && t < best)))) {
        best = t;
        bestZeros = zeros;
        bestSum = sum;
      }
    }
    op.translation = best;
  }
}

int findTableEntry(SgInfo& sg) {
  const TabSgName* found = findTabSgNameByHall(sg.HallSymbol);
  if (sg.tabSgName) {
    if (sg.tabSgName->HallSymbol != sg.HallSymbol)
      return setSgError(sg, format("Internal Error: Input/Output HallSymbol mismatch: %s <> %s",
                                   sg.tabSgName->HallSymbol.c_str(), sg.HallSymbol.c_str()));
    return 0;  // the named row stays, also when an earlier row shares its Hall symbol
  }
  sg.tabSgName = found;
  return 0;
}

}  // namespace

int CompleteSgInfo(SgInfo& sg) {
  if (!sg.error.empty()) return -1;
  if (applyOriginShift(sg) != 0) return -1;
  if (sg.listCount() < 0 || sg.listCount() > kMaxListSeitzMx) return setSgError(sg, "Internal Error: CompleteSgInfo()");
  if (sg.listSeitzMx.empty() && Add2ListSeitzMx(sg, identitySeitzMx()) != 0) return -1;
  if (SortSgInfoList(sg) != 0) return -1;
  reduceByLattice(sg);
  if (reduceByInversion(sg) != 0) return -1;
  standardTranslations(sg);
  if (SortSgInfoList(sg) != 0) return -1;
  sg.orderP = sg.listCount() * (sg.centric == -1 ? 2 : 1);
  sg.orderL = sg.orderP * static_cast<int>(sg.lattice->translations.size());
  if (FindXtalSystem(sg) != 0 || FindGenerators(sg) != 0 || BuildHallSymbolOfGroup(sg) != 0) return -1;
  if (findTableEntry(sg) != 0) return -1;
  const char code = sg.lattice->code;
  const char axis = (sg.uniqueRefAxis == 'x' || sg.uniqueRefAxis == 'y' || sg.uniqueRefAxis == 'z') ? sg.uniqueRefAxis : '\0';
  sg.centringMatrix = findCentringMatrix(code, axis);
  if (!sg.centringMatrix) return setSgError(sg, "Internal Error: Illegal lattice code");
  return 0;
}

}  // namespace tessera
