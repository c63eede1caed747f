#include "symmetry/sg_group.h"

#include "symmetry/rotation_info.h"

namespace tessera {

namespace {

const std::vector<LatticeInfo>& latticeTable() {
  static const std::vector<LatticeInfo> table = {
      {'P', 1, {{0, 0, 0}}},
      {'A', 2, {{0, 0, 0}, {0, 6, 6}}},
      {'B', 3, {{0, 0, 0}, {6, 0, 6}}},
      {'C', 4, {{0, 0, 0}, {6, 6, 0}}},
      {'I', 6, {{0, 0, 0}, {6, 6, 6}}},
      {'R', 7, {{0, 0, 0}, {8, 4, 4}, {4, 8, 8}}},
      {'S', 8, {{0, 0, 0}, {4, 4, 8}, {8, 8, 4}}},
      {'T', 9, {{0, 0, 0}, {4, 8, 4}, {8, 4, 8}}},
      {'F', 5, {{0, 0, 0}, {0, 6, 6}, {6, 0, 6}, {6, 6, 0}}},
  };
  return table;
}

constexpr const char* kIllegalLatticeTranslation = "Error: Illegal lattice translation";
constexpr const char* kNonCrystallographic = "Error: Generators produce non-crystallographic operation";

std::array<int, 3> difference(const std::array<int, 3>& a, const std::array<int, 3>& b) {
  return {mod12(a[0] - b[0]), mod12(a[1] - b[1]), mod12(a[2] - b[2])};
}

// A pure lattice translation that is no centring translation: promote the lattice
// (P to the first lattice holding it, A/B/C to F) or fail.
int classifyLatticeTranslation(SgInfo& sg, const std::array<int, 3>& t) {
  if (isCentringTranslation(*sg.lattice, t)) return 0;
  const char code = sg.lattice->code;
  const char* candidates = code == 'P' ? "ABCIRSTF" : (code == 'A' || code == 'B' || code == 'C') ? "F" : "";
  for (const char* c = candidates; *c; ++c) {
    const LatticeInfo* l = findLattice(*c);
    if (l && isCentringTranslation(*l, t)) {
      sg.lattice = l;
      sg.latticeTranslationStatus = -1;
      return 0;
    }
  }
  return setSgError(sg, kIllegalLatticeTranslation);
}

int indexOfRotation(const SgInfo& sg, const std::array<int, 9>& r) {
  for (std::size_t i = 0; i < sg.listSeitzMx.size(); ++i)
    if (sg.listSeitzMx[i].rotation == r) return static_cast<int>(i);
  return -1;
}

int store(SgInfo& sg, const SeitzMx& op, const RotMxInfo& info) {
  if (sg.listCount() >= kMaxListSeitzMx) return setSgError(sg, kNonCrystallographic);
  sg.listSeitzMx.push_back(op);
  sg.listRotMxInfo.push_back(info);
  sg.multiplied.push_back(0);
  return 0;
}

// Classifies one operator of the closure and stores it when it is new modulo the centring.
// The list never holds two operators with the same rotation: their difference is a pure
// translation, classified at once (lattice promotion or error).
int consider(SgInfo& sg, SeitzMx op) {
  for (int& t : op.translation) t = mod12(t);
  const RotMxInfo info = GetRotMxInfo(op.rotation);
  if (info.order == 0) return setSgError(sg, kNonCrystallographic);
  const int existing = indexOfRotation(sg, op.rotation);
  if (existing >= 0) {
    const std::array<int, 3> d = difference(op.translation, sg.listSeitzMx[static_cast<std::size_t>(existing)].translation);
    return classifyLatticeTranslation(sg, d);
  }
  if (isInversionRotation(op.rotation)) {
    if (isCentringTranslation(*sg.lattice, op.translation)) {
      sg.centric = 1;
      sg.inversionOffOrigin = 0;
    } else {
      sg.inversionOffOrigin = 1;
    }
  }
  return store(sg, op, info);
}

bool repeatsGivenRotation(const SgInfo& sg, const SeitzMx& op) {
  if (isIdentityRotation(op.rotation)) return op.translation != std::array<int, 3>{0, 0, 0};
  for (const SeitzMx& given : sg.closureGenerators)
    if (given.rotation == op.rotation && given.translation != op.translation) return true;
  return false;
}

int close(SgInfo& sg) {
  for (std::size_t e = 0; e < sg.listSeitzMx.size(); ++e) {
    while (sg.multiplied[e] < sg.closureGenerators.size()) {
      const SeitzMx product = multiplySeitzMx(sg.listSeitzMx[e], sg.closureGenerators[sg.multiplied[e]]);
      ++sg.multiplied[e];
      if (consider(sg, product) != 0) return -1;
    }
  }
  return 0;
}

}  // namespace

const LatticeInfo* findLattice(char code) {
  for (const LatticeInfo& l : latticeTable())
    if (l.code == code) return &l;
  return nullptr;
}

const LatticeInfo& primitiveLattice() { return latticeTable().front(); }

void ResetSgInfo(SgInfo& sg) {
  CrystalRecord* crystal = sg.crystal;
  sg = SgInfo{};
  sg.crystal = crystal;
  sg.listSeitzMx.reserve(kMaxListSeitzMx);
  sg.listRotMxInfo.reserve(kMaxListSeitzMx);
}

int setSgError(SgInfo& sg, std::string text) {
  if (sg.error.empty()) sg.error = std::move(text);
  return -1;
}

bool isCentringTranslation(const LatticeInfo& lattice, const std::array<int, 3>& t) {
  for (const auto& c : lattice.translations)
    if (mod12(t[0] - c[0]) == 0 && mod12(t[1] - c[1]) == 0 && mod12(t[2] - c[2]) == 0) return true;
  return false;
}

bool equalModuloCentring(const LatticeInfo& lattice, const SeitzMx& a, const SeitzMx& b) {
  return a.rotation == b.rotation && isCentringTranslation(lattice, difference(a.translation, b.translation));
}

int Add2ListSeitzMx(SgInfo& sg, const SeitzMx& op) {
  if (!sg.error.empty()) return -1;
  if (sg.listSeitzMx.empty()) {
    const SeitzMx identity = identitySeitzMx();
    if (store(sg, identity, GetRotMxInfo(identity.rotation)) != 0) return -1;
  }
  SeitzMx reduced = op;
  for (int& t : reduced.translation) t = mod12(t);
  if (GetRotMxInfo(reduced.rotation).order == 0) return setSgError(sg, kNonCrystallographic);
  // Two given operators (the identity counts as given) with one rotation and different
  // translations bring a lattice translation: the caller's lattice did not cover it, or one
  // of them is redundant under the centring.
  if (repeatsGivenRotation(sg, reduced)) sg.latticeTranslationStatus = -1;
  // A repeated operator adds nothing; keeping one copy bounds the work on long inputs.
  for (const SeitzMx& given : sg.closureGenerators)
    if (given == reduced) return 0;
  sg.closureGenerators.push_back(reduced);
  if (consider(sg, reduced) != 0) return -1;
  return close(sg);
}

int AddInversion2ListSeitzMx(SgInfo& sg) {
  SeitzMx inversion;
  inversion.rotation = {-1, 0, 0, 0, -1, 0, 0, 0, -1};
  return Add2ListSeitzMx(sg, inversion);
}

int AddLatticeTr2ListSeitzMx(SgInfo& sg, const LatticeInfo& lattice) {
  if (!sg.error.empty()) return -1;
  if (sg.listSeitzMx.empty()) {
    const SeitzMx identity = identitySeitzMx();
    if (store(sg, identity, GetRotMxInfo(identity.rotation)) != 0) return -1;
  }
  if (sg.lattice->code == 'P') {
    // The list never holds two operators with the same rotation, so none of its
    // entries becomes redundant under the new centring.
    sg.lattice = &lattice;
    return 0;
  }
  for (const auto& t : lattice.translations)
    if (classifyLatticeTranslation(sg, t) != 0) return -1;
  return 0;
}

}  // namespace tessera
