#include <cmath>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_finish.h"
#include "formats/rietan.h"
#include "formats/rietveld_common.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera {

namespace {

/// Marks a site written without a temperature factor; a real B of 1 prints as "1".
constexpr const char* kNoFactor = "1.0";

void appendFactor(std::string& out, ExportContext& ctx, const Site& s, int index) {
  const int mode = ctx.settings.convMode;
  // "Convert all to iso" and "Convert all to aniso" apply to every site with a factor.
  const bool iso = mode == 2 || (mode != 3 && s.tfClass == 1);
  const bool aniso = mode == 3 || (mode != 2 && s.tfClass == 2);
  const TemperatureFactor tf = ctx.ConvertTemperatureFactor(iso ? 6 : 8, index);
  if (iso && tf.type == 6) {
    appendFormat(out, "%14.6g\n", tf.iso);
  } else if (aniso && tf.type == 8) {
    const auto& u = tf.aniso;
    appendFormat(out, "%14.6g%14.6g%14.6g%14.6g%14.6g%14.6g\n", u[0], u[1], u[2], u[3], u[4], u[5]);
  } else {
    appendFormat(out, "%14s\n", kNoFactor);
  }
}

/// The cosine of an angle in radians as written: exactly 0 for a right angle.
double cosineOf(float radians) {
  const double c = std::cos(exportDegrees(radians) * (3.14159265358979323846 / 180.0));
  return std::fabs(c) < 1e-9 ? 0.0 : c;
}

bool isIdentity(const SymmetryOperator& op) {
  for (std::size_t r = 0; r < 3; ++r) {
    if (std::fabs(op.translation[r]) > 0.001f && std::fabs(op.translation[r] - 1.0f) > 0.001f) return false;
    for (std::size_t c = 0; c < 3; ++c)
      if (std::fabs(op.rotation[r][c] - (r == c ? 1.0f : 0.0f)) > 0.001f) return false;
  }
  return true;
}

/// Row translations brought into [-0.00001, 0.99999) and up to two codes per row.
struct CodedOperation {
  std::array<double, 3> t{};
  std::array<std::array<int, 2>, 3> codes{};
};

CodedOperation codeOperation(const SymmetryOperator& op, float sign, const Vector3f& centring) {
  CodedOperation coded;
  for (std::size_t r = 0; r < 3; ++r) {
    double t = static_cast<double>(sign * op.translation[r] + centring[r]);
    if (!std::isfinite(t)) t = 0.0;
    t -= std::floor(t);
    if (t >= 0.99999) t -= 1.0;
    coded.t[r] = t;
    std::size_t n = 0;
    for (std::size_t c = 0; c < 3 && n < 2; ++c) {
      const float v = sign * op.rotation[r][c];
      if (std::fabs(v) > 0.001f) coded.codes[r][n++] = (v > 0 ? 1 : -1) * static_cast<int>(c + 1);
    }
  }
  return coded;
}

void appendCodedLine(std::string& out, const CodedOperation& op, double shift) {
  for (std::size_t r = 0; r < 3; ++r) appendFormat(out, "%11.6f%2d%2d", op.t[r] + shift, op.codes[r][0], op.codes[r][1]);
  out += "\n";
}

/// Every operation: operators (the identity first), inversion, centring. The first
/// operation, the identity, only in its second form (the reader adds it itself).
void appendOperations(std::string& out, const CrystalRecord& c) {
  const int count = usableOperatorCount(c);
  std::vector<int> order;
  for (int k = 0; k < count; ++k)
    if (isIdentity(c.operators[static_cast<std::size_t>(k)])) {
      order.push_back(k);
      break;
    }
  for (int k = 0; k < count; ++k)
    if (order.empty() || k != order[0]) order.push_back(k);
  const int signs = appliesInversion(c) ? 2 : 1;
  bool first = true;
  for (int k : order)
    for (int s = 0; s < signs; ++s)
      for (const Vector3f& l : centringTranslations(c.latticeCode)) {
        const CodedOperation op = codeOperation(c.operators[static_cast<std::size_t>(k)], s == 0 ? 1.0f : -1.0f, l);
        if (!first) appendCodedLine(out, op, 0.0);
        appendCodedLine(out, op, 1.0);
        first = false;
      }
}

}  // namespace

bool ExportRietan(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".xyz", "Untitled.xyz", "RIETAN input file (*.xyz)|*.xyz||");
  if (!path) return false;
  const std::vector<Site> sites = sitesWithMultiplicities(ctx);
  CrystalRecord c = ctx.crystal();
  BuildSymmetryMatrices(c, ctx.ui);
  ctx.PrepareReciprocalCell();
  const int g = generalMultiplicity(c);
  std::string out;
  out.reserve(512 + sites.size() * 120 + static_cast<std::size_t>(c.opCount) * 400);
  appendFormat(out, "%s\n", ctx.document.title.c_str());
  out += "    0\n";
  out += "ENDCON1\n";
  appendFormat(out, "%5d\n", 10 * writtenAtomCount(sites, ctx.settings));
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    for (std::size_t k = 0; k < writtenOccupantCount(s, ctx.settings); ++k) {
      const SiteOccupant& o = s.occupants[k];
      // The label is cut to the nine columns the reader takes it from.
      appendFormat(out, "%-9s %14.6g%14.6g%14.6g%14.6g", cut(removeBlanks(starIfBlank(o.label)), 9).c_str(),
                   generalPositionOccupancy(s, o, g), s.x, s.y, s.z);
      appendFactor(out, ctx, s, static_cast<int>(i));
    }
  }
  out += "00000\n";
  out += "    1\n";
  out += "  1.0\n";
  appendFormat(out, "%14.6g%14.6g%14.6g%14.6g%14.6g%14.6g\n", c.cell[0], c.cell[1], c.cell[2], cosineOf(c.cell[3]),
               cosineOf(c.cell[4]), cosineOf(c.cell[5]));
  out += "  0.0\n";
  appendOperations(out, c);
  out += "ENDSYM\n";
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
