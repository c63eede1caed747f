#include "diffraction/metafile_command.h"

#include <algorithm>
#include <cmath>

#include "core/native_file.h"
#include "diffraction/metafile.h"
#include "diffraction/pattern_drawing.h"
#include "diffraction/print_graphics.h"
#include "diffraction/svg_canvas.h"

namespace tessera {

double MetafileDialogModel::fromInches(double inches) const {
  return frameUnits == 1 ? inches * kMetafileDotsPerInch : frameUnits == 3 ? inches * 2.54 : inches;
}

double MetafileDialogModel::toInches(double value) const {
  return frameUnits == 1 ? value / kMetafileDotsPerInch : frameUnits == 3 ? value / 2.54 : value;
}

void MetafileDialogModel::setShownFrame(double across, double down) {
  acrossInches = toInches(across);
  downInches = toInches(down);
}

std::optional<std::string> MetafileDialogModel::validate() const {
  return frameSizeProblem(acrossInches, downInches);
}

namespace {
int dots(double inches) { return static_cast<int>(std::trunc(inches * kMetafileDotsPerInch)); }
bool tooLarge(double across, double down) {
  return dots(across) > kWindowsMetafileLimit || dots(down) > kWindowsMetafileLimit;
}
}  // namespace

std::vector<std::uint8_t> metafileBytes(MetafileType type, double acrossInches, double downInches, bool blackWhite,
                                        bool isotropic, const PatternPainter& paint) {
  const int width = std::max(1, dots(acrossInches)), height = std::max(1, dots(downInches));
  const Rect frame{0, 0, static_cast<double>(width), static_cast<double>(height)};
  if (type == MetafileType::Enhanced) {
    EmfCanvas canvas(width, height, blackWhite);
    paint(canvas, frame, kMetafileDotsPerInch);
    return canvas.bytes();
  }
  WmfCanvas canvas(width, height, isotropic, blackWhite);
  paint(canvas, frame, kMetafileDotsPerInch);
  std::vector<std::uint8_t> bytes;
  if (type == MetafileType::Placeable) bytes = placeableHeader(acrossInches, downInches);
  const std::vector<std::uint8_t> bits = canvas.bytes();
  bytes.insert(bytes.end(), bits.begin(), bits.end());
  return bytes;
}

std::string svgPicture(double acrossInches, double downInches, bool blackWhite, const PatternPainter& paint) {
  const double width = std::max(1.0, std::round(acrossInches * kDefaultPixelsPerInch));
  const double height = std::max(1.0, std::round(downInches * kDefaultPixelsPerInch));
  SvgCanvas svg(width, height);
  BlackWhiteCanvas black(svg);
  paint(blackWhite ? static_cast<Canvas&>(black) : svg, {0, 0, width, height}, kDefaultPixelsPerInch);
  return svg.document();
}

bool fitWindowsMetafile(UserInterface& ui, double& acrossInches, double& downInches) {
  while (tooLarge(acrossInches, downInches)) {
    if (!isAffirmative(ui.ask("Height or width greater than 32767 dots - size will be halved", Buttons::OkCancel)))
      return false;
    acrossInches /= 2;
    downInches /= 2;
  }
  return true;
}

namespace {

struct PictureFile {
  const char* name;
  const char* filter;
  const char* extension;
};

PictureFile pictureFile(MetafileType type) {
  switch (type) {
    case MetafileType::Enhanced: return {"Untitled.emf", "Enhanced Metafile (*.emf)|*.emf||", ".emf"};
    case MetafileType::Svg: return {"Untitled.svg", "SVG Picture (*.svg)|*.svg||", ".svg"};
    case MetafileType::Pdf: return {"Untitled.pdf", "PDF Document (*.pdf)|*.pdf||", ".pdf"};
    default: return {"Untitled.wmf", "Windows Metafile (*.wmf)|*.wmf||", ".wmf"};
  }
}

}  // namespace

MetafileResult writeMetafile(UserInterface& ui, MetafileDialogModel& model, const PatternPainter& paint,
                             const PdfWriter& pdf) {
  for (;;) {
    if (!ui.runDialog(model)) return {};
    const std::optional<std::string> problem = model.validate();
    if (!problem) break;
    ui.message(*problem);
  }
  double across = model.acrossInches, down = model.downInches;
  if (model.destination == 1) {
    // The clipboard gets no question; a Windows metafile still never holds
    // coordinates past its 16-bit range.
    const MetafileType type = model.windowsMetafile() ? model.type : MetafileType::Enhanced;
    while (model.windowsMetafile() && tooLarge(across, down)) across /= 2, down /= 2;
    return {metafileBytes(type, across, down, model.blackWhite, model.scaling == 0, paint),
            type == MetafileType::Enhanced ? "image/emf" : "image/wmf",
            svgPicture(across, down, model.blackWhite, paint)};
  }
  if (model.type == MetafileType::Pdf && !pdf) {
    ui.message("PDF pictures come from the desktop program");
    return {};
  }
  if (model.windowsMetafile() && !fitWindowsMetafile(ui, across, down)) return {};
  const PictureFile file = pictureFile(model.type);
  FileRequest request;
  request.title = "Metafile";
  request.defaultName = file.name;
  request.filter = file.filter;
  request.defaultExtension = file.extension;
  request.mustExist = false;
  const auto path = ui.saveFile(request);
  if (!path) return {};
  bool written = false;
  if (model.type == MetafileType::Pdf) {
    written = pdf(*path, across, down, model.blackWhite, paint);
  } else if (model.type == MetafileType::Svg) {
    written = writeFileAtomically(*path, svgPicture(across, down, model.blackWhite, paint));
  } else {
    const std::vector<std::uint8_t> bytes =
        metafileBytes(model.type, across, down, model.blackWhite, model.scaling == 0, paint);
    written = writeFileAtomically(*path, std::string(bytes.begin(), bytes.end()));
  }
  if (!written) ui.message("Error in CreateFile");
  return {};
}

}  // namespace tessera
