#pragma once
// The unit-cell builder: every atom of one unit cell from a list of sites and a
// crystal's symmetry (operators, inversion through the origin, centring).

#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "transform/transform_parameters.h"

namespace tessera {

/// One atom of a unit-cell list.
struct UnitCellAtom {
  float x = 0, y = 0, z = 0;  ///< fractional coordinates in [-0.00001, 0.99999)
  int siteIndex = 0;          ///< 1-based index of the originating site
  int operatorIndex = 0;      ///< 1-based index of the operator that produced it
  int averagedCount = 1;      ///< entries merged into this one (new-cell list of mode 2)
  int typeNumber = 0;         ///< the site's typeNumber

  Vector3f position() const { return {x, y, z}; }
  void setPosition(const Vector3f& p) { x = p[0]; y = p[1]; z = p[2]; }
};

/// Centring translations of a lattice code (fractions), the zero translation first.
const std::vector<Vector3f>& centringTranslations(int latticeCode);

/// The operators FillUnitCell applies: the first opCount entries of the table.
int usableOperatorCount(const CrystalRecord& crystal);

/// True when the image signs include -1 (centrosymmetric with the inversion at the origin).
inline bool appliesInversion(const CrystalRecord& c) { return c.acentric == 0 && c.inversionOffOrigin == 0; }

/// The image of x under sign p and operator k (0-based): t_k + p R_k x (fractions, unreduced).
Vector3f applyOperator(const SymmetryOperator& op, float sign, const Vector3f& x);

/// Brings z into the cell by the first lattice translation (0, 1, -1, 2, -2 per axis,
/// only 0 along an aperiodic axis) that does, or else onto the lower cell face (see
/// onLowerFace); false when neither is possible.
bool translateIntoCell(const Vector3f& z, const std::array<int, 3>& aperiodic, Vector3f& w);

/// True for a coordinate just below -0.00001 (within 0.000001), such as 0.99999 - 1:
/// on the lower cell face, where reducing into the cell may leave a coordinate.
inline bool onLowerFace(float v) { return v <= kCellLow && v >= kCellLow - 1e-6f; }

/// Which heading the listing of a unit-cell list carries.
enum class UnitCellHeading { OldCell, NewCell };

/// Appends the report line of one unit-cell atom (running number 1-based) with the site's label.
void appendUnitCellAtomLine(std::string& report, int number, const UnitCellAtom& atom, const std::string& label);

/// The heading of a unit-cell listing.
std::string unitCellHeading(UnitCellHeading heading);

/// Fills `atoms` with every atom of the cell generated from `sites` under `crystal`'s
/// symmetry (rebuilding its operator table first when needed). Sets each site's
/// auxNumber to its number of positions in the cell. With `report`, the "not in cell"
/// lines and the listing are appended to it. False when the list could not grow (the
/// message has been shown).
bool fillUnitCellFrom(CrystalRecord& crystal, std::vector<Site>& sites, UnitCellHeading heading,
                      UserInterface& ui, std::vector<UnitCellAtom>& atoms, std::string* report);

/// FillUnitCell on the document's active crystal: selector 0 the input sites, 1 the
/// New crystal's sites. The listing goes to `report` when it is given and
/// `reportEnabled` is set.
bool FillUnitCell(CrystalDocument& doc, int selector, UserInterface& ui, std::vector<UnitCellAtom>& atoms,
                  std::string* report = nullptr);

}  // namespace tessera
