#include <gtest/gtest.h>

#include "core/temperature_factor.h"
#include "support/test_session.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/test_paths.h"

namespace tessera {
namespace {

TEST(FreeFormReader, HeaderColumnsDefaultsAndDrawingAttributesMatchGolden) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindFreeForm, test::fixture("formats/free_form/drawing.inp")));
  EXPECT_EQ(test::documentDump(s.document), test::readFile(test::fixture("formats/free_form/drawing.expected")));
  const std::vector<Site>& sites = s.document.sites[0];
  ASSERT_EQ(sites.size(), 3u);
  EXPECT_FLOAT_EQ(sites[0].radius, 0.6f);
  EXPECT_EQ(sites[0].fillColor, (std::array<int, 3>{200, 200, 200}));
  EXPECT_EQ(sites[0].pen, 3);
  EXPECT_EQ(sites[1].fillColor, (std::array<int, 3>{255, 0, 0}));
  // DEFAULT overrides the columns of every later atom line.
  EXPECT_EQ(sites[2].typeNumber, 8);
  EXPECT_EQ(sites[2].pen, 4);
  EXPECT_EQ(sites[2].rimColor, (std::array<int, 3>{10, 20, 30}));
  EXPECT_EQ(sites[2].rimPattern, 7);
  EXPECT_EQ(s.document.crystals[0].hmSymbol, "P 1 21/C 1");
  EXPECT_TRUE(s.ui.messages().empty());
}

TEST(FreeFormReader, VectorLines) {
  test::ScratchDir dir;
  test::writeFile(dir.path() / "v.inp", "CELL 5 5 5 90 90 90\nFIELDS LAB COO TFU VEC\nV1 0.5 0.5 0.5\n0 0 1 1.5\n");
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindFreeForm, dir.path() / "v.inp"));
  EXPECT_TRUE(s.ui.saw("Temp. factors not allowed with vectors - Temp. factors will not be read"));
  ASSERT_EQ(s.document.siteCount(), 1);
  const Site& v = s.document.sites[0][0];
  EXPECT_EQ(v.hasVector, 1);
  EXPECT_EQ(v.vector, (std::array<float, 3>{0, 0, 1}));
  EXPECT_FLOAT_EQ(v.vectorLength, 1.5f);
  EXPECT_EQ(v.ortepType, -1);
}

TEST(FreeFormReader, AtomLinesOnly) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindFreeForm, test::fixture("formats/free_form/atoms_only.inp")));
  EXPECT_EQ(s.ui.messages(), (std::vector<std::string>{"Unit-cell not found - Cartesian axes will be used",
                                                       "Insufficient information to assign symmetry - default P1 will be used"}));
  ASSERT_EQ(s.document.siteCount(), 2);
  EXPECT_EQ(s.document.sites[0][1].label, "C2");
  EXPECT_FLOAT_EQ(s.document.sites[0][1].z, 0.4f);
  const CrystalRecord& c = s.document.crystals[0];
  EXPECT_EQ(c.hmSymbol, "P1");
  EXPECT_EQ(c.xyzLines.size(), 1u);  // the default P1 still has its identity line
  EXPECT_EQ(c.axesType, 8);
}

TEST(FreeFormReader, ErrorsAskAndReadingGoesOnOrEnds) {
  test::TestSession s;
  s.ui.answers = {Answer::Ok, Answer::Ok, Answer::Cancel};
  ASSERT_TRUE(s.import(kKindFreeForm, test::fixture("formats/free_form/errors.inp")));
  const std::vector<std::string> expected = {
      "Error in CELL line - line will be ignored",
      "Error in FACTOR line - line will be ignored",
      "Error in LATT line - line will be ignored",
      "3rd fractional coordinate field not found in line 10",
      "Error - Unmatched parentheses",
      "Error reading field 2 in line 11",
      "Unrecognized field in FIELDS line - this field will be read as DUM",
      "LAB or COO field not found in FIELDS line - fields will be:  LAB COO",
      "Error reading temperature factor line 18",
      "Unit-cell not found - Cartesian axes will be used"};
  std::vector<std::string> shown;
  for (const auto& e : s.ui.events)
    if (e.kind != ScriptedUserInterface::Event::Kind::Dialog && e.kind != ScriptedUserInterface::Event::Kind::OpenFile)
      shown.push_back(e.text);
  shown.resize(std::min(shown.size(), expected.size()));
  EXPECT_EQ(shown, expected);
  const std::vector<Site>& sites = s.document.sites[0];
  std::vector<std::string> labels;
  for (const Site& site : sites) labels.push_back(site.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"A1", "A2", "A3", "A4", "A5"}));
  EXPECT_FLOAT_EQ(sites[0].x, 0.1f);  // FACTOR 0.5
  EXPECT_EQ(sites[0].ortepType, 6);
  EXPECT_FLOAT_EQ(sites[0].isoValue, 10.0f);
  EXPECT_EQ(sites[1].ortepType, -1);  // stopped columns: no factor line read
  EXPECT_EQ(sites[3].ortepType, -1);  // the unknown name cleared TFB
  EXPECT_EQ(sites[4].ortepType, 8);
  EXPECT_EQ(s.document.crystals[0].sgNumber, 62);  // from the HALL line
}

