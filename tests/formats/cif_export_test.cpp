#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/temperature_factor.h"
#include "formats/cif_syntax.h"
#include "formats/cif_writer.h"
#include "formats/import_dialogs.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "support/builders.h"
#include "support/cli_run.h"
#include "support/site_checks.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// Imports block `block` of a CIF into s.
bool importCif(test::TestSession& s, const std::filesystem::path& path, int block = 1) {
  s.ui.dialogs.push_back([](DialogModel&) { return true; });
  s.ui.dialogs.push_back([block](DialogModel& m) {
    if (auto* sets = dynamic_cast<DataSetModel*>(&m)) sets->selection = block;
    return true;
  });
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
  test::ScratchDir dir;
  test::TestSession s;
  ASSERT_TRUE(importCif(s, kJournal, 2));
  ASSERT_TRUE(s.exportTo("cif", dir.path() / "out.cif"));
  const std::string written = test::readFile(dir.path() / "out.cif");
  EXPECT_EQ(written, test::readFile(test::fixture("cif/journal_cpx1.out.cif")));

  // Read back without a syntax or type complaint and written again: the same file, so
  // nothing (isotropic hydrogens included) changes form on the way.
  test::TestSession back;
  ASSERT_TRUE(importCif(back, dir.path() / "out.cif"));
  EXPECT_TRUE(back.ui.messages().empty());
  ASSERT_TRUE(back.exportTo("cif", dir.path() / "again.cif"));
  EXPECT_EQ(test::readFile(dir.path() / "again.cif"), written);
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
  EXPECT_EQ(rock.document.crystals[0].lineCount(), 48);
  EXPECT_EQ(rock.document.crystals[0].latticeName, "F");
  EXPECT_EQ(generalMultiplicity(rock.document.crystals[0]), 192);
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

TEST(CifExport, CifToShelxToCifKeepsTheStructure) {
  test::ScratchDir dir;
  test::TestSession first;
  ASSERT_TRUE(importCif(first, kJournal, 2));
  ASSERT_TRUE(first.exportTo("shelx", dir.path() / "a.ins"));
  test::TestSession shelx;
  ASSERT_TRUE(shelx.import(kKindShelx, dir.path() / "a.ins"));
  ASSERT_TRUE(shelx.exportTo("cif", dir.path() / "b.cif"));
  test::TestSession last;
  ASSERT_TRUE(importCif(last, dir.path() / "b.cif"));

  const CrystalRecord& c0 = first.document.crystals[0];
  const CrystalRecord& c2 = last.document.crystals[0];
  for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(c2.cell[k], c0.cell[k], 1e-5);
  EXPECT_EQ(generalMultiplicity(c2), generalMultiplicity(c0));
  EXPECT_EQ(c2.hmSymbol, "P 1 21/c 1");
  test::expectSameSites(first.document.sites[0], last.document.sites[0]);
}

TEST(CifExport, CommandLineWritesTheChosenBlock) {
  test::ScratchDir dir;
  ASSERT_EQ(test::runCli({"convert", kJournal.string(), dir.file("x.cif"), "--block", "cpx2"}).code, 0);
  // Labels past six characters are written whole.
  EXPECT_NE(test::readFile(dir.file("x.cif")).find("\n     C101A_2  0.03020  0.01850  0.02090 -0.00410"),
            std::string::npos);
}

}  // namespace
}  // namespace tessera
