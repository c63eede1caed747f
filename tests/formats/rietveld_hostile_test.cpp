#include <gtest/gtest.h>

#include "formats/import_kinds.h"
#include "support/hostile_input.h"

namespace tessera {
namespace {

using test::randomBytes;

/// Every refused import says why.
void importEach(int kind, const std::vector<std::string>& inputs) { test::importEach(kind, inputs, true); }

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
