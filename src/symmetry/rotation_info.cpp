#include "symmetry/rotation_info.h"

#include <vector>

namespace tessera {

namespace {

using Mx = std::array<int, 9>;

struct RotationRow {
  int order;
  std::array<int, 3> direction;
  char code;
  Mx matrix;
};

// Searched in this order; the first row of an order and code is the generator rotation.
const RotationRow kRotationTable[] = {
    {1, {0, 0, 0}, '.', {1, 0, 0, 0, 1, 0, 0, 0, 1}},
    {2, {0, 0, 1}, '=', {-1, 0, 0, 0, -1, 0, 0, 0, 1}},
    {2, {1, 0, 0}, '=', {1, -1, 0, 0, -1, 0, 0, 0, -1}},
    {2, {0, 1, 0}, '=', {-1, 0, 0, -1, 1, 0, 0, 0, -1}},
    {2, {1, 1, 0}, '"', {0, 1, 0, 1, 0, 0, 0, 0, -1}},
    {2, {1, -1, 0}, '\'', {0, -1, 0, -1, 0, 0, 0, 0, -1}},
    {2, {2, 1, 0}, '|', {1, 0, 0, 1, -1, 0, 0, 0, -1}},
    {2, {1, 2, 0}, '\\', {-1, 1, 0, 0, 1, 0, 0, 0, -1}},
    {3, {0, 0, 1}, '=', {0, -1, 0, 1, -1, 0, 0, 0, 1}},
    {3, {1, 1, 1}, '*', {0, 0, 1, 1, 0, 0, 0, 1, 0}},
    {4, {0, 0, 1}, '=', {0, -1, 0, 1, 0, 0, 0, 0, 1}},
    {6, {0, 0, 1}, '=', {1, -1, 0, 1, 0, 0, 0, 0, 1}},
};

// Cyclic permutation z -> x -> y for the three-step codes, and the four-fold about z for '*'.
constexpr Mx kCyclic = {0, 0, 1, 1, 0, 0, 0, 1, 0};
constexpr Mx kCyclicInverse = {0, 1, 0, 0, 0, 1, 1, 0, 0};
constexpr Mx kFourFold = {0, -1, 0, 1, 0, 0, 0, 0, 1};
constexpr Mx kFourFoldInverse = {0, 1, 0, -1, 0, 0, 0, 0, 1};

Mx multiply(const Mx& a, const Mx& b) {
  Mx p{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      int s = 0;
      for (int k = 0; k < 3; ++k) s += a[static_cast<std::size_t>(i * 3 + k)] * b[static_cast<std::size_t>(k * 3 + j)];
      p[static_cast<std::size_t>(i * 3 + j)] = s;
    }
  return p;
}

std::array<int, 3> apply(const Mx& m, const std::array<int, 3>& v) {
  std::array<int, 3> r{};
  for (std::size_t i = 0; i < 3; ++i) r[i] = m[i * 3] * v[0] + m[i * 3 + 1] * v[1] + m[i * 3 + 2] * v[2];
  return r;
}

// Inverse of a unimodular matrix (the adjugate, up to the determinant's sign).
Mx inverseOf(const Mx& m) {
  const int d = determinant(m);
  Mx a{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int r1 = (j + 1) % 3, r2 = (j + 2) % 3, c1 = (i + 1) % 3, c2 = (i + 2) % 3;
      a[static_cast<std::size_t>(i * 3 + j)] =
          (m[static_cast<std::size_t>(r1 * 3 + c1)] * m[static_cast<std::size_t>(r2 * 3 + c2)] -
           m[static_cast<std::size_t>(r1 * 3 + c2)] * m[static_cast<std::size_t>(r2 * 3 + c1)]) * d;
    }
  return a;
}

constexpr int kCodeCount = 19683;  // 3^9 matrices with entries -1, 0, 1

int matrixCode(const Mx& m) {
  int code = 0;
  for (int e : m) {
    if (e < -1 || e > 1) return -1;
    code = code * 3 + (e + 1);
  }
  return code;
}

struct AnalysisTable {
  std::vector<RotMxInfo> infos;
  std::vector<short> byCode = std::vector<short>(kCodeCount, -1);

