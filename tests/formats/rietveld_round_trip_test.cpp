// The Rietveld formats written and read back, and the FULLPROF control-file reader.

#include <gtest/gtest.h>

#include "formats/format_helpers.h"
#include "formats/import_kinds.h"
#include "support/structures.h"

namespace tessera {
namespace {

/// The instrument lines of a FULLPROF control file with n phases (third control integer).
std::string header(int phases) {
  return "COMM two phases\n0 0 " + std::to_string(phases) +
         " 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n0 0 0\n1.5406 1.5444 0.5\n20 0.1\n0.0\n"
         "0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0\n0.0 0.0\n0.0 0.0\n";
}

/// One phase in the atom format 10 with its profile, cell and closing lines.
std::string phase(const std::string& name, const std::string& atoms, int count, const std::string& cell) {
  return name + "\n" + std::to_string(count) + " 0 0 0.0 0.0 0.0 10 0 0 0 0 0.0 0 0 0\nP 1 21/c 1\n" + atoms +
         "1.0 0 0 0 0 0 0\n0 0\n0.01 0 0 0 0 0 0 0\n0 0\n" + cell + "\n0 0\n0 0\n0 0\n";
}

/// A written FULLPROF phase block made a complete control file: the instrument lines before
/// it, the profile lines 11-5-1 to 11-6-2 before its cell line, lines 11-7-2 to 11-8-2 after.
std::string completeControlFile(const std::string& block) {
  const std::string profile =
      "1.0 0.0 0.0 0.0 0.0 0.0 0\n0.0 0.0 0.0 0.0 0.0 0.0\n0.01 0.0 0.0 0.0 0.0 0.0 0.0 0\n0.0 0.0 0.0\n";
  const std::size_t cell = block.find("\n! Line 11-7-1");
  return header(1) + block.substr(0, cell + 1) + profile + block.substr(cell + 1) + "0 0 0 0 0 0\n0.0 0.0\n0 0\n";
}

struct Format {
  const char* command;
  int kind;
  test::RoundTripPrecision precision;
};
const Format kFormats[] = {{"gsas", kKindGsas, {}},
                           {"fullprof", kKindFullprof, {1e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-6f}},
                           {"rietan", kKindRietan, {5e-5f, 3e-6f, 5e-6f, 1e-4f, 1e-6f}},
                           {"dbws", kKindDbws, {5e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-5f}},
                           {"lhpm", kKindLhpm, {5e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-5f}}};

/// Writes the document with a format's writer and reads the file back with its reader.
void roundTrip(const CrystalDocument& doc, const Format& f, test::TestSession& back) {
  std::string text = test::exportText(doc, f.command);
  if (f.kind == kKindFullprof) text = completeControlFile(text);
  test::Imported read(f.kind, text);
  ASSERT_TRUE(read.ok) << text;
  back.document = read.s.document;
}

TEST(RietveldRoundTrip, FourStructuresThroughEveryFormat) {
  const std::vector<std::pair<const char*, CrystalDocument>> structures = {
      {"rock salt", test::rockSalt()}, {"quartz", test::quartz()}, {"corundum", test::corundum()},
      {"P21/c aniso", test::monoclinic()}};
  for (const Format& f : kFormats)
    for (const auto& [name, doc] : structures) {
      SCOPED_TRACE(std::string(f.command) + " " + name);
      test::TestSession back;
      roundTrip(doc, f, back);
      test::expectSameStructure(doc, back.document, f.precision);
    }
}

TEST(RietveldRoundTrip, OccupantsAndCustomCentredSymmetry) {
  // A mixed site of two occupants, and symmetry given as custom lines of a centred
  // lattice whose symbol does not name the lattice.
  CrystalDocument doc = test::rockSalt();
  Site& na = doc.sites[0][0];
  na.occupants.push_back(na.occupants[0]);
  na.occupants[0].occupancy = 0.75f;
  na.occupants[1].label = "K1";
  na.occupants[1].typeNumber = 19;
  na.occupants[1].occupancy = 0.25f;
  doc.crystals[0].symmetrySource = 4;
  doc.crystals[0].hmSymbol = "custom";
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.command);
    test::TestSession back;
    roundTrip(doc, f, back);
    test::expectSameStructure(doc, back.document, f.precision);
    ASSERT_EQ(back.document.sites[0][0].occupants.size(), 2u);
    EXPECT_EQ(back.document.sites[0][0].occupants[1].typeNumber, 19);
  }
}

TEST(Fullprof, GoldenBlockWithVectorAndAnisotropicLines) {
  CrystalDocument doc = test::monoclinic();
  doc.sites[0][0].hasVector = 1;
  doc.sites[0][0].vector = {0.5f, 0.0f, -0.25f};
  EXPECT_EQ(test::exportText(doc, "fullprof"), test::readFile(test::fixture("formats/fullprof/monoclinic.pcr")));
}

