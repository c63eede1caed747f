#include "cli/transform_commands.h"

#include <fstream>

#include "cli/convert_commands.h"
#include "core/cell_geometry.h"
#include "core/site_listing.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "symmetry/symmetry_assignment.h"
#include "transform/hkl_transform.h"
#include "transform/new_symmetry.h"
#include "transform/transform_engine.h"
#include "transform/transform_parameters.h"
#include "transform/transform_parameters_model.h"

namespace tessera::cli {

namespace {

/// Numbers separated by blanks or commas; each may be a fraction such as 1/2.
std::optional<std::vector<double>> parseNumbers(const std::string& text, std::size_t count) {
  std::vector<double> values;
  for (const std::string& token : splitTokens(text, " \t,")) {
    const std::optional<double> v = parseFractionOrNumber(token);
    if (!v) return std::nullopt;
    values.push_back(*v);
  }
  if (values.size() != count) return std::nullopt;
  return values;
}

std::string standardNamesText() {
  std::string s = "standard matrices:";
  for (const StandardMatrix& m : standardMatrices()) s += std::string(" \"") + m.listText + "\"";
  return s;
}

/// Reads --standard or --matrix into the model; empty on success, else the problem.
std::string applyMatrixOption(TransformParametersModel& model, const std::string& option, const std::string& value) {
  if (option == "--standard") {
    const std::optional<int> index = findStandardMatrix(value);
    if (!index) return "unknown standard matrix \"" + value + "\"; " + standardNamesText();
    const Matrix3f& m = standardMatrices()[static_cast<std::size_t>(*index)].matrix;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) model.setMatrixEntry(r, c, m[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    return "";
  }
  const auto values = parseNumbers(value, 9);
  if (!values) return "--matrix needs nine numbers";
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (auto e = model.setMatrixEntry(r, c, (*values)[static_cast<std::size_t>(3 * r + c)])) return *e;
  return "";
}

/// Reads a translation triple through the model's setter; empty on success.
template <class Setter>
std::string applyTriple(const std::string& option, const std::string& value, Setter set) {
  const auto values = parseNumbers(value, 3);
  if (!values) return option + " needs three numbers X,Y,Z";
  for (int k = 0; k < 3; ++k)
    if (auto e = set(k, (*values)[static_cast<std::size_t>(k)])) return option + ": " + *e;
  return "";
}

std::string applyOption(TransformParametersModel& model, const std::string& option, const std::string& value,
                        TransformOptions& options) {
  if (option == "--standard" || option == "--matrix") return applyMatrixOption(model, option, value);
  if (option == "--pre-symmetry")
    return applyTriple(option, value, [&](int k, double v) { return model.setPreSymmetryShift(k, v); });
  if (option == "--pre-matrix")
    return applyTriple(option, value, [&](int k, double v) { return model.setPreMatrixShift(k, v); });
  if (option == "--post-matrix")
    return applyTriple(option, value, [&](int k, double v) { return model.setPostMatrixShift(k, v); });
  if (option == "--tolerance") {
    const std::optional<double> t = parseFractionOrNumber(value);
    if (!t) return "--tolerance needs a number";
    if (auto e = model.setTolerance(*t)) return "--tolerance: " + *e;
    return "";
  }
  if (option == "--mode") {
    const std::vector<std::string> modes = {"translate", "input", "full"};
    for (int m = 0; m < 3; ++m)
      if (value == modes[static_cast<std::size_t>(m)]) {
        model.setMode(m);
        return "";
      }
    return "--mode is translate, input or full";
  }
  if (option == "--report") {
    options.reportPath = value;
    return "";
  }
  return "unknown option " + option;
}

bool isSymmetryOption(const std::string& option) {
  return option == "--new-hm" || option == "--new-hall" || option == "--new-number" || option == "--new-custom";
}

/// Gives the New crystal the symmetry named by a --new-* option, as the symmetry dialogs of the
/// transformation do; the checks against the cell see the cell the matrix gives. False
/// (message shown) on failure.
bool applySymmetryOption(CliContext& context, const std::string& option, const std::string& value) {
  CrystalDocument& doc = context.session.document;
  CrystalRecord& crystal = doc.crystals[1];
  if (isUsableCell(doc.crystals[0].cell)) {
    crystal.cell = newCellParameters(doc.crystals[0].cell, doc.transformation.matrix);
    deriveNewAxesType(crystal);
  }
  if (option == "--new-custom") {
    std::ifstream in(value);
    if (!in) {
      context.ui.message("Input file open failed");
      return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      if (!trim(line).empty()) lines.push_back(line);
    return setNewCustomSymmetry(crystal, lines, context.ui);
  }
  const int kind = option == "--new-hall" ? kSymbolHall : option == "--new-number" ? kSymbolNumber : kSymbolHM;
  const std::string text = trim(value);
  crystal.symbolKind = kind;
  crystal.settingCode = 0;
  (kind == kSymbolHall ? crystal.hallSymbol : kind == kSymbolNumber ? crystal.sgNumberText : crystal.hmSymbol) = text;
  if (AssignSpaceGroup(crystal, text, kind, 0, context.ui) != 0) return false;
  crystal.matricesValid = 0;
  crystal.symmetrySource = 1;
  crystal.p1Defaulted = 0;
  return true;
}

int runTransform(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("transform");
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> settings;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) == 0) {
      if (i + 1 >= args.size()) return usageError(context, *self, args[i] + " needs a value");
      settings.emplace_back(args[i], args[i + 1]);
      ++i;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return usageError(context, *self, "expected an input and an output file");
  std::optional<int> exportCommand;
  std::string to;
  for (const auto& [option, value] : settings)
    if (option == "--to") to = toLower(value);
  if (to != "tsr" && !(to.empty() && hasNativeExtension(files[1]))) {
    exportCommand = to.empty() ? exportCommandForPath(context.session.settings, files[1]) : exportCommandByCliName(to);
    if (!exportCommand) return usageError(context, *self, "cannot tell the format of " + files[1] + "; give --to");
    if (!hasWriter(context, "transform", *exportCommand)) return kExitFailed;
  }
  if (!loadDocument(context, files[0])) return kExitFailed;
  CrystalDocument& doc = context.session.document;
  TransformParametersModel model(doc, context.ui);
  TransformOptions options;
  const std::pair<std::string, std::string>* symmetry = nullptr;
  for (const auto& setting : settings) {
    if (setting.first == "--to") continue;
    if (isSymmetryOption(setting.first)) {
      if (symmetry) return usageError(context, *self, "give at most one --new-* option");
      symmetry = &setting;
      continue;
    }
    if (std::string problem = applyOption(model, setting.first, setting.second, options); !problem.empty())
      return usageError(context, *self, problem);
  }
  model.applyTo(doc);
  if (symmetry && !applySymmetryOption(context, symmetry->first, symmetry->second)) return kExitFailed;
  const TransformOutcome outcome = runTransformation(doc, context.ui, options);
  if (!outcome.transformed || !outcome.reportWritten) return kExitFailed;
  context.out << "Report: " << outcome.reportPath << "\n";
  context.out << "New sites: " << doc.newSiteCount() << "\n";
  if (!exportCommand) {
    copyNewToOld(doc);
    return saveDocument(context, files[1]) ? kExitOk : kExitFailed;
  }
  // Another format: the New crystal is written as "Export transformed data" does.
  context.ui.dialogFiller = [](DialogModel& m) {
    if (auto* e = dynamic_cast<ExportDialogModel*>(&m)) e->crystalChoice = 1;
    return true;
  };
  return exportTo(context, *exportCommand, files[1]) ? kExitOk : kExitFailed;
}

int runHkl(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("hkl");
  if (args.size() != 4) return usageError(context, *self, "expected IN.hkl OUT.hkl and one matrix option");
  CrystalDocument& doc = context.session.document;
  TransformParametersModel model(doc, context.ui);
  if (args[2] != "--standard" && args[2] != "--matrix")
    return usageError(context, *self, "expected --standard NAME or --matrix \"m11 ... m33\"");
  if (std::string problem = applyMatrixOption(model, args[2], args[3]); !problem.empty())
    return usageError(context, *self, problem);
  model.applyTo(doc);
  context.ui.files = {args[0], args[1]};
  return transformHklFileCommand(doc, context.ui) ? kExitOk : kExitFailed;
}

}  // namespace

CliCommand transformCommand() {
  return {"transform", "transform a structure to a new cell and save the result as the input",
          "usage: tessera-cli transform IN.tsr OUT.tsr [--standard NAME | --matrix \"m11 m12 m13 m21 m22 m23 m31 m32 m33\"]\n"
          "           [--pre-symmetry X,Y,Z] [--pre-matrix X,Y,Z] [--post-matrix X,Y,Z] [--tolerance T]\n"
          "           [--mode translate|input|full] [--new-hm S | --new-hall S | --new-number S | --new-custom FILE]\n"
          "           [--report FILE] [--to KIND]\n"
          "Starts from the parameters saved in IN.tsr, changes those given, runs the transformation\n"
          "(questions are answered by the answer policy), writes the report (default: IN with .out)\n"
          "and saves OUT.tsr with the New crystal as its input. Any other export format (named by\n"
          "its extension or --to KIND) gets the New crystal as \"Export transformed data\" writes it.\n"
          "Matrix entries and translations accept fractions such as 1/2 and -1/3. NAME is a list\n"
          "text such as \"F -> P\".\n"
          "--new-hm, --new-hall and --new-number give the New crystal a space group from the table\n"
          "(volume A conventions) or a Hall symbol, checked against the new cell; --new-custom FILE gives it the operator lines of\n"
          "FILE, one per line, as the whole list (primitive lattice, acentric).\n",
          runTransform};
}

CliCommand hklCommand() {
  return {"hkl", "transform the indices of a reflection list with a matrix",
          "usage: tessera-cli hkl IN.hkl OUT.hkl (--standard NAME | --matrix \"m11 m12 m13 m21 m22 m23 m31 m32 m33\")\n"
          "Writes OUT.hkl with the first three integers of each reflection line replaced by the\n"
          "indices in the new cell; other lines are copied without trailing blanks.\n",
          runHkl};
}

}  // namespace tessera::cli
