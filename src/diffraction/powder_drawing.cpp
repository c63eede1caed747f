#include <algorithm>
#include <cmath>

#include "core/text.h"
#include "diffraction/pattern_drawing.h"

namespace tessera {

namespace {

/// A reflection label waiting for a place: its line position and the top of its peak.
struct LabelCandidate {
  double x, peakTop, intensity;
  std::string text;
};

/// Places labels strongest first, each in the lowest free row above its peak, skipping
/// those that find no room: no two labels overlap.
std::vector<Rect> placeLabels(Canvas& c, std::vector<LabelCandidate> labels, const Rect& area) {
  std::stable_sort(labels.begin(), labels.end(),
                   [](const LabelCandidate& a, const LabelCandidate& b) { return a.intensity > b.intensity; });
  const double height = c.ascent() + c.descent();
  std::vector<Rect> placed;
  for (const LabelCandidate& l : labels) {
    const double w = c.textWidth(l.text) + 2;
    Rect box{l.x - w / 2, l.peakTop - 2 - height, w, height};
    if (box.x < area.x || box.right() > area.right()) continue;
    bool fits = false;
    while (box.y >= area.y) {
      const auto clash = std::find_if(placed.begin(), placed.end(), [&](const Rect& r) { return r.intersects(box); });
      if (clash == placed.end()) {
        fits = true;
        break;
      }
      box.y = std::min(box.y - 1, clash->y - height - 1);
    }
    if (!fits) continue;
    placed.push_back(box);
    c.text({l.x, box.bottom() - c.descent()}, l.text, TextAnchor::Centre);
  }
  return placed;
}

}  // namespace

std::vector<std::string> drawPowder(Canvas& canvas, const Rect& target, double ppi, const PowderPattern& p,
                                    PowderView& view) {
  PaintSession paint(canvas);
  const PowderSettings& s = p.settings;
  const double lo = s.twoThetaMin, hi = effectiveTwoThetaMax(s);
  const double penWidth = s.lineWidth > 0 ? s.lineWidth * ppi : 0;
  paint.pen(paint::blackPen(penWidth));
  paint.font(mainFont(ppi));
  const double top = drawHeaderLines(paint, target, {crystalLine(p.crystal, p.title), radiationLine(p, false),
                                                     powderCellLine(p)});
  const double textHeight = canvas.ascent() + canvas.descent();
  const double left = target.x + 4 * textHeight, right = target.right() - 3 * textHeight;
  const double base = target.bottom() - 3 * textHeight;

  view = PowderView{};
  view.drawn = true;
  view.xOrigin = left;
  view.twoThetaMin = lo;
  view.wavelength = p.wavelengths.lambda[0];
  view.pixelsPerDegree = s.powderScaleMode == 1 && s.powderFixedScale > 0 ? ppi / s.powderFixedScale
                                                                         : (right - left) / std::max(hi - lo, 1e-6);
  view.yBase = base;
  view.yScale = std::max(0.9 * (base - top), 1.0);
  const auto xAt = [&](double twoTheta) { return left + nearestInt((twoTheta - lo) * view.pixelsPerDegree); };

  // The 2-theta axis: whole degrees, every tenth labelled.
  const double tick = 0.6 * textHeight;
  canvas.line({left, base}, {static_cast<double>(xAt(hi)), base});
  for (int deg = 0; deg <= 179; ++deg) {
    if (deg < lo || deg > hi + 0.1) continue;
    const double x = xAt(deg);
    const bool major = deg % 10 == 0;
    canvas.line({x, base}, {x, base + (major ? tick : tick / 2)});
    if (major) canvas.text({x, base + tick + canvas.ascent()}, format("%d", deg), TextAnchor::Centre);
  }
  canvas.text({(left + xAt(hi)) / 2.0, base + tick + 2.2 * textHeight}, "2-theta (deg)", TextAnchor::Centre);

  // Heights: the profile's largest value over the vertical scale is full height.
  const PowderCurve curve = powderCurve(p);
  const double full = curve.ymax / std::max(static_cast<double>(s.powderVerticalScale), 0.02);
  const auto yAt = [&](double value) {
    const double h = full > 0 ? std::min(value / full, 1.0) : 0.0;
    return base - h * view.yScale;
  };
  std::vector<LabelCandidate> labels;
  if (s.powderProfile == 0) {
    for (const Reflection& r : p.reflections)
      for (int i = 0; i < p.wavelengths.count; ++i) {
        const double t = r.twoTheta[static_cast<std::size_t>(i)];
        if (t < lo || t > hi) continue;
        const double x = xAt(t);
        canvas.line({x, base}, {x, yAt(r.intensity[static_cast<std::size_t>(i)])});
      }
  } else if (curve.ymax >= 1e-7) {
    std::vector<Point> points;
    points.reserve(curve.y.size());
    for (std::size_t i = 0; i < curve.y.size(); ++i)
      points.push_back({static_cast<double>(xAt(curve.at(i))), yAt(curve.y[i])});
    canvas.polyline(points);
  }
  if (s.indexGraph) {
    for (const Reflection& r : p.reflections) {
      const double t = r.twoTheta[0];
      if (t < lo || t > hi || !(r.intensity[0] > 0)) continue;
      double peak = r.intensity[0];
      if (s.powderProfile == 1 && !curve.y.empty()) {
        const std::size_t at = static_cast<std::size_t>(std::clamp((t - lo) / curve.step + 0.5, 0.0,
                                                                   static_cast<double>(curve.y.size() - 1)));
        peak = curve.y[at];
      }
      labels.push_back({static_cast<double>(xAt(t)), yAt(peak), r.intensity[0], format("%d %d %d", r.h, r.k, r.l)});
    }
    paint.font(indexFont(ppi));
    view.labelBoxes = placeLabels(canvas, labels, {target.x, top, target.width, base - top});
  }
  return paint.failures;
}

std::string powderReadout(const PowderView& view, double px, double py) {
  double twoTheta = (px - view.xOrigin) / view.pixelsPerDegree + view.twoThetaMin;
  double d = 0;
  if (twoTheta > 0.1)
    d = view.wavelength * 0.5 / std::sin(twoTheta * 0.01745329 * 0.5);
  else
    twoTheta = 0;
  const double intensity = std::clamp((view.yBase - py) / view.yScale * 100.0, 0.0, 100.0);
  return format("2-theta:%7.2f  d-spacing:%8.4f  Intensity: %5.1f", twoTheta, d, intensity);
}

}  // namespace tessera
