// The native file's fast printf against the C library's, value for value.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "core/record_format.h"
#include "core/text.h"

namespace tessera {
namespace {

std::string fixed6(double v) {
  std::string out;
  appendFixed6(out, v);
  return out;
}

TEST(RecordFormat, FixedSixDecimalsMatchPrintfForEveryKindOfFloat) {
  std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 0.0078125f, -0.0078125f, 0.0234375f, 1e-7f, -1e-7f,
                               5e-7f, 4.9999997e-7f, 1.5e-6f, 0.1f, 0.9f, 123456.789f, 1e30f, -1e31f, 1.6e32f, 3.4e38f,
                               std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(),
                               std::numeric_limits<float>::lowest(), std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(), std::nanf("")};
  std::mt19937 rng(15);
  for (int i = 0; i < 200000; ++i) {
    values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(rng())));
    // Values as documents hold them: fractions, lengths, and exact ties of millionths.
    values.push_back(static_cast<float>(rng() % 2000001) / 1000000.0f - 1.0f);
    values.push_back(static_cast<float>(rng() % 100000) / 128.0f);
  }
  for (float v : values) EXPECT_EQ(fixed6(v), format("%f", static_cast<double>(v))) << v;
  for (double d : {0.1, 2.5e-7, 7.5e-7, 1e15 + 0.5, 9.2e18, 1e300}) EXPECT_EQ(fixed6(d), format("%f", d)) << d;
}

TEST(RecordFormat, RecordsMatchPrintfAndFlagValuesThatAreNotFinite) {
  std::string out;
  EXPECT_TRUE(appendRecord(out, "ATOM %s %d %d %d %s %d\n", {"Si1", 14, 1, -8, std::string("3a"), 0}));
  EXPECT_TRUE(appendRecord(out, "INTN%d %-s|%%\n", {1, "P 1 21 1"}));
  EXPECT_TRUE(appendRecord(out, "     %f %f \n", {0.25f, -1e-9}));
  EXPECT_EQ(out, format("ATOM %s %d %d %d %s %d\n", "Si1", 14, 1, -8, "3a", 0) +
                     format("INTN%d %-s|%%\n", 1, "P 1 21 1") + format("     %f %f \n", 0.25, -1e-9));
  std::string bad;
  EXPECT_FALSE(appendRecord(bad, "%f %f\n", {1.0f, std::nanf("")}));
  EXPECT_EQ(bad, format("%f %f\n", 1.0, static_cast<double>(std::nanf(""))));
  // A text stops at a NUL, as printf's %s does.
  std::string nul;
  appendRecord(nul, "[%s]", {std::string("ab\0cd", 5)});
  EXPECT_EQ(nul, "[ab]");
}

}  // namespace
}  // namespace tessera
