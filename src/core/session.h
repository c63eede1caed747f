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
  // Text windows.
  std::string fontName = "Courier New";
  int fontPointSize = 9;
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
  /// Where SCRPTR, LIST.OUT and BONDS.OUT go when it is not the home folder (an installed program).
  std::filesystem::path userFolder = {};

  /// The folder the program writes its own files into.
  const std::filesystem::path& outputFolder() const { return userFolder.empty() ? home : userFolder; }
};

}  // namespace tessera
