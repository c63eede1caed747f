#include "diffraction/svg_canvas.h"

#include "core/text.h"

namespace tessera {

namespace {

std::string colourText(const Colour& c) { return format("#%02x%02x%02x", c.r, c.g, c.b); }

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML text.
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
  }
  return out;
}

}  // namespace

SvgCanvas::SvgCanvas(double width, double height) : width_(width), height_(height) {}

bool SvgCanvas::setPen(const Pen& pen) {
  pen_ = pen;
  return true;
}
bool SvgCanvas::setBrush(const Brush& brush) {
  brush_ = brush;
  return true;
}
bool SvgCanvas::setFont(const Font& font) {
  font_ = font;
  return true;
}

std::string SvgCanvas::stroke() const {
  return format("stroke=\"%s\" stroke-width=\"%.2f\"", colourText(pen_.colour).c_str(), pen_.width > 0 ? pen_.width : 1.0);
}

void SvgCanvas::line(Point a, Point b) {
  appendFormat(body_, "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" %s/>\n", a.x, a.y, b.x, b.y, stroke().c_str());
}

void SvgCanvas::polyline(const std::vector<Point>& points) {
  if (points.empty()) return;
  body_ += "<polyline fill=\"none\" " + stroke() + " points=\"";
  for (const Point& p : points) appendFormat(body_, "%.2f,%.2f ", p.x, p.y);
  body_ += "\"/>\n";
}

void SvgCanvas::ellipse(const Rect& box) {
  const std::string fill = brush_.none ? "none" : colourText(brush_.colour);
  appendFormat(body_, "<ellipse cx=\"%.2f\" cy=\"%.2f\" rx=\"%.2f\" ry=\"%.2f\" fill=\"%s\" %s/>\n", box.x + box.width / 2,
               box.y + box.height / 2, box.width / 2, box.height / 2, fill.c_str(), stroke().c_str());
}

void SvgCanvas::text(Point at, std::string_view text, TextAnchor anchor) {
  const char* a = anchor == TextAnchor::Left ? "start" : anchor == TextAnchor::Centre ? "middle" : "end";
  appendFormat(body_,
               "<text x=\"%.2f\" y=\"%.2f\" font-family=\"%s\" font-size=\"%.1f\" text-anchor=\"%s\" fill=\"%s\" "
               "xml:space=\"preserve\">%s</text>\n",
               at.x, at.y, escaped(font_.family).c_str(), font_.pixelHeight, a, colourText(pen_.colour).c_str(),
               escaped(text).c_str());
}

double SvgCanvas::textWidth(std::string_view text) const { return estimatedTextWidth(text, font_.pixelHeight); }
double SvgCanvas::ascent() const { return 0.8 * font_.pixelHeight; }
double SvgCanvas::descent() const { return 0.2 * font_.pixelHeight; }

std::string SvgCanvas::document() const {
  std::string out = format(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\">\n"
      "<rect x=\"0\" y=\"0\" width=\"%.0f\" height=\"%.0f\" fill=\"#ffffff\"/>\n",
      width_, height_, width_, height_, width_, height_);
  return out + body_ + "</svg>\n";
}

}  // namespace tessera
