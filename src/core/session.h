#pragma once
// What a command works with: the one document, the UI port, the program's
// options and its home directory. Owned by the application (GUI) or by main
// (tessera-cli) and passed by reference.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/crystal_document.h"
#include "core/user_interface.h"

namespace tessera {

/// A window's placement as the settings file keeps it: flags and show state, the
/// minimised and maximised positions, and the normal rectangle (left, top, right,
/// bottom; right and bottom exclusive). A rectangle of zero size means "not placed".
struct WindowPlacement {
  unsigned flags = 0;
  unsigned showState = 1;  ///< 1 normal, 2 minimised, 3 maximised
  int minX = -1, minY = -1, maxX = -1, maxY = -1;
  int left = 0, top = 0, right = 0, bottom = 0;
  bool placed() const { return right > left && bottom > top; }  ///< a usable normal rectangle
  bool operator==(const WindowPlacement&) const = default;
};

/// The seven kinds of window whose placements are kept, in settings-file order.
enum class WindowKind : int { Main, Control, Text, PowderOld, PrecessionOld, PowderNew, PrecessionNew };
inline constexpr int kWindowKindCount = 7;

/// Options kept while the program runs (and between runs in the settings file).
struct ProgramSettings {
  // Import options.
  std::array<std::string, 18> importExtensions = {".inp", ".fdt", ".ins", ".cif", ".dbw", ".lhp",
                                                  ".cry", ".cry", ".ort", ".xtl", ".str", ".pdb",
                                                  ".xyz", ".exp", ".amc", ".ret", ".pcr", ".osl"};
  int symmetrySourcePref = 0;  ///< 0 positions as xyz, 1 symbol
  int typeNumberSource = 0;    ///< 0 from the label, 1 from the type text
  // Export options.
  int convMode = 0;   ///< 0 keep, 1 iso/iso aniso/aniso, 2 all iso, 3 all aniso
  int anisoPref = 0;  ///< 0 aniso U, 1 aniso beta
  int isoPref = 0;    ///< 0 iso U, 1 iso B
  bool removeMultipleOccupancies = false;
  /// SHELX instructions the reader passes over (empty: the reader's built-in list).
  std::vector<std::string> shelxSkipTable;
  /// Transformation tolerance a new document starts with (Angstrom).
  float tolerance = 0.4f;
  // Text windows.
  std::string fontName = "Courier New";
  int fontPointSize = 9;
  int fontHeight = -10;       ///< character height in logical units (negative: without leading)
  int fontWeight = 400;       ///< 400 normal, 700 bold
  int fontPitchFamily = 40;   ///< pitch and family byte
  int fontItalic = 0, fontUnderline = 0, fontStrikeOut = 0;
  // Printing and metafiles of pattern windows.
  int printOutputType = 0;       ///< 0 full page, 1 frame
  int frameUnits = 2;            ///< 1 dots, 2 inches, 3 centimetres
  int printStandardDialog = 0;   ///< 1: the printer's own dialog on OK
  int printBlackWhite = 0;       ///< 1: black and white
  std::array<float, 4> printFrame = {6.0f, 6.0f, 0.0f, 0.0f};  ///< across, down, offset across, down (inches)
  int powderScaleMode = 0;       ///< 0 fit in window, 1 fixed scale
  float powderFixedScale = 8.0f; ///< degrees of 2-theta per inch
  /// Window placements by WindowKind.
  std::array<WindowPlacement, kWindowKindCount> windowPlacements{};
  // Bond lengths and angles.
  float centralLigandLimit = 2.6f;  ///< Angstrom: farthest neighbour of the coordination sphere
  float ligandLigandLimit = 3.6f;   ///< Angstrom: farthest neighbour pair listed with its angle
  float angleLimit = 2.6f;          ///< Angstrom: farthest neighbour taking part in the angles
  bool bondAngles = false;          ///< "Do angles and ligand-ligand distances"
  bool bondSelectedOnly = false;    ///< "Selected atom only:" instead of "All atoms"
  /// The document directory last used.
  std::string documentDirectory;
};

/// Everything a command needs besides its own arguments.
struct Session {
  CrystalDocument& document;
  UserInterface& ui;
  ProgramSettings& settings;
  std::filesystem::path home;  ///< folder holding HALL.DAT, cifdic.sht, scatfac.dat and SCRPTR
  std::filesystem::path programFolder = {};  ///< the executable's folder (data files the home lacks)
  /// Where SCRPTR, LIST.OUT and BONDS.OUT go when it is not the home folder (an installed program).
  std::filesystem::path userFolder = {};

  /// The folder the program writes its own files into.
  const std::filesystem::path& outputFolder() const { return userFolder.empty() ? home : userFolder; }
};

}  // namespace tessera
