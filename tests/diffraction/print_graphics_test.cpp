// The "Print Graphics Image" dialog's model: the settings it shares and where the
// drawing goes on the page.
#include "diffraction/print_graphics.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tessera {
namespace {

TEST(PrintGraphics, SettingsAndTargetOnThePage) {
  ProgramSettings settings;
  PrintGraphicsModel model;
  model.loadFrom(settings);
  EXPECT_EQ(std::tuple(model.outputType, model.acrossInches, model.centimetres, model.colour), std::tuple(0, 6.0, false, true));
  // Full page: the printable area; Frame: its size at its offset from the paper's corner.
  const Rect printable{50, 60, 4000, 5000};
  const Rect full = printTarget(model, printable, 600);
  EXPECT_EQ(std::pair(full.x, full.height), std::pair(50.0, 5000.0));
  model.outputType = 1;
  model.offsetAcrossInches = 1;
  model.offsetDownInches = 0.5;
  model.acrossInches = 3;
  const Rect frame = printTarget(model, printable, 600);
  EXPECT_EQ(std::tuple(frame.x, frame.y, frame.width, frame.height), std::tuple(600.0, 300.0, 1800.0, 3600.0));
  EXPECT_DOUBLE_EQ(model.shown(1), 1);
  model.centimetres = true;
  EXPECT_DOUBLE_EQ(model.shown(1), 2.54);
  model.colour = false;
  model.storeIn(settings);
  EXPECT_EQ(std::tuple(settings.frameUnits, settings.printBlackWhite, settings.printOutputType, settings.printFrame[2]),
            std::tuple(3, 1, 1, 1.0f));
  // The metafile dialog's "Dots" stay while this dialog shows inches.
  settings.frameUnits = 1;
  model.loadFrom(settings);
  model.storeIn(settings);
  EXPECT_EQ(settings.frameUnits, 1);

  EXPECT_FALSE(model.validate());
  model.offsetDownInches = -1;
  EXPECT_EQ(model.validate(), "Frame offset must be 0 or more and at most 1000 inches");
  model.downInches = 0;
  EXPECT_EQ(model.validate(), "Frame size must be greater than 0 and at most 1000 inches");
}

}  // namespace
}  // namespace tessera
