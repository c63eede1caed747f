#include "formats/icsd_writer.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/temperature_factor.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/icsd_common.h"
#include "formats/symbol_derivation.h"

namespace tessera {

namespace {

/// What every ICSD writer works from: the sites, their running numbers and the factor plan.
struct IcsdOutput {
  explicit IcsdOutput(ExportContext& ctx)
      : doc(ctx.document),
        crystal(ctx.crystal()),
        sites(ctx.sites()),
        numbers(icsdRunningNumbers(sites)),
        plan(icsdFactorPlan(doc, ctx.settings)),
        firstOnly(ctx.settings.removeMultipleOccupancies) {
    ctx.PrepareReciprocalCell();
    for (std::size_t i = 0; i < sites.size(); ++i) {
      const TemperatureFactor chosen = ctx.ConvertTemperatureFactor(-1, static_cast<int>(i));
      // Every anisotropic site is written in the one form its section header names.
      if (isAnisotropicType(chosen.type))
        factors.push_back(ctx.ConvertTemperatureFactor(plan.anisoForm, static_cast<int>(i)));
      else
        factors.push_back(chosen);
    }
  }

  std::size_t occupantsOf(const Site& s) const {
    return firstOnly ? std::min<std::size_t>(1, s.occupants.size()) : s.occupants.size();
  }
  bool writesFactors() const { return doc.tfMix != 0; }
  bool anisoAt(std::size_t i) const { return plan.aniso && isAnisotropicType(factors[i].type); }
  bool isoAt(std::size_t i) const { return plan.iso && (factors[i].type == 6 || factors[i].type == 10); }
  std::string wyckoff(const Site& s) const {
    const std::string w = removeBlanks(s.wyckoff);
    return w.empty() ? "    *" : w;
  }

