#include "core/native_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>

#include "core/cell_geometry.h"
#include "core/record_format.h"
#include "core/messages.h"
#include "core/text.h"

namespace tessera {

namespace {

/// Longest line the reader takes after the first two; longer ones are read errors.
constexpr std::size_t kMaxRecordLength = 254;
/// Longest stored symmetry line text.
constexpr std::size_t kMaxXyzText = 80;

/// Free text of a record (title, symbols): control characters would end or split the
/// line, so they are written as blanks.
std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (isControlCharacter(c) && c != '\t') c = ' ';
  return out;
}

/// Writes the records; `finite` turns false when a number is not finite.
class RecordWriter {
 public:
  explicit RecordWriter(std::string& out) : out_(out) {}
  void operator()(const char* fmt, std::initializer_list<RecordArg> args) {
    finite_ = appendRecord(out_, fmt, args) && finite_;
  }
  bool finite() const { return finite_; }

 private:
  std::string& out_;
  bool finite_ = true;
};

void appendCrystalRecords(RecordWriter& put, const CrystalRecord& c, int n, const std::string& cartesianText) {
  put("SYMA%d %d %d %d %d %d %d %d %d \n", {n, c.lineCount(), c.sgNumber, c.axesType, c.acentric, c.rhombohedralAxes,
                                           c.latticeCode, c.symbolKind, c.cartesianFlag});
  put("SYMB%d %d %d %d %d %d %d %d\n", {n, c.pointGroupCode, c.inversionOffOrigin, c.symmetrySource, c.uniqueAxis,
                                       c.settingCode, c.pointGroupIndex, c.p1Defaulted});
  put("SSTR%d %s %s %s %s\n", {n, singleToken(c.pointGroupSchoenflies), singleToken(c.pointGroupHM),
                              singleToken(c.sgNumberText), singleToken(c.latticeName)});
  put("INTN%d %-s\n", {n, oneLine(c.hmSymbol)});
  put("HALL%d %-s\n", {n, oneLine(c.hallSymbol)});
  for (const std::string& line : c.xyzLines) put("XYZL%d %s\n", {n, removeBlanks(oneLine(line))});
  if (c.cartesianFlag != 0) put("CART%d %s\n", {n, oneLine(cartesianText)});
  put("TRAN%d %d %d %d\n", {n, c.aperiodicAxes[0], c.aperiodicAxes[1], c.aperiodicAxes[2]});
}

/// A first occupant's zero occupancy is written as -0.000000: the reader turns a
/// plain 0.000000 there into 1.0 (the rule of older files) and keeps a signed zero.
float writtenOccupancy(const SiteOccupant& o, bool first) {
  return first && std::fabs(o.occupancy) < 5e-7f ? -0.0f : o.occupancy;
}

void appendSite(RecordWriter& put, const Site& s) {
  put("ATOM %s %d %d %d %s %d\n",
      {singleToken(s.label), s.typeNumber, s.occupantCount(), s.ortepType, singleToken(s.wyckoff), s.hasVector});
  put("     %f %f %f %f %f\n", {s.x, s.y, s.z, s.isoValue, s.vectorLength});
  put("     %f %f %f %f %f %f\n", {s.aniso[0], s.aniso[1], s.aniso[2], s.aniso[3], s.aniso[4], s.aniso[5]});
  put("     %f %f %f \n", {s.vector[0], s.vector[1], s.vector[2]});
  for (std::size_t i = 0; i < s.occupants.size(); ++i) {
    const SiteOccupant& o = s.occupants[i];
    put("     SUBA %s %d %d %f %f %s %d\n", {singleToken(o.label), o.origNumber, o.scatteringNumber,
                                            writtenOccupancy(o, i == 0), o.charge, singleToken(o.element),
                                            o.typeNumber});
  }
}

/// The file text; `finite` false when a number is not finite.
std::string buildDocumentText(const CrystalDocument& doc, bool& finite) {
  std::string out;
  out.reserve(1024 + doc.sites[0].size() * 320);
  RecordWriter put(out);
  const CrystalRecord& old = doc.crystals[0];
  const Transformation& t = doc.transformation;
  out += "TESSERA\n";
  // Written as the reader keeps it: without outer blanks, at most 80 characters.
  put("%-s\n", {trim(cut(trim(oneLine(doc.title)), kMaxTitleLength))});
  put("VERS %f \n", {0.9});
  out += "CELL ";
  for (float v : old.cell) put("%f ", {v});
  out += "\n";
  out += "XMAT";
  for (const auto& row : t.matrix)
    for (float v : row) put(" %f", {v});
  out += "\n";
  put("TRNS %f %f %f %f %f %f\n", {t.postMatrixShift[0], t.postMatrixShift[1], t.postMatrixShift[2],
                                   t.preMatrixShift[0], t.preMatrixShift[1], t.preMatrixShift[2]});
  put("TRNX %f %f %f\n", {t.preSymmetryShift[0], t.preSymmetryShift[1], t.preSymmetryShift[2]});
  put("FLG1 %d %d %d %d %d %d\n", {doc.siteCount(), doc.reportEnabled, doc.tfMix, doc.tfAnisoKind, doc.importFormat,
                                  t.mode});
  put("FLT1 %f \n", {t.tolerance});
  for (int n = 0; n < 2; ++n) appendCrystalRecords(put, doc.crystals[static_cast<std::size_t>(n)], n, doc.cartesianText);
  for (const Site& s : doc.sites[0]) appendSite(put, s);
  const PowderSettings& p = doc.powderSettings;
  const PrecessionSettings& q = doc.precessionSettings;
  put("SPCA %f %f %f %f %f %f %f %f \n", {p.thetaMax, p.powderVerticalScale, p.powderFWHM, p.lineWidth, p.twoThetaMax,
                                          p.twoThetaMin, q.precessionAngle, q.intensityFactor});
  put("SPCB %f %f %f %f %f %f %f\n", {p.specifiedWavelength, p.maxIntensity, p.betaIntensity, p.defaultB,
                                      q.precessionFixedScale, q.crystalFilmDistance, q.precessionWavelength});
  put("SPCC %d %d %d %d %d %d %d %d %d %d \n", {p.powderOutput, p.powderProfile, p.xrayTarget, p.radiationMode,
                                                q.showGrid, q.horizontalAxis, q.otherAxis, q.normalAxis, q.level,
                                                q.precessionScaleMode});
  put("SPCD %d %d %d\n", {p.lastPattern, q.precessionRadiation, q.showGrid});
  finite = put.finite();
  return out;
}

/// The first record after the title that the reader would refuse for its length,
/// empty when none.
std::string_view overlongRecord(std::string_view text) {
  std::size_t start = 0;
  for (int line = 0; start < text.size(); ++line) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (line >= 2 && end - start > kMaxRecordLength) return text.substr(start, end - start);
    start = end + 1;
  }
  return {};
}

}  // namespace

