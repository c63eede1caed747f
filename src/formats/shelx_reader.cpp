#include "formats/shelx_reader.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/temperature_factor.h"
#include "core/text.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/shelx_common.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxOpenFiles = 5;
/// Include files opened in one import, counting every opening: files that include one
/// another many times over would otherwise be read without end.
constexpr int kMaxIncludeOpenings = 100;
constexpr int kMaxExyz = 10;
/// Longest instruction kept after joining continuation lines.
constexpr std::size_t kMaxJoinedLine = 65536;

/// One file of the include stack.
struct OpenFile {
  std::unique_ptr<std::ifstream> own;  ///< include files; the main file is the context's
  std::unique_ptr<LineReader> lines;
  fs::path identity;                   ///< canonical path, for the recursion check
  fs::path folder;                     ///< where relative include names start
};

fs::path identityOf(const fs::path& p) {
  std::error_code ec;
  fs::path c = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : c;
}

class ShelxReader {
 public:
  explicit ShelxReader(ImportContext& context) : ctx_(context) {
    ensureShelxSkipTable(context.settings);
    for (const std::string& entry : context.settings.shelxSkipTable) skipped_.insert(toUpper(cut(entry, 4)));
    OpenFile main;
    main.lines = std::make_unique<LineReader>(context.file);
    main.identity = identityOf(context.path);
    main.folder = fs::path(context.path).parent_path();
    files_.push_back(std::move(main));
    result.hasXyzLines = true;  // the identity line of the reset is a symmetry line too
    reciprocal_ = prepareReciprocalCell(Cell{1, 1, 1, kRightAngle, kRightAngle, kRightAngle});
  }

  void run();
  ImportResult result;

 private:
  ImportContext& ctx_;
  std::vector<OpenFile> files_;
  std::vector<double> freeVariables_;
  std::vector<std::string> elements_;
  bool insideFrag_ = false;
  bool lattSeen_ = false;
  int exyzCount_ = 0;
  int residualPeaks_ = 0;
  int missingFreeVariable_ = 0;
  int includeOpenings_ = 0;
  std::optional<double> partSof_;  ///< the site-occupation factor of the current PART
  std::optional<float> ridingReference_;  ///< Ueq of the last atom with its own U
  ReciprocalCell reciprocal_;
  std::unordered_set<std::string> skipped_;  ///< the skip table, upper case, for the lookup per line

  bool nextRawLine(std::string& raw);
  void openInclude(const std::string& raw);
  /// True when the line ends the main file.
  bool endsFile();
  void instruction(const std::string& line);
  void readCell(const std::vector<std::string>& words);
  void readLatt(const std::vector<std::string>& words);
  void readSfac(const std::vector<std::string>& words);
  void readPart(const std::vector<std::string>& words);
  void atomLine(const std::string& line, const std::vector<std::string>& words);
  double decode(double v);
};

/// The next physical line of the current file. An include file ends quietly at its end
/// of file; the main file's end (or unreadable bytes) shows the message and ends reading.
bool ShelxReader::nextRawLine(std::string& raw) {
  while (!files_.empty()) {
    LineReader& lines = *files_.back().lines;
    const bool got = lines.next(raw);
    if (got && !lines.lastLineBinary()) return true;
    if (!got && files_.size() > 1) {
      files_.pop_back();
      continue;
    }
    ctx_.ui.message("End of file or read error");
    if (files_.size() > 1) {
      files_.pop_back();
      continue;
    }
    return false;
  }
  return false;
}

void ShelxReader::openInclude(const std::string& raw) {
  const std::vector<std::string> words = splitTokens(std::string_view(raw).substr(1));
  if (words.empty()) return;
  const std::string& name = words[0];
  if (files_.size() >= kMaxOpenFiles) {
    ctx_.ui.message(format("Limit reached for %s: %d", "nested include files", static_cast<int>(kMaxOpenFiles)));
    return;
  }
  if (includeOpenings_ >= kMaxIncludeOpenings) {
    if (includeOpenings_++ == kMaxIncludeOpenings)
      ctx_.ui.message(format("Limit reached for %s: %d", "include files opened", kMaxIncludeOpenings));
    return;
  }
  ++includeOpenings_;
  fs::path path(name);
  if (path.is_relative()) path = files_.back().folder / path;
  const fs::path identity = identityOf(path);
  for (const OpenFile& f : files_) {
    if (f.identity == identity) {
      ctx_.ui.message(format("Include file \"%s\" is already being read - line skipped", name.c_str()));
      return;
    }
  }
  OpenFile inc;
  std::error_code ec;
  // Only plain files: a device or a pipe could be read forever.
  if (fs::is_regular_file(path, ec)) inc.own = std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary);
  if (!inc.own || !inc.own->is_open()) {
    ctx_.ui.message(format("Open failed for include file \"%s\"", name.c_str()));
    return;
  }
  inc.lines = std::make_unique<LineReader>(*inc.own);
  inc.identity = identity;
  inc.folder = path.parent_path();
  files_.push_back(std::move(inc));
}

