// Standard matrices, the new cell and the "Transformation Parameters" dialog model.

#include <gtest/gtest.h>

#include <cmath>

#include "core/scripted_user_interface.h"
#include "support/structures.h"
#include "transform/transform_parameters_model.h"

namespace tessera {
namespace {

TEST(TransformParameters, StandardMatricesGiveTheExpectedCells) {
  // F -> P on a cubic F cell: a / sqrt 2, 60 degrees, a quarter of the volume.
  const Cell cubic = {5.64f, 5.64f, 5.64f, kRightAngle, kRightAngle, kRightAngle};
  const Cell p = newCellParameters(cubic, standardMatrices()[7].matrix);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], 5.64 / std::sqrt(2.0), 1e-5);
  for (int k = 3; k < 6; ++k) EXPECT_NEAR(p[k] / kDegToRad, 60.0, 1e-4);
  EXPECT_NEAR(reportVolume(p) / reportVolume(cubic), 0.25, 1e-6);
  // Hex -> Rhomb and back returns to the hexagonal cell within single precision.
  const Cell hex = {4.759f, 4.759f, 12.99f, kRightAngle, kRightAngle, kAngle120};
  const Cell back = newCellParameters(newCellParameters(hex, standardMatrices()[2].matrix), standardMatrices()[1].matrix);
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(back[k], hex[k], 1e-4 * hex[k]);
  EXPECT_FLOAT_EQ(standardMatrices()[2].matrix[0][1], 0.333333f);
  // The inverse of F -> P; a singular matrix has none.
  const MatrixInverse inv = invertTransformMatrix(standardMatrices()[7].matrix);
  ASSERT_FALSE(inv.singular);
  EXPECT_FLOAT_EQ(inv.inverse[0][0], -1.0f);
  EXPECT_FLOAT_EQ(inv.inverse[0][1], 1.0f);
  EXPECT_DOUBLE_EQ(inv.determinant, 0.25);
  EXPECT_TRUE(invertTransformMatrix({{{1, 2, 3}, {2, 4, 6}, {0, 0, 1}}}).singular);
  EXPECT_TRUE(invertTransformMatrix({}).singular);
  EXPECT_TRUE(invertTransformMatrix({{{NAN, 0, 0}, {0, 1, 0}, {0, 0, 1}}}).singular);
}

TEST(TransformParameters, ReductionFollowsTheTwoLoops) {
  EXPECT_NEAR(reduceIntoCell(0.6f + 0.5f), 0.1f, 1e-6);
  // 0.99999 is not below the upper bound in single precision: it becomes -0.00001.
  EXPECT_EQ(reduceIntoCell(0.99999f), 0.99999f - 1.0f);
  EXPECT_EQ(reduceIntoCell(-0.00001f), -0.00001f);
  EXPECT_EQ(reduceIntoCell(-3.25f), 0.75f);
  // Values where adding 1 changes nothing still end.
  EXPECT_TRUE(std::isfinite(reduceIntoCell(3.0e9f)));
  EXPECT_TRUE(std::isnan(reduceIntoCell(INFINITY)));
}

TEST(TransformParametersModel, RangesQuestionsClearAndSymmetry) {
  CrystalDocument doc = test::quartz();
  doc.crystals[1].hmSymbol = "P 1";
  doc.transformation.tolerance = 0.7f;
  ScriptedUserInterface ui;
  int symmetryRuns = 0;
  TransformParametersModel model(doc, ui, [&](CrystalDocument& d, UserInterface&) {
    ++symmetryRuns;
    EXPECT_EQ(d.activeCrystal, 1);
    d.crystals[1].symmetrySource = 4;
  });
  EXPECT_EQ(model.selectedStandard(), -1);
  EXPECT_FALSE(model.setPostMatrixShift(1, 0.999995));
  EXPECT_EQ(model.setPostMatrixShift(0, 0.999995), "Please enter a number between -0.99999 and 0.99999.");
  EXPECT_EQ(model.setPostMatrixShift(2, -1.0), "Please enter a number between -0.99999 and 0.99999.");
  EXPECT_EQ(model.setTolerance(NAN), "Please enter a number.");
  EXPECT_FALSE(model.setPreSymmetryShift(0, 12.5));
  EXPECT_FLOAT_EQ(model.values().postMatrixShift[1], 0.999995f);

  ui.answers = {Answer::Cancel, Answer::Ok};
  EXPECT_FALSE(model.chooseStandardMatrix(3));
  EXPECT_EQ(model.values().matrix, unitMatrix());
  EXPECT_TRUE(model.chooseStandardMatrix(3));
  EXPECT_EQ(model.values().matrix, standardMatrices()[3].matrix);
  ui.answers = {Answer::Ok};
  EXPECT_TRUE(model.chooseStandardMatrix(14));
  EXPECT_EQ(ui.questions(), (std::vector<std::string>{"Do you want to replace the current matrix with M - 1st -> 2nd  ?",
                                                       "Do you want to replace the current matrix with M - 1st -> 2nd  ?",
                                                       "Do you want to replace the current matrix with abc -> ba-c ?"}));

  model.runSymmetry();
  EXPECT_EQ(symmetryRuns, 1);
  EXPECT_EQ(model.symmetryLine(), "Symmetry - Custom: P 1");
  EXPECT_TRUE(model.clear());
  EXPECT_EQ(ui.questions().back(),
            "Do you want to clear the conversion matrix and translations and reset the new symmetry to the old?");
  EXPECT_EQ(model.symmetryLine(), "Symmetry - Space group: P 32 2 1");
  EXPECT_EQ(model.values().matrix, unitMatrix());
  EXPECT_FLOAT_EQ(model.values().postMatrixShift[1], 0.0f);
  EXPECT_FLOAT_EQ(model.values().tolerance, 0.7f);
  // Nothing reaches the document's parameters before Transform.
  EXPECT_FLOAT_EQ(doc.transformation.preSymmetryShift[0], 0.0f);
  model.applyTo(doc);
  EXPECT_EQ(doc.transformation.matrix, unitMatrix());
}

}  // namespace
}  // namespace tessera