float nativeFileValue(float v) {
  if (v == 0.0f) return v;  // either sign reads back as written
  const double d = v;
  // A float times 10^6 is exact in a double (24 + 20 bits). Adding and taking away 2^52
  // rounds it to an integer, ties to even, as "%f" rounds; the reader divides the
  // digits by 10^6, correctly rounded, as this does.
  const double scaled = d * 1e6;
  const double magnitude = std::fabs(scaled);
  if (magnitude < 0x1p52) {
    const double digits = (magnitude + 0x1p52) - 0x1p52;
    return static_cast<float>(std::copysign(digits, scaled) / 1e6);
  }
  if (!std::isfinite(d)) return v;
  std::string text;
  appendFixed6(text, d);
  double back = 0;
  std::from_chars(text.data(), text.data() + text.size(), back);
  return static_cast<float>(back);
}

namespace {

/// The text as the file's token reads back (singleToken), changed in place only when needed.
void keepAsToken(std::string& text) {
  for (char c : text)
    if (const auto u = static_cast<unsigned char>(c); u <= ' ' || u == 0x7F) {  // a blank or control character
      text = singleToken(text);
      return;
    }
  if (text.empty()) text.assign(1, '*');
}

}  // namespace

void keepAsNativeFileHolds(CrystalDocument& doc) {
  const auto round = [](float& v) { v = nativeFileValue(v); };
  CrystalRecord& old = doc.crystals[0];
  for (float& v : old.cell) round(v);
  // The shown symbol and the title without outer blanks, as their records read back.
  old.hmSymbol = trim(cut(trim(oneLine(old.hmSymbol)), kMaxSymbolLength));
  doc.title = trim(cut(trim(oneLine(doc.title)), kMaxTitleLength));
  for (Site& s : doc.sites[0]) {
    for (float* v : {&s.x, &s.y, &s.z, &s.isoValue, &s.vectorLength}) round(*v);
    for (float& v : s.aniso) round(v);
    for (float& v : s.vector) round(v);
    keepAsToken(s.label);
    for (SiteOccupant& o : s.occupants) {
      round(o.occupancy);
      round(o.charge);
      keepAsToken(o.label);
      keepAsToken(o.element);
    }
  }
}

