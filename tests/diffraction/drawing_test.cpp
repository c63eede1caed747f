// The pattern drawings through the recording canvas, and the read-outs.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/scripted_user_interface.h"
#include "diffraction/pattern_drawing.h"
#include "diffraction/pattern_models.h"
#include "support/data_table.h"
#include "support/structures.h"

namespace tessera {
namespace {

using Op = RecordingCanvas::Op;
const Rect kWindow{0, 0, kDefaultPatternWidth, kDefaultPatternHeight};

PowderPattern powder(CrystalDocument doc) {
  ScriptedUserInterface ui;
  return calculatePowder(doc, test::dataTable(), ui);
}

std::vector<const Op*> opsOf(const RecordingCanvas& c, Op::Kind kind) {
  std::vector<const Op*> out;
  for (const Op& op : c.ops)
    if (op.kind == kind) out.push_back(&op);
  return out;
}

TEST(PowderDrawing, AxisTicksHeaderAndLabelsWithoutOverlap) {
  CrystalDocument doc = test::corundum();
  doc.title = "Corundum";
  doc.powderSettings.twoThetaMin = 5;
  doc.powderSettings.twoThetaMax = 60;
  const PowderPattern p = powder(doc);
  RecordingCanvas canvas;
  PowderView view;
  EXPECT_TRUE(drawPowder(canvas, kWindow, kDefaultPixelsPerInch, p, view).empty());
  const std::vector<std::string> texts = canvas.texts();
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Old atoms: Corundum");
  EXPECT_EQ(texts[1], "Lambda:  1.54178  Magnif:   1.0  FWHM:  0.200");
  EXPECT_EQ(texts[2].substr(0, 22), "Space grp: R -3 c  Dir");
  std::vector<std::string> tickLabels;
  for (const std::string& t : texts)
    if (t.size() <= 3 && std::all_of(t.begin(), t.end(), ::isdigit)) tickLabels.push_back(t);
  EXPECT_EQ(tickLabels, (std::vector<std::string>{"10", "20", "30", "40", "50", "60"}));
  // 56 ticks for 5..60 degrees, the base line, one polyline for the curve.
  EXPECT_EQ(opsOf(canvas, Op::Kind::Line).size(), 57u);
  ASSERT_EQ(opsOf(canvas, Op::Kind::Polyline).size(), 1u);
  const auto& curve = opsOf(canvas, Op::Kind::Polyline)[0]->points;
  EXPECT_EQ(curve.size(), 2751u);
  double highest = view.yBase;
  for (const Point& pt : curve) highest = std::min(highest, pt.y);
  EXPECT_NEAR(view.yBase - highest, view.yScale, 1.0);  // the curve maximum reaches full height
  // Labels: several, none overlapping another.
  ASSERT_GE(view.labelBoxes.size(), 8u);
  for (std::size_t i = 0; i < view.labelBoxes.size(); ++i)
    for (std::size_t j = i + 1; j < view.labelBoxes.size(); ++j)
      EXPECT_FALSE(view.labelBoxes[i].intersects(view.labelBoxes[j]));
  // Read-out: a click on the 30-degree tick at base height.
  const double x30 = view.xOrigin + (30 - 5) * view.pixelsPerDegree;
  EXPECT_EQ(powderReadout(view, x30, view.yBase), "2-theta:  30.00  d-spacing:  2.9785  Intensity:   0.0");
  EXPECT_EQ(powderReadout(view, x30, -10).substr(37), "Intensity: 100.0");
  EXPECT_EQ(powderReadout(view, view.xOrigin - 5 * view.pixelsPerDegree, 0).substr(0, 30), "2-theta:   0.00  d-spacing:  0");
}

TEST(PowderDrawing, BarsFixedScaleAndFailures) {
  CrystalDocument doc = test::rockSalt();
  doc.powderSettings.powderProfile = 0;
  doc.powderSettings.powderScaleMode = 1;
  doc.powderSettings.radiationMode = 1;
  doc.powderSettings.lineWidth = 0.02f;
  const PowderPattern p = powder(doc);
  RecordingCanvas canvas;
  canvas.refuse = {"red pen", "index font"};
  PowderView view;
  const auto failures = drawPowder(canvas, kWindow, 100, p, view);
  EXPECT_EQ(failures, std::vector<std::string>{"Index font creation failed"});
  EXPECT_DOUBLE_EQ(view.pixelsPerDegree, 100.0 / 8);  // one inch spans 8 degrees
  const auto lines = opsOf(canvas, Op::Kind::Line);
  EXPECT_NEAR(lines[0]->pen.width, 2.0, 1e-6);
  // Two bars per reflection inside the window's range.
  std::size_t bars = 0;
  for (const Op* l : lines) bars += l->points[0].y == view.yBase && l->points[1].y < view.yBase;
  std::size_t expected = 0;
  for (const Reflection& r : p.reflections) expected += (r.twoTheta[0] <= 60) + (r.twoTheta[1] <= 60);
  EXPECT_EQ(bars, expected);
}

TEST(PrecessionDrawing, SpotsMarksGridAndReadout) {
  CrystalDocument doc = test::rockSalt();
  doc.title = "Salt";
  PrecessionDialogModel model;
  model.loadFrom(doc);
  model.applyTo(doc);
  doc.precessionSettings.showExtinctions = 1;
  ScriptedUserInterface ui;
  const PrecessionPattern p = calculatePrecession(doc, test::dataTable(), ui);
  RecordingCanvas canvas;
  PrecessionView view;
  EXPECT_TRUE(drawPrecession(canvas, kWindow, kDefaultPixelsPerInch, p, view).empty());
  EXPECT_EQ(canvas.texts()[1],
            "Hor. axis: a*  Other axis: b*  Level: 0  Lambda:  0.71070  Mu angle:  30.0  Xtl-film(mm):  60.0");
  // Fixed scale: 60 mm x 96 dpi x 0.7107 x 0.03937 pixels per reciprocal Angstrom.
  EXPECT_NEAR(view.scale, 60 * 96 * 0.7107 * 0.03937, 1e-3);
  int filled = 0, marks = 0, open = 0;
  for (const Op* e : opsOf(canvas, Op::Kind::Ellipse)) {
    filled += e->brush.name == "black";
    marks += e->pen.name == "red" && e->brush.name == "white";
    open += e->brush.none && e->pen.name == "black";
  }
  int absent = 0;
  for (const PrecessionSpot& s : p.spots) absent += s.absent;
  EXPECT_EQ(marks, absent);
  EXPECT_EQ(filled + open - 1, static_cast<int>(p.spots.size()) - absent);  // and the limiting circle
  EXPECT_GE(open, 2);  // the limiting circle and the origin in the blind region
  EXPECT_FALSE(opsOf(canvas, Op::Kind::Line).empty());  // grid
  // A click on the (2 0 0) spot reads it; a click beside it nothing.
  const double x = view.centreX + nearestInt(view.scale * 2 / 5.64);
  const auto text = precessionReadoutAt(p, view, x, view.centreY);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->substr(0, 17), "Indices: 2  0  0 ");
  EXPECT_FALSE(precessionReadoutAt(p, view, view.centreX + view.scale * 1.5 / 5.64, view.centreY).has_value());
  // Fit in window: the limiting circle fills 95 % of the smaller side below the header.
  PrecessionPattern fit = p;
  fit.settings.precessionScaleMode = 1;
  RecordingCanvas fitted;
  drawPrecession(fitted, kWindow, kDefaultPixelsPerInch, fit, view);
  const auto circle = opsOf(fitted, Op::Kind::Ellipse)[0]->points;
  const double below = kWindow.height - (2 * view.centreY - kWindow.height);  // area height
  EXPECT_NEAR(circle[1].x - circle[0].x, 0.95 * std::min(kWindow.width, below), 1.0);
}

}  // namespace
}  // namespace tessera
