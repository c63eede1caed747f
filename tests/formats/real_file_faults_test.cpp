// Faults found by reading real files and by writing and reading back: each case is
// the smallest file that showed one.

#include <gtest/gtest.h>

#include "core/elements.h"
#include "formats/format_helpers.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/round_trip.h"
#include "symmetry/symmetry_assignment.h"

namespace tessera {
namespace {

using test::Imported;

Imported cif(const std::string& text) { return Imported(kKindCif, text, "t.cif"); }
Imported shelx(const std::string& text) { return Imported(kKindShelx, text, "t.ins"); }

const char* kCifHead =
    "data_t\n_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n"
    "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n";
const char* kSites = "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
                     "_atom_site_fract_y\n_atom_site_fract_z\n";
const char* kShelxHead = "TITL t\nCELL 0.71 5 6 7 90 90 90\nLATT -1\nSFAC C O\n";

TEST(RealFileFaults, ElementSymbolDecidesTheTypeAndHydrogenIsotopesAreHydrogen) {
  EXPECT_EQ(typeFromElementSymbol("Fe3+").typeNumber, 26);
  EXPECT_EQ(typeFromElementSymbol("O2-").element, "O");
  EXPECT_EQ(typeFromElementSymbol("CL").element, "Cl");
  EXPECT_EQ(typeFromElementSymbol("D").typeNumber, 1);
  EXPECT_EQ(typeFromElementSymbol("T").element, "T");
  EXPECT_EQ(typeFromElementSymbol("O2-(H2O)").element, "O");
  for (const char* notElement : {"Wat", "OH-", "?", "", "Xx", "Cval"})
    EXPECT_EQ(typeFromElementSymbol(notElement).typeNumber, 0) << notElement;
  EXPECT_EQ(typeFromLabel("D1").element, "D");
  EXPECT_EQ(typeFromLabel("Dy1").element, "Dy");
  EXPECT_EQ(typeFromLabel("T1").typeNumber, 0);  // a tetrahedral site, not tritium

  Imported r = cif(std::string(kCifHead) + kSites +
                   "CA1 C 0.1 0.1 0.1\nWat1 O 0.2 0.2 0.2\nM1 Fe3+ 0.3 0.3 0.3\nD1 D 0.2 0.2 0.3\n"
                   "Dw ? 0.4 0.4 0.4\nCa2 Wat 0.5 0.5 0.5\n");
  ASSERT_EQ(r.sites().size(), 6u);
  const std::vector<std::pair<int, std::string>> expected = {{6, "C"}, {8, "O"}, {26, "Fe3+"},
                                                             {1, "D"}, {1, "D"}, {20, "Wat"}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(r.site(i).typeNumber, expected[i].first) << i;
    EXPECT_EQ(r.element(i), expected[i].second) << i;
  }

  // SHELX: the SFAC name decides, whatever the label says.
  Imported s = shelx(std::string(kShelxHead) + "CA1 1 0.1 0.2 0.3 11 0.02\nW1 2 0.3 0.2 0.1 11 0.02\n");
  ASSERT_EQ(s.sites().size(), 2u);
  EXPECT_EQ(s.site(0).typeNumber, 6);
  EXPECT_EQ(s.site(1).typeNumber, 8);
  EXPECT_EQ(s.element(1), "O");
}

TEST(RealFileFaults, ShelxPartSofPeakHeightAndCommentLines) {
  Imported r = shelx(std::string(kShelxHead) +
                     " blank.res created by a refinement program\n"
                     "  second comment line\n"
                     "FVAR 1.0 0.6\n"
                     "PART 1 21\n"
                     "C1 1 0.10 0.2 0.3 11.0 0.03\n"
                     "C2 1 0.20 0.2 0.3 10.5 0.03\n"  // its own sof wins
                     "PART 2 -21\n"
                     "C1B 1 0.12 0.2 0.3 11.0 0.03\n"
                     "PART 0\n"
                     "C3 1 0.4 0.4 0.4 11.0 0.03\n"
                     "I001 2 0.88194 0.13155 0.24642 11.00000 0.04116 62.33\n"
                     "C4 1 0.5 0.6 0.7 11 0.02 0.03 =\n   0.04 0.001 0.002 0.003\n");
  EXPECT_TRUE(r.s.ui.questions().empty());
  ASSERT_EQ(r.sites().size(), 6u);
  const float occupancies[] = {0.6f, 0.5f, 0.4f, 1.0f};  // PART's sof, the site's own, the partner's, none
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(r.occupancy(i), occupancies[i], 1e-6) << i;
  EXPECT_EQ(r.site(4).ortepType, 10);
  EXPECT_NEAR(r.site(4).isoValue, 0.04116f, 1e-6);
  EXPECT_EQ(r.site(5).ortepType, 8);
  EXPECT_NEAR(r.site(5).aniso[1], 0.03f, 1e-6);
}

TEST(RealFileFaults, ShelxIncludesAreCountedAndNeverReadInsideThemselves) {
  test::ScratchDir dir;
  // Breadth, not depth: every file includes the next one three times over.
  test::writeFile(dir.path() / "a.inc", "+b.inc\n+b.inc\n+b.inc\n");
  test::writeFile(dir.path() / "b.inc", "+c.inc\n+c.inc\n+c.inc\n");
  test::writeFile(dir.path() / "c.inc", "+d.inc\n+d.inc\n+d.inc\n");
  test::writeFile(dir.path() / "d.inc", "REM nothing\n");
  test::writeFile(dir.path() / "e.inc", "+e.inc\n");
  test::writeFile(dir.path() / "t.ins", std::string(kShelxHead) + "+e.inc\n+a.inc\n+a.inc\n+a.inc\n+a.inc\n" +
                                             "C1 1 0.1 0.2 0.3 11 0.02\nEND\n");
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindShelx, dir.path() / "t.ins"));
  EXPECT_EQ(s.document.sites[0].size(), 1u);
  EXPECT_TRUE(s.ui.saw("Limit reached for include files opened: 100"));
  EXPECT_TRUE(s.ui.saw("Include file \"e.inc\" is already being read - line skipped"));
}

