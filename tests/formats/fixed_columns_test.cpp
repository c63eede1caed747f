#include "formats/fixed_columns.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessera {
namespace {

TEST(FixedColumns, DescriptorsExpandRepeatsGroupsAndSkips) {
  const FixedLayout layout("(A6, 3X, 2F9.6, F9.0)");
  EXPECT_EQ(layout.fieldCount(), 4u);
  EXPECT_EQ(layout.width(), 36u);
  const FixedLayout nested("(5(3i1,i2),5x)");
  EXPECT_EQ(nested.fieldCount(), 20u);
  EXPECT_EQ(nested.width(), 30u);
  EXPECT_EQ(nested.columns()[4].start, 5u);  // the second group starts after 3 + 2 columns
  EXPECT_EQ(FixedLayout("(1a,a8,2i1)").columns()[1].start, 1u);
  for (const char* bad : {"(A6", "(Q3)", "(F9.6.1)", "(I)", "(99999999X)", "(I3,)", "(3(I2)"})
    EXPECT_FALSE(FixedLayout::parse(bad)) << bad;
  EXPECT_THROW(FixedLayout("(Z)"), std::invalid_argument);
}

TEST(FixedColumns, NumbersBlanksImpliedDecimalsAndShortLines) {
  const FixedLayout layout("(A5,I7,F6.4,F8.3,I3)");
  FixedRecord r = layout.read(std::string("C1   ") + " -12345" + " 54310" + "  12.5  " + "  7");
  ASSERT_TRUE(r.valid());
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.text(0), "C1   ");
  EXPECT_EQ(r.integer(1), -12345);
  EXPECT_NEAR(r.number(2), 5.431, 1e-9);  // no point: the last four digits are decimals
  EXPECT_NEAR(r.number(3), 12.5, 1e-9);   // a written point wins
  EXPECT_EQ(r.integer(4), 7);

  r = layout.read("C1            ");  // blank numbers read zero, missing columns too
  EXPECT_TRUE(r.valid());
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(r.number(1), 0.0);
  EXPECT_FALSE(r.fields[3].present);

  r = layout.read(std::string("C1   ") + "  12 34" + "xx.xxx");  // interior blanks and letters are not numbers
  EXPECT_FALSE(r.valid());
  EXPECT_EQ(r.firstInvalid(), 1);
}

TEST(FixedColumns, OldProgramsIgnoreInnerBlanksAndWriteDExponents) {
  const FixedLayout layout("(A3, 2X, I4, 2(G8.0))");
  FixedRecord r = layout.read("Ab c  1 2 1.5D+01     - 2", InnerBlanks::Ignored);
  ASSERT_TRUE(r.valid());
  EXPECT_EQ(r.text(0), "Ab ");
  EXPECT_EQ(r.integer(1), 12);
  EXPECT_EQ(r.number(2), 15.0);
  EXPECT_EQ(r.number(3), -2.0);
  EXPECT_TRUE(r.fields[3].holdsNumber());
  r = layout.read("Ab   7", InnerBlanks::Ignored);
  EXPECT_TRUE(r.fields[1].holdsNumber());
  EXPECT_TRUE(r.fields[2].blank());  // a short line: blank, read as zero, but no number written
  EXPECT_FALSE(r.fields[2].holdsNumber());
  EXPECT_FALSE(layout.read("abc  x", InnerBlanks::Ignored).valid());
  EXPECT_FALSE(layout.read("abc   1.5", InnerBlanks::Ignored).valid());  // no point in an integer
  EXPECT_FALSE(layout.read("abc     1             inf", InnerBlanks::Ignored).valid());
}

TEST(FixedColumns, WrittenRealsKeepTheirWidth) {
  EXPECT_EQ(fixedReal(0.25, 8, 6), "0.250000");
  EXPECT_EQ(fixedReal(-0.001234, 8, 6), "-.001234");
  EXPECT_EQ(fixedReal(12.5, 8, 6), "12.50000");
  EXPECT_EQ(fixedReal(-1.0, 3, 0), " -1");
  EXPECT_EQ(fixedReal(1e20, 8, 6).size(), 8u);
  // What is written reads back as the same value through its own field.
  const FixedLayout f86("(F8.6)");
  for (double v : {0.25, -0.001234, 12.5, -1234.5678, 1e20})
    EXPECT_NEAR(f86.read(fixedReal(v, 8, 6)).number(0), v, std::fabs(v) * 1e-3 + 1e-6) << v;
}

}  // namespace
}  // namespace tessera
