#include "diffraction/metafile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessera {

void ByteWriter::u16(std::uint16_t v) {
  bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::u32(std::uint32_t v) {
  u16(static_cast<std::uint16_t>(v & 0xFFFF));
  u16(static_cast<std::uint16_t>(v >> 16));
}

void ByteWriter::f32(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  u32(bits);
}

void ByteWriter::put16At(std::size_t offset, std::uint16_t v) {
  bytes_.at(offset) = static_cast<std::uint8_t>(v & 0xFF);
  bytes_.at(offset + 1) = static_cast<std::uint8_t>(v >> 8);
}

void ByteWriter::put32At(std::size_t offset, std::uint32_t v) {
  put16At(offset, static_cast<std::uint16_t>(v & 0xFFFF));
  put16At(offset + 2, static_cast<std::uint16_t>(v >> 16));
}

int ObjectTable::take() {
  auto free = std::find(used_.begin(), used_.end(), false);
  const int slot = static_cast<int>(free - used_.begin());
  if (free == used_.end()) used_.push_back(true); else *free = true;
  peak_ = std::max(peak_, static_cast<int>(std::count(used_.begin(), used_.end(), true)));
  return slot;
}

void ObjectTable::release(int slot) {
  if (slot >= 0 && static_cast<std::size_t>(slot) < used_.size()) used_[static_cast<std::size_t>(slot)] = false;
}

namespace {

std::int16_t clamp16(double v) {
  return static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

std::int32_t clamp32(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::clamp(std::llround(v), -2147483647LL, 2147483647LL));
}

std::uint32_t colorRef(const Colour& c) {
  return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
         (static_cast<std::uint32_t>(c.b) << 16);
}

// Text alignment flags: baseline, and left, centre or right of the point.
int alignFlags(TextAnchor anchor) {
  constexpr int kBaseline = 24, kCentre = 6, kRight = 2;
  return kBaseline | (anchor == TextAnchor::Centre ? kCentre : anchor == TextAnchor::Right ? kRight : 0);
}

// Font weight and the pitch-and-family byte of a sans-serif variable-pitch face.
constexpr int kFontWeight = 400;
constexpr std::uint8_t kSwissVariable = 0x22;

// UTF-8 to UTF-16 code units (characters outside the basic plane become '?').
std::vector<std::uint16_t> utf16(std::string_view text) {
  std::vector<std::uint16_t> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    unsigned code = '?';
    std::size_t n = 1;
    if (c < 0x80) {
      code = c;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
      code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      n = 2;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < text.size()) {
      code = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
             (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
      n = 3;
    } else {
      n = (c & 0xF0) == 0xF0 ? 4 : 1;
    }
    out.push_back(static_cast<std::uint16_t>(code));
    i += n;
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// What both canvases share.

double MetafileCanvasBase::textWidth(std::string_view text) const {
  return estimatedTextWidth(text, font_.pixelHeight);
}
double MetafileCanvasBase::ascent() const { return 0.8 * font_.pixelHeight; }
double MetafileCanvasBase::descent() const { return 0.2 * font_.pixelHeight; }

Colour MetafileCanvasBase::shown(const Colour& c) const {
  return blackWhite_ ? blackOrWhite(c) : c;
}

bool MetafileCanvasBase::samePen(const Pen& p) const {
  return havePen_ && shown(p.colour) == shown(pen_.colour) && p.width == pen_.width;
}
bool MetafileCanvasBase::sameBrush(const Brush& b) const {
  return haveBrush_ && b.none == brush_.none && shown(b.colour) == shown(brush_.colour);
}
bool MetafileCanvasBase::sameFont(const Font& f) const {
  return haveFont_ && f.family == font_.family && f.pixelHeight == font_.pixelHeight;
}

// ---------------------------------------------------------------------------
// Standard Windows metafile.

namespace {
enum WmfFunction : std::uint16_t {
  kWmfSetBkMode = 0x0102, kWmfSetMapMode = 0x0103, kWmfSetTextAlign = 0x012E, kWmfSelectObject = 0x012D,
  kWmfDeleteObject = 0x01F0, kWmfSetTextColor = 0x0209, kWmfSetWindowOrg = 0x020B, kWmfSetWindowExt = 0x020C,
  kWmfLineTo = 0x0213, kWmfMoveTo = 0x0214, kWmfCreatePen = 0x02FA, kWmfCreateFont = 0x02FB,
  kWmfCreateBrush = 0x02FC, kWmfPolyline = 0x0325, kWmfEllipse = 0x0418, kWmfTextOut = 0x0521
};
constexpr std::int16_t kIsotropic = 7, kAnisotropic = 8, kTransparent = 1;
}  // namespace

WmfCanvas::WmfCanvas(int widthDots, int heightDots, bool isotropic, bool blackWhite) : MetafileCanvasBase(blackWhite) {
  record(kWmfSetMapMode, {isotropic ? kIsotropic : kAnisotropic});
  record(kWmfSetWindowOrg, {0, 0});
  record(kWmfSetWindowExt, {clamp16(heightDots), clamp16(widthDots)});
  record(kWmfSetBkMode, {kTransparent});
}

void WmfCanvas::beginRecord(std::uint16_t function) {
  recordStart_ = records_.size();
  records_.u32(0);
  records_.u16(function);
}

void WmfCanvas::endRecord() {
  if ((records_.size() - recordStart_) % 2) records_.u8(0);
  const auto words = static_cast<std::uint32_t>((records_.size() - recordStart_) / 2);
  records_.put32At(recordStart_, words);
  maxRecordWords_ = std::max(maxRecordWords_, words);
}

void WmfCanvas::record(std::uint16_t function, const std::vector<std::int16_t>& params) {
  beginRecord(function);
  for (std::int16_t p : params) records_.i16(p);
  endRecord();
}

void WmfCanvas::select(int& current, int slot) {
  record(kWmfSelectObject, {static_cast<std::int16_t>(slot)});
  if (current >= 0) {
    record(kWmfDeleteObject, {static_cast<std::int16_t>(current)});
    objects_.release(current);
  }
  current = slot;
}

bool WmfCanvas::setPen(const Pen& pen) {
  if (samePen(pen)) return true;
  const int slot = objects_.take();
  const std::uint32_t c = colorRef(shown(pen.colour));
  record(kWmfCreatePen, {0, clamp16(pen.width), 0, static_cast<std::int16_t>(c & 0xFFFF),
                         static_cast<std::int16_t>(c >> 16)});
  select(penSlot_, slot);
  pen_ = pen;
  havePen_ = true;
  return true;
}

bool WmfCanvas::setBrush(const Brush& brush) {
  if (sameBrush(brush)) return true;
  const int slot = objects_.take();
  const std::uint32_t c = colorRef(shown(brush.colour));
  record(kWmfCreateBrush, {static_cast<std::int16_t>(brush.none ? 1 : 0), static_cast<std::int16_t>(c & 0xFFFF),
                           static_cast<std::int16_t>(c >> 16), 0});
  select(brushSlot_, slot);
  brush_ = brush;
  haveBrush_ = true;
  return true;
}

bool WmfCanvas::setFont(const Font& font) {
  if (sameFont(font)) return true;
  const int slot = objects_.take();
  beginRecord(kWmfCreateFont);
  records_.i16(clamp16(-font.pixelHeight));  // negative: character height without leading
  records_.i16(0);                           // width, escapement, orientation
  records_.i16(0);
  records_.i16(0);
  records_.i16(kFontWeight);
  for (std::uint8_t b : {0, 0, 0, 0, 0, 0, 0}) records_.u8(b);  // italic .. quality
  records_.u8(kSwissVariable);
  const std::string face = font.family.substr(0, 31);
  for (char ch : face) records_.u8(static_cast<std::uint8_t>(ch));
  records_.u8(0);
  endRecord();
  select(fontSlot_, slot);
  font_ = font;
  haveFont_ = true;
  return true;
}

void WmfCanvas::line(Point from, Point to) {
  record(kWmfMoveTo, {clamp16(from.y), clamp16(from.x)});
  record(kWmfLineTo, {clamp16(to.y), clamp16(to.x)});
}

void WmfCanvas::polyline(const std::vector<Point>& points) {
  // Long curves go out in pieces that share their end points.
  constexpr std::size_t kPiece = 8000;
  for (std::size_t start = 0; start + 1 < points.size(); start += kPiece - 1) {
    const std::size_t end = std::min(points.size(), start + kPiece);
    beginRecord(kWmfPolyline);
    records_.i16(static_cast<std::int16_t>(end - start));
    for (std::size_t i = start; i < end; ++i) {
      records_.i16(clamp16(points[i].x));
      records_.i16(clamp16(points[i].y));
    }
    endRecord();
  }
}

void WmfCanvas::ellipse(const Rect& box) {
  record(kWmfEllipse, {clamp16(box.bottom()), clamp16(box.right()), clamp16(box.y), clamp16(box.x)});
}

void WmfCanvas::text(Point at, std::string_view text, TextAnchor anchor) {
  if (text.empty()) return;
  const int align = alignFlags(anchor);
  if (align != textAlign_) {
    record(kWmfSetTextAlign, {static_cast<std::int16_t>(align)});
    textAlign_ = align;
  }
  const Colour colour = shown(pen_.colour);
  if (!(colour == textColour_)) {
    const std::uint32_t c = colorRef(colour);
    record(kWmfSetTextColor, {static_cast<std::int16_t>(c & 0xFFFF), static_cast<std::int16_t>(c >> 16)});
    textColour_ = colour;
  }
  const std::vector<std::uint16_t> units = utf16(text);
  const std::size_t count = std::min<std::size_t>(units.size(), 2000);
  beginRecord(kWmfTextOut);
  records_.i16(static_cast<std::int16_t>(count));
  for (std::size_t i = 0; i < count; ++i) records_.u8(units[i] < 0x100 ? static_cast<std::uint8_t>(units[i]) : '?');
  if (count % 2) records_.u8(0);
  records_.i16(clamp16(at.y));
  records_.i16(clamp16(at.x));
  endRecord();
}

std::vector<std::uint8_t> WmfCanvas::bytes() const {
  ByteWriter out;
  const std::uint32_t totalWords = static_cast<std::uint32_t>(9 + records_.size() / 2 + 3);
  out.u16(1);       // a metafile in memory (the usual type of .wmf files)
  out.u16(9);       // header words
  out.u16(0x0300);  // version
  out.u32(totalWords);
  out.u16(static_cast<std::uint16_t>(objects_.peak()));
  out.u32(std::max<std::uint32_t>(maxRecordWords_, 3));
  out.u16(0);
  std::vector<std::uint8_t> bytes = out.bytes();
  bytes.insert(bytes.end(), records_.bytes().begin(), records_.bytes().end());
  for (std::uint8_t b : {3, 0, 0, 0, 0, 0}) bytes.push_back(b);  // end record
  return bytes;
}

std::vector<std::uint8_t> placeableHeader(double acrossInches, double downInches) {
  ByteWriter h;
  h.u32(0x9AC6CDD7u);
  h.u16(0);  // handle
  h.i16(0);
  h.i16(0);
  h.i16(static_cast<std::int16_t>(std::trunc(acrossInches * kMetafileDotsPerInch)));
  h.i16(static_cast<std::int16_t>(std::trunc(downInches * kMetafileDotsPerInch)));
  h.u16(2540);  // units per inch
  h.u32(0);     // reserved
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2)
    checksum ^= static_cast<std::uint16_t>(h.bytes()[i] | (h.bytes()[i + 1] << 8));
  h.u16(checksum);
  return h.bytes();
}

// ---------------------------------------------------------------------------
// Enhanced metafile. Logical units are device units of a reference device of one
// dot (0.01 mm) per pixel, so the frame in dots is also the frame in 0.01 mm.

namespace {
enum EmfType : std::uint32_t {
  kEmrHeader = 1, kEmrEof = 14, kEmrSetBkMode = 18, kEmrSetTextAlign = 22, kEmrSetTextColor = 24,
  kEmrMoveToEx = 27, kEmrSelectObject = 37, kEmrCreatePen = 38, kEmrCreateBrush = 39, kEmrDeleteObject = 40,
  kEmrEllipse = 42, kEmrLineTo = 54, kEmrExtCreateFontW = 82, kEmrExtTextOutW = 84, kEmrPolyline16 = 87
};
constexpr std::size_t kEmfHeaderSize = 108;
}  // namespace

EmfCanvas::EmfCanvas(int widthDots, int heightDots, bool blackWhite)
    : MetafileCanvasBase(blackWhite), width_(std::max(1, widthDots)), height_(std::max(1, heightDots)) {
  const std::size_t r = begin(kEmrSetBkMode);
  records_.u32(kTransparent);
  end(r);
}

std::size_t EmfCanvas::begin(std::uint32_t type) {
  const std::size_t start = records_.size();
  records_.u32(type);
  records_.u32(0);
  return start;
}

void EmfCanvas::end(std::size_t start) {
  while ((records_.size() - start) % 4) records_.u8(0);
  records_.put32At(start + 4, static_cast<std::uint32_t>(records_.size() - start));
  ++recordCount_;
}

void EmfCanvas::bounds(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  if (boundRight_ < boundLeft_) {
    boundLeft_ = l, boundTop_ = t, boundRight_ = r, boundBottom_ = b;
    return;
  }
  boundLeft_ = std::min(boundLeft_, l);
  boundTop_ = std::min(boundTop_, t);
  boundRight_ = std::max(boundRight_, r);
  boundBottom_ = std::max(boundBottom_, b);
}

void EmfCanvas::select(int& current, int slot) {
  std::size_t r = begin(kEmrSelectObject);
  records_.u32(static_cast<std::uint32_t>(slot + 1));  // index 0 is the metafile itself
  end(r);
  if (current >= 0) {
    r = begin(kEmrDeleteObject);
    records_.u32(static_cast<std::uint32_t>(current + 1));
    end(r);
    objects_.release(current);
  }
  current = slot;
}

bool EmfCanvas::setPen(const Pen& pen) {
  if (samePen(pen)) return true;
  const int slot = objects_.take();
  const std::size_t r = begin(kEmrCreatePen);
  records_.u32(static_cast<std::uint32_t>(slot + 1));
  records_.u32(0);  // solid
  records_.i32(clamp32(pen.width));
  records_.i32(0);
  records_.u32(colorRef(shown(pen.colour)));
  end(r);
  select(penSlot_, slot);
  pen_ = pen;
  havePen_ = true;
  return true;
}

bool EmfCanvas::setBrush(const Brush& brush) {
  if (sameBrush(brush)) return true;
  const int slot = objects_.take();
  const std::size_t r = begin(kEmrCreateBrush);
  records_.u32(static_cast<std::uint32_t>(slot + 1));
  records_.u32(brush.none ? 1 : 0);  // solid or hollow
  records_.u32(colorRef(shown(brush.colour)));
  records_.u32(0);
  end(r);
  select(brushSlot_, slot);
  brush_ = brush;
  haveBrush_ = true;
  return true;
}

bool EmfCanvas::setFont(const Font& font) {
  if (sameFont(font)) return true;
  const int slot = objects_.take();
  const std::size_t r = begin(kEmrExtCreateFontW);
  records_.u32(static_cast<std::uint32_t>(slot + 1));
  records_.i32(clamp32(-font.pixelHeight));
  records_.i32(0);
  records_.i32(0);
  records_.i32(0);
  records_.i32(kFontWeight);
  for (std::uint8_t b : {0, 0, 0, 0, 0, 0, 0}) records_.u8(b);
  records_.u8(kSwissVariable);
  std::vector<std::uint16_t> face = utf16(font.family);
  face.resize(32, 0);
  face[31] = 0;
  for (std::uint16_t c : face) records_.u16(c);
  end(r);
  select(fontSlot_, slot);
  font_ = font;
  haveFont_ = true;
  return true;
}

void EmfCanvas::line(Point from, Point to) {
  std::size_t r = begin(kEmrMoveToEx);
  records_.i32(clamp32(from.x));
  records_.i32(clamp32(from.y));
  end(r);
  r = begin(kEmrLineTo);
  records_.i32(clamp32(to.x));
  records_.i32(clamp32(to.y));
  end(r);
  bounds(std::min(clamp32(from.x), clamp32(to.x)), std::min(clamp32(from.y), clamp32(to.y)),
         std::max(clamp32(from.x), clamp32(to.x)), std::max(clamp32(from.y), clamp32(to.y)));
}

void EmfCanvas::polyline(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  std::int32_t l = clamp32(points[0].x), t = clamp32(points[0].y), rt = l, b = t;
  for (const Point& p : points) {
    l = std::min(l, clamp32(p.x)), rt = std::max(rt, clamp32(p.x));
    t = std::min(t, clamp32(p.y)), b = std::max(b, clamp32(p.y));
  }
  const std::size_t r = begin(kEmrPolyline16);
  for (std::int32_t v : {l, t, rt, b}) records_.i32(v);
  records_.u32(static_cast<std::uint32_t>(points.size()));
  for (const Point& p : points) {
    records_.i16(clamp16(p.x));
    records_.i16(clamp16(p.y));
  }
  end(r);
  bounds(l, t, rt, b);
}

void EmfCanvas::ellipse(const Rect& box) {
  const std::size_t r = begin(kEmrEllipse);
  const std::int32_t l = clamp32(box.x), t = clamp32(box.y), rt = clamp32(box.right()), b = clamp32(box.bottom());
  for (std::int32_t v : {l, t, rt, b}) records_.i32(v);
  end(r);
  bounds(l, t, rt, b);
}

void EmfCanvas::text(Point at, std::string_view text, TextAnchor anchor) {
  if (text.empty()) return;
  const int align = alignFlags(anchor);
  if (align != textAlign_) {
    const std::size_t r = begin(kEmrSetTextAlign);
    records_.u32(static_cast<std::uint32_t>(align));
    end(r);
    textAlign_ = align;
  }
  const Colour colour = shown(pen_.colour);
  if (!(colour == textColour_)) {
    const std::size_t r = begin(kEmrSetTextColor);
    records_.u32(colorRef(colour));
    end(r);
    textColour_ = colour;
  }
  const std::vector<std::uint16_t> units = utf16(text);
  const Rect box = textBox(*this, at, text, anchor);
  const std::int32_t l = clamp32(box.x), t = clamp32(box.y), rt = clamp32(box.right()), b = clamp32(box.bottom());
  const std::size_t r = begin(kEmrExtTextOutW);
  for (std::int32_t v : {l, t, rt, b}) records_.i32(v);
  records_.u32(1);  // compatible graphics mode
  records_.f32(1.0f);
  records_.f32(1.0f);
  records_.i32(clamp32(at.x));
  records_.i32(clamp32(at.y));
  records_.u32(static_cast<std::uint32_t>(units.size()));
  const std::uint32_t stringOffset = 76;
  const std::uint32_t stringBytes = static_cast<std::uint32_t>((units.size() * 2 + 3) / 4 * 4);
  records_.u32(stringOffset);
  records_.u32(0);  // options
  for (std::int32_t v : {0, 0, -1, -1}) records_.i32(v);
  records_.u32(stringOffset + stringBytes);  // advances follow the string
  for (std::uint16_t c : units) records_.u16(c);
  while ((records_.size() - r) % 4) records_.u8(0);
  const double advanceScale = units.empty() ? 0 : box.width / static_cast<double>(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) records_.u32(static_cast<std::uint32_t>(clamp32(advanceScale)));
  end(r);
  bounds(l, t, rt, b);
}

std::vector<std::uint8_t> EmfCanvas::bytes() const {
  std::vector<std::uint16_t> description = utf16(kMetafileDescription);
  description.push_back(0);
  description.push_back(0);
  const std::size_t descriptionBytes = (description.size() * 2 + 3) / 4 * 4;
  const std::size_t headerBytes = kEmfHeaderSize + descriptionBytes;
  const std::size_t eofBytes = 20;
  const std::size_t total = headerBytes + records_.size() + eofBytes;

  ByteWriter h;
  h.u32(kEmrHeader);
  h.u32(static_cast<std::uint32_t>(headerBytes));
  const bool empty = boundRight_ < boundLeft_;
  for (std::int32_t v : {empty ? 0 : boundLeft_, empty ? 0 : boundTop_, empty ? -1 : boundRight_,
                         empty ? -1 : boundBottom_})
    h.i32(v);
  for (std::int32_t v : {0, 0, width_ - 1, height_ - 1}) h.i32(v);  // frame in 0.01 mm
  h.u32(0x464D4520u);                                                  // " EMF"
  h.u32(0x00010000u);
  h.u32(static_cast<std::uint32_t>(total));
  h.u32(recordCount_ + 2);  // with the header and the end record
  h.u16(static_cast<std::uint16_t>(objects_.peak() + 1));
  h.u16(0);
  h.u32(static_cast<std::uint32_t>(description.size()));
  h.u32(static_cast<std::uint32_t>(kEmfHeaderSize));
  h.u32(0);  // palette entries
  h.i32(width_);  // reference device in pixels (one dot each) and in millimetres
  h.i32(height_);
  h.i32(std::max(1, width_ / 100));
  h.i32(std::max(1, height_ / 100));
  h.u32(0);  // no pixel format
  h.u32(0);
  h.u32(0);  // no OpenGL
  h.i32(width_ * 10);  // micrometres
  h.i32(height_ * 10);
  for (std::uint16_t c : description) h.u16(c);
  while (h.size() < headerBytes) h.u8(0);

  std::vector<std::uint8_t> bytes = h.bytes();
  bytes.insert(bytes.end(), records_.bytes().begin(), records_.bytes().end());
  ByteWriter eof;
  eof.u32(kEmrEof);
  eof.u32(static_cast<std::uint32_t>(eofBytes));
  eof.u32(0);
  eof.u32(16);
  eof.u32(static_cast<std::uint32_t>(eofBytes));
  bytes.insert(bytes.end(), eof.bytes().begin(), eof.bytes().end());
  return bytes;
}

}  // namespace tessera
