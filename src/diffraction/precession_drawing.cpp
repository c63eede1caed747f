#include <algorithm>
#include <cmath>

#include "diffraction/pattern_drawing.h"

namespace tessera {

std::vector<std::string> drawPrecession(Canvas& canvas, const Rect& target, double ppi, const PrecessionPattern& p,
                                        PrecessionView& view) {
  PaintSession paint(canvas);
  const PrecessionSettings& s = p.settings;
  const PrecessionGeometry& g = p.geometry;
  paint.pen(paint::blackPen());
  paint.font(mainFont(ppi));
  const std::array<std::string, 3> header = precessionHeader(p);
  const double top = drawHeaderLines(paint, target, {header.begin(), header.end()});
  const Rect area{target.x, top, target.width, std::max(target.bottom() - top, 1.0)};
  view = PrecessionView{};
  view.centreX = area.x + nearestInt(area.width / 2);
  view.centreY = area.y + nearestInt(area.height / 2);
  if (!g.recordable) return paint.failures;
  view.drawn = true;
  view.scale = s.precessionScaleMode == 1
                   ? 0.95 * std::min(area.width, area.height) / (2 * g.rOut)
                   : s.precessionFixedScale * s.crystalFilmDistance * ppi * g.lambda * 0.03937;
  const auto pixel = [&](double x, double y) {
    return Point{view.centreX + nearestInt(view.scale * x), view.centreY - nearestInt(view.scale * y)};
  };
  const auto circle = [&](Point c, double r) { canvas.ellipse({c.x - r, c.y - r, 2 * r, 2 * r}); };

  // Limiting circle, and the blind region of an upper layer (inside |R - sin mu|).
  paint.brush(paint::noBrush());
  circle({view.centreX, view.centreY}, g.rOut * view.scale);
  if (s.useLp && g.level > 0 && g.rIn > 0) {
    paint.pen(paint::redPen());
    circle(pixel(0, 0), g.rIn / g.lambda * view.scale);
  }
  if (s.showGrid) {
    paint.pen(paint::redPen());
    for (const auto& seg : p.grid) canvas.line(pixel(seg[0], seg[1]), pixel(seg[2], seg[3]));
  }
  const double markRadius = nearestInt(0.2 * view.scale * p.minReciprocal);
  for (const PrecessionSpot& spot : p.spots) {
    const Point at = pixel(spot.x, spot.y);
    if (!area.contains(at)) continue;
    if (spot.absent) {
      paint.pen(paint::redPen());
      paint.brush(paint::whiteBrush());
      circle(at, markRadius);
      continue;
    }
    // Spots of the Lorentz-blind region are drawn open.
    paint.pen(paint::blackPen());
    paint.brush(spot.blind ? paint::noBrush() : paint::blackBrush());
    circle(at, spot.radius * view.scale);
  }
  return paint.failures;
}

std::optional<std::string> precessionReadoutAt(const PrecessionPattern& p, const PrecessionView& view, double px,
                                               double py) {
  if (!view.drawn || !(view.scale > 0)) return std::nullopt;
  return precessionReadout(p, (px - view.centreX) / view.scale, -(py - view.centreY) / view.scale, 0.5 / view.scale);
}

}  // namespace tessera