TEST(RealFileFaults, CifCommentsOnlyStartTokensAndOpenTextFieldsAreNamed) {
  Imported r = cif(std::string(kCifHead) + kSites + "C9&#x00CB; C 0.1 0.1 0.1 # a comment\nO1 O 0.2 0.2 0.2\n");
  ASSERT_EQ(r.sites().size(), 2u);
  EXPECT_EQ(r.site(0).label, "C9&#x00CB;");
  EXPECT_EQ(r.site(1).label, "O1");
  EXPECT_NEAR(r.site(1).x, 0.2f, 1e-6);

  Imported open = cif(std::string(kCifHead) + "_publ_section_comment\n;\nnever closed\n" + kSites +
                      "C1 C 0.1 0.1 0.1\n");
  const auto messages = open.s.ui.messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], " ciftbx error in  " + (open.dir.path() / "t.cif").string() +
                             "  data_t  line    9 Unexpected end of data - text field opened on this line not closed\n");
}

TEST(RealFileFaults, ListedOperatorsWithoutCentringCopiesAreComplete) {
  // R -3 on rhombohedral axes, edges equal only to the fourth decimal: six operators.
  const std::string rhombohedral =
      "data_r\n_cell_length_a 5.4321\n_cell_length_b 5.4322\n_cell_length_c 5.4321\n"
      "_cell_angle_alpha 55.1\n_cell_angle_beta 55.1001\n_cell_angle_gamma 55.1\n"
      "_symmetry_space_group_name_H-M 'R -3 :R'\nloop_\n_symmetry_equiv_pos_as_xyz\n"
      "x,y,z\nz,x,y\ny,z,x\n-x,-y,-z\n-z,-x,-y\n-y,-z,-x\n" +
      std::string(kSites) + "C1 C 0.1 0.2 0.3\n";
  Imported r = cif(rhombohedral);
  EXPECT_EQ(generalMultiplicity(r.crystal()), 6);
  EXPECT_EQ(r.crystal().latticeCode, 1);

  // Lines that hold every I copy still count the centring once.
  Imported i = cif(std::string(kCifHead) + "_symmetry_space_group_name_H-M 'I 1 2 1'\nloop_\n"
                   "_symmetry_equiv_pos_as_xyz\nx,y,z\n-x,y,-z\nx+1/2,y+1/2,z+1/2\n-x+1/2,y+1/2,-z+1/2\n" +
                   kSites + "C1 C 0.1 0.2 0.3\n");
  EXPECT_EQ(generalMultiplicity(i.crystal()), 4);
  EXPECT_EQ(i.crystal().latticeCode, 6);
}

/// What the program saves it opens again and shows the same.
void expectNativeRoundTrip(const Imported& r) {
  EXPECT_EQ(test::nativeRoundTripDifference(r.s.document, r.dir.path()), "");
}

