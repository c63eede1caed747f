// The CIF import and export (the CIF syntax reader is in cif_syntax_test.cpp).

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/temperature_factor.h"
#include "formats/cif_syntax.h"
#include "formats/cif_writer.h"
#include "formats/format_helpers.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/site_checks.h"
#include "support/test_session.h"

namespace tessera {
namespace {

using test::Imported;

/// A CIF's text imported; block (1-based) is picked when the file has several.
Imported cif(const std::string& text, int block = 1) { return Imported(kKindCif, text, "t.cif", block); }
Imported cifFixture(const std::string& name, int block = 1) { return cif(test::readFile(test::fixture("cif/" + name)), block); }

const Site& site(const Imported& f, std::string_view label) {
  for (const Site& x : f.sites())
    if (x.label == label) return x;
  throw std::runtime_error("no site " + std::string(label));
}

const char* kP1 =
    "data_t\n_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n"
    "loop_ _symmetry_equiv_pos_as_xyz x,y,z\n";

TEST(CifImport, JournalFileFromARefinementProgram) {
  Imported cpx1 = cifFixture("journal_multiblock.cif", 2);
  ASSERT_TRUE(cpx1.ok);
  // Text fields holding data_ and loop_ lines and quotes inside quoted values start no block.
  EXPECT_EQ(cpx1.offered, (std::vector<std::string>{"global", "cpx1", "cpx2"}));
  EXPECT_EQ(test::documentDump(cpx1.s.document), test::readFile(test::fixture("cif/journal_cpx1.expected")));
  // Isotropic hydrogens beside anisotropic atoms are no mixture; a present cell setting is found.
  EXPECT_TRUE(cpx1.s.ui.messages().empty()) << cpx1.s.ui.messages().front();
  EXPECT_EQ(generalMultiplicity(cpx1.crystal()), 4);

  // Labels past six characters stay apart, so each tensor lands on its own site.
  Imported cpx2 = cifFixture("journal_multiblock.cif", 3);
  ASSERT_TRUE(cpx2.ok);
  EXPECT_FLOAT_EQ(site(cpx2, "C101A_1").aniso[0], 0.0191f);
  EXPECT_FLOAT_EQ(site(cpx2, "C101A_2").aniso[0], 0.0302f);
  EXPECT_EQ(site(cpx2, "H101A_2").ortepType, 10);
  // The centring copies of C 2/c are one lattice letter, counted once.
  EXPECT_EQ(cpx2.crystal().latticeName, "C");
  EXPECT_EQ(cpx2.crystal().lineCount(), 4);
  EXPECT_EQ(generalMultiplicity(cpx2.crystal()), 8);
}

TEST(CifImport, NewerDataNamesAndTheBFormOfTheTensor) {
  Imported f = cifFixture("newer_names.cif");
  ASSERT_TRUE(f.ok);
  EXPECT_TRUE(f.offered.empty());  // one block: no dialog
  EXPECT_EQ(test::documentDump(f.s.document), test::readFile(test::fixture("cif/newer_names.expected")));
  EXPECT_EQ(site(f, "O3").wyckoff, "d");

  // Both present: the older names win, the newer ones fill in what has no value.
  Imported both = cif(std::string(kP1) +
                      "_symmetry_space_group_name_H-M 'P 1'\n_space_group_name_H-M_alt 'P -1'\n"
                      "_symmetry_Int_Tables_number ?\n_space_group_IT_number 2\n"
                      "_space_group_symop_operation_xyz '-x,-y,-z'\n");
  ASSERT_TRUE(both.ok);
  EXPECT_EQ(both.crystal().hmSymbol, "P 1");
  EXPECT_EQ(both.crystal().sgNumber, 2);
  EXPECT_EQ(both.crystal().xyzLines, std::vector<std::string>{"X,Y,Z"});
  // No cell setting given is nothing to report.
  EXPECT_EQ(both.s.ui.messages(), std::vector<std::string>{"No atoms found in import file"});
}

TEST(CifImport, WhatRealFilesDo) {
  const std::string text =
      "data_same\n_cell_length_a 1\n"
      "data_same\n"
      "_publ_author_name 'O'Brien, K.'\n"
      "_cell_length_a 5.1(2)\n_cell_length_b 6.2\n_cell_length_c 7.3\n_cell_angle_beta 101.5\n"
      "_symmetry_cell_setting Monoclinic\n"
      "_symmetry_equiv_pos_as_xyz 'x, y, z'\n"  // a single unlooped operator
      "_note\n;\ndata_inside\nloop_\n;\n"
      "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
      "_atom_site_occupancy\n_atom_site_U_iso_or_equiv\n_atom_site_B_iso_or_equiv\n"
      "C1 0.1 0.2\n 0.3 . 0.02 1.5\n"  // a row over two lines; "." occupancy is no value
      "123 0.4 0.5 0.6 0.5 ? ?\n"        // a label of digits; no factor
      "loop_ _atom_site_aniso_label _atom_site_aniso_U_11 _atom_site_aniso_U_22\n"
      "C9 0.01 0.02\n";
  Imported f = cif(text, 2);
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(f.offered, (std::vector<std::string>{"same", "same"}));
  EXPECT_FLOAT_EQ(f.crystal().cell[0], 5.1f);  // the second block of that name, by position
  EXPECT_NEAR(f.crystal().cell[3], 90 * kDegToRad, 1e-6);  // absent angles are right angles
  EXPECT_EQ(f.crystal().axesType, 2);
  ASSERT_EQ(f.sites().size(), 2u);
  EXPECT_EQ(site(f, "C1").ortepType, 6);  // B wins over U
  EXPECT_FLOAT_EQ(site(f, "C1").isoValue, 1.5f);
  EXPECT_FLOAT_EQ(site(f, "C1").z, 0.3f);
  EXPECT_FLOAT_EQ(site(f, "C1").occupants[0].occupancy, 1.0f);
  EXPECT_EQ(site(f, "123").ortepType, -1);
  EXPECT_EQ(f.s.ui.messages(), std::vector<std::string>{"Temperature factor atom label not identified"});
}

TEST(CifImport, CellSettingOnlyReportedWhenUnrecognised) {
  Imported unknown = cif(std::string(kP1) + "_symmetry_cell_setting sideways\n"
                                            "loop_ _atom_site_label _atom_site_fract_x Na1 0.5 K1 0.1\n");
  EXPECT_EQ(unknown.s.ui.messages(),
            (std::vector<std::string>{" Cell setting not found", "One or more atom coordinates not found"}));
  // "rhombohedral" is trigonal; the cell says which axes.
  Imported rhombic = cif("data_r\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n_cell_angle_alpha 80\n"
                         "_cell_angle_beta 80\n_cell_angle_gamma 80\n_symmetry_cell_setting rhombohedral\n");
  EXPECT_EQ(rhombic.crystal().axesType, 4);
  EXPECT_EQ(rhombic.crystal().rhombohedralAxes, 1);
}

TEST(CifImport, FailuresComeBeforeAnyDocument) {
  test::ScratchDir dir;
  test::writeFile(dir.path() / "none.cif", "# no blocks at all\n_cell_length_a 5\n");
  test::TestSession s;
  EXPECT_FALSE(s.import(kKindCif, dir.path() / "none.cif"));
  EXPECT_TRUE(s.ui.saw("No data_ statement found"));
  EXPECT_FALSE(s.import(kKindCif, dir.path() / "missing.cif"));
  EXPECT_TRUE(s.ui.saw("CIF cannot be opened"));
  test::chooseDataSet(s, 0);  // chooser cancelled
  EXPECT_FALSE(s.import(kKindCif, test::fixture("cif/journal_multiblock.cif")));

  // Without the dictionary nothing is asked.
  ScriptedUserInterface ui;
  ProgramSettings settings;
  CrystalDocument doc;
  Session noHome{doc, ui, settings, dir.path()};
  ui.files.push_back(test::fixture("cif/newer_names.cif").string());
  EXPECT_FALSE(RunImport(noHome, kKindCif, nullptr));
  ASSERT_EQ(ui.events.size(), 1u);
  EXPECT_EQ(ui.events[0].text, "File cifdic.sht not found in Tessera home directory");
}

/// Imports block `block` of a CIF into s.
bool importCif(test::TestSession& s, const std::filesystem::path& path, int block = 1) {
  test::chooseDataSet(s, block);
  return s.import(kKindCif, path);
}

const std::filesystem::path kJournal = test::fixture("cif/journal_multiblock.cif");

/// Lines of text that start with prefix.
int linesStartingWith(const std::string& text, const std::string& prefix) {
  int n = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) n += line.rfind(prefix, 0) == 0;
  return n;
}

TEST(CifExport, GoldenFileAndItsReadingBack) {
  test::TestSession s, back;
  ASSERT_TRUE(importCif(s, kJournal, 2));
  const std::string written = test::writeAndRead(s.document, "cif", kKindCif, back);
  EXPECT_EQ(written, test::readFile(test::fixture("cif/journal_cpx1.out.cif")));
  // Read back without a syntax or type complaint and written again: the same file, so
  // nothing (isotropic hydrogens included) changes form on the way.
  EXPECT_TRUE(back.ui.messages().empty());
  EXPECT_EQ(test::exportText(back.document, "cif"), written);
}

TEST(CifExport, TheAnisotropicLoopHoldsOnlyWhatIsWrittenAnisotropic) {
  test::ScratchDir dir;
  test::TestSession s;
  ASSERT_TRUE(importCif(s, kJournal, 2));
  const auto write = [&](int mode) {
    s.settings.convMode = mode;
    EXPECT_TRUE(s.exportTo("cif", dir.path() / "m.cif"));
    return test::readFile(dir.path() / "m.cif");
  };
  const std::string keep = write(0), iso = write(2), aniso = write(3);
  EXPECT_EQ(linesStartingWith(keep, "     "), 9);  // the nine non-hydrogen atoms
  EXPECT_NE(keep.find("    H1      0.218000  0.470000  0.512000  0.03100 Uiso  1.000 H\n"), std::string::npos);
  EXPECT_EQ(iso.find("_atom_site_aniso_label"), std::string::npos);
  EXPECT_EQ(iso.find("Uani"), std::string::npos);
  EXPECT_EQ(linesStartingWith(aniso, "     "), 14);
  EXPECT_EQ(aniso.find("Uiso"), std::string::npos);

  // Every site isotropic: no anisotropic loop under "Keep current form".
  for (Site& site : s.document.sites[0]) site.ortepType = 10, site.aniso = {};
  ClassifyTemperatureFactors(s.document, s.ui);
  EXPECT_EQ(s.document.tfMix, 1);
  EXPECT_EQ(write(0).find("_atom_site_aniso_label"), std::string::npos);
}

TEST(CifExport, OperatorsBlockNameAndValueTokens) {
  test::TestSession rock;
  ASSERT_TRUE(importCif(rock, test::fixture("cif/rock_salt_192.cif")));
  // Every centring copy listed is read as F, each operator counted once, and written out again.
  const CrystalRecord& f = rock.document.crystals[0];
  EXPECT_EQ(std::tuple(f.lineCount(), f.latticeName, generalMultiplicity(f)), std::tuple(48, "F", 192));
  const std::vector<std::string> all = fullOperatorList(rock.document.crystals[0]);
  EXPECT_EQ(all.size(), 192u);
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 192u);

