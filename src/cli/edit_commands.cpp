#include "cli/edit_commands.h"

#include <algorithm>

#include "commands/site_commands.h"
#include "commands/site_dialog_model.h"
#include "core/data_files.h"
#include "core/text.h"
#include "symmetry/symmetry_assignment.h"
#include "symmetry/symmetry_dialogs.h"
#include "symmetry/symmetry_operators.h"

namespace tessera::cli {

namespace {

/// Options of a command: names starting with "--" and the words that follow each.
struct Option {
  std::string name;
  std::vector<std::string> values;
};

void splitArguments(const std::vector<std::string>& args, std::vector<std::string>& files, std::vector<Option>& options) {
  for (const std::string& a : args) {
    if (a.rfind("--", 0) == 0) {
      options.push_back({a, {}});
    } else if (options.empty()) {
      files.push_back(a);
    } else {
      options.back().values.push_back(a);
    }
  }
}

// ---------------------------------------------------------------------------
// assign

int assignFromTable(CliContext& context, const Option& symbol, const std::string& volume) {
  CrystalRecord& crystal = context.session.document.crystals[0];
  TableSymmetryModel model(crystal, context.ui, dataFolders(context.session));
  const std::string text = symbol.values.front();
  if (symbol.name == "--hall") {
    model.symbolKind = kSymbolHall;
    model.hallSymbol = text;
  } else if (symbol.name == "--number") {
    model.symbolKind = kSymbolNumber;
    model.numberText = text;
  } else {
    model.symbolKind = kSymbolHM;
    model.hmSymbol = text;
  }
  model.settingCode = volume == "I" ? 1 : 0;
  if (const auto problem = model.validate()) {
    context.ui.message(*problem);
    return kExitFailed;
  }
  return model.accept() ? kExitOk : kExitFailed;
}

int assignCustom(CliContext& context, const std::vector<Option>& options) {
  CrystalRecord& crystal = context.session.document.crystals[0];
  CustomSymmetryModel model(crystal, context.ui);
  model.lines.clear();
  for (std::string line; std::getline(context.in, line);) {
    line = trim(line);
    if (!line.empty()) model.lines.push_back(toUpper(line));
  }
  if (model.lines.empty() || static_cast<int>(model.lines.size()) > kMaxSymmetryLines) {
    context.ui.message("symmetry operations");
    return kExitFailed;
  }
  for (std::size_t i = 0; i < model.lines.size(); ++i) {
    std::string text = model.lines[i];
    for (char& c : text)
      if (c == ';') c = ' ';
    SeitzMx op;
    if (ParseSymXYZ(text, op, STBF) != 0) {
      context.ui.message(format("Failed to parse symmetry operator number %d", static_cast<int>(i) + 1));
      return kExitFailed;
    }
  }
  model.centric = false;
  model.latticeIndex = 0;
  bool identify = false;
  for (const Option& o : options) {
    if (o.name == "--centric") model.centric = true;
    if (o.name == "--symbol") model.symbol = o.values.front();
    if (o.name == "--identify") identify = true;
    if (o.name == "--lattice") {
      const auto& letters = CustomSymmetryModel::latticeLetters();
      const auto it = std::find(letters.begin(), letters.end(), toUpper(o.values.front()));
      model.latticeIndex = static_cast<int>(it - letters.begin());
    }
  }
  if (identify) model.getSpaceGroupSymbol();
  model.accept();
  return kExitOk;
}

int runAssign(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand& self = *findCommand("assign");
  std::vector<std::string> files;
  std::vector<Option> options;
  splitArguments(args, files, options);
  if (files.size() != 2) return usageError(context, self, "expected an input and an output file");
  const Option* symbol = nullptr;
  bool custom = false;
  std::string volume = "A";
  for (const Option& o : options) {
    const bool takesValue = o.name == "--hm" || o.name == "--hall" || o.name == "--number" || o.name == "--vol" ||
                            o.name == "--lattice" || o.name == "--symbol";
    const bool flag = o.name == "--custom" || o.name == "--centric" || o.name == "--identify";
    if (!takesValue && !flag) return usageError(context, self, "unknown option " + o.name);
    if (takesValue != (o.values.size() == 1)) return usageError(context, self, o.name + " takes " + (takesValue ? "one value" : "no value"));
    if (o.name == "--hm" || o.name == "--hall" || o.name == "--number") {
      if (symbol) return usageError(context, self, "give one of --hm, --hall and --number");
      symbol = &o;
    }
    if (o.name == "--custom") custom = true;
    if (o.name == "--vol") volume = toUpper(o.values.front());
    if (o.name == "--lattice" && CustomSymmetryModel::latticeLetters().end() ==
                                     std::find(CustomSymmetryModel::latticeLetters().begin(),
                                               CustomSymmetryModel::latticeLetters().end(), toUpper(o.values.front())))
      return usageError(context, self, "--lattice is one of P A B C F I R");
  }
  if (custom == (symbol != nullptr)) return usageError(context, self, "give --custom or one of --hm, --hall, --number");
  if (volume != "A" && volume != "I") return usageError(context, self, "--vol is A or I");
  if (!loadDocument(context, files[0])) return kExitFailed;
  const int result = custom ? assignCustom(context, options) : assignFromTable(context, *symbol, volume);
  if (result != kExitOk) return result;
  return saveDocument(context, files[1]) ? kExitOk : kExitFailed;
}

// ---------------------------------------------------------------------------
// sites

/// Parses "FIELD=VALUE"; false when there is no "=".
bool splitAssignment(const std::string& text, std::string& field, std::string& value) {
  const auto eq = text.find('=');
  if (eq == std::string::npos) return false;
  field = toLower(text.substr(0, eq));
  value = text.substr(eq + 1);
  return true;
}

std::optional<float> number(const std::string& text) {
  const auto v = parseDouble(text);
  return v ? std::optional<float>(static_cast<float>(*v)) : std::nullopt;
}

/// Sets one site field in the dialog model; an error text when it is unknown or unreadable.
std::string setSiteField(SiteDialogModel& m, const std::string& field, const std::string& value) {
  if (field == "label") {
    m.label = value;
    return "";
  }
  if (field == "type" || field == "ortep") {
    const auto v = parseLong(value);
    if (!v) return field + " needs a whole number";
    (field == "type" ? m.typeNumber : m.ortepType) = static_cast<int>(*v);
    return "";
  }
  const auto v = number(value);
  if (!v) return field + " needs a number";
  static const char* const kFactors[6] = {"f1", "f2", "f3", "f4", "f5", "f6"};
  if (field == "x") m.x = *v;
  else if (field == "y") m.y = *v;
  else if (field == "z") m.z = *v;
  else if (field == "iso") m.factors[0] = *v;
  else if (field == "vx" || field == "vy" || field == "vz") {
    m.vector[static_cast<std::size_t>(field[1] - 'x')] = *v;
    m.vectorOn = true;
  } else if (field == "vlength") {
    m.vectorLength = *v;
    m.vectorOn = true;
  } else {
    for (int k = 0; k < 6; ++k)
      if (field == kFactors[k]) {
        m.factors[static_cast<std::size_t>(k)] = *v;
        return "";
      }
    return "unknown site field " + field;
  }
  return "";
}

std::string setOccupantField(OccupantDialogModel& m, const std::string& field, const std::string& value) {
  if (field == "label") m.label = value;
  else if (field == "element") m.element = value;
  else if (field == "type" || field == "scattering") {
    const auto v = parseLong(value);
    if (!v) return field + " needs a whole number";
    (field == "type" ? m.typeNumber : m.scatteringNumber) = static_cast<int>(*v);
  } else if (field == "occupancy" || field == "charge") {
    const auto v = number(value);
    if (!v) return field + " needs a number";
    (field == "occupancy" ? m.occupancy : m.charge) = *v;
  } else {
    return "unknown occupant field " + field;
  }
  return "";
}

/// Stores a site from its model after the dialog's checks; an error text on refusal.
std::string storeChecked(SiteDialogModel& m) {
  if (const auto problem = m.validate()) return *problem;
  m.accept();
  return "";
}

std::string addSiteFrom(CliContext& context, const std::vector<std::string>& words) {
  if (words.size() != 5 && words.size() != 12)
    return "--add takes LABEL TYPE X Y Z [ORTEP V1 V2 V3 V4 V5 V6]";
  CrystalDocument& doc = context.session.document;
  Site blank;
  blank.ortepType = -1;
  doc.sites[0].push_back(blank);
  SiteDialogModel m(doc, context.ui, doc.siteCount() - 1, true);
  static const char* const kNames[12] = {"label", "type", "x", "y", "z", "ortep", "f1", "f2", "f3", "f4", "f5", "f6"};
  for (std::size_t k = 0; k < words.size(); ++k) {
    const std::string problem = setSiteField(m, kNames[k], words[k]);
    if (!problem.empty()) {
      m.cancel();
      return problem;
    }
  }
  const std::string problem = storeChecked(m);
  if (!problem.empty()) m.cancel();
  return problem;
}

/// 1-based site number from text; -1 when it names no site.
int siteIndex(const CrystalDocument& doc, const std::string& text) {
  const auto n = parseLong(text);
  return (n && *n >= 1 && *n <= doc.siteCount()) ? static_cast<int>(*n) - 1 : -1;
}

std::string applySiteOption(CliContext& context, const Option& o) {
  CrystalDocument& doc = context.session.document;
  if (o.name == "--add") {
    std::vector<std::string> words;
    for (const std::string& v : o.values)
      for (const std::string& w : splitTokens(v)) words.push_back(w);
    return addSiteFrom(context, words);
  }
  if (o.values.empty()) return o.name + " needs a site number";
  if (o.name == "--delete") {
    const int i = siteIndex(doc, o.values[0]);
    if (i < 0 || o.values.size() != 1) return "--delete takes one site number";
    deleteSelectedSite(context.session, i);
    return "";
  }
  if (o.name == "--set") {
    const int i = siteIndex(doc, o.values[0]);
    if (i < 0 || o.values.size() < 2) return "--set takes a site number and FIELD=VALUE items";
    SiteDialogModel m(doc, context.ui, i, false);
    for (std::size_t k = 1; k < o.values.size(); ++k) {
      std::string field, value;
      if (!splitAssignment(o.values[k], field, value)) return "expected FIELD=VALUE, not " + o.values[k];
      if (std::string problem = setSiteField(m, field, value); !problem.empty()) return problem;
    }
    return storeChecked(m);
  }
  if (o.name == "--occupant") {
    const auto colon = o.values[0].find(':');
    const int i = colon == std::string::npos ? -1 : siteIndex(doc, o.values[0].substr(0, colon));
    const auto j = colon == std::string::npos ? std::nullopt : parseLong(o.values[0].substr(colon + 1));
    if (i < 0 || !j || *j < 1) return "--occupant takes N:J (site and occupant numbers) and FIELD=VALUE items";
    Site& site = doc.sites[0][static_cast<std::size_t>(i)];
    const int count = site.occupantCount();
    if (*j > count + 1) return format("site %d has %d occupants", i + 1, count);
    if (*j == count + 1 && count >= kMaxOccupants) return format("A site can be shared by at most %d atoms", kMaxOccupants);
    SiteOccupant occupant = *j <= count ? site.occupants[static_cast<std::size_t>(*j - 1)]
                                        : SiteOccupant::makeDefault(site.label, i, site.typeNumber);
    OccupantDialogModel m;
    m.load(occupant, static_cast<int>(*j - 1));
    for (std::size_t k = 1; k < o.values.size(); ++k) {
      std::string field, value;
      if (!splitAssignment(o.values[k], field, value)) return "expected FIELD=VALUE, not " + o.values[k];
      if (std::string problem = setOccupantField(m, field, value); !problem.empty()) return problem;
    }
    if (const auto problem = m.validate()) return *problem;
    m.store(occupant);
    if (*j <= count) site.occupants[static_cast<std::size_t>(*j - 1)] = occupant;
    else site.occupants.push_back(occupant);
    site.normaliseOccupants(i);
    return "";
  }
  return "unknown option " + o.name;
}

int runSites(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand& self = *findCommand("sites");
  std::vector<std::string> files;
  std::vector<Option> options;
  splitArguments(args, files, options);
  if (files.size() != 2 || options.empty()) return usageError(context, self, "expected IN.tsr OUT.tsr and edits");
  if (!loadDocument(context, files[0])) return kExitFailed;
  for (const Option& o : options) {
    const std::string problem = applySiteOption(context, o);
    if (!problem.empty()) {
      context.ui.message(problem);
      return kExitFailed;
    }
  }
  return saveDocument(context, files[1]) ? kExitOk : kExitFailed;
}

}  // namespace

CliCommand assignCommand() {
  return {"assign", "give the input crystal a space group or custom operator lines",
          "usage: tessera-cli assign IN.tsr OUT.tsr (--hm S | --hall S | --number S) [--vol A|I]\n"
          "       tessera-cli assign IN.tsr OUT.tsr --custom [--centric] [--lattice L] [--symbol S] [--identify] < LINES\n"
          "The first form assigns a space group from the table (volume A or I conventions for\n"
          "monoclinic and rhombohedral settings) with the checks against the cell. The second takes\n"
          "operator lines (one per line) from standard input as custom symmetry; --identify names the\n"
          "group from the lines first. Exit 1 when the assignment fails.\n",
          runAssign};
}

CliCommand sitesCommand() {
  return {"sites", "add, change or delete input sites and their occupants",
          "usage: tessera-cli sites IN.tsr OUT.tsr EDIT...\n"
          "EDIT is one of (applied in order; site and occupant numbers start at 1):\n"
          "  --add \"LABEL TYPE X Y Z [ORTEP V1 V2 V3 V4 V5 V6]\"   append a site\n"
          "  --delete N                                          delete site N (asks; answer policy)\n"
          "  --set N FIELD=VALUE...     label type x y z ortep iso f1..f6 vx vy vz vlength\n"
          "  --occupant N:J FIELD=VALUE...   label type element occupancy charge scattering;\n"
          "                             J one past the last adds an occupant (at most 10)\n"
          "Labels and element symbols may not contain blanks.\n",
          runSites};
}

}  // namespace tessera::cli
