#pragma once
// The "Powder Diffraction Pattern" and "Precession Pattern" dialogs as models:
// fields with defaults and ranges, the lists they offer, which fields the
// radiation choice enables, and how OK stores them in the document.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// "Old input atoms" / "New input atoms".
const std::array<const char*, 2>& crystalChoiceNames();

class PowderDialogModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "PowderPattern";
  std::string_view dialogKind() const override { return kKind; }
  static constexpr const char* kTitle = "Powder Diffraction Pattern";

  /// Field captions as the dialog shows them.
  static constexpr const char* kTwoThetaMinLabel = "2 Theta minimum: ";
  static constexpr const char* kTwoThetaMaxLabel = "2 Theta maximum: ";
  static constexpr const char* kTargetLabel = "X-ray target";
  static constexpr const char* kVerticalScaleLabel = "Vertical scale factor: ";
  static constexpr const char* kFwhmLabel = "FWHM (deg):";
  static constexpr const char* kBetaLabel = "Beta Intensity";
  static constexpr const char* kDefaultBLabel = "Default temperature factor (B):";
  static constexpr const char* kLineWidthLabel = "Line width (in.): ";
  static constexpr const char* kFitLabel = "Fit in window";
  static constexpr const char* kFixedScaleLabel = "Fixed scale, deg/in.:";
  static constexpr const char* kIndexGraphLabel = "Index graph";

  /// The settings shown (with the crystal choice); the view edits them in place.
  PowderSettings values;
  int crystalChoice = 0;

  /// Fills the dialog from the document (the crystal choice is the active crystal).
  void loadFrom(const CrystalDocument& doc);
  /// True when the radiation mode uses the wavelength field (modes 3 and 4).
  bool wavelengthEnabled() const { return values.radiationMode == 3 || values.radiationMode == 4; }
  /// True when the mode uses the target list (modes 0 to 2).
  bool targetEnabled() const { return values.radiationMode >= 0 && values.radiationMode <= 2; }
  /// True when "Beta Intensity" applies (mode 2).
  bool betaEnabled() const { return values.radiationMode == 2; }
  /// True when the fixed-scale field applies.
  bool fixedScaleEnabled() const { return values.powderScaleMode == 1; }
  /// OK rule: the refusal text, if any ("Wavelength must be greater than 0" when a
  /// wavelength mode has none; lists outside their choices).
  std::optional<std::string> validate() const;
  /// Stores the settings with the rules of the dialog (vertical scale at least 0.02);
  /// sets activeCrystal.
  void applyTo(CrystalDocument& doc) const;
};

class PrecessionDialogModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "PrecessionPattern";
  std::string_view dialogKind() const override { return kKind; }
  static constexpr const char* kTitle = "Precession Pattern";

  static constexpr const char* kAngleLabel = "Precession angle:";
  static constexpr const char* kDistanceLabel = "Crystal-film (mm):";
  static constexpr const char* kRadiationLabel = "Radiation";
  static constexpr const char* kHorizontalLabel = "Horizontal axis:";
  static constexpr const char* kOtherLabel = "Other axis:";
  static constexpr const char* kLevelLabel = "Level:";
  static constexpr const char* kFixedScaleLabel = "Fixed scale - factor:";
  static constexpr const char* kFitLabel = "Fit in window";
  static constexpr const char* kIntensityLabel = "Intensity factor:";
  static constexpr const char* kGridLabel = "Show grid";
  static constexpr const char* kDefaultBLabel = "Default temperature factor (B):";
  static constexpr const char* kLpLabel = "Use Lorentz-polarization";
  static constexpr const char* kExtinctionsLabel = "Show extinctions";
  static constexpr int kMaxLevel = 100;

  /// Axis names "a*", "b*", "c*".
  static const std::array<const char*, 3>& axisNames();
  /// Wavelength of a radiation choice (Angstrom): Cr 2.2909 .. Ag 0.5598.
  static double radiationWavelength(int radiation);

  PrecessionSettings values;
  float defaultB = 2.0f;
  int crystalChoice = 0;

  void loadFrom(const CrystalDocument& doc);
  /// OK rule: the refusal text, if any ("Level must be between 0 and 100", ...).
  std::optional<std::string> validate() const;
  /// Stores the settings: the normal axis from the two chosen ones, the wavelength from
  /// the radiation; sets activeCrystal and the shared default B.
  void applyTo(CrystalDocument& doc) const;
};

/// normalAxis from the two in-plane axes: sum 1 -> 2 (c*), 2 -> 1 (b*), otherwise 0 (a*).
int normalAxisFor(int horizontalAxis, int otherAxis);

}  // namespace tessera
