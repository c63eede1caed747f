#include "cli/diffraction_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "core/text.h"
#include "diffraction/pattern_commands.h"
#include "diffraction/pattern_drawing.h"
#include "diffraction/pattern_models.h"
#include "diffraction/svg_canvas.h"
#include "transform/transform_engine.h"

namespace tessera::cli {

namespace {

/// Parsed options: flags, single values and the two values of --two-theta.
struct Options {
  std::vector<std::string> files;
  std::map<std::string, std::vector<std::string>> values;
  bool has(const std::string& o) const { return values.count(o) != 0; }
  const std::string& value(const std::string& o) const { return values.at(o).front(); }
};

/// Splits the arguments; the problem text on failure.
std::string parseOptions(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                         const std::vector<std::string>& single, Options& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      out.files.push_back(a);
      continue;
    }
    std::size_t count = 0;
    if (std::find(flags.begin(), flags.end(), a) != flags.end()) count = 0;
    else if (a == "--two-theta") count = 2;
    else if (std::find(single.begin(), single.end(), a) != single.end()) count = 1;
    else return "unknown option " + a;
    if (i + count >= args.size()) return a + " needs " + (count == 2 ? "two values" : "a value");
    out.values[a] = std::vector<std::string>(args.begin() + static_cast<long>(i + 1),
                                             args.begin() + static_cast<long>(i + 1 + count));
    i += count;
  }
  if (out.files.size() != 1) return "expected one input file";
  return "";
}

/// A number option into a float field; the problem text on failure.
std::string numberOption(const Options& o, const std::string& name, float& field, std::size_t at = 0) {
  if (!o.has(name)) return "";
  const std::optional<double> v = parseDouble(o.values.at(name)[at]);
  if (!v) return name + " needs a number";
  field = static_cast<float>(*v);
  return "";
}

std::string targetOption(const Options& o, int& field) {
  if (!o.has("--target")) return "";
  static const char* names[] = {"Cr", "Fe", "Co", "Ni", "Cu", "Mo", "Ag"};
  for (int i = 0; i < 7; ++i)
    if (equalsIgnoreCase(o.value("--target"), names[i])) {
      field = i;
      return "";
    }
  return "--target is Cr, Fe, Co, Ni, Cu, Mo or Ag";
}

std::string modeOption(const Options& o, int& field) {
  if (!o.has("--mode")) return "";
  static const char* names[] = {"average", "doublet", "kbeta", "wavelength", "neutron"};
  for (int i = 0; i < 5; ++i)
    if (o.value("--mode") == names[i]) {
      field = i;
      return "";
    }
  return "--mode is average, doublet, kbeta, wavelength or neutron";
}

/// Loads the document and, with --new, builds the New crystal with its stored transformation.
bool prepareDocument(CliContext& context, const Options& o) {
  if (!loadDocument(context, o.files[0])) return false;
  CrystalDocument& doc = context.session.document;
  doc.activeCrystal = 0;
  if (!o.has("--new")) return true;
  TransformOptions options;
  const std::filesystem::path report = std::filesystem::temp_directory_path() / "tessera-cli-simulation.out";
  options.reportPath = report.string();
  const TransformOutcome outcome = runTransformation(doc, context.ui, options);
  std::error_code ignored;
  std::filesystem::remove(report, ignored);
  if (!outcome.transformed) return false;
  doc.activeCrystal = 1;
  return true;
}

bool writeOutput(CliContext& context, const std::string& path, const std::string& text) {
  if (writeTextFile(path, text)) return true;
  context.ui.message("File open for write failed");
  return false;
}

/// The picture as SVG; other extensions need the desktop program.
std::string checkImagePath(const Options& o) {
  if (!o.has("--image")) return "";
  const std::string ext = toLower(std::filesystem::path(o.value("--image")).extension().string());
  if (ext != ".svg") return "--image writes SVG here (FILE.svg); PNG and PDF come from the desktop program";
  return "";
}

