// The contour legend: its layout, labels, the texts at their places, the
// painted pixels; the results viewer's colour of a value; the contour range
// a diagram starts from.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>

#include "results/op_block.h"
#include "resultsviewer/contour_legend.h"
#include "resultsviewer/qm_doc.h"
#include "rv_test_util.h"

namespace {

TEST(LegendLayoutTest, PositionsFollowTheClientSize) {
  const struct {
    int w, h, n;
    LegendLayout want;
  } cases[] = {
      {1200, 800, 10, {20, 400, 100, 1150, 40, 400}},
      {300, 800, 10, {10, 400, 100, 260, 40, 400}},  // the bar keeps 10 pixels
      {1200, 50, 10, {20, 30, 40, 1150, 3, 30}},     // a short view: 30 high, at 40
      {640, 480, 14, {10, 240, 68, 600, 17, 238}},
      {640, 100, 20, {10, 50, 40, 600, 2, 40}},
      {640, 40, 20, {10, 30, 40, 600, 1, 20}},       // bands keep one pixel row
  };
  for (const auto& c : cases) {
    const LegendLayout l = ComputeLegendLayout(c.w, c.h, c.n);
    EXPECT_EQ(l.barWidth, c.want.barWidth) << c.w << "x" << c.h;
    EXPECT_EQ(l.height, c.want.height) << c.w << "x" << c.h;
    EXPECT_EQ(l.top, c.want.top) << c.w << "x" << c.h;
    EXPECT_EQ(l.left, c.want.left) << c.w << "x" << c.h;
    EXPECT_EQ(l.band, c.want.band) << c.w << "x" << c.h;
    EXPECT_EQ(l.drawn, c.want.drawn) << c.w << "x" << c.h;
  }
}

TEST(LegendLabelTest, ExponentKeepsAllItsDigits) {
  const struct {
    double v;
    const char* text;
  } cases[] = {
      {10, "1.0000e+01"},   {-0.25, "-2.5000e-01"}, {0, "0.0000e+00"},
      {1e100, "1.0000e+100"}, {-3e-120, "-3.0000e-120"}, {123456, "1.2346e+05"},
  };
  for (const auto& c : cases) EXPECT_EQ(LegendLabel(c.v), c.text);
}

CContourBar Bar(double lo, double hi) {
  CContourBar bar(lo, hi, {255, 0, 0}, {0, 0, 255}, "直応力");
  bar.MakeLevels(2);
  return bar;
}

TEST(LegendItemsTest, TextsStandWhereTheyBelong) {
  const CContourBar bar = Bar(0, 1);
  ASSERT_EQ(bar.m_nCount, 10);
  const LegendItems items = MakeContourLegend(SceneRect{0, 0, 1200, 800}, bar);
  // Frame, 10 bands of 40 rows.
  ASSERT_EQ(items.rects.size(), 1u + 10 * 40);
  const LegendRect& frame = items.rects[0];
  EXPECT_EQ(frame.x, 1149);
  EXPECT_EQ(frame.y, 100);
  EXPECT_EQ(frame.w, 22);
  EXPECT_EQ(frame.h, 402);
  EXPECT_EQ(frame.r + frame.g + frame.b, 0);

  // Title (4 copies), white labels and heading, black labels and heading.
  ASSERT_EQ(items.texts.size(), 4u + 2 * (11 + 1));
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(items.texts[static_cast<size_t>(k)].text, "直応力");
    EXPECT_EQ(items.texts[static_cast<size_t>(k)].r, 255);
  }
  const OverlayText& title = items.texts[3];
  EXPECT_EQ(title.x, 1148);
  EXPECT_EQ(title.y, 504);
  EXPECT_EQ(title.r, 0);
  EXPECT_EQ(title.hAlign, OverlayText::kRight);
  EXPECT_EQ(title.vAlign, OverlayText::kTop);
  for (int j = 0; j <= 10; ++j) {
    const OverlayText& white = items.texts[static_cast<size_t>(4 + j)];
    const OverlayText& black = items.texts[static_cast<size_t>(4 + 12 + j)];
    EXPECT_EQ(white.text, LegendLabel(bar.m_dLevels[j]));
    EXPECT_EQ(white.x, 1148);
    EXPECT_EQ(white.y, 500 - 40 * j);
    EXPECT_EQ(white.vAlign, OverlayText::kBaseline);
    EXPECT_EQ(black.text, white.text);
    EXPECT_EQ(black.x, 1147);
    EXPECT_EQ(black.y, 499 - 40 * j);
    EXPECT_EQ(black.r, 0);
  }
  EXPECT_EQ(items.texts[4].text, "0.0000e+00");
  EXPECT_EQ(items.texts[14].text, "1.0000e+00");
  EXPECT_EQ(items.texts[15].text, "CONTOUR-LEVEL");
  EXPECT_EQ(items.texts[15].y, 86);
  EXPECT_EQ(items.texts.back().text, "CONTOUR-LEVEL");
  EXPECT_EQ(items.texts.back().x, 1147);
  EXPECT_EQ(items.texts.back().y, 85);

