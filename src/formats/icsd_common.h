#pragma once
// What the ICSD readers and writers share: the fraction table, numbers with
// standard uncertainties, the per-element running numbers, the temperature-factor
// plan of the writers and the full operator list of a crystal.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/crystal_document.h"
#include "core/session.h"

namespace tessera {

/// The three layouts as the file scan numbers them (RETRIEVE has two start lines).
enum IcsdLayout : int { kIcsdRetrieve = 1, kIcsdOriginal = 2, kIcsdCanSnd = 3, kIcsdRetrieveDb = 4 };

/// An operator text with every whole fraction written as a decimal ("1/2" as "0.500";
/// fractions outside the table with five decimals) and every ";" removed.
std::string icsdDecimalOperatorText(std::string_view line);

/// A numeric token with its standard uncertainty "(...)" cut off; nullopt when not a number.
std::optional<double> icsdNumber(std::string_view token);
/// A coordinate token: a whole fraction n/m exactly, else a number as icsdNumber reads it.
std::optional<double> icsdCoordinate(std::string_view token);

/// The element an occupant is written with: its element, else the symbol of its type, else "*".
std::string icsdElement(const SiteOccupant& occupant);

/// Per site, per occupant: the running number of the occupant's element (OH1 and OH2 count as O).
std::vector<std::vector<int>> icsdRunningNumbers(const std::vector<Site>& sites);

/// Which temperature-factor sections a writer writes, and the anisotropic form (8 U, 0 beta).
struct IcsdFactorPlan {
  bool aniso = false;
  bool iso = false;
  int anisoForm = 0;
};
IcsdFactorPlan icsdFactorPlan(const CrystalDocument& doc, const ProgramSettings& settings);

/// Every operator of the crystal as xyz text ("X,1/2+Y,Z"): its lines as written first,
/// then the copies implied by inversion at the origin and by the lattice centring.
std::vector<std::string> icsdAllOperatorLines(const CrystalRecord& crystal);

/// The lines of a text file ended by LF, CR LF or CR; lines holding control bytes are emptied
/// and counted in binaryLines.
std::vector<std::string> icsdSplitLines(std::string_view content, int& binaryLines);

}  // namespace tessera
