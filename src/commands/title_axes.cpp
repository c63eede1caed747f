#include "commands/title_axes.h"

#include <cmath>

#include "core/cell_geometry.h"
#include "core/text.h"

namespace tessera {

namespace {

/// An angle counts as non-ninety beyond this many radians from 90 degrees.
constexpr float kNinetyTolerance = 0.001f;

enum Choice {
  kUnitCartesian = 0,
  kTriclinic,
  kMonoclinic,
  kOrthorhombic,
  kRhombohedral,
  kTrigonalHexagonal,
  kTetragonal,
  kHexagonal,
  kCubic
};

bool isLength(int field) { return field < TitleAxesModel::kAlpha; }

void setUniqueAxisFromAngles(CrystalRecord& c, std::string& warning) {
  c.uniqueAxis = 0;
  int nonNinety = 0;
  int axis = 0;
  // alpha is about a, beta about b, gamma about c.
  constexpr std::array<int, 3> kAxisOfAngle = {1, 0, 2};
  for (int k = 0; k < 3; ++k) {
    if (std::fabs(c.cell[3 + k] - kRightAngle) > kNinetyTolerance) {
      ++nonNinety;
      axis = kAxisOfAngle[k];
    }
  }
  if (nonNinety == 1) c.uniqueAxis = axis;
  else if (nonNinety > 1) warning = "Error - more than one angle non-ninety in monoclinic";
  else warning = "No angles non-ninety in monoclinic - unique axis indeterminate";
}

std::string cleanTitle(std::string_view text) {
  std::string t = cut(text, kMaxTitleLength);
  // The title is one line of the native file.
  for (char& ch : t)
    if (ch == '\n' || ch == '\r') ch = ' ';
  return trimRight(t);
}

}  // namespace

const std::array<std::string_view, TitleAxesModel::kChoiceCount>& TitleAxesModel::axesChoiceNames() {
  static const std::array<std::string_view, kChoiceCount> names = {
      "unit Cartesian",        "triclinic",          "monoclinic", "orthorhombic", "trigonal rhombohedral",
      "trigonal hexagonal",    "tetragonal",         "hexagonal",  "cubic"};
  return names;
}

std::string_view TitleAxesModel::fieldLabel(int field) {
  static const std::array<std::string_view, kFieldCount> labels = {"a:", "b:", "c:", "alpha:", "beta:", "gamma:"};
  return labels.at(static_cast<std::size_t>(field));
}

float TitleAxesModel::fieldMinimum(int) { return 0.1f; }

float TitleAxesModel::fieldMaximum(int field) { return isLength(field) ? 1000.0f : 180.0f; }

std::string TitleAxesModel::rangeMessage(int field) {
  std::string text = "Please enter a number between %1 and %2.";
  text.replace(text.find("%1"), 2, format("%g", static_cast<double>(fieldMinimum(field))));
  text.replace(text.find("%2"), 2, format("%g", static_cast<double>(fieldMaximum(field))));
  return text;
}

std::string TitleAxesModel::fieldText(float value) { return format("%g", static_cast<double>(value)); }

bool TitleAxesModel::fieldShown(int axesChoice, int field) {
  switch (axesChoice) {
    case kTriclinic:
    case kMonoclinic: return true;
    case kOrthorhombic: return isLength(field);
    case kRhombohedral: return field == kA || field == kAlpha;
    case kTrigonalHexagonal:
    case kTetragonal:
    case kHexagonal: return field == kA || field == kC;
    case kCubic: return field == kA;
    default: return false;
  }
}

int axesChoiceFor(const CrystalRecord& crystal) {
  CrystalRecord c = crystal;
  // A crystal whose axes were never set would open as "unit Cartesian", and OK
  // would then replace its cell by 1, 1, 1: take the axes from the cell instead.
  if (c.axesType < 1 || c.axesType > 8) deriveAxesType(c);
  switch (c.axesType) {
    case 1:
    case 2:
    case 3: return c.axesType;
    case 4: return c.rhombohedralAxes == 1 ? kRhombohedral : kTrigonalHexagonal;
    case 5: return kTetragonal;
    case 6: return kHexagonal;
    case 7: return kCubic;
    case 8: return kUnitCartesian;
    default: return kTriclinic;
  }
}

void TitleAxesModel::loadFrom(const CrystalDocument& doc) {
  const CrystalRecord& c = doc.crystals[0];
  title = doc.title;
  axesChoice = axesChoiceFor(c);
  for (int k = 0; k < kFieldCount; ++k) cell[k] = isLength(k) ? c.cell[k] : c.cell[k] / kDegToRad;
}

std::optional<TitleAxesModel::Problem> TitleAxesModel::takeFieldTexts(
    const std::array<std::string, kFieldCount>& texts) {
  for (int k = 0; k < kFieldCount; ++k) {
    if (!fieldVisible(k)) continue;
    const auto value = parseDouble(texts[k]);
    if (!value) return Problem{k, rangeMessage(k)};
    cell[k] = static_cast<float>(*value);
    if (!inRange(k)) return Problem{k, rangeMessage(k)};
  }
  return std::nullopt;
}

bool TitleAxesModel::inRange(int field) const {
  const float v = cell[static_cast<std::size_t>(field)];
  return v >= fieldMinimum(field) && v <= fieldMaximum(field);
}

std::optional<TitleAxesModel::Problem> TitleAxesModel::validate() const {
  for (int k = 0; k < kFieldCount; ++k) {
    if (!fieldVisible(k)) continue;
    if (!inRange(k)) return Problem{k, rangeMessage(k)};
  }
  return std::nullopt;
}

std::string TitleAxesModel::applyTo(CrystalDocument& doc) const {
  CrystalRecord& c = doc.crystals[0];
  for (int k = 0; k < kFieldCount; ++k) c.cell[k] = isLength(k) ? cell[k] : cell[k] * kDegToRad;
  doc.title = cleanTitle(title);
  auto& a = c.cell;
  const auto rightAngles = [&a] { a[3] = a[4] = a[5] = kRightAngle; };
  const auto hexagonalAngles = [&a] {
    a[3] = a[4] = kRightAngle;
    a[5] = kAngle120;
  };
  std::string warning;
  c.rhombohedralAxes = 0;
  switch (axesChoice) {
    case kUnitCartesian:
      c.axesType = 8;
      a[0] = a[1] = a[2] = 1.0f;
      rightAngles();
      break;
    case kTriclinic: c.axesType = 1; break;
    case kMonoclinic:
      c.axesType = 2;
      setUniqueAxisFromAngles(c, warning);
      break;
    case kOrthorhombic:
      c.axesType = 3;
      rightAngles();
      break;
    case kRhombohedral:
      c.axesType = 4;
      c.rhombohedralAxes = 1;
      a[1] = a[2] = a[0];
      a[4] = a[5] = a[3];
      break;
    case kTrigonalHexagonal:
      c.axesType = 4;
      a[1] = a[0];
      hexagonalAngles();
      break;
    case kTetragonal:
      c.axesType = 5;
      a[1] = a[0];
      rightAngles();
      break;
    case kHexagonal:
      c.axesType = 6;
      a[1] = a[0];
      hexagonalAngles();
      break;
    case kCubic:
      c.axesType = 7;
      a[1] = a[2] = a[0];
      rightAngles();
      break;
    default: break;
  }
  return warning;
}

}  // namespace tessera
