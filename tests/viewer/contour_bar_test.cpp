#include "viewer/contour_bar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const ContourRgb kLow = {240, 240, 240};
const ContourRgb kHigh = {80, 80, 80};

CContourBar Made(double lo, double hi, int mode) {
  CContourBar bar(lo, hi, kLow, kHigh, "");
  bar.MakeLevels(mode);
  return bar;
}

struct LevelCase {
  double lo, hi;
  int mode;
  int count;
  double first, step;
  std::vector<ContourRgb> colors;
};

TEST(ContourBar, LevelsAndColoursOfKnownRanges) {
  const LevelCase cases[] = {
      {0, 1, 2, 10, 0, 0.1,
       {{0, 0, 255}, {0, 51, 214}, {0, 102, 173}, {0, 153, 132}, {0, 204, 90},
        {0, 255, 50}, {63, 191, 37}, {127, 127, 25}, {191, 63, 12}, {255, 0, 0}}},
      {0, 1, 1, 10, 0, 0.1,
       {{230, 230, 230}, {212, 212, 212}, {194, 194, 194}, {176, 176, 176}, {158, 158, 158},
        {140, 140, 140}, {117, 117, 117}, {95, 95, 95}, {72, 72, 72}, {50, 50, 50}}},
      {-3.7, 8.2, 2, 13, -4, 1,
       {{0, 0, 255}, {0, 42, 220}, {0, 85, 186}, {0, 127, 152}, {0, 170, 118}, {0, 212, 84},
        {0, 255, 0}, {42, 212, 41}, {85, 170, 33}, {127, 127, 25}, {170, 85, 16},
        {212, 42, 8}, {255, 0, 0}}},
      {-3.7, 8.2, 1, 13, -4, 1,
       {{230, 230, 230}, {215, 215, 215}, {200, 200, 200}, {185, 185, 185}, {170, 170, 170},
        {155, 155, 155}, {140, 140, 140}, {125, 125, 125}, {110, 110, 110}, {95, 95, 95},
        {80, 80, 80}, {65, 65, 65}, {50, 50, 50}}},
      {0, 4, 0, 8, 0, 0.5,
       {{0, 0, 255}, {0, 63, 203}, {0, 127, 152}, {0, 191, 101}, {0, 255, 50}, {85, 170, 33},
        {170, 85, 16}, {255, 0, 0}}},
      {0, 4, 1, 8, 0, 0.5,
       {{230, 230, 230}, {207, 207, 207}, {185, 185, 185}, {162, 162, 162}, {140, 140, 140},
        {110, 110, 110}, {80, 80, 80}, {50, 50, 50}}},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " mode " << c.mode);
    const CContourBar bar = Made(c.lo, c.hi, c.mode);
    ASSERT_EQ(bar.m_nCount, c.count);
    EXPECT_EQ(bar.m_nInterpolate, 0);
    for (int i = 0; i <= c.count; ++i) {
      EXPECT_NEAR(bar.m_dLevels[i], c.first + i * c.step, 1e-12) << i;
    }
    ASSERT_EQ(c.colors.size(), static_cast<size_t>(c.count));
    for (int i = 0; i < c.count; ++i) {
      EXPECT_EQ(bar.m_aLowColor[i], c.colors[static_cast<size_t>(i)]) << i;
      EXPECT_EQ(bar.m_aHighColor[i], bar.m_aLowColor[i]) << i;
    }
  }
}

TEST(ContourBar, LevelAtZeroIsExact) {
  EXPECT_EQ(Made(0, 1, 2).m_dLevels[0], 0.0);
  // A rounding residue becomes zero.
  const CContourBar bar = Made(-0.3, 0.1, 2);
  int zeros = 0;
  for (int i = 0; i <= bar.m_nCount; ++i) zeros += bar.m_dLevels[i] == 0.0;
  EXPECT_EQ(zeros, 1);
  // A level of 1e-9 is a real level, kept.
  const CContourBar small = Made(1e-9, 1e-8, 2);
  EXPECT_GT(small.m_dLevels[0], 0.0);
  EXPECT_NEAR(small.m_dLevels[0], 1e-9, 1e-20);
}