std::string documentFileText(const CrystalDocument& doc) {
  bool finite = true;
  return buildDocumentText(doc, finite);
}

bool writeFileAtomically(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(path);
  std::random_device rd;
  const fs::path temp = target.parent_path() / (target.filename().string() + format(".%08x.tmp", rd()));
  std::FILE* f = std::fopen(temp.string().c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (ok) {
    fs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) fs::remove(temp, ec);
  return ok;
}

bool writeDocumentFile(const CrystalDocument& doc, const std::string& path, UserInterface& ui) {
  // Probe that the folder accepts a file before doing the work.
  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  if (!fs::is_directory(folder, ec) || (fs::exists(target, ec) && fs::is_directory(target, ec))) {
    ui.message("File open for write failed");
    return false;
  }
  // What is saved must open again: no value the reader refuses, no record past its limit.
  bool finite = true;
  const std::string text = buildDocumentText(doc, finite);
  const std::string_view overlong = overlongRecord(text);
  if (!finite || !overlong.empty()) {
    ui.message(format("File not saved: a value is too large or not a number%s%s",
                      overlong.empty() ? "" : " in the record beginning ", cut(overlong, 20).c_str()));
    return false;
  }
  if (!writeFileAtomically(path, text)) {
    ui.message("File write failed");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Reading

namespace {

/// Splits a file's bytes into lines (LF or CRLF); flags lines over the limit.
class LineSource {
 public:
  explicit LineSource(std::string data) : data_(std::move(data)) {}
  /// Bytes of the whole file.
  std::size_t size() const { return data_.size(); }
  bool next(std::string_view& line) {
    if (pos_ >= data_.size()) return false;
    std::size_t end = data_.find('\n', pos_);
    if (end == std::string::npos) end = data_.size();
    std::size_t stop = end;
    if (stop > pos_ && data_[stop - 1] == '\r') --stop;
    line = std::string_view(data_).substr(pos_, stop - pos_);
    pos_ = end + 1;
    return true;
  }

 private:
  std::string data_;
  std::size_t pos_ = 0;
};

/// Reads whitespace-separated values after a record keyword, as scanf would:
/// reading stops at the first value that does not convert.
class Fields {
 public:
  /// Tokens are found as they are read.
  explicit Fields(std::string_view text) : text_(text) {}
  /// True when the text holds no token.
  bool empty() const { return text_.find_first_not_of(" \t") == std::string_view::npos; }

  /// Reads a float into v when the next token converts; false otherwise (v kept).
  bool readFloat(float& v) {
    if (stopped_) return false;
    double d = 0;
    int decimals = 0;
    if (plainDecimal(d, decimals)) {
      // A value with more decimals than the file writes is kept as a save writes it,
      // so that the document reopens as it shows now.
      v = decimals > 6 ? nativeFileValue(static_cast<float>(d)) : static_cast<float>(d);
      ++count_;
      return true;
    }
    std::string_view t;
    if (!nextToken(t)) return stop();
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
    if (ptr == t.data()) return stop();
    if (ec != std::errc() || !std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
      bad_ = true;
      return stop();
    }
    v = nativeFileValue(static_cast<float>(d));
    advance(ptr != t.data() + t.size());
    return true;
  }
  /// Reads an int into v when the next token converts; false otherwise (v kept).
  bool readInt(int& v) {
    std::string_view t;
    if (stopped_ || !nextToken(t)) return stop();
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    long l = 0;
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), l);
    if (ptr == t.data()) return stop();
    if (ec == std::errc::result_out_of_range) l = (t[0] == '-') ? LONG_MIN : LONG_MAX;
    v = static_cast<int>(l < INT_MIN ? INT_MIN : (l > INT_MAX ? INT_MAX : l));
    advance(ptr != t.data() + t.size());
    return true;
  }
  /// Reads a text token into v; control characters in it become "_".
  bool readText(std::string& v) {
    std::string_view t;
    if (stopped_ || !nextToken(t)) return stop();
    v = t;
    for (char& c : v)
      if (isControlCharacter(c)) {
        c = '_';
        replaced_ = true;
      }
    ++count_;
    return true;
  }
  /// True when a text token held control characters.
  bool replaced() const { return replaced_; }
  /// Number of values converted so far.
  int count() const { return count_; }
  /// A value that converted to a non-finite or out-of-range number.
  bool bad() const { return bad_; }

 private:
  bool stop() {
    stopped_ = true;
    return false;
  }
  void advance(bool trailingGarbage) {
    ++count_;
    if (trailingGarbage) stopped_ = true;
  }
  /// Reads the next token when it is "[-]digits[.digits]" of at most 15 digits, as "%f"
  /// writes numbers: the digits and the power of ten are exact doubles, so one division
  /// gives the correctly rounded value from_chars gives. False (nothing read) otherwise.
  bool plainDecimal(double& value, int& decimals) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = next_;
    while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
    const bool negative = i < text_.size() && text_[i] == '-';
    if (negative) ++i;
    std::uint64_t digits = 0;
    int count = 0, fraction = -1;
    for (; i < text_.size() && text_[i] != ' ' && text_[i] != '\t'; ++i) {
      const char c = text_[i];
      if (c >= '0' && c <= '9') {
        digits = digits * 10 + static_cast<unsigned>(c - '0');
        if (++count > 15) return false;
        if (fraction >= 0) ++fraction;
      } else if (c == '.' && fraction < 0) {
        fraction = 0;
      } else {
        return false;
      }
    }
    if (count == 0) return false;
    decimals = fraction < 0 ? 0 : fraction;
    const double magnitude = static_cast<double>(digits) / kPow10[decimals];
    value = negative ? -magnitude : magnitude;
    next_ = i;
    return true;
  }

  /// The next blank-separated token; false at the end of the text.
  bool nextToken(std::string_view& t) {
    std::size_t i = next_;
    while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
    if (i >= text_.size()) return false;
    std::size_t j = i;
    while (j < text_.size() && text_[j] != ' ' && text_[j] != '\t') ++j;
    t = text_.substr(i, j - i);
    next_ = j;
    return true;
  }
  std::string_view text_;
  std::size_t next_ = 0;
  int count_ = 0;
  bool stopped_ = false;
  bool bad_ = false;
  bool replaced_ = false;
};

/// The whole file in one read; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  // The size the file has now; it may still grow or shrink while it is read.
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size < (std::uintmax_t{1} << 40)) bytes.reserve(static_cast<std::size_t>(size) + 1);
  bool ok = true;
  for (;;) {
    const std::size_t old = bytes.size();
    const std::size_t chunk = std::max<std::size_t>(bytes.capacity() - old, 1 << 16);
    bytes.resize(old + chunk);
    const std::size_t n = std::fread(bytes.data() + old, 1, chunk, f);
    bytes.resize(old + n);
    if (n < chunk) {
      ok = std::ferror(f) == 0;
      break;
    }
  }
  std::fclose(f);
  return ok;
}