  void record(const Mx& m, const RotationRow& row, int sense, char refAxis, const std::array<int, 3>& dir) {
    const int code = matrixCode(m);
    if (code < 0 || byCode[static_cast<std::size_t>(code)] >= 0) return;  // the first equality wins
    RotMxInfo info;
    info.order = row.order;
    info.inverse = sense;
    info.eigenVector = dir;
    info.refAxis = refAxis;
    info.dirCode = row.code;
    byCode[static_cast<std::size_t>(code)] = static_cast<short>(infos.size());
    infos.push_back(info);
  }

  AnalysisTable() {
    for (const RotationRow& row : kRotationTable) {
      const bool star = row.code == '*';
      const int steps = row.code == '.' ? 1 : (star ? 4 : 3);
      Mx m = row.matrix;
      std::array<int, 3> dir = row.direction;
      for (int k = 0; k < steps; ++k) {
        const char ref = (star || row.code == '.') ? 'o' : "zxy"[k];
        record(m, row, 0, ref, dir);
        if (row.order >= 3) record(inverseOf(m), row, 1, ref, dir);
        const Mx& t = star ? kFourFold : kCyclic;
        const Mx& ti = star ? kFourFoldInverse : kCyclicInverse;
        m = multiply(multiply(t, m), ti);
        dir = apply(t, dir);
      }
    }
  }
};

const AnalysisTable& analysisTable() {
  static const AnalysisTable table;
  return table;
}

int rotationType(int det, int trace) {
  switch (trace) {
    case -3: return det == -1 ? -1 : 0;
    case -2: return det == -1 ? -6 : 0;
    case -1: return det == 1 ? 2 : -4;
    case 0: return det == 1 ? 3 : -3;
    case 1: return det == 1 ? 4 : -2;
    case 2: return det == 1 ? 6 : 0;
    case 3: return det == 1 ? 1 : 0;
    default: return 0;
  }
}

}  // namespace

int determinant(const std::array<int, 9>& r) {
  return r[0] * (r[4] * r[8] - r[5] * r[7]) - r[1] * (r[3] * r[8] - r[5] * r[6]) + r[2] * (r[3] * r[7] - r[4] * r[6]);
}

bool isIdentityRotation(const std::array<int, 9>& r) { return r == Mx{1, 0, 0, 0, 1, 0, 0, 0, 1}; }
bool isInversionRotation(const std::array<int, 9>& r) { return r == Mx{-1, 0, 0, 0, -1, 0, 0, 0, -1}; }

RotMxInfo GetRotMxInfo(const std::array<int, 9>& rotation) {
  RotMxInfo none;
  none.order = 0;
  for (int e : rotation)
    if (e < -1 || e > 1) return none;  // no rotation of the table has other entries
  const int det = determinant(rotation);
  if (det != 1 && det != -1) return none;
  const int type = rotationType(det, rotation[0] + rotation[4] + rotation[8]);
  if (type == 0) return none;
  Mx proper = rotation;
  if (type < 0)
    for (int& e : proper) e = -e;
  const AnalysisTable& table = analysisTable();
  const short index = table.byCode[static_cast<std::size_t>(matrixCode(proper))];
  if (index < 0) return none;
  RotMxInfo info = table.infos[static_cast<std::size_t>(index)];
  if (info.order != (type < 0 ? -type : type)) return none;
  info.order = type;
  return info;
}

bool generatorRotation(int order, char dirCode, char axis, std::array<int, 9>& out) {
  if (order == 1) dirCode = '.';
  if (dirCode == '\0') dirCode = '=';
  if (order != 1 && dirCode != '*' && axis != 'x' && axis != 'y' && axis != 'z') return false;
  for (const RotationRow& row : kRotationTable) {
    if (row.order != order || row.code != dirCode) continue;
    Mx m = row.matrix;
    const int steps = axis == 'x' ? 1 : (axis == 'y' ? 2 : 0);
    for (int k = 0; k < steps; ++k) m = multiply(multiply(kCyclic, m), kCyclicInverse);
    out = m;
    return true;
  }
  return false;
}

}  // namespace tessera