TEST(ContourBar, OneInterval) {
  // Count 1 is the middle colour: pure green, or grey 140.
  struct Case {
    double lo, hi;
    int mode;
    ContourRgb colour;
  };
  const Case cases[] = {
      {5, 5, 2, {0, 255, 0}},
      {5, 5, 1, {140, 140, 140}},
      {-1e308, 1e308, 2, {0, 255, 0}},  // the width overflows
  };
  for (const Case& c : cases) {
    const CContourBar bar = Made(c.lo, c.hi, c.mode);
    EXPECT_EQ(bar.m_nCount, 1);
    EXPECT_EQ(bar.m_aLowColor[0], c.colour);
    EXPECT_EQ(bar.m_dLevels[0], c.lo);
    EXPECT_EQ(bar.m_dLevels[1], c.hi);
  }
}

TEST(ContourBar, InitTakesEitherArgumentOrder) {
  // Init in the order (second colour, first colour, range, title) and in
  // the constructor's order set up the same single interval, first colour at
  // the bottom; both reset a bar that had been made into levels.
  struct Case {
    bool colourFirst;
    double lo, hi;
    ContourRgb first, second;
  };
  const Case cases[] = {
      {true, -2.5, 7, {1, 2, 3}, {250, 251, 252}},
      {false, -2.5, 7, {1, 2, 3}, {250, 251, 252}},
      {true, 0, 1, {255, 0, 0}, {0, 0, 255}},
  };
  for (const Case& c : cases) {
    CContourBar bar = Made(-3.7, 8.2, 2);
    if (c.colourFirst)
      bar.Init(c.second, c.first, c.lo, c.hi, "title");
    else
      bar.Init(c.lo, c.hi, c.first, c.second, "title");
    EXPECT_EQ(bar.m_nCount, 1);
    EXPECT_EQ(bar.m_nDivisions, 10);
    EXPECT_EQ(bar.m_nInterpolate, 1);
    EXPECT_EQ(bar.m_dLevels[0], c.lo);
    EXPECT_EQ(bar.m_dLevels[1], c.hi);
    EXPECT_EQ(bar.m_aLowColor[0], c.first);
    EXPECT_EQ(bar.m_aHighColor[0], c.second);
    EXPECT_EQ(bar.m_strTitle, "title");
  }
}

TEST(ContourBar, UnusableRangesGiveFiniteAscendingLevels) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double ranges[][2] = {{8, 2}, {nan, nan}, {nan, 3}, {-inf, 1}, {2, inf}, {0, 1e-320}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(testing::Message() << r[0] << ".." << r[1]);
    CContourBar bar = Made(r[0], r[1], 2);
    ASSERT_GE(bar.m_nCount, 1);
    ASSERT_LE(bar.m_nCount, CContourBar::kMaxCount);
    for (int i = 0; i <= bar.m_nCount; ++i) {
      EXPECT_TRUE(std::isfinite(bar.m_dLevels[i])) << i;
      if (i > 0) {
        EXPECT_LE(bar.m_dLevels[i - 1], bar.m_dLevels[i]) << i;
      }
    }
    float rgba[4];
    bar.GetMaterialColor(bar.m_dLevels[0], rgba);
    for (float v : rgba) EXPECT_TRUE(std::isfinite(v));
  }
  // A reversed range is taken the right way round.
  const CContourBar rev = Made(8, 2, 2);
  EXPECT_EQ(rev.m_dLevels[0], 2.0);
  EXPECT_EQ(rev.m_dLevels[rev.m_nCount], 8.0);
}

TEST(ContourBar, CountNeverPassesTheTable) {
  // 0.05..2.04 would take 21 intervals of 0.1: the next nice step is taken.
  const CContourBar bar = Made(0.05, 2.04, 2);
  EXPECT_EQ(bar.m_nCount, 11);
  EXPECT_NEAR(bar.m_dLevels[1] - bar.m_dLevels[0], 0.2, 1e-12);
  EXPECT_LE(bar.m_dLevels[0], 0.05);
  EXPECT_GE(bar.m_dLevels[bar.m_nCount], 2.04);
  // A sweep of awkward ranges: the ends are always covered within the table.
  for (int i = 1; i < 400; ++i) {
    const double lo = -0.0137 * i, hi = 0.011 * i * i + 0.3;
    const CContourBar b = Made(lo, hi, 2);
    ASSERT_LE(b.m_nCount, CContourBar::kMaxCount) << lo << ".." << hi;
    EXPECT_LE(b.m_dLevels[0], lo + 1e-12);
    EXPECT_GE(b.m_dLevels[b.m_nCount], hi - 1e-9 * std::fabs(hi));
  }
}

