// The "Bond Lengths" command and tessera-cli bonds: the dialog's defaults, checks and
// clamping, the BONDS.OUT listings of the example structures, and a structure typed in.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>
#include <tuple>

#include "bonds/bond_dialog_model.h"
#include "bonds/neighbour_list.h"
#include "commands/document_commands.h"
#include "commands/title_axes.h"
#include "support/cli_run.h"
#include "support/structures.h"
#include "support/test_paths.h"
#include "support/test_session.h"

namespace tessera {
namespace {

struct BondSession : test::TestSession {
  test::ScratchDir dir;
  explicit BondSession(CrystalDocument doc) { document = std::move(doc); }

  /// Runs the command with the dialog filled by `fill`; the listing, or "" when none was written.
  std::string run(const std::function<void(BondDialogModel&)>& fill = {}) {
    ui.dialogs.push_back([fill](DialogModel& m) {
      if (fill) fill(dynamic_cast<BondDialogModel&>(m));
      return true;
    });
    const auto path = dir.path() / "BONDS.OUT";
    std::filesystem::remove(path);
    const auto outcome = bondLengthsCommand(session, path);
    return outcome && outcome->written ? test::readFile(path) : std::string();
  }
};

using test::occurrences;
using test::runCli;

void expectGolden(const std::string& name, const std::string& listing) {
  const auto path = test::fixture("bonds/" + name);
  if (std::getenv("TESSERA_WRITE_GOLDENS")) test::writeFile(path, listing);
  EXPECT_EQ(listing, test::readFile(path)) << name;
}

/// The distances of each block's sphere lines, sorted, block by block.
std::vector<std::vector<double>> listedDistances(const std::string& listing) {
  std::vector<std::vector<double>> blocks;
  std::istringstream in(listing);
  bool inSphere = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(" Central:", 0) == 0) blocks.emplace_back();
    if (line.rfind("  No.  Input", 0) == 0) inSphere = true;
    else if (line.empty() || line[0] != ' ' || line.rfind("  Outer", 0) == 0) inSphere = false;
    else if (inSphere) blocks.back().push_back(std::stod(line.substr(26, 10)));
  }
  for (auto& b : blocks) std::sort(b.begin(), b.end());
  return blocks;
}

TEST(BondCommand, ListingsOfTheExampleStructures) {
  BondSession salt(test::rockSalt());
  const std::string nacl = salt.run([](BondDialogModel& m) {
    m.parameters = {3.0f, 6.0f, 3.0f, true};
  });
  expectGolden("nacl.out", nacl);
  EXPECT_EQ(nacl.rfind("Old symmetry-unique atoms\n\n Central:    1 Na1    - Type:  11 - Fr. Co.: 0.000000 0.000000 "
                      "0.000000 \n  No.  Input Type Label     Distance         Fractional Coordinates\n",
                      0),
            0u);
  EXPECT_NE(nacl.find("   1      2   17  Cl1        2.82000      -0.50000    0.00000    0.00000\n"), std::string::npos);
  // Opposite neighbours: 180 degrees, not a failed arc cosine.
  EXPECT_EQ(occurrences(nacl, "   180.00000 \n"), 6);
  EXPECT_EQ(occurrences(nacl, "nan"), 0);
  EXPECT_EQ(occurrences(nacl, "   3.98808 "), 24);  // the right angles

  BondSession quartz(test::quartz());
  expectGolden("quartz.out", quartz.run([](BondDialogModel& m) { m.parameters.angles = true; }));
  BondSession corundum(test::corundum());
  expectGolden("corundum.out", corundum.run([](BondDialogModel& m) { m.parameters.angles = true; }));
  BondSession monoclinic(test::monoclinic());
  expectGolden("p21c.out", monoclinic.run([](BondDialogModel& m) { m.parameters = {3.6f, 3.6f, 3.0f, true}; }));
  EXPECT_TRUE(monoclinic.ui.messages().empty());
}

