#include <gtest/gtest.h>

#include <random>

#include "formats/import_kinds.h"
#include "support/test_session.h"

namespace tessera {
namespace {

std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xff);
  return s;
}

/// Every input ends in a finished or refused import; a refused one has said why.
void importEach(int kind, const std::vector<std::string>& inputs) {
  test::ScratchDir dir;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    test::writeFile(dir.path() / "bad.txt", inputs[i]);
    test::TestSession s;
    const bool ok = s.import(kind, dir.path() / "bad.txt");
    EXPECT_EQ(ok, s.document.isOpen);
    EXPECT_FALSE(s.ui.messages().empty() && s.ui.questions().empty() && !ok);
    for (const Site& site : s.document.sites[0]) EXPECT_LE(site.occupantCount(), kMaxOccupants);
  }
}

const std::string kHuge(1 << 20, '7');

TEST(RietveldHostileInput, Fullprof) {
  const std::string head = "t\n0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n0\n0 0 -1\n0\n0\n0 0 0 0 0 0 0 0 0\n0\n0\n";
  importEach(kKindFullprof,
             {"", randomBytes(20000, 1), "t\n999999999 -5 99999 -7 2000000000 -2000000000\n", head,
              head + "p\n2000000000 0 0 0 0 0 10 0 -1\nP 1\n2000000000 2 0 2000000000\nSYMM x\n",
              head + "p\n1 0 0 0 0 0 10 0 1\nP 1\n1 2 0 0\n1e308 nan\n\n",
              head + "p\n3 0 0 0 0 0 5 0 0\nP 1\nA B 0 0 " + kHuge + "\n", kHuge});
}

TEST(RietveldHostileInput, Rietan) {
  importEach(kKindRietan, {"", randomBytes(20000, 2), "t\nENDCON1\n-99999999999\n00000\n    1\n",
                           "t\nENDCON1\n2000000000\n" + kHuge + "\n",
                           "t\nENDCON1\n10\nA 1 0 0 0\n00000\n999999999\n",
                           "t\nENDCON1\n0\n00000\n0\n1 1 1 5 5 5\n0\n\n" + randomBytes(3000, 3) + "\n"});
}

TEST(RietveldHostileInput, Gsas) {
  importEach(kKindGsas, {"", randomBytes(20000, 4), "CRS1   NATOM2000000000\nCRS1  AT  1B\nCRS1  AT  1M 1 2 3\n",
                         "CRS1  AT  1A  Fe        1e308     nan       inf       -1e40     " + kHuge + "\n",
                         "CRS1  ABC     0.0       0.0       0.0\nCRS1  ANGLES    0.0       0.0       0.0\n"
                         "CRS1  AT  1A  Fe        0.1       0.1       0.1       1.0     Fe\n"
                         "CRS1  AT  1M  1.0       1.0       1.0\n"});
}

TEST(RietveldHostileInput, DbwsAndLhpm) {
  for (int kind : {kKindDbws, kKindLhpm})
    importEach(kind, {"", randomBytes(20000, 5), "t\n   0  -1  99\n", "t\n9999999999999999\n",
                      "t\n   0   0   1  99   0  99\n" + std::string(120, '\n'),
                      "t\n   0   0   1\n\n\n\n\n\n\n\np\n9999\nP 1\n" + kHuge + "\n"});
}

}  // namespace
}  // namespace tessera
