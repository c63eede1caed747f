#include "core/native_file.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/cell_geometry.h"
#include "core/messages.h"
#include "core/text.h"

namespace tessera {

namespace {

/// Longest line the reader takes after the first two; longer ones are read errors.
constexpr std::size_t kMaxRecordLength = 254;
/// Longest stored symmetry line text.
constexpr std::size_t kMaxXyzText = 80;

std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\n' || c == '\r') c = ' ';
  return out;
}

void appendCrystalRecords(std::string& out, const CrystalRecord& c, int n, const std::string& cartesianText) {
  appendFormat(out, "SYMA%d %d %d %d %d %d %d %d %d \n", n, c.lineCount(), c.sgNumber, c.axesType, c.acentric,
                c.rhombohedralAxes, c.latticeCode, c.symbolKind, c.cartesianFlag);
  appendFormat(out, "SYMB%d %d %d %d %d %d %d %d\n", n, c.pointGroupCode, c.inversionOffOrigin, c.symmetrySource,
                c.uniqueAxis, c.settingCode, c.pointGroupIndex, c.p1Defaulted);
  appendFormat(out, "SSTR%d %s %s %s %s\n", n, singleToken(c.pointGroupSchoenflies).c_str(),
                singleToken(c.pointGroupHM).c_str(), singleToken(c.sgNumberText).c_str(),
                singleToken(c.latticeName).c_str());
  appendFormat(out, "INTN%d %-s\n", n, oneLine(c.hmSymbol).c_str());
  appendFormat(out, "HALL%d %-s\n", n, oneLine(c.hallSymbol).c_str());
  for (const std::string& line : c.xyzLines) appendFormat(out, "XYZL%d %s\n", n, removeBlanks(oneLine(line)).c_str());
  if (c.cartesianFlag != 0) appendFormat(out, "CART%d %s\n", n, oneLine(cartesianText).c_str());
  appendFormat(out, "TRAN%d %d %d %d\n", n, c.aperiodicAxes[0], c.aperiodicAxes[1], c.aperiodicAxes[2]);
}

void appendSite(std::string& out, const Site& s) {
  appendFormat(out, "ATOM %s %d %d %d %s %d\n", singleToken(s.label).c_str(), s.typeNumber, s.occupantCount(),
                s.ortepType, singleToken(s.wyckoff).c_str(), s.hasVector);
  appendFormat(out, "     %f %f %f %f %f\n", s.x, s.y, s.z, s.isoValue, s.vectorLength);
  appendFormat(out, "     %f %f %f %f %f %f\n", s.aniso[0], s.aniso[1], s.aniso[2], s.aniso[3], s.aniso[4], s.aniso[5]);
  appendFormat(out, "     %f %f %f \n", s.vector[0], s.vector[1], s.vector[2]);
  for (const SiteOccupant& o : s.occupants)
    appendFormat(out, "     SUBA %s %d %d %f %f %s %d\n", singleToken(o.label).c_str(), o.origNumber, o.scatteringNumber,
                  o.occupancy, o.charge, singleToken(o.element).c_str(), o.typeNumber);
}

}  // namespace

