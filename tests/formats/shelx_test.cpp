#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "formats/format_helpers.h"
#include "formats/import_finish.h"
#include "formats/import_kinds.h"
#include "formats/shelx_common.h"
#include "support/builders.h"
#include "support/site_checks.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// SHELX text imported through a scratch file.
test::Imported shelx(const std::string& text) { return test::Imported(kKindShelx, text, "t.ins"); }

const char* kP1Head = "TITL t\nCELL 0.71 5 6 7 90 90 90\nLATT -1\n";

TEST(ShelxReader, RealWorldResultFileMatchesGolden) {
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindShelx, test::fixture("formats/shelx/disorder.res")));
  EXPECT_EQ(test::documentDump(s.document), test::readFile(test::fixture("formats/shelx/disorder.expected")));
  // No question for any instruction of a current result file, no mixture warning for
  // isotropic hydrogens beside anisotropic atoms, and the peaks before HKLF counted once.
  EXPECT_TRUE(s.ui.questions().empty());
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"2 residual-density peaks (Q) skipped"});
}

TEST(ShelxReader, FreeVariableRule) {
  const std::vector<double> fv = {1.0, 0.3, 0.8};
  for (const auto& [coded, value] : {std::pair(0.25, 0.25), std::pair(-10.25, -0.25), std::pair(21.0, 0.3),
                                     std::pair(-21.0, 0.7), std::pair(30.5, 0.4), std::pair(-30.5, 0.1)})
    EXPECT_NEAR(decodeFreeVariable(coded, fv), value, 1e-12) << coded;
  int missing = 0;
  EXPECT_NEAR(decodeFreeVariable(41.0, fv, &missing), 1.0, 1e-12);
  EXPECT_EQ(missing, 4);

  // Occupancy, coordinates and the isotropic U all decode; 21/-21 partners add up to one.
  test::Imported r = shelx(std::string(kP1Head) +
                "FVAR 1.0 0.62\n"
                "C1 1 10.1 0.2 0.3 21.0 10.045\n"
                "C2 1 0.5 0.5 0.5 -21.0 0.03\n"
                "C3 1 0.1 0.1 0.9 41.0 0.03\n");
  ASSERT_EQ(r.sites().size(), 3u);
  EXPECT_NEAR(r.site(0).x, 0.1f, 1e-6);
  EXPECT_NEAR(r.site(0).isoValue, 0.045f, 1e-6);
  EXPECT_NEAR(r.occupancy(0), 0.62f, 1e-6);
  EXPECT_NEAR(r.occupancy(1), 0.38f, 1e-6);
  EXPECT_NEAR(r.occupancy(2), 1.0f, 1e-6);
  EXPECT_TRUE(r.s.ui.saw("Free variable 4 not defined - taken as 1.0"));
}

TEST(ShelxReader, RidingHydrogensTakeTheUeqOfTheirCarrier) {
  test::Imported r = shelx(std::string(kP1Head) +
                "H0 2 0.1 0.1 0.1 11 -1.2\n"     // nothing to ride on: no factor
                "C1 1 0.2 0.2 0.2 11 0.02 0.03 0.04 0 0 0\n"
                "H1 2 0.3 0.3 0.3 11 -1.5\n"
                "H2 2 0.3 0.3 0.4 11 -1.2\n"     // still rides on C1, not on H1
                "O1 4 0.4 0.4 0.4 11 -0.4\n"     // outside -5..-0.5: an ordinary value
                "O2 4 0.4 0.4 0.5 11 0.04\n"
                "H3 2 0.5 0.5 0.5 11 -2.0\n");
  const auto& s = r.sites();
  ASSERT_EQ(s.size(), 7u);
  EXPECT_EQ(std::pair(s[0].ortepType, s[2].ortepType), std::pair(-1, 10));
  EXPECT_NEAR(s[2].isoValue, 1.5f * 0.03f, 1e-6);  // orthogonal cell: Ueq = mean of the diagonal
  EXPECT_NEAR(s[3].isoValue, 1.2f * 0.03f, 1e-6);
  EXPECT_NEAR(s[4].isoValue, -0.4f, 1e-6);
  EXPECT_NEAR(s[6].isoValue, 2.0f * 0.04f, 1e-6);
}