TEST(BondCommand, DialogDefaultsSettingsAndTheChosenAtom) {
  BondSession s(test::quartz());
  s.document.selectedSite = 1;
  BondDialogModel opened(s.document, s.settings);
  const BondParameters& p = opened.parameters;
  EXPECT_EQ(std::tuple(opened.newAtoms, opened.selectedOnly, opened.atomNumber), std::tuple(false, false, 2));
  EXPECT_EQ(std::tuple(p.centralLigandLimit, p.ligandLigandLimit, p.angleLimit, p.angles), std::tuple(2.6f, 3.6f, 2.6f, false));

  // Number 0 runs atom 1, a number past the list the last atom; the number becomes the selection.
  std::string one = s.run([](BondDialogModel& m) {
    m.selectedOnly = true;
    m.atomNumber = 0;
    m.parameters = {3.0f, 3.0f, 1.0f, true};
  });
  EXPECT_EQ(occurrences(one, " Central:"), 1);
  EXPECT_NE(one.find(" Central:    1 Si1 "), std::string::npos);
  EXPECT_EQ(s.document.selectedSite, 0);
  // Neighbours beyond the angle limit are listed but make no pair: only the headings.
  const std::string headings =
      "\n  Outer atoms - bonds and angles\n     No. Input Type Label  -  No. Input Type Label    Distance     Angle\n";
  ASSERT_GT(one.size(), headings.size());
  EXPECT_EQ(one.substr(one.size() - headings.size()), headings);
  one = s.run([](BondDialogModel& m) { m.atomNumber = 7; });
  EXPECT_NE(one.find(" Central:    2 O1 "), std::string::npos);
  EXPECT_EQ(occurrences(one, " Central:"), 1);
  EXPECT_EQ(s.document.selectedSite, 1);

  // The limits and switches are kept for the next run; Old atoms again.
  BondDialogModel reopened(s.document, s.settings);
  EXPECT_EQ(std::tuple(reopened.selectedOnly, reopened.parameters.centralLigandLimit, reopened.parameters.angles, reopened.newAtoms),
            std::tuple(true, 3.0f, true, false));

  EXPECT_FALSE(BondDialogModel::checkCentralLigandLimit(2.6).has_value());
  EXPECT_EQ(BondDialogModel::checkCentralLigandLimit(150).value_or(""), "Please enter a number between 0 and 100.");
  EXPECT_TRUE(BondDialogModel::checkCentralLigandLimit(-1).has_value());
  EXPECT_TRUE(BondDialogModel::checkLimit(NAN).has_value());
}

TEST(BondCommand, NewAtomsNeedATransformation) {
  BondSession s(test::corundum());
  s.document.sites[1].clear();
  EXPECT_EQ(s.run([](BondDialogModel& m) { m.newAtoms = true; }), "");
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{kNoNewAtomsMessage});
  EXPECT_FALSE(std::filesystem::exists(s.dir.path() / "BONDS.OUT"));

  // With New atoms: their own heading, the New cell's reciprocal lengths, Old active again.
  s.document.sites[1] = {s.document.sites[0][1]};
  s.document.crystals[1].cell[2] = 13.5f;
  s.document.selectedSite = 1;
  const std::string listing = s.run([](BondDialogModel& m) {
    m.newAtoms = true;
    m.selectedOnly = true;  // number 2 of the Old list; the New list holds one atom
  });
  EXPECT_EQ(listing.rfind("New symmetry-unique atoms\n\n Central:    1 O1 ", 0), 0u);
  EXPECT_EQ(occurrences(listing, " Central:"), 1);
  EXPECT_EQ(s.document.activeCrystal, 0);
  EXPECT_NEAR(s.document.crystals[1].reciprocalLengths[2], 1.0 / 13.5, 1e-6);
  EXPECT_EQ(s.document.crystals[0].reciprocalLengths[2], 0.0f);

  // Too many neighbours: one message per central atom; an unusable cell: no listing.
  BondSession salt(test::rockSalt());
  EXPECT_EQ(occurrences(salt.run([](BondDialogModel& m) { m.parameters.centralLigandLimit = 6.5f; }), "\n  36  "), 2);
  EXPECT_EQ(salt.ui.messages(), (std::vector<std::string>{kTooManyAtomsMessage, kTooManyAtomsMessage}));
  salt.document.crystals[0].cell[1] = 0.0f;
  EXPECT_EQ(salt.run(), "");
  EXPECT_EQ(salt.ui.messages().back(), kBondCellMessage);
}

