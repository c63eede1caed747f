#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "formats/free_form.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/text_input.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {

namespace {

enum Column { DUM, LAB, COO, TYP, RAD, RMC, FLC, RMP, FLP, PEN };
enum class Mode { None, B, U, Vector };

/// The values a DEFAULT line sets; unset ones leave the atom line's values alone.
struct Defaults {
  std::optional<int> type, rimPattern, fillPattern, pen;
  std::optional<float> radius;
  std::optional<std::array<int, 3>> rim, fill;
};

std::vector<std::string> fieldsOf(const std::string& line) { return splitTokens(line, " ,\t"); }

class FreeFormReader {
 public:
  explicit FreeFormReader(ImportContext& context) : ctx_(context), lines_(context.file) {}

  void run() {
    std::string line;
    if (!readHeader(line)) return;
    bool more = true;
    while (more) {
      more = bodyLine(line) && nextLine(line);
    }
  }

  ImportResult result;

 private:
  ImportContext& ctx_;
  LineReader lines_;
  double factor_ = 1.0;
  std::vector<Column> columns_ = {LAB, COO};
  Mode mode_ = Mode::None;
  Defaults defaults_;
  bool stopped_ = false;  ///< a read error ended reading

  /// The next non-blank line, upper case; false at the end (or after a binary line).
  bool nextLine(std::string& line) {
    while (lines_.next(line)) {
      if (lines_.lastLineBinary()) {
        // Not a text file from here on: one message, and reading ends.
        if (!headerDone_) ctx_.ui.message("Input error reading first line");
        else ctx_.ui.ask(format("Error reading line %d", lines_.lineNumber()), Buttons::OkCancel);
        stopped_ = true;
        return false;
      }
      line = toUpper(line);
      if (line.find_first_not_of(" ,\t\r\f") != std::string::npos) return true;
    }
    return false;
  }

  bool okToGoOn(const std::string& text) { return ctx_.ui.ask(text, Buttons::OkCancel) != Answer::Cancel; }

  /// A real field: an uncertainty in parentheses is dropped, then the first 20 characters.
  std::optional<double> real(std::string field) {
    if (!field.empty() && field.back() == ')') {
      const auto open = field.find('(');
      if (open == std::string::npos) {
        ctx_.ui.message("Error - Unmatched parentheses");
        return std::nullopt;
      }
      field.resize(open);
    }
    return leadingNumber(cut(field, 20));
  }

  static std::optional<int> integer(const std::string& field) {
    if (field.size() > 6) return std::nullopt;
    const auto v = parseLong(field);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
  }

