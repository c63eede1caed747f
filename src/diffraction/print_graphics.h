#pragma once
// File > Print for a pattern window: the "Print Graphics Image" dialog's model
// and where the drawing goes on the page.

#include <optional>
#include <string>
#include <string_view>

#include "core/session.h"
#include "diffraction/canvas.h"

namespace tessera {

/// The "Print Graphics Image" dialog: output type, the printer's own dialog, the
/// frame units, the frame's size and offset (kept in inches) and colour.
class PrintGraphicsModel : public DialogModel {
 public:
  static constexpr std::string_view kKind = "PrintGraphics";
  std::string_view dialogKind() const override { return kKind; }
  static constexpr const char* kTitle = "Print Graphics Image";

  int outputType = 0;           ///< 0 "Full page", 1 "Frame"
  bool standardDialog = false;  ///< "Standard printer dialog on OK"
  bool centimetres = false;     ///< "Units for frame": "Inches" or "Centimeters"
  double acrossInches = 6, downInches = 6, offsetAcrossInches = 0, offsetDownInches = 0;
  bool colour = true;

  /// A length in inches as the dialog shows it, and back.
  double shown(double inches) const { return centimetres ? inches * 2.54 : inches; }
  double inches(double shownValue) const { return centimetres ? shownValue / 2.54 : shownValue; }

  /// The values from the settings; storeIn keeps the dialog's values there (the units are
  /// shared with the metafile dialog, whose "Dots" stay while inches are shown here).
  void loadFrom(const ProgramSettings& settings);
  void storeIn(ProgramSettings& settings) const;
  /// The refusal of an unusable frame, or nothing.
  std::optional<std::string> validate() const;
};

/// The refusal of a frame size in inches that no page or picture can hold, or nothing.
std::optional<std::string> frameSizeProblem(double acrossInches, double downInches);

/// Where the drawing goes: the printable area for "Full page", else the frame at its
/// offset from the paper's top left corner. Rectangles in device pixels from the paper's corner.
Rect printTarget(const PrintGraphicsModel& model, const Rect& printable, double dotsPerInch);

}  // namespace tessera
