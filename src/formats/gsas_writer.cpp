#include <cmath>
#include <string>
#include <vector>

#include "core/cell_geometry.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/gsas.h"
#include "formats/rietveld_common.h"

namespace tessera {

Mat3 momentAxes(const Cell& cell) {
  const double a = cell[0], b = cell[1], c = cell[2];
  const double ca = std::cos(cell[3]), cb = std::cos(cell[4]), cg = std::cos(cell[5]);
  const double sg = std::sin(cell[5]);
  const double w = 1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg;
  Mat3 m{};
  m[0] = {a, 0.0, 0.0};
  m[1] = {b * cg, b * sg, 0.0};
  if (sg != 0.0) m[2] = {c * cb, c * (ca - cb * cg) / sg, c * std::sqrt(std::max(w, 0.0)) / sg};
  return m;
}

namespace {

/// The moment in the orthogonal axes: the vector's Cartesian direction times its given
/// length, so that the length of the three components read back is vectorLength.
Vec3 momentComponents(const Site& site, const Mat3& axes) {
  Vec3 cart{};
  for (std::size_t j = 0; j < 3; ++j)
    for (std::size_t i = 0; i < 3; ++i) cart[j] += static_cast<double>(site.vector[i]) * axes[i][j];
  const double length = std::sqrt(cart[0] * cart[0] + cart[1] * cart[1] + cart[2] * cart[2]);
  if (!(length > 0.0) || !std::isfinite(length)) return {};
  const double scale = static_cast<double>(site.vectorLength) / length;
  return {cart[0] * scale, cart[1] * scale, cart[2] * scale};
}

void appendThermal(std::string& out, ExportContext& ctx, const Site& site, int index, int n) {
  // "Convert all to iso" writes every site isotropic, whatever its class.
  const int mode = ctx.settings.convMode;
  const bool aniso = (site.tfClass == 2 && mode != 2) || mode == 3;
  std::array<float, 6> v{};
  char flag = 'I';
  const TemperatureFactor tf = ctx.ConvertTemperatureFactor(aniso ? 8 : 10, index);
  if (aniso && tf.type == 8) {
    v = tf.aniso;
    flag = 'A';
  } else if (tf.type == 10) {
    v[0] = tf.iso;
  } else if (tf.type == 8) {
    v[0] = ctx.ConvertTemperatureFactor(10, index).iso;
  }
  appendFormat(out, "CRS1  AT%3dB%10.6f%10.6f%10.6f%10.6f%10.6f%10.6f  %c XU\n", n, v[0], v[1], v[2], v[3], v[4], v[5],
               flag);
}

}  // namespace

bool ExportGsas(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".exp", "Untitled.exp", "GSAS file (*.exp)|*.exp||");
  if (!path) return false;
  const std::vector<Site> sites = sitesWithMultiplicities(ctx);
  ctx.PrepareReciprocalCell();
  const CrystalRecord& c = ctx.crystal();
  const Mat3 axes = momentAxes(c.cell);
  std::string out;
  out.reserve(256 + sites.size() * 256);
  out += "     VERSION    6\n";
  out += "      DESCR  File written by Tessera\n";
  appendFormat(out, "CRS1    PNAM  %s\n", ctx.document.title.c_str());
  appendFormat(out, "CRS1   NATOM%5d\n", writtenAtomCount(sites, ctx.settings));
  appendFormat(out, "CRS1  ABC   %10.6f%10.6f%10.6f    Y    0\n", c.cell[0], c.cell[1], c.cell[2]);
  out += "CRS1  ABCSIG\n";
  appendFormat(out, "CRS1  ANGLES%10.4f%10.4f%10.4f    Y    0\n", exportDegrees(c.cell[3]), exportDegrees(c.cell[4]),
               exportDegrees(c.cell[5]));
  out += "CRS1  ANGSIG\n";
  int n = 0;
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    for (std::size_t k = 0; k < writtenOccupantCount(s, ctx.settings); ++k) {
      const SiteOccupant& o = s.occupants[k];
      ++n;
      // Element and label are cut to their columns so that the fields after them stay in place.
      appendFormat(out, "CRS1  AT%3dA  %-8s%10.6f%10.6f%10.6f%10.6f%-8s %3d 000\n", n,
                   cut(starIfBlank(writtenElement(o)), 8).c_str(), s.x, s.y, s.z, o.occupancy,
                   cut(removeBlanks(starIfBlank(o.label)), 8).c_str(), s.auxNumber);
      appendThermal(out, ctx, s, static_cast<int>(i), n);
      if (s.hasVector) {
        const Vec3 m = momentComponents(s, axes);
        appendFormat(out, "CRS1  AT%3dM%10.5f%10.5f%10.5f  X  X%10.3f%10.3f%10.3f\n", n, m[0], m[1], m[2],
                     s.vectorLength, 1.0, 1.0);
      }
    }
  }
  appendFormat(out, "CRS1  CELVOL %9.3f\n", cellVolume(c.cell));
  appendFormat(out, "CRS1  SG SYM  %-s\n", c.hmSymbol.c_str());
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