TEST(ContourBar, LerpColorStaysInRange) {
  const ContourRgb a = {0, 100, 255}, b = {255, 50, 0};
  struct Case {
    double t;
    ContourRgb expect;
  };
  const Case cases[] = {
      {0.0, {0, 100, 255}},     {1.0, {255, 50, 0}},   {0.5, {127, 75, 127}},
      {-1.0, {0, 150, 255}},    {2.0, {255, 0, 0}},    {1e300, {255, 0, 0}},
      {std::nan(""), {0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(LerpColor(c.t, a, b), c.expect) << c.t;
}

TEST(ContourBar, MaterialColourOfValues) {
  // The bar as Init leaves it: one interpolated interval.
  CContourBar bar(0, 10, {0, 0, 0}, {255, 255, 255}, "t");
  float c[4];
  EXPECT_TRUE(bar.GetMaterialColor(5, c));
  EXPECT_FLOAT_EQ(c[0], 0.5f);
  EXPECT_FLOAT_EQ(c[3], 1.0f);
  EXPECT_FALSE(bar.GetMaterialColor(-3, c));  // below: the bottom colour
  EXPECT_FLOAT_EQ(c[1], 0.0f);
  EXPECT_FALSE(bar.GetMaterialColor(20, c));  // above: the trend goes on
  EXPECT_FLOAT_EQ(c[2], 2.0f);
  EXPECT_TRUE(bar.GetMaterialColor(10, c));
  EXPECT_FALSE(bar.GetMaterialColor(std::nan(""), c));
  EXPECT_FLOAT_EQ(c[0], 0.0f);

  // Made levels are flat per interval.
  const CContourBar made = Made(0, 1, 2);
  EXPECT_TRUE(made.GetMaterialColor(0.15, c));
  EXPECT_FLOAT_EQ(c[1], 51 / 255.0f);
  EXPECT_FLOAT_EQ(c[2], 214 / 255.0f);
  EXPECT_TRUE(made.GetMaterialColor(1.0, c));  // the top level: last interval
  EXPECT_FLOAT_EQ(c[0], 1.0f);

  // Two equal levels: weight 0, no division by zero.
  CContourBar flat(3, 3, {10, 20, 30}, {200, 200, 200}, "");
  EXPECT_TRUE(flat.GetMaterialColor(3, c));
  EXPECT_FLOAT_EQ(c[0], 10 / 255.0f);
}

TEST(ContourBar, ArchiveRoundTripAndRefusals) {
  CContourBar bar = Made(-3.7, 8.2, 2);
  bar.m_strTitle = "stress";
  const std::string data = bar.Save();
  // int32 count, int32 divisions, 14 records of 32 bytes, 1 + 6 title bytes.
  ASSERT_EQ(data.size(), 8u + 14u * 32u + 7u);
  EXPECT_EQ(static_cast<unsigned char>(data[0]), 13);
  EXPECT_EQ(static_cast<unsigned char>(data[4]), 10);

  CContourBar back(0, 1, kLow, kHigh, "");
  ASSERT_TRUE(back.Load(data));
  EXPECT_EQ(back.m_nCount, 13);
  EXPECT_EQ(back.m_strTitle, "stress");
  for (int i = 0; i <= 13; ++i) EXPECT_EQ(back.m_dLevels[i], bar.m_dLevels[i]);
  EXPECT_EQ(back.m_aLowColor[6], (ContourRgb{0, 255, 0}));

  // A long title takes the 0xFF + 16-bit length form.
  bar.m_strTitle = std::string(300, 'x');
  ASSERT_TRUE(back.Load(bar.Save()));
  EXPECT_EQ(back.m_strTitle.size(), 300u);

  // Counts outside 0..20 and short data are refused, leaving the bar as it was.
  std::string bad = data;
  bad[0] = 21;
  EXPECT_FALSE(back.Load(bad));
  bad[0] = '\xff';
  bad[1] = bad[2] = bad[3] = '\xff';  // -1
  EXPECT_FALSE(back.Load(bad));
  EXPECT_FALSE(back.Load(data.substr(0, data.size() - 1)));
  EXPECT_FALSE(back.Load(""));
  EXPECT_EQ(back.m_nCount, 13);
}

}  // namespace
