#pragma once
// File > Metafile for a pattern window: the "Metafiles" dialog's model, the
// halving question for Windows metafiles, the file name, and the bytes written
// to a file or handed to the clipboard.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/session.h"
#include "diffraction/canvas.h"

namespace tessera {

/// The three kinds of metafile.
enum class MetafileType : int { Standard = 0, Placeable = 1, Enhanced = 2 };

/// The "Metafiles" dialog: destination, colour, frame and type. The frame is kept
/// in inches and shown in the chosen units.
class MetafileDialogModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "Metafile";
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
};

/// The clipboard's share of a metafile: the bytes and their MIME type.
struct MetafileResult {
  std::vector<std::uint8_t> bytes;
  std::string mimeType;  ///< "image/wmf" or "image/emf"
};

/// Paints a pattern into a target rectangle at a resolution (dots per inch).
using PatternPainter = std::function<void(Canvas&, const Rect&, double dotsPerInch)>;

/// The metafile bytes of a frame in inches (a placeable file with its header first).
std::vector<std::uint8_t> metafileBytes(MetafileType type, double acrossInches, double downInches, bool blackWhite,
                                        bool isotropic, const PatternPainter& paint);

/// Asks "Height or width greater than 32767 dots - size will be halved" while the
/// frame is too large for a Windows metafile; OK halves it. False on Cancel.
bool fitWindowsMetafile(UserInterface& ui, double& acrossInches, double& downInches);

/// The whole command: dialog (its values kept in model), halving question, file name
/// and file, or the clipboard bytes. The result holds the bytes for the clipboard
/// destination; empty when the command ended or wrote a file.
MetafileResult writeMetafile(UserInterface& ui, MetafileDialogModel& model, const PatternPainter& paint);

}  // namespace tessera
