#include "formats/cif_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "core/text.h"
#include "formats/export_framework.h"
#include "symmetry/symmetry_operators.h"
#include "transform/unit_cell.h"

namespace tessera {

namespace {

/// Names of the axes types 1 to 7.
constexpr std::array<const char*, 7> kAxesNames = {"triclinic",  "monoclinic", "orthorhombic", "trigonal",
                                                   "tetragonal", "hexagonal",  "cubic"};
/// Longest block name a CIF line of 80 characters holds after "data_".
constexpr std::size_t kMaxBlockName = 75;

bool isSpaceOrControl(char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; }

/// Words a bare value may not start with: they open blocks, loops and frames.
bool startsReservedWord(std::string_view text) {
  for (const char* word : {"data_", "loop_", "save_", "global_", "stop_"})
    if (startsWithIgnoreCase(text, word)) return true;
  return false;
}

/// A quote mark ends a quoted value only when whitespace follows it.
bool closesInside(std::string_view text, char quote) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == quote && isSpaceOrControl(text[i + 1])) return true;
  return false;
}

/// A value in quotes, whichever kind cannot end early; a text field when neither can.
std::string quotedValue(std::string_view text) {
  if (text.find_first_of("\r\n") == std::string_view::npos) {
    if (!closesInside(text, '\'')) return "'" + std::string(text) + "'";
    if (!closesInside(text, '"')) return "\"" + std::string(text) + "\"";
  }
  return "\n;" + std::string(text) + "\n;\n";
}

/// Appends value with the given decimals, right-aligned in width; "?" when not finite.
void appendFixed(std::string& out, float value, int decimals, std::size_t width) {
  std::array<char, 64> buffer{};
  const auto [end, ec] = std::isfinite(value)
                             ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::fixed, decimals)
                             : std::to_chars_result{buffer.data(), std::errc::value_too_large};
  std::string_view text = ec == std::errc() ? std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()))
                                            : std::string_view("?");
  // A tiny negative value reads as zero; "-0.000000" would only puzzle.
  if (text[0] == '-' && text.find_first_of("123456789") == std::string_view::npos) text.remove_prefix(1);
  // At least one blank: a value that fills its field (a coordinate far outside the cell)
  // must not run into the one before.
  out.append(text.size() < width ? width - text.size() : 1, ' ');
  out += text;
}

void appendPadded(std::string& out, std::string_view text, std::size_t width) {
  out += text;
  if (text.size() < width) out.append(width - text.size(), ' ');
}

SeitzMx inverted(const SeitzMx& op) {
  SeitzMx m;
  for (std::size_t k = 0; k < 9; ++k) m.rotation[k] = -op.rotation[k];
  for (std::size_t k = 0; k < 3; ++k) m.translation[k] = (STBF - op.translation[k] % STBF) % STBF;
  return m;
}

/// The crystal's centring translations in twelfths, the zero translation first.
std::vector<std::array<int, 3>> centringTwelfths(const CrystalRecord& c) {
  std::vector<std::array<int, 3>> out;
  for (const Vector3f& v : centringTranslations(c.latticeCode))
    out.push_back({static_cast<int>(std::lround(v[0] * STBF)), static_cast<int>(std::lround(v[1] * STBF)),
                   static_cast<int>(std::lround(v[2] * STBF))});
  return out;
}

