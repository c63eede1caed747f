#include "formats/shelx_writer.h"

#include <array>
#include <cmath>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/elements.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_finish.h"
#include "formats/shelx_common.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

/// Largest parameter magnitude SHELX reads as written; beyond it a value is a
/// free-variable reference.
constexpr float kMaxPlainShelxValue = 8.0f;

/// A site-occupation factor written fixed (10 + sof), as the refinement program writes
/// special positions, so that a refinement started from the file keeps it; factors the
/// fixed form cannot hold (10 + sof must lie between 8 and 17) are written as they are.
double fixedSof(float sof) { return sof > -2.0f && sof < 7.0f ? 10.0 + static_cast<double>(sof) : sof; }

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

/// The element symbol a renamed label starts with, so that the type read back from the
/// label stays the same; X when the occupant has none.
std::string labelPrefix(const SiteOccupant& o) {
  const TypeLookup fromElement = typeFromElementSymbol(o.element);
  if (fromElement.typeNumber > 0) return fromElement.element;
  const std::string symbol = elementSymbol(o.typeNumber);
  return symbol.empty() ? "X" : symbol;
}

/// The label each written occupant gets (as cut to six characters by the atom line):
/// labels that would read as instructions get a prefix that keeps every label unique.
/// The first renaming goes into the message text.
std::vector<std::vector<std::string>> writtenLabels(const std::vector<Site>& sites, bool firstOnly,
                                                    const std::vector<std::string>& table, std::string& message) {
  constexpr std::size_t kWidth = 6;
  std::vector<std::vector<std::string>> labels(sites.size());
  std::unordered_set<std::string> used;
  for (std::size_t i = 0; i < sites.size(); ++i)
    for (const SiteOccupant& o : sites[i].occupants) {
      labels[i].push_back(cut(singleToken(o.label), kWidth));
      used.insert(labels[i].back());
    }
  int renamed = 0;
  std::string example;
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const std::size_t count = firstOnly ? std::min<std::size_t>(1, labels[i].size()) : labels[i].size();
    for (std::size_t k = 0; k < count; ++k) {
      std::string& label = labels[i][k];
      if (!shelxLabelReadsAsInstruction(label, table)) continue;
      std::string base = labelPrefix(sites[i].occupants[k]) + label;
      for (char& c : base)
        if (c == '!' || c == '=') c = '_';
      std::string candidate = cut(base, kWidth);
      for (int n = 1; used.count(candidate) || shelxLabelReadsAsInstruction(candidate, table); ++n) {
        const std::string number = std::to_string(n);
        candidate = cut(base, kWidth - std::min(kWidth - 1, number.size())) + number;
      }
      if (renamed++ == 0) example = format("%s as %s", label.c_str(), candidate.c_str());
      used.insert(candidate);
      label = candidate;
    }
  }
  if (renamed > 0)
    message = format("%d atom label(s) that read as SHELX instructions renamed (%s)", renamed, example.c_str());
  return labels;
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
  std::string renaming;
  const auto labels = writtenLabels(sites, firstOnly, ctx.settings.shelxSkipTable.empty()
                                                          ? defaultShelxSkipTable()
                                                          : ctx.settings.shelxSkipTable,
                                    renaming);
  int moved = 0;
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    const std::size_t count = firstOnly ? std::min<std::size_t>(1, s.occupants.size()) : s.occupants.size();
    std::array<float, 3> xyz = {s.x, s.y, s.z};
    if (std::fabs(xyz[0]) > kMaxPlainShelxValue || std::fabs(xyz[1]) > kMaxPlainShelxValue ||
        std::fabs(xyz[2]) > kMaxPlainShelxValue) {
      for (float& v : xyz)
        if (std::fabs(v) > kMaxPlainShelxValue) v -= std::trunc(v);
      ++moved;
    }
    for (std::size_t k = 0; k < count; ++k) {
      const SiteOccupant& o = s.occupants[k];
      const float sof = m > 0 ? static_cast<float>(s.auxNumber) * o.occupancy / static_cast<float>(m) : o.occupancy;
      appendFormat(out, "%-6.6s %2d %6.4f %6.4f %6.4f %10.7f", labels[i][k].c_str(), o.scatteringNumber, xyz[0],
                   xyz[1], xyz[2], fixedSof(sof));
      if (doc.tfMix != 0) appendFactors(out, ctx, s, static_cast<int>(i));
      out += "\n";
    }
  }
  // Without it a reader (this program's own included) meets the end of the file unannounced.
  out += "END\n";
  if (!ctx.writeFile(*path, out)) return false;
  if (!renaming.empty()) ctx.ui.message(renaming);
  if (moved > 0)
    ctx.ui.message(format("%d atom(s) with a coordinate beyond 8 moved by whole cell edges: SHELX reads such values "
                          "as free-variable references",
                          moved));
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
