#pragma once
// The transformation report: its sections and line formats, written into a
// string while the engine works and saved to the report file at the end.

#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/text.h"
#include "transform/unit_cell.h"

namespace tessera {

/// Date (MM/DD/YY) and time (HH:MM:SS) printed in the report head.
struct ReportStamp {
  std::string date;
  std::string time;
};

/// The current local date and time.
ReportStamp currentReportStamp();

/// Program line, "File:" line and the mode line (mode 0, 1 or 2).
void appendReportHead(std::string& r, const ReportStamp& stamp, const std::string& documentPath, int mode);

/// Mode 0 heading of the translated atoms.
void appendTranslatedHeading(std::string& r);

/// Mode 1 heading of the transformed input atoms.
void appendInputAtomsHeading(std::string& r);

/// One line of a site listing in modes 0 and 1 (number 1-based).
void appendSiteLine(std::string& r, int number, const Site& site);

/// "Tolerance:" line (mode 2).
void appendToleranceLine(std::string& r, float tolerance);

/// Old cell block with its volume (A^3) and the Old symmetry line for sources 1 and 4.
void appendOldCell(std::string& r, const CrystalRecord& oldCrystal, float volume);

/// Translations and conversion matrix; the pre-symmetry line only when asked (mode 2).
void appendParameters(std::string& r, const Transformation& t, bool withPreSymmetry);

/// New symmetry line for sources 1 and 4 (mode 2).
void appendNewSymmetry(std::string& r, const CrystalRecord& newCrystal);

/// New cell block with its volume (A^3) and the ratio of volumes.
void appendNewCell(std::string& r, const Cell& cell, float volume, float ratio);

/// The block for a merge of atoms of different types; `oldLatticeStep` picks the heading.
void appendDifferentTypes(std::string& r, bool oldLatticeStep, const std::string& oldLabel, const UnitCellAtom& old,
                          const std::string& newLabel, int newType, const Vector3f& arriving);

/// The new-cell list with averaged counts; labels come from the sites by site index.
void appendNewCellList(std::string& r, const std::vector<UnitCellAtom>& atoms, const std::vector<Site>& sites);

/// The symmetry-unique atoms with their averaging counts (auxNumber).
void appendUniqueAtoms(std::string& r, const std::vector<Site>& unique);

/// "Recycling - cycle no." line.
void appendRecycling(std::string& r, int cycle);

/// The label of a 1-based site index in a site list ("" when out of range).
std::string labelOfSite(const std::vector<Site>& sites, int siteIndex);

}  // namespace tessera
