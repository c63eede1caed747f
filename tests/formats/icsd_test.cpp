#include <gtest/gtest.h>

#include "core/native_file.h"
#include "core/temperature_factor.h"
#include "core/text.h"
#include "formats/format_helpers.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/structures.h"

namespace tessera {
namespace {

/// The anisotropic P21/c structure with 8-character labels.
CrystalDocument longLabels() {
  CrystalDocument doc = test::monoclinic();
  const char* labels[] = {"C1_ringA", "N1_ringB", "O1_water"};
  for (std::size_t i = 0; i < 3; ++i) doc.sites[0][i].label = doc.sites[0][i].occupants[0].label = labels[i];
  return doc;
}

/// C 1 2/c 1 given only as custom lines completed by inversion and C centring.
CrystalDocument customSymmetry() {
  CrystalDocument doc = test::makeDocument(
      "", {"X,Y,Z;", "-X,Y,1/2-Z;"}, 0, 4, {9.0f, 8.0f, 7.0f, 90, 104.0f, 90},
      {test::makeSite("Fe1", 26, 0.1f, 0.2f, 0.3f, 0.5f), test::makeSite("O1", 8, 0.0f, 0.3f, 0.25f, 0.9f)});
  doc.crystals[0].symmetrySource = 4;
  doc.crystals[0].latticeName = "C";
  return doc;
}

struct Layout {
  const char* command;
  int kind;
  bool carriesIso;        ///< isotropic factors are written
  bool carriesChemistry;  ///< elements, occupancies and element-number labels
};
const Layout kRetrieve{"icsd-retrieve", kKindIcsd, true, true}, kCanSnd{"icsd-cansnd", kKindIcsdCanSnd, false, false},
    kOriginal{"icsd-original", kKindIcsdOriginal, true, true};
const Layout kLayouts[] = {kRetrieve, kCanSnd, kOriginal};

/// Exports doc with the layout (factors classified first) and imports the file again; returns the text.
std::string roundTrip(const CrystalDocument& doc, const Layout& layout, test::TestSession& back, bool classify = true) {
  return test::writeAndRead(doc, layout.command, layout.kind, back, [classify](test::TestSession& w) {
    if (classify) ClassifyTemperatureFactors(w.document, w.ui);
  });
}

void expectSameStructure(const CrystalDocument& a, const CrystalDocument& b, const Layout& layout) {
  const CrystalRecord& ca = a.crystals[0];
  for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(b.crystals[0].cell[k], ca.cell[k], 1e-5) << k;
  EXPECT_EQ(test::groupOperations(b.crystals[0]), test::groupOperations(ca));
  ASSERT_EQ(b.sites[0].size(), a.sites[0].size());
  const ReciprocalCell rc = prepareReciprocalCell(ca.cell);
  for (std::size_t i = 0; i < a.sites[0].size(); ++i) {
    const Site& sa = a.sites[0][i];
    const Site& sb = b.sites[0][i];
    SCOPED_TRACE(sa.label);
    EXPECT_EQ(sb.typeNumber, sa.typeNumber);
    for (float Site::*c : {&Site::x, &Site::y, &Site::z}) EXPECT_NEAR(sb.*c, sa.*c, 1e-5);
    if (layout.carriesChemistry) {
      EXPECT_NEAR(sb.occupants[0].occupancy, sa.occupants[0].occupancy, 1e-4);
    } else {
      EXPECT_EQ(sb.label, sa.label);
    }
    const int form = isAnisotropicType(sa.ortepType) ? 8 : 6;
    if (form == 6 && !layout.carriesIso) {
      EXPECT_EQ(sb.ortepType, -1);  // CAN/SND holds no isotropic factors
      continue;
    }
    const TemperatureFactor fa = convertTemperatureFactor(sa, form, rc), fb = convertTemperatureFactor(sb, form, rc);
    EXPECT_EQ(fb.type, form);
    if (form == 6) {
      EXPECT_NEAR(fb.iso, fa.iso, 1e-4);
    }
    for (std::size_t k = 0; k < 6 && form == 8; ++k) EXPECT_NEAR(fb.aniso[k], fa.aniso[k], 1e-5);
  }
}

TEST(IcsdFormats, EveryLayoutReadsBackWhatItWrote) {
  const std::vector<std::pair<const char*, CrystalDocument>> structures = {
      {"NaCl", test::rockSalt()}, {"quartz", test::quartz()}, {"corundum", test::corundum()},
      {"P21/c", longLabels()},    {"custom", customSymmetry()}};
  for (const Layout& layout : kLayouts)
    for (const auto& [name, doc] : structures) {
      SCOPED_TRACE(std::string(layout.command) + " " + name);
      test::TestSession back;
      roundTrip(doc, layout, back);
      expectSameStructure(doc, back.document, layout);
      EXPECT_FALSE(back.ui.saw("Unit-cell not found - Cartesian axes will be used"));
    }
}

/// The P21/c structure with a Wyckoff text, a shared site, an OH occupant and half charges.
CrystalDocument richDocument() {
  CrystalDocument doc = test::monoclinic();
  doc.title = "rich test structure";
  std::vector<Site>& sites = doc.sites[0];
  sites[0].wyckoff = "4e";
  sites[0].occupants[0].element = "C";
  sites[0].occupants[0].charge = 2.5f;
  sites[1].occupants[0].element = "N";
  sites[1].occupants[0].charge = -2.5f;
  sites[2].occupants[0].element = sites[2].occupants[0].label = "OH1";
  Site shared = test::makeSite("Fe1", 26, 0.5f, 0.0f, 0.5f, 0.5f);
  shared.ortepType = 10;
  shared.isoValue = 0.0125f;
  shared.occupants = {SiteOccupant::makeDefault("Fe1", 3, 26), SiteOccupant::makeDefault("Ni1", 3, 28)};
  shared.occupants[0].element = "Fe";
  shared.occupants[0].occupancy = 0.667f;
  shared.occupants[1].element = "Ni";
  shared.occupants[1].occupancy = 0.333f;
  sites.push_back(shared);
  sites.push_back(test::makeSite("O2", 8, 0.25f, 0.25f, 0.0f, 1.5f));
  sites.back().occupants[0].element = "O";
  return doc;
}

TEST(IcsdFormats, GoldenFilesOfEveryLayout) {
  for (const auto& [layout, file] :
       {std::pair{kRetrieve, "rich.ret"}, std::pair{kCanSnd, "rich_cansnd.cry"}, std::pair{kOriginal, "rich_original.cry"}}) {
    SCOPED_TRACE(file);
    test::TestSession back;
    EXPECT_EQ(roundTrip(richDocument(), layout, back), test::readFile(test::fixture(std::string("formats/icsd/") + file)));
    EXPECT_EQ(back.document.title, "rich test structure");
    if (!layout.carriesChemistry) continue;
    const std::vector<Site>& sites = back.document.sites[0];
    ASSERT_EQ(sites.size(), 5u);
    ASSERT_EQ(sites[3].occupantCount(), 2);
    EXPECT_EQ(std::tuple(sites[0].wyckoff, sites[3].occupants[1].element), std::tuple("4e", "Ni"));
    EXPECT_NEAR(sites[3].occupants[0].occupancy, 0.667f, 1e-6);  // four decimals
    EXPECT_NEAR(sites[3].isoValue, 0.0125f, 1e-6);
    // The factor line kept the OH name.
    EXPECT_EQ(std::tuple(sites[2].occupants[0].element, sites[2].typeNumber, sites[2].ortepType), std::tuple("OH1", 8, 6));
  }
}

TEST(IcsdFormats, WrittenLinesOfChargesOperatorsAndNoFactors) {
  CrystalDocument doc = test::p1Document("edge", {5, 6, 7, kRightAngle, kRightAngle, kRightAngle});
  doc.crystals[0].xyzLines = {"X,Y,Z;", "x,y+1/2,z;"};
  Site o = test::siteAt("O1", 0.1f, 0.2f, 0.3f, 8);
  o.occupants[0].element = "O";
  o.occupants[0].charge = -2.5f;
  o.ortepType = -1;
  Site oh = o;
  oh.occupants[0].element = "OH2";
  oh.occupants[0].charge = 2.5f;
  doc.sites[0] = {o, oh};
  test::TestSession back, back2;
  const std::string ret = roundTrip(doc, kRetrieve, back, false);  // tfMix 0
  EXPECT_NE(ret.find(" SYM  x,y+0.500,z\n"), std::string::npos) << ret;
  EXPECT_NE(ret.find("      OH2    2 "), std::string::npos) << ret;  // one sequence with O
  EXPECT_NE(ret.find("    *"), std::string::npos);
  EXPECT_EQ(ret.find("TF"), std::string::npos);
  const std::string original = roundTrip(doc, kOriginal, back2, false);
  EXPECT_NE(original.find(" O H2  2  3 "), std::string::npos) << original;
  EXPECT_NE(original.find(" O     1 -3 "), std::string::npos) << original;
  EXPECT_EQ(original.find("RVAL"), std::string::npos);  // no factors, no RVAL
}

TEST(IcsdFormats, FactorsGoToTheirSitesAndHeadersMatchTheValues) {
  // The factor of Si10 must find its site; a beta site beside U sites under "Keep current
  // form" is written in the header's form.
  CrystalDocument doc = test::p1Document("many", {5, 6, 7, kRightAngle, kRightAngle, kRightAngle});
  for (int i = 0; i < 11; ++i) {
    const float f = static_cast<float>(i);
    doc.sites[0].push_back(test::makeSite(format("Si%d", i + 1), 14, 0.05f * f, 0.1f, 0.2f, 0.3f + 0.1f * f));
    doc.sites[0].back().occupants[0].element = "Si";
  }
  doc.sites[0][9].ortepType = 0;
  doc.sites[0][9].aniso = {0.004f, 0.003f, 0.002f, 0.0005f, 0.0f, 0.0f};
  doc.sites[0][10].ortepType = 8;
  doc.sites[0][10].aniso = {0.011f, 0.012f, 0.013f, 0.001f, 0.002f, 0.003f};
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.command);
    test::TestSession back;
    roundTrip(doc, layout, back);
    EXPECT_FALSE(back.ui.saw("Temperature factor atom label not identified"));
    expectSameStructure(doc, back.document, layout);
  }
}

