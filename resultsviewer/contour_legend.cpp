#include "resultsviewer/contour_legend.h"

#include <GL/gl.h>

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/numbers.h"
#include "results/op_block.h"
#include "viewer/gl/cjk_font.h"

LegendLayout ComputeLegendLayout(int width, int height, int count) {
  LegendLayout l;
  const int h2 = height / 2;
  l.barWidth = std::max(width / 60, 10);
  l.height = std::max(h2, 30);
  l.top = std::max(h2, 100) / 5 + 20;
  l.left = width - l.barWidth - 30;
  // Twenty intervals in a short view would collapse to nothing: every band
  // keeps one pixel row.
  l.band = count > 0 ? std::max(1, l.height / count) : 0;
  l.drawn = count > 0 ? count * l.band : 0;
  return l;
}

std::string LegendLabel(double level) { return plat::Format("%.4e", level); }

LegendItems MakeContourLegend(const SceneRect& client, const CContourBar& bar) {
  LegendItems items;
  const int n = std::min(bar.m_nCount, CContourBar::kMaxCount);
  if (n < 1) return items;
  const LegendLayout l = ComputeLegendLayout(client.Width(), client.Height(), n);
  const int x0 = l.left, y0 = l.top, b = l.barWidth, s = l.band, T = l.drawn;

  items.rects.push_back({x0 - 1, y0, b + 2, T + 2, 0, 0, 0});
  for (int k = 0; k < n; ++k) {
    const ContourRgb& lo = bar.m_aLowColor[k];
    const ContourRgb& hi = bar.m_aHighColor[k];
    for (int i = 0; i < s; ++i) {
      const double t = static_cast<double>(i) / s;
      LegendRect row{x0, (n - k) * s + y0 - i, b, 1, 0, 0, 0};
      row.r = static_cast<int>((1 - t) * lo[0] + t * hi[0]);
      row.g = static_cast<int>((1 - t) * lo[1] + t * hi[1]);
      row.b = static_cast<int>((1 - t) * lo[2] + t * hi[2]);
      items.rects.push_back(row);
    }
  }
  if (n == 2) items.rects.push_back({x0, y0 + s, b, 1, 255, 255, 0});

  auto text = [&](const std::string& str, int x, int y, OverlayText::VAlign v, int grey) {
    OverlayText t;
    t.text = str;
    t.x = x;
    t.y = y;
    t.r = t.g = t.b = static_cast<unsigned char>(grey);
    t.hAlign = OverlayText::kRight;
    t.vAlign = v;
    items.texts.push_back(t);
  };
  // The title below the bar, with a white shadow on three sides.
  text(bar.m_strTitle, x0 - 1, y0 + T + 5, OverlayText::kTop, 255);
  text(bar.m_strTitle, x0 - 2, y0 + T + 5, OverlayText::kTop, 255);
  text(bar.m_strTitle, x0 - 1, y0 + T + 4, OverlayText::kTop, 255);
  text(bar.m_strTitle, x0 - 2, y0 + T + 4, OverlayText::kTop, 0);
  // Level labels and the heading: white first, then black one pixel up
  // and to the left.
  for (int j = 0; j <= n; ++j)
    text(LegendLabel(bar.m_dLevels[j]), x0 - 2, (n - j) * s + y0, OverlayText::kBaseline, 255);
  text("CONTOUR-LEVEL", x0 - 2, y0 - 14, OverlayText::kBaseline, 255);
  for (int j = 0; j <= n; ++j)
    text(LegendLabel(bar.m_dLevels[j]), x0 - 3, (n - j) * s + y0 - 1, OverlayText::kBaseline, 0);
  text("CONTOUR-LEVEL", x0 - 3, y0 - 15, OverlayText::kBaseline, 0);
  return items;
}

QFont LegendFont() {
  // "ＭＳ ゴシック", 13 pixels high, bold.
  QFont f = CjkMonoFont(13);
  f.setBold(true);
  return f;
}

