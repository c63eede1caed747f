#include "symmetry/hall_builder.h"

#include <cstdlib>
#include <vector>

#include "symmetry/rotation_info.h"
#include "symmetry/sg_group.h"

namespace tessera {

namespace {

struct WrittenGenerator {
  SeitzMx op;  // translation moved to the shifted origin
  RotMxInfo info;
};

struct Letter {
  char name;
  std::array<int, 3> t;
};
constexpr Letter kLetters[] = {{'n', {6, 6, 6}}, {'a', {6, 0, 0}}, {'b', {0, 6, 0}}, {'c', {0, 0, 6}},
                               {'d', {3, 3, 3}}, {'u', {3, 0, 0}}, {'v', {0, 3, 0}}, {'w', {0, 0, 3}}};

bool isZero(const std::array<int, 3>& t) { return t[0] == 0 && t[1] == 0 && t[2] == 0; }

// Index of the only non-zero component when it is +1, else -1.
int screwAxis(const std::array<int, 3>& e) {
  int axis = -1;
  for (int k = 0; k < 3; ++k) {
    if (e[static_cast<std::size_t>(k)] == 0) continue;
    if (axis >= 0 || e[static_cast<std::size_t>(k)] != 1) return -1;
    axis = k;
  }
  return axis;
}

// Translation text of a written generator; false when no centring translation makes it writable.
bool translationText(const LatticeInfo& lattice, const WrittenGenerator& g, std::string& text) {
  const std::array<int, 3>& t = g.op.translation;
  for (const auto& c : lattice.translations)
    if (isZero({mod12(t[0] + c[0]), mod12(t[1] + c[1]), mod12(t[2] + c[2])})) return true;
  const int axis = screwAxis(g.info.eigenVector);
  for (const auto& c : lattice.translations) {
    std::array<int, 3> u = {mod12(t[0] + c[0]), mod12(t[1] + c[1]), mod12(t[2] + c[2])};
    std::string piece;
    if (axis >= 0) {
      const int q = STBF / std::abs(g.info.order);
      int& along = u[static_cast<std::size_t>(axis)];
      const int m = along / q;
      if ((m * q) % 3 != 0) {
        piece += static_cast<char>('0' + m);
        along -= m * q;
      }
    }
    for (const Letter& l : kLetters) {
      if (l.t[0] > u[0] || l.t[1] > u[1] || l.t[2] > u[2]) continue;
      piece += l.name;
      for (std::size_t k = 0; k < 3; ++k) u[k] -= l.t[k];
    }
    if (isZero(u)) {
      text += piece;
      return true;
    }
  }
  return false;
}

void appendRotationPart(std::string& out, const WrittenGenerator& g, const WrittenGenerator* prev, bool first) {
  const int order = std::abs(g.info.order);
  out += ' ';
  if (g.info.order < 0) out += '-';
  out += static_cast<char>('0' + order);
  bool showAxis = g.info.refAxis == 'x' || g.info.refAxis == 'y' || g.info.refAxis == 'z';
  bool showCode = g.info.dirCode != '=' && g.info.dirCode != '.';
  if (first && g.info.refAxis == 'z') showAxis = false;
  if (prev && order == 2) {
    const int prevOrder = std::abs(prev->info.order);
    if ((prevOrder == 2 || prevOrder == 4) && g.info.refAxis == 'x') showAxis = false;
    if (prevOrder == 3 || prevOrder == 6) {
      if (prev->info.dirCode == '*' || prev->info.refAxis == g.info.refAxis) showAxis = false;
      if (g.info.dirCode == '\'') showCode = false;
    }
  }
  if (prev && order == 3 && g.info.dirCode == '*') showCode = false;
  if (showAxis) out += g.info.refAxis;
  if (showCode) out += g.info.dirCode;
}

}  // namespace

int BuildHSym(SgInfo& sg, const std::array<int, 3>& s, std::string& out) {
  if (sg.nGenerator <= 0) return setSgError(sg, "Internal Error: BuildHSym(): Empty generator list");
  bool centrosymmetric = false;
  std::vector<WrittenGenerator> written;
  for (int k = 0; k < sg.nGenerator; ++k) {
    const std::size_t index = static_cast<std::size_t>(sg.generators[static_cast<std::size_t>(k)]);
    if (index >= sg.listSeitzMx.size()) return setSgError(sg, "Internal Error: Corrupt SgInfo");
    WrittenGenerator g{sg.listSeitzMx[index], sg.listRotMxInfo[index]};
    const auto& r = g.op.rotation;
    for (std::size_t i = 0; i < 3; ++i)
      g.op.translation[i] = mod12(g.op.translation[i] + r[i * 3] * s[0] + r[i * 3 + 1] * s[1] + r[i * 3 + 2] * s[2] - s[i]);
    if (g.info.order == -1 && isZero(g.op.translation)) {
      centrosymmetric = true;
      continue;
    }
    written.push_back(g);
  }
  // Only an implicit inversion (at the origin of the list) still has to be written.
  if (sg.centric == -1) {
    if (isZero(s)) {
      centrosymmetric = true;
    } else {
      WrittenGenerator inversion;
      inversion.op.rotation = {-1, 0, 0, 0, -1, 0, 0, 0, -1};
      inversion.op.translation = {mod12(-2 * s[0]), mod12(-2 * s[1]), mod12(-2 * s[2])};
      inversion.info = GetRotMxInfo(inversion.op.rotation);
      bool placed = false;
      for (WrittenGenerator& g : written)
        if (g.info.order == 1) {
          g = inversion;
          placed = true;
          break;
        }
      if (!placed) written.push_back(inversion);
    }
  }

  std::string text(1, centrosymmetric ? '-' : ' ');
  text += sg.lattice->code;
  for (std::size_t k = 0; k < written.size(); ++k) {
    appendRotationPart(text, written[k], k > 0 ? &written[k - 1] : nullptr, k == 0);
    if (!translationText(*sg.lattice, written[k], text)) return 0;
  }
  if (written.empty()) text += " 1";
  if (!isZero(s)) {
    text += " (";
    for (std::size_t k = 0; k < 3; ++k) {
      if (k > 0) text += ' ';
      const int v = mod12(s[k]);
      if (v > 6) {
        text += '-';
        text += static_cast<char>('0' + (STBF - v));
      } else {
        text += static_cast<char>('0' + v);
      }
    }
    text += ')';
  }
  if (text.size() > MaxLenHallSymbol) return setSgError(sg, "Internal Error: BuildHSym(): MaxLenHallSymbol too small");
  out = text;
  return 1;
}

int BuildHallSymbolOfGroup(SgInfo& sg) {
  std::string symbol;
  if (sg.fromHallSymbol) {
    const int r = BuildHSym(sg, sg.originShift, symbol);
    if (r < 0) return -1;
    if (r == 0) return setSgError(sg, "Error: Can't build Hall Symbol");
    sg.HallSymbol = symbol;
    return 0;
  }
  static constexpr int kValues[] = {0, 1, -1, 2, -2, 3};
  for (int a : kValues)
    for (int b : kValues)
      for (int c : kValues) {
        const std::array<int, 3> s = {a, b, c};
        const int r = BuildHSym(sg, s, symbol);
        if (r < 0) return -1;
        if (r == 1) {
          sg.HallSymbol = symbol;
          sg.originShift = s;
          return 0;
        }
      }
  return setSgError(sg, "Error: Can't build Hall Symbol");
}

}  // namespace tessera
