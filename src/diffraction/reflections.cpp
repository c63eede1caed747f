#include "diffraction/reflections.h"

#include <algorithm>
#include <cmath>

#include "symmetry/sg_group.h"
#include "symmetry/space_group.h"

namespace tessera {

namespace {

using Hkl = std::array<int, 3>;

Hkl negated(const Hkl& h) { return {-h[0], -h[1], -h[2]}; }

/// Lexicographic order of h, then k, then l (smaller first).
bool precedes(const Hkl& a, const Hkl& b) { return a < b; }

bool inBox(const Hkl& h, const Hkl& lower, const Hkl& upper) {
  for (int i = 0; i < 3; ++i)
    if (h[static_cast<std::size_t>(i)] < lower[static_cast<std::size_t>(i)] ||
        h[static_cast<std::size_t>(i)] > upper[static_cast<std::size_t>(i)])
      return false;
  return true;
}

}  // namespace

double inverseDSquared(const std::array<float, 6>& cell, int h, int k, int l) {
  const double a = cell[0], b = cell[1], c = cell[2];
  if (a <= 0 || b <= 0 || c <= 0) return 0.0;
  const double ca = std::cos(cell[3]), cb = std::cos(cell[4]), cg = std::cos(cell[5]);
  const double sa = std::sin(cell[3]), sb = std::sin(cell[4]), sg = std::sin(cell[5]);
  const double denominator = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
  if (denominator <= 0) return 0.0;
  const double numerator = h * h * sa * sa / (a * a) + k * k * sb * sb / (b * b) + l * l * sg * sg / (c * c) +
                           2.0 * h * k * (ca * cb - cg) / (a * b) + 2.0 * k * l * (cb * cg - ca) / (b * c) +
                           2.0 * h * l * (cg * ca - cb) / (a * c);
  return std::max(numerator / denominator, 0.0);
}

double dSpacing(const std::array<float, 6>& cell, int h, int k, int l) {
  const double q = inverseDSquared(cell, h, k, l);
  return q > 0 ? 1.0 / std::sqrt(q) : 1e20;
}

std::array<double, 3> reciprocalLengths(const std::array<float, 6>& cell) {
  return {1.0 / dSpacing(cell, 1, 0, 0), 1.0 / dSpacing(cell, 0, 1, 0), 1.0 / dSpacing(cell, 0, 0, 1)};
}

ReflectionRules::ReflectionRules(const SgInfo& sg)
    : ops_(sg.listSeitzMx),
      centring_(sg.lattice ? sg.lattice->translations : std::vector<std::array<int, 3>>{{0, 0, 0}}),
      centric_(sg.centric),
      xtalSystem_(sg.xtalSystem),
      uniqueAxis_(sg.uniqueRefAxis),
      dirCode_(sg.uniqueDirCode) {
  if (centring_.empty()) centring_.push_back({0, 0, 0});
}

Hkl ReflectionRules::transformed(std::size_t op, int h, int k, int l) const {
  const std::array<int, 9>& r = ops_[op].rotation;
  return {h * r[0] + k * r[3] + l * r[6], h * r[1] + k * r[4] + l * r[7], h * r[2] + k * r[5] + l * r[8]};
}

std::array<int, 3> ReflectionRules::lowerBounds(int /*hmax*/, int kmax, int lmax) const {
  switch (xtalSystem_) {
    case XS_Triclinic:
      return {0, -kmax, -lmax};
    case XS_Monoclinic:
      return uniqueAxis_ == 'z' ? Hkl{0, -kmax, 0} : Hkl{0, 0, -lmax};
    case XS_Trigonal:
      // Rhombohedral axes: k may be negative. Hexagonal axes: l must be, or the box
      // misses orbits of the Laue classes -3 and -31m.
      return dirCode_ == '*' ? Hkl{0, -kmax, 0} : Hkl{0, 0, -lmax};
    default:
      return {0, 0, 0};
  }
}

bool ReflectionRules::isAbsent(int h, int k, int l) const {
  const Hkl hkl{h, k, l};
  for (std::size_t i = 0; i < ops_.size(); ++i) {
    const Hkl t = transformed(i, h, k, l);
    const bool same = t == hkl;
    if (!same && !(t == negated(hkl) && centric_ == -1)) continue;
    for (const auto& c : centring_) {
      const std::array<int, 3>& s = ops_[i].translation;
      const int p = mod12(h * (s[0] + c[0]) + k * (s[1] + c[1]) + l * (s[2] + c[2]));
      if (p != 0) return true;
    }
  }
  return false;
}

bool ReflectionRules::hasInconsistentRestriction(int h, int k, int l) const {
  if (centric_ == -1) return false;
  const Hkl minus = negated({h, k, l});
  int restriction = -1;
  for (std::size_t i = 0; i < ops_.size(); ++i) {
    if (transformed(i, h, k, l) != minus) continue;
    for (const auto& c : centring_) {
      const std::array<int, 3>& s = ops_[i].translation;
      const int p = mod12(h * (s[0] + c[0]) + k * (s[1] + c[1]) + l * (s[2] + c[2]));
      if (restriction >= 0 && p != restriction) return true;
      restriction = p;
    }
  }
  return false;
}

int ReflectionRules::multiplicity(int h, int k, int l) const {
  if (h == 0 && k == 0 && l == 0) return 1;
  std::vector<Hkl> list{{h, k, l}};
  int m = 2;
  for (std::size_t i = 1; i < ops_.size(); ++i) {
    const Hkl t = transformed(i, h, k, l);
    const Hkl u = negated(t);
    if (std::find(list.begin(), list.end(), t) != list.end() || std::find(list.begin(), list.end(), u) != list.end())
      continue;
    list.push_back(t);
    m += 2;
  }
  if (list.size() > 24 || ops_.size() % list.size() != 0) return 0;
  return m;
}

bool ReflectionRules::isSuppressed(int h, int k, int l, const std::array<int, 3>& lower,
                                   const std::array<int, 3>& upper) const {
  const Hkl hkl{h, k, l};
  const auto earlier = [&](const Hkl& e) { return inBox(e, lower, upper) && precedes(e, hkl); };
  if (earlier(negated(hkl))) return true;
  for (std::size_t i = 1; i < ops_.size(); ++i) {
    const Hkl t = transformed(i, h, k, l);
    if (earlier(t) || earlier(negated(t))) return true;
  }
  return false;
}

bool buildCrystalSgInfo(const CrystalRecord& crystal, SgInfo& sg, UserInterface& ui) {
  const char volume = crystal.settingCode == 1 ? 'I' : 'A';
  sg.crystal = nullptr;
  int status = -1;
  switch (crystal.symbolKind) {
    case 1:
      status = BuildSgInfoFromHall(crystal.hallSymbol, sg);
      break;
    case 2:
      status = BuildSgInfoFromSymbol(crystal.sgNumberText, volume, sg);
      break;
    default:
      status = BuildSgInfoFromSymbol(crystal.hmSymbol, volume, sg);
  }
  if (status == 0) return true;
  ui.message(sg.error.empty() ? "Unknown error in SgInfo" : sg.error);
  return false;
}

std::array<int, 3> indexBounds(const std::array<float, 6>& cell, double sMax) {
  std::array<int, 3> upper{};
  for (std::size_t i = 0; i < 3; ++i) {
    const double v = 2.0 * cell[i] * sMax + 0.5;
    upper[i] = (std::isfinite(v) && v >= 0 ? static_cast<int>(std::min(v, 1000.0)) : 0) + 2;
  }
  return upper;
}

namespace {

/// False (message shown) when a centred lattice has no usable primitive cell.
bool centringUsable(const SgInfo& sg, UserInterface& ui) {
  if (!sg.lattice || sg.lattice->code == 'P') return true;
  bool ok = sg.centringMatrix != nullptr;
  if (ok) {
    const std::array<int, 9>& m = sg.centringMatrix->basis;
    const long det = static_cast<long>(m[0]) * (m[4] * m[8] - m[5] * m[7]) -
                     static_cast<long>(m[1]) * (m[3] * m[8] - m[5] * m[6]) +
                     static_cast<long>(m[2]) * (m[3] * m[7] - m[4] * m[6]);
    // The primitive cell is a fraction of the conventional one: its inverse has det >= 1.
    ok = det > 0 && det <= STBF * STBF * STBF;
  }
  if (!ok) ui.message("Internal Error: Simple_hklList()");
  return ok;
}

}  // namespace

std::vector<Reflection> buildReflectionList(const CrystalRecord& crystal, const std::array<int, 3>& upper,
                                            double lambdaSelect, double thetaMaxDeg, UserInterface& ui) {
  std::vector<Reflection> list;
  SgInfo sg;
  if (!buildCrystalSgInfo(crystal, sg, ui) || !centringUsable(sg, ui)) return list;
  if (!(lambdaSelect > 0)) return list;
  const ReflectionRules rules(sg);
  const std::array<int, 3> lower = rules.lowerBounds(upper[0], upper[1], upper[2]);
  bool reported = false;
  for (int h = lower[0]; h <= upper[0]; ++h)
    for (int k = lower[1]; k <= upper[1]; ++k)
      for (int l = lower[2]; l <= upper[2]; ++l) {
        if (h == 0 && k == 0 && l == 0) continue;
        if (rules.isAbsent(h, k, l)) continue;
        const int m = rules.multiplicity(h, k, l);
        if ((m == 0 || rules.hasInconsistentRestriction(h, k, l)) && !reported) {
          ui.message(kInconsistentSymmetry);
          reported = true;
        }
        if (rules.isSuppressed(h, k, l, lower, upper)) continue;
        const double d = dSpacing(crystal.cell, h, k, l);
        const double x = lambdaSelect / (2.0 * d);
        if (!(x <= kSphereLimit)) continue;
        if (std::asin(std::min(x, 1.0)) * 57.29577951308232 > thetaMaxDeg) continue;
        Reflection r;
        r.h = h;
        r.k = k;
        r.l = l;
        r.d = d;
        r.multiplicity = m;
        list.push_back(r);
      }
  std::stable_sort(list.begin(), list.end(), [](const Reflection& a, const Reflection& b) { return a.d > b.d; });
  return list;
}

}  // namespace tessera
