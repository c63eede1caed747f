#include "app/painter_canvas.h"

#include <QFontMetricsF>
#include <QPolygonF>

namespace tessera::app {

namespace {
QColor toColour(const Colour& c) { return QColor(c.r, c.g, c.b); }
QString toText(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

bool PainterCanvas::setPen(const Pen& pen) {
  QPen p(toColour(pen.colour));
  p.setWidthF(pen.width);
  p.setCosmetic(pen.width <= 0);
  painter_.setPen(p);
  return true;
}

bool PainterCanvas::setBrush(const Brush& brush) {
  painter_.setBrush(brush.none ? QBrush(Qt::NoBrush) : QBrush(toColour(brush.colour)));
  return true;
}

bool PainterCanvas::setFont(const Font& font) {
  QFont f(toText(font.family));
  f.setPixelSize(std::max(1, static_cast<int>(font.pixelHeight * 0.85 + 0.5)));
  painter_.setFont(f);
  return true;
}

void PainterCanvas::line(Point a, Point b) { painter_.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y)); }

void PainterCanvas::polyline(const std::vector<Point>& points) {
  QPolygonF poly;
  poly.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) poly << QPointF(p.x, p.y);
  painter_.drawPolyline(poly);
}

void PainterCanvas::ellipse(const Rect& box) { painter_.drawEllipse(QRectF(box.x, box.y, box.width, box.height)); }

void PainterCanvas::text(Point at, std::string_view text, TextAnchor anchor) {
  const double w = textWidth(text);
  const double x = anchor == TextAnchor::Left ? at.x : anchor == TextAnchor::Centre ? at.x - w / 2 : at.x - w;
  painter_.drawText(QPointF(x, at.y), toText(text));
}

double PainterCanvas::textWidth(std::string_view text) const {
  return QFontMetricsF(painter_.font()).horizontalAdvance(toText(text));
}
double PainterCanvas::ascent() const { return QFontMetricsF(painter_.font()).ascent(); }
double PainterCanvas::descent() const { return QFontMetricsF(painter_.font()).descent(); }

}  // namespace tessera::app
