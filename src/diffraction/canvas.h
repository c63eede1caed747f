#pragma once
// The drawing surface of the pattern windows: pens, brushes and fonts chosen by
// name, lines, polylines, ellipses and text in device pixels (y downwards). The
// window paints through a QPainter canvas; pictures (SVG here, PNG/PDF in the
// desktop program, metafiles) and printed pages are other canvases, and the tests
// record the calls.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessera {

struct Point {
  double x = 0, y = 0;
};

struct Rect {
  double x = 0, y = 0, width = 0, height = 0;
  double right() const { return x + width; }
  double bottom() const { return y + height; }
  bool contains(const Point& p) const { return p.x >= x && p.x <= right() && p.y >= y && p.y <= bottom(); }
  bool intersects(const Rect& o) const {
    return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
  }
};

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

/// A pen by name ("black", "red", "white") with its colour and width in pixels (0: thinnest line).
struct Pen {
  std::string name;
  Colour colour;
  double width = 0;
};

/// A brush by name ("black", "white"; "none" leaves shapes unfilled).
struct Brush {
  std::string name;
  Colour colour;
  bool none = false;
};

/// Fonts: the main font of the header lines and the index font of reflection labels.
enum class FontRole { Main, Index };

struct Font {
  std::string family = "Arial";
  FontRole role = FontRole::Main;
  double pixelHeight = 12;  ///< character height (ascent + descent) in pixels
};

/// Horizontal placement of a text at its point (the point's y is the baseline).
enum class TextAnchor { Left, Centre, Right };

/// The named resources of the drawings.
namespace paint {
Pen blackPen(double width = 0);
Pen redPen(double width = 0);
Pen whitePen(double width = 0);
Brush blackBrush();
Brush whiteBrush();
Brush noBrush();
}  // namespace paint

class Canvas {
 public:
  virtual ~Canvas() = default;
  /// Selecting a resource may fail (a metafile or printer without room for it): false,
  /// and the previous one stays selected.
  virtual bool setPen(const Pen& pen) = 0;
  virtual bool setBrush(const Brush& brush) = 0;
  virtual bool setFont(const Font& font) = 0;

  virtual void line(Point from, Point to) = 0;
  virtual void polyline(const std::vector<Point>& points) = 0;
  /// An ellipse in the box: outlined with the pen, filled with the brush.
  virtual void ellipse(const Rect& box) = 0;
  virtual void text(Point at, std::string_view text, TextAnchor anchor) = 0;

  /// Width of a text in the selected font, and the font's ascent and descent (pixels).
  virtual double textWidth(std::string_view text) const = 0;
  virtual double ascent() const = 0;
  virtual double descent() const = 0;
};

/// Text metrics of a proportional face estimated from its height (canvases without a font engine).
double estimatedTextWidth(std::string_view text, double pixelHeight);

/// A canvas that records every call, for tests and for replaying onto another canvas.
class RecordingCanvas : public Canvas {
 public:
  struct Op {
    enum class Kind { Line, Polyline, Ellipse, Text } kind;
    std::vector<Point> points;  ///< line ends, polyline points, ellipse corners, text point
    std::string text;
    TextAnchor anchor = TextAnchor::Left;
    Pen pen;
    Brush brush;
    Font font;
    Rect textBox;  ///< the box a text covers (estimated metrics)
  };

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

  /// Names of resources whose selection fails (to exercise the failure messages).
  std::vector<std::string> refuse;
  std::vector<Op> ops;
  /// The texts drawn, in order.
  std::vector<std::string> texts() const;

 private:
  Op make(Op::Kind kind) const;
  Pen pen_;
  Brush brush_;
  Font font_;
};

/// A colour as black-and-white output shows it: white stays white, all else is black.
Colour blackOrWhite(const Colour& c);

/// Passes the drawing on to another canvas in black and white (printing and
/// pictures without colour).
class BlackWhiteCanvas : public Canvas {
 public:
  explicit BlackWhiteCanvas(Canvas& inner) : inner_(inner) {}
  bool setPen(const Pen& pen) override;
  bool setBrush(const Brush& brush) override;
  bool setFont(const Font& font) override { return inner_.setFont(font); }
  void line(Point from, Point to) override { inner_.line(from, to); }
  void polyline(const std::vector<Point>& points) override { inner_.polyline(points); }
  void ellipse(const Rect& box) override { inner_.ellipse(box); }
  void text(Point at, std::string_view text, TextAnchor anchor) override { inner_.text(at, text, anchor); }
  double textWidth(std::string_view text) const override { return inner_.textWidth(text); }
  double ascent() const override { return inner_.ascent(); }
  double descent() const override { return inner_.descent(); }

 private:
  Canvas& inner_;
};

/// The box a text covers when drawn at `at` with that anchor.
Rect textBox(const Canvas& canvas, Point at, std::string_view text, TextAnchor anchor);

}  // namespace tessera
