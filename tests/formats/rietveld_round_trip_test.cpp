#include <gtest/gtest.h>

#include <functional>

#include "formats/import_kinds.h"
#include "formats/rietveld_checks.h"
#include "support/structures.h"
#include "support/test_session.h"

namespace tessera {
namespace {

/// A complete control file around a written phase block: instrument lines before it,
/// the profile lines 11-5-1 to 11-6-2 before its cell line, lines 11-7-2 to 11-8-2 after.
std::string completeControlFile(const std::string& block) {
  const std::string header =
      "COMM round trip\n"
      "0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
      "0 0 0 0 0\n"
      "1.5406 1.5444 0.5\n"
      "20 0.1\n"
      "0.0\n"
      "0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0\n"
      "0.0 0.0\n"
      "0.0 0.0\n";
  const std::string profile =
      "1.0 0.0 0.0 0.0 0.0 0.0 0\n0.0 0.0 0.0 0.0 0.0 0.0\n0.01 0.0 0.0 0.0 0.0 0.0 0.0 0\n0.0 0.0 0.0\n";
  const std::size_t cell = block.find("\n! Line 11-7-1");
  return header + block.substr(0, cell + 1) + profile + block.substr(cell + 1) + "0 0 0 0 0 0\n0.0 0.0\n0 0\n";
}

struct Format {
  const char* command;
  int kind;
  const char* file;
  test::RoundTripPrecision precision;
};

/// Writes the document with a format's writer and reads the file back with its reader.
void roundTrip(const CrystalDocument& doc, const Format& f, const std::function<void(CrystalDocument&)>& check) {
  test::ScratchDir dir;
  test::TestSession writer;
  writer.document = doc;
  ASSERT_TRUE(writer.exportTo(f.command, dir.path() / f.file));
  if (f.kind == kKindFullprof)
    test::writeFile(dir.path() / f.file, completeControlFile(test::readFile(dir.path() / f.file)));
  test::TestSession reader;
  ASSERT_TRUE(reader.import(f.kind, dir.path() / f.file));
  check(reader.document);
}

const std::vector<Format>& formats() {
  static const std::vector<Format> all = {
      {"gsas", kKindGsas, "t.exp", {}},
      {"fullprof", kKindFullprof, "t.pcr", {1e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-6f}},
      {"rietan", kKindRietan, "t.xyz", {5e-5f, 3e-6f, 5e-6f, 1e-4f, 1e-6f}},
      {"dbws", kKindDbws, "t.dbw", {5e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-5f}},
      {"lhpm", kKindLhpm, "t.lhp", {5e-5f, 3e-6f, 5e-6f, 1e-4f, 5e-5f}},
  };
  return all;
}

TEST(RietveldRoundTrip, FourStructuresThroughEveryFormat) {
  const std::vector<std::pair<const char*, CrystalDocument>> structures = {
      {"rock salt", test::rockSalt()}, {"quartz", test::quartz()}, {"corundum", test::corundum()},
      {"P21/c aniso", test::monoclinic()}};
  for (const Format& f : formats())
    for (const auto& [name, structure] : structures) {
      SCOPED_TRACE(std::string(f.command) + " " + name);
      const CrystalDocument& doc = structure;  // clang 14 cannot capture a structured binding
      roundTrip(doc, f, [&](CrystalDocument& read) { test::expectSameStructure(doc, read, f.precision); });
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
  for (const Format& f : formats()) {
    SCOPED_TRACE(f.command);
    roundTrip(doc, f, [&](CrystalDocument& read) {
      test::expectSameStructure(doc, read, f.precision);
      ASSERT_EQ(read.sites[0][0].occupants.size(), 2u);
      EXPECT_EQ(read.sites[0][0].occupants[1].typeNumber, 19);
    });
  }
}

}  // namespace
}  // namespace tessera
