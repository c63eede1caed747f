#pragma once
// The scattering-factor table "scatfac.dat": four-Gaussian X-ray form factors and
// neutron scattering lengths, one row per atom type number, and the amplitude of a
// site (its occupants weighted by occupancy).

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Most rows the table holds.
constexpr int kMaxScatteringRows = 120;

/// Neutron scattering lengths of deuterium and tritium (units of 10 fm, as the table).
constexpr float kDeuteriumLength = 0.6671f;
constexpr float kTritiumLength = 0.4792f;

/// One row: a1 b1 a2 b2 a3 b3 a4 b4 c and the neutron length bn.
struct ScatteringRow {
  std::array<float, 10> values{};
};

/// The rows read from the file; row r (1-based) belongs to atom type number r.
struct ScatteringTable {
  std::vector<ScatteringRow> rows;

  int rowCount() const { return static_cast<int>(rows.size()); }
  /// True when r (1-based) names a row of the table.
  bool hasRow(int r) const { return r >= 1 && r <= rowCount(); }
};

/// Reads the records of a scatfac.dat text into `table` (rows read before a stop stay);
/// "Missing or extra scattering factor" when a record's closing number is not its position.
void readScatteringTable(std::string_view text, ScatteringTable& table, UserInterface& ui);

/// Reads "scatfac.dat" from the home directory; a failed open shows "Scattering factor
/// file open failed" and leaves the table as it was.
void loadScatteringTable(const std::filesystem::path& home, ScatteringTable& table, UserInterface& ui);

/// X-ray form factor of row r (1-based) at s2 = (sin(theta)/lambda)^2; 0 for a row the table lacks.
double xrayFormFactor(const ScatteringTable& table, int r, double s2);

/// Neutron scattering length of row r (1-based); 0 for a row the table lacks.
double neutronLength(const ScatteringTable& table, int r);

/// The neutron length of an occupant: deuterium's or tritium's for type 1 written "D" or
/// "T", otherwise its row's.
double occupantNeutronLength(const ScatteringTable& table, const SiteOccupant& occupant);

/// The amplitude of a site at s2: the occupants' form factors (X-ray) or lengths
/// (neutron) weighted by occupancy. Occupants outside the table count 0.
double siteAmplitude(const ScatteringTable& table, const Site& site, double s2, bool neutron);

}  // namespace tessera