const char* const kTwoSets =
    " COL  Collection Code 00001\r\n"
    " NAME first\r\n"
    " CELL a=5.4307(2) b=5.4307 c=5.4307 a=90.0 b=90.0 g=90.0\r\n"
    " SGR  P 1          (1)\r\n"
    " PARM Atom__No OxStat  Wyck -----X----- -----Y----- -----Z-----  -SOF-\r\n"
    "      Si     1  0.000     * 1/3         0.3333(4)   1/24         1.0000\r\n"
    "      Si     2  0.000     * 1/12        -1/3        0.5          1.0000\r\n"
    " COL  Collection Code 00001\r\n"
    " NAME second, read on its own although its code repeats the first one's"
    " and its line runs well past the seventy-ninth column\r\n"
    " CELL a=4 b=4 c=4 a=90 b=90 g=90\r\n"
    " PARM Atom__No OxStat  Wyck -----X----- -----Y----- -----Z-----  -SOF-\r\n"
    "      Cu     1  0.000     * 0.0         0.0         0.0          1.0000\r\n";

TEST(IcsdFormats, DataSetsFractionsUncertaintiesAndLineEnds) {
  test::Imported first(kKindIcsd, kTwoSets, "two.ret", 1);
  ASSERT_TRUE(first.ok);
  EXPECT_EQ(first.offered, (std::vector<std::string>{"1 first", "1 second, read on its own"}));
  const auto& sites = first.sites();
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_NEAR(first.crystal().cell[0], 5.4307f, 1e-6);
  // Fractions as the native file keeps them (six decimals).
  EXPECT_EQ(sites[0].x, nativeFileValue(1.0f / 3.0f));
  EXPECT_FLOAT_EQ(sites[0].y, 0.3333f);
  EXPECT_EQ(sites[0].z, nativeFileValue(1.0f / 24.0f));
  EXPECT_EQ(sites[1].x, nativeFileValue(1.0f / 12.0f));
  EXPECT_EQ(sites[1].y, nativeFileValue(-1.0f / 3.0f));

  test::Imported second(kKindIcsd, kTwoSets, "two.ret", 2);
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(second.sites().size(), 1u);
  EXPECT_EQ(second.s.document.title.substr(0, 6), "second");
  EXPECT_GT(second.s.document.title.size(), 70u);
}

