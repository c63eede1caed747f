#include <gtest/gtest.h>

#include <tuple>

#include "formats/import_dialogs.h"
#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace tessera {
namespace {

using test::siteAt;

TEST(ImportKinds, MenuAndAvailability) {
  for (int k : importMenuOrder()) EXPECT_NE(findImportKind(k)->menuEntry, nullptr);
  for (const ImportKind& k : importKinds()) EXPECT_TRUE(k.available()) << k.name;
  EXPECT_EQ(importKindByCliName("shelx"), kKindShelx);
  EXPECT_EQ(importKindByCliName("SHELX-93"), kKindShelx);
}

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

}  // namespace
}  // namespace tessera
