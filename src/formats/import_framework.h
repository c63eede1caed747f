#pragma once
// The import framework: what every reader shares. RunImport closes the open
// document, lets the kind's reader fill a fresh document through the operations
// below, and moves the result in only when the import succeeded.

#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"
#include "formats/import_kinds.h"

namespace tessera {

/// What a reader found besides sites and symmetry lines (cell angles in degrees).
struct ImportResult {
  std::string hmSymbol;               ///< Hermann-Mauguin symbol
  std::string hallSymbol;             ///< Hall symbol
  std::string sgNumberText;           ///< number text with setting extension
  std::string pointGroupSchoenflies;  ///< point group, Schoenflies
  std::string pointGroupHM;           ///< point group, H-M
  std::string latticeName;            ///< one lattice letter
  std::string title;                  ///< structure title
  int sgNumber = 0;
  int axesType = 0;          ///< 0 not given
  int acentric = 1;          ///< 1 acentric, 0 centrosymmetric
  int rhombohedralAxes = 0;  ///< 0 not given, 1 hexagonal axes, 2 rhombohedral axes
  int latticeCode = 0;       ///< 1 P .. 7 R; 0 not given
  int offOrigin = 0;         ///< inversion off the origin
  int uniqueAxis = 0;        ///< monoclinic unique axis: 0 b, 1 a, 2 c
  int pointGroupIndex = 0;   ///< 1..32, 0 not given
  std::array<float, 6> cell{};  ///< a, b, c (Angstrom), alpha, beta, gamma (degrees)
  bool cellFound = false;
  bool hasXyzLines = false;  ///< the reader appended symmetry lines
  int drawingMode = 0;
  bool cartesianSymmetry = false;
  std::array<int, 3> polymerFlags{};
  std::string cartesianSource;  ///< where the file's Cartesian symmetry came from
};

/// "Save the open document" as the document commands do it; false when not saved.
using SaveDocumentFn = std::function<bool(Session&)>;

/// The state of one import under way: the fresh document the reader fills, the
/// chosen file, the data-set list.
class ImportContext {
 public:
  /// An import of the command of commandKind on the session.
  ImportContext(Session& session, int commandKind);

  Session& session;            ///< the session the import runs on
  UserInterface& ui;           ///< the session's UI port
  ProgramSettings& settings;   ///< the import options live here
  CrystalDocument document;    ///< filled by the reader; moved into the session on success
  int commandKind;             ///< the menu command that runs (what importFormat records)
  int importKind;              ///< set by the reader (SetImportKind)
  std::string path;            ///< the chosen import file
  std::ifstream file;          ///< opened by ChooseImportFile(true)
  std::vector<std::string> dataSetNames;  ///< names 1..count (index 0 holds name 1)
  int refusedSites = 0;        ///< sites refused for values out of range (reported by the finish)
  bool controlCharacters = false;  ///< a text field held control characters (reported by the finish)

  /// The Old crystal and its sites, where every reader writes.
  CrystalRecord& crystal() { return document.crystals[0]; }
  std::vector<Site>& sites() { return document.sites[0]; }
  /// The row of importKind.
  const ImportKind& kindRow() const;
};

/// Step 1 of every reader.
void SetImportKind(ImportContext& context, int kind);

/// The "Import File" options dialog; false when cancelled (options stored on OK).
bool RunImportOptionsDialog(ImportContext& context);

/// The open-file dialog; with open the file is also opened ("File open failed" on failure).
/// False on Cancel or failure.
bool ChooseImportFile(ImportContext& context, bool open);

/// Resets the Old crystal for a reader: level 0 plain, 1 custom xyz symmetry, 2 also the identity line.
void ResetCrystalForImport(ImportContext& context, int level);

/// Makes room for count sites; "New allocation for input atoms failed" and false on failure.
bool ReserveSites(ImportContext& context, long count);

/// Appends a site read from the file. A type text that is an element symbol decides the
/// type; otherwise it is looked up from the label (or the type text, under "type from
/// type"). A site with a non-finite or out-of-range value is refused (counted, not added).
bool AddImportedSite(ImportContext& context, Site site, std::string_view label, std::string_view typeText);

/// Stores data-set name number index (1-based); false beyond 100 (message shown).
bool AddDataSetName(ImportContext& context, std::string_view name, int index);

/// The data-set dialog; the 1-based choice, 0 when cancelled.
int ChooseDataSet(ImportContext& context);

/// Puts temperature factors given apart from the sites on the site with that label
/// (matchMode 0 exact label, 1 first two then first character with auxNumber == typeNumber).
void AssignTemperatureFactorsByLabel(ImportContext& context, std::string_view label,
                                     const std::array<float, 6>& values, int ortepType, int typeNumber,
                                     int matchMode);

/// Largest coordinate magnitude, cell edge (Angstrom) and occupancy an import accepts.
inline constexpr double kMaxImportedCoordinate = 1e6;
inline constexpr double kMaxImportedCellEdge = 1e4;
inline constexpr double kMaxImportedOccupancy = 1e3;
/// Largest magnitude of a temperature factor or other site value an import accepts.
inline constexpr double kMaxImportedValue = 1e6;

/// The text with every control character replaced by "_"; sets found when there was one.
std::string withoutControlCharacters(std::string_view text, bool& found);

/// Fills the cell values the result's axesType fixes (angles in degrees).
void CompleteCellFromAxesType(ImportResult& result);

/// Runs an import of the given kind on the session. Asks to save a modified document
/// first (save is called on Yes), closes the open document, runs the reader on a fresh
/// document and opens the result only when the reader succeeded. True on success.
bool RunImport(Session& session, int kind, const SaveDocumentFn& save);

/// The document path an import file gives: its extension replaced by ".tsr".
std::string importDocumentPath(const std::string& importPath);

}  // namespace tessera
