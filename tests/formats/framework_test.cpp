#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "formats/export_framework.h"
#include "formats/fixed_columns.h"
#include "formats/import_dialogs.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace tessera {
namespace {

using test::siteAt;

TEST(ImportDialogs, OptionsAndDataSets) {
  ProgramSettings settings;
  settings.symmetrySourcePref = 7;  // a stored value above 1 means 1
  ImportOptionsModel m(settings, kKindCif);
  EXPECT_EQ(std::tuple(m.caption, m.extension, m.symmetrySourcePref), std::tuple("Import CIF file", ".cif", 1));
  m.extension = "abcd";
  m.typeNumberSource = 1;
  m.apply(settings);
  EXPECT_EQ(settings.importExtensions[kKindCif], ".abc");
  EXPECT_EQ(settings.typeNumberSource, 1);
  EXPECT_EQ(ImportOptionsModel::normaliseExtension("cif"), ".cif");
  EXPECT_EQ(ImportOptionsModel::normaliseExtension(".cifx"), ".cif");

  test::TestSession s;
  ImportContext ctx(s.session, kKindCif);
  ctx.path = "/data/x.cif";
  EXPECT_TRUE(AddDataSetName(ctx, "first_block_with_a_name_longer_than_31", 1));
  EXPECT_TRUE(AddDataSetName(ctx, "second", 2));
  EXPECT_FALSE(AddDataSetName(ctx, "too many", 101));
  EXPECT_TRUE(s.ui.saw("More than 100 data sets: remainder ignored"));
  s.ui.dialogs.push_back([](DialogModel& d) {
    auto& model = dynamic_cast<DataSetModel&>(d);
    EXPECT_EQ(model.fileLine, "File: /data/x.cif");
    EXPECT_EQ(model.lines, (std::vector<std::string>{"  1   first_block_with_a_name_longer_", "  2   second"}));
    model.selection = 2;
    return true;
  });
  EXPECT_EQ(ChooseDataSet(ctx), 2);
  s.ui.dialogs.push_back([](DialogModel&) { return false; });
  EXPECT_EQ(ChooseDataSet(ctx), 0);
}

TEST(ImportFramework, SitesTypesAndTemperatureFactorsByLabel) {
  test::TestSession s;
  ImportContext ctx(s.session, kKindFreeForm);
  Site fe = siteAt("FE1", 0, 0, 0);
  fe.occupants[0].element.clear();
  ASSERT_TRUE(AddImportedSite(ctx, fe, "FE1", "Wat"));  // not an element: the label decides
  s.settings.typeNumberSource = 1;
  Site ni = siteAt("X2", 0.5f, 0, 0);
  ni.occupants[0].element.clear();
  ni.auxNumber = 3;
  ASSERT_TRUE(AddImportedSite(ctx, ni, "X2", "Ni"));
  Site given = siteAt("C3", 0.5f, 0.5f, 0);
  given.typeNumber = 92;
  given.occupants[0].element = "U";
  ASSERT_TRUE(AddImportedSite(ctx, given, "C3", "C"));
  const auto& sites = ctx.sites();
  EXPECT_EQ(std::tuple(sites[0].typeNumber, sites[0].occupants[0].element), std::tuple(26, "Fe"));
  EXPECT_EQ(std::tuple(sites[1].typeNumber, sites[1].occupants[0].typeNumber), std::tuple(28, 28));
  EXPECT_EQ(sites[2].typeNumber, 92);  // both given: no lookup

  // Labels up to 32 characters stay whole, so that long labels keep telling sites apart.
  for (const char* label : {"C12_disorder_part_one_A", "C12_disorder_part_one_B"})
    ASSERT_TRUE(AddImportedSite(ctx, siteAt(label, 0.1f, 0, 0), label, label));
  AssignTemperatureFactorsByLabel(ctx, "C12_disorder_part_one_B", {0.05f, 0, 0, 0, 0, 0}, 10, 0, 0);
  EXPECT_EQ(sites[3].ortepType, 0);
  EXPECT_EQ(sites[4].ortepType, 10);
  EXPECT_FLOAT_EQ(sites[4].isoValue, 0.05f);
  AssignTemperatureFactorsByLabel(ctx, "X9", {1, 2, 3, 4, 5, 6}, 8, 3, 1);  // first letter and auxNumber
  EXPECT_EQ(sites[1].ortepType, 8);
  AssignTemperatureFactorsByLabel(ctx, "Q1", {1, 2, 3, 4, 5, 6}, 8, 3, 1);
  EXPECT_TRUE(s.ui.saw("Temperature factor atom label not identified"));
}

TEST(ImportFramework, CompleteCellFromAxesType) {
  ImportResult r;
  r.axesType = 2;
  r.cell = {5, 6, 7, 95, 90, 90};
  CompleteCellFromAxesType(r);
  EXPECT_EQ(r.cell, (std::array<float, 6>{5, 6, 7, 90, 95, 90}));
  EXPECT_EQ(r.uniqueAxis, 1);
  r.cell = {5, 6, 7, 90.00005f, 90, 90};
  CompleteCellFromAxesType(r);
  EXPECT_EQ(std::pair(r.cell[3], r.uniqueAxis), std::pair(90.00005f, 0));
  r.axesType = 4;
  r.rhombohedralAxes = 1;
  r.cell = {5, 0, 0, 60, 0, 0};
  CompleteCellFromAxesType(r);
  EXPECT_EQ(r.cell, (std::array<float, 6>{5, 5, 5, 60, 60, 60}));
}

TEST(ImportFramework, ClassifyTemperatureFactors) {
  test::TestSession s;
  CrystalDocument& doc = s.document;
  auto classify = [&](std::vector<std::pair<int, float>> types) {
    doc.sites[0].clear();
    for (auto [type, value] : types) {
      Site site;
      site.ortepType = type;
      if (type == 8 || type == 0) site.aniso = {value, value, value, 0, 0, 0};
      if (type == 10 || type == 6) site.isoValue = value;
      doc.sites[0].push_back(site);
    }
    s.ui.events.clear();
    ClassifyTemperatureFactors(doc, s.ui);
    return doc.tfMix;
  };
  EXPECT_EQ(classify({{10, 0.01f}, {10, 0.01f}, {-1, 0}}), 4);
  EXPECT_EQ(classify({{8, 0.01f}, {10, 0.01f}}), 3);
  EXPECT_EQ(classify({{-1, 0}, {-1, 0}}), 3);
  EXPECT_EQ(classify({{-1, 0}}), 0);
  // Anisotropic U atoms with isotropic U hydrogens, and sites without a factor, are no mixture.
  classify({{8, 0.01f}, {10, 0.02f}, {-1, 0}, {8, 0.01f}});
  EXPECT_TRUE(s.ui.messages().empty());
  EXPECT_EQ(doc.tfAnisoKind, 1);
  classify({{-1, 0}, {10, 0.02f}});
  EXPECT_TRUE(s.ui.messages().empty());
  EXPECT_EQ(doc.tfAnisoKind, 1);
  classify({{0, 0.01f}, {10, 0.02f}, {6, 1.0f}});
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"Mixture of temperature factor types detected"});
  EXPECT_EQ(doc.tfAnisoKind, 2);
  // Only aniso[0] set: isotropic, and the value moves to isoValue.
  doc.sites[0] = {Site{}};
  doc.sites[0][0].aniso[0] = 0.3f;
  ClassifyTemperatureFactors(doc, s.ui);
  EXPECT_EQ(doc.sites[0][0].tfClass, 1);
  EXPECT_FLOAT_EQ(doc.sites[0][0].isoValue, 0.3f);
}

