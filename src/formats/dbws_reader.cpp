#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/dbws.h"
#include "formats/fixed_columns.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/rietveld_common.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

constexpr int kMaxPhases = 10;
constexpr long kMaxAtoms = 100000;

/// A line that could not be read (end of file or a field that is no number), with its label.
struct ReadFailed {
  double label;
};

/// The descriptors of the lines read, parsed once.
const FixedLayout& columns(const char* descriptor) {
  static const char* const kDescriptors[] = {"(A80)",        "(6I4)",  "(I1)",   "(F8.0)",  "(I4)",
                                             "(F8.2)",       "(A4)",   "(3F8.0)", "(I8)",   "(A32)",
                                             "(G12.6)",      "(G12.2)", "(A60)", "(A20)",   "(6F8.0)",
                                             "(2A4,8X,5F8.0)", "(A4,1X,I4,1X,A4,2X,5F8.0)"};
  static const std::vector<FixedLayout> layouts = [] {
    std::vector<FixedLayout> v;
    for (const char* d : kDescriptors) v.emplace_back(d);
    return v;
  }();
  for (std::size_t k = 0; k < std::size(kDescriptors); ++k)
    if (std::string_view(kDescriptors[k]) == descriptor) return layouts[k];
  return layouts[0];
}

class DbwsReader {
 public:
  DbwsReader(ImportContext& context, bool dbws) : ctx_(context), dbws_(dbws) {}

  /// One walk: chosen 0 collects the phase names (retaining the only phase when there is
  /// one); otherwise the chosen phase is retained and the walk ends after its cell line.
  void walk(int chosen, bool oldLayout);

  ImportResult result;
  int phaseCount = 1;
  bool newerLayout = false;  ///< line 2.1 announced the lines 11.93 to 11.96

 private:
  FixedRecord record(double label, const char* descriptor);
  std::string line(double label);
  void header(bool firstPass);
  /// Reads phase p; true when the walk ends after it.
  bool phase(int p, bool keep, bool last);
  void atom(bool keep);

  ImportContext& ctx_;
  bool dbws_;
  bool firstPass_ = true;
  bool oldLayout_ = false;
  std::optional<LineReader> lines_;
  std::array<long, 6> c_{};
};

std::string DbwsReader::line(double label) {
  std::string text;
  if (!lines_->next(text) || lines_->lastLineBinary()) throw ReadFailed{label};
  return text;
}

FixedRecord DbwsReader::record(double label, const char* descriptor) {
  FixedRecord values = columns(descriptor).read(line(label), InnerBlanks::Ignored);
  if (!values.valid()) throw ReadFailed{label};
  return values;
}

void DbwsReader::walk(int chosen, bool oldLayout) {
  ctx_.file.clear();
  ctx_.file.seekg(0);
  lines_.emplace(ctx_.file);
  firstPass_ = chosen == 0;
  oldLayout_ = oldLayout;
  header(firstPass_);
  const int last = chosen == 0 ? phaseCount : chosen;
  for (int p = 1; p <= last; ++p)
    if (phase(p, chosen == 0 ? phaseCount == 1 : p == chosen, p == last)) return;
}

void DbwsReader::header(bool firstPass) {
  result.title = trimRight(record(1, "(A80)").text(0));
  const FixedRecord c = record(2.1, "(6I4)");
  for (std::size_t k = 0; k < 6; ++k) c_[k] = c.integer(k);
  newerLayout = dbws_ && c_[1] < 0;
  phaseCount = static_cast<int>(std::clamp(c_[2], 1L, static_cast<long>(kMaxPhases) + 1));
  if (phaseCount > kMaxPhases) {
    if (firstPass) ctx_.ui.message(format(" Number of phases larger than %d - excess ignored", kMaxPhases));
    phaseCount = kMaxPhases;
  }
  if (c_[5] == -1) record(2.1, "(I1)");
  record(3, "(I1)");
  record(4, "(F8.0)");
  record(5, "(I4)");
  for (long k = 0; k < (c_[5] > 1 ? c_[5] : 0); ++k) record(6, "(F8.2)");
  for (long k = 0; k < c_[3]; ++k) record(7, "(F8.2)");
  for (long item = 0; item < c_[4]; ++item) {
    record(8.1, "(A4)");
    if (c_[0] != 0 && c_[0] != 2) continue;
    for (;;) {
      const FixedRecord v = record(8.2, "(3F8.0)");
      if (v.number(0) == -100.0 || v.number(2) != 0.0) break;
    }
  }
  record(9, "(I8)");
  const std::string radiation = record(10.1, "(A32)").text(0);
  if (dbws_ && radiation.size() > 16 && !trim(radiation.substr(16)).empty()) record(10.1, "(A32)");
  if (c_[5] == 0) {
    record(10.2, "(G12.6)");
    record(10.2, "(G12.2)");
  }
}