TEST(BondCommand, NewDocumentMatchesAnIndependentNeighbourList) {
  test::TestSession t;
  // File > New: an orthorhombic cell, the first site dialog cancelled, then the sites.
  t.ui.dialogs.push_back([](DialogModel& m) {
    auto& axes = dynamic_cast<TitleAxesModel&>(m);
    axes.axesChoice = 3;
    axes.cell = {5.0f, 6.0f, 7.0f, 90, 90, 90};
    return true;
  });
  t.ui.dialogs.push_back([](DialogModel&) { return false; });
  ASSERT_TRUE(newDocument(t.session));
  const float typed[][3] = {{0.1f, 0.1f, 0.1f}, {0.3f, 0.15f, 0.12f}, {0.12f, 0.35f, 0.1f},
                            {0.9f, 0.1f, 0.05f}, {0.5f, 0.5f, 0.5f},  {0.3f, 0.15f, 0.12f}};
  for (int i = 0; i < 6; ++i)
    t.document.sites[0].push_back(test::makeSite("X" + std::to_string(i + 1), 6 + i, typed[i][0], typed[i][1], typed[i][2]));

  for (bool periodic : {false, true}) {
    // A new document has no lattice period; an import would give it one.
    if (periodic) t.document.crystals[0].aperiodicAxes = {0, 0, 0};
    BondSession s(t.document);
    const auto blocks = listedDistances(s.run([](BondDialogModel& m) { m.parameters.centralLigandLimit = 3.2f; }));
    ASSERT_EQ(blocks.size(), 6u);
    for (int c = 0; c < 6; ++c) {
      const auto expected = test::neighbourDistances(s.document.crystals[0], s.document.sites[0], c, 3.2);
      ASSERT_EQ(blocks[c].size(), expected.size()) << "atom " << c + 1 << (periodic ? " periodic" : " molecule");
      for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(blocks[c][i], expected[i], 1e-4);
    }
    // X2 and X6 share a position: each is the other's neighbour at no distance, so neither lists
    // the other, yet both are listed around X1.
    EXPECT_EQ(blocks[0].size(), (periodic ? 4u : 3u));
  }
}

TEST(BondsCli, WritesTheListingAndNothingElse) {
  test::ScratchDir dir;
  const std::string doc = dir.file("corundum.tsr");
  std::filesystem::copy_file(test::exampleDocument(), doc);

  auto r = runCli({"bonds", doc, "--out", dir.file("all.out")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  const std::string all = test::readFile(dir.file("all.out"));
  EXPECT_EQ(all.rfind("Old symmetry-unique atoms\n\n Central:    1 ", 0), 0u);
  EXPECT_EQ(occurrences(all, " Central:"), 2);
  EXPECT_EQ(occurrences(all, "Outer atoms"), 0);

  r = runCli({"bonds", doc, "--atom", "2", "--limit", "3", "--angles", "--ligand-limit", "2.9", "--angle-limit", "2.0",
              "--out", dir.file("one.out")});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string one = test::readFile(dir.file("one.out"));
  EXPECT_EQ(occurrences(one, " Central:    2 "), 1);
  EXPECT_EQ(occurrences(one, " Central:"), 1);
  EXPECT_EQ(occurrences(one, "\n  Outer atoms - bonds and angles\n"), 1);

  // --new: the document's transformation first, then the New atoms.
  r = runCli({"--yes", "bonds", doc, "--new", "--out", dir.file("new.out")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(test::readFile(dir.file("new.out")).rfind("New symmetry-unique atoms\n", 0), 0u);

  // Without --out the listing goes to the home folder.
  r = runCli({"--home", dir.path().string(), "bonds", doc});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::readFile(dir.file("BONDS.OUT")), all);
}

TEST(BondsCli, RefusesBadOptions) {
  const std::string doc = test::exampleDocument().string();
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"bonds"}, {"bonds", doc, "--limit"}, {"bonds", doc, "--limit", "x"},
        {"bonds", doc, "--limit", "200"}, {"bonds", doc, "--atom", "one"}, {"bonds", doc, "--bogus"},
        {"bonds", doc, "extra"}}) {
    const auto r = runCli(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_NE(r.err.find("usage: tessera-cli bonds IN"), std::string::npos);
  }
  test::ScratchDir dir;
  const auto r = runCli({"bonds", dir.file("missing.tsr"), "--out", dir.file("b.out")});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("b.out")));
  // A folder that cannot take the file: the failure is reported.
  const auto w = runCli({"bonds", doc, "--out", dir.file("no/such/folder/b.out")});
  EXPECT_EQ(w.code, 1);
  EXPECT_NE(w.err.find("Report file write failed"), std::string::npos);
}

}  // namespace
}  // namespace tessera
