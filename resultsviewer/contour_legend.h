// The contour legend at the right edge of a value diagram: a vertical colour
// bar with one band per contour interval, the level values beside it, the
// heading "CONTOUR-LEVEL" above it and the component's name below it; and
// the results viewer's forms of the colour of a value and of the contour
// range a diagram is made from.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "viewer/contour_bar.h"
#include "viewer/gl/gl_scene.h"

class CFbOpBlock;
class QFont;
class QPainter;

// Where the legend goes in a client area of `width` x `height` pixels for
// `count` intervals (all integer arithmetic).
struct LegendLayout {
  int barWidth = 0;    // b
  int height = 0;      // L
  int top = 0;         // y0
  int left = 0;        // x0
  int band = 0;        // s, the height of one interval
  int drawn = 0;       // T = count x s
};
LegendLayout ComputeLegendLayout(int width, int height, int count);

// A level as the legend writes it: "%.4e" with every exponent digit
// (10 -> "1.0000e+01", 1e100 -> "1.0000e+100").
std::string LegendLabel(double level);

// What the legend draws, in device pixels: filled one-pixel rows and
// rectangles, then the texts in order.
struct LegendRect {
  int x, y, w, h;
  int r, g, b;
};
struct LegendItems {
  std::vector<LegendRect> rects;
  std::vector<OverlayText> texts;
};
// Empty when the bar has no levels (count below 1).
LegendItems MakeContourLegend(const SceneRect& client, const CContourBar& bar);

// Draws the legend with the painter (device pixels = painter pixels x
// devicePixelRatio).
void DrawContourLegend(const SceneRect& client, QPainter& painter, const CContourBar& bar,
                       double devicePixelRatio = 1.0);
void PaintLegendItems(QPainter& painter, const LegendItems& items, double devicePixelRatio);

// The legend's font: 13 pixels, bold, the CJK monospace family.
QFont LegendFont();

// The results viewer's colour of a value: 1 in range, 0 out of range (the
// colour of the nearest end is still given), or -100 - component (0 red,
// 1 green, 2 blue) when a component would lie outside 0..1, in which case
// no colour is given.
int ContourColorCode(const CContourBar& bar, double value, float rgba[4]);
// The same, setting the OpenGL ambient and diffuse material (front and back)
// when a colour is given.
int SetGLMaterialResult(const CContourBar& bar, double value);

// A contour range that MakeLevels can work with: an inverted range (no item
// read), an empty one (every value equal) or one with a non-finite end is
// widened around the values there are (to -1 .. 1 when there are none).
void SanitizeRange(double& lo, double& hi);

// Minimum and maximum of one value column over the first `rows` rows of a
// result table (its item rows): from the minimum and maximum rows that
// follow them when the table has those (rows + 2 records), else from the
// rows themselves. No row gives an inverted pair (+inf, -inf).
void ColumnRange(const CFbOpBlock& table, int rows, int column, double& lo, double& hi);

// The bar a value diagram starts from before its first Init: no levels, no
// title.
std::unique_ptr<CContourBar> MakeDefaultContourBar();
