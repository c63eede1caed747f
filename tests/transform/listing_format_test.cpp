// The listing formatter against printf: rounding of the exact binary value with ties
// to even, signs of zero, widths, truncated labels, and printf's own text for what
// the formatter leaves to it.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <bit>
#include <random>

#include "core/text.h"
#include "transform/listing_format.h"

namespace tessera {
namespace {

template <class... Args>
void expectPrintfText(const char* format, Args... args) {
  std::string fast = "x", slow = "x";
  appendListed(fast, format, args...);
  appendFormat(slow, format, args...);
  ASSERT_EQ(fast, slow) << format;
}

TEST(ListingFormat, NumbersAsPrintfWritesThem) {
  std::mt19937 rng(11);
  std::vector<float> values = {0.0f, -0.0f, 0.5f, -0.5f, 1.0f / 64, 3.0f / 64, -5.0f / 64, 0.000005f, -0.000005f,
                               0.999995f, 9.999995f, 0.125f, 2.5f, 1e-30f, -1e-30f, 1e-45f, 123456.789f,
                               99999.99999f, 1e9f, 3e14f, 2e15f, std::numeric_limits<float>::max(),
                               std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), NAN};
  // Ties: values with few fraction bits sit exactly half way at some precision.
  for (int k = -300; k <= 300; ++k) values.push_back(static_cast<float>(k) / 1024.0f);
  std::uniform_real_distribution<float> unit(-2.0f, 2.0f), wide(-1e6f, 1e6f);
  std::uniform_int_distribution<std::uint32_t> bits(0, 0xffffffffu);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(unit(rng));
    values.push_back(wide(rng));
    values.push_back(std::bit_cast<float>(bits(rng)));
  }
  for (float v : values) {
    expectPrintfText("% 9.5f", v);
    expectPrintfText(" %9.5f", v);
    expectPrintfText("%8.3f", v);
    expectPrintfText("%-10.2f|", v);
    expectPrintfText("%f", v);
    expectPrintfText("%.0f", v);
    expectPrintfText("%.9f", static_cast<double>(v));
  }
}

TEST(ListingFormat, IntegersLabelsAndWholeLines) {
  for (int v : {0, 7, -7, 999, 1000, 12345, -12345, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    expectPrintfText("%4d", v);
    expectPrintfText("       %3d", v);
  }
  for (const char* label : {"", "O1", "Si1", "ABCDEF", "ABCDEFGH", "long label text"}) {
    expectPrintfText("%6.6s|", label);
    expectPrintfText("%-6.6s|", label);
    expectPrintfText("%s|", label);
    expectPrintfText("    %4d  %6.6s  %4d  %4d", 12, label, 3, -14);
  }
  // Left to printf: a percent sign, a flag the listing does not use, too few arguments.
  expectPrintfText("%d%%", 5);
  expectPrintfText("%+d", 5);
  expectPrintfText("%05.1f", 2.25f);
}

}  // namespace
}  // namespace tessera