  const CContourBar tens = Bar(0, 100);
  const LegendItems t = MakeContourLegend(SceneRect{0, 0, 1200, 800}, tens);
  EXPECT_EQ(t.texts[5].text, "1.0000e+01");
}

TEST(LegendItemsTest, NoLevelsNoLegend) {
  auto bar = MakeDefaultContourBar();
  EXPECT_EQ(bar->m_nCount, 0);
  EXPECT_TRUE(bar->m_strTitle.empty());
  const LegendItems items = MakeContourLegend(SceneRect{0, 0, 800, 600}, *bar);
  EXPECT_TRUE(items.rects.empty());
  EXPECT_TRUE(items.texts.empty());
}

TEST(LegendPaintTest, BandsFrameAndTheMiddleLineOfTwoIntervals) {
  rvtest::EnsureApp();
  CContourBar bar = Bar(0, 1);
  QImage img(1200, 800, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    DrawContourLegend(SceneRect{0, 0, 1200, 800}, p, bar);
  }
  rvtest::SaveFrame(img, "legend");
  // Frame corners black, each band in its interval's colour (bottom first).
  EXPECT_TRUE(rvtest::Near(img.pixel(1149, 100), 0, 0, 0, 0));
  EXPECT_TRUE(rvtest::Near(img.pixel(1170, 501), 0, 0, 0, 0));
  for (int k = 0; k < 10; ++k) {
    const ContourRgb& c = bar.m_aLowColor[k];
    const QRgb px = img.pixel(1160, (10 - k) * 40 + 100 - 20);
    EXPECT_TRUE(rvtest::Near(px, c[0], c[1], c[2], 0)) << k << ": " << rvtest::Rgb(px);
  }
  // Label texts left of the bar: dark pixels there, white beyond them.
  int dark = 0;
  for (int y = 490; y < 502; ++y)
    for (int x = 1060; x < 1147; ++x) dark += qGray(img.pixel(x, y)) < 100;
  EXPECT_GT(dark, 20);

  // Two intervals: a yellow line between them.
  CContourBar two(-1, 1, {255, 0, 0}, {0, 0, 255}, "");
  two.m_nCount = 2;
  two.m_dLevels[1] = 0;
  two.m_dLevels[2] = 1;
  two.m_aLowColor[0] = two.m_aHighColor[0] = {0, 0, 255};
  two.m_aLowColor[1] = two.m_aHighColor[1] = {255, 0, 0};
  img.fill(Qt::white);
  {
    QPainter p(&img);
    DrawContourLegend(SceneRect{0, 0, 1200, 800}, p, two);
  }
  EXPECT_TRUE(rvtest::Near(img.pixel(1160, 100 + 200), 255, 255, 0, 0));
  EXPECT_TRUE(rvtest::Near(img.pixel(1160, 100 + 100), 255, 0, 0, 0));
  EXPECT_TRUE(rvtest::Near(img.pixel(1160, 100 + 300), 0, 0, 255, 0));
}

TEST(ContourColourTest, InRangeOutOfRangeAndUncolourable) {
  const CContourBar bar = Bar(0, 1);
  float c[4];
  EXPECT_EQ(ContourColorCode(bar, 0.55, c), 1);
  EXPECT_FLOAT_EQ(c[0], bar.m_aLowColor[5][0] / 255.0f);
  EXPECT_FLOAT_EQ(c[3], 1.0f);
  // Below: the bottom colour; above: the last interval's.
  EXPECT_EQ(ContourColorCode(bar, -5, c), 0);
  EXPECT_FLOAT_EQ(c[2], bar.m_aLowColor[0][2] / 255.0f);
  EXPECT_EQ(ContourColorCode(bar, 7, c), 0);
  EXPECT_FLOAT_EQ(c[0], bar.m_aLowColor[9][0] / 255.0f);
  EXPECT_EQ(ContourColorCode(bar, std::nan(""), c), 0);
  // Inside a flat interval the colour is its low colour exactly, wherever
  // the value lies (a blend of a colour with itself may round past 1).
  for (double v : {0.9, 0.90103, 0.9999999, 1.0}) {
    ASSERT_EQ(ContourColorCode(bar, v, c), 1) << v;
    EXPECT_FLOAT_EQ(c[0], bar.m_aLowColor[9][0] / 255.0f) << v;
  }

  // An interpolated bar continued past its top leaves the colour range.
  CContourBar ramp(0, 1, {0, 0, 0}, {255, 10, 0}, "");
  EXPECT_EQ(ContourColorCode(ramp, 0.5, c), 1);
  EXPECT_NEAR(c[0], 0.5f, 0.01f);
  EXPECT_EQ(ContourColorCode(ramp, 3, c), -100);
  CContourBar green(0, 1, {0, 0, 0}, {0, 255, 0}, "");
  EXPECT_EQ(ContourColorCode(green, 2, c), -101);
}

