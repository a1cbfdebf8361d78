#include "model/columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

struct RealCase {
  double x;
  const char* ten;
  const char* fifteen;  // nullptr: not checked
};

TEST(FormatReal, BranchesOfTheTenAndFifteenColumnForms) {
  const RealCase cases[] = {
      {0, "         0", "              0"},
      {0.5, "  0.500000", "  0.50000000000"},
      {1234.5, "1234.50000", nullptr},
      {-12.25, "-12.250000", nullptr},
      {0.001, "1.00000E-3", "1.0000000000E-3"},
      {1e10, "1.00000E10", "10000000000.000"},
      {-0.005, "-5.0000E-3", nullptr},
      {1.5e-200, "1.500E-200", nullptr},
      {123456789.123, "123456789.", nullptr},
      {0.01, "  0.010000", nullptr},
      {-0.01, " -0.010000", nullptr},
      {-1e9, "-1.00000E9", nullptr},
      {9999999999.99, "9999999999", nullptr},
      {1e15, "1.00000E15", "1.0000000000E15"},
      {-1e14, "-1.0000E14", "-1.000000000E14"},
  };
  for (const auto& c : cases) {
    const std::string ten = c.ten;
    EXPECT_EQ(FormatReal10(c.x), std::string(10 - ten.size(), ' ') + ten) << c.x;
    if (c.fifteen) {
      EXPECT_EQ(FormatReal15(c.x), c.fifteen) << c.x;
    }
  }
}

// Rounding that carries the integer part past the field must not cut the
// value to a tenth of itself.
TEST(FormatReal, CarryPastTheFieldUsesTheExponentForm) {
  const double nearNegLimit = -1e9 + std::ldexp(1.0, -23);
  EXPECT_EQ(FormatReal10(nearNegLimit), "-1.00000E9");
  EXPECT_EQ(FormatReal10(-999999999.5), "-999999999");
  EXPECT_EQ(FormatReal10(std::nextafter(1e10, 0.0)), "9999999999");
}

TEST(FormatReal, NonFiniteValuesHaveAFixedText) {
  EXPECT_EQ(FormatReal10(std::numeric_limits<double>::quiet_NaN()), "       NaN");
}

// A field that overflowed on reading is written as the largest finite value
// of its width, so read-write-read keeps its sign and magnitude.
TEST(FormatReal, OverflowedFieldsWriteTheLargestFiniteValue) {
  struct Case {
    const char* field;
    const char* ten;
    const char* fifteen;
  };
  const Case cases[] = {{"1E999", "1.7976E308", "1.797693134E308"}, {"-1E999", "-1.797E308", "-1.79769313E308"}};
  for (const auto& c : cases) {
    const double x = CutReal(c.field, 0, 10);
    ASSERT_TRUE(std::isinf(x)) << c.field;
    EXPECT_EQ(FormatReal10(x), c.ten);
    EXPECT_EQ(FormatReal15(x), c.fifteen);
    EXPECT_EQ(FormatReal10(std::copysign(std::numeric_limits<double>::max(), x)), c.ten);
    for (const std::string text : {c.ten, c.fifteen}) {
      const double back = CutReal(text, 0, static_cast<int>(text.size()));
      EXPECT_TRUE(std::isfinite(back)) << text;
      EXPECT_GE(std::fabs(back), 1.79e308) << text;
      EXPECT_EQ(std::signbit(back), std::signbit(x)) << text;
    }
    // The second write gives the same text.
    EXPECT_EQ(FormatReal10(CutReal(c.ten, 0, 10)), c.ten);
    EXPECT_EQ(FormatReal15(CutReal(c.fifteen, 0, 15)), c.fifteen);
  }
}

TEST(FormatReal, AlwaysExactWidthForFiniteValues) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(-10, 10);
  std::uniform_int_distribution<int> expo(-320, 308);
  for (int i = 0; i < 20000; ++i) {
    const double x = mant(rng) * std::pow(10.0, expo(rng));
    if (!std::isfinite(x)) continue;
    ASSERT_EQ(FormatReal10(x).size(), 10u) << x;
    ASSERT_EQ(FormatReal15(x).size(), 15u) << x;
  }
  for (double x : {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min()}) {
    EXPECT_EQ(FormatReal10(x).size(), 10u) << x;
    EXPECT_EQ(FormatReal15(x).size(), 15u) << x;
  }
}

TEST(Flags, SixAndTwelveCharacterMasks) {
  EXPECT_EQ(ParseFlags6("1 1 1 "), 1 | 4 | 16);
  EXPECT_EQ(ParseFlags6("222222"), 0);
  EXPECT_EQ(ParseFlags6("11"), 3);
  EXPECT_EQ(ParseFlags6(""), 0);
  EXPECT_EQ(FormatFlags6(63), "111111");
  EXPECT_EQ(FormatFlags6(5), "101000");
  EXPECT_EQ(ParseFlags12("1 1"), 5);
  EXPECT_EQ(ParseFlags12("0x0 "), 2);
  EXPECT_EQ(FormatFlags12(5), "1 1         ");
}

TEST(Generation, CountsAndNumbersIn64Bits) {
  struct Case {
    int first, last, inc, count;
  } cases[] = {
      {1, 10, 1, 10}, {1, 9, 2, 5}, {10, 1, -1, 10}, {5, 0, 0, 1}, {1, 1, 5, 1},
      {-2147483647 - 1, 2147483647, 1, 2147483647},  // clamped
      {-2147483647 - 1, 0, -1, 2147483647},          // INT_MIN / -1 does not trap
  };
  for (const auto& c : cases) EXPECT_EQ(GenCount(c.first, c.last, c.inc), c.count) << c.first << " " << c.last;
  EXPECT_EQ(GenNumber(2147483000, 1000, 5), 2147483647);
  EXPECT_EQ(GenNumber(10, -3, 2), 4);
}

TEST(Pow2, Range) {
  EXPECT_EQ(Pow2(-1), 0);
  EXPECT_EQ(Pow2(0), 1);
  EXPECT_EQ(Pow2(11), 2048);
  EXPECT_EQ(Pow2(40), 0);
}

TEST(Values6, ReadsLinesCommentsAndKeywords) {
  auto ar = plat::LineReader::FromString("       1.0       2.0       3.0       4.0       5.0       6.0\n$c1\n$c2\n      -1.0\n\n/next\n");
  double v[6] = {9, 9, 9, 9, 9, 9};
  std::string line;
  ASSERT_TRUE(ReadValues6(*ar, v, line));
  EXPECT_DOUBLE_EQ(v[5], 6.0);
  ASSERT_TRUE(ReadValues6(*ar, v, line));
  EXPECT_EQ(line, "$c1$c2");
  EXPECT_DOUBLE_EQ(v[0], -1.0);
  EXPECT_DOUBLE_EQ(v[1], 0.0);
  v[2] = 7;
  ASSERT_TRUE(ReadValues6(*ar, v, line));  // empty line: six zeros, not stale values
  EXPECT_DOUBLE_EQ(v[2], 0.0);
  EXPECT_FALSE(ReadValues6(*ar, v, line));
  EXPECT_EQ(line, "/next");
  EXPECT_FALSE(ReadValues6(*ar, v, line));
  EXPECT_EQ(line, "");
  std::string text;
  CValues6 n;
  n.v[0] = 1.5;
  FormatValues6(text, n);
  EXPECT_EQ(text.size(), 62u);
}

}  // namespace
