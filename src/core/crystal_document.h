#pragma once
// The one crystal-structure record the program holds: the Old (input) crystal
// and the New (transformed) crystal side by side, their sites, the
// transformation parameters and the simulation settings saved with a document.

#include <array>
#include <string_view>
#include <string>
#include <vector>

namespace tessera {

/// Most symmetry lines and operators one crystal holds.
constexpr int kMaxSymmetryLines = 192;
/// Most atoms sharing one site.
constexpr int kMaxOccupants = 10;
/// Longest site or occupant label kept (formats with fixed widths cut further).
constexpr std::size_t kMaxLabelLength = 32;
/// Longest structure title.
constexpr std::size_t kMaxTitleLength = 80;
/// Longest space-group symbol text (H-M or Hall).
constexpr std::size_t kMaxSymbolLength = 39;
/// Degrees to radians, single precision as used by dialogs, files and reports.
constexpr float kDegToRad = 0.01745329f;
/// 90 and 120 degrees in radians as the Title/Axes dialog stores them.
constexpr float kRightAngle = 1.5707963f;
constexpr float kAngle120 = 2.0943951f;

/// An operator of a crystal's operator table: rotation and translation (fractions in [0,1)).
struct SymmetryOperator {
  std::array<std::array<float, 3>, 3> rotation{};  ///< row k: coefficients of x, y, z in new coordinate k
  std::array<float, 3> translation{};              ///< fractional translation
};

/// An atom sharing a site.
struct SiteOccupant {
  std::string label;          ///< occupant label (at most kMaxLabelLength characters)
  float occupancy = 0.0f;     ///< site occupancy factor
  float charge = 0.0f;        ///< formal charge
  int origNumber = 0;         ///< 0-based index of the site it came from
  int scatteringNumber = 0;   ///< scattering number carried for listings and some formats
  int typeNumber = 0;         ///< row of the scattering-factor table (atomic number by default)
  std::string element;        ///< element symbol, "*" when absent

  /// The occupant a site gets when it has none: occupancy 1, charge 0, element "*".
  static SiteOccupant makeDefault(const std::string& label, int origNumber, int typeNumber);
};

/// One input atom position.
struct Site {
  float x = 0.0f, y = 0.0f, z = 0.0f;  ///< fractional coordinates (absolute along an aperiodic axis)
  float isoValue = 0.0f;               ///< Biso (ortepType 6), mu (7) or Uiso (10)
  std::array<float, 6> aniso{};        ///< (11) (22) (33) (12) (13) (23): beta (0-3), B (4-5), U (8-9)
  std::array<float, 3> vector{};       ///< optional vector attached to the site
  float vectorLength = 0.0f;           ///< length given for the vector
  float radius = 0.0f;                 ///< drawing radius (drawing-program formats)
  int typeNumber = 0;                  ///< atom type number
  int ortepType = 0;                   ///< temperature-factor type: -1 none, 0 beta, 8 U, 6 iso B, 10 iso U
  int auxNumber = 0;                   ///< reader serial number; positions in the cell for New sites
  int tfClass = 0;                     ///< 0 no factor, 1 isotropic, 2 anisotropic
  std::array<int, 3> rimColor{};       ///< drawing attributes carried through
  std::array<int, 3> fillColor{};
  int rimPattern = 0, fillPattern = 0, pen = 0;
  int hasVector = 0;                   ///< 1 when vector and vectorLength are in use
  std::string label;                   ///< site label (at most kMaxLabelLength characters)
  std::string wyckoff;                 ///< Wyckoff position text, empty when absent
  std::vector<SiteOccupant> occupants; ///< the atoms sharing the site, at most kMaxOccupants

  int occupantCount() const { return static_cast<int>(occupants.size()); }
  /// Occupant 0 mirrors the site; a site without occupants gets the default one.
  void normaliseOccupants(int siteIndex);
};

/// Parameters of the cell transformation.
struct Transformation {
  std::array<std::array<float, 3>, 3> matrix{};  ///< row i: new axis i in old axes
  std::array<float, 3> postMatrixShift{};        ///< fractions of the new cell
  std::array<float, 3> preMatrixShift{};         ///< fractions of the old cell
  std::array<float, 3> preSymmetryShift{};       ///< fractions of the old cell
  float tolerance = 0.4f;                        ///< Angstrom
  int mode = 2;                                  ///< 0 translation only, 1 input atoms only, 2 full unit cells

