#include "diffraction/metafile_command.h"

#include <cmath>

#include "core/native_file.h"
#include "diffraction/metafile.h"

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

bool fitWindowsMetafile(UserInterface& ui, double& acrossInches, double& downInches) {
  while (tooLarge(acrossInches, downInches)) {
    if (!isAffirmative(ui.ask("Height or width greater than 32767 dots - size will be halved", Buttons::OkCancel)))
      return false;
    acrossInches /= 2;
    downInches /= 2;
  }
  return true;
}

MetafileResult writeMetafile(UserInterface& ui, MetafileDialogModel& model, const PatternPainter& paint) {
  if (!ui.runDialog(model)) return {};
  double across = model.acrossInches, down = model.downInches;
  const bool enhanced = model.type == MetafileType::Enhanced;
  if (model.destination == 1) {
    // The clipboard gets no question; a Windows metafile still never holds
    // coordinates past its 16-bit range.
    while (!enhanced && tooLarge(across, down)) across /= 2, down /= 2;
    return {metafileBytes(model.type, across, down, model.blackWhite, model.scaling == 0, paint),
            enhanced ? "image/emf" : "image/wmf"};
  }
  if (!enhanced && !fitWindowsMetafile(ui, across, down)) return {};
  FileRequest request;
  request.title = "Metafile";
  request.defaultName = enhanced ? "Untitled.emf" : "Untitled.wmf";
  request.filter = enhanced ? "Enhanced Metafile (*.emf)|*.emf||" : "Windows Metafile (*.wmf)|*.wmf||";
  request.defaultExtension = enhanced ? ".emf" : ".wmf";
  request.mustExist = false;
  const auto path = ui.saveFile(request);
  if (!path) return {};
  const std::vector<std::uint8_t> bytes =
      metafileBytes(model.type, across, down, model.blackWhite, model.scaling == 0, paint);
  if (!writeFileAtomically(*path, std::string(bytes.begin(), bytes.end()))) ui.message("Error in CreateFile");
  return {};
}

}  // namespace tessera
