// Two pictures alike within what a driver guarantees: at most 0.5 % of the
// pixels differ, and each that differs lies within 1 px of an edge of the
// reference (a neighbour of another colour there).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// RGBA rows, `w` x `h`. Empty when alike; else what is wrong.
inline std::string EdgeBandDifference(const std::vector<unsigned char>& ref, const std::vector<unsigned char>& other,
                                      int w, int h) {
  if (ref.size() != other.size() || ref.size() != static_cast<size_t>(w) * h * 4) return "sizes differ";
  auto at = [&](const std::vector<unsigned char>& img, int x, int y) {
    const unsigned char* p = img.data() + (static_cast<size_t>(y) * w + x) * 4;
    return (p[0] << 16) | (p[1] << 8) | p[2];
  };
  long differing = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (at(ref, x, y) == at(other, x, y)) continue;
      ++differing;
      bool edge = false;
      for (int dy = -1; dy <= 1 && !edge; ++dy)
        for (int dx = -1; dx <= 1 && !edge; ++dx) {
          const int u = x + dx, v = y + dy;
          edge = u >= 0 && v >= 0 && u < w && v < h && at(ref, u, v) != at(ref, x, y);
        }
      if (!edge) return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs off every edge";
    }
  }
  if (differing * 200 > static_cast<long>(w) * h)
    return std::to_string(differing) + " pixels differ, more than 0.5 %";
  return "";
}
