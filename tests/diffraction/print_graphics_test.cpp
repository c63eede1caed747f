// The "Print Graphics Image" dialog's model: the settings it shares and where the
// drawing goes on the page.
#include <gtest/gtest.h>

#include "diffraction/print_graphics.h"

namespace tessera {
namespace {

TEST(PrintGraphics, SettingsAndTargetOnThePage) {
  ProgramSettings settings;
  PrintGraphicsModel model;
  model.loadFrom(settings);
  EXPECT_EQ(model.outputType, 0);
  EXPECT_DOUBLE_EQ(model.acrossInches, 6);
  EXPECT_FALSE(model.centimetres);
  EXPECT_TRUE(model.colour);
  // Full page: the printable area; Frame: its size at its offset from the paper's corner.
  const Rect printable{50, 60, 4000, 5000};
  const Rect full = printTarget(model, printable, 600);
  EXPECT_DOUBLE_EQ(full.x, 50);
  EXPECT_DOUBLE_EQ(full.height, 5000);
  model.outputType = 1;
  model.offsetAcrossInches = 1;
  model.offsetDownInches = 0.5;
  model.acrossInches = 3;
  const Rect frame = printTarget(model, printable, 600);
  EXPECT_DOUBLE_EQ(frame.x, 600);
  EXPECT_DOUBLE_EQ(frame.y, 300);
  EXPECT_DOUBLE_EQ(frame.width, 1800);
  EXPECT_DOUBLE_EQ(frame.height, 3600);
  EXPECT_DOUBLE_EQ(model.shown(1), 1);
  model.centimetres = true;
  EXPECT_DOUBLE_EQ(model.shown(1), 2.54);
  model.colour = false;
  model.storeIn(settings);
  EXPECT_EQ(settings.frameUnits, 3);
  EXPECT_EQ(settings.printBlackWhite, 1);
  EXPECT_EQ(settings.printOutputType, 1);
  EXPECT_FLOAT_EQ(settings.printFrame[2], 1.0f);
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
