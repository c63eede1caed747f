#include <string>
#include <vector>

#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/fixed_columns.h"
#include "formats/ortep.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

/// Centring translations by lattice code, the zero translation first; thirds held in
/// single precision as the cards carry them.
std::vector<std::array<float, 3>> centringTranslations(int latticeCode) {
  constexpr float third = 0.333333f, twoThirds = 0.6666667f;
  std::vector<std::array<float, 3>> t = {{0.0f, 0.0f, 0.0f}};
  switch (latticeCode) {
    case 2:
      t.push_back({0.0f, 0.5f, 0.5f});
      break;
    case 3:
      t.push_back({0.5f, 0.0f, 0.5f});
      break;
    case 4:
      t.push_back({0.5f, 0.5f, 0.0f});
      break;
    case 5:
      t.insert(t.end(), {{0.0f, 0.5f, 0.5f}, {0.5f, 0.0f, 0.5f}, {0.5f, 0.5f, 0.0f}});
      break;
    case 6:
      t.push_back({0.5f, 0.5f, 0.5f});
      break;
    case 7:
      t.insert(t.end(), {{third, twoThirds, twoThirds}, {twoThirds, third, third}});
      break;
    default:
      break;
  }
  return t;
}

float intoCell(float t) {
  while (t > 0.99999f) t -= 1.0f;
  while (t < -0.00001f) t += 1.0f;
  return t;
}

/// One symmetry card: per row "%1c%14.8f%3.0f%3.0f%3.0f", the end flag in the first group only.
void appendSymmetryCard(std::string& out, const SymmetryOperator& op, const std::array<float, 3>& centring, float sign,
                        bool last) {
  for (std::size_t row = 0; row < 3; ++row) {
    out += row == 0 && last ? '1' : ' ';
    out += fixedReal(intoCell(centring[row] + sign * op.translation[row]), 14, 8);
    for (std::size_t col = 0; col < 3; ++col) out += fixedReal(sign * op.rotation[row][col] + 0.0f, 3, 0);
  }
  out += "\n";
}

void appendSymmetryCards(std::string& out, const CrystalRecord& c) {
  // The operators of the lines themselves: the table's inversion partners come again
  // below as negatives, and lines of an off-origin inversion already list them all.
  std::vector<SymmetryOperator> ops(c.operators.begin(),
                                    c.operators.begin() + std::min<std::ptrdiff_t>(c.opCount, c.operators.size()));
  // Without any operator the identity card still carries the end flag.
  if (ops.empty()) ops.push_back(toSymmetryOperator(identitySeitzMx()));
  const std::vector<std::array<float, 3>> centrings = centringTranslations(c.latticeCode);
  const bool negatives = c.acentric == 0 && c.inversionOffOrigin == 0;
  const std::size_t total = ops.size() * centrings.size() * (negatives ? 2 : 1);
  std::size_t written = 0;
  for (const SymmetryOperator& op : ops)
    for (const auto& centring : centrings)
      for (const float sign : {1.0f, -1.0f}) {
        if (sign < 0 && !negatives) continue;
        appendSymmetryCard(out, op, centring, sign, ++written == total);
      }
}

/// The temperature-factor card of site i: "%1c%8.6f%9.6f%9.6f%9.6f%9.6f%9.6f%9.0f" with
/// every field kept at its width.
void appendFactorCard(std::string& out, ExportContext& ctx, int i, bool last) {
  const TemperatureFactor tf = ctx.ConvertTemperatureFactor(-2, i);
  std::array<float, 6> v{};
  int type = tf.type;
  if (tf.type == 6 || tf.type == 7) {
    v[0] = tf.iso;
  } else if (tf.type == 10) {
    v[0] = tf.iso * 78.95683f;
    type = 6;
  } else if (tf.type >= 0) {
    v = tf.aniso;
  } else {
    // No factor: type -1 reads back as none (1.0 with type 0 would read as a beta).
    type = -1;
  }
  out += last ? '1' : ' ';
  out += fixedReal(v[0], 8, 6);
  for (std::size_t k = 1; k < 6; ++k) out += fixedReal(v[k], 9, 6);
  out += fixedReal(type, 9, 0);
  out += "\n";
}

}  // namespace

bool ExportOrtep(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".ort", "Untitled.ort", "ORTEP input file (*.ort)|*.ort||");
  if (!path) return false;
  CrystalRecord& c = ctx.crystal();
  BuildSymmetryMatrices(c, ctx.ui);
  ctx.PrepareReciprocalCell();
  const std::vector<Site>& sites = ctx.sites();
  std::string out;
  out.reserve(256 + c.operators.size() * 80 + sites.size() * 140);
  appendFormat(out, "%s\n", ctx.document.title.c_str());
  // "%9.5f%9.5f%9.5f%9.4f%9.4f%9.4f", each field kept at 9 columns.
  for (std::size_t k = 0; k < 3; ++k) out += fixedReal(c.cell[k], 9, 5);
  for (std::size_t k = 3; k < 6; ++k) out += fixedReal(exportDegrees(c.cell[k]), 9, 4);
  out += "\n";
  appendSymmetryCards(out, c);
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    appendFormat(out, "%-6.6s   ", singleToken(s.label).c_str());
    for (const float value : {s.x, s.y, s.z, 0.0f, 0.0f}) out += fixedReal(value, 9, 6);
    out += "\n";
    appendFactorCard(out, ctx, static_cast<int>(i), i + 1 == sites.size());
  }
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
