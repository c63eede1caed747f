#pragma once
// The export framework: the Export menu's commands, the "Export Data File"
// dialog, the symbol check, the choice of each site's temperature-factor form
// and the writing of the finished file.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"
#include "core/temperature_factor.h"

namespace tessera {

/// What a writer works with: the crystal chosen for the export and its reciprocal cell.
class ExportContext {
 public:
  /// An export of the given kind of crystal crystalIndex of the session's document.
  ExportContext(Session& session, int kind, int crystalIndex);

  Session& session;           ///< the session the export runs on
  UserInterface& ui;          ///< the session's UI port
  ProgramSettings& settings;  ///< the export options
  CrystalDocument& document;  ///< the document being written
  int kind;          ///< the export's import-kind number
  int crystalIndex;  ///< 0 Old, 1 New (also the document's activeCrystal)
  ReciprocalCell reciprocal;  ///< set by PrepareReciprocalCell

  CrystalRecord& crystal() { return document.crystals[static_cast<std::size_t>(crystalIndex)]; }
  std::vector<Site>& sites() { return document.sites[static_cast<std::size_t>(crystalIndex)]; }

  /// Reciprocal cell of the exported crystal (every writer calls it before converting).
  void PrepareReciprocalCell();
  /// The factor of site i of the exported crystal converted to target (an ortepType, or
  /// -1 / -2 for the form the export options select); type -1 when the site has none.
  TemperatureFactor ConvertTemperatureFactor(int target, int siteIndex) const;
  /// Asks for the output file with the format's save dialog; nullopt when cancelled.
  std::optional<std::string> chooseFile(const char* extension, const char* defaultName, const char* filter);
  /// Writes the whole file through a temporary file; "File open failed" and false on failure
  /// (an existing file is then left as it was).
  bool writeFile(const std::string& path, const std::string& text);
};

/// A format writer; true when the file was written.
using ExportWriter = bool (*)(ExportContext& context);

/// One Export menu command.
struct ExportCommand {
  const char* name;      ///< menu text, e.g. "SHELX"
  int kind;              ///< import-kind number; -1 for "CCDC FDAT"
  bool symbolCheck;      ///< offer to derive a symbol for placeholder H-M symbols
  bool refinementNote;   ///< show the note about refinement formats
  const char* cliName;   ///< name tessera-cli uses, e.g. "shelx"
  ExportWriter writer;   ///< nullptr while the format's writer is not built
  bool doesNothing;      ///< the command exists and performs no action ("CCDC FDAT")
  bool available() const { return writer != nullptr || doesNothing; }  ///< false: the menu entry is disabled
};

/// The Export menu's commands in menu order.
const std::vector<ExportCommand>& exportCommands();

/// The command of a tessera-cli name or of a kind number; nullopt when unknown.
std::optional<int> exportCommandByCliName(std::string_view name);

/// "<kind name> files support <iso> iso and <aniso> aniso"; empty for kinds without a row.
std::string supportSentence(int kind);

/// The "Export Data File" dialog.
class ExportDialogModel : public DialogModel {
 public:
  static constexpr const char* kTitle = "Export Data File";
  static constexpr std::array<const char*, 2> kCrystalTexts = {"Export original data", "Export transformed data"};
  static constexpr std::array<const char*, 4> kConvModeTexts = {"Keep current form", "Convert iso/iso aniso/aniso",
                                                                "Convert all to iso", "Convert all to aniso"};
  static constexpr std::array<const char*, 2> kAnisoTexts = {"Prefer aniso U", "Prefer aniso beta"};
  static constexpr std::array<const char*, 2> kIsoTexts = {"Prefer iso U", "Prefer iso B"};
  static constexpr const char* kRemoveMultiple = "Remove multiple occupancies";

  /// Preset from the document (transformed data when the New crystal has sites) and the options.
  ExportDialogModel(const CrystalDocument& doc, const ProgramSettings& settings, int kind);
  static constexpr std::string_view kKind = "ExportDataFile";
  std::string_view dialogKind() const override { return kKind; }

  std::string supportLine;  ///< the kind's support sentence
  int crystalChoice = 0;    ///< 0 original, 1 transformed
  int convMode = 0;
  int anisoPref = 0;
  int isoPref = 0;
  bool removeMultipleOccupancies = false;

  /// Stores the four temperature-factor options.
  void apply(ProgramSettings& settings) const;
};

/// Runs the Export command of that index in exportCommands(); true when a file was written.
bool RunExport(Session& session, int commandIndex);

/// The concrete ortepType a site of type t is written in for a requested target
/// (target >= 0 is returned as is; -1 and -2 follow the export options).
int chooseTargetType(int ortepType, int target, const ProgramSettings& settings);

/// A cell angle stored in radians as the degrees writers print: rounded to 1e-4 degree,
/// which removes the noise of single-precision radians (90 prints as 90.000000).
double exportDegrees(float radians);

/// (tfMix >= 2 and tfMix != 4 and not "all iso") or "all aniso".
bool HasAnisoOutput(const CrystalDocument& doc, const ProgramSettings& settings);
/// (tfMix > 0 and tfMix != 2 and tfMix != 5 and not "all aniso") or "all iso".
bool HasIsoOutput(const CrystalDocument& doc, const ProgramSettings& settings);

}  // namespace tessera