int runPowder(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("powder");
  Options o;
  std::string problem = parseOptions(args, {"--new", "--bars"},
                                     {"--target", "--mode", "--wavelength", "--beta-intensity", "--fwhm", "--scale",
                                      "--default-b", "--listing", "--csv", "--xy", "--image"},
                                     o);
  if (problem.empty()) problem = checkImagePath(o);
  if (!problem.empty()) return usageError(context, *self, problem);
  if (!prepareDocument(context, o)) return kExitFailed;
  CrystalDocument& doc = context.session.document;
  PowderDialogModel model;
  model.loadFrom(doc);
  PowderSettings& s = model.values;
  for (const std::string& p :
       {targetOption(o, s.xrayTarget), modeOption(o, s.radiationMode), numberOption(o, "--wavelength", s.specifiedWavelength),
        numberOption(o, "--beta-intensity", s.betaIntensity), numberOption(o, "--two-theta", s.twoThetaMin, 0),
        numberOption(o, "--two-theta", s.twoThetaMax, 1), numberOption(o, "--fwhm", s.powderFWHM),
        numberOption(o, "--scale", s.powderVerticalScale), numberOption(o, "--default-b", s.defaultB)})
    if (!p.empty()) return usageError(context, *self, p);
  if (o.has("--bars")) s.powderProfile = 0;
  if (const auto refusal = model.validate()) return usageError(context, *self, *refusal);
  model.applyTo(doc);
  doc.powderSettings.powderOutput = 1;  // the listing goes where --listing says
  ScatteringTable table;
  const std::optional<PowderCommandResult> result = powderAfterDialog(context.session, table);
  if (!result) return kExitFailed;
  const PowderPattern& p = result->pattern;
  const std::string listing = powderListing(p);
  bool ok = true;
  if (o.has("--listing")) ok = writeOutput(context, o.value("--listing"), listing) && ok;
  if (o.has("--csv")) ok = writeOutput(context, o.value("--csv"), powderCsv(p)) && ok;
  if (o.has("--xy")) ok = writeOutput(context, o.value("--xy"), powderProfileText(powderCurve(p))) && ok;
  if (o.has("--image")) {
    SvgCanvas canvas(kDefaultPatternWidth, kDefaultPatternHeight);
    PowderView view;
    drawPowder(canvas, {0, 0, kDefaultPatternWidth, kDefaultPatternHeight}, kDefaultPixelsPerInch, p, view);
    ok = writeOutput(context, o.value("--image"), canvas.document()) && ok;
  }
  if (!o.has("--listing") && !o.has("--csv") && !o.has("--xy") && !o.has("--image")) context.out << listing;
  else context.out << "Reflections: " << p.reflections.size() << "\n";
  return ok ? kExitOk : kExitFailed;
}

int axisIndex(const std::string& text) {
  const std::string t = toLower(text);
  if (t == "a" || t == "a*") return 0;
  if (t == "b" || t == "b*") return 1;
  if (t == "c" || t == "c*") return 2;
  return -1;
}

std::string axesOptions(const Options& o, PrecessionSettings& s) {
  int normal = normalAxisFor(s.horizontalAxis, s.otherAxis);
  if (o.has("--normal") && (normal = axisIndex(o.value("--normal"))) < 0) return "--normal is a, b, c, a*, b* or c*";
  int horizontal = s.horizontalAxis;
  if (o.has("--horizontal") && (horizontal = axisIndex(o.value("--horizontal"))) < 0)
    return "--horizontal is a*, b* or c*";
  if (horizontal == normal) horizontal = (normal + 1) % 3;
  s.horizontalAxis = horizontal;
  s.otherAxis = 3 - normal - horizontal;
  return "";
}