TEST(ShelxReader, RemarksAndSkippedInstructions) {
  test::Imported r = shelx(std::string(kP1Head) +
                "REM R1 = 0.045 for 1000 data\n"
                "FVAR 1.0 0.4\n"
                "rem lower case, also with = sign\n"
                "SAME_RES C1 C2\n"
                "RIGU\nHTAB\nNCSY 1\nXNPD 0.001\nABIN\nTWST 1\n"
                "C1 1 0 0 0 21.0 0.02 ! comment = not a continuation\n"
                "qx 1 0.1 0.2 0.3 11 0.05\n");
  EXPECT_TRUE(r.s.ui.questions().empty());
  ASSERT_EQ(r.sites().size(), 2u);
  EXPECT_NEAR(r.occupancy(0), 0.4f, 1e-6);
  EXPECT_EQ(r.site(1).label, "qx");  // not a peak: Q followed by letters
  EXPECT_TRUE(IsSkippedInstruction(defaultShelxSkipTable(), "rem"));
  ProgramSettings stored;
  stored.shelxSkipTable = {"ZERR", "MYOWN"};  // an older table gains the current instructions
  ensureShelxSkipTable(stored);
  EXPECT_TRUE(IsSkippedInstruction(stored.shelxSkipTable, "RIGU"));
  EXPECT_EQ(stored.shelxSkipTable[1], "MYOWN");
  EXPECT_FALSE(IsSkippedInstruction(defaultShelxSkipTable(), "REMARK 1 2 3 4"));
}

TEST(ShelxReader, UninterpretableLineOffersToExtendTheSkipTable) {
  const std::string text = std::string(kP1Head) + "ZZZZ 1 2\nC1 1 0 0 0\n";
  test::Imported first = shelx(text);
  EXPECT_EQ(first.s.ui.questions(),
            std::vector<std::string>{"The line \"ZZZZ 1 2\" - cannot be interpreted - do youwant to add \"ZZZZ\" to the "
                                     "list of commands to be ignored ?"});
  EXPECT_EQ(first.s.settings.shelxSkipTable.back(), "ZZZZ");
  // The table lives in the settings: the next import asks nothing.
  test::TestSession& s = first.s;
  s.ui.events.clear();
  s.ui.answers.push_back(Answer::No);  // do not save the first import
  ASSERT_TRUE(s.import(kKindShelx, first.dir.path() / "t.ins"));
  EXPECT_EQ(s.ui.questions(), std::vector<std::string>{"Save changes to " + (first.dir.path() / "t.tsr").string() + " ?"});
}

TEST(ShelxReader, LatticeAndSymmetryLines) {
  // A P-1 file has only LATT 1: its identity line makes it P-1, not the default P1.
  test::Imported pbar1 = shelx("TITL t\nCELL 0.71 5 6 7 80 85 95\nLATT 1\nC1 1 0.1 0.2 0.3\nEND\n");
  const CrystalRecord& c = pbar1.s.document.crystals[0];
  EXPECT_EQ(c.symmetrySource, 4);
  EXPECT_EQ(c.acentric, 0);
  EXPECT_EQ(c.xyzLines, std::vector<std::string>{"X,Y,Z; "});
  EXPECT_EQ(c.sgNumber, 2);

  test::Imported cface = shelx("TITL t\nCELL 0.71 5 6 7 90 90 90\nLATT -7\nSYMM -x, y, -z\nC1 1 0.1 0.2 0.3\n");
  const CrystalRecord& cc = cface.s.document.crystals[0];
  EXPECT_EQ(cc.xyzLines.back(), "-x,y,-z");
  EXPECT_EQ(std::tuple(cc.latticeCode, cc.acentric, cc.sgNumber), std::tuple(4, 1, 5));
  EXPECT_TRUE(cface.s.ui.saw("End of file or read error"));  // no END in the main file

  test::Imported none = shelx("TITL t\nCELL 0.71 5 6 7 90 90 90\nC1 1 0.1 0.2 0.3 10.5\nEND\n");
  EXPECT_TRUE(none.s.ui.saw("LATT command not found - centric P lattice will be assumed"));
  EXPECT_EQ(none.s.document.crystals[0].acentric, 0);
  // A general position of P-1 has two copies: the factor 0.5 is half occupied.
  EXPECT_NEAR(none.occupancy(0), 0.5f, 1e-6);

  test::Imported bad = shelx("TITL t\nCELL 0.71 5 6\nLATT 9\nC1 1 0.1 0.2 0.3\nEND\n");
  EXPECT_TRUE(bad.s.ui.saw("Error reading CELL line"));
  EXPECT_TRUE(bad.s.ui.saw("Error reading LATT line"));
  EXPECT_TRUE(bad.s.ui.saw("Unit-cell not found - Cartesian axes will be used"));
}