TEST(RealFileFaults, SymbolsOutsideTheTableAreReadOrLeftUnassigned) {
  auto bySymbol = [](const std::string& symbol) {
    return std::make_unique<Imported>(
        kKindCif, std::string(kCifHead) + "_symmetry_space_group_name_H-M '" + symbol + "'\n" + kSites + "C1 C 0.1 0.2 0.3\n",
        "t.cif");
  };
  const auto a = bySymbol("A -1");
  EXPECT_EQ(a->crystal().hallSymbol, "-A 1");
  EXPECT_EQ(a->crystal().acentric, 0);
  EXPECT_EQ(a->crystal().latticeCode, 2);
  EXPECT_EQ(generalMultiplicity(a->crystal()), 4);
  const auto fm3m = bySymbol("Fm3m");
  EXPECT_EQ(generalMultiplicity(fm3m->crystal()), 192);
  EXPECT_EQ(fm3m->crystal().symmetrySource, 1);
  EXPECT_EQ(generalMultiplicity(bySymbol("Ia3d")->crystal()), 96);

  // Nothing to read it from: unassigned, and the H-M text never goes out as a Hall symbol.
  const auto unknown = bySymbol("Q 7");
  EXPECT_TRUE(unknown->s.ui.saw("Space-group assignment failed"));
  EXPECT_EQ(unknown->crystal().symmetrySource, 0);
  EXPECT_EQ(unknown->crystal().hallSymbol, "");
  EXPECT_EQ(unknown->crystal().hmSymbol, "Q 7");
  EXPECT_EQ(generalMultiplicity(unknown->crystal()), 1);
  ASSERT_TRUE(unknown->s.exportTo("cif", unknown->dir.path() / "out.cif"));
  EXPECT_EQ(test::readFile(unknown->dir.path() / "out.cif").find("Hall   'Q 7'"), std::string::npos);
  expectNativeRoundTrip(*unknown);
}

TEST(RealFileFaults, ControlCharactersAndOutOfRangeValuesAreRefusedSoTheSaveReopens) {
  std::string text = std::string(kCifHead) + "_symmetry_space_group_name_H-M 'P 1'\n" + kSites +
                     "C\x01" "1 C 0.1 0.2 0.3\nO1 O 1e7 0.2 0.3\nO2 O 0.5 0.5 0.5\n";
  Imported r = cif(text);
  ASSERT_EQ(r.sites().size(), 2u);
  EXPECT_EQ(r.site(0).label, "C_1");
  EXPECT_TRUE(r.s.ui.saw("Control characters in labels, symbols or the title replaced by _"));
  EXPECT_TRUE(r.s.ui.saw("1 atom(s) refused: a coordinate above 1e6, an occupancy outside 0 to 1000 or a value "
                         "that is not a number"));
  expectNativeRoundTrip(r);

  Imported huge = shelx("TITL t\nCELL 0.71 50000 6 7 90 90 90\nLATT -1\nSYMM " + std::string(300, ' ') +
                        "-x,-y,-z\nFVAR 1 1e30\nC1 1 0.1 0.2 0.3 21 0.02\nC2 1 0.2 0.2 0.3 11 0.02\n");
  EXPECT_TRUE(huge.s.ui.saw("Unit cell refused: an edge is not a number, not positive or above 10000 A, or an "
                            "angle is not between 0 and 180 degrees"));
  EXPECT_EQ(huge.sites().size(), 1u);
  EXPECT_EQ(huge.crystal().cell[0], 1.0f);
  expectNativeRoundTrip(huge);
}

TEST(RealFileFaults, LongOperatorTextIsNormalised) {
  std::string line = "x";
  for (int k = 0; k < 40; ++k) line += "+0";
  Imported r = cif(std::string(kCifHead) + "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'" + line + ", -y, -z'\n'x," +
                   std::string(200, '+') + "'\n" + kSites + "C1 C 0.1 0.2 0.3\n");
  ASSERT_EQ(r.crystal().xyzLines.size(), 2u);
  EXPECT_EQ(r.crystal().xyzLines[1], "X,-Y,-Z; ");
  EXPECT_TRUE(r.s.ui.saw("1 symmetry line(s) could not be read and were dropped"));
  expectNativeRoundTrip(r);
}