TEST(ExportOptions, TablesFormsAndTheDialog) {
  for (const ImportKind& k : importKinds()) EXPECT_TRUE(k.available()) << k.name;
  for (int k : importMenuOrder()) EXPECT_NE(findImportKind(k)->menuEntry, nullptr);
  for (const ExportCommand& c : exportCommands()) EXPECT_TRUE(c.available()) << c.name;
  EXPECT_EQ(importKindByCliName("SHELX-93"), kKindShelx);
  EXPECT_TRUE(exportCommands()[static_cast<std::size_t>(*exportCommandByCliName("ccdc-fdat"))].doesNothing);
  EXPECT_EQ(supportSentence(0), "Free-form files support U/B iso and U/beta aniso");
  EXPECT_EQ(supportSentence(2), "SHELX-93 files support U iso and U aniso");
  EXPECT_EQ(supportSentence(16), "FULLPROF files support B iso and beta aniso");
  EXPECT_EQ(supportSentence(1), "");

  // Kept forms: the other anisotropic forms go to the preferred one, rms amplitude to U
  // or B, the ORTEP form (-2) makes every site anisotropic, a concrete target is kept.
  ProgramSettings s;
  EXPECT_EQ(std::tuple(chooseTargetType(3, -1, s), chooseTargetType(7, -1, s), chooseTargetType(6, -1, s)),
            std::tuple(8, 10, 6));
  EXPECT_EQ(std::pair(chooseTargetType(10, -2, s), chooseTargetType(10, 6, s)), std::pair(8, 6));
  s.anisoPref = s.isoPref = 1;
  EXPECT_EQ(std::tuple(chooseTargetType(9, -1, s), chooseTargetType(7, -1, s), chooseTargetType(8, -1, s)),
            std::tuple(0, 6, 8));

  CrystalDocument doc;
  s.convMode = 2;
  s.removeMultipleOccupancies = true;
  ExportDialogModel plain(doc, s, 2);
  EXPECT_EQ(plain.crystalChoice, 0);
  EXPECT_TRUE(plain.removeMultipleOccupancies);
  doc.sites[1].resize(1);
  ExportDialogModel transformed(doc, s, 2);
  EXPECT_EQ(transformed.crystalChoice, 1);
  transformed.convMode = 3;
  transformed.isoPref = 1;
  transformed.apply(s);
  EXPECT_EQ(std::pair(s.convMode, s.isoPref), std::pair(3, 1));
}

