#pragma once
// Metafile canvases: the pattern drawings as standard and placeable Windows
// metafiles (16-bit records in logical units) and as enhanced metafiles (32-bit
// records), written by the program itself. One logical unit is one dot of
// 1/2540 inch; the drawing routine paints into the frame in dots.

#include <cstdint>
#include <string>
#include <vector>

#include "diffraction/canvas.h"

namespace tessera {

/// Dots per inch of the metafile frames.
inline constexpr double kMetafileDotsPerInch = 2540.0;
/// The largest extent a Windows metafile can hold, in dots.
inline constexpr int kWindowsMetafileLimit = 32767;

/// Little-endian record bytes.
class ByteWriter {
 public:
  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u16(std::uint16_t v);
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v);
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float v);
  void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void put16At(std::size_t offset, std::uint16_t v);
  void put32At(std::size_t offset, std::uint32_t v);
  std::size_t size() const { return bytes_.size(); }
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

/// The graphics objects a metafile has created: slots reused lowest first, as a
/// reader's object table fills them.
class ObjectTable {
 public:
  /// The slot a newly created object takes.
  int take();
  void release(int slot);
  /// The most objects alive at one time.
  int peak() const { return peak_; }

 private:
  std::vector<bool> used_;
  int peak_ = 0;
};

/// What both metafile canvases share: current resources, colours (black and white
/// maps every colour but white to black), text metrics estimated from the font.
class MetafileCanvasBase : public Canvas {
 public:
  double textWidth(std::string_view text) const override;
  double ascent() const override;
  double descent() const override;

 protected:
  explicit MetafileCanvasBase(bool blackWhite) : blackWhite_(blackWhite) {}
  Colour shown(const Colour& c) const;
  bool samePen(const Pen& p) const;
  bool sameBrush(const Brush& b) const;
  bool sameFont(const Font& f) const;
  bool blackWhite_;
  bool havePen_ = false, haveBrush_ = false, haveFont_ = false;
  Pen pen_;
  Brush brush_;
  Font font_;
  ObjectTable objects_;
  int penSlot_ = -1, brushSlot_ = -1, fontSlot_ = -1;
};

/// A standard Windows metafile of a frame in dots (each side at most 32767).
class WmfCanvas : public MetafileCanvasBase {
 public:
  /// isotropic: the picture keeps its aspect ratio when a program scales it.
  WmfCanvas(int widthDots, int heightDots, bool isotropic, bool blackWhite);

  bool setPen(const Pen& pen) override;
  bool setBrush(const Brush& brush) override;
  bool setFont(const Font& font) override;
  void line(Point from, Point to) override;
  void polyline(const std::vector<Point>& points) override;
  void ellipse(const Rect& box) override;
  void text(Point at, std::string_view text, TextAnchor anchor) override;

  /// The finished metafile: header, records, end record.
  std::vector<std::uint8_t> bytes() const;

 private:
  void record(std::uint16_t function, const std::vector<std::int16_t>& params);
  void beginRecord(std::uint16_t function);
  void endRecord();
  /// Selects the new object in slot and deletes the one it replaces.
  void select(int& current, int slot);
  ByteWriter records_;
  std::size_t recordStart_ = 0;
  std::uint32_t maxRecordWords_ = 0;
  int textAlign_ = -1;
  Colour textColour_{1, 2, 3};
};

/// The 22-byte placeable header for a frame in inches: key, bounding box in dots,
/// 2540 units per inch and the checksum of the first ten words.
std::vector<std::uint8_t> placeableHeader(double acrossInches, double downInches);

/// An enhanced metafile of a frame in dots, with the description the program gives it.
class EmfCanvas : public MetafileCanvasBase {
 public:
  EmfCanvas(int widthDots, int heightDots, bool blackWhite);

  bool setPen(const Pen& pen) override;
  bool setBrush(const Brush& brush) override;
  bool setFont(const Font& font) override;
  void line(Point from, Point to) override;
  void polyline(const std::vector<Point>& points) override;
  void ellipse(const Rect& box) override;
  void text(Point at, std::string_view text, TextAnchor anchor) override;

  /// The finished metafile: header with description, records, end record.
  std::vector<std::uint8_t> bytes() const;

 private:
  std::size_t begin(std::uint32_t type);
  void end(std::size_t start);
  void bounds(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b);
  /// Selects the new object in slot and deletes the one it replaces.
  void select(int& current, int slot);
  int width_, height_;
  ByteWriter records_;
  std::uint32_t recordCount_ = 0;
  int textAlign_ = -1;
  Colour textColour_{1, 2, 3};
  std::int32_t boundLeft_ = 0, boundTop_ = 0, boundRight_ = -1, boundBottom_ = -1;
};

/// The description an enhanced metafile carries.
inline constexpr const char* kMetafileDescription = "ORBIS";

}  // namespace tessera
