#include "transform/reference_transform.h"

#include <cmath>

#include "core/text.h"
#include "transform/transform_report.h"

namespace tessera::reference {

namespace {

using V = std::array<float, 3>;

// The coincidence of the fixed rules, written out again: distance around the cell,
// the arriving copy moved by one cell towards the entry.
bool near(const V& x, const V& e, const V& t, V& moved) {
  bool all = true;
  for (int k = 0; k < 3; ++k) {
    float d = std::fabs(x[k] - e[k]);
    moved[k] = x[k];
    if (d > 0.5f) {
      d = 1.0f - d;
      moved[k] = x[k] <= 0.5f ? x[k] + 1.0f : x[k] - 1.0f;
    }
    if (!(d <= t[k])) all = false;
  }
  return all;
}

V average(const V& e, int n, const V& x) {
  V out;
  for (int k = 0; k < 3; ++k) out[k] = reduce(static_cast<float>((static_cast<double>(n) * e[k] + x[k]) / (n + 1.0)));
  return out;
}

bool imageInCell(const CrystalRecord& c, const V& z, V& w) {
  const float tries[5] = {0, 1, -1, 2, -2};
  for (float i : tries)
    for (float j : tries)
      for (float k : tries) {
        const V v{z[0] + i, z[1] + j, z[2] + k};
        if (-0.00001f < v[0] && v[0] < 0.99999f && -0.00001f < v[1] && v[1] < 0.99999f && -0.00001f < v[2] &&
            v[2] < 0.99999f) {
          w = v;
          return true;
        }
      }
  // Along an axis where no translation fits, a coordinate just below -0.00001 is on the
  // cell face and taken there.
  for (int a = 0; a < 3; ++a) {
    bool placed = false;
    for (float t : tries) {
      const float v = z[a] + t;
      if (!placed && -0.00001f < v && v < 0.99999f) {
        w[a] = v;
        placed = true;
      }
    }
    for (float t : tries) {
      const float v = z[a] + t;
      if (!placed && v <= -0.00001f && v >= -0.00001f - 1e-6f) {
        w[a] = v;
        placed = true;
      }
    }
    if (!placed) return false;
  }
  (void)c;
  return true;
}

/// Every image (sign, operator, centring) of x in the cell, with the operator number;
/// operator -k marks an image that found no cell.
std::vector<std::pair<int, V>> images(const CrystalRecord& c, const V& x) {
  std::vector<std::pair<int, V>> out;
  const int signs = (c.acentric == 0 && c.inversionOffOrigin == 0) ? 2 : 1;
  for (int p = 0; p < signs; ++p)
    for (int k = 0; k < c.opCount; ++k) {
      const SymmetryOperator& op = c.operators[static_cast<std::size_t>(k)];
      const float s = p == 0 ? 1.0f : -1.0f;
      for (const V& ct : centringTranslations(c.latticeCode)) {
        V z;
        for (int r = 0; r < 3; ++r)
          z[r] = op.translation[r] + s * (op.rotation[r][0] * x[0] + op.rotation[r][1] * x[1] + op.rotation[r][2] * x[2]) +
                 ct[r];
        V w;
        if (imageInCell(c, z, w)) out.push_back({k + 1, w});
        else out.push_back({-(k + 1), z});
      }
    }
  return out;
}

void placeAtom(std::vector<UnitCellAtom>& list, const V& x, const UnitCellAtom& src, const V& t, bool oldStep,
               const std::vector<Site>& sites, std::string& report) {
  for (UnitCellAtom& e : list) {
    V moved;
    if (!near(x, {e.x, e.y, e.z}, t, moved)) continue;
    if (e.typeNumber != src.typeNumber)
      appendDifferentTypes(report, oldStep, labelOfSite(sites, e.siteIndex), e, labelOfSite(sites, src.siteIndex),
                           src.typeNumber, x);
    const V a = average({e.x, e.y, e.z}, e.averagedCount, moved);
    e.x = a[0];
    e.y = a[1];
    e.z = a[2];
    ++e.averagedCount;
    return;
  }
  UnitCellAtom a = src;
  a.x = x[0];
  a.y = x[1];
  a.z = x[2];
  a.averagedCount = 1;
  list.push_back(a);
}

}  // namespace

float reduce(float u) {
  while (u < -0.00001f) u += 1.0f;
  while (u >= 0.99999f) u -= 1.0f;
  return u;
}

std::vector<UnitCellAtom> fillUnitCell(const CrystalRecord& c, const std::vector<Site>& sites, std::string& notInCell) {
  std::vector<UnitCellAtom> list;
  for (std::size_t s = 0; s < sites.size(); ++s) {
    for (const auto& [op, w] : images(c, {sites[s].x, sites[s].y, sites[s].z})) {
      if (op < 0) {
        notInCell += format("   Atom %d Sym. elem. %d  not in cell\n", static_cast<int>(s) + 1, -op);
        continue;
      }
      bool duplicate = false;
      for (const UnitCellAtom& e : list) {
        if (e.siteIndex != static_cast<int>(s) + 1) continue;
        const V d{std::fabs(w[0] - e.x), std::fabs(w[1] - e.y), std::fabs(w[2] - e.z)};
        if (std::min(d[0], 1 - d[0]) < 0.001f && std::min(d[1], 1 - d[1]) < 0.001f && std::min(d[2], 1 - d[2]) < 0.001f)
          duplicate = true;
      }
      if (!duplicate) list.push_back({w[0], w[1], w[2], static_cast<int>(s) + 1, op, 1, sites[s].typeNumber});
    }
  }
  return list;
}

std::vector<UnitCellAtom> transfer(const std::vector<UnitCellAtom>& oldCell, const std::vector<Site>& sites,
                                   const NewCellTransfer& p, std::string& report) {
  std::vector<UnitCellAtom> list;
  for (const UnitCellAtom& a : oldCell) {
    const V s{a.x + p.preMatrixShift[0], a.y + p.preMatrixShift[1], a.z + p.preMatrixShift[2]};
    V x;
    for (int k = 0; k < 3; ++k) x[k] = reduce(p.q[0][k] * s[0] + p.q[1][k] * s[1] + p.q[2][k] * s[2] + p.postMatrixShift[k]);
    placeAtom(list, x, a, p.tolerance, false, sites, report);
  }
  const int n = p.searchRange;
  for (std::size_t m = 0; m < list.size(); ++m) {
    const UnitCellAtom e = list[m];
    for (int i = -n; i <= n; ++i)
      for (int j = -n; j <= n; ++j)
        for (int k = -n; k <= n; ++k) {
          const float fi = static_cast<float>(i), fj = static_cast<float>(j), fk = static_cast<float>(k);
          V y;
          const V ev{e.x, e.y, e.z};
          for (int c = 0; c < 3; ++c) y[c] = reduce(ev[c] + (fi * p.q[0][c] + fj * p.q[1][c] + fk * p.q[2][c]));
          placeAtom(list, y, e, p.tolerance, true, sites, report);
        }
  }
  return list;
}

std::vector<Site> reduceBySymmetry(const CrystalRecord& c, const ReductionInput& in, std::string& report,
                                   int& initialAtomMessages) {
  std::vector<Site> unique;
  const std::vector<UnitCellAtom>& list = *in.newCell;
  for (std::size_t m = 0; m < list.size(); ++m) {
    const V ep{list[m].x, list[m].y, list[m].z};
    bool finished = false;
    std::vector<V> seen;
    for (const auto& [op, w] : images(c, ep)) {
      if (op < 0) {
        report += format("   Atom %d Sym. elem. %d  not in cell\n", static_cast<int>(m) + 1, -op);
        continue;
      }
      seen.push_back(w);
      V moved;
      for (Site& u : unique) {
        if (!near(w, {u.x, u.y, u.z}, in.tolerance, moved)) continue;
        const V a = average({u.x, u.y, u.z}, u.auxNumber, moved);
        u.x = a[0];
        u.y = a[1];
        u.z = a[2];
        ++u.auxNumber;
        finished = true;
        break;
      }
      if (finished) break;
      for (const Site& u : unique)
        if (near(ep, {u.x, u.y, u.z}, in.tolerance, moved)) finished = true;
      if (finished) {
        ++initialAtomMessages;
        break;
      }
    }
    if (finished) continue;
    double sum[3] = {0, 0, 0};
    int count = 0;
    for (const V& w : seen) {
      V moved;
      if (!near(w, ep, in.tolerance, moved)) continue;
      for (int k = 0; k < 3; ++k) sum[k] += moved[k];
      ++count;
    }
    Site s = (*in.working)[static_cast<std::size_t>(list[m].siteIndex - 1)];
    const V pos = count == 0 ? ep
                             : V{reduce(static_cast<float>(sum[0] / count)), reduce(static_cast<float>(sum[1] / count)),
                                 reduce(static_cast<float>(sum[2] / count))};
    s.x = pos[0];
    s.y = pos[1];
    s.z = pos[2];
    s.auxNumber = 1;
    unique.push_back(s);
  }
  return unique;
}

}  // namespace tessera::reference
