#pragma once
// The space-group record the engine builds during one symmetry operation: the
// operator list closed under multiplication (one operator per centring coset),
// the lattice, the centric state and the symbols found for the group.

#include <array>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

struct TabSgName;

/// Most operators an operator list holds.
constexpr int kMaxListSeitzMx = 192;
/// Longest Hall symbol the engine writes.
constexpr std::size_t MaxLenHallSymbol = 39;

/// One row of the lattice table: its letter, latticeCode and centring translations (twelfths).
struct LatticeInfo {
  char code;                                     ///< P A B C I R S T F
  int latticeCode;                               ///< 1 P, 2 A, 3 B, 4 C, 5 F, 6 I, 7 R, 8 S, 9 T
  std::vector<std::array<int, 3>> translations;  ///< zero translation first
};

/// The lattice row for a letter (upper case), or nullptr.
const LatticeInfo* findLattice(char code);
/// The primitive lattice row.
const LatticeInfo& primitiveLattice();

/// Rotation analysis of an operator (see GetRotMxInfo).
struct RotMxInfo {
  int order = 0;                        ///< 1, 2, 3, 4, 6; negative for improper; 0 not crystallographic
  int inverse = 0;                      ///< sense: 0 equals the table rotation, 1 its inverse
  std::array<int, 3> eigenVector{};     ///< axis direction (fractional frame)
  char refAxis = 'o';                   ///< 'x', 'y', 'z' or 'o'
  char dirCode = '.';                   ///< '=', '"', '\'', '|', '\\', '*' or '.'
};

/// Crystal systems of the engine.
enum XtalSystem { XS_Unknown = 0, XS_Triclinic, XS_Monoclinic, XS_Orthorhombic, XS_Tetragonal, XS_Trigonal,
                  XS_Hexagonal, XS_Cubic };

/// Change of basis from a centred cell to a primitive one: rows of the primitive basis
/// vectors in the conventional frame, in twelfths.
struct CentringMatrix {
  char lattice;
  char uniqueAxis;           ///< for R, S, T: the axis it belongs to; '\0' otherwise
  std::array<int, 9> basis;  ///< row i: primitive vector i in conventional coordinates x12
};

/// The space-group record.
struct SgInfo {
  int generationOption = 0;
  int centric = 0;                 ///< 0 acentric, -1 inversion at origin (implicit), 1 listed explicitly
  int inversionOffOrigin = 0;
  const LatticeInfo* lattice = &primitiveLattice();
  int latticeTranslationStatus = 0;  ///< -1 lattice promoted while generating; 1 translations removed
  std::array<int, 3> originShift{};  ///< twelfths
  std::vector<SeitzMx> listSeitzMx;
  std::vector<RotMxInfo> listRotMxInfo;
  int orderL = 0;  ///< full order: point-group order times the centring translations
  int orderP = 0;  ///< point-group order
  int xtalSystem = XS_Unknown;
  char uniqueRefAxis = '\0';  ///< 'x', 'y', 'z', 'o' or none
  char uniqueDirCode = '\0';
  int extraInfo = 0;          ///< trigonal with a principal axis '=': 2 obverse, 3 reverse
  int pointGroup = 0;         ///< code 1..32 of the point-group table, 0 unknown
  int nGenerator = 0;
  std::array<int, 4> generators{};  ///< indices into listSeitzMx
  std::string HallSymbol;
  const TabSgName* tabSgName = nullptr;
  const CentringMatrix* centringMatrix = nullptr;
  bool fromHallSymbol = false;  ///< built from a Hall symbol: no origin-shift search

  /// The crystal receiving the side effects (lattice letter and code, point-group code), or none.
  CrystalRecord* crystal = nullptr;
  /// The pending error text of this construction ("" when none).
  std::string error;
  /// Operators ever given to Add2ListSeitzMx: the closure multiplies by them.
  std::vector<SeitzMx> closureGenerators;
  /// For each list entry, how many closure generators it has been multiplied by.
  std::vector<std::size_t> multiplied;

  int listCount() const { return static_cast<int>(listSeitzMx.size()); }
};

/// Clears the record: all fields zero, lattice P, no pending error; keeps the crystal pointer.
void ResetSgInfo(SgInfo& sg);

/// Sets the pending error (the first one is kept) and returns -1.
int setSgError(SgInfo& sg, std::string text);

}  // namespace tessera