void PaintLegendItems(QPainter& painter, const LegendItems& items, double devicePixelRatio) {
  if (items.rects.empty() && items.texts.empty()) return;
  const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  painter.save();
  // Work in device pixels, as the layout does.
  painter.scale(1.0 / dpr, 1.0 / dpr);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const LegendRect& r : items.rects) painter.fillRect(r.x, r.y, r.w, r.h, QColor(r.r, r.g, r.b));
  const QFont font = LegendFont();
  painter.setFont(font);
  painter.setBackgroundMode(Qt::TransparentMode);
  const QFontMetricsF fm(font);
  for (const OverlayText& t : items.texts) {
    const QString s = QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size()));
    double x = t.x - fm.horizontalAdvance(s);
    double y = t.y;
    if (t.vAlign == OverlayText::kTop) y += fm.ascent();
    painter.setPen(QColor(t.r, t.g, t.b));
    painter.drawText(QPointF(x, y), s);
  }
  painter.restore();
}

void DrawContourLegend(const SceneRect& client, QPainter& painter, const CContourBar& bar,
                       double devicePixelRatio) {
  PaintLegendItems(painter, MakeContourLegend(client, bar), devicePixelRatio);
}

int ContourColorCode(const CContourBar& bar, double value, float rgba[4]) {
  const int n = std::clamp(bar.m_nCount, 1, CContourBar::kMaxCount);
  int inRange = 1;
  if (std::isnan(value) || value < bar.m_dLevels[0]) {
    inRange = 0;
    value = bar.m_dLevels[0];
  } else if (value > bar.m_dLevels[n]) {
    inRange = 0;
  }
  int i = 0;
  for (int k = n - 1; k >= 0; --k)
    if (bar.m_dLevels[k] <= value) {
      i = k;
      break;
    }
  const double width = bar.m_dLevels[i + 1] - bar.m_dLevels[i];
  double d = width != 0 ? (value - bar.m_dLevels[i]) / width : 0.0;
  if (!std::isfinite(d)) d = 0.0;
  const ContourRgb& lo = bar.m_aLowColor[i];
  const ContourRgb& hi = bar.m_aHighColor[i];
  for (int c = 0; c < 3; ++c) {
    // A flat interval is its low colour exactly (the blend of a colour with
    // itself can round past 255).
    double v = bar.m_nInterpolate ? ((1 - d) * lo[c] + d * hi[c]) / 255.0 : lo[c] / 255.0;
    constexpr double kSlack = 1e-9;
    if (v < -kSlack || v > 1 + kSlack) return -100 - c;
    v = std::clamp(v, 0.0, 1.0);
    rgba[c] = static_cast<float>(v);
  }
  rgba[3] = 1.0f;
  return inRange;
}

int SetGLMaterialResult(const CContourBar& bar, double value) {
  float c[4];
  const int r = ContourColorCode(bar, value, c);
  if (r >= 0) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
  }
  return r;
}

void SanitizeRange(double& lo, double& hi) {
  const bool flo = std::isfinite(lo), fhi = std::isfinite(hi);
  if (!flo && !fhi) {
    lo = -1;
    hi = 1;
    return;
  }
  if (!flo) lo = hi;
  if (!fhi) hi = lo;
  // The start values of extremes that saw no item (maximum below minimum).
  if (lo > hi) {
    lo = -1;
    hi = 1;
    return;
  }
  if (lo == hi) {
    const double v = lo;
    const double d = std::max(1.0, std::fabs(v) * 0.01);
    lo = v - d;
    hi = v + d;
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo == hi) {
      lo = -1;
      hi = 1;
    }
  }
}

void ColumnRange(const CFbOpBlock& table, int rows, int column, double& lo, double& hi) {
  lo = std::numeric_limits<double>::infinity();
  hi = -std::numeric_limits<double>::infinity();
  if (rows < 1) return;
  const int count = table.GetCount();
  const CFbOp* mn = count == rows + 2 ? table.GetAt(rows) : nullptr;
  const CFbOp* mx = count == rows + 2 ? table.GetAt(rows + 1) : nullptr;
  if (mn && mx) {
    lo = mn->GetValue(column);
    hi = mx->GetValue(column);
    return;
  }
  const int n = std::min(count, rows);
  for (int i = 0; i < n; ++i) {
    const CFbOp* rec = table.GetAt(i);
    if (!rec) continue;
    const double v = rec->GetValue(column);
    if (!std::isfinite(v)) continue;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
}

std::unique_ptr<CContourBar> MakeDefaultContourBar() {
  auto bar = std::make_unique<CContourBar>(0.0, 0.0, ContourRgb{0, 0, 0}, ContourRgb{0, 0, 0}, std::string());
  bar->m_nCount = 0;
  return bar;
}
