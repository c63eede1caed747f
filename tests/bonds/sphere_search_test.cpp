// The cell-list search against the plain loops, and the search's rules against
// neighbour lists computed without the bond code.
#include <gtest/gtest.h>

#include <random>

#include "bonds/neighbour_list.h"
#include "bonds/reference_bonds.h"
#include "bonds/sphere_search.h"
#include "core/scripted_user_interface.h"
#include "support/structures.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {
namespace {

using test::TranslationBounds;

/// Prepares a crystal's operator table as the calculation does.
void build(CrystalRecord& crystal) {
  ScriptedUserInterface ui;
  BuildSymmetryMatrices(crystal, ui);
}

CoordinationSphere fastSphere(const CrystalRecord& crystal, const std::vector<Site>& sites, int central, float limit) {
  return SphereSearch(crystal, sites, *bondMetric(crystal.cell), limit).sphereOf(central);
}

std::vector<double> distancesOf(const CoordinationSphere& sphere) {
  std::vector<double> d;
  for (const SphereEntry& e : sphere.entries) d.push_back(e.distance);
  std::sort(d.begin(), d.end());
  return d;
}

void expectSameDistances(const std::vector<double>& actual, const std::vector<double>& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 2e-4) << what << " entry " << i;
}

::testing::AssertionResult sameSphere(const CoordinationSphere& a, const CoordinationSphere& b) {
  if (a.overfull != b.overfull) return ::testing::AssertionFailure() << "overfull differs";
  if (a.entries.size() != b.entries.size())
    return ::testing::AssertionFailure() << a.entries.size() << " entries against " << b.entries.size();
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    const SphereEntry &x = a.entries[i], &y = b.entries[i];
    if (x.atom != y.atom || x.distance != y.distance || x.position != y.position)
      return ::testing::AssertionFailure() << "entry " << i + 1 << ": atom " << x.atom << " at " << x.distance
                                           << " against atom " << y.atom << " at " << y.distance;
  }
  return ::testing::AssertionSuccess();
}

struct Symmetry {
  const char* name;
  std::vector<std::string> lines;
  int acentric, lattice, offOrigin;
  Cell (*cell)(std::mt19937&);
};

float uniform(std::mt19937& rng, float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); }

Cell triclinic(std::mt19937& r) {
  return {uniform(r, 3, 9), uniform(r, 3, 9), uniform(r, 3, 9), uniform(r, 70, 110) * kDegToRad,
          uniform(r, 70, 110) * kDegToRad, uniform(r, 70, 110) * kDegToRad};
}
Cell monoclinicCell(std::mt19937& r) {
  return {uniform(r, 3, 9), uniform(r, 3, 9), uniform(r, 3, 9), kRightAngle, uniform(r, 92, 115) * kDegToRad, kRightAngle};
}
Cell hexagonal(std::mt19937& r) {
  const float a = uniform(r, 3, 8);
  return {a, a, uniform(r, 3, 14), kRightAngle, kRightAngle, kAngle120};
}
Cell tetragonal(std::mt19937& r) {
  const float a = uniform(r, 3, 8);
  return {a, a, uniform(r, 3, 9), kRightAngle, kRightAngle, kRightAngle};
}
Cell cubic(std::mt19937& r) {
  const float a = uniform(r, 4, 7);
  return {a, a, a, kRightAngle, kRightAngle, kRightAngle};
}