bool ShelxReader::endsFile() {
  if (files_.size() > 1) {
    files_.pop_back();
    return false;
  }
  return true;
}

void ShelxReader::run() {
  std::string raw;
  std::string pending;  // an instruction continued with "="
  bool continued = false;
  while (nextRawLine(raw)) {
    if (trim(raw).empty()) continue;
    if (raw[0] == '+') {
      openInclude(raw);
      continue;
    }
    // A line that starts with a blank and continues nothing is a comment (the lines a
    // refinement program writes under the title, for example).
    if (!continued && (raw[0] == ' ' || raw[0] == '\t')) continue;
    std::string line;
    if (continued) {
      line = pending;
      line.append(" ").append(raw);
      if (line.size() > kMaxJoinedLine) line.resize(kMaxJoinedLine);
    } else {
      line = raw;
    }
    continued = false;
    const std::string key = instructionKey(line);
    if (key == "TITL") {
      const std::string rest = line.size() > 5 ? line.substr(5) : std::string();
      result.title = trim(cut(rest.substr(0, rest.find('!')), 75));
      continue;
    }
    // A remark is a comment whatever it holds: an "=" in it continues nothing.
    if (key == "REM") continue;
    const auto bang = line.find('!');
    if (bang != std::string::npos) line.resize(bang);
    const auto equals = line.find('=');
    if (equals != std::string::npos) {
      line.resize(equals);
      pending = line;
      continued = true;
      continue;
    }
    if (trim(line).empty()) continue;
    if (line.compare(0, 4, "    ") == 0) continue;
    if (key == "HKLF" || key.compare(0, 3, "END") == 0) {
      if (endsFile()) break;
      continue;
    }
    instruction(line);
  }
  files_.resize(std::min<std::size_t>(files_.size(), 1));
  if (residualPeaks_ > 0) ctx_.ui.message(format("%d residual-density peaks (Q) skipped", residualPeaks_));
  if (!lattSeen_) {
    ctx_.ui.message("LATT command not found - centric P lattice will be assumed");
    result.acentric = 0;
    result.latticeName.assign(1, 'P');
    result.latticeCode = 1;
  }
}

void ShelxReader::instruction(const std::string& line) {
  const std::string key = instructionKey(line);
  if (insideFrag_) {
    if (key == "FEND") insideFrag_ = false;
    return;
  }
  const std::vector<std::string> words = splitTokens(line);
  if (key == "CELL") {
    readCell(words);
  } else if (key == "FVAR") {
    for (std::size_t k = 1; k < words.size() && k <= 10; ++k) {
      const auto v = parseDouble(words[k]);
      if (!v) break;
      freeVariables_.push_back(*v);
    }
  } else if (key == "LATT") {
    readLatt(words);
  } else if (key == "SYMM") {
    const std::string text = removeBlanks(line.size() > 5 ? line.substr(5) : std::string());
    if (!text.empty()) AppendSymmetryLine(ctx_.crystal(), text, ctx_.ui);
  } else if (key == "FRAG") {
    insideFrag_ = true;
  } else if (key == "FEND") {
    insideFrag_ = false;
  } else if (key == "SFAC") {
    readSfac(words);
  } else if (key == "PART") {
    readPart(words);
  } else if (key == "EXYZ") {
    if (++exyzCount_ == kMaxExyz + 1)
      ctx_.ui.message(format("Limit reached for %s: %d", "EXYZ commands (multi-atom positions)", kMaxExyz));
  } else if (skipped_.count(key) == 0) {
    atomLine(line, words);
  }
}

void ShelxReader::readCell(const std::vector<std::string>& words) {
  std::array<float, 6> cell{};
  bool ok = words.size() >= 8;
  for (std::size_t k = 0; ok && k < 6; ++k) {
    const auto v = parseDouble(words[k + 2]);
    if (v) cell[k] = narrowToFloat(*v);
    else ok = false;
  }
  // A partial cell would leave edges of zero length: the line counts as unread.
  if (!ok || !parseDouble(words[1])) {
    ctx_.ui.message("Error reading CELL line");
    return;
  }
  result.cell = cell;
  result.cellFound = true;
  reciprocal_ = prepareReciprocalCell(
      Cell{cell[0], cell[1], cell[2], cell[3] * kDegToRad, cell[4] * kDegToRad, cell[5] * kDegToRad});
}