  bool readHeader(std::string& line);
  bool headerLine(const std::string& line);
  bool bodyLine(const std::string& line);
  void readFieldsLine(const std::vector<std::string>& f);
  bool readDefaultLine(const std::vector<std::string>& f);
  bool readAtomLine(const std::string& line);
  bool readColumns(const std::vector<std::string>& f, Site& site, bool& labelRead, bool& complete);
  bool readFactorLine(Site& site, int atomLine, bool& complete);
  void applyDefaults(Site& site) const;
  bool headerDone_ = false;
};

bool FreeFormReader::readHeader(std::string& line) {
  while (nextLine(line)) {
    if (!headerLine(line)) {
      headerDone_ = true;
      return true;
    }
  }
  if (!stopped_) ctx_.ui.message("Input error reading first line");
  return false;
}

/// One header line; false when the line is not a header keyword (it starts the body).
bool FreeFormReader::headerLine(const std::string& line) {
  const std::vector<std::string> f = fieldsOf(line);
  const std::string& key = f[0];
  UserInterface& ui = ctx_.ui;
  if (key == "FACTOR") {
    const auto v = f.size() > 1 ? real(f[1]) : std::nullopt;
    if (v) factor_ = *v;
    else ui.message("Error in FACTOR line - line will be ignored");
  } else if (key == "TITL") {
    const auto at = line.find("TITL");
    result.title = trim(cut(line.substr(at + 4), 75));
  } else if (key == "CELL") {
    std::array<float, 6> cell{};
    bool ok = f.size() >= 7;
    for (std::size_t k = 0; ok && k < 6; ++k) {
      const auto v = real(f[k + 1]);
      if (v) cell[k] = narrowToFloat(*v);
      else ok = false;
    }
    if (ok) {
      result.cell = cell;
      result.cellFound = true;
    } else {
      ui.message("Error in CELL line - line will be ignored");
    }
  } else if (key == "SPGP") {
    const std::size_t at = line.find("SPGP") + 5;
    result.hmSymbol = line.size() > at ? trim(line.substr(at, 24)) : std::string();
  } else if (key == "HALL") {
    // The rest of the line, so that a symbol written with blanks is kept whole.
    const std::string rest = f.size() >= 2 ? trim(line.substr(line.find("HALL") + 4)) : std::string();
    if (!rest.empty()) result.hallSymbol = rest;
    else ui.message("Error in SPGP line - line will be ignored");
  } else if (key == "SYMM") {
    const std::size_t at = line.find("SYMM") + 5;
    const std::string text = removeBlanks(trimRight(line.size() > at ? line.substr(at) : std::string()));
    if (!text.empty()) {
      AppendSymmetryLine(ctx_.crystal(), text, ui);
      result.hasXyzLines = true;
    }
  } else if (key == "LATT") {
    const auto acentric = f.size() >= 3 ? integer(f[2]) : std::nullopt;
    if (acentric) {
      result.latticeName = f[1].substr(0, 1);
      // The lattice letter is kept as the lattice: taking it from the symbol instead
      // loses the centring of a file whose symbol is not a table symbol.
      result.latticeCode = latticeCodeFromLetter(f[1][0]);
      result.acentric = *acentric;
    } else {
      ui.message("Error in LATT line - line will be ignored");
    }
  } else if (key == "FORM") {
    bool ok = f.size() >= 5;
    for (std::size_t k = 1; ok && k < 5; ++k) ok = real(f[k]).has_value();
    if (!ok) ui.message("Error in FORM line - line will be ignored");
  } else {
    return false;
  }
  return true;
}

/// One body line; false when reading ends.
bool FreeFormReader::bodyLine(const std::string& line) {
  const std::vector<std::string> f = fieldsOf(line);
  if (f[0] == "FIELDS") {
    readFieldsLine(f);
    return true;
  }
  if (f[0] == "DEFAULT") return readDefaultLine(f);
  return readAtomLine(line);
}

void FreeFormReader::readFieldsLine(const std::vector<std::string>& f) {
  static const std::vector<std::pair<const char*, Column>> names = {
      {"DUM", DUM}, {"LAB", LAB}, {"COO", COO}, {"TYP", TYP}, {"RAD", RAD},
      {"RMC", RMC}, {"FLC", FLC}, {"RMP", RMP}, {"FLP", FLP}, {"PEN", PEN}};
  columns_.clear();
  mode_ = Mode::None;
  const std::size_t last = std::min<std::size_t>(f.size(), 31);
  for (std::size_t k = 1; k < last; ++k) {
    const std::string& name = f[k];
    if (name == "TFB" || name == "TFU") {
      mode_ = name == "TFB" ? Mode::B : Mode::U;
      continue;
    }
    if (name == "VEC") {
      if (mode_ == Mode::B || mode_ == Mode::U)
        ctx_.ui.message("Temp. factors not allowed with vectors - Temp. factors will not be read");
      mode_ = Mode::Vector;
      continue;
    }
    bool known = false;
    for (const auto& [text, column] : names)
      if (name == text) {
        columns_.push_back(column);
        known = true;
      }
    if (!known) {
      ctx_.ui.message("Unrecognized field in FIELDS line - this field will be read as DUM");
      columns_.push_back(DUM);
      mode_ = Mode::None;
    }
  }
  const bool hasLab = std::find(columns_.begin(), columns_.end(), LAB) != columns_.end();
  const bool hasCoo = std::find(columns_.begin(), columns_.end(), COO) != columns_.end();
  if (!hasLab || !hasCoo) {
    ctx_.ui.message("LAB or COO field not found in FIELDS line - fields will be:  LAB COO");
    columns_ = {LAB, COO};
  }
}

bool FreeFormReader::readDefaultLine(const std::vector<std::string>& f) {
  defaults_ = Defaults{};
  const int lineNo = lines_.lineNumber();
  for (std::size_t k = 1; k < f.size(); ++k) {
    const std::string key = cut(f[k], 4);
    const std::string first = f[k].substr(key.size());
    bool ok = true;
    auto three = [&](std::optional<std::array<int, 3>>& into) {
      const auto r = integer(first);
      const auto g = k + 1 < f.size() ? integer(f[k + 1]) : std::nullopt;
      const auto b = k + 2 < f.size() ? integer(f[k + 2]) : std::nullopt;
      if (r && g && b) into = std::array<int, 3>{*r, *g, *b};
      else ok = false;
      k += 2;
    };
    auto one = [&](std::optional<int>& into) {
      const auto v = integer(first);
      if (v) into = *v;
      else ok = false;
    };
    if (key == "TYP=") one(defaults_.type);
    else if (key == "RMP=") one(defaults_.rimPattern);
    else if (key == "FLP=") one(defaults_.fillPattern);
    else if (key == "PEN=") one(defaults_.pen);
    else if (key == "RMC=") three(defaults_.rim);
    else if (key == "FLC=") three(defaults_.fill);
    else if (key == "RAD=") {
      const auto v = real(first);
      if (v) defaults_.radius = narrowToFloat(*v);
      else ok = false;
    } else {
      continue;
    }
    if (!ok && !okToGoOn(format("Error reading DEFAULT line - line %d field %s", lineNo, key.c_str()))) return false;
  }
  return true;
}

/// Reads the columns of an atom line into site. False when the user cancelled reading;
/// complete is false when an error stopped the columns (the site is still added).
bool FreeFormReader::readColumns(const std::vector<std::string>& f, Site& site, bool& labelRead, bool& complete) {
  const int lineNo = lines_.lineNumber();
  std::size_t next = 1;  // field 1 is f[0]
  auto fail = [&](const std::string& text) {
    complete = false;
    return okToGoOn(text);
  };
  auto field = [&](std::size_t k) -> const std::string* { return k <= f.size() ? &f[k - 1] : nullptr; };
  auto readReal = [&](std::size_t k, float& into) {
    const auto v = real(f[k - 1]);
    if (v) into = narrowToFloat(*v);
    return v.has_value();
  };
  auto readInt = [&](std::size_t k, int& into) {
    const auto v = integer(f[k - 1]);
    if (v) into = *v;
    return v.has_value();
  };
  auto readTriple = [&](int column, std::array<int, 3>& into, const char* green, const char* blue) {
    for (int c = 0; c < 3; ++c, ++next) {
      if (!field(next)) {
        if (c == 0) return fail(format("Field %d in line %d not found", column, lineNo));
        return fail(format(c == 1 ? green : blue, lineNo));
      }
      if (!readInt(next, into[static_cast<std::size_t>(c)]))
        return fail(format("Error reading field %d in line %d", static_cast<int>(next), lineNo));
    }
    return true;
  };
  for (std::size_t ci = 0; ci < columns_.size() && complete; ++ci) {
    const int column = static_cast<int>(ci + 1);
    const Column type = columns_[ci];
    if (type == COO) {
      float* xyz[3] = {&site.x, &site.y, &site.z};
      for (int c = 0; c < 3 && complete; ++c, ++next) {
        if (!field(next)) {
          if (c == 0 && !fail(format("Field %d in line %d not found", column, lineNo))) return false;
          if (c == 1 && !fail(format("2nd fractional coordinate field not found in line %d", lineNo))) return false;
          if (c == 2 && !fail(format("3rd fractional coordinate field not found in line %d", lineNo))) return false;
        } else if (!readReal(next, *xyz[c])) {
          if (!fail(format("Error reading field %d in line %d", static_cast<int>(next), lineNo))) return false;
        } else {
          *xyz[c] = narrowToFloat(*xyz[c] * factor_);
        }
      }
      continue;
    }
    if (type == RMC || type == FLC) {
      const bool rim = type == RMC;
      const bool go = readTriple(column, rim ? site.rimColor : site.fillColor,
                                 rim ? "Green rim color component field not found in line %d"
                                     : "Green fill color component field not found in line %d",
                                 rim ? "Blue rim color component field not found in line %d"
                                     : "Blue fill color component field not found in line %d");
      if (!go) return false;
      continue;
    }
    if (!field(next)) {
      if (!fail(format("Field %d in line %d not found", column, lineNo))) return false;
      continue;
    }
    bool ok = true;
    switch (type) {
      case LAB:
        site.label = clampLabel(f[next - 1]);
        labelRead = true;
        break;
      case TYP: ok = readInt(next, site.typeNumber); break;
      case RAD: ok = readReal(next, site.radius); break;
      case RMP: ok = readInt(next, site.rimPattern); break;
      case FLP: ok = readInt(next, site.fillPattern); break;
      case PEN: ok = readInt(next, site.pen); break;
      default: break;
    }
    if (!ok && !fail(format("Error reading field %d in line %d", static_cast<int>(next), lineNo))) return false;
    ++next;
  }
  return true;
}

/// The temperature-factor or vector line after an atom line; false when reading ends.
bool FreeFormReader::readFactorLine(Site& site, int atomLine, bool& complete) {
  const bool vector = mode_ == Mode::Vector;
  std::string line;
  std::vector<double> values;
  int lineNo = atomLine;
  if (nextLine(line)) {
    lineNo = lines_.lineNumber();
    const std::vector<std::string> f = fieldsOf(line);
    for (std::size_t k = 0; k < f.size() && values.size() < (vector ? 4u : 6u); ++k) {
      const auto v = real(f[k]);
      if (!v) break;
      values.push_back(*v);
    }
  } else if (stopped_) {
    return false;
  }
  if (values.empty()) {
    complete = false;
    return okToGoOn(format(vector ? "Error reading vector line %d" : "Error reading temperature factor line %d", lineNo));
  }
  values.resize(vector ? 4 : 6, 0.0);
  if (vector) {
    site.vector = {narrowToFloat(values[0]), narrowToFloat(values[1]), narrowToFloat(values[2])};
    site.vectorLength = narrowToFloat(values[3]);
    site.hasVector = 1;
    return true;
  }
  for (std::size_t k = 0; k < 6; ++k) site.aniso[k] = narrowToFloat(values[k]);
  const bool iso = values[1] == 0.0;
  if (mode_ == Mode::B) site.ortepType = iso ? 6 : 0;
  else site.ortepType = iso ? 10 : 8;
  if (iso) site.isoValue = site.aniso[0];
  return true;
}

void FreeFormReader::applyDefaults(Site& site) const {
  if (defaults_.type) site.typeNumber = *defaults_.type;
  if (defaults_.radius) site.radius = *defaults_.radius;
  if (defaults_.rim) site.rimColor = *defaults_.rim;
  if (defaults_.fill) site.fillColor = *defaults_.fill;
  if (defaults_.rimPattern) site.rimPattern = *defaults_.rimPattern;
  if (defaults_.fillPattern) site.fillPattern = *defaults_.fillPattern;
  if (defaults_.pen) site.pen = *defaults_.pen;
}

bool FreeFormReader::readAtomLine(const std::string& line) {
  const int lineNo = lines_.lineNumber();
  Site site;
  site.ortepType = -1;
  bool labelRead = false;
  bool complete = true;
  if (!readColumns(fieldsOf(line), site, labelRead, complete)) return false;
  if (complete && mode_ != Mode::None && !readFactorLine(site, lineNo, complete)) return false;
  if (labelRead) applyDefaults(site);
  SiteOccupant first = SiteOccupant::makeDefault(site.label, static_cast<int>(ctx_.sites().size()), site.typeNumber);
  first.element.clear();
  site.occupants = {first};
  const std::string label = site.label;
  return AddImportedSite(ctx_, std::move(site), label, label);
}

}  // namespace

bool ReadFreeForm(ImportContext& context) {
  SetImportKind(context, kKindFreeForm);
  if (!RunImportOptionsDialog(context)) return false;
  if (!ChooseImportFile(context, true)) return false;
  ResetCrystalForImport(context, 0);
  FreeFormReader reader(context);
  reader.run();
  context.file.close();
  FinishImport(context, false, reader.result);
  return true;
}

}  // namespace tessera
