#include "core/native_file.h"
#include "cli/diffraction_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "core/text.h"
#include "diffraction/metafile_command.h"
#include "diffraction/pattern_commands.h"
#include "diffraction/pattern_drawing.h"
#include "diffraction/pattern_models.h"
#include "diffraction/svg_canvas.h"
#include "transform/transform_engine.h"

namespace tessera::cli {

namespace {

/// Parsed options: flags, single values and the two values of --two-theta and --frame.
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
    else if (a == "--two-theta" || a == "--frame") count = 2;
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
  if (writeFileAtomically(path, text)) return true;
  context.ui.message("File open for write failed");
  return false;
}

RasterPictureWriter& rasterPictureWriter() {
  static RasterPictureWriter writer;
  return writer;
}

/// The picture --image names: SVG, PNG or PDF at screen size, or a metafile of the --frame in inches.
struct ImageOptions {
  std::string extension;
  double acrossInches = 5, downInches = 5;
};

/// The picture options; the problem text when they do not fit together.
std::string imageOptions(const Options& o, ImageOptions& image) {
  if (!o.has("--image")) {
    for (const char* metafileOnly : {"--frame", "--placeable", "--black-white"})
      if (o.has(metafileOnly)) return std::string(metafileOnly) + " goes with --image";
    return "";
  }
  image.extension = toLower(std::filesystem::path(o.value("--image")).extension().string());
  const bool raster = image.extension == ".png" || image.extension == ".pdf";
  if (raster && !rasterPictureWriter())
    return "--image writes SVG, WMF or EMF in this build (FILE.svg, FILE.wmf, FILE.emf); PNG and PDF need the "
           "desktop libraries";
  if (!raster && image.extension != ".svg" && image.extension != ".wmf" && image.extension != ".emf")
    return "--image writes FILE.svg, FILE.png, FILE.pdf, FILE.wmf or FILE.emf";
  if (o.has("--frame") && (image.extension == ".svg" || raster))
    return "--frame goes with a metafile (FILE.wmf, FILE.emf)";
  if (o.has("--placeable") && image.extension != ".wmf") return "--placeable goes with a .wmf picture";
  if (o.has("--frame")) {
    const std::optional<double> across = parseDouble(o.values.at("--frame")[0]);
    const std::optional<double> down = parseDouble(o.values.at("--frame")[1]);
    // Past 1000 inches even halving leaves no sensible picture.
    if (!across || !down || !(*across > 0) || !(*down > 0) || *across > 1000 || *down > 1000)
      return "--frame needs two sizes in inches greater than 0";
    image.acrossInches = *across;
    image.downInches = *down;
  }
  return "";
}

/// Writes the picture of a drawing; a Windows metafile too large for its 16-bit
/// coordinates is halved when the answer policy says OK.
bool writeImage(CliContext& context, const Options& o, ImageOptions image, const PatternPainter& paint) {
  const std::string& path = o.value("--image");
  if (image.extension == ".svg") {
    SvgCanvas canvas(kDefaultPatternWidth, kDefaultPatternHeight);
    paint(canvas, {0, 0, kDefaultPatternWidth, kDefaultPatternHeight}, kDefaultPixelsPerInch);
    return writeOutput(context, path, canvas.document());
  }
  if (image.extension == ".png" || image.extension == ".pdf") {
    if (rasterPictureWriter()(paint, kDefaultPatternWidth, kDefaultPatternHeight, path)) return true;
    context.ui.message("File open for write failed");
    return false;
  }
  const MetafileType type = image.extension == ".emf" ? MetafileType::Enhanced
                            : o.has("--placeable")    ? MetafileType::Placeable
                                                      : MetafileType::Standard;
  if (type != MetafileType::Enhanced && !fitWindowsMetafile(context.ui, image.acrossInches, image.downInches))
    return false;
  const std::vector<std::uint8_t> bytes =
      metafileBytes(type, image.acrossInches, image.downInches, o.has("--black-white"), true, paint);
  return writeOutput(context, path, std::string(bytes.begin(), bytes.end()));
}

int runPowder(CliContext& context, const std::vector<std::string>& args) {
  const CliCommand* self = findCommand("powder");
  Options o;
  ImageOptions image;
  std::string problem = parseOptions(args, {"--new", "--bars", "--placeable", "--black-white"},
                                     {"--target", "--mode", "--wavelength", "--beta-intensity", "--fwhm", "--scale",
                                      "--default-b", "--listing", "--csv", "--xy", "--image"},
                                     o);
  if (problem.empty()) problem = imageOptions(o, image);
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
    ok = writeImage(context, o, image, [&p](Canvas& canvas, const Rect& target, double dotsPerInch) {
      PowderView view;
      drawPowder(canvas, target, dotsPerInch, p, view);
    }) && ok;
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
      parseOptions(args, {"--new", "--grid", "--extinctions", "--no-lp", "--placeable", "--black-white"},
                   {"--normal", "--horizontal", "--level", "--mu", "--distance", "--target", "--mode", "--wavelength",
                    "--image", "--spots"},
                   o);
  ImageOptions image;
  if (problem.empty()) problem = imageOptions(o, image);
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
    ok = writeImage(context, o, image, [&p](Canvas& canvas, const Rect& target, double dotsPerInch) {
      PrecessionView view;
      drawPrecession(canvas, target, dotsPerInch, *p, view);
    }) && ok;
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
          "           [--listing FILE] [--csv FILE] [--xy FILE]\n"
          "           [--image FILE.svg|.png|.pdf|.wmf|.emf [--placeable] [--frame ACROSS DOWN] [--black-white]]\n"
          "Starts from the powder settings saved in IN (the dialog's defaults for other formats),\n"
          "changes those given and calculates the pattern of the Old crystal, or with --new of the\n"
          "New crystal built with the transformation stored in IN. --listing writes the LIST.OUT\n"
          "text, --csv one row per reflection, --xy the profile (2-theta, intensity), --image the\n"
          "drawing (bars with --bars, else the curve). Without an output option the listing is printed.\n"
          "SVG, PNG and PDF pictures are 900 x 600 pixels at 96 dots an inch, as the window opens.\n"
          "A .wmf picture is a standard Windows metafile (placeable with --placeable), a .emf an enhanced\n"
          "metafile, both of a frame ACROSS x DOWN inches (5 x 5 unless given), in colour unless\n"
          "--black-white; a Windows metafile over 32767 dots a side is halved when the answer is OK.\n",
          runPowder};
}

