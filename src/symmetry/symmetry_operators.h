#pragma once
// Symmetry operators: the integer form the space-group engine uses, the xyz
// text grammar with its parser and formatter, and the crystal's operator table
// built from its symmetry lines.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// Translation base of the integer operators: translations are in twelfths of a cell edge.
constexpr int STBF = 12;

/// An operator in integers: rotation row-major (row k: coefficients of x, y, z in new
/// coordinate k) and translation in twelfths (0..11 once reduced).
struct SeitzMx {
  std::array<int, 9> rotation{};     ///< row-major 3x3, fractional frame
  std::array<int, 3> translation{};  ///< twelfths of the cell edges

  friend bool operator==(const SeitzMx&, const SeitzMx&) = default;
};

/// The identity operator with zero translation.
SeitzMx identitySeitzMx();

/// Product a * b (b applied first); translations reduced into 0..STBF-1.
SeitzMx multiplySeitzMx(const SeitzMx& a, const SeitzMx& b);

/// Parses an xyz operator text ("-x+1/2,y,-z"); 0 on success, -1 on failure. On failure
/// *errorPosition (when given) receives the 0-based index of the character where it failed.
int ParseSymXYZ(std::string_view text, SeitzMx& out, int translationBase, int* errorPosition = nullptr);

/// Text of the internal error FormatFraction reports when its result would not fit.
inline constexpr const char* kFormatFractionError = "Internal Error: FormatFraction(): Buffer too small";
/// Text of the internal error RTMx2XYZ reports when its result would not fit.
inline constexpr const char* kRTMx2XYZError = "Internal Error: RTMx2XYZ(): BufferXYZ too small";

/// numerator/denominator as "0", "1/2", "-3", or with `decimal` as ".5"; nullopt past 39 characters.
std::optional<std::string> FormatFraction(int numerator, int denominator, bool decimal);

/// The operator as xyz text ("-X,1/2+Y,1/2-Z" with the defaults); nullopt past 79 characters.
std::optional<std::string> RTMx2XYZ(const SeitzMx& op, int rotationBase = 1, int translationBase = STBF,
                                    bool decimal = false, bool translationFirst = true, bool lowerCase = false,
                                    std::string_view separator = ",");

/// The float operator a crystal keeps for an integer one (translation in fractions, [0,1)).
SymmetryOperator toSymmetryOperator(const SeitzMx& op);

/// Parses every symmetry line into crystal.operators (slot i for line i; a line that fails
/// to parse holds the identity) and completes the table by inversion when acentric is 0 and
/// inversionOffOrigin is 0; sets opCount and matricesValid. Messages through ui.
void BuildSymmetryMatrices(CrystalRecord& crystal, UserInterface& ui);

/// Finds centring-related and inversion-related lines and, when the user agrees, removes
/// the redundant ones (setting the lattice, or acentric = 0).
void DetectCentringAndInversion(CrystalRecord& crystal, UserInterface& ui, bool checkInversion,
                                bool checkCentring);

/// Appends a symmetry line; 1 when added, 0 when the crystal already holds 192 lines.
int AppendSymmetryLine(CrystalRecord& crystal, std::string_view text, UserInterface& ui);

/// Appends the line of an operator given as 3 rows of (x, y, z coefficients, translation in
/// fractions); 1 when added, 0 when refused (line limit, or a translation that is no
/// multiple of 1/12).
int AppendOperatorFromMatrix(CrystalRecord& crystal, const std::array<std::array<float, 4>, 3>& matrix,
                             UserInterface& ui);

}  // namespace tessera
