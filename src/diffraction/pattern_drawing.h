#pragma once
// Drawing the powder pattern and the precession photograph onto any canvas, and
// the read-outs of a position in the drawing.

#include <optional>
#include <string>
#include <vector>

#include "diffraction/canvas.h"
#include "diffraction/powder.h"
#include "diffraction/precession.h"

namespace tessera {

/// The size pictures get when none is given, at screen resolution.
constexpr double kDefaultPatternWidth = 900;
constexpr double kDefaultPatternHeight = 600;
constexpr double kDefaultPixelsPerInch = 96;

/// Where the last powder drawing put things (for the read-out).
struct PowderView {
  bool drawn = false;
  double xOrigin = 0;         ///< pixel of twoThetaMin
  double pixelsPerDegree = 1;
  double yBase = 0;           ///< base line
  double yScale = 1;          ///< pixels per unit of full height
  double curveStep = 0.02;
  double twoThetaMin = 0;
  double wavelength = 0;      ///< wavelength 1
  std::vector<Rect> labelBoxes;  ///< the boxes of the hkl labels drawn
};

/// Draws the powder pattern into the target rectangle; returns the messages of
/// resources that could not be made (the drawing went on without them).
std::vector<std::string> drawPowder(Canvas& canvas, const Rect& target, double pixelsPerInch, const PowderPattern& p,
                                    PowderView& view);

/// "2-theta:%7.2f  d-spacing:%8.4f  Intensity: %5.1f" at a pixel of the last drawing.
std::string powderReadout(const PowderView& view, double px, double py);

/// Where the last precession drawing put things.
struct PrecessionView {
  bool drawn = false;
  double scale = 1;  ///< pixels per reciprocal Angstrom
  double centreX = 0, centreY = 0;
};

/// Draws the header lines and the photograph; returns the resource failure messages.
std::vector<std::string> drawPrecession(Canvas& canvas, const Rect& target, double pixelsPerInch,
                                        const PrecessionPattern& p, PrecessionView& view);

/// The read-out text of the point under a pixel (a spot on the rim may lie half a pixel out).
std::optional<std::string> precessionReadoutAt(const PrecessionPattern& p, const PrecessionView& view, double px,
                                               double py);

/// Draws through a canvas and collects the failure messages of the resources selected.
class PaintSession {
 public:
  explicit PaintSession(Canvas& canvas) : canvas_(canvas) {}
  void pen(const Pen& p);
  void brush(const Brush& b);
  void font(const Font& f);
  Canvas& canvas() { return canvas_; }
  std::vector<std::string> failures;

 private:
  void fail(const std::string& text);
  Canvas& canvas_;
};

/// The fonts of the drawings at a resolution.
Font mainFont(double pixelsPerInch);
Font indexFont(double pixelsPerInch);

/// Draws header lines from the top of the target; returns the y below them.
double drawHeaderLines(PaintSession& paint, const Rect& target, const std::vector<std::string>& lines);

}  // namespace tessera