TEST(IcsdFormats, MixedLayoutsReadEachDataSetWithItsOwnLayout) {
  for (int choice : {1, 2}) {
    test::Imported r(kKindIcsd,
                     "ID: 7\nTI: can snd\nCE: a=4 b=4 c=4\nAT COORDS:\n           Cu1     0.0 0.0 0.0\n---\n"
                     " **** COLLECTION CODE COL= 8\n NAME original\n CELL A=5 B=5 C=5 AL=90 BE=90 GA=90\n"
                     " At   Nr Ox     Wy  x y z SOF\n Fe    1  0  *  0.5 0.5 0.5  1.0\n",
                     "mixed.cry", choice);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.saw("Conflicting file types"));
    ASSERT_EQ(r.sites().size(), 1u);
    EXPECT_EQ(r.site(0).label, choice == 1 ? "Cu1" : "Fe1");
    EXPECT_NEAR(r.crystal().cell[0], choice == 1 ? 4.0f : 5.0f, 1e-6);
  }
}

TEST(IcsdFormats, CanSndKeysAxesAndImpossibleCells) {
  test::Imported r(kKindIcsdCanSnd,
                   "ID: 12\nTI: corundum on rhombohedral axes\nCE: A=5.128(1) B=5.128 C=5.128\n"
                   "    ALPHA=55.28 BETA=55.28 GAMMA=55.28 SPGR=R-3cR\n"
                   "AT COORDS: ATOM     X         Y         Z\n"
                   "           Al1     0.35220   0.35220   0.35220\n"
                   "           O1      0.55640  -0.05640   0.25000\n---\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.s.document.importFormat, kKindIcsdCanSnd);
  EXPECT_EQ(r.s.document.title, "corundum on rhombohedral axes");
  EXPECT_EQ(r.crystal().sgNumberText, "167:R");
  const auto keepsAxes = [](const test::TestSession& s) {
    EXPECT_EQ(s.document.crystals[0].rhombohedralAxes, 1);
    EXPECT_EQ(s.document.crystals[0].sgNumber, 167);
    EXPECT_FALSE(s.ui.saw("Error - crystal axes are rhombohedral and space group is non-rhombohedral"));
    EXPECT_NEAR(s.document.crystals[0].cell[3] / kDegToRad, 55.28f, 1e-3);
  };
  keepsAxes(r.s);
  for (const Layout& layout : kLayouts) {  // and through every writer and back
    SCOPED_TRACE(layout.command);
    test::TestSession back;
    roundTrip(r.s.document, layout, back);
    keepsAxes(back);
  }

  for (const auto& [text, kind] : std::vector<std::pair<const char*, int>>{
           {"ID: 1\nTI: t\nCE: a=0 b=5 c=5\nAT COORDS:\n           C1  0.1 0.2 0.3\n", kKindIcsdCanSnd},
           {" COL  Collection Code 1\n CELL a=5 b=-5 c=5 a=90 b=90 g=90\n PARM\n      C 1 0 * 0 0 0\n", kKindIcsd},
           {" **** COLLECTION CODE COL= 1\n CELL A=5 B=5 C=5 AL=0 BE=90 GA=90\n", kKindIcsdOriginal}}) {
    SCOPED_TRACE(text);
    test::Imported z(kind, text);
    ASSERT_TRUE(z.ok);
    EXPECT_TRUE(z.saw("Error reading cell parameter"));
    EXPECT_TRUE(z.saw("Unit-cell not found - Cartesian axes will be used"));
  }
}

TEST(IcsdFormats, HostileInputIsRefusedOrReported) {
  test::expectRefused(kKindIcsd, {{"", "ICSD file type not identified"},
                                  {std::string("\x00\x01ID\xff\xfe", 6), "ICSD file type not identified"},
                                  {"just some text\n", "ICSD file type not identified"}});
  for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
           {" COL  Collection Code 1\n CELL a=5 b=5\n", "Error reading CELL line"},
           {" COL  Collection Code 1\n CELL a=5 b=x c=5 a=90 b=90 g=90\n", "Error reading cell parameter"},
           {" COL  Collection Code 1\n PARM\n      C 1 0 * x 0 0\n", "Error reading fractional coordinate line"},
           {" COL  Collection Code 1\n PARM\n      C 1\n", "Error reading PARM line"},
           {" COL  Collection Code 1\n ITF  C\n", "Error reading ITF line"},
           {"ID: 1\nAT COORDS:\n           C1  0.1\n", "Error reading fractional coordinate line"},
           {"ID: 1\nANISOTROPIC TEMPERATURE FACTORS: U FORM\nC1  1 2 x\n", "Error reading temp factor"},
           {" **** COLL\n At   Nr\n C   1  0  *  0.1\n", "Error reading PARM line"},
           {" **** COLL\n Atom U\n C   1  0.1 x\n", "Error reading aniso tf line"},
           {"ID: 1\n **** COLL\n", "Conflicting file types"}}) {
    SCOPED_TRACE(message);
    EXPECT_TRUE(test::Imported(kKindIcsd, text).saw(message));
  }
}

}  // namespace
}  // namespace tessera