bool DbwsReader::phase(int p, bool keep, bool last) {
  const std::string name = trimRight(record(11.1, "(A60)").text(0));
  if (firstPass_) AddDataSetName(ctx_, cut(name, 31), p);
  const long atoms = std::max(0L, record(11.2, "(I4)").integer(0));
  const std::string symbol = record(11.3, "(A20)").text(0);
  if (keep) {
    result.hmSymbol = trim(cut(symbol, 18));
    if (!ReserveSites(ctx_, std::min(atoms, kMaxAtoms) + 10)) throw ReadFailed{-1.0};
  }
  for (long k = 0; k < atoms; ++k) atom(keep);
  // Scale and overall parameters (11.51 to 11.62), each with its code line in DBWS.
  for (int k = 0; k < (dbws_ ? 4 : 2); ++k) line(k < (dbws_ ? 2 : 1) ? 11.51 : 11.61);
  const FixedRecord cell = record(11.71, "(6F8.0)");
  if (keep) {
    for (std::size_t k = 0; k < 6; ++k) result.cell[k] = narrowToFloat(cell.number(k));
    result.cellFound = true;
  }
  // The walk ends with the chosen phase's cell: nothing after it is needed.
  if (keep || last) return true;
  if (dbws_) line(11.72);
  if (newerLayout && !oldLayout_)
    for (double label : {11.93, 11.94, 11.95, 11.96}) line(label);
  if (!dbws_ && c_[0] < 3) {
    for (long k = 0; k < 2 * atoms; ++k) line(111.11);
    for (int k = 0; k < 5; ++k) line(111.12);
  }
  return false;
}

void DbwsReader::atom(bool keep) {
  const std::string text = line(11.41);
  const auto blankAt = [&text](std::size_t i) { return i >= text.size() || text[i] == ' '; };
  const bool lhpmLayout = blankAt(8) && blankAt(10) && blankAt(11) && blankAt(12) && blankAt(13);
  const FixedRecord v =
      columns(lhpmLayout ? "(2A4,8X,5F8.0)" : "(A4,1X,I4,1X,A4,2X,5F8.0)").read(text, InnerBlanks::Ignored);
  if (!v.valid()) throw ReadFailed{11.41};
  const std::size_t e = lhpmLayout ? 1 : 2;  // element field; the five numbers follow it
  if (dbws_) line(11.42);
  const FixedRecord beta = record(11.43, "(6F8.0)");
  if (dbws_) line(11.44);
  if (!keep) return;
  Site site;
  site.label = cut(removeBlanks(v.text(0)), 6);
  site.x = narrowToFloat(v.number(e + 1));
  site.y = narrowToFloat(v.number(e + 2));
  site.z = narrowToFloat(v.number(e + 3));
  site.ortepType = 6;
  site.isoValue = narrowToFloat(v.number(e + 4));
  if (beta.number(0) != 0.0) {
    if (beta.number(1) == 0.0) {
      site.isoValue = narrowToFloat(beta.number(0));
    } else {
      site.ortepType = 0;
      for (std::size_t k = 0; k < 6; ++k) site.aniso[k] = narrowToFloat(beta.number(k));
    }
  }
  if (site.ortepType == 6) site.aniso = {site.isoValue, 0, 0, 0, 0, 0};
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  first.occupancy = v.fields[e + 5].blank() ? 1.0f : narrowToFloat(v.number(e + 5));
  first.element = unstarred(removeBlanks(v.text(e)));
  site.occupants = {first};
  const std::string label = site.label, element = first.element;
  AddImportedSite(ctx_, std::move(site), label, element);
}

/// Walks the file, asking (DBWS) to retry in the old layout once; false when it cannot be read.
bool walkWithRetry(ImportContext& context, DbwsReader& reader, bool dbws, int chosen, bool& oldLayout) {
  for (;;) {
    try {
      reader.walk(chosen, oldLayout);
      return true;
    } catch (const ReadFailed& failed) {
      if (failed.label < 0.0) return false;  // the reservation's own message has been shown
      // The retry changes the walk only when the newer layout was assumed.
      if (dbws && reader.newerLayout && !oldLayout) {
        const Answer a = context.ui.ask(
            format("Error reading file - line: %f - do you want to try again assuming old (9002) format?", failed.label),
            Buttons::YesNo);
        if (!isAffirmative(a)) return false;
        oldLayout = true;
        context.sites().clear();
        context.dataSetNames.clear();
        reader.result = ImportResult{};
        continue;
      }
      context.ui.message(format("Error reading file - line: %f", failed.label));
      return false;
    }
  }
}

bool readVariant(ImportContext& context, bool dbws) {
  SetImportKind(context, dbws ? kKindDbws : kKindLhpm);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  DbwsReader reader(context, dbws);
  bool oldLayout = false;
  if (!walkWithRetry(context, reader, dbws, 0, oldLayout)) return false;
  if (reader.phaseCount > 1) {
    const int chosen = ChooseDataSet(context);
    if (chosen < 1) return false;
    if (!walkWithRetry(context, reader, dbws, std::min(chosen, reader.phaseCount), oldLayout)) return false;
  }
  context.file.close();
  FinishImport(context, false, reader.result);
  return true;
}

}  // namespace

bool ReadDbws(ImportContext& context) { return readVariant(context, true); }
bool ReadLhpm(ImportContext& context) { return readVariant(context, false); }

}  // namespace tessera
