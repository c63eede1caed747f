#include "formats/cif_reader.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/data_files.h"
#include "core/text.h"
#include "formats/cif_syntax.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

/// A data name of the older dictionaries and its newer counterpart.
struct DataName {
  const char* older;
  const char* newer;
};

constexpr DataName kCellSetting{"_symmetry_cell_setting", "_space_group_crystal_system"};
constexpr DataName kOperators{"_symmetry_equiv_pos_as_xyz", "_space_group_symop_operation_xyz"};
constexpr DataName kHall{"_symmetry_space_group_name_Hall", "_space_group_name_Hall"};
constexpr DataName kHermannMauguin{"_symmetry_space_group_name_H-M", "_space_group_name_H-M_alt"};
constexpr DataName kNumber{"_symmetry_Int_Tables_number", "_space_group_IT_number"};

constexpr std::array<const char*, 6> kCellNames = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                                                   "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
constexpr std::array<const char*, 3> kCoordinateNames = {"_atom_site_fract_x", "_atom_site_fract_y",
                                                         "_atom_site_fract_z"};
constexpr std::array<const char*, 6> kAnisoU = {"_atom_site_aniso_U_11", "_atom_site_aniso_U_22",
                                                "_atom_site_aniso_U_33", "_atom_site_aniso_U_12",
                                                "_atom_site_aniso_U_13", "_atom_site_aniso_U_23"};
constexpr std::array<const char*, 6> kAnisoB = {"_atom_site_aniso_B_11", "_atom_site_aniso_B_22",
                                                "_atom_site_aniso_B_33", "_atom_site_aniso_B_12",
                                                "_atom_site_aniso_B_13", "_atom_site_aniso_B_23"};
/// Axes types 1 to 7 by name.
constexpr std::array<const char*, 7> kCellSettings = {"triclinic",  "monoclinic", "orthorhombic", "trigonal",
                                                      "tetragonal", "hexagonal",  "cubic"};
constexpr const char* kSiteLabel = "_atom_site_label";
constexpr const char* kAnisoLabel = "_atom_site_aniso_label";
constexpr std::size_t kMaxBlockNameShown = 32;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string firstWord(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && isSpace(text[start])) ++start;
  std::size_t end = start;
  while (end < text.size() && !isSpace(text[end])) ++end;
  return std::string(text.substr(start, end - start));
}

std::string withoutSpace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (!isSpace(c)) out.push_back(c);
  return out;
}

/// One block of an open CIF read into the context's document.
class CifImport {
 public:
  CifImport(ImportContext& context, CifReader& cif) : ctx_(context), cif_(cif) {
    // Angles a file leaves out are right angles rather than a degenerate zero.
    result.cell = {0.0f, 0.0f, 0.0f, 90.0f, 90.0f, 90.0f};
  }

  /// False when the sites could not be stored.
  bool run() {
    readCell();
    readCellSetting();
    readSymmetry();
    if (!readSites()) return false;
    readAnisotropic();
    return true;
  }

  ImportResult result;

 private:
  ImportContext& ctx_;
  CifReader& cif_;
  std::unordered_map<std::string, std::size_t> siteByLabel_;  ///< first site of each label
  bool coordinatesReported_ = false;

  /// The older name's value, else the newer one's.
  bool text(const DataName& name, std::string& out) { return cif_.getChar(name.older, out) || cif_.getChar(name.newer, out); }
  bool number(const char* name, double& value) {
    double su = 0;
    return cif_.getNumber(name, value, su);
  }

  void readCell();
  void readCellSetting();
  void readSymmetry();
  bool readSites();
  bool readSite(Site& site, std::string& element);
  void readAnisotropic();
  void assignAnisotropic(const std::string& label, const std::array<float, 6>& values, int ortepType);
};

void CifImport::readCell() {
  std::array<bool, 6> found{};
  for (std::size_t k = 0; k < kCellNames.size(); ++k) {
    double v = 0;
    if (!number(kCellNames[k], v)) continue;
    result.cell[k] = narrowToFloat(v);
    found[k] = true;
  }
  result.cellFound = found[0] && found[1] && found[2];
}

void CifImport::readCellSetting() {
  std::string value;
  // A file without the item is ordinary: the finish derives the axes from the cell.
  if (!text(kCellSetting, value)) return;
  const std::string setting = toLower(trim(value));
  for (std::size_t k = 0; k < kCellSettings.size(); ++k) {
    if (setting == kCellSettings[k]) {
      result.axesType = static_cast<int>(k) + 1;
      return;
    }
  }
  // Trigonal; whether its axes are rhombohedral follows from the cell, since files use
  // the word for hexagonal-axes cells of R groups too.
  if (setting == "rhombohedral") {
    result.axesType = 4;
    return;
  }
  ctx_.ui.message(" Cell setting not found");
}

void CifImport::readSymmetry() {
  const char* name = cif_.contains(kOperators.older) ? kOperators.older : kOperators.newer;
  const std::size_t count = cif_.packetCount(name);
  std::string value;
  for (std::size_t p = 0; p < count; ++p) {
    if (!cif_.getChar(name, value)) continue;
    const std::string line = toUpper(withoutSpace(value));
    if (line.empty()) continue;
    if (AppendSymmetryLine(ctx_.crystal(), line, ctx_.ui) == 0) break;
    result.hasXyzLines = true;
  }
  if (text(kHall, value)) result.hallSymbol = cut(trim(value), kMaxSymbolLength);
  if (text(kHermannMauguin, value)) result.hmSymbol = cut(trim(value), kMaxSymbolLength);
  double n = 0;
  if ((number(kNumber.older, n) || number(kNumber.newer, n)) && std::fabs(n) < 1e6) result.sgNumber = static_cast<int>(n);
}

