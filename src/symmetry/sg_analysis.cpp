// Analysis of a completed operator list: its order, crystal system, generators
// and point group, and the centring matrices.

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "symmetry/rotation_info.h"
#include "symmetry/sg_complete.h"

namespace tessera {

namespace {

int zeroCount(const std::array<int, 3>& e) {
  return static_cast<int>(std::count(e.begin(), e.end(), 0));
}

int largestAbs(const std::array<int, 3>& e) {
  return std::max({std::abs(e[0]), std::abs(e[1]), std::abs(e[2])});
}

// Negative when operator a comes first, positive when b does, 0 when they are the same.
int compareOperators(const RotMxInfo& a, const SeitzMx& sa, const RotMxInfo& b, const SeitzMx& sb) {
  const int oa = std::abs(a.order), ob = std::abs(b.order);
  if ((oa == 1) != (ob == 1)) return oa == 1 ? -1 : 1;
  if (oa == 1) {
    if (a.order != b.order) return a.order == 1 ? -1 : 1;
  } else {
    if (oa != ob) return oa > ob ? -1 : 1;
    if (a.order != b.order) return a.order > 0 ? -1 : 1;
  }
  const int za = zeroCount(a.eigenVector), zb = zeroCount(b.eigenVector);
  if (za != zb) return za > zb ? -1 : 1;
  const int ma = largestAbs(a.eigenVector), mb = largestAbs(b.eigenVector);
  if (ma != mb) return ma < mb ? -1 : 1;
  const auto key = [](const std::array<int, 3>& e) { return 100 * std::abs(e[2]) + 10 * std::abs(e[0]) + std::abs(e[1]); };
  const int ka = key(a.eigenVector), kb = key(b.eigenVector);
  if (ka != kb) {
    if (za >= 2) return ka > kb ? -1 : 1;  // along z, then x, then y
    return ka < kb ? -1 : 1;
  }
  for (std::size_t i = 0; i < 3; ++i)
    if (a.eigenVector[i] != b.eigenVector[i]) return a.eigenVector[i] > b.eigenVector[i] ? -1 : 1;
  if (a.inverse != b.inverse) return a.inverse < b.inverse ? -1 : 1;
  for (std::size_t i = 0; i < 3; ++i)
    if (sa.translation[i] != sb.translation[i]) return sa.translation[i] < sb.translation[i] ? -1 : 1;
  return 0;
}

constexpr char kAnyAxis = '\0';

// First entry in list order with the wanted rotation analysis, or -1.
int findOperator(const SgInfo& sg, int order, char refAxis, char dirCode) {
  const bool exact = sg.centric == 1;  // the inversion is listed: proper and improper both present
  for (std::size_t i = 0; i < sg.listRotMxInfo.size(); ++i) {
    const RotMxInfo& r = sg.listRotMxInfo[i];
    if (r.inverse != 0) continue;
    if (exact ? r.order != order : std::abs(r.order) != std::abs(order)) continue;
    if (refAxis != kAnyAxis && r.refAxis != refAxis) continue;
    if (r.dirCode != dirCode) continue;
    if (dirCode == '*' && r.eigenVector != std::array<int, 3>{1, 1, 1}) continue;
    return static_cast<int>(i);
  }
  return -1;
}

int firstOf(const SgInfo& sg, int order, char dirCode) {
  for (std::size_t i = 0; i < sg.listRotMxInfo.size(); ++i)
    if (std::abs(sg.listRotMxInfo[i].order) == order && sg.listRotMxInfo[i].dirCode == dirCode) return static_cast<int>(i);
  return -1;
}

int extraInfoFor(char axis, char lattice) {
  if (axis == 'x') return lattice == 'S' ? 3 : lattice == 'T' ? 2 : 0;
  if (axis == 'y') return lattice == 'R' ? 3 : lattice == 'S' ? 2 : 0;
  if (axis == 'z') return lattice == 'R' ? 2 : lattice == 'T' ? 3 : 0;
  return 0;
}

int systemFromCounts(const std::array<int, 7>& n) {
  if (n[3] >= 4) return XS_Cubic;
  if (n[3] >= 2) return XS_Unknown;
  if (n[6] == 1) return XS_Hexagonal;
  if (n[6] > 1) return XS_Unknown;
  if (n[3] == 1) return XS_Trigonal;
  if (n[4] == 1) return XS_Tetragonal;
  if (n[4] > 1) return XS_Unknown;
  if (n[2] >= 3) return XS_Orthorhombic;
  if (n[2] >= 1) return XS_Monoclinic;
  if (n[1] > 0) return XS_Triclinic;
  return XS_Unknown;
}

// Point-group code from the system, the inversion and the kinds of the first two generators.
int pointGroupCode(int system, bool inversion, int first, int second, bool hasSecond) {
  switch (system) {
    case XS_Triclinic: return inversion ? 2 : 1;
    case XS_Monoclinic: return inversion ? 16 : (first > 0 ? 4 : 3);
    case XS_Orthorhombic: return inversion ? 20 : (first > 0 && second > 0 ? 8 : 12);
    case XS_Tetragonal:
      if (!hasSecond) return inversion ? 18 : (first > 0 ? 6 : 26);
      return inversion ? 22 : first < 0 ? 24 : second > 0 ? 10 : 14;
    case XS_Trigonal:
      if (!hasSecond) return inversion ? 27 : 5;
      return inversion ? 25 : second > 0 ? 9 : 13;
    case XS_Hexagonal:
      if (!hasSecond) return inversion ? 19 : (first > 0 ? 7 : 17);
      return inversion ? 23 : first < 0 ? 21 : second > 0 ? 11 : 15;
    case XS_Cubic:
      if (std::abs(first) == 4) return inversion ? 32 : first > 0 ? 31 : 30;
      return inversion ? 29 : 28;
    default: return 0;
  }
}

const std::vector<CentringMatrix>& centringMatrices() {
  // Rows: primitive basis vectors in conventional coordinates, x12.
  static const std::vector<CentringMatrix> table = {
      {'P', '\0', {12, 0, 0, 0, 12, 0, 0, 0, 12}},
      {'A', '\0', {12, 0, 0, 0, 6, 6, 0, -6, 6}},
      {'B', '\0', {6, 0, 6, 0, 12, 0, -6, 0, 6}},
      {'C', '\0', {6, 6, 0, -6, 6, 0, 0, 0, 12}},
      {'I', '\0', {-6, 6, 6, 6, -6, 6, 6, 6, -6}},
      {'F', '\0', {0, 6, 6, 6, 0, 6, 6, 6, 0}},
      {'R', 'z', {8, 4, 4, -4, 4, 4, -4, -8, 4}},
      {'T', 'z', {4, 8, 4, -8, -4, 4, 4, -4, 4}},
      {'T', 'x', {4, 8, 4, 4, -4, 4, 4, -4, -8}},
      {'S', 'x', {4, 4, 8, 4, -8, -4, 4, 4, -4}},
      {'S', 'y', {4, 4, 8, 4, 4, -4, -8, 4, -4}},
      {'R', 'y', {8, 4, 4, -4, 4, -8, -4, 4, 4}},
  };
  return table;
}

}  // namespace

int SortSgInfoList(SgInfo& sg) {
  const std::size_t n = sg.listSeitzMx.size();
  if (sg.listRotMxInfo.size() != n) return setSgError(sg, "Internal Error: SortSgInfoList(): Corrupt List_iList");
  std::vector<std::size_t> index(n);
  std::iota(index.begin(), index.end(), 0);
  std::sort(index.begin(), index.end(), [&](std::size_t a, std::size_t b) {
    return compareOperators(sg.listRotMxInfo[a], sg.listSeitzMx[a], sg.listRotMxInfo[b], sg.listSeitzMx[b]) < 0;
  });
  std::vector<SeitzMx> list(n);
  std::vector<RotMxInfo> infos(n);
  for (std::size_t i = 0; i < n; ++i) {
    list[i] = sg.listSeitzMx[index[i]];
    infos[i] = sg.listRotMxInfo[index[i]];
  }
  sg.listSeitzMx = std::move(list);
  sg.listRotMxInfo = std::move(infos);
  return 0;
}

int FindXtalSystem(SgInfo& sg) {
  std::array<int, 7> n{};
  for (const RotMxInfo& r : sg.listRotMxInfo) {
    const int o = std::abs(r.order);
    if (o != 1 && o != 2 && o != 3 && o != 4 && o != 6)
      return setSgError(sg, "Internal Error: FindXtalSystem(): Corrupt ListRotMxInfo");
    if (r.inverse == 0) ++n[static_cast<std::size_t>(o)];
  }
  int system = XS_Unknown;
  bool even = true;
  if (sg.centric == 1) {
    for (int& c : n) {
      if (c % 2 != 0) even = false;
      c /= 2;
    }
  }
  if (even) system = systemFromCounts(n);

  sg.uniqueRefAxis = '\0';
  sg.uniqueDirCode = '\0';
  sg.extraInfo = 0;
  int principal = -1;
  switch (system) {
    case XS_Monoclinic: principal = firstOf(sg, 2, '='); break;
    case XS_Tetragonal: principal = firstOf(sg, 4, '='); break;
    case XS_Trigonal:
      principal = firstOf(sg, 3, '=');
      if (principal < 0) principal = firstOf(sg, 3, '*');
      break;
    case XS_Hexagonal: principal = firstOf(sg, 6, '='); break;
    default: break;
  }
  if (system != XS_Unknown && system != XS_Triclinic && system != XS_Orthorhombic && system != XS_Cubic) {
    if (principal < 0) {
      system = XS_Unknown;
    } else {
      const RotMxInfo& r = sg.listRotMxInfo[static_cast<std::size_t>(principal)];
      sg.uniqueRefAxis = r.refAxis;
      sg.uniqueDirCode = r.dirCode;
      if (system == XS_Trigonal && r.dirCode == '=') sg.extraInfo = extraInfoFor(r.refAxis, sg.lattice->code);
    }
  }
  sg.xtalSystem = system;
  if (system == XS_Unknown) return setSgError(sg, "Error: Can't determine crystal system");
  return 0;
}

int FindGenerators(SgInfo& sg) {
  std::vector<int> gens;
  const auto add = [&gens](int i) {
    if (i >= 0) gens.push_back(i);
    return i >= 0;
  };
  bool ok = true;
  int principalAxis = 'z';
  switch (sg.xtalSystem) {
    case XS_Triclinic:
      if (!add(findOperator(sg, -1, 'o', '.'))) add(findOperator(sg, 1, 'o', '.'));
      break;
    case XS_Monoclinic: ok = add(findOperator(sg, 2, kAnyAxis, '=')); break;
    case XS_Orthorhombic:
      add(findOperator(sg, 2, 'z', '='));
      add(findOperator(sg, 2, 'x', '='));
      if (gens.size() < 2) add(findOperator(sg, 2, 'y', '='));
      ok = gens.size() >= 2;
      break;
    case XS_Tetragonal:
      ok = add(findOperator(sg, 4, kAnyAxis, '='));
      if (ok) {
        principalAxis = sg.listRotMxInfo[static_cast<std::size_t>(gens[0])].refAxis;
        for (char axis : {'x', 'z', 'y'})
          if (axis != principalAxis && add(findOperator(sg, 2, axis, '='))) break;
      }
      break;
    case XS_Trigonal:
    case XS_Hexagonal:
      if (sg.xtalSystem == XS_Hexagonal)
        ok = add(findOperator(sg, 6, kAnyAxis, '='));
      else
        ok = add(findOperator(sg, 3, kAnyAxis, '=')) || add(findOperator(sg, 3, kAnyAxis, '*'));
      if (ok && !add(findOperator(sg, 2, kAnyAxis, '\''))) add(findOperator(sg, 2, kAnyAxis, '"'));
      break;
    case XS_Cubic:
      ok = add(findOperator(sg, 4, 'z', '=')) || add(findOperator(sg, 2, 'z', '='));
      ok = ok && add(findOperator(sg, 2, 'x', '='));
      ok = ok && add(findOperator(sg, 3, kAnyAxis, '*'));
      break;
    default: ok = false;
  }
  if (!ok || gens.empty()) return setSgError(sg, "Error: Can't build generator list");
  const int properGenerators = static_cast<int>(gens.size());
  if (sg.xtalSystem != XS_Triclinic && sg.centric == 1) add(findOperator(sg, -1, 'o', '.'));
  if (gens.size() > sg.generators.size()) return setSgError(sg, "Error: Can't build generator list");
  sg.nGenerator = static_cast<int>(gens.size());
  for (std::size_t i = 0; i < gens.size(); ++i) sg.generators[i] = gens[i];

  const auto orderOf = [&](int k) { return sg.listRotMxInfo[static_cast<std::size_t>(gens[static_cast<std::size_t>(k)])].order; };
  const bool hasSecond = properGenerators >= 2;
  sg.pointGroup = pointGroupCode(sg.xtalSystem, sg.centric != 0, orderOf(0), hasSecond ? orderOf(1) : 0, hasSecond);
  if (sg.crystal) sg.crystal->pointGroupCode = sg.pointGroup;
  return 0;
}

const CentringMatrix* findCentringMatrix(char lattice, char uniqueAxis) {
  const bool rhombohedral = lattice == 'R' || lattice == 'S' || lattice == 'T';
  for (const CentringMatrix& m : centringMatrices())
    if (m.lattice == lattice && (!rhombohedral || m.uniqueAxis == uniqueAxis)) return &m;
  return nullptr;
}

const char* pointGroupName(int code) {
  static const char* const names[] = {"",    "1",    "-1",  "m",    "2",   "3",     "4",    "6",    "222",
                                      "32",  "422",  "622", "mm2",  "3m",  "4mm",   "6mm",  "2/m",  "-6",
                                      "4/m", "6/m",  "mmm", "-6m2", "4/mmm", "6/mmm", "-42m", "-3m", "-4",
                                      "-3",  "23",   "m-3", "-43m", "432", "m-3m"};
  return code >= 1 && code <= 32 ? names[code] : "";
}

const char* xtalSystemName(int xtalSystem) {
  static const char* const names[] = {"unknown",    "triclinic", "monoclinic", "orthorhombic",
                                      "tetragonal", "trigonal",  "hexagonal",  "cubic"};
  return xtalSystem >= 0 && xtalSystem <= 7 ? names[xtalSystem] : "unknown";
}

}  // namespace tessera