int runPrecession(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("precession");
  Options o;
  std::string problem =
      parseOptions(args, {"--new", "--grid", "--extinctions", "--no-lp"},
                   {"--normal", "--horizontal", "--level", "--mu", "--distance", "--target", "--mode", "--wavelength",
                    "--image", "--spots"},
                   o);
  if (problem.empty()) problem = checkImagePath(o);
  if (!problem.empty()) return usageError(context, *self, problem);
  if (!prepareDocument(context, o)) return kExitFailed;
  CrystalDocument& doc = context.session.document;
  PrecessionDialogModel model;
  model.loadFrom(doc);
  PrecessionSettings& s = model.values;
  float level = static_cast<float>(s.level);
  int mode = doc.powderSettings.radiationMode;
  for (const std::string& p : {axesOptions(o, s), numberOption(o, "--level", level),
                               numberOption(o, "--mu", s.precessionAngle),
                               numberOption(o, "--distance", s.crystalFilmDistance),
                               targetOption(o, s.precessionRadiation), modeOption(o, mode)})
    if (!p.empty()) return usageError(context, *self, p);
  if (level != std::floor(level)) return usageError(context, *self, "--level needs a whole number");
  s.level = static_cast<int>(level);
  s.showGrid = o.has("--grid") ? 1 : 0;
  s.showExtinctions = o.has("--extinctions") ? 1 : 0;
  s.useLp = o.has("--no-lp") ? 0 : 1;
  if (const auto refusal = model.validate()) return usageError(context, *self, *refusal);
  model.applyTo(doc);
  doc.powderSettings.radiationMode = mode;
  float wavelength = doc.precessionSettings.precessionWavelength;
  if (std::string p = numberOption(o, "--wavelength", wavelength); !p.empty()) return usageError(context, *self, p);
  if (!(wavelength > 0)) return usageError(context, *self, "--wavelength must be greater than 0");
  doc.precessionSettings.precessionWavelength = wavelength;
  ScatteringTable table;
  const std::optional<PrecessionPattern> p = precessionAfterDialog(context.session, table);
  if (!p) return kExitFailed;
  bool ok = true;
  if (o.has("--spots")) {
    const double mm = p->geometry.lambda * p->settings.crystalFilmDistance;
    std::string text = "h,k,l,x_mm,y_mm,radius_mm\n";
    for (const PrecessionSpot& spot : p->spots)
      if (!spot.absent)
        appendFormat(text, "%d,%d,%d,%.6f,%.6f,%.6f\n", spot.h, spot.k, spot.l, spot.x * mm, spot.y * mm,
                     spot.radius * mm);
    ok = writeOutput(context, o.value("--spots"), text) && ok;
  }
  if (o.has("--image")) {
    SvgCanvas canvas(kDefaultPatternWidth, kDefaultPatternHeight);
    PrecessionView view;
    drawPrecession(canvas, {0, 0, kDefaultPatternWidth, kDefaultPatternHeight}, kDefaultPixelsPerInch, *p, view);
    ok = writeOutput(context, o.value("--image"), canvas.document()) && ok;
  }
  for (const std::string& line : precessionHeader(*p)) context.out << line << "\n";
  int drawn = 0;
  for (const PrecessionSpot& spot : p->spots) drawn += !spot.absent;
  context.out << "Spots: " << drawn << "\n";
  return ok ? kExitOk : kExitFailed;
}

}  // namespace

CliCommand powderCommand() {
  return {"powder", "simulate the powder diffraction pattern of a structure",
          "usage: tessera-cli powder IN [--new] [--target Cr|Fe|Co|Ni|Cu|Mo|Ag]\n"
          "           [--mode average|doublet|kbeta|wavelength|neutron] [--wavelength W] [--beta-intensity F]\n"
          "           [--two-theta MIN MAX] [--fwhm F] [--scale F] [--default-b B] [--bars]\n"
          "           [--listing FILE] [--csv FILE] [--xy FILE] [--image FILE.svg]\n"
          "Starts from the powder settings saved in IN (the dialog's defaults for other formats),\n"
          "changes those given and calculates the pattern of the Old crystal, or with --new of the\n"
          "New crystal built with the transformation stored in IN. --listing writes the LIST.OUT\n"
          "text, --csv one row per reflection, --xy the profile (2-theta, intensity), --image the\n"
          "drawing (bars with --bars, else the curve). Without an output option the listing is printed.\n",
          runPowder};
}

CliCommand precessionCommand() {
  return {"precession", "simulate a precession photograph of one reciprocal-lattice layer",
          "usage: tessera-cli precession IN [--new] [--normal a|b|c|a*|b*|c*] [--horizontal a*|b*|c*]\n"
          "           [--level N] [--mu DEG] [--distance MM] [--target Cr|Fe|Co|Ni|Cu|Mo|Ag]\n"
          "           [--mode average|doublet|kbeta|wavelength|neutron] [--wavelength W]\n"
          "           [--grid] [--extinctions] [--no-lp] [--image FILE.svg] [--spots FILE]\n"
          "Draws the layer perpendicular to the normal axis (default c*, horizontal a*) with the\n"
          "settings saved in IN changed by those given. --mode neutron uses neutron scattering\n"
          "lengths; --wavelength replaces the target's wavelength. --spots writes\n"
          "h,k,l,x_mm,y_mm,radius_mm per drawn spot (film millimetres at the crystal-film distance).\n",
          runPrecession};
}

}  // namespace tessera::cli
