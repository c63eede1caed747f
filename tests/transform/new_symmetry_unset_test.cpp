#include "transform/new_symmetry.h"

#include <gtest/gtest.h>

#include "formats/import_kinds.h"
#include "support/structures.h"
#include "support/test_session.h"
#include "symmetry/symmetry_assignment.h"
#include "transform/transform_engine.h"
#include "transform/transform_parameters.h"

namespace tessera {
namespace {

TEST(NewSymmetryUnset, OldOperatorsInNewAxesAreCaughtBeforeTheExport) {
  test::ScratchDir dir;
  test::TestSession s;
  CrystalDocument& doc = s.document;
  doc = test::corundum();
  doc.isOpen = true;
  doc.documentPath = dir.file("corundum.tsr");
  doc.fileTitle = "corundum.tsr";
  doc.transformation.resetToIdentity();
  EXPECT_FALSE(newSymmetryUnset(doc));  // the same axes: the lines fit
  doc.transformation.matrix = standardMatrices()[2].matrix;  // Hex -> Rhomb
  EXPECT_TRUE(newSymmetryUnset(doc));
  CrystalDocument salt = test::rockSalt();
  salt.transformation.matrix = standardMatrices()[13].matrix;  // abc -> bca keeps F m -3 m
  EXPECT_FALSE(newSymmetryUnset(salt));
  salt.transformation.matrix = standardMatrices()[7].matrix;  // F -> P leaves the F centring behind
  EXPECT_TRUE(newSymmetryUnset(salt));

  // Input atoms only, then transformed data exported: the question; Cancel writes nothing.
  doc.transformation.mode = 1;
  TransformOptions options;
  options.reportPath = dir.file("corundum.out");
  ASSERT_TRUE(runTransformation(doc, s.ui, options).transformed);
  EXPECT_EQ(std::pair(doc.crystals[1].axesType, doc.crystals[1].rhombohedralAxes), std::pair(4, 1));
  s.ui.events.clear();
  s.ui.answers = {Answer::Cancel};
  EXPECT_FALSE(s.exportTo("shelx", dir.path() / "r.ins", 1));
  EXPECT_EQ(s.ui.questions(), std::vector<std::string>{kNewSymmetryUnsetWarning});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "r.ins"));

  // With the New symmetry set the export goes ahead unasked, offers the document's name,
  // and ends the file so that reading it back meets no unexpected end.
  ASSERT_EQ(AssignSpaceGroup(doc.crystals[1], "167:R", kSymbolNumber, 0, s.ui), 0);
  EXPECT_FALSE(s.ui.saw("Error - space group is rhombohedral and crystal axes are non-rhombohedral"));
  EXPECT_FALSE(newSymmetryUnset(doc));
  s.ui.events.clear();
  s.ui.answers = {Answer::No};
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "r.ins", 1));
  EXPECT_EQ(s.ui.lastFileRequest.defaultName, "corundum.ins");
  const std::string written = test::readFile(dir.path() / "r.ins");
  EXPECT_EQ(written.substr(written.size() - 4), "END\n");
  test::TestSession back;
  ASSERT_TRUE(back.import(kKindShelx, dir.path() / "r.ins"));
  EXPECT_FALSE(back.ui.saw("End of file or read error"));
  EXPECT_EQ(back.document.siteCount(), doc.newSiteCount());
}

}  // namespace
}  // namespace tessera