  /// Sets the unit matrix and all translations to zero; tolerance and mode stay.
  void resetToIdentity();
};

/// Parameters of the powder simulation saved with the document.
struct PowderSettings {
  int powderOutput = 1;
  int powderProfile = 1;
  float twoThetaMin = 0.0f, twoThetaMax = 60.0f;
  float thetaMax = 0.0f;
  int xrayTarget = 4;
  int radiationMode = 0;
  float specifiedWavelength = 1.075f;
  float betaIntensity = 0.2f;
  float powderVerticalScale = 1.0f;
  float powderFWHM = 0.2f;
  float defaultB = 2.0f;
  float lineWidth = 0.0f;
  float maxIntensity = 0.0f;
  int lastPattern = 0;
  /// The scale choice of the last calculation: copied from the program settings
  /// (SCRPTR, which keeps it) by the powder command; not saved with the document.
  int powderScaleMode = 0;
  float powderFixedScale = 8.0f;
  int indexGraph = 1;
};

/// Parameters of the precession simulation saved with the document.
struct PrecessionSettings {
  float precessionAngle = 30.0f;
  float crystalFilmDistance = 60.0f;
  int precessionRadiation = 5;
  float precessionWavelength = 0.0f;
  int horizontalAxis = 0, otherAxis = 1, normalAxis = 0;
  int level = 0;
  int precessionScaleMode = 0;
  float precessionFixedScale = 1.0f;
  float intensityFactor = 1.0f;
  int showGrid = 1;
  int useLp = 1, showExtinctions = 0;
};

/// One crystal: symmetry, cell and the operator table built from its lines.
struct CrystalRecord {
  std::string hmSymbol;               ///< Hermann-Mauguin symbol
  std::string hallSymbol;             ///< Hall symbol
  std::string sgNumberText;           ///< number with setting extension ("14:b1")
  std::string pointGroupSchoenflies;  ///< point group, Schoenflies
  std::string pointGroupHM;           ///< point group, H-M with "B" for a bar
  std::vector<std::string> xyzLines;  ///< symmetry lines, each ending in ";" (at most 192)
  std::string latticeName;            ///< lattice letter
  int sgNumber = 0;
  int axesType = 0;                   ///< 1 triclinic .. 7 cubic, 8 unit Cartesian
  int acentric = 0;                   ///< 1: lines are the full set; 0: completed by inversion
  int rhombohedralAxes = 0;
  int opCount = 0;                    ///< operators parsed from the lines
  int latticeCode = 0;                ///< 1 P, 2 A, 3 B, 4 C, 5 F, 6 I, 7 R (8 S, 9 T)
  int matricesValid = 0;
  int symbolKind = 0;                 ///< 0 H-M, 1 Hall, 2 number
  std::array<int, 3> aperiodicAxes{};
  int cartesianFlag = 0;
  int pointGroupCode = 0;
  int inversionOffOrigin = 0;
  int symmetrySource = 0;             ///< 0 none, 1 table, 4 custom lines
  int uniqueAxis = 0;                 ///< monoclinic: 0 b, 1 a, 2 c
  int settingCode = 0;                ///< 1 volume I conventions, 0 volume A
  int pointGroupIndex = 0;
  int p1Defaulted = 0;
  std::array<float, 6> cell{};        ///< a, b, c (Angstrom); alpha, beta, gamma (radians)
  std::array<float, 3> reciprocalLengths{};
  std::vector<SymmetryOperator> operators;  ///< operator table, completed by inversion when it applies

  int lineCount() const { return static_cast<int>(xyzLines.size()); }
};

/// The document: one structure with its Old and New crystals.
struct CrystalDocument {
  std::string title;
  std::array<CrystalRecord, 2> crystals;  ///< 0 Old (input), 1 New (transformed)
  int activeCrystal = 0;
  std::array<std::vector<Site>, 2> sites;  ///< 0 input sites, 1 New-crystal sites
  int selectedSite = 0;
  Transformation transformation;
  int tfMix = 0;
  int tfAnisoKind = 0;
  int importFormat = -1;
  int reportEnabled = 1;
  std::string documentPath;
  std::string fileTitle;
  std::string cartesianText;
  PowderSettings powderSettings;
  PrecessionSettings precessionSettings;
  int openMode = 2;  ///< 0 filled by an importer, 1 new blank document, 2 read a native file

  bool isOpen = false;    ///< a document window is open
  bool modified = false;  ///< unsaved changes

  int siteCount() const { return static_cast<int>(sites[0].size()); }
  int newSiteCount() const { return static_cast<int>(sites[1].size()); }
  CrystalRecord& oldCrystal() { return crystals[0]; }
  CrystalRecord& newCrystal() { return crystals[1]; }
  CrystalRecord& active() { return crystals[static_cast<std::size_t>(activeCrystal)]; }
  std::vector<Site>& activeSites() { return sites[static_cast<std::size_t>(activeCrystal)]; }
};

/// Releases both site lists and clears both crystal records to zero.
void clearDocument(CrystalDocument& doc);

/// Makes room for at least `requested` sites, growing to max(requested, capacity + 20); false on failure.
bool growSites(std::vector<Site>& sites, std::size_t requested);

/// 'P' 1, 'A' 2, 'B' 3, 'C' 4, 'F' 5, 'I' 6, 'R' 7; anything else 1.
int latticeCodeFromLetter(char letter);

/// Copies the New crystal and its sites over the Old crystal and the input sites (the New
/// crystal stays as it is); the document counts as modified.
void copyNewToOld(CrystalDocument& doc);

/// Space group P1 in the crystal's symmetry fields: symbols, lattice P, acentric, one
/// line "X,Y,Z;" (the operator table to be rebuilt).
void setP1Symmetry(CrystalRecord& crystal);

/// The New-document defaults of the Old crystal (unit Cartesian axes, P1, one line "X,Y,Z;").
void setNewDocumentDefaults(CrystalDocument& doc);

/// Cuts a label to the length the document keeps.
std::string clampLabel(std::string_view label);

}  // namespace tessera
