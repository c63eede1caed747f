#include <string>

#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/free_form.h"
#include "formats/import_kinds.h"

namespace tessera {

namespace {

bool hasDrawingAttributes(const Site& s) {
  return s.radius != 0.0f || s.rimColor != std::array<int, 3>{} || s.fillColor != std::array<int, 3>{} ||
         s.rimPattern != 0 || s.fillPattern != 0 || s.pen != 0;
}

/// Drawing columns go out for data from the drawing program's files, and for any data
/// that carries drawing attributes (a free-form file read back keeps them).
bool writesDrawingColumns(const CrystalDocument& doc, const std::vector<Site>& sites) {
  if (doc.importFormat == kKindOrbis) return true;
  for (const Site& s : sites)
    if (hasDrawingAttributes(s)) return true;
  return false;
}

/// TFU when U is the form of the data (keep) or of the aniso preference (converting).
bool usesUHeader(const CrystalDocument& doc, const ProgramSettings& s) {
  return (s.convMode == 0 && doc.tfAnisoKind == 1) || (s.convMode != 0 && s.anisoPref == 0);
}

void appendSymmetry(std::string& out, const CrystalRecord& c) {
  appendFormat(out, "SPGP %s\n", c.hmSymbol.c_str());
  if (c.symmetrySource == 1 && c.symbolKind == 1) {
    std::string hall = c.hallSymbol;
    for (char& ch : hall)
      if (ch == ' ') ch = '_';
    appendFormat(out, "HALL %s\n", hall.c_str());
  }
  if (c.symmetrySource != 4) return;
  for (std::string line : c.xyzLines) {
    for (char& ch : line)
      if (ch == ';') ch = ' ';
    appendFormat(out, "SYMM  %s\n", line.c_str());
  }
  std::string letter = c.latticeName;
  if (letter.empty()) letter = c.hmSymbol.empty() ? "P" : c.hmSymbol.substr(0, 1);
  appendFormat(out, "LATT %s %d\n", letter.c_str(), c.acentric);
}

/// The factor line of site i in the header's form: TFU 10 or 8, TFB 6 or 0.
void appendFactorLine(std::string& out, ExportContext& ctx, int i, bool uForm) {
  const Site& site = ctx.sites()[static_cast<std::size_t>(i)];
  const int chosen = site.ortepType < 0 ? -1 : chooseTargetType(site.ortepType, -1, ctx.settings);
  TemperatureFactor tf;
  if (chosen >= 0) {
    const bool iso = isIsotropicType(chosen);
    tf = convertTemperatureFactor(site, uForm ? (iso ? 10 : 8) : (iso ? 6 : 0), ctx.reciprocal);
  }
  if (tf.type == 6 || tf.type == 10) {
    appendFormat(out, "%f 0.0 0.0 0.0 0.0 0.0\n", tf.iso);
  } else if (tf.type == 8 || tf.type == 0) {
    const auto& a = tf.aniso;
    appendFormat(out, "%f %f %f %f %f %f\n", a[0], a[1], a[2], a[3], a[4], a[5]);
  } else {
    out += "0.0 0.0 0.0 0.0 0.0 0.0\n";
  }
}

}  // namespace

bool ExportFreeForm(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".inp", "Untitled.inp", "New cell atom export (*.inp)|*.inp||");
  if (!path) return false;
  ctx.PrepareReciprocalCell();
  const CrystalDocument& doc = ctx.document;
  const CrystalRecord& c = ctx.crystal();
  const std::vector<Site>& sites = ctx.sites();
  std::string out;
  out.reserve(256 + sites.size() * 96);
  appendFormat(out, "TITL %s\n", cut(doc.title, 74).c_str());
  appendFormat(out, "CELL %f %f %f %f %f %f \n", c.cell[0], c.cell[1], c.cell[2], exportDegrees(c.cell[3]),
               exportDegrees(c.cell[4]), exportDegrees(c.cell[5]));
  appendSymmetry(out, c);
  const bool drawing = writesDrawingColumns(doc, sites);
  out += drawing ? "FIELDS LAB TYP COO RAD RMC FLC RMP FLP PEN" : "FIELDS LAB TYP COO";
  const bool factors = doc.tfMix >= 1;
  const bool uForm = usesUHeader(doc, ctx.settings);
  out += !factors ? "\n" : (uForm ? " TFU\n" : " TFB\n");
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    // The label is one field of a blank-separated line: blanks inside would split it.
    appendFormat(out, "%s %d", singleToken(s.label).c_str(), s.typeNumber);
    out += "  ";
    appendFormat(out, " %f", s.x);
    appendFormat(out, " %f", s.y);
    appendFormat(out, " %f", s.z);
    if (drawing)
      appendFormat(out, " %f %d %d %d %d %d %d %d %d %d", s.radius, s.rimColor[0], s.rimColor[1], s.rimColor[2],
                   s.fillColor[0], s.fillColor[1], s.fillColor[2], s.rimPattern, s.fillPattern, s.pen);
    out += "\n";
    if (factors) appendFactorLine(out, ctx, static_cast<int>(i), uForm);
  }
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
