#include "symmetry/symmetry_assignment.h"

#include <cmath>

#include "core/text.h"
#include "symmetry/sg_table.h"
#include "symmetry/space_group.h"

namespace tessera {

void setDefaultP1(CrystalRecord& c) {
  c.p1Defaulted = 1;
  c.hmSymbol = "P1";
  c.pointGroupHM = "1";
  c.pointGroupSchoenflies = "C1";
  c.latticeCode = 1;
  c.latticeName = "P";
  c.acentric = 1;
  c.xyzLines = {"X,Y,Z;"};
  c.matricesValid = 0;
  c.symmetrySource = 1;
}

std::optional<std::array<float, 3>> originChoiceShift(int number) {
  using S = std::array<float, 3>;
  switch (number) {
    case 48: return S{0.25f, 0.25f, 0.25f};
    case 50: case 59: return S{0.25f, 0.25f, 0.0f};
    case 68: return S{0.0f, 0.25f, 0.25f};
    case 70: case 203: case 227: return S{-0.125f, -0.125f, -0.125f};
    case 85: case 129: case 130: return S{-0.25f, 0.25f, 0.0f};
    case 86: case 126: case 133: case 134: case 137: case 138: case 201: case 222: case 224:
      return S{-0.25f, -0.25f, -0.25f};
    case 88: return S{0.0f, -0.25f, -0.125f};
    case 125: return S{-0.25f, -0.25f, 0.0f};
    case 141: case 142: return S{0.0f, 0.25f, -0.125f};
    case 228: return S{-0.375f, -0.375f, -0.375f};
    default: return std::nullopt;
  }
}

bool applyOriginChoiceShift(CrystalDocument& doc, int number, UserInterface& ui) {
  const auto shift = originChoiceShift(number);
  if (!shift) return false;
  ui.message("Atom coordinates will be changed for origin on center");
  auto move = [](float& u, float s) {
    u += s;
    if (u < 0.0f) u += 1.0f;
    if (u >= 1.0f) u -= 1.0f;
  };
  for (Site& s : doc.sites[0]) {
    move(s.x, (*shift)[0]);
    move(s.y, (*shift)[1]);
    move(s.z, (*shift)[2]);
  }
  return true;
}

void checkMonoclinicCell(CrystalRecord& c, int groupAxis, UserInterface& ui) {
  const bool degrees = c.cell[3] > 7.0f;
  const double right = degrees ? 90.0 : M_PI / 2.0;
  int count = 0;
  int which = -1;
  for (int k = 0; k < 3; ++k) {
    if (std::fabs(c.cell[3 + k] - right) > 0.00001) {
      ++count;
      which = k;
    }
  }
  const bool allAperiodic = c.aperiodicAxes[0] && c.aperiodicAxes[1] && c.aperiodicAxes[2];
  if (count > 1 && !allAperiodic) ui.message("Note - more than one non-90-degree interaxial angle in monoclinic system");
  if (groupAxis < 0 || groupAxis > 2) {
    ui.message("Error - no unique axis for monoclinic system");
    return;
  }
  // uniqueAxis numbers the axes b 0, a 1, c 2.
  static constexpr int kUniqueOf[3] = {1, 0, 2};
  const bool disagrees = kUniqueOf[groupAxis] != c.uniqueAxis;
  // Only a single non-right angle can be moved onto the group's axis; with none or
  // several the cell is left as it is.
  if (count == 1 && which != groupAxis) {
    c.cell[3 + groupAxis] = c.cell[3 + which];
    c.cell[3 + which] = static_cast<float>(degrees ? 90.0 : kRightAngle);
  }
  if (disagrees) {
    ui.message("Monoclinic - Symmetry and unit cell do not agree (unique axis)");
    if (count == 1) c.uniqueAxis = kUniqueOf[groupAxis];
  }
}

namespace {

/// The axes types a crystal system allows.
bool axesTypeFits(int xtalSystem, int axesType) {
  switch (xtalSystem) {
    case XS_Triclinic: return axesType == 1;
    case XS_Monoclinic: return axesType == 2;
    case XS_Orthorhombic: return axesType == 3;
    case XS_Tetragonal: return axesType == 5;
    case XS_Trigonal: return axesType == 6 || axesType == 4;
    case XS_Hexagonal: return axesType == 6;
    case XS_Cubic: return axesType == 7;
    default: return false;
  }
}

int axisIndex(char axis) { return axis == 'x' ? 0 : axis == 'y' ? 1 : axis == 'z' ? 2 : -1; }

int failWith(UserInterface& ui, const std::string& error) {
  ui.message(error.empty() ? "Unknown error in SgInfo" : error);
  return 1;
}

}  // namespace

int AssignSpaceGroup(CrystalRecord& c, const std::string& text, int kind, int setting, UserInterface& ui) {
  SgInfo sg;
  sg.crystal = &c;
  const int built = kind == kSymbolHall ? BuildSgInfoFromHall(text, sg)
                                        : BuildSgInfoFromSymbol(text, setting == 1 ? 'I' : 'A', sg);
  if (built != 0 || !sg.error.empty()) return failWith(ui, sg.error);

  const TabSgName* row = sg.tabSgName;
  c.sgNumber = row ? row->number : 0;
  c.sgNumberText = row ? row->key() : std::string();
  // The full form of the row's symbol (the same form identification writes); for rows
  // with three forms the text after the first "=" would still hold a second "=".
  if ((kind == kSymbolHall || kind == kSymbolNumber) && row) c.hmSymbol = row->documentHmSymbol();
  if (kind == kSymbolHM || kind == kSymbolNumber) c.hallSymbol = sg.HallSymbol;
  c.acentric = sg.centric == 0 ? 1 : 0;
  c.inversionOffOrigin = 0;
  if (sg.inversionOffOrigin) {
    c.inversionOffOrigin = 1;
    c.acentric = 0;
  }

  const bool allAperiodic = c.aperiodicAxes[0] && c.aperiodicAxes[1] && c.aperiodicAxes[2];
  if (!allAperiodic && !axesTypeFits(sg.xtalSystem, c.axesType)) ui.message("Warning: space group does not match axis type");
  if (sg.xtalSystem == XS_Monoclinic) checkMonoclinicCell(c, axisIndex(sg.uniqueRefAxis), ui);

  const bool rhombohedralGroup = row && !row->extension.empty() && row->extension[0] == 'R';
  const bool rhombohedralAxes = c.axesType == 4 && c.rhombohedralAxes;
  if (rhombohedralAxes && !rhombohedralGroup)
    ui.message("Error - crystal axes are rhombohedral and space group is non-rhombohedral");
  if (rhombohedralGroup && !rhombohedralAxes)
    ui.message("Error - space group is rhombohedral and crystal axes are non-rhombohedral");

  if (!listIsValid(sg)) return failWith(ui, "Error: Illegal SeitzMx in list");
  std::vector<std::string> lines = listedOperatorLines(sg);
  if (static_cast<int>(lines.size()) >= kMaxSymmetryLines) return failWith(ui, "Sginfo - more than 48 symmetry lines");
  c.xyzLines = std::move(lines);
  c.matricesValid = 0;
  if (!sg.error.empty()) return failWith(ui, sg.error);
  c.aperiodicAxes = {0, 0, 0};
  return 0;
}

int AssignFromDocumentSymbol(CrystalRecord& c, int kind, UserInterface& ui) {
  if (kind == kSymbolNumber) {
    c.hallSymbol = c.sgNumberText;
  } else if (kind != kSymbolHall) {
    c.hallSymbol = c.hmSymbol;
  }
  c.matricesValid = 0;
  c.symbolKind = kind;
  int result = 1;
  {
    BusyCursor busy(ui);
    result = AssignSpaceGroup(c, c.hallSymbol, kind, 0, ui);
  }
  if (result != 0) {
    ui.message("Space-group assignment failed");
    return 0;
  }
  c.symmetrySource = 1;
  return 1;
}

bool AssignPointGroup(CrystalRecord& c, UserInterface& ui) {
  struct PointGroup {
    const char* schoenflies;
    const char* hm;
    int number;
  };
  static constexpr PointGroup kGroups[32] = {
      {"C1", "1", 1},      {"Ci", "B1", 2},      {"C2", "2", 3},      {"Cs", "m", 6},       {"C2h", "2/m", 10},
      {"C2v", "mm2", 25},  {"D2", "222", 16},    {"D2h", "mmm", 47},  {"C3", "3", 143},     {"C3I", "B3", 147},
      {"D3", "32", 150},   {"C3v", "3m", 156},   {"D3d", "B3m", 164}, {"C4", "4", 75},      {"S4", "B4", 81},
      {"C4h", "4/m", 83},  {"D4", "422", 89},    {"C4v", "4mm", 99},  {"D2d", "B42m", 111}, {"D4h", "4/mmm", 123},
      {"C6", "6", 168},    {"C3h", "B6", 174},   {"C6h", "6/m", 175}, {"D6", "622", 177},   {"C6v", "6mm", 183},
      {"D3h", "B6m2", 187}, {"D6h", "6/mmm", 191}, {"T", "23", 195},   {"Th", "mB3", 200},   {"O", "432", 207},
      {"Td", "B43m", 215}, {"Oh", "m3m", 221}};
  if (c.pointGroupIndex < 1 || c.pointGroupIndex > 32) {
    ui.message("Point-group assignment failed");
    return false;
  }
  const PointGroup& g = kGroups[c.pointGroupIndex - 1];
  // Kept without the blank padding of fixed-width listings: these are single-token texts.
  c.pointGroupSchoenflies = g.schoenflies;
  c.pointGroupHM = g.hm;
  c.sgNumber = g.number;
  c.sgNumberText = std::to_string(g.number) + (g.number == 3 ? ":c" : "");
  int result = 1;
  {
    BusyCursor busy(ui);
    result = AssignSpaceGroup(c, c.sgNumberText, kSymbolNumber, 0, ui);
  }
  if (result != 0) {
    ui.message("Point-group assignment failed");
    return false;
  }
  return true;
}

}  // namespace tessera
