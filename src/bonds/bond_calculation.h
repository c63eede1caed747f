#pragma once
// The bond calculation: the coordination sphere of every input atom of the active
// crystal (or of one), with the optional angles and neighbour-neighbour
// distances, written as the text of "BONDS.OUT".

#include <string>
#include <vector>

#include "bonds/coordination_sphere.h"
#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// The limits and switches of one run.
struct BondParameters {
  float centralLigandLimit = 2.6f;  ///< Angstrom
  float ligandLigandLimit = 3.6f;   ///< Angstrom
  float angleLimit = 2.6f;          ///< Angstrom
  bool angles = false;              ///< write the angle section
};

/// Shown when the chosen crystal's cell cannot give distances.
inline constexpr const char* kBondCellMessage =
    "The unit cell is not valid - edges must be positive and angles between 0 and 180 degrees";

/// Appends the block of one central atom: heading, central line, sphere listing and,
/// with parameters.angles, the angle section. `number` is the central atom's 1-based number.
void appendBondBlock(std::string& out, bool newAtoms, int number, const std::vector<Site>& sites,
                     const CoordinationSphere& sphere, const BondMetric& metric, const BondParameters& parameters);

/// Runs the calculation on the document's active crystal for central atom `central`
/// (1-based; -1 for all): builds the operator table when needed, stores the reciprocal
/// lengths in the crystal, shows kTooManyAtomsMessage for each overfull sphere and
/// appends the report to `out`. False (message shown, nothing appended) when the cell
/// is unusable.
bool calculateBonds(CrystalDocument& doc, int central, const BondParameters& parameters, UserInterface& ui,
                    std::string& out);

}  // namespace tessera
