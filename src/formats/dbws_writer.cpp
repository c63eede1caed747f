#include <string>
#include <vector>

#include "core/text.h"
#include "formats/dbws.h"
#include "formats/export_framework.h"
#include "formats/rietveld_common.h"

namespace tessera {

namespace {

bool writeSkeleton(ExportContext& ctx, bool dbws) {
  const auto path = dbws ? ctx.chooseFile(".dbw", "Untitled.dbw", "DBWS file (*.dbw)|*.dbw||")
                         : ctx.chooseFile(".lhp", "Untitled.lhp", "LHPM file (*.lhp)|*.lhp||");
  if (!path) return false;
  ctx.PrepareReciprocalCell();
  const CrystalRecord& c = ctx.crystal();
  const std::vector<Site>& sites = ctx.sites();
  const int mode = ctx.settings.convMode;
  std::string out;
  out.reserve(512 + sites.size() * 200);
  out += dbws ? "DBWS dummy file produced by TESSERA\n" : "LHPM dummy file produced by TESSERA\n";
  out += "   0   0   1\n";
  out += "\n\n\n\n\n\n\n";
  appendFormat(out, "%s\n", ctx.document.title.c_str());
  appendFormat(out, "%4d\n", writtenAtomCount(sites, ctx.settings));
  appendFormat(out, "%s\n", c.hmSymbol.c_str());
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    // Anisotropic sites carry their true equivalent B (one third of the trace in Cartesian axes).
    const float b = equivalentB(s, ctx.reciprocal);
    const bool aniso = (s.tfClass == 2 && mode != 2) || mode == 3;
    const TemperatureFactor beta = aniso ? ctx.ConvertTemperatureFactor(0, static_cast<int>(i)) : TemperatureFactor{};
    for (std::size_t k = 0; k < writtenOccupantCount(s, ctx.settings); ++k) {
      const SiteOccupant& o = s.occupants[k];
      // Label and element are cut to their four columns so that the numbers stay in place.
      const std::string label = cut(removeBlanks(starIfBlank(o.label)), 4);
      const std::string element = cut(writtenElement(o), 4);
      if (dbws) {
        appendFormat(out, "%-4s %4d %-4s  %8.5f%8.5f%8.5f%8.5f%8.5f\n", label.c_str(), 0, element.c_str(), s.x, s.y,
                     s.z, b, o.occupancy);
        out += "                     0.0     0.0     0.0     0.0     0.0\n";
      } else {
        appendFormat(out, "%-4s%-4s        %8.5f%8.5f%8.5f%8.5f%8.5f\n", label.c_str(), element.c_str(), s.x, s.y, s.z,
                     b, o.occupancy);
      }
      if (beta.type == 0) {
        // Fields of eight columns without separators: a negative value keeps its place.
        const auto& v = beta.aniso;
        appendFormat(out, "%8.5f%8.5f%8.5f%8.5f%8.5f%8.5f\n", v[0], v[1], v[2], v[3], v[4], v[5]);
      } else {
        out += "     0.0     0.0     0.0     0.0     0.0     0.0     \n";
      }
      if (dbws) out += "     0.0     0.0     0.0     0.0     0.0     0.0 \n";
    }
  }
  out += "1.0\n";
  if (dbws) out += "0.0\n";
  out += "1.0\n";
  if (dbws) out += "0.0\n";
  appendFormat(out, "%8g%8g%8g%8g%8g%8g\n", c.cell[0], c.cell[1], c.cell[2], exportDegrees(c.cell[3]),
               exportDegrees(c.cell[4]), exportDegrees(c.cell[5]));
  if (dbws) out += "\n";
  return ctx.writeFile(*path, out);
}

}  // namespace

bool ExportDbws(ExportContext& context) { return writeSkeleton(context, true); }
bool ExportLhpm(ExportContext& context) { return writeSkeleton(context, false); }

}  // namespace tessera
