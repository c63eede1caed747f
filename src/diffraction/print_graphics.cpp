#include "diffraction/print_graphics.h"

namespace tessera {

void PrintGraphicsModel::loadFrom(const ProgramSettings& settings) {
  outputType = settings.printOutputType == 1 ? 1 : 0;
  standardDialog = settings.printStandardDialog != 0;
  centimetres = settings.frameUnits == 3;
  acrossInches = settings.printFrame[0];
  downInches = settings.printFrame[1];
  offsetAcrossInches = settings.printFrame[2];
  offsetDownInches = settings.printFrame[3];
  colour = settings.printBlackWhite == 0;
}

void PrintGraphicsModel::storeIn(ProgramSettings& settings) const {
  settings.printOutputType = outputType;
  settings.printStandardDialog = standardDialog ? 1 : 0;
  if (centimetres) settings.frameUnits = 3;
  else if (settings.frameUnits == 3) settings.frameUnits = 2;
  settings.printFrame = {static_cast<float>(acrossInches), static_cast<float>(downInches),
                         static_cast<float>(offsetAcrossInches), static_cast<float>(offsetDownInches)};
  settings.printBlackWhite = colour ? 0 : 1;
}

namespace {
// No page or picture is 1000 inches across: larger values can only be typing mistakes.
constexpr double kFrameLimitInches = 1000;
}  // namespace

std::optional<std::string> frameSizeProblem(double acrossInches, double downInches) {
  const double limit = kFrameLimitInches;
  if (!(acrossInches > 0) || !(downInches > 0) || acrossInches > limit || downInches > limit)
    return std::string("Frame size must be greater than 0 and at most 1000 inches");
  return std::nullopt;
}

std::optional<std::string> PrintGraphicsModel::validate() const {
  if (auto problem = frameSizeProblem(acrossInches, downInches)) return problem;
  const double limit = kFrameLimitInches;
  if (!(offsetAcrossInches >= 0) || !(offsetDownInches >= 0) || offsetAcrossInches > limit ||
      offsetDownInches > limit)
    return std::string("Frame offset must be 0 or more and at most 1000 inches");
  return std::nullopt;
}

Rect printTarget(const PrintGraphicsModel& model, const Rect& printable, double dotsPerInch) {
  if (model.outputType == 0) return printable;
  return {model.offsetAcrossInches * dotsPerInch, model.offsetDownInches * dotsPerInch,
          model.acrossInches * dotsPerInch, model.downInches * dotsPerInch};
}

}  // namespace tessera