  const CrystalDocument& doc;
  const CrystalRecord& crystal;
  const std::vector<Site>& sites;
  std::vector<std::vector<int>> numbers;
  IcsdFactorPlan plan;
  bool firstOnly;
  std::vector<TemperatureFactor> factors;
};

std::array<double, 6> cellOf(const CrystalRecord& c) {
  return {
      c.cell[0], c.cell[1], c.cell[2], exportDegrees(c.cell[3]), exportDegrees(c.cell[4]), exportDegrees(c.cell[5])};
}

/// A symbol with the axes mark of a rhombohedral group set on rhombohedral axes.
std::string withAxesMark(const CrystalRecord& c, std::string symbol, const char* mark) {
  const std::string t = trimRight(symbol);
  const bool marked = t.size() > 1 && std::string_view("RrHh").find(t.back()) != std::string_view::npos;
  if (c.rhombohedralAxes == 1 && !marked && !t.empty() && (t[0] == 'R' || t[0] == 'r')) symbol += mark;
  return symbol;
}

/// The symbol a layout without operator lines writes: for custom symmetry the symbol
/// identified from the operators when that succeeds.
std::string symbolToWrite(ExportContext& ctx) {
  const CrystalRecord& c = ctx.crystal();
  if (c.symmetrySource == 4) {
    CrystalRecord copy = c;
    if (deriveSymbolsFromOperators(copy, ctx.ui) && !copy.hmSymbol.empty()) return copy.hmSymbol;
  }
  return c.hmSymbol;
}

}  // namespace

bool ExportIcsdRetrieve(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".ret", "Untitled.ret", "ICSD (RETRIEVE) file (*.ret)|*.ret||");
  if (!path) return false;
  const IcsdOutput w(ctx);
  const CrystalRecord& c = w.crystal;
  const auto cell = cellOf(c);
  std::string out;
  out += " COL  Collection Code 00001\n";
  appendFormat(out, " NAME %s\n", w.doc.title.c_str());
  appendFormat(out, " CELL a=%f b=%f c=%f a=%f b=%f g=%f\n", cell[0], cell[1], cell[2], cell[3], cell[4], cell[5]);
  if (c.symmetrySource == 1) {
    appendFormat(out, " SGR  %s          (%s)\n", withAxesMark(c, c.hmSymbol, " R").c_str(), c.sgNumberText.c_str());
  } else if (c.symmetrySource == 4) {
    for (const std::string& line : icsdAllOperatorLines(c))
      appendFormat(out, " SYM  %s\n", icsdDecimalOperatorText(line).c_str());
  }
  out += " PARM Atom__No OxStat  Wyck -----X----- -----Y----- -----Z-----  -SOF-\n";
  for (std::size_t i = 0; i < w.sites.size(); ++i) {
    const Site& s = w.sites[i];
    for (std::size_t k = 0; k < w.occupantsOf(s); ++k) {
      const SiteOccupant& o = s.occupants[k];
      appendFormat(out, "      %-4s %3d %6.3f %5s %8.5f    %8.5f    %8.5f     %6.4f\n", icsdElement(o).c_str(),
                   w.numbers[i][k], o.charge, w.wyckoff(s).c_str(), s.x, s.y, s.z, o.occupancy);
    }
  }
  if (!w.writesFactors()) return ctx.writeFile(*path, out);
  if (w.plan.aniso) {
    out += "\xFF\n";
    out += w.plan.anisoForm == 8 ? " TF   Atom   U(1,1)  U(2,2)  U(3,3)  U(1,2)  U(1,3)  U(2,3)\n"
                                 : " TF   Atom   \xE1(1,1)  \xE1(2,2)  \xE1(3,3)  \xE1(1,2)  \xE1(1,3)  \xE1(2,3)\n";
    for (std::size_t i = 0; i < w.sites.size(); ++i) {
      if (!w.anisoAt(i)) continue;
      const auto& v = w.factors[i].aniso;
      for (std::size_t k = 0; k < w.occupantsOf(w.sites[i]); ++k)
        appendFormat(out, "      %-3s %3d  %9.6f %9.6f %9.6f %9.6f %9.6f %9.6f\n",
                     icsdElement(w.sites[i].occupants[k]).c_str(), w.numbers[i][k], v[0], v[1], v[2], v[3], v[4], v[5]);
    }
  }
  for (std::size_t i = 0; i < w.sites.size(); ++i) {
    if (!w.isoAt(i)) continue;
    const TemperatureFactor& f = w.factors[i];
    for (std::size_t k = 0; k < w.occupantsOf(w.sites[i]); ++k)
      appendFormat(out, f.type == 6 ? " ITF  %-3s %3d  B=%8.5f\n" : " ITF  %-3s %3d  U=%8.5f\n",
                   icsdElement(w.sites[i].occupants[k]).c_str(), w.numbers[i][k], f.iso);
  }
  return ctx.writeFile(*path, out);
}

bool ExportIcsdCanSnd(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".cry", "Untitled.cry", "ICSD (CANSND) file (*.cry)|*.cry||");
  if (!path) return false;
  const IcsdOutput w(ctx);
  const CrystalRecord& c = w.crystal;
  const auto cell = cellOf(c);
  const std::string symbol = withAxesMark(c, removeBlanks(symbolToWrite(ctx)), "R");
  std::string out;
  out += "ID: 00001\n";
  appendFormat(out, "TI: %s\n", w.doc.title.c_str());
  appendFormat(out, "CE: a=%f b=%f c=%f\n", cell[0], cell[1], cell[2]);
  appendFormat(out, "    alpha=%f beta=%f gamma=%f spgr=%-s\n", cell[3], cell[4], cell[5], symbol.c_str());
  appendFormat(out, "SG: %s\n", symbol.c_str());
  out += "AT COORDS: ATOM     X         Y         Z\n";
  std::vector<std::string> labels;
  for (const Site& s : w.sites) {
    const std::string label = removeBlanks(s.label);
    labels.push_back(label.empty() ? "*" : label);
    appendFormat(out, "           %-6s  %9.5f %9.5f %9.5f\n", labels.back().c_str(), s.x, s.y, s.z);
  }
  if (w.writesFactors() && w.plan.aniso) {
    out += w.plan.anisoForm == 8 ? "ANISOTROPIC TEMPERATURE FACTORS: U FORM\n"
                                 : "ANISOTROPIC TEMPERATURE FACTORS: BETA FORM\n";
    for (std::size_t i = 0; i < w.sites.size(); ++i) {
      if (!w.anisoAt(i)) continue;
      const auto& v = w.factors[i].aniso;
      appendFormat(out, "%-4s %-11g %-11g %-11g %-11g %-11g %-11g \n", labels[i].c_str(), v[0], v[1], v[2], v[3], v[4],
                   v[5]);
    }
  }
  return ctx.writeFile(*path, out);
}

