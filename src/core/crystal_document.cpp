#include "core/crystal_document.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace tessera {

SiteOccupant SiteOccupant::makeDefault(const std::string& label, int origNumber, int typeNumber) {
  SiteOccupant o;
  o.label = label;
  o.occupancy = 1.0f;
  o.charge = 0.0f;
  o.origNumber = origNumber;
  o.scatteringNumber = 0;
  o.typeNumber = typeNumber;
  o.element = "*";
  return o;
}

void Site::normaliseOccupants(int siteIndex) {
  if (occupants.empty()) occupants.push_back(SiteOccupant::makeDefault(label, siteIndex, typeNumber));
  occupants[0].label = label;
  occupants[0].typeNumber = typeNumber;
}

void Transformation::resetToIdentity() {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) matrix[i][j] = (i == j) ? 1.0f : 0.0f;
  postMatrixShift = {};
  preMatrixShift = {};
  preSymmetryShift = {};
}

void clearDocument(CrystalDocument& doc) {
  doc.sites[0].clear();
  doc.sites[0].shrink_to_fit();
  doc.sites[1].clear();
  doc.sites[1].shrink_to_fit();
  doc.crystals[0] = CrystalRecord{};
  doc.crystals[1] = CrystalRecord{};
  doc.selectedSite = 0;
}

bool growSites(std::vector<Site>& sites, std::size_t requested) {
  if (sites.capacity() >= requested) return true;
  try {
    // The record grows to max(requested, capacity + 20); reserving at least double
    // keeps a long series of small growths linear.
    const std::size_t target = std::max({requested, sites.capacity() + 20, sites.capacity() * 2});
    sites.reserve(target);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

int latticeCodeFromLetter(char letter) {
  switch (letter) {
    case 'P': return 1;
    case 'A': return 2;
    case 'B': return 3;
    case 'C': return 4;
    case 'F': return 5;
    case 'I': return 6;
    case 'R': return 7;
    default: return 1;
  }
}

void copyNewToOld(CrystalDocument& doc) {
  doc.crystals[0] = doc.crystals[1];
  doc.sites[0] = doc.sites[1];
  doc.modified = true;
}

void setP1Symmetry(CrystalRecord& c) {
  c.hmSymbol = "P1";
  c.pointGroupHM = "1";
  c.pointGroupSchoenflies = "C1";
  c.latticeCode = 1;
  c.latticeName = "P";
  c.acentric = 1;
  c.xyzLines = {"X,Y,Z;"};
  c.matricesValid = 0;
}

void setNewDocumentDefaults(CrystalDocument& doc) {
  CrystalRecord& c = doc.crystals[0];
  c.axesType = 8;
  c.cell = {1.0f, 1.0f, 1.0f, kRightAngle, kRightAngle, kRightAngle};
  c.aperiodicAxes = {1, 1, 1};
  setP1Symmetry(c);
  doc.title.clear();
}

std::string clampLabel(std::string_view label) {
  return std::string(label.substr(0, std::min(label.size(), kMaxLabelLength)));
}

}  // namespace tessera