/// NaCl in F m -3 m with Na at the origin (1/48 of the general position) and Cl renamed
/// to labels that read as instructions.
CrystalDocument rockSalt() {
  CrystalDocument doc = test::p1Document("NaCl", {5.64f, 5.64f, 5.64f, kRightAngle, kRightAngle, kRightAngle});
  CrystalRecord& c = doc.crystals[0];
  c.hmSymbol = "F m -3 m";
  c.symbolKind = 0;
  test::TestSession s;
  EXPECT_TRUE(AssignFromDocumentSymbol(c, 0, s.ui) == 1);
  Site na = test::siteAt("END1", 0.0f, 0.0f, 0.0f, 11);
  na.occupants[0].element = "Na";
  Site cl = test::siteAt("CELL", 0.5f, 0.5f, 0.5f, 17);
  cl.occupants[0].element = "Cl";
  Site q = test::siteAt("Q1", 0.25f, 0.25f, 0.25f, 0);
  q.occupants[0].element = "*";
  Site cl2 = test::siteAt("ClCELL", 0.1f, 0.1f, 0.1f, 17);  // takes the name the renaming would pick
  cl2.occupants[0].element = "Cl";
  cl2.occupants[0].occupancy = 0.25f;
  doc.sites[0] = {na, cl, q, cl2};
  return doc;
}

TEST(RealFileFaults, ShelxWriterKeepsOccupanciesAndRenamesInstructionLabels) {
  test::ScratchDir dir;
  test::TestSession s;
  s.document = rockSalt();
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "nacl.ins"));
  const std::string written = test::readFile(dir.path() / "nacl.ins");
  EXPECT_NE(written.find("NaEND1  1 0.0000 0.0000 0.0000 10.0208333"), std::string::npos) << written;
  EXPECT_TRUE(s.ui.saw("3 atom label(s) that read as SHELX instructions renamed (END1 as NaEND1)"));
  test::TestSession back;
  ASSERT_TRUE(back.import(kKindShelx, dir.path() / "nacl.ins"));
  const auto& sites = back.document.sites[0];
  ASSERT_EQ(sites.size(), 4u);
  std::vector<std::string> labels;
  for (const Site& site : sites) labels.push_back(site.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"NaEND1", "ClCEL1", "XQ1", "ClCELL"}));
  EXPECT_NEAR(sites[0].occupants[0].occupancy, 1.0f, 1e-5);
  EXPECT_NEAR(sites[1].occupants[0].occupancy, 1.0f, 1e-5);
  EXPECT_NEAR(sites[3].occupants[0].occupancy, 0.25f, 1e-5);
  EXPECT_EQ(sites[1].typeNumber, 17);
}

TEST(RealFileFaults, CifWriterSeparatesValuesThatFillTheirField) {
  test::ScratchDir dir;
  test::TestSession s;
  s.document = test::p1Document("far", {5, 6, 7, kRightAngle, kRightAngle, kRightAngle});
  Site far = test::siteAt("C1", 10.432f, -12.301f, 105.5f, 6);
  far.ortepType = 10;
  far.isoValue = 1234.5f;
  s.document.sites[0] = {far};
  s.document.tfMix = 1;
  ASSERT_TRUE(s.exportTo("cif", dir.path() / "far.cif"));
  test::TestSession back;
  back.ui.dialogs.push_back([](DialogModel&) { return true; });
  ASSERT_TRUE(back.import(kKindCif, dir.path() / "far.cif")) << test::readFile(dir.path() / "far.cif");
  ASSERT_EQ(back.document.sites[0].size(), 1u);
  const Site& read = back.document.sites[0][0];
  EXPECT_NEAR(read.x, 10.432f, 1e-5);
  EXPECT_NEAR(read.y, -12.301f, 1e-5);
  EXPECT_NEAR(read.z, 105.5f, 1e-5);
  EXPECT_NEAR(read.isoValue, 1234.5f, 1e-3);

  // SHELX reads a coordinate beyond 8 as a free-variable reference: moved by whole cells.
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "far.ins"));
  EXPECT_TRUE(s.ui.saw("1 atom(s) with a coordinate beyond 8 moved by whole cell edges: SHELX reads such values as "
                       "free-variable references"));
  test::TestSession shelxBack;
  ASSERT_TRUE(shelxBack.import(kKindShelx, dir.path() / "far.ins"));
  const Site& moved = shelxBack.document.sites[0].at(0);
  EXPECT_NEAR(moved.x, 0.432f, 1e-4);
  EXPECT_NEAR(moved.y, -0.301f, 1e-4);
  EXPECT_NEAR(moved.z, 0.5f, 1e-4);
}

}  // namespace
}  // namespace tessera
