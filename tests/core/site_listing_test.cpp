#include <gtest/gtest.h>

#include "commands/control_window.h"
#include "core/cell_geometry.h"
#include "core/site_listing.h"
#include "support/builders.h"

namespace tessera {
namespace {

CrystalDocument monoclinicDocument() {
  CrystalDocument doc;
  doc.crystals[0].cell = {5.0f, 6.0f, 7.0f, kRightAngle, 110.0f * kDegToRad, kRightAngle};
  Site s = test::siteAt("Fe3", 0.125f, 0.25f, 0.5f, 26);
  s.ortepType = 8;
  s.aniso = {0.01f, 0.01f, 0.01f, 0.0f, 0.0f, 0.0f};
  s.occupants.push_back(SiteOccupant::makeDefault("Mn3", 0, 25));
  s.occupants[0].occupancy = 0.75f;
  s.occupants[1].occupancy = 0.25f;
  doc.sites[0].push_back(s);
  return doc;
}

TEST(SiteListing, SummaryRowAndSelectedTexts) {
  CrystalDocument doc = monoclinicDocument();
  // A diagonal U of 0.01 on a monoclinic cell (beta 110) has the equivalent B
  // 8 pi^2 x 0.01 x (2 / sin^2 beta + 1) / 3 = 0.86, not the mean of the diagonal (0.79).
  EXPECT_EQ(siteSummaryRow(doc, 0), "    1 Fe3     26   0.12500   0.25000   0.50000   0.86   1.00    2");
  EXPECT_EQ(selectedSiteTexts(doc, 0), (std::array<std::string, 3>{
                                            "ORTEP 8, U's = 0.010000 0.010000 0.010000 0.000000 0.000000 0.000000",
                                            "No vector", "Selected atom: 1  Fe3"}));

  Site& s = doc.sites[0][0];
  s.ortepType = -1;
  s.hasVector = 1;
  s.vector = {1.0f, 0.5f, 0.0f};
  s.vectorLength = 2.0f;
  EXPECT_EQ(selectedSiteTexts(doc, 0)[0], "No temperature factor");
  EXPECT_EQ(selectedSiteTexts(doc, 0)[1], "Vector:  1   0.5   0    Length: 2.000000");
  s.ortepType = 7;
  s.isoValue = 0.1f;
  EXPECT_EQ(selectedSiteTexts(doc, 0)[0], "ORTEP 7, mu = 0.100000");
  s.ortepType = 4;
  EXPECT_EQ(selectedSiteTexts(doc, 0)[0].rfind("ORTEP 4, B's = ", 0), 0u);
  s.ortepType = 15;
  EXPECT_EQ(selectedSiteTexts(doc, 0)[0], "");
}

TEST(SiteListing, ControlWindowContentAndSelectionReset) {
  CrystalDocument doc = monoclinicDocument();
  doc.documentPath = "/data/fe.tsr";
  doc.selectedSite = 5;
  doc.crystals[0].symmetrySource = 4;
  doc.crystals[0].hmSymbol = "custom";
  const ControlWindowContent c = controlWindowContent(doc);
  EXPECT_EQ(c.fileLine, "File: /data/fe.tsr");
  EXPECT_EQ(c.symmetryLine, "Symmetry - Custom: custom");
  EXPECT_EQ(c.header, " No. Label   Type      Coordinates                Beq    SOF  No. atoms");
  EXPECT_EQ(doc.selectedSite, 0);
  EXPECT_EQ(c.cellFields[0], "5");
  EXPECT_EQ(c.cellFields[4], "110");
  doc.crystals[0].symmetrySource = 0;
  EXPECT_EQ(controlWindowContent(doc).symmetryLine, "");
}

TEST(SiteListing, ReportPathRule) {
  for (const auto& [document, report] : {std::pair{"/home/u/quartz.tsr", "/home/u/quartz.out"},
                                         {"/home/u.v/quartz", "/home/u.v/quartz.out"},
                                         {"C:\\dir.x\\name  ", "C:\\dir.x\\name.out"},
                                         {".hidden", ".hidden.out"}, {"a.b.tsr", "a.b.out"}})
    EXPECT_EQ(reportPathFor(document), report);
  EXPECT_TRUE(hasNativeExtension("/x/Y.TSR") && hasNativeExtension("y.tsr"));
  EXPECT_FALSE(hasNativeExtension("y.cif") || hasNativeExtension("tsr"));
}

TEST(CellGeometry, DerivedAxesTypes) {
  auto derive = [](Cell cell) {
    CrystalRecord c;
    c.cell = cell;
    deriveAxesType(c);
    return std::make_tuple(c.axesType, c.rhombohedralAxes, c.uniqueAxis);
  };
  const float r = kRightAngle;
  EXPECT_EQ(derive({5, 5, 5, 60 * kDegToRad, 60 * kDegToRad, 60 * kDegToRad}), std::make_tuple(4, 1, 0));
  EXPECT_EQ(derive({5, 6, 7, r, r, r}), std::make_tuple(3, 0, 0));
  EXPECT_EQ(derive({5, 5, 7, r, r, r}), std::make_tuple(5, 0, 0));
  EXPECT_EQ(derive({5, 5, 5, r, r, r}), std::make_tuple(7, 0, 0));
  EXPECT_EQ(derive({1, 1, 1, r, r, r}), std::make_tuple(8, 0, 0));
  EXPECT_EQ(derive({5, 5, 7, r, r, kAngle120}), std::make_tuple(6, 0, 0));
  EXPECT_EQ(derive({5, 6, 7, r, 100 * kDegToRad, r}), std::make_tuple(2, 0, 0));
  EXPECT_EQ(derive({5, 6, 7, 100 * kDegToRad, r, r}), std::make_tuple(2, 0, 1));
  EXPECT_EQ(derive({5, 6, 7, r, r, 100 * kDegToRad}), std::make_tuple(2, 0, 2));
  EXPECT_EQ(derive({5, 6, 7, 80 * kDegToRad, 100 * kDegToRad, r}), std::make_tuple(1, 0, 0));
  // Angles still in degrees (before an import converts them).
  EXPECT_EQ(derive({5, 5, 7, 90, 90, 120}), std::make_tuple(6, 0, 0));
  EXPECT_NEAR(cellVolume({5, 5, 5, r, r, r}), 125.0, 1e-3);
}

}  // namespace
}  // namespace tessera