CliCommand precessionCommand() {
  return {"precession", "simulate a precession photograph of one reciprocal-lattice layer",
          "usage: tessera-cli precession IN [--new] [--normal a|b|c|a*|b*|c*] [--horizontal a*|b*|c*]\n"
          "           [--level N] [--mu DEG] [--distance MM] [--target Cr|Fe|Co|Ni|Cu|Mo|Ag]\n"
          "           [--mode average|doublet|kbeta|wavelength|neutron] [--wavelength W]\n"
          "           [--grid] [--extinctions] [--no-lp] [--spots FILE]\n"
          "           [--image FILE.svg|.png|.pdf|.wmf|.emf [--placeable] [--frame ACROSS DOWN] [--black-white]]\n"
          "Draws the layer perpendicular to the normal axis (default c*, horizontal a*) with the\n"
          "settings saved in IN changed by those given. --mode neutron uses neutron scattering\n"
          "lengths; --wavelength replaces the target's wavelength. --spots writes\n"
          "h,k,l,x_mm,y_mm,radius_mm per drawn spot (film millimetres at the crystal-film distance).\n"
          "--image writes the drawing as for powder.\n",
          runPrecession};
}

void setRasterPictureWriter(RasterPictureWriter writer) { rasterPictureWriter() = std::move(writer); }

}  // namespace tessera::cli