struct ReadError {
  std::string line;
};

class DocumentReader {
 public:
  DocumentReader(CrystalDocument& doc, UserInterface& ui) : doc_(doc), ui_(ui) {}

  bool read(LineSource& src) {
    std::string_view line;
    if (!src.next(line) || line.substr(0, 7) != "TESSERA") {
      ui_.message("Not a valid TESSERA file");
      return false;
    }
    if (src.next(line)) doc_.title = trim(cut(freeText(line), kMaxTitleLength));
    try {
      while (src.next(line)) handleRecord(line, src);
    } catch (const ReadError& e) {
      ui_.message("File read error: " + cut(e.line, 20));
      return false;
    }
    if (replacedControl_) ui_.message("Control characters in labels, titles or symbols were replaced");
    if (doc_.siteCount() != declaredSites_) ui_.message("Discrepancy in number of input atoms");
    for (int n = 0; n < 2; ++n) {
      if (xyzRead_[n] != declaredLines_[n]) {
        ui_.message(n == 0 ? "Discrepancy in number of symmetry operators - old crystal"
                           : "Discrepancy in number of symmetry operators - new crystal");
      }
    }
    if (!valid_) {
      ui_.message("Not a valid TESSERA file");
      return false;
    }
    // Keep the stored axes; derive them from the cell only for files that lack them.
    if (doc_.crystals[0].axesType == 0) deriveAxesType(doc_.crystals[0]);
    return true;
  }

