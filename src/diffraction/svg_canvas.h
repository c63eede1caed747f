#pragma once
// A canvas that writes an SVG picture.

#include <string>

#include "diffraction/canvas.h"

namespace tessera {

class SvgCanvas : public Canvas {
 public:
  /// A picture of that size in pixels, on a white ground.
  SvgCanvas(double width, double height);

  bool setPen(const Pen& pen) override;
  bool setBrush(const Brush& brush) override;
  bool setFont(const Font& font) override;
  void line(Point from, Point to) override;
  void polyline(const std::vector<Point>& points) override;
  void ellipse(const Rect& box) override;
  void text(Point at, std::string_view text, TextAnchor anchor) override;
  double textWidth(std::string_view text) const override;
  double ascent() const override;
  double descent() const override;

  /// The whole SVG document.
  std::string document() const;

 private:
  std::string stroke() const;
  double width_, height_;
  std::string body_;
  Pen pen_ = paint::blackPen();
  Brush brush_ = paint::noBrush();
  Font font_;
};

}  // namespace tessera