const std::vector<Symmetry>& symmetries() {
  static const std::vector<Symmetry> list = {
      {"P 1", {"X,Y,Z;"}, 1, 1, 0, triclinic},
      {"P -1", {"X,Y,Z;"}, 0, 1, 0, triclinic},
      {"P 21/c", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, 0, monoclinicCell},
      {"C 2/c", {"X,Y,Z;", "-X,Y,1/2-Z;"}, 0, 4, 0, monoclinicCell},
      {"P 32 2 1", {"X,Y,Z;", "-Y,X-Y,2/3+Z;", "-X+Y,-X,1/3+Z;", "Y,X,-Z;", "X-Y,-Y,1/3-Z;", "-X,-X+Y,2/3-Z;"}, 1, 1, 0, hexagonal},
      {"R -3 c", {"X,Y,Z;", "-Y,X-Y,Z;", "-X+Y,-X,Z;", "Y,X,1/2-Z;", "X-Y,-Y,1/2-Z;", "-X,-X+Y,1/2-Z;"}, 0, 7, 0, hexagonal},
      {"P 1 (S)", {"X,Y,Z;"}, 1, 8, 0, hexagonal},
      {"P -1 (T)", {"X,Y,Z;"}, 0, 9, 0, hexagonal},
      {"P 4/n origin 1",
       {"X,Y,Z;", "-X,-Y,Z;", "-Y,X,Z;", "Y,-X,Z;", "1/2-X,1/2-Y,-Z;", "1/2+X,1/2+Y,-Z;", "1/2+Y,1/2-X,-Z;", "1/2-Y,1/2+X,-Z;"},
       0, 1, 1, tetragonal},
      {"I 41/a", {"X,Y,Z;", "-X,1/2-Y,Z;", "3/4-Y,1/4+X,1/4+Z;", "3/4+Y,3/4-X,3/4+Z;"}, 0, 6, 0, tetragonal},
      {"F m -3 m", test::rockSalt().crystals[0].xyzLines, 0, 5, 0, cubic},
  };
  return list;
}

/// A random structure under one of the symmetries: coordinates inside and outside the
/// cell, atoms on special positions and atoms sharing a position.
CrystalDocument randomStructure(std::mt19937& rng, const Symmetry& s) {
  std::vector<Site> sites;
  // Few atoms in the groups with many operators keep the plain loops quick.
  const int count = std::uniform_int_distribution<int>(1, s.lines.size() > 8 ? 3 : 6)(rng);
  for (int i = 0; i < count; ++i) {
    const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
    float x = uniform(rng, 0, 1), y = uniform(rng, 0, 1), z = uniform(rng, 0, 1);
    if (kind == 0) x = y = z = 0.0f;                            // on the inversion centre
    if (kind == 1) z = 0.25f;                                   // on a mirror or two-fold axis of some groups
    if (kind == 2) { x += std::uniform_int_distribution<int>(-2, 2)(rng); y -= 1.0f; }  // stored outside the cell
    if (kind == 3 && !sites.empty()) { x = sites.back().x; y = sites.back().y; z = sites.back().z; }  // shares a position
    sites.push_back(test::makeSite("A" + std::to_string(i + 1), 6 + i, x, y, z));
  }
  const Cell cell = s.cell(rng);
  const Cell degrees = {cell[0], cell[1], cell[2], cell[3] / kDegToRad, cell[4] / kDegToRad, cell[5] / kDegToRad};
  CrystalDocument doc = test::makeDocument(s.name, s.lines, s.acentric, s.lattice, degrees, sites);
  doc.crystals[0].cell = cell;
  doc.crystals[0].inversionOffOrigin = s.offOrigin;
  build(doc.crystals[0]);
  return doc;
}

TEST(SphereSearch, GivesThePlainLoopsSpheresOnRandomStructures) {
  std::mt19937 rng(20261206);
  int structures = 0, spheres = 0, overfull = 0, entries = 0;
  for (int round = 0; round < 8; ++round) {
    for (const Symmetry& s : symmetries()) {
      CrystalDocument doc = randomStructure(rng, s);
      CrystalRecord& crystal = doc.crystals[0];
      // A molecule or a layer now and then: no translations along some axes.
      if (s.lattice == 1 && s.acentric == 1 && round % 3 != 0)
        crystal.aperiodicAxes = {round % 2, 1, round % 3 == 1 ? 1 : 0};
      // Mostly ordinary limits; now and then one whose sphere holds hundreds.
      const float limit = round % 4 == 3 ? uniform(rng, 8, 11) : uniform(rng, 1.0f, 6.0f);
      const SphereSearch search(crystal, doc.sites[0], *bondMetric(crystal.cell), limit);
      for (int c = 0; c < doc.siteCount(); ++c) {
        const CoordinationSphere expected = test::referenceSphere(crystal, doc.sites[0], c, limit);
        const CoordinationSphere actual = search.sphereOf(c);
        ASSERT_TRUE(sameSphere(actual, expected)) << s.name << " round " << round << " atom " << c + 1 << " limit " << limit;
        ++spheres;
        overfull += expected.overfull;
        entries += static_cast<int>(expected.entries.size());
      }
      ++structures;
    }
  }
  // The comparison saw full spheres, cut ones and empty ones.
  EXPECT_GT(overfull, 10);
  EXPECT_GT(entries, 2000);
  EXPECT_EQ(structures, 8 * static_cast<int>(symmetries().size()));
  EXPECT_GT(spheres, structures);
}

