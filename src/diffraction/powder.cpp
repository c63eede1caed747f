#include "diffraction/powder.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/text.h"
#include "diffraction/structure_factor.h"
#include "transform/unit_cell.h"

namespace tessera {

namespace {

constexpr double kRadToDeg = 57.29577951308232;
constexpr double kDegToRadD = 0.017453292519943295;

}  // namespace

const std::array<XrayTarget, 7>& xrayTargets() {
  // Cr, Fe and Co have no Kb line in the short table; their Kb1 wavelengths
  // (International Tables) keep the Ka/Kb mode meaningful for them.
  static const std::array<XrayTarget, 7> targets = {{{"Cr 2.29", 2.28962, 2.29351, 2.08487},
                                                     {"Fe 1.94", 1.93597, 1.93991, 1.75661},
                                                     {"Co 1.79", 1.78892, 1.79278, 1.62079},
                                                     {"Ni 1.66", 1.65784, 1.66169, 1.48861},
                                                     {"Cu 1.54", 1.54051, 1.54433, 1.38102},
                                                     {"Mo 0.71", 0.70926, 0.713543, 0.62099},
                                                     {"Ag 0.56", 0.559363, 0.563775, 0.48701}}};
  return targets;
}

const std::array<const char*, 5>& radiationModeNames() {
  static const std::array<const char*, 5> names = {"Ka - average", "Ka1/Ka2", "Ka/Kb", "Specified X-ray wavelength:",
                                                   "Neutron - wavelength:"};
  return names;
}

PowderWavelengths powderWavelengths(const PowderSettings& s) {
  const int t = s.xrayTarget >= 0 && s.xrayTarget < 7 ? s.xrayTarget : 4;
  const XrayTarget& x = xrayTargets()[static_cast<std::size_t>(t)];
  const double average = (2.0 * x.kAlpha1 + x.kAlpha2) / 3.0;
  PowderWavelengths w;
  switch (s.radiationMode) {
    case 1:
      w = {2, {x.kAlpha1, x.kAlpha2}, 0.5, {"Ka1", "Ka2"}};
      break;
    case 2:
      w = {2, {average, x.kBeta}, s.betaIntensity, {"Ka", "Kb"}};
      break;
    case 3:
    case 4:
      w = {1, {s.specifiedWavelength, 0}, 0, {" ", " "}};
      break;
    default:
      w = {1, {average, 0}, 0, {"Ka", " "}};
  }
  return w;
}

double effectiveTwoThetaMax(const PowderSettings& s) { return s.twoThetaMax == 0 ? 80.0 : s.twoThetaMax; }
double effectiveFwhm(const PowderSettings& s) { return s.powderFWHM == 0 ? 0.2 : s.powderFWHM; }

std::pair<double, double> powderLine(double f2, int m, double d, double lambda, bool neutron) {
  const double x = lambda / (2.0 * d);
  // Beyond the limiting sphere: the line does not exist at this wavelength.
  if (!(x <= kSphereLimit) || !(x > 0)) return {180.0, 0.0};
  const double theta = std::asin(std::min(x, 1.0));
  const double sin2t = std::sin(2 * theta);
  // At 2-theta = 180 degrees the Lorentz factor has no finite value.
  if (sin2t < 1e-9) return {2 * theta * kRadToDeg, 0.0};
  const double cos2t = std::cos(2 * theta);
  // Neutrons are not polarised: the Lorentz factor alone.
  const double lp = (neutron ? 1.0 : 1.0 + cos2t * cos2t) / (std::sin(theta) * sin2t);
  return {2 * theta * kRadToDeg, f2 * lp * m};
}

PowderPattern calculatePowder(CrystalDocument& doc, const ScatteringTable& table, UserInterface& ui) {
  PowderSettings& s = doc.powderSettings;
  PowderPattern p;
  static_cast<PatternHeading&>(p) = activeCrystalHeading(doc);
  const int crystalIndex = p.crystal;
  CrystalRecord& crystal = doc.crystals[static_cast<std::size_t>(crystalIndex)];
  p.wavelengths = powderWavelengths(s);
  s.thetaMax = static_cast<float>(effectiveTwoThetaMax(s) * 0.5);
  s.maxIntensity = 0;
  const bool neutron = s.radiationMode == kNeutronMode;

  const std::array<double, 3> recip = reciprocalLengths(crystal.cell);
  for (std::size_t i = 0; i < 3; ++i) crystal.reciprocalLengths[i] = static_cast<float>(recip[i]);
  const double lambdaMin = p.wavelengths.shortest();
  if (lambdaMin > 0) {
    const double sMax = std::sin(s.thetaMax * kDegToRadD) / lambdaMin;
    const std::array<int, 3> upper = indexBounds(crystal.cell, sMax);
    p.reflections = buildReflectionList(crystal, upper, lambdaMin, s.thetaMax, ui);
    const CrystalCell cell = buildCrystalCell(doc, crystalIndex, ui);
    StructureFactorCalculator calculator(crystal, cell.sites, cell.atoms, table, neutron, s.defaultB);
    calculator.prepareIndexRange(upper[0], upper[1], upper[2]);
    const bool originCentred = crystal.acentric == 0 && crystal.inversionOffOrigin == 0;
    for (Reflection& r : p.reflections) {
      const StructureFactor f = calculator.compute(r.h, r.k, r.l, r.d);
      r.absF = std::sqrt(f.f2()) * (neutron ? 10.0 : 1.0);
      r.phase = originCentred ? (f.a > 0 ? 0.0 : 3.14159) : std::atan2(f.b, f.a);
      for (int i = 0; i < p.wavelengths.count; ++i) {
        const auto [twoTheta, intensity] =
            powderLine(f.f2(), r.multiplicity, r.d, p.wavelengths.lambda[static_cast<std::size_t>(i)], neutron);
        r.twoTheta[static_cast<std::size_t>(i)] = twoTheta;
        r.intensity[static_cast<std::size_t>(i)] = i == 1 ? intensity * p.wavelengths.secondWeight : intensity;
      }
      p.maxIntensity = std::max(p.maxIntensity, r.intensity[0]);
    }
  }
  s.maxIntensity = static_cast<float>(p.maxIntensity);
  p.settings = s;
  return p;
}

int relativeIntensity(double intensity, double maxIntensity) {
  if (!(maxIntensity > 0)) return 0;
  return static_cast<int>(intensity / maxIntensity * 100.0 + 0.5);
}

std::string crystalLine(int crystal, const std::string& title) {
  return (crystal == 1 ? "New atoms: " : "Old atoms: ") + title;
}

std::string radiationLine(const PowderPattern& p, bool neutronForm) {
  const PowderSettings& s = p.settings;
  const double fwhm = s.powderFWHM;
  if (neutronForm && s.radiationMode == kNeutronMode)
    return format("Neutron - lambda: %8.5f  Magnif: %5.1f  FWHM: %6.3f", p.wavelengths.lambda[0],
                  s.powderVerticalScale, fwhm);
  if (p.wavelengths.count == 1)
    return format("Lambda: %8.5f  Magnif: %5.1f  FWHM: %6.3f", p.wavelengths.lambda[0], s.powderVerticalScale, fwhm);
  return format("Lambda(1): %8.5f  Lambda(2): %8.5f  Magnif: %5.1f  FWHM: %6.3f", p.wavelengths.lambda[0],
                p.wavelengths.lambda[1], s.powderVerticalScale, fwhm);
}

std::string powderCellLine(const PowderPattern& p) {
  return format("Space grp: %s  Direct cell: %9.4f %9.4f %9.4f %7.2f %7.2f %7.2f", p.hmSymbol.c_str(), p.cell[0],
                p.cell[1], p.cell[2], p.cell[3] * kRadToDeg, p.cell[4] * kRadToDeg, p.cell[5] * kRadToDeg);
}

std::string powderListing(const PowderPattern& p) {
  const PowderWavelengths& w = p.wavelengths;
  std::string out = crystalLine(p.crystal, p.title) + "\n";
  out += radiationLine(p, true) + "\n";
  out += powderCellLine(p) + "\n\n";
  appendFormat(out, " No.    h   k   l      d        |F|    Phi    Mult.  2th.(%s)  Int.(%s)", w.labels[0], w.labels[0]);
  if (w.count == 2)
    appendFormat(out, "  2th.(%s)  Int.(%s)\n\n", w.labels[1], w.labels[1]);
  else
    out += "\n\n";
  int number = 0;
  for (const Reflection& r : p.reflections) {
    appendFormat(out, "%4d  %3d %3d %3d  %8.4f  %7.1f %7.3f  %3d      %6.2f      %3d", ++number, r.h, r.k, r.l, r.d,
                 r.absF, r.phase, r.multiplicity, r.twoTheta[0], relativeIntensity(r.intensity[0], p.maxIntensity));
    if (w.count == 2)
      appendFormat(out, "      %6.2f      %3d\n", r.twoTheta[1], relativeIntensity(r.intensity[1], p.maxIntensity));
    else
      out += "\n";
  }
  return out;
}

std::string powderCsv(const PowderPattern& p) {
  std::string out = "h,k,l,d,abs_f,phase,multiplicity,two_theta_1,intensity_1,two_theta_2,intensity_2\n";
  const double scale = p.maxIntensity > 0 ? 100.0 / p.maxIntensity : 0.0;
  for (const Reflection& r : p.reflections) {
    appendFormat(out, "%d,%d,%d,%.17g,%.17g,%.17g,%d,%.17g,%.17g,", r.h, r.k, r.l, r.d, r.absF, r.phase,
                 r.multiplicity, r.twoTheta[0], r.intensity[0] * scale);
    if (p.wavelengths.count == 2)
      appendFormat(out, "%.17g,%.17g\n", r.twoTheta[1], r.intensity[1] * scale);
    else
      out += ",\n";
  }
  return out;
}

PowderCurve powderCurve(const PowderPattern& p) {
  PowderCurve c;
  const double lo = p.settings.twoThetaMin, hi = effectiveTwoThetaMax(p.settings);
  c.start = lo;
  const double span = (hi - lo) / c.step + 0.4999;
  const std::size_t intervals = span > 0 && span < 1e7 ? static_cast<std::size_t>(span) : 0;
  c.y.assign(intervals + 1, 0.0);
  // sigma of a Gaussian whose full width at half maximum is FWHM.
  const double w = 0.424661 * effectiveFwhm(p.settings);
  const double reach = 5.0 * w;  // u < 25
  for (const Reflection& r : p.reflections)
    for (int i = 0; i < p.wavelengths.count; ++i) {
      const double centre = r.twoTheta[static_cast<std::size_t>(i)];
      const double height = r.intensity[static_cast<std::size_t>(i)];
      if (!(height > 0)) continue;
      const double first = std::ceil((centre - reach - lo) / c.step);
      const double last = std::floor((centre + reach - lo) / c.step);
      if (last < 0 || first > static_cast<double>(intervals)) continue;
      const std::size_t a = static_cast<std::size_t>(std::max(first, 0.0));
      const std::size_t b = static_cast<std::size_t>(std::min(last, static_cast<double>(intervals)));
      for (std::size_t j = a; j <= b; ++j) {
        const double u = (c.at(j) - centre) / w;
        if (u * u < 25) c.y[j] += height * std::exp(-0.5 * u * u);
      }
    }
  for (double v : c.y) c.ymax = std::max(c.ymax, v);
  return c;
}

std::string powderProfileText(const PowderCurve& curve) {
  std::string out;
  for (std::size_t i = 0; i < curve.y.size(); ++i) appendFormat(out, "%.4f %.6g\n", curve.at(i), curve.y[i]);
  return out;
}

}  // namespace tessera