TEST(ShelxReader, ContinuationFragmentsAndTitle) {
  test::Imported r = shelx("TITL first = second ! comment\nCELL 0.71 5 6 7 =\n   90 90 90\nLATT -1\n"
                "FRAG 17 1 1 1 90 90 90\nC9 1 0.5 0.5 0.5\nFEND\n"
                "    indented lines are skipped\n"
                "EXYZ C1 N1\nEXYZ C2 N2\n"
                "C1 1 0.1 0.2 0.3 11.0 0.02 0.03 =\n 0.04 0.001 0.002 0.003\nHKLF 4\nC2 1 0 0 0\n");
  EXPECT_EQ(r.s.document.title, "first = second");
  EXPECT_FLOAT_EQ(r.s.document.crystals[0].cell[2], 7.0f);
  ASSERT_EQ(r.sites().size(), 1u);
  EXPECT_EQ(r.site(0).ortepType, 8);
  EXPECT_FLOAT_EQ(r.site(0).aniso[2], 0.04f);
  EXPECT_FLOAT_EQ(r.site(0).aniso[3], 0.003f);  // U12, last on the line
  EXPECT_FLOAT_EQ(r.site(0).aniso[5], 0.001f);  // U23
}

TEST(ShelxReader, IncludeFiles) {
  test::ScratchDir dir;
  std::filesystem::create_directories(dir.path() / "sub");
  test::writeFile(dir.path() / "main.ins",
                  std::string(kP1Head) + "+sub/atoms.inc\n+missing.inc\nC9 1 0.9 0.9 0.9\nEND\n");
  // No END in the include: its end of file returns quietly to the including file; the
  // nested name is relative to the include's own folder.
  test::writeFile(dir.path() / "sub" / "atoms.inc", "C1 1 0.1 0.1 0.1\n+more.inc\n");
  test::writeFile(dir.path() / "sub" / "more.inc", "C2 1 0.2 0.2 0.2\nEND\nC3 1 0 0 0\n");
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindShelx, dir.path() / "main.ins"));
  std::vector<std::string> labels;
  for (const Site& site : s.document.sites[0]) labels.push_back(site.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"C1", "C2", "C9"}));
  EXPECT_EQ(s.ui.messages(), std::vector<std::string>{"Open failed for include file \"missing.inc\""});

  // A chain deeper than five files stops at the limit.
  for (int k = 1; k <= 7; ++k)
    test::writeFile(dir.path() / ("d" + std::to_string(k) + ".inc"),
                    "D" + std::to_string(k) + " 1 0.1 0.1 0." + std::to_string(k) + "\n+d" + std::to_string(k + 1) + ".inc\n");
  test::writeFile(dir.path() / "deep.ins", std::string(kP1Head) + "+d1.inc\nEND\n");
  test::TestSession deep;
  ASSERT_TRUE(deep.import(kKindShelx, dir.path() / "deep.ins"));
  EXPECT_EQ(deep.document.siteCount(), 4);
  EXPECT_TRUE(deep.ui.saw("Limit reached for nested include files: 5"));
}