TEST(Fullprof, OccupanciesOnTheGeneralPositionAndCustomOperators) {
  // I 4/m m m: G = 8 lines x 2 x 2 = 32; a site of multiplicity 16 and occupancy 1 gives 0.5.
  CrystalDocument doc = test::makeDocument(
      "I 4/m m m", {"X,Y,Z;", "-X,-Y,Z;", "-Y,X,Z;", "Y,-X,Z;", "-X,Y,-Z;", "X,-Y,-Z;", "Y,X,-Z;", "-Y,-X,-Z;"}, 0, 6,
      {4, 4, 9, 90, 90, 90}, {test::makeSite("O1", 8, 0, 0.1f, 0.2f)});
  std::string out = test::exportText(doc, "fullprof");
  EXPECT_NE(out.find("O1   O    0 0  0.000000  0.100000  0.200000 1.000000 0.500000 0\n"), std::string::npos);
  EXPECT_NE(out.find("1 0 0 0.0 0.0 0.0 10 0 0 0 0 0.0 0 0 0\n"), std::string::npos);
  EXPECT_EQ(out.find("SYMM"), std::string::npos);
  EXPECT_EQ(out.find("11-3-1"), std::string::npos);

  doc.crystals[0].symmetrySource = 4;
  out = test::exportText(doc, "fullprof");
  EXPECT_NE(out.find("1 0 0 0.0 0.0 0.0 10 0 -1 0 0 0.0 0 0 0\n"), std::string::npos);
  EXPECT_NE(out.find("\n16 2 0 0\n"), std::string::npos);  // every centring copy: 8 lines x 2 translations
  EXPECT_NE(out.find("SYMM  -Y,X,Z \n"), std::string::npos);
  EXPECT_NE(out.find("SYMM  1/2-Y,1/2-X,1/2-Z\n"), std::string::npos);
}

TEST(Fullprof, PhaseChoiceIsotropicBetaAndLineLabels) {
  const std::string atoms1 = "Na1  Na   0 0  0.000000  0.000000  0.000000 1.000000 0.500000 0\n0 0 0 0 0\n";
  // A beta line whose beta22 is zero leaves the site isotropic.
  const std::string atoms2 =
      "O1   O    0 0  0.100000  0.200000  0.300000 0.800000 1.000000 2\n0 0 0 0 0\n"
      "0.01 0.0 0.02 0.0 0.0 0.0\n0 0 0 0 0 0\n"
      "C1   C    0 0  0.400000  0.500000  0.600000 0.700000 1.000000 2\n0 0 0 0 0\n"
      "0.01 0.02 0.03 0.001 0.002 0.003\n0 0 0 0 0 0\n";
  test::Imported s(kKindFullprof,
                   header(2) + phase("first", atoms1, 1, "5 5 5 90 90 90") + phase("second", atoms2, 2, "6 7 8 90 100 90"),
                   "two.pcr", 2);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.offered, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(s.s.document.title, "two phases");
  EXPECT_FLOAT_EQ(s.crystal().cell[1], 7.0f);
  ASSERT_EQ(s.sites().size(), 2u);
  EXPECT_EQ(s.site(0).ortepType, 6);
  EXPECT_FLOAT_EQ(s.site(0).isoValue, 0.8f);
  EXPECT_EQ(s.site(1).ortepType, 0);

  // The third control integer 0 counts as one phase; a file cut inside its atoms names the line.
  test::Imported one(kKindFullprof, header(0) + phase("only", atoms1, 1, "5 5 5 90 90 90"));
  ASSERT_TRUE(one.ok);
  EXPECT_EQ(one.sites().size(), 1u);
  test::Imported cut(kKindFullprof, header(1) + phase("only", atoms2, 2, "5 5 5 90 90 90").substr(0, 55));
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(cut.messages(), std::vector<std::string>{"Error reading file - line: 11.410000"});

  // Nine phases: the excess is ignored, with a message.
  test::Imported nine(kKindFullprof, header(9) + phase("only", atoms1, 1, "5 5 5 90 90 90"));
  EXPECT_FALSE(nine.ok);
  EXPECT_TRUE(nine.saw(" Number of phases larger than 8 - excess ignored"));
  EXPECT_TRUE(nine.saw("Error reading file - line: 11.100000"));
}

TEST(Fullprof, OperatorsGivenAsMatricesWithMagneticLines) {
  // Symmetry flag 1: each operator as three rows (x, y, z coefficients, translation),
  // then the one extra line per operator the fourth integer of line 11-3-1 asks for.
  std::string text = phase("mono", "O1   O    0 0  0.100000  0.200000  0.300000 0.800000 1.000000 0\n0 0 0 0 0\n", 1,
                           "5 6 7 90 101 90");
  text.replace(text.find(" 10 0 0 0"), 9, " 10 0 1 0");
  text.insert(text.find("O1 "),
              "2 2 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\nmagnetic part\n-1 0 0 0\n0 1 0 0.5\n0 0 -1 0.5\nmagnetic part\n");
  test::Imported r(kKindFullprof, header(1) + text);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.crystal().acentric, 0);
  ASSERT_EQ(r.crystal().lineCount(), 2);
  EXPECT_EQ(r.crystal().symmetrySource, 4);
  EXPECT_EQ(r.sites().size(), 1u);
}

}  // namespace
}  // namespace tessera