void appendHeader(std::string& out, const CrystalRecord& c, const std::string& blockName) {
  appendFormat(out, "data_%s\n", blockName.c_str());
  const char* setting = "?";
  if (c.axesType >= 1 && c.axesType <= 7) setting = kAxesNames[static_cast<std::size_t>(c.axesType - 1)];
  if (c.axesType == 4 && c.rhombohedralAxes) setting = "rhombohedral";
  appendFormat(out, "_symmetry_cell_setting     %s\n", setting);
  // The document separates the parts of a full symbol with "_" ("P_1_21/c_1"); a CIF
  // symbol separates them with blanks, and other readers take "_" for a subscript.
  std::string hm = trim(c.hmSymbol);
  for (char& ch : hm)
    if (ch == '_') ch = ' ';
  const std::string hall = trim(c.hallSymbol);
  appendFormat(out, "_symmetry_space_group_name_H-M   %s\n", hm.empty() ? "?" : quotedValue(hm).c_str());
  appendFormat(out, "_symmetry_space_group_name_Hall   %s\n", hall.empty() ? "?" : quotedValue(hall).c_str());
  if (c.sgNumber >= 1 && c.sgNumber <= 230) appendFormat(out, "_symmetry_Int_Tables_number   %d\n", c.sgNumber);
  out += "loop_\n_symmetry_equiv_pos_as_xyz\n";
  for (const std::string& op : fullOperatorList(c)) appendFormat(out, "%s\n", cifToken(op).c_str());
  appendFormat(out, "_cell_length_a      %f\n", c.cell[0]);
  appendFormat(out, "_cell_length_b      %f\n", c.cell[1]);
  appendFormat(out, "_cell_length_c      %f\n", c.cell[2]);
  appendFormat(out, "_cell_angle_alpha   %f\n", exportDegrees(c.cell[3]));
  appendFormat(out, "_cell_angle_beta    %f\n", exportDegrees(c.cell[4]));
  appendFormat(out, "_cell_angle_gamma   %f\n", exportDegrees(c.cell[5]));
}

/// The occupants of a site that are written (only the first when multiple occupancies go).
std::size_t writtenOccupants(const Site& s, bool firstOnly) {
  return firstOnly ? std::min<std::size_t>(1, s.occupants.size()) : s.occupants.size();
}

std::string occupantLabel(const SiteOccupant& o) { return cifToken(singleToken(trim(o.label))); }

std::string elementToken(const SiteOccupant& o) {
  const std::string e = trim(o.element);
  return e.empty() || e == "*" ? std::string("?") : cifToken(singleToken(e));
}

/// True when site i goes into the anisotropic loop.
bool writesAnisotropic(const ExportContext& ctx, const Site& s) {
  if (s.ortepType < 0) return false;
  const int mode = ctx.settings.convMode;
  if (mode == 3) return true;
  // A tensor holding only its first term is an isotropic value in disguise.
  return mode != 2 && s.tfClass != 1 && isAnisotropicType(chooseTargetType(s.ortepType, -1, ctx.settings));
}

void appendSites(std::string& out, ExportContext& ctx, const std::vector<bool>& anisotropic) {
  out += "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
         "_atom_site_U_iso_or_equiv\n_atom_site_adp_type\n_atom_site_occupancy\n_atom_site_type_symbol\n";
  const std::vector<Site>& sites = ctx.sites();
  const bool firstOnly = ctx.settings.removeMultipleOccupancies;
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const Site& s = sites[i];
    const TemperatureFactor tf = ctx.ConvertTemperatureFactor(10, static_cast<int>(i));
    const bool hasFactor = tf.type == 10;
    const char* adp = !hasFactor ? "?" : (anisotropic[i] ? "Uani" : "Uiso");
    for (std::size_t k = 0; k < writtenOccupants(s, firstOnly); ++k) {
      const SiteOccupant& o = s.occupants[k];
      out += "    ";
      appendPadded(out, occupantLabel(o), 6);
      appendFixed(out, s.x, 6, 10);
      appendFixed(out, s.y, 6, 10);
      appendFixed(out, s.z, 6, 10);
      if (hasFactor) appendFixed(out, tf.iso, 5, 9);
      else out += "        ?";
      out += ' ';
      appendPadded(out, adp, 4);
      appendFixed(out, o.occupancy, 3, 7);
      out += ' ';
      out += elementToken(o);
      out += '\n';
    }
  }
  out += "\n";
}