/// A C2/m structure held as a document ready for export.
CrystalDocument centred() {
  CrystalDocument doc = test::p1Document("centred", {9.0f, 8.0f, 5.0f, kRightAngle, 110.0f * kDegToRad, kRightAngle});
  CrystalRecord& c = doc.crystals[0];
  c.hmSymbol = "C 1 2/m 1";
  c.xyzLines = {"-X,Y,-Z; ", "X,Y,Z; "};  // the identity need not come first
  c.acentric = 0;
  c.latticeName = "C";
  c.latticeCode = 4;
  Site general = test::siteAt("Fe1", 0.1f, 0.2f, 0.3f, 26);
  general.ortepType = 8;
  general.aniso = {0.011f, 0.012f, 0.013f, 0.001f, 0.002f, 0.003f};
  general.occupants.push_back(general.occupants[0]);
  general.occupants[0].element = "Fe";
  general.occupants[0].occupancy = 0.6f;
  general.occupants[1].label = "Ni1";
  general.occupants[1].element = "Ni";
  general.occupants[1].occupancy = 0.4f;
  Site origin = test::siteAt("O1", 0.0f, 0.0f, 0.0f, 8);
  origin.ortepType = -1;
  origin.occupants[0].element = "O";
  doc.sites[0] = {general, origin};
  doc.tfMix = 5;  // aniso and a site without a factor
  return doc;
}

TEST(ShelxWriter, GoldenFileFromARealResultFileAndItsReadingBack) {
  test::ScratchDir dir;
  test::TestSession s;
  ASSERT_TRUE(s.import(kKindShelx, test::fixture("formats/shelx/disorder.res")));
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "out.ins"));
  const std::string written = test::readFile(dir.path() / "out.ins");
  EXPECT_EQ(written, test::readFile(test::fixture("formats/shelx/disorder.out.ins")));
  std::istringstream lines(written);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
  EXPECT_EQ(s.ui.questions(), std::vector<std::string>{"Do you want to write an SFAC line, with new scattering numbers?"});

  test::TestSession back;  // atoms, occupancies and displacements come back
  ASSERT_TRUE(back.import(kKindShelx, dir.path() / "out.ins"));
  test::expectSameSites(s.document.sites[0], back.document.sites[0]);
  EXPECT_EQ(back.document.crystals[0].xyzLines.size(), s.document.crystals[0].xyzLines.size());
  EXPECT_EQ(back.document.crystals[0].acentric, 0);
}

TEST(ShelxWriter, MultiplicitiesCentringOccupantsAndMissingFactors) {
  test::ScratchDir dir;
  test::TestSession s;
  s.document = centred();
  EXPECT_EQ(generalMultiplicity(s.document.crystals[0]), 8);
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "c.ins"));
  EXPECT_EQ(test::readFile(dir.path() / "c.ins"),
            "TITL centred\n"
            "CELL 1.0 9.000000 8.000000 5.000000 90.000000 110.000000 90.000000\n"
            "LATT 7\n"
            "SYMM  -X,Y,-Z  \n"
            "SFAC  Fe Ni O\n"
            "Fe1     1 0.1000 0.2000 0.3000 10.6000000 0.011000 0.012000 =\n"
            "    0.013000 0.003000 0.002000 0.001000\n"
            "Ni1     2 0.1000 0.2000 0.3000 10.4000000 0.011000 0.012000 =\n"
            "    0.013000 0.003000 0.002000 0.001000\n"
            "O1      3 0.0000 0.0000 0.0000 10.2500000\n"
            "END\n");
  EXPECT_EQ(s.document.sites[0][0].occupants[1].scatteringNumber, 2);

  // Only occupant 0 of each site, and lines listing every operator of an off-origin
  // inversion make a negative LATT without doubling the multiplicity.
  s.settings.removeMultipleOccupancies = true;
  s.ui.answers.push_back(Answer::No);  // no SFAC line
  CrystalRecord& c = s.document.crystals[0];
  c.inversionOffOrigin = 1;
  c.xyzLines = {"X,Y,Z; ", "-X,Y,-Z; ", "1/2-X,-Y,-Z; ", "1/2+X,-Y,Z; "};
  EXPECT_EQ(generalMultiplicity(c), 8);
  ASSERT_TRUE(s.exportTo("shelx", dir.path() / "d.ins"));
  const std::string d = test::readFile(dir.path() / "d.ins");
  EXPECT_NE(d.find("LATT -7\n"), std::string::npos);
  EXPECT_EQ(d.find("Ni1"), std::string::npos);
  EXPECT_EQ(d.find("SFAC"), std::string::npos);
}

}  // namespace
}  // namespace tessera
