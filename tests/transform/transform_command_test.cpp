// The transform command: the three modes with their reports (golden files),
// tensors in mode 1, and the refusals of bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/scripted_user_interface.h"
#include "support/test_paths.h"
#include "support/structures.h"
#include "transform/transform_engine.h"

namespace tessera {
namespace {

const TransformOptions kFixedStamp{ReportStamp{"07/20/99", "12:00:00"}, ""};

/// Runs the command with the report in a scratch folder; returns the report text.
std::string run(CrystalDocument& doc, ScriptedUserInterface& ui, const test::ScratchDir& dir, bool* ran = nullptr) {
  TransformOptions o = kFixedStamp;
  o.reportPath = dir.file("report.out");
  const TransformOutcome out = runTransformation(doc, ui, o);
  if (ran) *ran = out.transformed;
  EXPECT_EQ(out.reportWritten, std::filesystem::exists(o.reportPath));
  return out.reportWritten ? test::readFile(o.reportPath) : std::string();
}

void expectGolden(const std::string& name, const std::string& report) {
  const auto path = test::fixture("transform/" + name);
  if (std::getenv("TESSERA_WRITE_GOLDENS")) test::writeFile(path, report);
  EXPECT_EQ(report, test::readFile(path)) << name;
}

TEST(TransformCommand, ReportsOfTheThreeModes) {
  test::ScratchDir dir;
  ScriptedUserInterface ui;
  CrystalDocument q = test::quartz();
  q.sites[0][1].x = 0.49999f;
  q.transformation.mode = 0;
  q.transformation.preSymmetryShift = {0.5f, 0, 0};
  const std::string translated = run(q, ui, dir);
  expectGolden("mode0.out", translated);
  EXPECT_NE(translated.find("    0.96970  0.00000  0.16667\n"), std::string::npos);
  EXPECT_NE(translated.find("   -0.00001  0.26690  0.28580\n"), std::string::npos);  // 0.49999 + 0.5 by the cell rule

  CrystalDocument m = test::monoclinic();
  m.sites[0][0].label = "Carbon1";  // cut to six characters
  m.crystals[0].symmetrySource = 0;  // no symmetry line
  m.transformation.mode = 1;
  m.transformation.matrix = {{{1, 0, 1}, {0, 2, 0}, {-1, 0, 1}}};
  m.transformation.postMatrixShift = {0.25f, 0, 0};
  const std::string input = run(m, ui, dir);
  expectGolden("mode1.out", input);
  EXPECT_EQ(input.find("Symmetry -"), std::string::npos);
  EXPECT_NE(input.find("  Carbon     6"), std::string::npos);

  CrystalDocument salt = test::rockSalt();
  salt.transformation.matrix = standardMatrices()[7].matrix;
  salt.crystals[1].xyzLines = {"X,Y,Z;"};
  salt.crystals[1].acentric = 1;
  salt.crystals[1].latticeCode = 1;
  salt.crystals[1].hmSymbol = "P 1";
  expectGolden("mode2.out", run(salt, ui, dir));
  EXPECT_EQ(salt.newSiteCount(), 2);
  EXPECT_TRUE(ui.events.empty());
}

TEST(TransformCommand, InputAtomsKeepTheirEquivalentB) {
  test::ScratchDir dir;
  for (const auto& matrix : {std::array<std::array<float, 3>, 3>{{{1, 0, 1}, {0, 2, 0}, {-1, 0, 1}}},
                             std::array<std::array<float, 3>, 3>{{{1, 1, 0}, {0, 1, 0}, {0, 0, 1}}},
                             standardMatrices()[8].matrix, standardMatrices()[3].matrix}) {
    CrystalDocument doc = test::monoclinic();
    doc.sites[0][0].hasVector = 1;
    doc.sites[0][0].vector = {1, 0, 0};
    doc.transformation.mode = 1;
    doc.transformation.matrix = matrix;
    ScriptedUserInterface ui;
    run(doc, ui, dir);
    const ReciprocalCell oldFrame = prepareReciprocalCell(doc.crystals[0].cell);
    const ReciprocalCell newFrame = prepareReciprocalCell(doc.crystals[1].cell);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(doc.sites[1][i].ortepType, doc.sites[0][i].ortepType);
      EXPECT_NEAR(equivalentB(doc.sites[1][i], newFrame), equivalentB(doc.sites[0][i], oldFrame), 1e-4);
    }
    const auto& v = doc.sites[1][0].vector;
    EXPECT_NEAR(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 1.0f, 1e-5);
  }
}

TEST(TransformCommand, BadInputIsRefusedOrEndsCleanly) {
  test::ScratchDir dir;
  auto expectRefused = [&](CrystalDocument doc, const std::string& message) {
    doc.sites[1] = {test::makeSite("Old", 1, 0, 0, 0)};
    ScriptedUserInterface ui;
    bool ran = true;
    run(doc, ui, dir, &ran);
    EXPECT_FALSE(ran);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{message});
    EXPECT_EQ(doc.sites[1].size(), 1u);
  };
  CrystalDocument singular = test::quartz();
  singular.transformation.matrix = {};
  expectRefused(singular, kSingularMatrixMessage);
  singular.transformation.mode = 1;
  expectRefused(singular, kSingularMatrixMessage);
  CrystalDocument negative = test::quartz();
  negative.crystals[0].cell[1] = -4.9f;
  expectRefused(negative, kUnusableCellMessage);
  CrystalDocument notANumber = test::quartz();
  notANumber.transformation.tolerance = NAN;
  expectRefused(notANumber, "Transformation parameters must be numbers");

  // Translation only needs no matrix; zero cell values are completed.
  CrystalDocument zero = test::quartz();
  zero.transformation.matrix = {};
  zero.transformation.mode = 0;
  ScriptedUserInterface ui;
  bool ran = false;
  run(zero, ui, dir, &ran);
  EXPECT_TRUE(ran);

  // A huge tolerance merges everything; a zero one with an inexact inverse runs away and is stopped.
  CrystalDocument huge = test::corundum();
  huge.transformation.tolerance = 1000.0f;
  run(huge, ui, dir, &ran);
  EXPECT_TRUE(ran);
  EXPECT_EQ(huge.newSiteCount(), 1);
  CrystalDocument tight = test::corundum();
  tight.transformation.tolerance = 0.0f;
  tight.transformation.matrix = standardMatrices()[2].matrix;
  const std::string report = run(tight, ui, dir, &ran);
  EXPECT_FALSE(ran);
  EXPECT_NE(ui.messages().back().find("Too many atoms in the new unit cell"), std::string::npos);
  EXPECT_NE(report.find("New allocation for new unit cell failed: "), std::string::npos);

  // A report that cannot be written is said so and not claimed.
  CrystalDocument doc = test::quartz();
  ScriptedUserInterface failing;
  TransformOptions o = kFixedStamp;
  o.reportPath = dir.file("missing/folder/report.out");
  const TransformOutcome out = runTransformation(doc, failing, o);
  EXPECT_TRUE(out.transformed);
  EXPECT_FALSE(out.reportWritten);
  EXPECT_EQ(failing.messages(), std::vector<std::string>{"Report file write failed: " + o.reportPath});
}

}  // namespace
}  // namespace tessera