void ShelxReader::readLatt(const std::vector<std::string>& words) {
  const auto n = words.size() >= 2 ? parseLong(words[1]) : std::nullopt;
  const auto lattice = n ? latticeOfShelxNumber(static_cast<int>(std::labs(*n))) : std::nullopt;
  if (!lattice) {
    ctx_.ui.message("Error reading LATT line");
    return;
  }
  result.acentric = *n < 0 ? 1 : 0;
  result.latticeName = std::string(1, lattice->first);
  result.latticeCode = lattice->second;
  lattSeen_ = true;
}

void ShelxReader::readSfac(const std::vector<std::string>& words) {
  if (words.size() >= 3 && parseDouble(words[2])) {
    elements_.push_back(words[1]);
    return;
  }
  for (std::size_t k = 1; k < words.size(); ++k) elements_.push_back(words[k]);
}

// PART n sof: the sof applies to the following atoms that give the default 11.0 (or
// 1.0, or none), until the next PART.
void ShelxReader::readPart(const std::vector<std::string>& words) {
  partSof_.reset();
  if (words.size() >= 3) {
    const auto sof = parseDouble(words[2]);
    if (sof && std::isfinite(*sof)) partSof_ = *sof;
  }
}

double ShelxReader::decode(double v) {
  int missing = 0;
  const double out = decodeFreeVariable(v, freeVariables_, &missing);
  if (missing > 0 && missingFreeVariable_ == 0) {
    missingFreeVariable_ = missing;
    ctx_.ui.message(format("Free variable %d not defined - taken as 1.0", missing));
  }
  return out;
}

void ShelxReader::atomLine(const std::string& line, const std::vector<std::string>& words) {
  std::vector<double> v;  // element number, x, y, z, sof, U11 (or Uiso), U22, U33, U23, U13, U12
  for (std::size_t k = 1; k < words.size() && v.size() < 11; ++k) {
    const auto d = parseDouble(words[k]);
    if (!d) break;
    v.push_back(*d);
  }
  if (isShelxResidualPeak(words[0])) {
    ++residualPeaks_;
    return;
  }
  if (v.size() + 1 < 5) {
    const std::string key = instructionKey(line);
    const Answer a = ctx_.ui.ask(
        format("The line \"%s\" - cannot be interpreted - do youwant to add \"%s\" to the list of commands to be ignored ?",
               line.c_str(), key.c_str()),
        Buttons::YesNo);
    if (a == Answer::Yes) {
      AddSkippedInstruction(ctx_.settings.shelxSkipTable, key);
      skipped_.insert(key);
    }
    return;
  }
  Site site;
  site.label = clampLabel(removeBlanks(words[0]));
  site.x = narrowToFloat(decode(v[1]));
  site.y = narrowToFloat(decode(v[2]));
  site.z = narrowToFloat(decode(v[3]));
  double sof = v.size() > 4 ? v[4] : 11.0;
  if (partSof_ && (sof == 11.0 || sof == 1.0)) sof = *partSof_;
  const float occupancy = narrowToFloat(decode(sof));
  site.ortepType = -1;
  if (v.size() > 5) {
    // Anisotropic needs all six values: a single number after U is the peak height
    // that structure-solution programs write.
    const bool iso = v.size() < 11 || v[6] == 0.0;
    if (iso) {
      std::optional<float> u;
      if (v[5] >= -5.0 && v[5] <= -0.5) {
        // A riding atom: a multiple of the Ueq of the last atom with a U of its own.
        if (ridingReference_) u = static_cast<float>(std::fabs(v[5])) * *ridingReference_;
      } else {
        u = narrowToFloat(decode(v[5]));
        ridingReference_ = *u;
      }
      if (u) {
        site.ortepType = 10;
        site.isoValue = *u;
        site.aniso = {*u, 0, 0, 0, 0, 0};
      }
    } else {
      auto at = [&](std::size_t k) { return k < v.size() ? narrowToFloat(decode(v[k])) : 0.0f; };
      site.aniso = {at(5), at(6), at(7), at(10), at(9), at(8)};
      site.ortepType = 8;
      ridingReference_ = convertTemperatureFactor(site, 10, reciprocal_).iso;
    }
  }
  const long element = std::fabs(v[0]) < 1e6 ? std::lround(v[0]) : 0;
  const std::string typeText =
      (element >= 1 && element <= static_cast<long>(elements_.size())) ? elements_[static_cast<std::size_t>(element - 1)] : "";
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), 0);
  first.occupancy = occupancy;
  first.element.clear();
  site.occupants = {first};
  const std::string label = site.label;
  AddImportedSite(ctx_, std::move(site), label, typeText);
}

}  // namespace

bool ReadShelx(ImportContext& context) {
  SetImportKind(context, kKindShelx);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 2);
  if (!ReserveSites(context, 20)) return false;
  ShelxReader reader(context);
  reader.run();
  context.file.close();
  FinishImport(context, true, reader.result);
  return true;
}

}  // namespace tessera