/// Reads the current packet of the site loop; false when nothing could be read from it.
bool CifImport::readSite(Site& site, std::string& element) {
  std::string value;
  const bool labelRead = cif_.getChar(kSiteLabel, value);
  site.label = labelRead ? clampLabel(firstWord(value)) : std::string();
  site.ortepType = -1;
  std::array<float*, 3> coordinates = {&site.x, &site.y, &site.z};
  int coordinateCount = 0;
  double v = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    if (!number(kCoordinateNames[k], v)) continue;
    *coordinates[k] = narrowToFloat(v);
    ++coordinateCount;
  }
  // A packet nothing could be read from (a damaged last row) is no atom.
  if (!labelRead && coordinateCount == 0) return false;
  // Once per file: a file without coordinates would otherwise ask once per atom.
  if (coordinateCount < 3 && !coordinatesReported_) {
    coordinatesReported_ = true;
    ctx_.ui.message("One or more atom coordinates not found");
  }
  if (number("_atom_site_U_iso_or_equiv", v)) {
    site.isoValue = narrowToFloat(v);
    site.ortepType = 10;
  }
  if (number("_atom_site_B_iso_or_equiv", v)) {
    site.isoValue = narrowToFloat(v);
    site.ortepType = 6;
  }
  float occupancy = 1.0f;
  if (number("_atom_site_occupancy", v)) occupancy = narrowToFloat(v);
  element.clear();
  if (cif_.getChar("_atom_site_type_symbol", value)) element = firstWord(value);
  if (cif_.getChar("_atom_site_Wyckoff_symbol", value)) site.wyckoff = firstWord(value);
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  first.occupancy = occupancy;
  first.element = element;
  site.occupants = {std::move(first)};
  return true;
}

bool CifImport::readSites() {
  const std::size_t count = cif_.packetCount(kSiteLabel);
  if (!ReserveSites(ctx_, static_cast<long>(count))) return false;
  std::string element;
  for (std::size_t p = 0; p < count; ++p) {
    Site site;
    if (!readSite(site, element)) continue;
    const std::string label = site.label;
    if (!AddImportedSite(ctx_, std::move(site), label, element)) return false;
  }
  return true;
}

void CifImport::readAnisotropic() {
  const std::size_t count = cif_.packetCount(kAnisoLabel);
  if (count == 0) return;
  // Looking each label up in a table keeps a large structure from a search per packet.
  const std::vector<Site>& sites = ctx_.sites();
  siteByLabel_.reserve(sites.size());
  for (std::size_t i = 0; i < sites.size(); ++i) siteByLabel_.emplace(sites[i].label, i);
  std::string value;
  for (std::size_t p = 0; p < count; ++p) {
    const bool labelRead = cif_.getChar(kAnisoLabel, value);
    std::array<float, 6> values{};
    std::array<bool, 6> got{};
    int ortepType = 8;
    for (std::size_t k = 0; k < 6; ++k) {
      double v = 0;
      if ((got[k] = number(kAnisoU[k], v))) values[k] = narrowToFloat(v);
    }
    if (!(got[0] && got[1])) {
      // The B form of the same tensor.
      ortepType = 4;
      values = {};
      for (std::size_t k = 0; k < 6; ++k) {
        double v = 0;
        if ((got[k] = number(kAnisoB[k], v))) values[k] = narrowToFloat(v);
      }
    }
    if (!labelRead || !(got[0] && got[1])) continue;
    assignAnisotropic(clampLabel(firstWord(value)), values, ortepType);
  }
}

void CifImport::assignAnisotropic(const std::string& label, const std::array<float, 6>& values, int ortepType) {
  const auto found = siteByLabel_.find(label);
  if (found == siteByLabel_.end()) {
    // No site has the label: the framework's search says so.
    AssignTemperatureFactorsByLabel(ctx_, label, values, ortepType, 0, 0);
    return;
  }
  Site& site = ctx_.sites()[found->second];
  site.ortepType = ortepType;
  site.aniso = values;
}

/// The block to read: the only one, or the one chosen from the list of names.
std::optional<std::size_t> chooseBlock(ImportContext& context, const CifReader& cif) {
  const std::size_t count = cif.blockCount();
  if (count == 0) {
    context.ui.message("No data_ statement found");
    return std::nullopt;
  }
  if (count == 1) return 0;
  for (std::size_t i = 0; i < count; ++i)
    if (!AddDataSetName(context, trim(cut(cif.blockName(i), kMaxBlockNameShown)), static_cast<int>(i) + 1)) break;
  const int choice = ChooseDataSet(context);
  if (choice < 1) return std::nullopt;
  return static_cast<std::size_t>(choice - 1);
}

}  // namespace

bool ReadCif(ImportContext& context) {
  UserInterface& ui = context.ui;
  CifReader cif(ui);
  const auto dictionary = findDataFile(context.session, kCifDictionaryFile);
  if (!dictionary || !cif.loadDictionary(dictionary->string(), "valid")) {
    ui.message(format("File %s not found in Tessera home directory", kCifDictionaryFile));
    return false;
  }
  SetImportKind(context, kKindCif);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, false)) return false;
  // Only plain files: a device or a pipe could be read forever.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(context.path, ec) || !cif.openCif(context.path)) {
    ui.message("CIF cannot be opened");
    return false;
  }
  const auto block = chooseBlock(context, cif);
  if (!block) return false;
  cif.selectBlock(*block);
  ResetCrystalForImport(context, 0);
  CifImport reader(context, cif);
  reader.result.title = trim(cif.blockName(*block));
  if (!reader.run()) return false;
  FinishImport(context, false, reader.result);
  return true;
}

}  // namespace tessera