  test::ScratchDir dir;
  test::TestSession s;
  CrystalDocument& doc = s.document;
  CrystalRecord& c = doc.crystals[0];
  c.cell = {5, 6, 7, kRightAngle, 1.8f, kRightAngle};
  c.axesType = 8;
  c.hmSymbol = "C_1_2/c_1";
  c.acentric = 0;
  c.latticeCode = 4;
  c.xyzLines = {"X,Y,Z; ", "-X,Y,1/2-Z; ", "Q, R, S"};
  Site odd = test::siteAt("_odd", -1e-9f, 0, 0);
  odd.ortepType = 10;
  odd.isoValue = 0.0066f;
  odd.occupants[0].element.clear();
  Site bare = odd;
  bare.label = "C 1";
  bare.ortepType = -1;
  bare.normaliseOccupants(1);
  doc.sites[0] = {odd, bare};
  ClassifyTemperatureFactors(doc, s.ui);
  ASSERT_TRUE(s.exportTo("cif", dir.path() / "my file.cif"));
  const std::string out = test::readFile(dir.path() / "my file.cif");
  EXPECT_EQ(out.rfind("data_my_file\n_symmetry_cell_setting     ?\n", 0), 0u);
  EXPECT_NE(out.find("_symmetry_space_group_name_H-M   'C 1 2/c 1'\n"), std::string::npos);
  EXPECT_EQ(out.find("_symmetry_Int_Tables_number"), std::string::npos);
  EXPECT_EQ(linesStartingWith(out, "x") + linesStartingWith(out, "-x"), 8);
  EXPECT_NE(out.find("\n'Q, R, S'\n"), std::string::npos);
  EXPECT_NE(out.find("    '_odd'  0.000000  0.000000  0.000000  0.00660 Uiso  1.000 ?\n"), std::string::npos);
  EXPECT_NE(out.find("    C_1     0.000000  0.000000  0.000000        ? ?     1.000 ?\n"), std::string::npos);

  doc.title = "a title";
  ASSERT_TRUE(s.exportTo("cif", dir.path() / "t.cif"));
  EXPECT_EQ(test::readFile(dir.path() / "t.cif").rfind("data_a_title\n", 0), 0u);
  EXPECT_EQ(cifToken("data_x"), "'data_x'");
  EXPECT_EQ(cifToken("O' Brien"), "\"O' Brien\"");
  EXPECT_EQ(cifToken("C1'"), "C1'");
}

}  // namespace
}  // namespace tessera
