#include "support/structures.h"

#include <random>

#include "core/text.h"
#include "support/builders.h"

namespace tessera::test {

namespace {

/// The 24 proper rotations of the cube as operator lines.
std::vector<std::string> cubicRotationLines() {
  const int perms[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {1, 0, 2}, {0, 2, 1}, {2, 1, 0}};
  const int parity[6] = {1, 1, 1, -1, -1, -1};
  std::vector<std::string> lines;
  for (int p = 0; p < 6; ++p)
    for (int s = 0; s < 8; ++s) {
      const int sx = (s & 1) ? -1 : 1, sy = (s & 2) ? -1 : 1, sz = (s & 4) ? -1 : 1;
      if (sx * sy * sz * parity[p] != 1) continue;
      const int sign[3] = {sx, sy, sz};
      std::string line;
      for (int r = 0; r < 3; ++r) {
        if (r) line += ",";
        line += (sign[r] < 0 ? "-" : "") + std::string(1, static_cast<char>('X' + perms[p][r]));
      }
      lines.push_back(line + ";");
    }
  return lines;
}

}  // namespace

Site makeSite(const std::string& label, int type, float x, float y, float z, float b) {
  Site s = siteAt(label, x, y, z, type);
  s.ortepType = 6;
  s.tfClass = 1;
  s.isoValue = b;
  return s;
}

CrystalDocument makeDocument(const std::string& symbol, const std::vector<std::string>& lines, int acentric,
                             int latticeCode, const Cell& deg, const std::vector<Site>& sites) {
  CrystalDocument doc;
  CrystalRecord& c = doc.crystals[0];
  c.hmSymbol = symbol;
  c.xyzLines = lines;
  c.acentric = acentric;
  c.latticeCode = latticeCode;
  c.symmetrySource = 1;
  c.cell = {deg[0], deg[1], deg[2], deg[3] * kDegToRad, deg[4] * kDegToRad, deg[5] * kDegToRad};
  doc.crystals[1] = c;
  doc.sites[0] = sites;
  for (std::size_t i = 0; i < doc.sites[0].size(); ++i) doc.sites[0][i].normaliseOccupants(static_cast<int>(i));
  doc.transformation.resetToIdentity();
  doc.documentPath = "test.tsr";
  return doc;
}

CrystalDocument rockSalt() {
  return makeDocument("F m -3 m", cubicRotationLines(), 0, 5, {5.64f, 5.64f, 5.64f, 90, 90, 90},
                      {makeSite("Na1", 11, 0, 0, 0), makeSite("Cl1", 17, 0.5f, 0.5f, 0.5f)});
}

CrystalDocument quartz() {
  return makeDocument("P 32 2 1",
                      {"X,Y,Z;", "-Y,X-Y,2/3+Z;", "-X+Y,-X,1/3+Z;", "Y,X,-Z;", "X-Y,-Y,1/3-Z;", "-X,-X+Y,2/3-Z;"}, 1, 1,
                      {4.913f, 4.913f, 5.405f, 90, 90, 120},
                      {makeSite("Si1", 14, 0.4697f, 0.0f, 1.0f / 6.0f), makeSite("O1", 8, 0.4135f, 0.2669f, 0.2858f)});
}

CrystalDocument corundum() {
  return makeDocument("R -3 c", {"X,Y,Z;", "-Y,X-Y,Z;", "-X+Y,-X,Z;", "Y,X,1/2-Z;", "X-Y,-Y,1/2-Z;", "-X,-X+Y,1/2-Z;"},
                      0, 7, {4.759f, 4.759f, 12.99f, 90, 90, 120},
                      {makeSite("Al1", 13, 0, 0, 0.3522f), makeSite("O1", 8, 0.3064f, 0, 0.25f)});
}

CrystalDocument monoclinic() {
  Site c1 = makeSite("C1", 6, 0.1234f, 0.2345f, 0.3456f);
  c1.ortepType = 8;
  c1.tfClass = 2;
  c1.aniso = {0.021f, 0.034f, 0.027f, 0.004f, 0.006f, -0.003f};
  Site n1 = makeSite("N1", 7, 0.6543f, 0.1111f, 0.8123f);
  n1.ortepType = 8;
  n1.tfClass = 2;
  n1.aniso = {0.041f, 0.025f, 0.030f, -0.007f, 0.010f, 0.002f};
  return makeDocument("P 1 21/c 1", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, {5.1f, 6.2f, 7.3f, 90, 101.5f, 90},
                      {c1, n1, makeSite("O1", 8, 0.3f, 0.7f, 0.05f)});
}

CrystalDocument randomP1(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(0.0f, 0.99f);
  std::vector<Site> sites;
  for (int i = 0; i < count; ++i) sites.push_back(makeSite(format("C%d", i + 1), 6, u(rng), u(rng), u(rng)));
  return makeDocument("P 1", {"X,Y,Z;"}, 1, 1, {10, 11, 12, 85, 95, 100}, sites);
}

std::array<std::array<float, 3>, 3> diagonal(float a, float b, float c) { return {{{a, 0, 0}, {0, b, 0}, {0, 0, c}}}; }

}  // namespace tessera::test
