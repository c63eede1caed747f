#include <gtest/gtest.h>

#include <random>

#include "formats/import_dialogs.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// Imports a CIF; block (1-based) is picked in the data-set dialog when the file has several.
struct CifFile {
  test::ScratchDir dir;
  test::TestSession s;
  std::vector<std::string> offered;  ///< names the data-set dialog listed
  bool ok = false;

  explicit CifFile(const std::filesystem::path& path, int block = 1) { run(path, block); }
  CifFile(const std::string& text, int block) {
    test::writeFile(dir.path() / "t.cif", text);
    run(dir.path() / "t.cif", block);
  }
  void run(const std::filesystem::path& path, int block) {
    s.ui.dialogs.push_back([](DialogModel&) { return true; });  // Import File options
    s.ui.dialogs.push_back([this, block](DialogModel& m) {
      auto* sets = dynamic_cast<DataSetModel*>(&m);
      if (!sets) return true;
      offered = sets->names;
      sets->selection = block;
      return block > 0;
    });
    ok = s.import(kKindCif, path);
  }
  const CrystalRecord& crystal() const { return s.document.crystals[0]; }
  const std::vector<Site>& sites() const { return s.document.sites[0]; }
  const Site& site(std::string_view label) const {
    for (const Site& x : sites())
      if (x.label == label) return x;
    throw std::runtime_error("no site " + std::string(label));
  }
};

const char* kP1 =
    "data_t\n_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n"
    "loop_ _symmetry_equiv_pos_as_xyz x,y,z\n";

TEST(CifImport, JournalFileFromARefinementProgram) {
  CifFile cpx1(test::fixture("cif/journal_multiblock.cif"), 2);
  ASSERT_TRUE(cpx1.ok);
  // Text fields holding data_ and loop_ lines and quotes inside quoted values start no block.
  EXPECT_EQ(cpx1.offered, (std::vector<std::string>{"global", "cpx1", "cpx2"}));
  EXPECT_EQ(test::documentDump(cpx1.s.document), test::readFile(test::fixture("cif/journal_cpx1.expected")));
  // Isotropic hydrogens beside anisotropic atoms are no mixture; a present cell setting is found.
  EXPECT_TRUE(cpx1.s.ui.messages().empty()) << cpx1.s.ui.messages().front();
  EXPECT_EQ(generalMultiplicity(cpx1.crystal()), 4);

  // Labels past six characters stay apart, so each tensor lands on its own site.
  CifFile cpx2(test::fixture("cif/journal_multiblock.cif"), 3);
  ASSERT_TRUE(cpx2.ok);
  EXPECT_FLOAT_EQ(cpx2.site("C101A_1").aniso[0], 0.0191f);
  EXPECT_FLOAT_EQ(cpx2.site("C101A_2").aniso[0], 0.0302f);
  EXPECT_EQ(cpx2.site("H101A_2").ortepType, 10);
  // The centring copies of C 2/c are one lattice letter, counted once.
  EXPECT_EQ(cpx2.crystal().latticeName, "C");
  EXPECT_EQ(cpx2.crystal().lineCount(), 4);
  EXPECT_EQ(generalMultiplicity(cpx2.crystal()), 8);
}

TEST(CifImport, NewerDataNamesAndTheBFormOfTheTensor) {
  CifFile f(test::fixture("cif/newer_names.cif"));
  ASSERT_TRUE(f.ok);
  EXPECT_TRUE(f.offered.empty());  // one block: no dialog
  EXPECT_EQ(test::documentDump(f.s.document), test::readFile(test::fixture("cif/newer_names.expected")));
  EXPECT_EQ(f.site("O3").wyckoff, "d");

  // Both present: the older names win, the newer ones fill in what has no value.
  CifFile both(std::string(kP1) +
                   "_symmetry_space_group_name_H-M 'P 1'\n_space_group_name_H-M_alt 'P -1'\n"
                   "_symmetry_Int_Tables_number ?\n_space_group_IT_number 2\n"
                   "_space_group_symop_operation_xyz '-x,-y,-z'\n",
               1);
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
  CifFile f(text, 2);
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(f.offered, (std::vector<std::string>{"same", "same"}));
  EXPECT_FLOAT_EQ(f.crystal().cell[0], 5.1f);  // the second block of that name, by position
  EXPECT_NEAR(f.crystal().cell[3], 90 * kDegToRad, 1e-6);  // absent angles are right angles
  EXPECT_EQ(f.crystal().axesType, 2);
  ASSERT_EQ(f.sites().size(), 2u);
  EXPECT_EQ(f.site("C1").ortepType, 6);  // B wins over U
  EXPECT_FLOAT_EQ(f.site("C1").isoValue, 1.5f);
  EXPECT_FLOAT_EQ(f.site("C1").z, 0.3f);
  EXPECT_FLOAT_EQ(f.site("C1").occupants[0].occupancy, 1.0f);
  EXPECT_EQ(f.site("123").ortepType, -1);
  EXPECT_EQ(f.s.ui.messages(), std::vector<std::string>{"Temperature factor atom label not identified"});
}

TEST(CifImport, CellSettingOnlyReportedWhenUnrecognised) {
  CifFile unknown(std::string(kP1) + "_symmetry_cell_setting sideways\n"
                      "loop_ _atom_site_label _atom_site_fract_x Na1 0.5 K1 0.1\n",
                  1);
  EXPECT_EQ(unknown.s.ui.messages(),
            (std::vector<std::string>{" Cell setting not found", "One or more atom coordinates not found"}));
  // "rhombohedral" is trigonal; the cell says which axes.
  CifFile rhombic(std::string("data_r\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n_cell_angle_alpha 80\n"
                              "_cell_angle_beta 80\n_cell_angle_gamma 80\n_symmetry_cell_setting rhombohedral\n"),
                  1);
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
  EXPECT_FALSE(CifFile(test::fixture("cif/journal_multiblock.cif"), 0).ok);  // chooser cancelled

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

TEST(CifImport, HostileInputEndsInAMessageNotACrash) {
  const std::string journal = test::readFile(test::fixture("cif/journal_multiblock.cif"));
  std::string operators = std::string(kP1) + "loop_ _symmetry_equiv_pos_as_xyz\n";
  for (int i = 0; i < 500; ++i) operators += "x,y,z+1/2\n";  // past the 192 a crystal holds
  std::vector<std::string> inputs = {
      operators,
      journal.substr(0, journal.size() / 2),
      std::string(kP1) + "loop_ _atom_site_label _atom_site_fract_x _atom_site_fract_y\nC1 0.1 0.2\nC2 0.3\n",
      std::string(kP1) + "_note\n;\nunterminated text field\n",
      "data_x\n_symmetry_Int_Tables_number 1e300\n_cell_length_a 1e999\n_symmetry_equiv_pos_as_xyz 'q,r,s'\n",
  };
  std::mt19937 rng(5);
  for (int i = 0; i < 40; ++i) {
    std::string mutated = journal;
    for (int k = 0; k < 20; ++k) mutated[rng() % mutated.size()] = static_cast<char>(rng() & 0xff);
    inputs.push_back(mutated);
  }
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    CifFile f(inputs[i], 2);
    EXPECT_EQ(f.ok, f.s.document.isOpen);
    for (const Site& site : f.sites()) EXPECT_TRUE(site.occupantCount() >= 1 && site.occupantCount() <= kMaxOccupants);
  }
}

}  // namespace
}  // namespace tessera