TEST(SphereSearch, EveryNeighbourOfTheExampleStructuresAndNoOther) {
  for (CrystalDocument doc : {test::rockSalt(), test::quartz(), test::corundum(), test::monoclinic()}) {
    CrystalRecord& crystal = doc.crystals[0];
    build(crystal);
    for (float limit : {2.0f, 3.3f, 4.2f}) {
      for (int c = 0; c < doc.siteCount(); ++c) {
        const CoordinationSphere sphere = fastSphere(crystal, doc.sites[0], c, limit);
        const std::string what = crystal.hmSymbol + " atom " + std::to_string(c + 1) + " limit " + std::to_string(limit);
        // Coordinates as read: the literal translation bounds find the same spheres.
        EXPECT_TRUE(sameSphere(sphere, test::referenceSphere(crystal, doc.sites[0], c, limit, TranslationBounds::Literal)))
            << what;
        if (sphere.overfull) continue;
        expectSameDistances(distancesOf(sphere), test::neighbourDistances(crystal, doc.sites[0], c, limit), what);
        // Each listed position lies at its distance; the nearer ones are minimum images.
        const Vector3f central = centralPosition(doc.sites[0][static_cast<std::size_t>(c)], crystal.aperiodicAxes);
        const float shortest = std::min({crystal.cell[0], crystal.cell[1], crystal.cell[2]});
        for (const SphereEntry& e : sphere.entries) {
          EXPECT_NEAR(e.distance, test::directDistance(crystal, central, e.position), 2e-4) << what;
          if (e.distance < 0.5f * shortest) {
            EXPECT_NEAR(e.distance, test::minimumImageDistance(crystal, central, e.position), 2e-4) << what;
          }
        }
      }
    }
  }
}

TEST(SphereSearch, AtomsStoredOutsideTheCellKeepTheirNeighbours) {
  CrystalDocument read = test::quartz();
  CrystalDocument shifted = read;
  // Si at x = 1.4697, y = -1: the same atom one cell along and one back.
  shifted.sites[0][0].x += 1.0f;
  shifted.sites[0][0].y -= 1.0f;
  shifted.sites[0][1].z += 2.0f;
  build(read.crystals[0]);
  build(shifted.crystals[0]);
  int lost = 0;
  for (int c = 0; c < 2; ++c) {
    const auto expected = distancesOf(fastSphere(read.crystals[0], read.sites[0], c, 3.2f));
    expectSameDistances(distancesOf(fastSphere(shifted.crystals[0], shifted.sites[0], c, 3.2f)), expected,
                        "shifted atom " + std::to_string(c + 1));
    lost += static_cast<int>(expected.size()) -
            static_cast<int>(test::referenceSphere(shifted.crystals[0], shifted.sites[0], c, 3.2f, TranslationBounds::Literal)
                                 .entries.size());
  }
  // The literal bounds, centred on the cell, miss neighbours of atoms stored far from it.
  EXPECT_GT(lost, 0);

  // The central atom is brought into the cell by one step only, but its sphere is complete.
  for (float x : {-0.3f, 1.2f, 2.5f}) {
    CrystalDocument doc = test::monoclinic();
    doc.sites[0][0].x = x;
    build(doc.crystals[0]);
    EXPECT_FLOAT_EQ(centralPosition(doc.sites[0][0], {0, 0, 0})[0], x == 2.5f ? 1.5f : x < 0 ? 0.7f : 0.2f);
    expectSameDistances(distancesOf(fastSphere(doc.crystals[0], doc.sites[0], 0, 4.0f)),
                        test::neighbourDistances(doc.crystals[0], doc.sites[0], 0, 4.0f), "x = " + std::to_string(x));
  }
}

