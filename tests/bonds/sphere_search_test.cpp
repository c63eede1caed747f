// The cell-list search against neighbour lists computed without the bond code.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "bonds/neighbour_list.h"
#include "bonds/sphere_search.h"
#include "core/scripted_user_interface.h"
#include "support/structures.h"
#include "symmetry/symmetry_operators.h"

namespace tessera {
namespace {

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

/// The sphere holds every neighbour of the independent list (the nearest 36 when there
/// are more) in the order found, atom by atom, and each listed position lies at its listed distance.
void expectAgrees(CrystalRecord& crystal, const std::vector<Site>& sites, int central, float limit,
                  const CoordinationSphere& sphere, const std::string& what) {
  std::vector<double> all = test::neighbourDistances(crystal, sites, central, limit);
  EXPECT_EQ(sphere.overfull, all.size() > 36) << what;
  if (all.size() > 36) all.resize(36);
  const std::vector<double> found = distancesOf(sphere);
  ASSERT_EQ(found.size(), all.size()) << what;
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_NEAR(found[i], all[i], 2e-4) << what << " entry " << i;
  EXPECT_TRUE(std::is_sorted(sphere.entries.begin(), sphere.entries.end(),
                             [](const SphereEntry& a, const SphereEntry& b) { return a.atom < b.atom; }))
      << what;
  const Vector3f c = centralPosition(sites[static_cast<std::size_t>(central)], crystal.aperiodicAxes);
  for (const SphereEntry& e : sphere.entries) EXPECT_NEAR(e.distance, test::directDistance(crystal, c, e.position), 2e-4) << what;
}

float uniform(std::mt19937& rng, float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); }

struct Symmetry {
  const char* name;
  std::vector<std::string> lines;
  int acentric, lattice, offOrigin;
  char system;  // a(northic), m(onoclinic), h(exagonal), t(etragonal), c(ubic)
};

Cell randomCell(std::mt19937& r, char system) {
  const float a = uniform(r, 3, 8), c = uniform(r, 3, 12);
  const auto angle = [&](float low, float high) { return uniform(r, low, high) * kDegToRad; };
  switch (system) {
    case 'a': return {a, uniform(r, 3, 9), c, angle(70, 110), angle(70, 110), angle(70, 110)};
    case 'm': return {a, uniform(r, 3, 9), c, kRightAngle, angle(92, 115), kRightAngle};
    case 'h': return {a, a, c, kRightAngle, kRightAngle, kAngle120};
    case 't': return {a, a, c, kRightAngle, kRightAngle, kRightAngle};
    default: return {a, a, a, kRightAngle, kRightAngle, kRightAngle};
  }
}

const std::vector<Symmetry>& symmetries() {
  static const std::vector<Symmetry> list = {
      {"P 1", {"X,Y,Z;"}, 1, 1, 0, 'a'},
      {"P -1", {"X,Y,Z;"}, 0, 1, 0, 'a'},
      {"P 21/c", {"X,Y,Z;", "-X,1/2+Y,1/2-Z;"}, 0, 1, 0, 'm'},
      {"C 2/c", {"X,Y,Z;", "-X,Y,1/2-Z;"}, 0, 4, 0, 'm'},
      {"P 32 2 1", {"X,Y,Z;", "-Y,X-Y,2/3+Z;", "-X+Y,-X,1/3+Z;", "Y,X,-Z;", "X-Y,-Y,1/3-Z;", "-X,-X+Y,2/3-Z;"}, 1, 1, 0, 'h'},
      {"R -3 c", {"X,Y,Z;", "-Y,X-Y,Z;", "-X+Y,-X,Z;", "Y,X,1/2-Z;", "X-Y,-Y,1/2-Z;", "-X,-X+Y,1/2-Z;"}, 0, 7, 0, 'h'},
      {"P 1 (S)", {"X,Y,Z;"}, 1, 8, 0, 'h'},
      {"P -1 (T)", {"X,Y,Z;"}, 0, 9, 0, 'h'},
      {"P 4/n origin 1",
       {"X,Y,Z;", "-X,-Y,Z;", "-Y,X,Z;", "Y,-X,Z;", "1/2-X,1/2-Y,-Z;", "1/2+X,1/2+Y,-Z;", "1/2+Y,1/2-X,-Z;", "1/2-Y,1/2+X,-Z;"},
       0, 1, 1, 't'},
      {"I 41/a", {"X,Y,Z;", "-X,1/2-Y,Z;", "3/4-Y,1/4+X,1/4+Z;", "3/4+Y,3/4-X,3/4+Z;"}, 0, 6, 0, 't'},
      {"F m -3 m", test::rockSalt().crystals[0].xyzLines, 0, 5, 0, 'c'},
  };
  return list;
}

/// A random structure under one of the symmetries: coordinates inside and outside the
/// cell, atoms on special positions and atoms sharing a position.
CrystalDocument randomStructure(std::mt19937& rng, const Symmetry& s) {
  std::vector<Site> sites;
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
  CrystalDocument doc = test::makeDocument(s.name, s.lines, s.acentric, s.lattice, {1, 1, 1, 90, 90, 90}, sites);
  doc.crystals[0].cell = randomCell(rng, s.system);
  doc.crystals[0].inversionOffOrigin = s.offOrigin;
  build(doc.crystals[0]);
  return doc;
}

TEST(SphereSearch, AgreesWithTheNeighbourListOnRandomStructures) {
  std::mt19937 rng(20261206);
  int overfull = 0, entries = 0;
  for (int round = 0; round < 6; ++round) {
    for (const Symmetry& s : symmetries()) {
      CrystalDocument doc = randomStructure(rng, s);
      CrystalRecord& crystal = doc.crystals[0];
      // A molecule or a layer in P 1 now and then: no translations along some axes.
      if (s.lines.size() == 1 && s.lattice == 1 && s.acentric == 1 && round % 3 != 0)
        crystal.aperiodicAxes = {round % 2, 1, round % 3 == 1 ? 1 : 0};
      // Mostly ordinary limits; now and then one whose sphere holds hundreds.
      const float limit = round % 3 == 2 ? uniform(rng, 8, 11) : uniform(rng, 1.0f, 6.0f);
      const SphereSearch search(crystal, doc.sites[0], *bondMetric(crystal.cell), limit);
      const std::vector<CoordinationSphere> all = search.spheresOf(0, doc.siteCount() - 1);
      for (int c = 0; c < doc.siteCount(); ++c) {
        const CoordinationSphere& sphere = all[static_cast<std::size_t>(c)];
        expectAgrees(crystal, doc.sites[0], c, limit, sphere,
                     std::string(s.name) + " round " + std::to_string(round) + " atom " + std::to_string(c + 1));
        overfull += sphere.overfull;
        entries += static_cast<int>(sphere.entries.size());
      }
    }
  }
  // The comparison saw full spheres, cut ones and empty ones.
  EXPECT_GT(overfull, 10);
  EXPECT_GT(entries, 1500);
}

TEST(SphereSearch, CentralAtomStoredOutsideTheCell) {
  // The example structures' groups are among the random ones; their listings are golden files.
  // The central atom is brought into the cell by one step only, but its sphere is complete.
  for (float x : {-0.3f, 1.2f, 2.5f}) {
    CrystalDocument doc = test::monoclinic();
    doc.sites[0][0].x = x;
    build(doc.crystals[0]);
    EXPECT_FLOAT_EQ(centralPosition(doc.sites[0][0], {0, 0, 0})[0], x == 2.5f ? 1.5f : x < 0 ? 0.7f : 0.2f);
    expectAgrees(doc.crystals[0], doc.sites[0], 0, 4.0f, fastSphere(doc.crystals[0], doc.sites[0], 0, 4.0f),
                 "x = " + std::to_string(x));
  }
}

TEST(SphereSearch, CentringOfLatticesSAndTAndSharedPositions) {
  // S: (1/3, 1/3, -1/3), 1 A in the plane and 3 A along c; T: (-1/3, 1/3, -1/3), sqrt 3 A in the plane.
  for (int lattice : {8, 9}) {
    CrystalDocument s = test::makeDocument("P 1", {"X,Y,Z;"}, 1, lattice, {3.0f, 3.0f, 9.0f, 90, 90, 120},
                                           {test::makeSite("C1", 6, 0.1f, 0.1f, 0.1f)});
    build(s.crystals[0]);
    const auto distances = distancesOf(fastSphere(s.crystals[0], s.sites[0], 0, 3.8f));
    const double centred = std::sqrt(lattice == 8 ? 10.0 : 12.0);
    EXPECT_TRUE(std::any_of(distances.begin(), distances.end(), [&](double d) { return std::fabs(d - centred) < 1e-4; }));
  }

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

  // A limit of 20 A: the search widens step by step until the nearest are certain.
  CrystalDocument salt = test::rockSalt();
  build(salt.crystals[0]);
  const SphereSearch far(salt.crystals[0], salt.sites[0], *bondMetric(salt.crystals[0].cell), 20.0f);
  expectAgrees(salt.crystals[0], salt.sites[0], 1, 20.0f, far.sphereOf(1), "20 A");
  EXPECT_LT(far.candidatesTried(), 20000);
}

}  // namespace
}  // namespace tessera
