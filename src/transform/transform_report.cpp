#include "transform/transform_report.h"

#include <cstdio>
#include <ctime>

#include "core/text.h"
#include "transform/listing_format.h"

namespace tessera {

namespace {

float degrees(float radians) { return radians / kDegToRad; }

void appendCellLines(std::string& r, const Cell& c) {
  r += format(" a = %f, b = %f, c = %f\n alpha = %f, beta = %f, gamma = %f\n", c[0], c[1], c[2], degrees(c[3]),
              degrees(c[4]), degrees(c[5]));
}

void appendCoordinates(std::string& r, float x, float y, float z);

}  // namespace

namespace {

void appendCoordinates(std::string& r, float x, float y, float z) {
  appendListed(r, "% 9.5f", x);
  appendListed(r, "% 9.5f", y);
  appendListed(r, "% 9.5f", z);
}

}  // namespace

ReportStamp currentReportStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16], time[16];
  std::strftime(date, sizeof date, "%m/%d/%y", &local);
  std::strftime(time, sizeof time, "%H:%M:%S", &local);
  return {date, time};
}

void appendReportHead(std::string& r, const ReportStamp& stamp, const std::string& documentPath, int mode) {
  r += format(" \nTessera V0.91 (7/20/99)  Date: %9s  Time: %9s", stamp.date.c_str(), stamp.time.c_str());
  r += format(" \nFile: %s\n", documentPath.c_str());
  if (mode == 0) r += " \nTranslation only\n";
  else if (mode == 1) r += " \nTransforming input atoms only\n";
  else r += " \nTransforming all atoms in unit cells\n";
}

void appendTranslatedHeading(std::string& r) {
  r += "\n Translated Input Atoms (crystal coordinates)\n                  Type               Coordinates ";
  r += "\n\n";
}

void appendInputAtomsHeading(std::string& r) {
  r += "\n Symmetry-unique atoms in new unit cell (crystal coordinates)\n                  Type               Coordinates ";
  r += "\n\n";
}

void appendSiteLine(std::string& r, int number, const Site& s) {
  appendListed(r, "    %4d  %6.6s  %4d", number, s.label.c_str(), s.typeNumber);
  r += "  ";
  appendCoordinates(r, s.x, s.y, s.z);
  r += "\n";
}

void appendToleranceLine(std::string& r, float tolerance) { r += format("\n Tolerance: %6.3f \n", tolerance); }

void appendOldCell(std::string& r, const CrystalRecord& c, float volume) {
  r += "\n Old unit cell parameters:\n\n";
  appendCellLines(r, c.cell);
  r += format(" volume = %f\n", volume);
  if (c.symmetrySource == 1) r += format(" Old Symmetry - Space group: %s\n", c.hmSymbol.c_str());
  else if (c.symmetrySource == 4) r += format(" Old Symmetry - Custom: %s\n", c.hmSymbol.c_str());
}

void appendParameters(std::string& r, const Transformation& t, bool withPreSymmetry) {
  if (withPreSymmetry)
    r += format("\n Pre-symmetry translations: %8.3f  %8.3f  %8.3f\n", t.preSymmetryShift[0], t.preSymmetryShift[1],
                t.preSymmetryShift[2]);
  r += format("\n Pre-matrix translations: %8.3f  %8.3f  %8.3f\n", t.preMatrixShift[0], t.preMatrixShift[1],
              t.preMatrixShift[2]);
  r += "\n Conversion matrix:\n\n";
  for (const auto& row : t.matrix) r += format(" %8.3f  %8.3f  %8.3f\n", row[0], row[1], row[2]);
  r += format("\n Post-matrix translations: %8.3f  %8.3f  %8.3f\n", t.postMatrixShift[0], t.postMatrixShift[1],
              t.postMatrixShift[2]);
}

void appendNewSymmetry(std::string& r, const CrystalRecord& c) {
  if (c.symmetrySource == 1) r += format("\n New Symmetry - Space group: %s\n", c.hmSymbol.c_str());
  else if (c.symmetrySource == 4) r += format("\n New Symmetry - Custom: %s\n", c.hmSymbol.c_str());
}

void appendNewCell(std::string& r, const Cell& cell, float volume, float ratio) {
  r += "\n New unit cell parameters:\n\n";
  appendCellLines(r, cell);
  r += format(" volume = %f, vol. ratio = %6.2f\n", volume, ratio);
}

void appendDifferentTypes(std::string& r, bool oldLatticeStep, const std::string& oldLabel, const UnitCellAtom& old,
                          const std::string& newLabel, int newType, const Vector3f& arriving) {
  r += oldLatticeStep ? "\nCoincident atoms are different types (old lattice vectors)\n"
                      : "\nCoincident atoms are different types (new lattice vectors)\n";
  r += format("    Old atom: %-6.6s  %3d %9.5f %9.5f %9.5f\n", oldLabel.c_str(), old.typeNumber, old.x, old.y, old.z);
  r += format("    New atom: %-6.6s  %3d %9.5f %9.5f %9.5f\n", newLabel.c_str(), newType, arriving[0], arriving[1],
              arriving[2]);
}

void appendNewCellList(std::string& r, const std::vector<UnitCellAtom>& atoms, const std::vector<Site>& sites) {
  r += "\n All atoms in new unit cell (crystal coordinates)\n         Input    Type               Coordinates     No. Averaged";
  r += "\n\n";
  int number = 0;
  for (const UnitCellAtom& a : atoms) {
    appendListed(r, "    %4d  %6.6s  %4d  %4d", ++number, labelOfSite(sites, a.siteIndex).c_str(), a.siteIndex,
                 a.typeNumber);
    r += "  ";
    appendListed(r, " %9.5f", a.x);
    appendListed(r, " %9.5f", a.y);
    appendListed(r, " %9.5f", a.z);
    appendListed(r, "       %3d", a.averagedCount);
    r += "\n";
  }
}

void appendUniqueAtoms(std::string& r, const std::vector<Site>& unique) {
  r += "\n Symmetry-unique atoms in new unit cell (crystal coordinates)\n                  Type               Coordinates        No. avd.";
  r += "\n\n";
  int number = 0;
  for (const Site& s : unique) {
    appendListed(r, "    %4d  %6.6s  %4d", ++number, s.label.c_str(), s.typeNumber);
    r += "  ";
    appendCoordinates(r, s.x, s.y, s.z);
    appendListed(r, "  %3d", s.auxNumber);
    r += "\n";
  }
}

void appendRecycling(std::string& r, int cycle) { r += format("\n ***\tRecycling - cycle no. %d\n", cycle); }

std::string labelOfSite(const std::vector<Site>& sites, int siteIndex) {
  if (siteIndex < 1 || static_cast<std::size_t>(siteIndex) > sites.size()) return std::string();
  return sites[static_cast<std::size_t>(siteIndex) - 1].label;
}

}  // namespace tessera
