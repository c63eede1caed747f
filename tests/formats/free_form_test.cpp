#include <gtest/gtest.h>

#include <tuple>

#include "core/temperature_factor.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "formats/format_helpers.h"

namespace tessera {
namespace {

/// What the drawing programs keep per site and the dump leaves out.
auto drawing(const Site& s) { return std::tuple(s.rimColor, s.fillColor, s.rimPattern, s.fillPattern, s.pen, s.radius); }

TEST(FreeForm, GoldenReadingAndWritingKeepTheDrawingAttributes) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindFreeForm, test::fixture("formats/free_form/drawing.inp")));
  EXPECT_EQ(test::documentDump(s.document), test::readFile(test::fixture("formats/free_form/drawing.expected")));
  EXPECT_TRUE(s.ui.messages().empty());
  const std::vector<Site>& sites = s.document.sites[0];
  ASSERT_EQ(sites.size(), 3u);
  EXPECT_EQ(drawing(sites[0]), std::tuple(std::array<int, 3>{}, std::array<int, 3>{200, 200, 200}, 1, 2, 3, 0.6f));
  EXPECT_EQ(sites[1].fillColor, (std::array<int, 3>{255, 0, 0}));
  // DEFAULT overrides the columns of every later atom line.
  EXPECT_EQ(std::tuple(sites[2].typeNumber, sites[2].pen, sites[2].rimPattern), std::tuple(8, 4, 7));
  EXPECT_EQ(sites[2].rimColor, (std::array<int, 3>{10, 20, 30}));

  test::TestSession again;
  const std::string written = test::writeAndRead(s.document, "free-form", kKindFreeForm, again);
  EXPECT_EQ(written, test::readFile(test::fixture("formats/free_form/drawing.out.inp")));
  EXPECT_EQ(test::documentDump(again.document), test::documentDump(s.document));
  for (std::size_t i = 0; i < sites.size(); ++i) EXPECT_EQ(drawing(again.document.sites[0][i]), drawing(sites[i])) << i;
}

TEST(FreeFormReader, VectorLinesAndAtomLinesOnly) {
  test::Imported s(kKindFreeForm, "CELL 5 5 5 90 90 90\nFIELDS LAB COO TFU VEC\nV1 0.5 0.5 0.5\n0 0 1 1.5\n");
  ASSERT_TRUE(s.ok);
  EXPECT_TRUE(s.saw("Temp. factors not allowed with vectors - Temp. factors will not be read"));
  ASSERT_EQ(s.sites().size(), 1u);
  const Site& v = s.site(0);
  EXPECT_EQ(v.hasVector, 1);
  EXPECT_EQ(v.vector, (std::array<float, 3>{0, 0, 1}));
  EXPECT_FLOAT_EQ(v.vectorLength, 1.5f);
  EXPECT_EQ(v.ortepType, -1);

  // No header at all: the atoms still read, into the default P1.
  test::TestSession bare;
  ASSERT_TRUE(bare.import(kKindFreeForm, test::fixture("formats/free_form/atoms_only.inp")));
  ASSERT_EQ(bare.document.siteCount(), 2);
  EXPECT_EQ(bare.document.sites[0][1].label, "C2");
  EXPECT_FLOAT_EQ(bare.document.sites[0][1].z, 0.4f);
  EXPECT_EQ(bare.document.crystals[0].hmSymbol, "P1");
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
  ASSERT_EQ(sites.size(), 5u);
  EXPECT_EQ(sites[4].label, "A5");
  EXPECT_FLOAT_EQ(sites[0].x, 0.1f);  // FACTOR 0.5
  EXPECT_EQ(sites[0].ortepType, 6);
  EXPECT_FLOAT_EQ(sites[0].isoValue, 10.0f);
  EXPECT_EQ(sites[1].ortepType, -1);  // stopped columns: no factor line read
  EXPECT_EQ(sites[3].ortepType, -1);  // the unknown name cleared TFB
  EXPECT_EQ(sites[4].ortepType, 8);
  EXPECT_EQ(s.document.crystals[0].sgNumber, 62);  // from the HALL line
}

TEST(FreeFormWriter, HeaderChosenFirstThenEverySiteInItsForm) {
  // Isotropic U beside anisotropic beta: whatever header comes out, every value
  // written under it must read back to the same displacement.
  CrystalDocument doc = test::p1Document("mixed", {5.1f, 6.3f, 7.7f, kRightAngle, 103.0f * kDegToRad, kRightAngle});
  Site beta = test::siteAt("Fe1", 0, 0, 0, 26);
  beta.aniso = {0.004f, 0.003f, 0.002f, 0.0004f, 0.0003f, 0.0002f};
  Site iso = test::siteAt("O1", 0.25f, 0, 0, 8);
  iso.ortepType = 10;
  iso.isoValue = 0.0123f;
  doc.sites[0] = {beta, iso};
  ScriptedUserInterface ui;
  ClassifyTemperatureFactors(doc, ui);
  const ReciprocalCell rc = prepareReciprocalCell(doc.crystals[0].cell);
  for (int kind : {1, 3}) {  // U header, then B header
    doc.tfAnisoKind = kind;
    test::TestSession back;
    const std::string text = test::writeAndRead(doc, "free-form", kKindFreeForm, back);
    EXPECT_NE(text.find(kind == 1 ? " TFU\n" : " TFB\n"), std::string::npos);
    const std::vector<Site>& r = back.document.sites[0];
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(std::pair(r[0].ortepType, r[1].ortepType), kind == 1 ? std::pair(8, 10) : std::pair(0, 6));
    const ReciprocalCell rcBack = prepareReciprocalCell(back.document.crystals[0].cell);
    EXPECT_NEAR(convertTemperatureFactor(r[1], 10, rcBack).iso, 0.0123f, 1e-6);
    EXPECT_NEAR(equivalentB(r[0], rcBack), equivalentB(beta, rc), 1e-3);
  }
}

}  // namespace
}  // namespace tessera
