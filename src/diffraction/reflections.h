#pragma once
// Reflections of a crystal: d-spacings, the tests of a reflection against the
// space group (index region, systematic absence, multiplicity, suppression of
// equivalents) and the list of unique reflections within an angle limit.

#include <array>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "symmetry/sg_info.h"

namespace tessera {

/// Text of the engine's consistency error in the reflection tests.
inline constexpr const char* kInconsistentSymmetry = "Internal Error: Inconsistent symmetry matrices";

/// lambda / 2d up to this counts as 1 (a cell in single precision cannot place d exactly).
constexpr double kSphereLimit = 1.0 + 1e-7;

/// One entry of a reflection list.
struct Reflection {
  double d = 0;                    ///< Angstrom
  double absF = 0;                 ///< |F| (times 10 for neutrons: fm)
  double phase = 0;                ///< radians
  std::array<double, 2> twoTheta{};   ///< degrees, per wavelength
  std::array<double, 2> intensity{};  ///< powder intensity per wavelength
  int h = 0, k = 0, l = 0;
  int multiplicity = 0;
};

/// 1/d^2 of a cell (angles in radians) for h k l; 0 for (0 0 0) or a degenerate cell.
double inverseDSquared(const std::array<float, 6>& cell, int h, int k, int l);
/// d-spacing of h k l; a huge value for (0 0 0).
double dSpacing(const std::array<float, 6>& cell, int h, int k, int l);

/// a*, b*, c* as 1/d(100), 1/d(010), 1/d(001).
std::array<double, 3> reciprocalLengths(const std::array<float, 6>& cell);

/// The reflection tests of one space group (listed operators, centring, centric state).
class ReflectionRules {
 public:
  explicit ReflectionRules(const SgInfo& sg);

  /// Lower bounds (Minh, Mink, Minl) of the enumeration box for these upper bounds.
  std::array<int, 3> lowerBounds(int hmax, int kmax, int lmax) const;
  /// True when h k l is systematically absent (any operator and centring decides).
  bool isAbsent(int h, int k, int l) const;
  /// True when a present reflection meets two different phase restrictions (engine fault).
  bool hasInconsistentRestriction(int h, int k, int l) const;
  /// Equivalent reflections, each Friedel pair counted as two; 0 on an inconsistency.
  int multiplicity(int h, int k, int l) const;
  /// True when an equivalent (or the Friedel mate) inside the box precedes h k l.
  bool isSuppressed(int h, int k, int l, const std::array<int, 3>& lower, const std::array<int, 3>& upper) const;

 private:
  std::array<int, 3> transformed(std::size_t op, int h, int k, int l) const;
  std::vector<SeitzMx> ops_;
  std::vector<std::array<int, 3>> centring_;
  int centric_ = 0;
  int xtalSystem_ = 0;
  char uniqueAxis_ = '\0';
  char dirCode_ = '\0';
};

/// Builds the space group of a crystal from the symbol its symbolKind names; false with
/// the engine's error shown ("Unknown error in SgInfo" when it gives none).
bool buildCrystalSgInfo(const CrystalRecord& crystal, SgInfo& sg, UserInterface& ui);

/// Upper index bounds for a largest sin(theta)/lambda: trunc(2 a s + 0.5) + 2 with the
/// cell edges (oblique cells reach further than the d-spacings of the axes would say).
std::array<int, 3> indexBounds(const std::array<float, 6>& cell, double sMax);

/// The unique, present reflections (h k l) != 0 in the box of the bounds whose
/// lambdaSelect / (2d) is at most 1 and whose theta is at most thetaMaxDeg; sorted by
/// decreasing d, equal d in enumeration order. Empty with the message on failure.
std::vector<Reflection> buildReflectionList(const CrystalRecord& crystal, const std::array<int, 3>& upper,
                                            double lambdaSelect, double thetaMaxDeg, UserInterface& ui);

}  // namespace tessera
