#pragma once
// File > Metafile for a pattern window: the "Metafiles" dialog's model, the
// halving question for Windows metafiles, the file name, and the bytes written
// to a file or handed to the clipboard.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/session.h"
#include "diffraction/canvas.h"

namespace tessera {

/// The three kinds of metafile, and the SVG and PDF pictures the same dialog writes to files.
enum class MetafileType : int { Standard = 0, Placeable = 1, Enhanced = 2, Svg = 3, Pdf = 4 };

/// The "Metafiles" dialog: destination, colour, frame and type. The frame is kept
/// in inches and shown in the chosen units.
class MetafileDialogModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "Metafile";
  static constexpr const char* kTitle = "Metafiles";
  static constexpr const char* kDotsNote = "Dots/unit: 1000/cm or 2540/inch";
  std::string_view dialogKind() const override { return kKind; }

  int destination = 0;  ///< 0 file, 1 clipboard
  bool blackWhite = false;
  int frameUnits = 2;   ///< 1 dots, 2 inches, 3 centimetres
  double acrossInches = 5, downInches = 5;
  MetafileType type = MetafileType::Standard;
  int scaling = 0;      ///< 0 isotropic, 1 anisotropic (Windows metafiles)

  /// The frame in the chosen units (dots x 2540, centimetres x 2.54 per inch).
  double shownAcross() const { return fromInches(acrossInches); }
  double shownDown() const { return fromInches(downInches); }
  /// Stores a frame given in the chosen units.
  void setShownFrame(double across, double down);
  double fromInches(double inches) const;
  double toInches(double value) const;
  /// A Windows metafile (standard or placeable): the scaling choice and the size limit apply.
  bool windowsMetafile() const { return type == MetafileType::Standard || type == MetafileType::Placeable; }
  /// The frame is taken from the settings' units and kept there.
  void loadFrom(const ProgramSettings& settings) { frameUnits = settings.frameUnits; }
  void storeIn(ProgramSettings& settings) const { settings.frameUnits = frameUnits; }
  /// The refusal of an unusable frame, or nothing.
  std::optional<std::string> validate() const;
};

/// The clipboard's share of a metafile: the bytes and their MIME type, and the same
/// drawing as SVG for programs that take that instead.
struct MetafileResult {
  std::vector<std::uint8_t> bytes;
  std::string mimeType;  ///< "image/wmf" or "image/emf"
  std::string svg;
};

/// Paints a pattern into a target rectangle at a resolution (dots per inch).
using PatternPainter = std::function<void(Canvas&, const Rect&, double dotsPerInch)>;

/// The metafile bytes of a frame in inches (a placeable file with its header first).
std::vector<std::uint8_t> metafileBytes(MetafileType type, double acrossInches, double downInches, bool blackWhite,
                                        bool isotropic, const PatternPainter& paint);

/// Asks "Height or width greater than 32767 dots - size will be halved" while the
/// frame is too large for a Windows metafile; OK halves it. False on Cancel.
bool fitWindowsMetafile(UserInterface& ui, double& acrossInches, double& downInches);

/// The SVG picture of a frame in inches (96 pixels per inch).
std::string svgPicture(double acrossInches, double downInches, bool blackWhite, const PatternPainter& paint);

/// Writes a PDF page of a frame in inches to a path (the desktop program's printer); false on failure.
using PdfWriter = std::function<bool(const std::string& path, double acrossInches, double downInches, bool blackWhite,
                                     const PatternPainter& paint)>;

/// The whole command: dialog (its values kept in model), halving question, file name
/// and file, or the clipboard bytes. The result holds the bytes for the clipboard
/// destination (SVG and PDF types put an enhanced metafile there); empty when the
/// command ended or wrote a file. Without a PDF writer the PDF type is refused.
MetafileResult writeMetafile(UserInterface& ui, MetafileDialogModel& model, const PatternPainter& paint,
                             const PdfWriter& pdf = {});

}  // namespace tessera
