#include "diffraction/pattern_drawing.h"

#include <algorithm>

namespace tessera {

void PaintSession::fail(const std::string& text) {
  if (std::find(failures.begin(), failures.end(), text) == failures.end()) failures.push_back(text);
}

void PaintSession::pen(const Pen& p) {
  if (canvas_.setPen(p)) return;
  fail(p.name == "black" ? "Black pen creation failed" : p.name == "red" ? "Red pen creation failed"
                                                                         : "White pen creation failed");
}

void PaintSession::brush(const Brush& b) {
  if (b.none || canvas_.setBrush(b)) {
    if (b.none) canvas_.setBrush(b);
    return;
  }
  fail(b.name == "black" ? "Black brush creation failed" : "White brush creation failed");
}

void PaintSession::font(const Font& f) {
  if (canvas_.setFont(f)) return;
  fail(f.role == FontRole::Main ? "Main font creation failed" : "Index font creation failed");
}

Font mainFont(double ppi) { return {"Arial", FontRole::Main, ppi * 10.0 / 72.0}; }
Font indexFont(double ppi) { return {"Arial", FontRole::Index, ppi * 8.0 / 72.0}; }

double drawHeaderLines(PaintSession& paint, const Rect& target, const std::vector<std::string>& lines) {
  Canvas& c = paint.canvas();
  const double lineHeight = (c.ascent() + c.descent()) * 1.15;
  double y = target.y + 0.5 * lineHeight;
  for (const std::string& line : lines) {
    y += lineHeight;
    c.text({target.x + lineHeight, y - c.descent()}, line, TextAnchor::Left);
  }
  return y + 0.5 * lineHeight;
}

}  // namespace tessera