bool ExportIcsdOriginal(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".cry", "Untitled.cry", "ICSD (Original) file (*.cry)|*.cry||");
  if (!path) return false;
  const IcsdOutput w(ctx);
  const CrystalRecord& c = w.crystal;
  const auto cell = cellOf(c);
  std::string out;
  out += " **** COLLECTION CODE COL= 00001\n";
  appendFormat(out, " NAME %s\n", w.doc.title.c_str());
  appendFormat(out, " CELL A=%f B=%f C=%f AL=%f BE=%f GA=%f\n", cell[0], cell[1], cell[2], cell[3], cell[4], cell[5]);
  appendFormat(out, " SGR  %s\n", withAxesMark(c, symbolToWrite(ctx), " R").c_str());
  if (c.symmetrySource == 4)
    for (const std::string& line : icsdAllOperatorLines(c)) appendFormat(out, " SYM  %s\n", line.c_str());
  out += " At   Nr Ox     Wy  ---- x ----    ---- y ----    ---- z ----   SOF\n";
  for (std::size_t i = 0; i < w.sites.size(); ++i) {
    const Site& s = w.sites[i];
    for (std::size_t k = 0; k < w.occupantsOf(s); ++k) {
      const SiteOccupant& o = s.occupants[k];
      std::string element = icsdElement(o);
      if (element == "OH1" || element == "OH2") element.insert(1, " ");
      appendFormat(out, " %-4s%3d %2ld   %4s  %7.5f        %7.5f        %7.5f      %7.4f\n", element.c_str(),
                   w.numbers[i][k], std::lround(o.charge), w.wyckoff(s).c_str(), s.x, s.y, s.z, o.occupancy);
    }
  }
  out += "\n";
  if (!w.writesFactors()) return ctx.writeFile(*path, out);
  if (w.plan.aniso) {
    out += w.plan.anisoForm == 8 ? " Atom      U(1,1)    U(2,2)    U(3,3)    U(1,2)    U(1,3)    U(2,3)\n"
                                 : " Atom      Beta(1,1) Beta(2,2) Beta(3,3) Beta(1,2) Beta(1,3) Beta(2,3)\n";
    for (std::size_t i = 0; i < w.sites.size(); ++i) {
      if (!w.anisoAt(i)) continue;
      const auto& v = w.factors[i].aniso;
      for (std::size_t k = 0; k < w.occupantsOf(w.sites[i]); ++k)
        appendFormat(out, " %-2s %3d   %9.6f %9.6f %9.6f %9.6f %9.6f %9.6f\n",
                     icsdElement(w.sites[i].occupants[k]).c_str(), w.numbers[i][k], v[0], v[1], v[2], v[3], v[4], v[5]);
    }
  }
  out += " RVAL Dummy written by Tessera\n";
  for (std::size_t i = 0; i < w.sites.size(); ++i) {
    if (!w.isoAt(i)) continue;
    const TemperatureFactor& f = w.factors[i];
    for (std::size_t k = 0; k < w.occupantsOf(w.sites[i]); ++k)
      appendFormat(out, f.type == 6 ? " %-2s %3d  B=%8.5f\n" : " %-2s %3d  U=%8.5f\n",
                   icsdElement(w.sites[i].occupants[k]).c_str(), w.numbers[i][k], f.iso);
  }
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