TEST(FreeFormWriter, GoldenFileAndRoundTripKeepDrawingAttributes) {
  test::ScratchDir dir;
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindFreeForm, test::fixture("formats/free_form/drawing.inp")));
  ASSERT_TRUE(s.exportTo("free-form", dir.path() / "out.inp"));
  EXPECT_EQ(test::readFile(dir.path() / "out.inp"), test::readFile(test::fixture("formats/free_form/drawing.out.inp")));
  const std::string first = test::documentDump(s.document);

  test::TestSession again;
  ASSERT_TRUE(again.import(kKindFreeForm, dir.path() / "out.inp"));
  EXPECT_EQ(test::documentDump(again.document), first);
  for (std::size_t i = 0; i < s.document.sites[0].size(); ++i) {
    const Site& a = s.document.sites[0][i];
    const Site& b = again.document.sites[0][i];
    EXPECT_EQ(a.rimColor, b.rimColor);
    EXPECT_EQ(a.fillColor, b.fillColor);
    EXPECT_EQ(a.rimPattern, b.rimPattern);
    EXPECT_EQ(a.fillPattern, b.fillPattern);
    EXPECT_EQ(a.pen, b.pen);
    EXPECT_FLOAT_EQ(a.radius, b.radius);
  }
}

TEST(FreeFormWriter, HeaderChosenFirstThenEverySiteInItsForm) {
  // Isotropic U beside anisotropic beta: whatever header comes out, every value
  // written under it must read back to the same displacement.
  test::ScratchDir dir;
  test::TestSession s;
  CrystalDocument& doc = s.document;
  doc.isOpen = true;
  doc.title = "mixed";
  CrystalRecord& c = doc.crystals[0];
  c.cell = {5.1f, 6.3f, 7.7f, kRightAngle, 103.0f * kDegToRad, kRightAngle};
  c.hmSymbol = "P1";
  c.symmetrySource = 4;
  c.xyzLines = {"X,Y,Z; "};
  c.acentric = 1;
  c.latticeName = "P";
  c.latticeCode = 1;
  Site beta;
  beta.label = "Fe1";
  beta.typeNumber = 26;
  beta.ortepType = 0;
  beta.aniso = {0.004f, 0.003f, 0.002f, 0.0004f, 0.0003f, 0.0002f};
  Site iso;
  iso.label = "O1";
  iso.typeNumber = 8;
  iso.x = 0.25f;
  iso.ortepType = 10;
  iso.isoValue = 0.0123f;
  doc.sites[0] = {beta, iso};
  for (int i = 0; i < 2; ++i) doc.sites[0][static_cast<std::size_t>(i)].normaliseOccupants(i);
  ClassifyTemperatureFactors(doc, s.ui);
  const ReciprocalCell rc = prepareReciprocalCell(c.cell);
  for (int kind : {1, 3}) {  // U header, then B header
    doc.tfAnisoKind = kind;
    const auto out = dir.path() / ("k" + std::to_string(kind) + ".inp");
    ASSERT_TRUE(s.exportTo("free-form", out));
    EXPECT_NE(test::readFile(out).find(kind == 1 ? " TFU\n" : " TFB\n"), std::string::npos);
    test::TestSession back;
    ASSERT_TRUE(back.import(kKindFreeForm, out));
    const std::vector<Site>& r = back.document.sites[0];
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].ortepType, kind == 1 ? 8 : 0);
    EXPECT_EQ(r[1].ortepType, kind == 1 ? 10 : 6);
    const ReciprocalCell rcBack = prepareReciprocalCell(back.document.crystals[0].cell);
    EXPECT_NEAR(convertTemperatureFactor(r[1], 10, rcBack).iso, 0.0123f, 1e-6);
    EXPECT_NEAR(equivalentB(r[0], rcBack), equivalentB(beta, rc), 1e-3);
  }
}

}  // namespace
}  // namespace tessera