/// An open document with one site, ready to export.
CrystalDocument small(const char* symbol) {
  CrystalDocument doc = test::p1Document("small", {5, 5, 5, kRightAngle, kRightAngle, kRightAngle});
  doc.crystals[0].hmSymbol = symbol;
  Site s = test::siteAt("C1", 0, 0, 0, 6);
  s.ortepType = 7;  // root-mean-square amplitude: kept forms write it as U
  s.isoValue = 0.1f;
  doc.sites[0] = {s};
  ScriptedUserInterface quiet;
  ClassifyTemperatureFactors(doc, quiet);
  return doc;
}

TEST(RunExport, ChecksQuestionsNotesAndFailures) {
  test::ScratchDir dir;
  test::TestSession s;
  s.document = small("shelx");
  // The New crystal has no sites.
  EXPECT_FALSE(s.exportTo("free-form", dir.path() / "a.inp", 1));
  EXPECT_TRUE(s.ui.saw("No atoms in New cell - must Transform"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.inp"));

  // A placeholder symbol: Cancel ends the export, No writes as is.
  const std::string question =
      "The H-M space-group symbol is 'shelx' - do you want to try to derive a valid symbol from the xyz operators?";
  s.ui.events.clear();
  s.ui.answers = {Answer::Cancel};
  EXPECT_FALSE(s.exportTo("free-form", dir.path() / "a.inp"));
  EXPECT_EQ(s.ui.questions(), std::vector<std::string>{question});
  s.ui.files.clear();
  s.ui.answers = {Answer::No};
  ASSERT_TRUE(s.exportTo("free-form", dir.path() / "a.inp"));
  EXPECT_EQ(test::readFile(dir.path() / "a.inp"),
            "TITL small\nCELL 5.000000 5.000000 5.000000 90.000000 90.000000 90.000000 \nSPGP shelx\n"
            "SYMM  X,Y,Z  \nLATT P 1\nFIELDS LAB TYP COO TFU\nC1 6   0.000000 0.000000 0.000000\n"
            "0.010000 0.0 0.0 0.0 0.0 0.0\n");
  EXPECT_TRUE(s.ui.messages().empty());  // no refinement note for free-form

  // The refinement note comes with SHELX; a file that cannot be written is reported and
  // nothing is left behind.
  s.ui.events.clear();
  s.ui.answers = {Answer::No, Answer::No};
  EXPECT_FALSE(s.exportTo("shelx", dir.path() / "missing" / "b.ins"));
  EXPECT_EQ(s.ui.messages(),
            (std::vector<std::string>{"Note you are exporting to a refinement program format.  Generally, Tessera "
                                      "writes only symmetry, unit-cell and atomic-coordinate information.  Files, and "
                                      "even lines written by Tessera, may need editing.",
                                      "File open failed: " + (dir.path() / "missing" / "b.ins").string()}));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

  // "CCDC FDAT" writes nothing and says so.
  s.ui.events.clear();
  EXPECT_FALSE(RunExport(s.session, *exportCommandByCliName("ccdc-fdat")));
  EXPECT_EQ(s.ui.messages(),
            std::vector<std::string>{"CCDC FDAT files are read only: Tessera has no writer for this layout"});
}

TEST(FixedColumns, DescriptorsExpandRepeatsGroupsAndSkips) {
  const FixedLayout layout("(A6, 3X, 2F9.6, F9.0)");
  EXPECT_EQ(layout.fieldCount(), 4u);
  EXPECT_EQ(layout.width(), 36u);
  const FixedLayout nested("(5(3i1,i2),5x)");
  EXPECT_EQ(nested.fieldCount(), 20u);
  EXPECT_EQ(nested.width(), 30u);
  EXPECT_EQ(nested.columns()[4].start, 5u);  // the second group starts after 3 + 2 columns
  EXPECT_EQ(FixedLayout("(1a,a8,2i1)").columns()[1].start, 1u);
  for (const char* bad : {"(A6", "(Q3)", "(F9.6.1)", "(I)", "(99999999X)", "(I3,)", "(3(I2)"})
    EXPECT_FALSE(FixedLayout::parse(bad)) << bad;
  EXPECT_THROW(FixedLayout("(Z)"), std::invalid_argument);
}

TEST(FixedColumns, NumbersBlanksImpliedDecimalsAndShortLines) {
  const FixedLayout layout("(A5,I7,F6.4,F8.3,I3)");
  FixedRecord r = layout.read(std::string("C1   ") + " -12345" + " 54310" + "  12.5  " + "  7");
  ASSERT_TRUE(r.valid());
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.text(0), "C1   ");
  EXPECT_EQ(r.integer(1), -12345);
  EXPECT_NEAR(r.number(2), 5.431, 1e-9);  // no point: the last four digits are decimals
  EXPECT_NEAR(r.number(3), 12.5, 1e-9);   // a written point wins
  EXPECT_EQ(r.integer(4), 7);

  r = layout.read("C1            ");  // blank numbers read zero, missing columns too
  EXPECT_TRUE(r.valid());
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(r.number(1), 0.0);
  EXPECT_FALSE(r.fields[3].present);

  r = layout.read(std::string("C1   ") + "  12 34" + "xx.xxx");  // interior blanks and letters are not numbers
  EXPECT_FALSE(r.valid());
  EXPECT_EQ(r.firstInvalid(), 1);
}

TEST(FixedColumns, OldProgramsIgnoreInnerBlanksAndWriteDExponents) {
  const FixedLayout layout("(A3, 2X, I4, 2(G8.0))");
  FixedRecord r = layout.read("Ab c  1 2 1.5D+01     - 2", InnerBlanks::Ignored);
  ASSERT_TRUE(r.valid());
  EXPECT_EQ(r.text(0), "Ab ");
  EXPECT_EQ(r.integer(1), 12);
  EXPECT_EQ(r.number(2), 15.0);
  EXPECT_EQ(r.number(3), -2.0);
  EXPECT_TRUE(r.fields[3].holdsNumber());
  r = layout.read("Ab   7", InnerBlanks::Ignored);
  EXPECT_TRUE(r.fields[1].holdsNumber());
  EXPECT_TRUE(r.fields[2].blank());  // a short line: blank, read as zero, but no number written
  EXPECT_FALSE(r.fields[2].holdsNumber());
  EXPECT_FALSE(layout.read("abc  x", InnerBlanks::Ignored).valid());
  EXPECT_FALSE(layout.read("abc   1.5", InnerBlanks::Ignored).valid());  // no point in an integer
  EXPECT_FALSE(layout.read("abc     1             inf", InnerBlanks::Ignored).valid());
}

TEST(FixedColumns, WrittenRealsKeepTheirWidth) {
  EXPECT_EQ(fixedReal(0.25, 8, 6), "0.250000");
  EXPECT_EQ(fixedReal(-0.001234, 8, 6), "-.001234");
  EXPECT_EQ(fixedReal(12.5, 8, 6), "12.50000");
  EXPECT_EQ(fixedReal(-1.0, 3, 0), " -1");
  EXPECT_EQ(fixedReal(1e20, 8, 6).size(), 8u);
  // What is written reads back as the same value through its own field.
  const FixedLayout f86("(F8.6)");
  for (double v : {0.25, -0.001234, 12.5, -1234.5678, 1e20})
    EXPECT_NEAR(f86.read(fixedReal(v, 8, 6)).number(0), v, std::fabs(v) * 1e-3 + 1e-6) << v;
}

}  // namespace
}  // namespace tessera
