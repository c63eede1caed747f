#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/fullprof.h"
#include "formats/import_finish.h"
#include "formats/rietveld_common.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera {

namespace {

/// An operator text with a centring translation added; nullopt when it does not parse.
std::optional<std::string> shiftedOperatorText(const std::string& text, const Vector3f& t) {
  SeitzMx op;
  if (ParseSymXYZ(text, op, STBF) != 0) return std::nullopt;
  for (std::size_t k = 0; k < 3; ++k)
    op.translation[k] = ((op.translation[k] + static_cast<int>(std::lround(t[k] * STBF))) % STBF + STBF) % STBF;
  return RTMx2XYZ(op);
}

/// The symmetry lines as operators: custom lines with every centring copy written out,
/// so that the lattice survives a symbol that does not name it.
std::vector<std::string> operatorLines(const CrystalRecord& c) {
  std::vector<std::string> lines;
  for (const Vector3f& t : centringTranslations(c.latticeCode)) {
    for (const std::string& line : c.xyzLines) {
      std::string text = line;
      for (char& ch : text)
        if (ch == ';') ch = ' ';
      if (t[0] != 0.0f || t[1] != 0.0f || t[2] != 0.0f) {
        const auto shifted = shiftedOperatorText(text, t);
        if (!shifted) continue;
        text = *shifted;
      }
      lines.push_back(text);
    }
  }
  return lines;
}

int atomCode(const Site& s, const ProgramSettings& settings) {
  const bool iso = s.ortepType < 0 || isIsotropicType(chooseTargetType(s.ortepType, -1, settings)) ||
                   s.ortepType > 10;
  return (iso ? 0 : 2) + (s.hasVector ? 1 : 0);
}

}  // namespace

bool ExportFullprof(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".pcr", "Untitled.pcr", "FULLPROF file (*.pcr)|*.pcr||");
  if (!path) return false;
  const std::vector<Site> sites = sitesWithMultiplicities(ctx);
  ctx.PrepareReciprocalCell();
  const CrystalRecord& c = ctx.crystal();
  const bool custom = c.symmetrySource == 4;
  const int g = generalMultiplicity(c);
  std::string out;
  out.reserve(1024 + sites.size() * 160);
  out += "! Tessera output file for FULLPROF starts with line 11 - phase data\n";
  out += "! The 'new' atom format (JBT = +-10) is used\n";
  out += "! Paste the block after line 10; the profile lines 11-5-1 to 11-6-2 go before line 11-7-1\n";
  appendFormat(out, "\n! Line 11-1  Phase name\n");
  appendFormat(out, "%s\n", starIfBlank(ctx.document.title).c_str());
  const std::vector<std::string> ops = custom ? operatorLines(c) : std::vector<std::string>{};
  appendFormat(out, "\n! Line 11-2  Phase flags\n");
  appendFormat(out, "%d 0 0 0.0 0.0 0.0 10 0 %d 0 0 0.0 0 0 0\n", writtenAtomCount(sites, ctx.settings),
               custom ? -1 : 0);
  appendFormat(out, "\n! Line 11-3  Space group\n");
  appendFormat(out, "%s\n", starIfBlank(c.hmSymbol).c_str());
  if (custom) {
    // Lines that list every operator (acentric, or an inversion off the origin) are
    // given as acentric: the program must not add an inversion at the origin.
    const bool listsAll = c.acentric != 0 || c.inversionOffOrigin != 0;
    appendFormat(out, "\n! Line 11-3-1  Symmetry parameters\n");
    appendFormat(out, "%d %d 0 0\n", static_cast<int>(ops.size()), listsAll ? 1 : 2);
    appendFormat(out, "\n! Line 11-3-2  Symmetry operators\n");
    for (const std::string& op : ops) appendFormat(out, "SYMM  %s\n", op.c_str());
  }
  appendFormat(out, "\n! Line 11-4  Atom lines\n");
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    const int code = atomCode(s, ctx.settings);
    // Anisotropic sites carry their true equivalent B (one third of the trace in Cartesian axes).
    const float b = code >= 2 ? equivalentB(s, ctx.reciprocal) : ctx.ConvertTemperatureFactor(6, static_cast<int>(i)).iso;
    for (std::size_t k = 0; k < writtenOccupantCount(s, ctx.settings); ++k) {
      // Each occupant under its own label, so that the occupants of a mixed site stay apart.
      const SiteOccupant& o = s.occupants[k];
      appendFormat(out, "%-4s %-4s 0 0 %9.6f %9.6f %9.6f %5.6f %5.6f %d\n",
                   cut(singleToken(trim(o.label)), 4).c_str(), singleToken(writtenElement(o)).c_str(), s.x, s.y, s.z, b,
                   generalPositionOccupancy(s, o, g), code);
      out += "   0.0 0.0 0.0 0.0 0.0\n";
      if (code == 1 || code == 3) {
        appendFormat(out, "   %f %f %f 0.0 0.0 0.0 0.0\n", s.vector[0], s.vector[1], s.vector[2]);
        out += "   0.0 0.0 0.0 0.0 0.0 0.0 0.0\n";
      }
      if (code >= 2) {
        const TemperatureFactor beta = ctx.ConvertTemperatureFactor(0, static_cast<int>(i));
        const auto& v = beta.aniso;
        appendFormat(out, "   %f %f %f %f %f %f\n", v[0], v[1], v[2], v[3], v[4], v[5]);
        out += "   0.0 0.0 0.0 0.0 0.0 0.0\n";
      }
    }
  }
  // Named as the reader's line 11.71: the profile lines 11-5-1 to 11-6-2 precede it.
  appendFormat(out, "\n! Line 11-7-1  Cell parameters\n");
  appendFormat(out, "%f %f %f %f %f %f\n", c.cell[0], c.cell[1], c.cell[2], exportDegrees(c.cell[3]),
               exportDegrees(c.cell[4]), exportDegrees(c.cell[5]));
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
