#include <gtest/gtest.h>

#include <cmath>

#include "core/cell_geometry.h"
#include "formats/import_dialogs.h"
#include "formats/import_kinds.h"
#include "support/structures.h"
#include "support/test_session.h"

namespace tessera {
namespace {

float metricLength(const std::array<float, 3>& v, const Cell& cell) {
  const Mat3 g = directMetric(cell);
  double q = 0;
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) q += v[i] * g[i][j] * v[j];
  return static_cast<float>(std::sqrt(q));
}

/// A monoclinic cell with moments: one whose length is its metric length, one given a
/// length of its own, one zero vector, and an anisotropic site of two occupants.
CrystalDocument magnetic() {
  CrystalDocument doc = test::makeDocument(
      "P 1 21/c 1", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, {5.1f, 6.2f, 7.3f, 90, 101.5f, 90},
      {test::makeSite("Fe1", 26, 0, 0, 0, 0.5f), test::makeSite("Mn1", 25, 0.25f, 0.3f, 0.1f, 0.7f),
       test::makeSite("Co1", 27, 0.5f, 0, 0.5f), test::makeSite("E1", 8, 0.1f, 0.2f, 0.3f)});
  std::vector<Site>& s = doc.sites[0];
  s[0].hasVector = 1;
  s[0].vector = {0.2f, 0.1f, -0.3f};
  s[0].vectorLength = metricLength(s[0].vector, doc.crystals[0].cell);
  s[1].hasVector = 1;
  s[1].vector = {0.0f, 0.5f, 0.5f};
  s[1].vectorLength = 4.5f;
  s[2].hasVector = 1;
  s[2].vectorLength = 2.0f;
  s[3].ortepType = 8;
  s[3].tfClass = 2;
  s[3].aniso = {0.021f, 0.034f, 0.027f, -0.004f, 0.006f, -0.003f};
  s[3].occupants[0].occupancy = 0.6f;
  s[3].occupants.push_back(s[3].occupants[0]);
  s[3].occupants[1].label = "N1";
  s[3].occupants[1].typeNumber = 7;
  s[3].occupants[1].occupancy = 0.4f;
  s[3].hasVector = 1;
  s[3].vector = {0.0f, 0.0f, 0.1f};
  s[3].vectorLength = 0.73f;
  return doc;
}

TEST(Gsas, GoldenFileAndMomentsReadBackWithTheirLengths) {
  test::ScratchDir dir;
  test::TestSession w;
  w.document = magnetic();
  ASSERT_TRUE(w.exportTo("gsas", dir.path() / "m.exp"));
  const std::string written = test::readFile(dir.path() / "m.exp");
  EXPECT_EQ(written, test::readFile(test::fixture("formats/gsas/magnetic.exp")));
  EXPECT_EQ(written.find("nan"), std::string::npos);
  // Each occupant of a site with a vector gets its own atom, thermal and moment records.
  EXPECT_NE(written.find("CRS1  AT  5M"), std::string::npos);

  test::TestSession r;
  ASSERT_TRUE(r.import(kKindGsas, dir.path() / "m.exp"));
  const std::vector<Site>& in = w.document.sites[0];
  const std::vector<Site>& out = r.document.sites[0];
  ASSERT_EQ(out.size(), 4u);
  // The vector given with its own length comes back whole.
  for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(out[0].vector[k], in[0].vector[k], 2e-5);
  EXPECT_NEAR(out[0].vectorLength, in[0].vectorLength, 1e-3);
  // A vector of another length keeps its direction and the length given for it.
  EXPECT_NEAR(out[1].vectorLength, 4.5f, 1e-3);
  EXPECT_NEAR(metricLength(out[1].vector, r.document.crystals[0].cell), 4.5f, 1e-3);
  EXPECT_NEAR(out[1].vector[0], 0.0f, 1e-5);
  EXPECT_NEAR(out[1].vector[1], out[1].vector[2], 1e-5);
  // A zero vector is written as zeros.
  EXPECT_EQ(out[2].hasVector, 1);
  EXPECT_EQ(out[2].vector, (std::array<float, 3>{0, 0, 0}));
  // "E1" is a label, not a number in the occupancy's place; the occupants keep theirs.
  EXPECT_EQ(out[3].label, "E1");
  ASSERT_EQ(out[3].occupants.size(), 2u);
  EXPECT_FLOAT_EQ(out[3].occupants[0].occupancy, 0.6f);
  EXPECT_EQ(out[3].occupants[1].label, "N1");
  EXPECT_EQ(out[3].ortepType, 8);
  EXPECT_NEAR(out[3].vector[2], 0.1f, 1e-5);
  EXPECT_EQ(r.document.title, w.document.title);
  EXPECT_EQ(r.document.crystals[0].hmSymbol, "P 1 21/c 1");
}

TEST(Gsas, ReaderPhasesTitleSymbolAndPerAtomFactors) {
  test::ScratchDir dir;
  // Two phases; the second has a long symbol, an atom without a thermal line after one
  // with U, a thermal line flagged A with too few numbers, and no atom count.
  test::writeFile(dir.path() / "two.exp",
                  "CRS1    PNAM  first phase\n"
                  "CRS1  ABC     5.000000  5.000000  5.000000    Y    0\n"
                  "CRS1  ANGLES   90.0000   90.0000   90.0000    Y    0\n"
                  "CRS1  AT  1A  Na        0.000000  0.000000  0.000000  1.000000Na1       4 000\n"
                  "CRS1  SG SYM  F m -3 m\n"
                  "CRS2    PNAM  second phase\n"
                  "CRS2   NATOM\n"
                  "CRS2  ABC     6.000000  7.000000  8.000000    Y    0\n"
                  "CRS2  ANGLES   90.0000   90.0000   90.0000    Y    0\n"
                  "CRS2  AT  1A  O         0.100000  0.200000  0.300000  1.000000O1        8 000\n"
                  "CRS2  AT  1B  0.025000  0.000000  0.000000  0.000000  0.000000  0.000000  I XU\n"
                  "CRS2  AT  2A  C         0.400000  0.500000  0.600000  0.500000C1        8 000\n"
                  "CRS2  AT  3A  N         0.700000  0.800000  0.900000  1.000000N1        8 000\n"
                  "CRS2  AT  3B  0.025000  0.030000                                          A XU\n"
                  "CRS2  SG SYM  P 42/n n m :2\n");
  test::TestSession s;
  s.ui.dialogs.push_back([](DialogModel&) { return true; });  // the import options
  s.ui.dialogs.push_back([](DialogModel& m) {
    if (auto* d = dynamic_cast<DataSetModel*>(&m)) d->selection = 2;
    return true;
  });
  ASSERT_TRUE(s.import(kKindGsas, dir.path() / "two.exp"));
  EXPECT_EQ(s.document.title, "second phase");
  const CrystalRecord& c = s.document.crystals[0];
  EXPECT_FLOAT_EQ(c.cell[1], 7.0f);
  // The whole symbol, origin choice included, past the first twelve characters.
  EXPECT_EQ(c.hallSymbol, "-P 4ac 2bc");
  const std::vector<Site>& sites = s.document.sites[0];
  ASSERT_EQ(sites.size(), 3u);
  EXPECT_EQ(sites[0].ortepType, 10);
  EXPECT_EQ(sites[1].ortepType, -1);
  EXPECT_FLOAT_EQ(sites[1].occupants[0].occupancy, 0.5f);
  EXPECT_EQ(sites[2].ortepType, -1);
}

}  // namespace
}  // namespace tessera