TEST(SphereSearch, InversionOffTheOriginAndTheRhombohedralLatticesInventNothing) {
  // P 4/n origin choice 1: every operator is listed, the inversion lies off the origin.
  const Symmetry& p4n = symmetries()[8];
  CrystalDocument doc = test::makeDocument(p4n.name, p4n.lines, 0, 1, {6.2f, 6.2f, 4.1f, 90, 90, 90},
                                           {test::makeSite("Fe1", 26, 0.1f, 0.2f, 0.3f), test::makeSite("O1", 8, 0.4f, 0.1f, 0.6f)});
  CrystalRecord& crystal = doc.crystals[0];
  crystal.inversionOffOrigin = 1;
  build(crystal);
  for (int c = 0; c < 2; ++c)
    expectSameDistances(distancesOf(fastSphere(crystal, doc.sites[0], c, 3.6f)),
                        test::neighbourDistances(crystal, doc.sites[0], c, 3.6f), "P 4/n atom " + std::to_string(c + 1));
  // Negating the listed operators as well would add positions the group does not hold.
  CrystalRecord inverted = crystal;
  inverted.inversionOffOrigin = 0;
  EXPECT_GT(test::referenceSphere(inverted, doc.sites[0], 0, 3.6f).entries.size(),
            fastSphere(crystal, doc.sites[0], 0, 3.6f).entries.size());

  // Lattices S and T carry their centring translations.
  for (int lattice : {8, 9}) {
    CrystalDocument s = test::makeDocument("P 1", {"X,Y,Z;"}, 1, lattice, {3.0f, 3.0f, 9.0f, 90, 90, 120},
                                           {test::makeSite("C1", 6, 0.1f, 0.1f, 0.1f)});
    build(s.crystals[0]);
    const auto distances = distancesOf(fastSphere(s.crystals[0], s.sites[0], 0, 3.8f));
    expectSameDistances(distances, test::neighbourDistances(s.crystals[0], s.sites[0], 0, 3.8f), "lattice " + std::to_string(lattice));
    // S: (1/3, 1/3, -1/3), 1 A in the plane and 3 A along c; T: (-1/3, 1/3, -1/3), sqrt 3 A in the plane.
    const double centred = std::sqrt(lattice == 8 ? 10.0 : 12.0);
    EXPECT_TRUE(std::any_of(distances.begin(), distances.end(), [&](double d) { return std::fabs(d - centred) < 1e-4; }));
  }
}

TEST(SphereSearch, AtomsSharingAPositionAndOverfullSpheres) {
  // Two input atoms at one position are two neighbours; an operator mapping the
  // central atom onto itself adds nothing.
  CrystalDocument doc = test::makeDocument("P -1", {"X,Y,Z;"}, 0, 1, {4, 4, 4, 90, 90, 90},
                                           {test::makeSite("Na1", 11, 0, 0, 0), test::makeSite("Cl1", 17, 0.5f, 0, 0),
                                            test::makeSite("Br1", 35, 0.5f, 0, 0)});
  build(doc.crystals[0]);
  const CoordinationSphere na = fastSphere(doc.crystals[0], doc.sites[0], 0, 2.0f);
  ASSERT_EQ(na.entries.size(), 4u);  // Cl at +-a/2, Br at +-a/2
  EXPECT_EQ(na.entries[0].atom, 2);
  EXPECT_EQ(na.entries[2].atom, 3);
  EXPECT_EQ(na.entries[0].position, (Vector3f{-0.5f, 0, 0}));
  EXPECT_EQ(na.entries[1].position, (Vector3f{0.5f, 0, 0}));

  // At 6.5 A every atom of rock salt has 56 neighbours: the 36 nearest stay,
  // in the order found.
  CrystalDocument salt = test::rockSalt();
  build(salt.crystals[0]);
  const CoordinationSphere cut = fastSphere(salt.crystals[0], salt.sites[0], 0, 6.5f);
  EXPECT_TRUE(cut.overfull);
  ASSERT_EQ(cut.entries.size(), 36u);
  const auto all = test::neighbourDistances(salt.crystals[0], salt.sites[0], 0, 6.5f);
  ASSERT_GT(all.size(), 36u);
  expectSameDistances(distancesOf(cut), std::vector<double>(all.begin(), all.begin() + 36), "nearest 36");

  // A limit of 20 A: the search widens step by step until the nearest are certain.
  const SphereSearch far(salt.crystals[0], salt.sites[0], *bondMetric(salt.crystals[0].cell), 20.0f);
  EXPECT_TRUE(sameSphere(far.sphereOf(1), test::referenceSphere(salt.crystals[0], salt.sites[0], 1, 20.0f)));
  EXPECT_LT(far.candidatesTried(), 20000);
}

}  // namespace
}  // namespace tessera
