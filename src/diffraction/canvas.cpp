#include "diffraction/canvas.h"

#include <algorithm>

namespace tessera {

namespace paint {
Pen blackPen(double width) { return {"black", {0, 0, 0}, width}; }
Pen redPen(double width) { return {"red", {255, 0, 0}, width}; }
Pen whitePen(double width) { return {"white", {255, 255, 255}, width}; }
Brush blackBrush() { return {"black", {0, 0, 0}, false}; }
Brush whiteBrush() { return {"white", {255, 255, 255}, false}; }
Brush noBrush() { return {"none", {0, 0, 0}, true}; }
}  // namespace paint

double estimatedTextWidth(std::string_view text, double pixelHeight) {
  // Average advance of a sans-serif face: digits and lower case about 0.55 em, blanks 0.28 em.
  double w = 0;
  for (char c : text) w += c == ' ' ? 0.28 : (c >= 'A' && c <= 'Z') ? 0.67 : 0.56;
  return w * pixelHeight;
}

Rect textBox(const Canvas& canvas, Point at, std::string_view text, TextAnchor anchor) {
  const double w = canvas.textWidth(text);
  const double left = anchor == TextAnchor::Left ? at.x : anchor == TextAnchor::Centre ? at.x - w / 2 : at.x - w;
  return {left, at.y - canvas.ascent(), w, canvas.ascent() + canvas.descent()};
}

bool RecordingCanvas::setPen(const Pen& pen) {
  if (std::find(refuse.begin(), refuse.end(), pen.name + " pen") != refuse.end()) return false;
  pen_ = pen;
  return true;
}

bool RecordingCanvas::setBrush(const Brush& brush) {
  if (std::find(refuse.begin(), refuse.end(), brush.name + " brush") != refuse.end()) return false;
  brush_ = brush;
  return true;
}

bool RecordingCanvas::setFont(const Font& font) {
  if (std::find(refuse.begin(), refuse.end(), font.role == FontRole::Main ? "main font" : "index font") != refuse.end())
    return false;
  font_ = font;
  return true;
}

RecordingCanvas::Op RecordingCanvas::make(Op::Kind kind) const {
  Op op{kind, {}, {}, TextAnchor::Left, pen_, brush_, font_, {}};
  return op;
}

void RecordingCanvas::line(Point from, Point to) {
  Op op = make(Op::Kind::Line);
  op.points = {from, to};
  ops.push_back(op);
}

void RecordingCanvas::polyline(const std::vector<Point>& points) {
  Op op = make(Op::Kind::Polyline);
  op.points = points;
  ops.push_back(op);
}

void RecordingCanvas::ellipse(const Rect& box) {
  Op op = make(Op::Kind::Ellipse);
  op.points = {{box.x, box.y}, {box.right(), box.bottom()}};
  ops.push_back(op);
}

void RecordingCanvas::text(Point at, std::string_view text, TextAnchor anchor) {
  Op op = make(Op::Kind::Text);
  op.points = {at};
  op.text = std::string(text);
  op.anchor = anchor;
  op.textBox = textBox(*this, at, text, anchor);
  ops.push_back(op);
}

double RecordingCanvas::textWidth(std::string_view text) const { return estimatedTextWidth(text, font_.pixelHeight); }
double RecordingCanvas::ascent() const { return 0.8 * font_.pixelHeight; }
double RecordingCanvas::descent() const { return 0.2 * font_.pixelHeight; }

std::vector<std::string> RecordingCanvas::texts() const {
  std::vector<std::string> out;
  for (const Op& op : ops)
    if (op.kind == Op::Kind::Text) out.push_back(op.text);
  return out;
}

Colour blackOrWhite(const Colour& c) { return c == Colour{255, 255, 255} ? c : Colour{0, 0, 0}; }

bool BlackWhiteCanvas::setPen(const Pen& pen) {
  Pen shown = pen;
  shown.colour = blackOrWhite(pen.colour);
  return inner_.setPen(shown);
}

bool BlackWhiteCanvas::setBrush(const Brush& brush) {
  Brush shown = brush;
  shown.colour = blackOrWhite(brush.colour);
  return inner_.setBrush(shown);
}

}  // namespace tessera