void appendAnisotropic(std::string& out, ExportContext& ctx, const std::vector<bool>& anisotropic) {
  out += "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\n_atom_site_aniso_U_33\n"
         "_atom_site_aniso_U_12\n_atom_site_aniso_U_13\n_atom_site_aniso_U_23\n";
  const std::vector<Site>& sites = ctx.sites();
  const bool firstOnly = ctx.settings.removeMultipleOccupancies;
  for (std::size_t i = 0; i < sites.size(); ++i) {
    if (!anisotropic[i]) continue;
    const Site& s = sites[i];
    const TemperatureFactor tf = ctx.ConvertTemperatureFactor(8, static_cast<int>(i));
    for (std::size_t k = 0; k < writtenOccupants(s, firstOnly); ++k) {
      out += "     ";
      appendPadded(out, occupantLabel(s.occupants[k]), 6);
      for (float u : tf.aniso) appendFixed(out, u, 5, 9);
      out += '\n';
    }
  }
  out += "\n";
}

}  // namespace

std::string cifToken(std::string_view text) {
  if (text.empty()) return "?";
  bool bare = text != "." && text != "?" && !startsReservedWord(text);
  const char first = text[0];
  if (first == '_' || first == '#' || first == '$' || first == '\'' || first == '"' || first == ';' ||
      first == '[' || first == ']')
    bare = false;
  for (char c : text)
    if (isSpaceOrControl(c)) bare = false;
  return bare ? std::string(text) : quotedValue(text);
}

std::string cifBlockName(std::string_view title, std::string_view fallback) {
  std::string name = trim(title);
  if (name.empty()) name = trim(fallback);
  if (name.empty()) name = "Untitled";
  for (char& c : name)
    if (isSpaceOrControl(c)) c = '_';
  return cut(name, kMaxBlockName);
}

std::vector<std::string> fullOperatorList(const CrystalRecord& c) {
  std::vector<SeitzMx> cosets;
  std::vector<std::string> unparsed;
  for (const std::string& line : c.xyzLines) {
    std::string text = line;
    for (char& ch : text)
      if (ch == ';') ch = ' ';
    SeitzMx op;
    if (ParseSymXYZ(text, op, STBF) == 0) cosets.push_back(op);
    else if (!trim(text).empty()) unparsed.push_back(trim(text));
  }
  if (cosets.empty() && unparsed.empty()) cosets.push_back(identitySeitzMx());
  if (c.acentric == 0 && c.inversionOffOrigin == 0) {
    const std::size_t n = cosets.size();
    for (std::size_t k = 0; k < n; ++k) cosets.push_back(inverted(cosets[k]));
  }
  std::vector<SeitzMx> all;
  std::vector<std::string> out;
  for (const std::array<int, 3>& t : centringTwelfths(c)) {
    for (const SeitzMx& op : cosets) {
      SeitzMx m = op;
      for (std::size_t k = 0; k < 3; ++k) m.translation[k] = ((m.translation[k] + t[k]) % STBF + STBF) % STBF;
      if (std::find(all.begin(), all.end(), m) != all.end()) continue;
      const auto text = RTMx2XYZ(m, 1, STBF, false, false, true);
      if (!text) continue;
      all.push_back(m);
      out.push_back(*text);
    }
  }
  out.insert(out.end(), unparsed.begin(), unparsed.end());
  return out;
}

bool ExportCif(ExportContext& ctx) {
  const auto path = ctx.chooseFile(".cif", "Untitled.cif", "CIF file (*.cif)|*.cif||");
  if (!path) return false;
  ctx.PrepareReciprocalCell();
  const std::vector<Site>& sites = ctx.sites();
  const bool anisoOutput = HasAnisoOutput(ctx.document, ctx.settings);
  std::vector<bool> anisotropic(sites.size(), false);
  bool anyAnisotropic = false;
  for (std::size_t i = 0; i < sites.size(); ++i) {
    anisotropic[i] = anisoOutput && writesAnisotropic(ctx, sites[i]);
    anyAnisotropic = anyAnisotropic || anisotropic[i];
  }
  std::string out;
  out.reserve(4096 + sites.size() * 160);
  appendHeader(out, ctx.crystal(), cifBlockName(ctx.document.title, std::filesystem::path(*path).stem().string()));
  // A loop without values is a syntax error: loops only for what there is.
  if (!sites.empty()) appendSites(out, ctx, anisotropic);
  if (anyAnisotropic) appendAnisotropic(out, ctx, anisotropic);
  out += "\n";
  return ctx.writeFile(*path, out);
}

}  // namespace tessera
