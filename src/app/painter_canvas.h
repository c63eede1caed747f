#pragma once
// The canvas of the pattern windows, pictures and printed pages: drawing calls
// passed to a QPainter (which draws on a widget, an image, an SVG or PDF file).

#include <QFont>
#include <QPainter>

#include "diffraction/canvas.h"

namespace tessera::app {

class PainterCanvas : public Canvas {
 public:
  explicit PainterCanvas(QPainter& painter);

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

 private:
  QPainter& painter_;
};

}  // namespace tessera::app