 private:
  [[noreturn]] void fail(std::string_view line) { throw ReadError{std::string(line)}; }

  /// A free text (title, symbol) without outer blanks, control characters as blanks.
  std::string freeText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
      if (isControlCharacter(c) && c != '\t') {
        c = ' ';
        replacedControl_ = true;
      }
    return trim(out);
  }

  /// Notes a record's text tokens that held control characters.
  void noteTexts(const Fields& f) { replacedControl_ = replacedControl_ || f.replaced(); }

  /// Record values after the keyword (and the crystal digit for crystal records).
  Fields values(std::string_view line, bool crystalRecord) {
    if (line.size() > kMaxRecordLength) fail(line);
    const std::size_t skip = crystalRecord ? 5 : 4;
    Fields f(line.size() > skip ? line.substr(skip) : std::string_view());
    // The keyword (and the crystal digit) count as fields of the record.
    if (!(crystalRecord && line.size() > 4) && f.empty()) fail(line);
    return f;
  }

  void requireRead(std::string_view line, Fields& f, int minimum) {
    if (f.bad() || f.count() < minimum) fail(line);
  }

  CrystalRecord& crystalOf(std::string_view line) {
    return doc_.crystals[(line.size() > 4 && line[4] == '0') ? 0 : 1];
  }
  int crystalIndex(std::string_view line) const { return (line.size() > 4 && line[4] == '0') ? 0 : 1; }

  void readFloats(std::string_view line, float* const* targets, int n) {
    Fields f = values(line, false);
    for (int i = 0; i < n; ++i)
      if (!f.readFloat(*targets[i])) break;
    requireRead(line, f, 1);
  }

  void readInts(Fields& f, int* const* targets, int n) {
    for (int i = 0; i < n; ++i)
      if (!f.readInt(*targets[i])) break;
  }

  std::string restOfLine(std::string_view line, std::size_t from) const {
    return from < line.size() ? std::string(line.substr(from)) : std::string();
  }

  void handleRecord(std::string_view line, LineSource& src) {
    if (line.size() > kMaxRecordLength) fail(line);
    const std::string_view key = line.substr(0, std::min<std::size_t>(4, line.size()));
    Transformation& t = doc_.transformation;
    if (key == "VERS") {
      Fields f = values(line, false);
      float version = 0;
      f.readFloat(version);
      requireRead(line, f, 1);
      valid_ = true;
    } else if (key == "CELL") {
      auto& c = doc_.crystals[0].cell;
      float* v[] = {&c[0], &c[1], &c[2], &c[3], &c[4], &c[5]};
      readFloats(line, v, 6);
    } else if (key == "XMAT") {
      auto& m = t.matrix;
      float* v[] = {&m[0][0], &m[0][1], &m[0][2], &m[1][0], &m[1][1], &m[1][2], &m[2][0], &m[2][1], &m[2][2]};
      readFloats(line, v, 9);
    } else if (key == "TRNS") {
      float* v[] = {&t.postMatrixShift[0], &t.postMatrixShift[1], &t.postMatrixShift[2],
                    &t.preMatrixShift[0],  &t.preMatrixShift[1],  &t.preMatrixShift[2]};
      readFloats(line, v, 6);
    } else if (key == "TRNX") {
      float* v[] = {&t.preSymmetryShift[0], &t.preSymmetryShift[1], &t.preSymmetryShift[2]};
      readFloats(line, v, 3);
    } else if (key == "FLT1") {
      float* v[] = {&t.tolerance};
      readFloats(line, v, 1);
    } else if (key == "FLG1") {
      Fields f = values(line, false);
      int* v[] = {&declaredSites_, &doc_.reportEnabled, &doc_.tfMix, &doc_.tfAnisoKind, &doc_.importFormat, &t.mode};
      readInts(f, v, 6);
      requireRead(line, f, 1);
      // Room for the declared sites, as far as the file can hold them (a site takes
      // well over 100 bytes), so a false count costs nothing.
      if (declaredSites_ > 0)
        doc_.sites[0].reserve(std::min(static_cast<std::size_t>(declaredSites_), src.size() / 100));
    } else if (key == "SYMA") {
      const int n = crystalIndex(line);
      CrystalRecord& c = crystalOf(line);
      Fields f = values(line, true);
      int* v[] = {&declaredLines_[n], &c.sgNumber, &c.axesType, &c.acentric,
                  &c.rhombohedralAxes, &c.latticeCode, &c.symbolKind, &c.cartesianFlag};
      readInts(f, v, 8);
    } else if (key == "SYMB") {
      CrystalRecord& c = crystalOf(line);
      Fields f = values(line, true);
      int* v[] = {&c.pointGroupCode, &c.inversionOffOrigin, &c.symmetrySource, &c.uniqueAxis,
                  &c.settingCode,    &c.pointGroupIndex,    &c.p1Defaulted};
      readInts(f, v, 7);
    } else if (key == "SSTR") {
      CrystalRecord& c = crystalOf(line);
      Fields f = values(line, true);
      std::string* v[] = {&c.pointGroupSchoenflies, &c.pointGroupHM, &c.sgNumberText, &c.latticeName};
      for (std::string* s : v)
        if (!f.readText(*s)) break;
      // These names are a few characters long; cut to a symbol's length, the record
      // written again stays within its limit, however the file spaced it.
      for (std::string* s : v) *s = cut(*s, kMaxSymbolLength);
      noteTexts(f);
    } else if (key == "TRAN") {
      CrystalRecord& c = crystalOf(line);
      Fields f = values(line, true);
      int* v[] = {&c.aperiodicAxes[0], &c.aperiodicAxes[1], &c.aperiodicAxes[2]};
      readInts(f, v, 3);
    } else if (key == "INTN" || key == "HALL") {
      if (line.size() > kMaxRecordLength || line.size() < 5) fail(line);
      CrystalRecord& c = crystalOf(line);
      (key == "INTN" ? c.hmSymbol : c.hallSymbol) = trim(cut(freeText(restOfLine(line, 5)), kMaxSymbolLength));
    } else if (key == "XYZL") {
      if (line.size() > kMaxRecordLength || line.size() < 5) fail(line);
      const int n = crystalIndex(line);
      CrystalRecord& c = crystalOf(line);
      if (c.lineCount() >= kMaxSymmetryLines) fail(line);
      c.xyzLines.push_back(cut(removeBlanks(freeText(restOfLine(line, 5))), kMaxXyzText));
      ++xyzRead_[n];
    } else if (key == "CART") {
      if (line.size() > kMaxRecordLength || line.size() < 5) fail(line);
      doc_.cartesianText = trim(cut(freeText(restOfLine(line, 5)), 80));
    } else if (key == "ATOM") {
      readAtom(line, src);
    } else if (key == "SPCA") {
      PowderSettings& p = doc_.powderSettings;
      PrecessionSettings& q = doc_.precessionSettings;
      float* v[] = {&p.thetaMax,   &p.powderVerticalScale, &p.powderFWHM,      &p.lineWidth,
                    &p.twoThetaMax, &p.twoThetaMin,         &q.precessionAngle, &q.intensityFactor};
      readFloats(line, v, 8);
    } else if (key == "SPCB") {
      PowderSettings& p = doc_.powderSettings;
      PrecessionSettings& q = doc_.precessionSettings;
      float* v[] = {&p.specifiedWavelength,    &p.maxIntensity,          &p.betaIntensity,         &p.defaultB,
                    &q.precessionFixedScale, &q.crystalFilmDistance, &q.precessionWavelength};
      readFloats(line, v, 7);
    } else if (key == "SPCC") {
      PowderSettings& p = doc_.powderSettings;
      PrecessionSettings& q = doc_.precessionSettings;
      Fields f = values(line, false);
      int* v[] = {&p.powderOutput,    &p.powderProfile, &p.xrayTarget, &p.radiationMode, &q.showGrid,
                  &q.horizontalAxis, &q.otherAxis,     &q.normalAxis, &q.level,         &q.precessionScaleMode};
      readInts(f, v, 10);
      requireRead(line, f, 1);
    } else if (key == "SPCD") {
      PowderSettings& p = doc_.powderSettings;
      PrecessionSettings& q = doc_.precessionSettings;
      Fields f = values(line, false);
      int* v[] = {&p.lastPattern, &q.precessionRadiation, &q.showGrid};
      readInts(f, v, 3);
      requireRead(line, f, 1);
    }
    // Any other line (an empty one included) is ignored.
  }

  /// Reads a continuation line of an ATOM group; false at the end of the file.
  bool continuation(LineSource& src, float* const* targets, int n) {
    std::string_view line;
    if (!src.next(line)) return false;
    if (line.size() > kMaxRecordLength) fail(line);
    Fields f(line);
    for (int i = 0; i < n; ++i)
      if (!f.readFloat(*targets[i])) break;
    if (f.bad() || f.count() < 2) fail(line);
    return true;
  }

  void readAtom(std::string_view first, LineSource& src) {
    Fields f = values(first, false);
    Site s;
    int occupantCount = 0;
    if (!f.readText(s.label)) fail(first);
    int* v[] = {&s.typeNumber, &occupantCount, &s.ortepType};
    readInts(f, v, 3);
    if (f.count() == 4) {
      f.readText(s.wyckoff);
      if (f.count() == 5) f.readInt(s.hasVector);
    }
    if (occupantCount > kMaxOccupants || occupantCount < 0) fail(first);
    noteTexts(f);
    s.label = clampLabel(s.label);
    s.wyckoff = cut(s.wyckoff, 8);

    float* l2[] = {&s.x, &s.y, &s.z, &s.isoValue, &s.vectorLength};
    float* l3[] = {&s.aniso[0], &s.aniso[1], &s.aniso[2], &s.aniso[3], &s.aniso[4], &s.aniso[5]};
    float* l4[] = {&s.vector[0], &s.vector[1], &s.vector[2]};
    if (!continuation(src, l2, 5) || !continuation(src, l3, 6) || !continuation(src, l4, 3)) return;
    for (int j = 0; j < occupantCount; ++j) {
      std::string_view line;
      if (!src.next(line)) return;  // an unfinished site is not counted
      if (line.size() > kMaxRecordLength) fail(line);
      Fields g(line);
      SiteOccupant o;
      std::string keyword;
      g.readText(keyword);  // "SUBA", not compared
      if (!g.readText(o.label)) fail(line);
      int* iv[] = {&o.origNumber, &o.scatteringNumber};
      readInts(g, iv, 2);
      if (g.count() == 4) {
        g.readFloat(o.occupancy);
        g.readFloat(o.charge);
        g.readText(o.element);
        g.readInt(o.typeNumber);
      }
      if (g.bad()) fail(line);
      noteTexts(g);
      o.label = clampLabel(o.label);
      o.element = clampLabel(o.element);
      s.occupants.push_back(std::move(o));
    }
    // Older files wrote an unset first occupancy as 0: it means 1. A zero that was meant
    // is written with its sign (-0.000000) and kept.
    if (!s.occupants.empty() && s.occupants[0].occupancy == 0.0f)
      s.occupants[0].occupancy = std::signbit(s.occupants[0].occupancy) ? 0.0f : 1.0f;
    s.normaliseOccupants(doc_.siteCount());
    doc_.sites[0].push_back(std::move(s));
  }

  CrystalDocument& doc_;
  UserInterface& ui_;
  bool valid_ = false;
  bool replacedControl_ = false;
  int declaredSites_ = 0;
  int declaredLines_[2] = {0, 0};
  int xyzRead_[2] = {0, 0};
};

}  // namespace

bool readDocumentFile(CrystalDocument& doc, const std::string& path, UserInterface& ui) {
  std::string bytes;
  if (!readWholeFile(path, bytes)) {
    ui.message(fileOpenFailedMessage(path));
    return false;
  }
  // Fill a copy so that a failed read leaves the caller's document as it was.
  CrystalDocument result = doc;
  clearDocument(result);
  result.importFormat = -1;
  result.transformation.mode = 2;
  LineSource src(std::move(bytes));
  DocumentReader reader(result, ui);
  if (!reader.read(src)) return false;
  doc = std::move(result);
  return true;
}

}  // namespace tessera
