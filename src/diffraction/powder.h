#pragma once
// The powder pattern: wavelengths by radiation mode, intensities of the reflection
// list with the Lorentz(-polarisation) factor, the listing "LIST.OUT", the CSV table
// and the continuous profile.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"
#include "diffraction/reflections.h"
#include "diffraction/scattering_table.h"

namespace tessera {

/// Characteristic lines of an X-ray target (Angstrom) and its list text.
struct XrayTarget {
  const char* listText;
  double kAlpha1, kAlpha2, kBeta;
};

/// The seven targets Cr, Fe, Co, Ni, Cu, Mo, Ag by xrayTarget.
const std::array<XrayTarget, 7>& xrayTargets();

/// The radiation-mode texts of the dialog, by radiationMode.
const std::array<const char*, 5>& radiationModeNames();

/// Radiation mode of neutrons.
constexpr int kNeutronMode = 4;

/// The wavelengths in use.
struct PowderWavelengths {
  int count = 1;
  std::array<double, 2> lambda{};
  double secondWeight = 0;                     ///< 0.5 for Ka2, betaIntensity for Kb
  std::array<const char*, 2> labels{" ", " "};  ///< column labels of the listing
  /// The shorter wavelength in use (reflections are selected with it).
  double shortest() const { return count == 2 ? std::min(lambda[0], lambda[1]) : lambda[0]; }
};

/// Wavelengths by radiationMode and xrayTarget (targets outside 0..6 count as Cu).
PowderWavelengths powderWavelengths(const PowderSettings& settings);

/// twoThetaMax, with 0 taken as 80.
double effectiveTwoThetaMax(const PowderSettings& settings);
/// powderFWHM, with 0 taken as 0.2.
double effectiveFwhm(const PowderSettings& settings);

/// The result of one powder calculation of one crystal.
struct PowderPattern : PatternHeading {
  PowderSettings settings;  ///< the settings the pattern was calculated with
  PowderWavelengths wavelengths;
  std::vector<Reflection> reflections;
  double maxIntensity = 0;  ///< the largest first-wavelength intensity
};

/// Powder intensities of |F|^2 = f2 with multiplicity m at wavelength lambda: the row's
/// 2-theta and intensity (0 when lambda / 2d > 1 or 2-theta is 180 degrees).
std::pair<double, double> powderLine(double f2, int m, double d, double lambda, bool neutron);

/// The calculation on the document's active crystal; sets thetaMax and maxIntensity in
/// the document's settings.
PowderPattern calculatePowder(CrystalDocument& doc, const ScatteringTable& table, UserInterface& ui);

/// trunc(i / max x 100 + 0.5); 0 when max is 0.
int relativeIntensity(double intensity, double maxIntensity);

/// "Lambda: ..." or "Lambda(1): ... Lambda(2): ..." (and "Neutron - lambda: ..." when asked).
std::string radiationLine(const PowderPattern& p, bool neutronForm);
/// "Old atoms: " or "New atoms: " followed by the title.
std::string crystalLine(int crystal, const std::string& title);
/// "Space grp: %s  Direct cell: ..." with the cell angles in degrees.
std::string powderCellLine(const PowderPattern& p);

/// The text of "LIST.OUT".
std::string powderListing(const PowderPattern& p);

/// One row per reflection with full precision; intensities relative to 100.
std::string powderCsv(const PowderPattern& p);

/// The continuous profile: sample i lies at start + i * step degrees.
struct PowderCurve {
  double start = 0, step = 0.02;
  std::vector<double> y;
  double ymax = 0;
  double at(std::size_t i) const { return start + static_cast<double>(i) * step; }
};

/// Gaussian lines of full width at half maximum FWHM (sigma = 0.424661 FWHM) summed
/// every 0.02 degrees from twoThetaMin to twoThetaMax.
PowderCurve powderCurve(const PowderPattern& p);

/// The profile as two columns "2-theta intensity".
std::string powderProfileText(const PowderCurve& curve);

}  // namespace tessera