TEST(ContourRangeTest, RangesMakeLevelsCanUse) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double lo, hi, wantLo, wantHi;
  } cases[] = {
      {0, 1, 0, 1},
      {-3.7, 8.2, -3.7, 8.2},
      {1.7976931348623157e308, -1.7976931348623157e308, -1, 1},  // nothing read
      {5, 5, 4, 6},
      {-400, -400, -404, -396},
      {nan, 3, 2, 4},
      {inf, -inf, -1, 1},
      {nan, nan, -1, 1},
  };
  for (const auto& c : cases) {
    double lo = c.lo, hi = c.hi;
    SanitizeRange(lo, hi);
    EXPECT_DOUBLE_EQ(lo, c.wantLo) << c.lo << " " << c.hi;
    EXPECT_DOUBLE_EQ(hi, c.wantHi) << c.lo << " " << c.hi;
    CContourBar bar(lo, hi, {0, 0, 0}, {0, 0, 0}, "");
    bar.MakeLevels(2);
    EXPECT_GE(bar.m_nCount, 1);
    EXPECT_LT(bar.m_dLevels[0], bar.m_dLevels[bar.m_nCount]);
  }
}

// A diagram's range comes from the item rows of its table only: a beam
// table cut short still ends with its minimum and maximum rows (the start
// extremes when no element was read), a fibre stress table cut short has
// neither.
TEST(ContourRangeTest, ColumnRangeTakesTheItemRowsOfTheTable) {
  constexpr double kMax = 1.7976931348623157e308;
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    unsigned code;
    std::vector<double> values;  // column 0 of each record in slot order
    int items;                   // items of the model
    bool minMaxRows;             // beam table
    double lo, hi;               // the range; +inf, -inf: no item
  } cases[] = {
      {"beam, whole", 0x410, {4, -2, 7, -2, 7}, 3, true, -2, 7},
      {"beam, 2 of 3 read", 0x410, {4, -2, -2, 4}, 3, true, -2, 4},
      {"beam, 1 of 3 read", 0x410, {4, 4, 4}, 3, true, 4, 4},
      {"beam, nothing read", 0x410, {kMax, -kMax}, 3, true, inf, -inf},
      {"fibre stress, whole", 0x510, {1, -6, 3, -6, 3}, 3, false, -6, 3},
      {"fibre stress, 2 of 3 read", 0x510, {1, -6}, 3, false, -6, 1},
      {"fibre stress, nothing read", 0x510, {}, 3, false, inf, -inf},
  };
  for (const auto& c : cases) {
    CFbOpBlock t(c.code, 0);
    for (double v : c.values) {
      std::unique_ptr<CFbOp> rec;
      if (c.code == 0x410) {
        auto e = std::make_unique<FbEOut>();
        e->m_adValue[0] = v;
        rec = std::move(e);
      } else {
        auto f = std::make_unique<FbFOut>();
        f->m_adValue[0] = static_cast<float>(v);
        rec = std::move(f);
      }
      ASSERT_TRUE(t.Append(std::move(rec)));
    }
    const int rows = ResultDataRows(&t, c.items, c.minMaxRows);
    double lo = 0, hi = 0;
    ColumnRange(t, rows, 0, lo, hi);
    EXPECT_EQ(lo, c.lo) << c.name;
    EXPECT_EQ(hi, c.hi) << c.name;
    // Never the start extremes of an empty beam table.
    SanitizeRange(lo, hi);
    EXPECT_LT(std::fabs(lo), 1e300) << c.name;
    EXPECT_LT(std::fabs(hi), 1e300) << c.name;
  }
}

}  // namespace
