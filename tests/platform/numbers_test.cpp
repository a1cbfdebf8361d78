#include "platform/numbers.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

struct IntCase {
  const char* text;
  int value;
};

TEST(AtoI, BehavesLikeTheOldRuntime) {
  const IntCase cases[] = {
      {"", 0},           {"   ", 0},         {"42", 42},   {"  -17xyz", -17},       {"+5", 5},
      {"12 34", 12},     {"abc", 0},         {"- 5", 0},   {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
      {"99999999999999999999", INT_MAX},     {"-2147483648", INT_MIN},            {"-9999999999", INT_MIN},
      {"\t7", 7},        {"0x1F", 0},
      // Blanks passed a word at a time: whole words, a word ending in other
      // white space, nothing after them.
      {"        7", 7},   {"       \t  -3", -3}, {"                ", 0}, {"                2147483648", INT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::AtoI(c.text), c.value) << c.text;
}

struct RealCase {
  const char* text;
  double value;
};

TEST(AtoF, AcceptsFortranExponentsAndRejectsInfNanHex) {
  const RealCase cases[] = {
      {"", 0},        {"  1.5", 1.5},  {"-2.25e2", -225}, {"1.5d3", 1500},   {"1.5D-1", 0.15}, {"3E+2", 300},
      {".5", 0.5},    {"-.25", -0.25}, {"5.", 5},         {"inf", 0},        {"nan", 0},       {"0x10", 0},
      {"1e", 1},      {"1e+", 1},      {"12abc", 12},     {"   -0", 0},      {"1.5.5", 1.5},   {"1e-999", 0},
      {"infinity", 0}, {"+3", 3},      {"          \t -1.25", -1.25},
      // leading zeros of an exponent do not count against its digits
      {"1e0000000000000005", 1e5}, {"2.5E+00000000000003", 2500}, {"1D-000000000000002", 0.01}, {"7e000", 7},
      {"7e+000000000000000", 7},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(plat::AtoF(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(plat::AtoF("1e999")));
  EXPECT_TRUE(std::isinf(plat::AtoF("-1e999")) && plat::AtoF("-1e999") < 0);
}

TEST(Format, GrowsPastAnyFixedBuffer) {
  const std::string s = plat::Format("%10.4f", 1e300);
  EXPECT_GT(s.size(), 300u);
  EXPECT_EQ(plat::Format("%5d|%s", 42, "ab"), "   42|ab");
}

// Conversions must not follow a decimal-comma locale set by the GUI toolkit.
TEST(Numbers, IgnoreTheProcessLocale) {
  const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"};
  const char* old = setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  bool switched = false;
  for (const char* l : locales)
    if (setlocale(LC_ALL, l)) {
      switched = true;
      break;
    }
  if (switched) {
    char buf[16];
    snprintf(buf, sizeof buf, "%.1f", 1.5);
    EXPECT_STREQ(buf, "1,5");  // the locale really uses a decimal comma
  }
  EXPECT_DOUBLE_EQ(plat::AtoF("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(plat::AtoF("2.5d1"), 25.0);
  EXPECT_EQ(plat::Format("%.2f", 1.5), "1.50");
  setlocale(LC_ALL, saved.c_str());
  if (!switched) GTEST_SKIP() << "no other locale installed";
}

}  // namespace

TEST(AtoF, ShortDecimalsAreBitForBitTheFullParse) {
  // Fields of up to 15 digits take a shortcut; it must give exactly what the
  // full parse (from_chars) gives, sign and leading blanks included.
  std::mt19937_64 rng(19);
  for (int n = 0; n < 200000; ++n) {
    const int digits = 1 + static_cast<int>(rng() % 17);
    const int point = static_cast<int>(rng() % static_cast<unsigned>(digits + 2)) - 1;  // -1: no point
    std::string num;
    for (int k = 0; k < digits; ++k) {
      if (k == point) num += '.';
      num += static_cast<char>('0' + rng() % 10);
    }
    const std::string text = std::string(rng() % 3, ' ') + (rng() % 2 ? "-" : "") + num;
    const std::string full = num[0] == '.' ? "0" + num : num;
    double want = 0;
    std::from_chars(full.data(), full.data() + full.size(), want);
    if (text.find('-') != std::string::npos) want = -want;
    const double got = plat::AtoF(text);
    ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << text;
  }
}