std::string documentFileText(const CrystalDocument& doc) {
  std::string out;
  out.reserve(1024 + doc.sites[0].size() * 320);
  const CrystalRecord& old = doc.crystals[0];
  const Transformation& t = doc.transformation;
  out += "TESSERA\n";
  appendFormat(out, "%-s\n", oneLine(doc.title).c_str());
  appendFormat(out, "VERS %f \n", 0.9);
  out += "CELL ";
  for (float v : old.cell) appendFormat(out, "%f ", v);
  out += "\n";
  out += "XMAT";
  for (const auto& row : t.matrix)
    for (float v : row) appendFormat(out, " %f", v);
  out += "\n";
  appendFormat(out, "TRNS %f %f %f %f %f %f\n", t.postMatrixShift[0], t.postMatrixShift[1], t.postMatrixShift[2],
                t.preMatrixShift[0], t.preMatrixShift[1], t.preMatrixShift[2]);
  appendFormat(out, "TRNX %f %f %f\n", t.preSymmetryShift[0], t.preSymmetryShift[1], t.preSymmetryShift[2]);
  appendFormat(out, "FLG1 %d %d %d %d %d %d\n", doc.siteCount(), doc.reportEnabled, doc.tfMix, doc.tfAnisoKind,
                doc.importFormat, t.mode);
  appendFormat(out, "FLT1 %f \n", t.tolerance);
  for (int n = 0; n < 2; ++n) appendCrystalRecords(out, doc.crystals[static_cast<std::size_t>(n)], n, doc.cartesianText);
  for (const Site& s : doc.sites[0]) appendSite(out, s);
  const PowderSettings& p = doc.powderSettings;
  const PrecessionSettings& q = doc.precessionSettings;
  appendFormat(out, "SPCA %f %f %f %f %f %f %f %f \n", p.thetaMax, p.powderVerticalScale, p.powderFWHM, p.lineWidth,
                p.twoThetaMax, p.twoThetaMin, q.precessionAngle, q.intensityFactor);
  appendFormat(out, "SPCB %f %f %f %f %f %f %f\n", p.specifiedWavelength, p.maxIntensity, p.betaIntensity, p.defaultB,
                q.precessionFixedScale, q.crystalFilmDistance, q.precessionWavelength);
  appendFormat(out, "SPCC %d %d %d %d %d %d %d %d %d %d \n", p.powderOutput, p.powderProfile, p.xrayTarget,
                p.radiationMode, q.showGrid, q.horizontalAxis, q.otherAxis, q.normalAxis, q.level,
                q.precessionScaleMode);
  appendFormat(out, "SPCD %d %d %d\n", p.lastPattern, q.precessionRadiation, q.showGrid);
  return out;
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
  if (!writeFileAtomically(path, documentFileText(doc))) {
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
  explicit Fields(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
      if (i >= text.size()) break;
      std::size_t j = i;
      while (j < text.size() && text[j] != ' ' && text[j] != '\t') ++j;
      tokens_.push_back(text.substr(i, j - i));
      i = j;
    }
  }
  std::size_t size() const { return tokens_.size(); }

  /// Reads a float into v when the next token converts; false otherwise (v kept).
  bool readFloat(float& v) {
    if (stopped_ || next_ >= tokens_.size()) return stop();
    std::string_view t = tokens_[next_];
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    double d = 0;
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
    if (ptr == t.data()) return stop();
    if (ec != std::errc() || !std::isfinite(d) || std::fabs(d) > 3.0e38) {
      bad_ = true;
      return stop();
    }
    v = static_cast<float>(d);
    advance(ptr != t.data() + t.size());
    return true;
  }
  /// Reads an int into v when the next token converts; false otherwise (v kept).
  bool readInt(int& v) {
    if (stopped_ || next_ >= tokens_.size()) return stop();
    std::string_view t = tokens_[next_];
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    long l = 0;
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), l);
    if (ptr == t.data()) return stop();
    if (ec == std::errc::result_out_of_range) l = (t[0] == '-') ? LONG_MIN : LONG_MAX;
    v = static_cast<int>(l < INT_MIN ? INT_MIN : (l > INT_MAX ? INT_MAX : l));
    advance(ptr != t.data() + t.size());
    return true;
  }
  bool readText(std::string& v) {
    if (stopped_ || next_ >= tokens_.size()) return stop();
    v = tokens_[next_++];
    ++count_;
    return true;
  }
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
    ++next_;
    ++count_;
    if (trailingGarbage) stopped_ = true;
  }
  std::vector<std::string_view> tokens_;
  std::size_t next_ = 0;
  int count_ = 0;
  bool stopped_ = false;
  bool bad_ = false;
};

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
    if (src.next(line)) doc_.title = cut(trim(line), kMaxTitleLength);
    try {
      while (src.next(line)) handleRecord(line, src);
    } catch (const ReadError& e) {
      ui_.message("File read error: " + cut(e.line, 20));
      return false;
    }
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

  /// Record values after the keyword (and the crystal digit for crystal records).
  Fields values(std::string_view line, bool crystalRecord) {
    if (line.size() > kMaxRecordLength) fail(line);
    const std::size_t skip = crystalRecord ? 5 : 4;
    Fields f(line.size() > skip ? line.substr(skip) : std::string_view());
    // The keyword (and the crystal digit) count as fields of the record.
    const int present = (crystalRecord && line.size() > 4 ? 1 : 0) + static_cast<int>(f.size());
    if (present < 1) fail(line);
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
    } else if (key == "TRAN") {
      CrystalRecord& c = crystalOf(line);
      Fields f = values(line, true);
      int* v[] = {&c.aperiodicAxes[0], &c.aperiodicAxes[1], &c.aperiodicAxes[2]};
      readInts(f, v, 3);
    } else if (key == "INTN" || key == "HALL") {
      if (line.size() > kMaxRecordLength || line.size() < 5) fail(line);
      CrystalRecord& c = crystalOf(line);
      (key == "INTN" ? c.hmSymbol : c.hallSymbol) = cut(trim(restOfLine(line, 5)), kMaxSymbolLength);
    } else if (key == "XYZL") {
      if (line.size() > kMaxRecordLength || line.size() < 5) fail(line);
      const int n = crystalIndex(line);
      CrystalRecord& c = crystalOf(line);
      if (c.lineCount() >= kMaxSymmetryLines) fail(line);
      c.xyzLines.push_back(cut(removeBlanks(restOfLine(line, 5)), kMaxXyzText));
      ++xyzRead_[n];
    } else if (key == "CART") {
      if (line.size() > kMaxRecordLength || line.size() < 5) fail(line);
      doc_.cartesianText = cut(trim(restOfLine(line, 5)), 80);
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
      o.label = clampLabel(o.label);
      o.element = clampLabel(o.element);
      s.occupants.push_back(std::move(o));
    }
    if (!s.occupants.empty() && s.occupants[0].occupancy == 0.0f) s.occupants[0].occupancy = 1.0f;
    s.normaliseOccupants(doc_.siteCount());
    doc_.sites[0].push_back(std::move(s));
  }

  CrystalDocument& doc_;
  UserInterface& ui_;
  bool valid_ = false;
  int declaredSites_ = 0;
  int declaredLines_[2] = {0, 0};
  int xyzRead_[2] = {0, 0};
};

}  // namespace

bool readDocumentFile(CrystalDocument& doc, const std::string& path, UserInterface& ui) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ui.message(fileOpenFailedMessage(path));
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    ui.message(fileOpenFailedMessage(path));
    return false;
  }
  // Fill a copy so that a failed read leaves the caller's document as it was.
  CrystalDocument result = doc;
  clearDocument(result);
  result.importFormat = -1;
  result.transformation.mode = 2;
  LineSource src(buffer.str());
  DocumentReader reader(result, ui);
  if (!reader.read(src)) return false;
  doc = std::move(result);
  return true;
}

}  // namespace tessera
