#include "diffraction/pattern_models.h"

#include <algorithm>
#include <cmath>

namespace tessera {

const std::array<const char*, 2>& crystalChoiceNames() {
  static const std::array<const char*, 2> names = {"Old input atoms", "New input atoms"};
  return names;
}

void PowderDialogModel::loadFrom(const CrystalDocument& doc) {
  values = doc.powderSettings;
  crystalChoice = doc.activeCrystal == 1 ? 1 : 0;
}

std::optional<std::string> PowderDialogModel::validate() const {
  const PowderSettings& s = values;
  if (s.xrayTarget < 0 || s.xrayTarget > 6) return "Choose an X-ray target";
  if (s.radiationMode < 0 || s.radiationMode > 4) return "Choose a radiation";
  const float numbers[] = {s.twoThetaMin, s.twoThetaMax, s.powderVerticalScale, s.powderFWHM, s.betaIntensity,
                           s.specifiedWavelength, s.defaultB, s.lineWidth, s.powderFixedScale};
  for (float v : numbers)
    if (!std::isfinite(v)) return "Please enter a number";
  if (wavelengthEnabled() && !(s.specifiedWavelength > 0)) return "Wavelength must be greater than 0";
  if (s.powderScaleMode == 1 && !(s.powderFixedScale > 0)) return "Scale must be greater than 0";
  return std::nullopt;
}

void PowderDialogModel::applyTo(CrystalDocument& doc) const {
  PowderSettings& s = doc.powderSettings;
  const float maxIntensity = s.maxIntensity, thetaMax = s.thetaMax;
  const int lastPattern = s.lastPattern;
  s = values;
  s.maxIntensity = maxIntensity;
  s.thetaMax = thetaMax;
  s.lastPattern = lastPattern;
  s.powderVerticalScale = std::max(s.powderVerticalScale, 0.02f);
  doc.activeCrystal = crystalChoice == 1 ? 1 : 0;
}

const std::array<const char*, 3>& PrecessionDialogModel::axisNames() {
  static const std::array<const char*, 3> names = {"a*", "b*", "c*"};
  return names;
}

double PrecessionDialogModel::radiationWavelength(int radiation) {
  static const double lambda[7] = {2.2909, 1.9373, 1.7902, 1.6591, 1.5418, 0.7107, 0.5598};
  return lambda[radiation >= 0 && radiation < 7 ? radiation : 5];
}

void PrecessionDialogModel::loadFrom(const CrystalDocument& doc) {
  values = doc.precessionSettings;
  defaultB = doc.powderSettings.defaultB;
  crystalChoice = doc.activeCrystal == 1 ? 1 : 0;
}

std::optional<std::string> PrecessionDialogModel::validate() const {
  const PrecessionSettings& s = values;
  if (s.level < 0 || s.level > kMaxLevel) return "Level must be between 0 and 100";
  if (!(s.precessionAngle > 0 && s.precessionAngle < 90)) return "Precession angle must be between 0 and 90";
  if (!(s.crystalFilmDistance > 0)) return "Crystal-film distance must be greater than 0";
  if (s.precessionScaleMode == 0 && !(s.precessionFixedScale > 0)) return "Scale must be greater than 0";
  if (!std::isfinite(s.intensityFactor) || !std::isfinite(defaultB)) return "Please enter a number";
  if (s.horizontalAxis < 0 || s.horizontalAxis > 2 || s.otherAxis < 0 || s.otherAxis > 2) return "Choose an axis";
  if (s.precessionRadiation < 0 || s.precessionRadiation > 6) return "Choose a radiation";
  return std::nullopt;
}

int normalAxisFor(int horizontalAxis, int otherAxis) {
  const int sum = horizontalAxis + otherAxis;
  return sum == 1 ? 2 : sum == 2 ? 1 : 0;
}

void PrecessionDialogModel::applyTo(CrystalDocument& doc) const {
  PrecessionSettings& s = doc.precessionSettings;
  s = values;
  s.normalAxis = normalAxisFor(s.horizontalAxis, s.otherAxis);
  s.precessionWavelength = static_cast<float>(radiationWavelength(s.precessionRadiation));
  doc.powderSettings.defaultB = defaultB;
  doc.activeCrystal = crystalChoice == 1 ? 1 : 0;
}

}  // namespace tessera
