// Contour bar: contour levels with a nice step over a scalar range, a colour
// per interval, and the colour of a value. The OpenGL material call lives
// with the scene; this class only computes colours.
#pragma once
#include <array>
#include <string>
#include <string_view>

using ContourRgb = std::array<int, 3>;  // 0..255 per component

// Per component (1 - t) x a + t x b, truncated toward zero, clamped to 0..255
// (a non-finite component gives 0).
ContourRgb LerpColor(double t, const ContourRgb& a, const ContourRgb& b);

class CContourBar {
 public:
  static constexpr int kMaxCount = 20;        // intervals
  static constexpr int kLevels = kMaxCount + 1;

  // A bar of one interval from `min` to `max`, first colour at the bottom,
  // second at the top (Init).
  CContourBar(double min, double max, const ContourRgb& first, const ContourRgb& second,
              std::string title);
  virtual ~CContourBar() = default;

  void Init(double min, double max, const ContourRgb& first, const ContourRgb& second,
            std::string title);
  // The same with the arguments in the order (second colour, first colour,
  // range, title).
  void Init(const ContourRgb& second, const ContourRgb& first, double min, double max,
            std::string title);

  // Recomputes count, levels and colours from levels[0] and levels[count];
  // `mode` is the settings' contour value (1 grey, otherwise blue to red).
  void MakeLevels(int mode);

  // Colour of a value as OpenGL material components 0..1 (alpha 1); true
  // when levels[0] <= value <= levels[count]. A value below the bar takes
  // the bottom colour; one above continues the last interval's trend.
  bool GetMaterialColor(double value, float rgba[4]) const;

  // The archive form: int32 count, int32 divisions, count + 1 records of
  // { double level; int32 low r, g, b; int32 high r, g, b }, then the title
  // as a counted string; little-endian. Interpolation is not stored.
  std::string Save() const;
  // False (bar unchanged) when the data is short or the count lies outside
  // 0..20.
  bool Load(std::string_view data);

  int m_nCount = 1;         // intervals; levels = count + 1
  int m_nDivisions = 10;
  double m_dLevels[kLevels] = {};  // ascending
  ContourRgb m_aLowColor[kLevels] = {};   // colour at each interval's lower level
  ContourRgb m_aHighColor[kLevels] = {};  // colour at each interval's upper level
  std::string m_strTitle;
  int m_nInterpolate = 1;   // 1: blend low to high inside an interval
};
