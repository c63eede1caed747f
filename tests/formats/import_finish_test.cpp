#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "formats/import_finish.h"
#include "formats/import_framework.h"
#include "formats/import_kinds.h"
#include "formats/site_consolidation.h"
#include "support/builders.h"
#include "support/test_session.h"

namespace tessera {
namespace {

using test::siteAt;

/// The plain scan: each site against every earlier surviving site, first match wins.
void consolidateReference(std::vector<Site>& sites) {
  for (std::size_t j = 1; j < sites.size();) {
    bool merged = false;
    for (std::size_t i = 0; i < j; ++i) {
      if (std::fabs(sites[i].x - sites[j].x) < 0.0002f && std::fabs(sites[i].y - sites[j].y) < 0.0002f &&
          std::fabs(sites[i].z - sites[j].z) < 0.0002f) {
        if (sites[i].occupantCount() < kMaxOccupants) {
          sites[i].occupants.push_back(sites[j].occupants[0]);
          sites.erase(sites.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
        }
        break;
      }
    }
    if (!merged) ++j;
  }
}

std::vector<std::string> shape(const std::vector<Site>& sites) {
  std::vector<std::string> out;
  for (const Site& s : sites) {
    std::string row = s.label;
    for (const SiteOccupant& o : s.occupants) row += " " + o.label;
    out.push_back(row);
  }
  return out;
}

TEST(ConsolidateDuplicateSites, ToleranceOrderAndCapacity) {
  ScriptedUserInterface ui;
  std::vector<Site> sites = {siteAt("A", 0.1f, 0.1f, 0.1f), siteAt("B", 0.1001f, 0.1001f, 0.1001f),
                             siteAt("C", 0.25f, 0.25f, 0.25f), siteAt("D", 0.2502f, 0.2502f, 0.2502f),
                             siteAt("E", 0.0999f, 0.1f, 0.1f)};
  EXPECT_EQ(ConsolidateDuplicateSites(sites, ui), 2);  // 0.0001 apart merge, 0.0002 apart do not
  EXPECT_EQ(shape(sites), (std::vector<std::string>{"A A B E", "C C", "D D"}));
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Duplicate atoms (multiple occupancies?) are being consolidated"});

  // A site holds at most ten occupants: later duplicates stay sites of their own.
  std::vector<Site> crowd;
  for (int k = 0; k < 12; ++k) crowd.push_back(siteAt("S" + std::to_string(k), 0.3f, 0.3f, 0.3f));
  ConsolidateDuplicateSites(crowd, ui);
  ASSERT_EQ(crowd.size(), 3u);
  EXPECT_EQ(crowd[0].occupantCount(), 10);
  EXPECT_EQ(crowd[1].label, "S10");
}

TEST(ConsolidateDuplicateSites, SpatialIndexGivesThePlainScanResults) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> cluster(0, 150);
  std::uniform_real_distribution<float> jitter(-0.00025f, 0.00025f);
  std::uniform_int_distribution<int> special(0, 99);
  std::vector<Site> sites;
  for (int k = 0; k < 2500; ++k) {
    const int c = cluster(rng);
    // Positions on a coarse grid (negative and beyond the cell too), jittered across the tolerance.
    float x = static_cast<float>(c % 9) * 0.13f - 0.5f + jitter(rng);
    float y = static_cast<float>((c / 9) % 7) * 0.11f + jitter(rng);
    float z = static_cast<float>(c / 63) * 0.3f + 1.2f + jitter(rng);
    const int odd = special(rng);
    if (odd == 0) x = std::nanf("");
    if (odd == 1) y = 1e30f;
    if (odd == 2) z = -1e25f;
    sites.push_back(siteAt("S" + std::to_string(k), x, y, z));
  }
  // Pairs straddling the sides of any grid of cells a multiple of 0.001 wide.
  std::uniform_int_distribution<int> side(-40, 40);
  for (int k = 0; k < 2000; ++k)
    sites.push_back(siteAt("T" + std::to_string(k), static_cast<float>(side(rng)) * 0.001f + jitter(rng),
                           static_cast<float>(side(rng) % 3) * 0.001f + jitter(rng), 0.5f + jitter(rng)));
  std::vector<Site> expected = sites;
  consolidateReference(expected);
  ScriptedUserInterface ui;
  ConsolidateDuplicateSites(sites, ui);
  EXPECT_EQ(shape(sites), shape(expected));
  EXPECT_LT(sites.size(), 4500u);
}

/// A finish on a context filled by hand.
struct Finish {
  test::TestSession s;
  ImportContext ctx{s.session, kKindFreeForm};
  ImportResult r;
  Finish() {
    ResetCrystalForImport(ctx, 0);
    ctx.sites().push_back(siteAt("C1", 0.1f, 0.2f, 0.3f));
    r.cell = {5, 5, 5, 90, 90, 90};
    r.cellFound = true;
  }
  CrystalRecord& c() { return ctx.crystal(); }
  void lines(const std::vector<std::string>& l) {
    c().xyzLines = l;
    r.hasXyzLines = true;
  }
  void run(bool forceXyz = false) { FinishImport(ctx, forceXyz, r); }
};

TEST(FinishImport, WarningsAndTheDefaultP1) {
  Finish f;
  f.ctx.sites().clear();
  f.r.cellFound = false;
  f.r.cartesianSymmetry = true;
  f.r.cartesianSource = "x.str";
  f.r.polymerFlags = {0, 1, 0};
  f.run();
  EXPECT_EQ(f.s.ui.messages(),
            (std::vector<std::string>{"No atoms found in import file",
                                      "This file uses Cartesian symmetry, from the file x.str - this symmetry will be ignored",
                                      "This structure is drawn by ORBIS as a polymer or molecule - may not be suitable as a crystal",
                                      "Unit-cell not found - Cartesian axes will be used",
                                      "Insufficient information to assign symmetry - default P1 will be used"}));
  EXPECT_EQ(std::tuple(f.c().hmSymbol, f.c().hallSymbol, f.c().sgNumberText, f.c().lineCount(), f.c().axesType),
            std::tuple("P1", "P 1", "1", 1, 8));

  for (int number : {0, 233}) {
    Finish g;
    g.r.sgNumber = number;
    g.run();
    EXPECT_TRUE(g.s.ui.saw("Insufficient information to assign symmetry - default P1 will be used"));
  }
  Finish h;
  h.r.sgNumber = 232;
  h.run();
  EXPECT_FALSE(h.s.ui.saw("Insufficient information to assign symmetry - default P1 will be used"));
  EXPECT_EQ(h.c().sgNumberText, "232");
}

TEST(FinishImport, SymmetrySourceChoice) {
  Finish pref;  // symbol preferred: the symbol wins over the lines
  pref.s.settings.symmetrySourcePref = 1;
  pref.r.hmSymbol = "P 1 21/c 1";
  pref.lines({"X,Y,Z; ", "-X,1/2+Y,1/2-Z; "});
  pref.r.cell = {5, 6, 7, 90, 100, 90};
  pref.run();
  EXPECT_EQ(std::tuple(pref.c().symmetrySource, pref.c().sgNumber, pref.c().lineCount()), std::tuple(1, 14, 2));
  EXPECT_TRUE(pref.s.ui.messages().empty());

  Finish hall;  // a Hall symbol comes first, then the H-M symbol, then the number
  hall.r.hallSymbol = "-P 2ac 2n";
  hall.r.hmSymbol = "P 1";
  hall.r.sgNumber = 2;
  hall.run();
  EXPECT_EQ(std::pair(hall.c().sgNumber, hall.c().symbolKind), std::pair(62, 1));

  Finish forced;  // unless the reader forces the lines
  forced.s.settings.symmetrySourcePref = 1;
  forced.r.hmSymbol = "P 1 21/c 1";
  forced.lines({"X,Y,Z; ", "-X,1/2+Y,1/2-Z; "});
  forced.run(true);
  EXPECT_EQ(std::pair(forced.c().symmetrySource, forced.c().latticeCode), std::pair(4, 1));

  Finish linesOnly;  // lines and no symbol: the lines, not P1
  linesOnly.s.settings.symmetrySourcePref = 1;
  linesOnly.r.acentric = 0;
  linesOnly.lines({"X,Y,Z; ", "-X,1/2+Y,1/2-Z; "});
  linesOnly.run();
  EXPECT_EQ(std::pair(linesOnly.c().symmetrySource, linesOnly.c().lineCount()), std::pair(4, 2));
  EXPECT_FALSE(linesOnly.s.ui.saw("Insufficient information to assign symmetry - default P1 will be used"));
}

TEST(FinishImport, CentringCopiesInTheLinesAreFound) {
  Finish rhomb;  // rhombohedral axes: primitive
  rhomb.r.hmSymbol = "R -3 m";
  rhomb.r.cell = {5, 5, 5, 60, 60, 60};
  rhomb.lines({"X,Y,Z"});
  rhomb.run();
  EXPECT_EQ(std::tuple(rhomb.c().latticeCode, rhomb.c().rhombohedralAxes, rhomb.c().axesType), std::tuple(1, 1, 4));

  // R copies are found (the C, I and F ones in the CIF tests), F before its subsets.
  for (const auto& [lines, code] : std::vector<std::pair<std::vector<std::string>, int>>{
           {{"X,Y,Z", "X+2/3,Y+1/3,Z+1/3", "X+1/3,Y+2/3,Z+2/3"}, 7},
           {{"X,Y,Z", "X,Y+1/2,Z+1/2", "X+1/2,Y,Z+1/2", "X+1/2,Y+1/2,Z"}, 5},
           {{"X,Y,Z", "-X,-Y,-Z"}, 0}}) {
    CrystalRecord r;
    r.xyzLines = lines;
    EXPECT_EQ(reduceCentringCopies(r), code);
    EXPECT_EQ(r.xyzLines.size(), code ? 1u : 2u);
  }
}

TEST(RunImport, SaveQuestionFailureAndSuccess) {
  test::ScratchDir dir;
  test::writeFile(dir.path() / "a.inp", "TITL a\nCELL 5 6 7 90 100 90\nC1 0.1 0.2 0.3\n");
  test::TestSession s;
  s.document.isOpen = true;
  s.document.modified = true;
  s.document.documentPath = "old.tsr";
  s.document.title = "kept";
  auto failingSave = [](Session&) { return false; };
  s.ui.answers = {Answer::Cancel};
  s.ui.files.push_back((dir.path() / "a.inp").string());
  EXPECT_FALSE(RunImport(s.session, kKindFreeForm, failingSave));
  EXPECT_EQ(s.document.title, "kept");
  s.ui.answers = {Answer::Yes};
  EXPECT_FALSE(RunImport(s.session, kKindFreeForm, failingSave));
  EXPECT_TRUE(s.document.isOpen);
  EXPECT_EQ(s.ui.questions().front(), "Save changes to old.tsr ?");

  // A cancelled options dialog or file dialog, or a file that does not open, leaves no document.
  s.ui.answers = {Answer::No};
  s.ui.files.clear();
  s.ui.dialogs.push_back([](DialogModel&) { return false; });
  EXPECT_FALSE(RunImport(s.session, kKindFreeForm, failingSave));
  EXPECT_FALSE(s.document.isOpen);
  EXPECT_TRUE(s.document.sites[0].empty());
  EXPECT_FALSE(s.import(kKindFreeForm, dir.path() / "missing.inp"));
  EXPECT_TRUE(s.ui.saw("File open failed: " + (dir.path() / "missing.inp").string()));
  EXPECT_FALSE(s.document.isOpen);
  EXPECT_FALSE(s.import(kKindDbws, dir.path() / "a.inp"));  // no reader yet

  // Settings that outlive a structure carry over; the transformation matrix is reset.
  s.document.transformation.tolerance = 0.25f;
  s.document.transformation.mode = 1;
  s.document.powderSettings.xrayTarget = 5;
  ASSERT_TRUE(s.import(kKindFreeForm, dir.path() / "a.inp"));
  const CrystalDocument& d = s.document;
  EXPECT_EQ(std::tuple(d.transformation.tolerance, d.transformation.mode, d.powderSettings.xrayTarget),
            std::tuple(0.25f, 1, 5));
  EXPECT_EQ(d.transformation.matrix[1][1], 1.0f);
  EXPECT_TRUE(d.isOpen && d.modified);
  EXPECT_EQ(std::tuple(d.openMode, d.importFormat, d.fileTitle), std::tuple(0, int{kKindFreeForm}, "a.tsr"));
  EXPECT_EQ(d.documentPath, (dir.path() / "a.tsr").string());
  EXPECT_NEAR(d.crystals[0].cell[4], 100.0f * 0.017453292f, 1e-6);  // read in degrees, held in radians
  EXPECT_EQ(d.crystals[1].cell, d.crystals[0].cell);
  EXPECT_TRUE(d.sites[1].empty());
  EXPECT_EQ(s.settings.documentDirectory, dir.path().string());
  EXPECT_EQ(s.ui.lastFileRequest.filter, "Free-form files (*.inp)|*.inp|All Files (*.*)|*.*||");
  EXPECT_EQ(s.ui.lastFileRequest.defaultName, "*.inp");
}

}  // namespace
}  // namespace tessera
