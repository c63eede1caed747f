#include "formats/shelx_writer.h"

#include <string>
#include <vector>

#include "core/elements.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_finish.h"
#include "formats/shelx_common.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

bool isIdentityLine(const std::string& line) {
  std::string text = line;
  for (char& ch : text)
    if (ch == ';') ch = ' ';
  SeitzMx op;
  return ParseSymXYZ(text, op, STBF) == 0 && op == identitySeitzMx();
}

void appendHeader(std::string& out, const CrystalDocument& doc, const CrystalRecord& c) {
  appendFormat(out, "TITL %s\n", doc.title.c_str());
  appendFormat(out, "CELL 1.0 %f %f %f %f %f %f\n", c.cell[0], c.cell[1], c.cell[2], exportDegrees(c.cell[3]),
               exportDegrees(c.cell[4]), exportDegrees(c.cell[5]));
  // The lines of a structure whose inversion lies off the origin list every operator:
  // a positive LATT would add a second inversion at the origin.
  const bool listsAll = c.acentric != 0 || c.inversionOffOrigin != 0;
  const int n = shelxLatticeNumber(c.latticeCode);
  appendFormat(out, "LATT %d\n", listsAll ? -n : n);
  // The identity is implied; every other line is written wherever it stands.
  for (const std::string& line : c.xyzLines) {
    if (isIdentityLine(line)) continue;
    std::string text = line;
    for (char& ch : text)
      if (ch == ';') ch = ' ';
    appendFormat(out, "SYMM  %s\n", text.c_str());
  }
}

std::string elementText(const SiteOccupant& o) {
  if (!o.element.empty() && o.element != "*") return o.element;
  const std::string symbol = elementSymbol(o.typeNumber);
  return symbol.empty() ? "*" : symbol;
}

/// Numbers the distinct elements in order of first appearance; the SFAC line.
std::string numberElements(std::vector<Site>& sites, bool firstOnly) {
  std::vector<std::string> elements;
  for (Site& s : sites) {
    const std::size_t count = firstOnly ? std::min<std::size_t>(1, s.occupants.size()) : s.occupants.size();
    for (std::size_t k = 0; k < count; ++k) {
      SiteOccupant& o = s.occupants[k];
      const std::string e = elementText(o);
      std::size_t at = 0;
      while (at < elements.size() && elements[at] != e) ++at;
      if (at == elements.size()) elements.push_back(e);
      o.scatteringNumber = static_cast<int>(at + 1);
    }
  }
  std::string line = "SFAC ";
  for (const std::string& e : elements) appendFormat(line, " %s", e.c_str());
  return line + "\n";
}

void appendFactors(std::string& out, ExportContext& ctx, const Site& site, int index) {
  const int mode = ctx.settings.convMode;
  if (mode == 2 || (site.tfClass == 1 && mode != 3)) {
    const TemperatureFactor tf = ctx.ConvertTemperatureFactor(10, index);
    if (tf.type == 10) appendFormat(out, " %f", tf.iso);
    return;
  }
  const TemperatureFactor tf = ctx.ConvertTemperatureFactor(8, index);
  if (tf.type != 8) return;  // no factor: the program's default applies
  const auto& u = tf.aniso;
  // Continued after U22 so that no line passes 80 characters.
  appendFormat(out, " %f %f =\n   ", u[0], u[1]);
  appendFormat(out, " %f %f %f %f", u[2], u[5], u[4], u[3]);
}

}  // namespace

bool ExportShelx(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".ins", "Untitled.ins", "SHELX input file (*.ins)|*.ins||");
  if (!path) return false;
  ctx.PrepareReciprocalCell();
  CrystalDocument& doc = ctx.document;
  CrystalRecord& c = ctx.crystal();
  std::vector<Site> sites = ctx.sites();
  const int report = doc.reportEnabled;
  doc.reportEnabled = 0;
  setSiteMultiplicities(c, sites, ctx.ui);
  doc.reportEnabled = report;
  const int m = generalMultiplicity(c);
  std::string out;
  out.reserve(512 + sites.size() * 128);
  appendHeader(out, doc, c);
  const bool firstOnly = ctx.settings.removeMultipleOccupancies;
  const bool sfac =
      ctx.ui.ask("Do you want to write an SFAC line, with new scattering numbers?", Buttons::YesNo) == Answer::Yes;
  if (sfac) out += numberElements(sites, firstOnly);
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    const std::size_t count = firstOnly ? std::min<std::size_t>(1, s.occupants.size()) : s.occupants.size();
    for (std::size_t k = 0; k < count; ++k) {
      const SiteOccupant& o = s.occupants[k];
      const float sof = m > 0 ? static_cast<float>(s.auxNumber) * o.occupancy / static_cast<float>(m) : o.occupancy;
      appendFormat(out, "%-6.6s %2d %6.4f %6.4f %6.4f %6.3f", singleToken(o.label).c_str(), o.scatteringNumber, s.x,
                   s.y, s.z, sof);
      if (doc.tfMix != 0) appendFactors(out, ctx, s, static_cast<int>(i));
      out += "\n";
    }
  }
  // Without it a reader (this program's own included) meets the end of the file unannounced.
  out += "END\n";
  if (!ctx.writeFile(*path, out)) return false;
  if (sfac) {
    std::vector<Site>& kept = ctx.sites();
    for (std::size_t i = 0; i < kept.size(); ++i)
      for (std::size_t k = 0; k < kept[i].occupants.size(); ++k)
        kept[i].occupants[k].scatteringNumber = sites[i].occupants[k].scatteringNumber;
    doc.modified = true;
  }
  return true;
}

}  // namespace tessera
