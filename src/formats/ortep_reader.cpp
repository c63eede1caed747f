#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/fixed_columns.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/ortep.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

constexpr const char* kReadError = "Error reading ORTEP file";

/// The fields of the five cards.
struct Cards {
  FixedLayout title{"(A80)"};
  FixedLayout cell{"(6F9.6)"};
  FixedLayout symmetry{"(I1, F14.9, 3F3.0, 2(F15.9, 3F3.0))"};
  FixedLayout position{"(A6, 3X, 5F9.6, F9.0)"};
  FixedLayout factor{"(I1, F8.6, 5F9.6, F9.0)"};
};

const Cards& cards() {
  static const Cards c;
  return c;
}

/// An ORTEP type read as a real: kept when it is a type the program knows of, else "none".
int ortepTypeFrom(double v) {
  if (!(v >= -1.0 && v <= 20.0)) return -1;
  return static_cast<int>(v);
}

class OrtepReader {
 public:
  explicit OrtepReader(ImportContext& context) : ctx_(context), lines_(context.file) {}

  /// False when the title or cell card fails (the import fails).
  bool run();
  ImportResult result;

 private:
  ImportContext& ctx_;
  LineReader lines_;

  /// The next card read by its fields; nullopt at the end of the file or on a bad card.
  std::optional<FixedRecord> card(const FixedLayout& layout, bool* atEnd = nullptr) {
    std::string line;
    const bool got = lines_.next(line);
    if (atEnd) *atEnd = !got;
    if (!got || lines_.lastLineBinary()) return std::nullopt;
    FixedRecord record = layout.read(line, InnerBlanks::Ignored);
    if (!record.valid()) return std::nullopt;
    return record;
  }
  bool readCell();
  /// False when a symmetry card does not read (the import fails).
  bool readSymmetry();
  void readAtoms();
};

bool OrtepReader::readCell() {
  const auto v = card(cards().cell);
  if (!v) return false;
  std::array<double, 6> c{};
  for (std::size_t k = 0; k < 6; ++k) c[k] = v->number(k);
  // Cosines below 1 in size; otherwise the three values are angles in degrees.
  const bool cosines = std::fabs(c[3]) < 1.0;
  for (std::size_t k = 3; k < 6; ++k) {
    if (cosines) {
      if (!(std::fabs(c[k]) < 1.0)) return false;
      c[k] = std::acos(c[k]) * 57.29578;
    } else if (!(c[k] > 0.0 && c[k] < 180.0)) {
      return false;
    }
  }
  // A blank or zero cell would divide the coordinates given as lengths by zero.
  for (std::size_t k = 0; k < 3; ++k)
    if (!(c[k] > 0.0)) return false;
  for (std::size_t k = 0; k < 6; ++k) result.cell[k] = narrowToFloat(c[k]);
  result.cellFound = true;
  return true;
}

bool OrtepReader::readSymmetry() {
  for (int n = 0; n < kMaxSymmetryLines; ++n) {
    bool atEnd = false;
    const auto v = card(cards().symmetry, &atEnd);
    if (!v) {
      // A file that ends after its symmetry holds no atoms; anything unreadable is an error.
      if (atEnd) return true;
      ctx_.ui.message(kReadError);
      return false;
    }
    std::array<std::array<float, 4>, 3> m{};
    for (std::size_t row = 0; row < 3; ++row) {
      const std::size_t base = 1 + row * 4;
      m[row][3] = narrowToFloat(v->number(base));
      for (std::size_t col = 0; col < 3; ++col) m[row][col] = narrowToFloat(v->number(base + 1 + col));
    }
    if (AppendOperatorFromMatrix(ctx_.crystal(), m, ctx_.ui)) result.hasXyzLines = true;
    if (v->number(0) != 0.0) return true;
  }
  ctx_.ui.message("Too many symmetry lines");
  return true;
}

void OrtepReader::readAtoms() {
  if (!ReserveSites(ctx_, 20)) return;
  const std::array<float, 3> lengths = {result.cell[0], result.cell[1], result.cell[2]};
  for (int sequence = 1;; ++sequence) {
    bool atEnd = false;
    const auto pos = card(cards().position, &atEnd);
    // The end of the file between atoms ends the list as the end flag does.
    if (!pos && atEnd) return;
    const auto tf = pos ? card(cards().factor) : std::nullopt;
    if (!tf) {
      ctx_.ui.message("EOF or other error reading coordinates");
      return;
    }
    Site site;
    site.label = removeBlanks(cut(pos->text(0), 6));
    float* xyz[3] = {&site.x, &site.y, &site.z};
    for (std::size_t k = 0; k < 3; ++k) *xyz[k] = narrowToFloat(pos->number(1 + k));
    const double mode = std::trunc(pos->number(4) + 1.0);
    if (mode != 1.0 && mode != 5.0)
      for (std::size_t k = 0; k < 3; ++k) *xyz[k] /= lengths[k];
    for (std::size_t k = 0; k < 6; ++k) site.aniso[k] = narrowToFloat(tf->number(1 + k));
    site.ortepType = ortepTypeFrom(tf->number(7));
    if (site.ortepType == 6 || site.ortepType == 7) site.isoValue = site.aniso[0];
    SiteOccupant first = SiteOccupant::makeDefault(site.label, sequence, 0);
    first.element.clear();
    site.occupants = {first};
    const std::string label = site.label;
    if (!AddImportedSite(ctx_, std::move(site), label, label)) return;
    if (tf->number(0) != 0.0) return;
  }
}

bool OrtepReader::run() {
  const auto title = card(cards().title);
  if (!title || !readCell()) {
    ctx_.ui.message(kReadError);
    return false;
  }
  result.title = trimRight(title->text(0));
  if (!readSymmetry()) return false;
  readAtoms();
  return true;
}

}  // namespace

bool ReadOrtep(ImportContext& context) {
  SetImportKind(context, kKindOrtep);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, false)) return false;
  std::error_code ec;
  if (std::filesystem::is_regular_file(context.path, ec))
    context.file.open(context.path, std::ios::in | std::ios::binary);
  if (!context.file.is_open()) {
    context.ui.message("Error opening ORTEP file");
    return false;
  }
  ResetCrystalForImport(context, 0);
  OrtepReader reader(context);
  const bool read = reader.run();
  context.file.close();
  if (!read) return false;
  FinishImport(context, true, reader.result);
  return true;
}

}  // namespace tessera
