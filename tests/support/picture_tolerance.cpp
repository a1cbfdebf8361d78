#include "support/picture_tolerance.h"

#include <algorithm>
#include <cstdio>

namespace {

const unsigned char* Pixel(const PictureView& p, int x, int y) {
  return p.data + static_cast<std::ptrdiff_t>(y) * p.stride + static_cast<std::ptrdiff_t>(x) * p.channels;
}

bool SameColour(const unsigned char* a, const unsigned char* b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Some pixel of the 8-neighbourhood has another colour in the reference.
bool NextToBoundary(const PictureView& ref, int x, int y) {
  const unsigned char* c = Pixel(ref, x, y);
  for (int ny = std::max(0, y - 1); ny <= std::min(ref.height - 1, y + 1); ++ny)
    for (int nx = std::max(0, x - 1); nx <= std::min(ref.width - 1, x + 1); ++nx)
      if (!SameColour(c, Pixel(ref, nx, ny))) return true;
  return false;
}

}  // namespace

PictureView RgbaView(const std::vector<unsigned char>& rgba, int width, int height) {
  return {rgba.data(), width, height, static_cast<std::ptrdiff_t>(width) * 4, 4};
}

PictureDiff ComparePictures(const PictureView& reference, const PictureView& picture,
                            std::vector<unsigned char>* difference) {
  PictureDiff d;
  d.pixels = static_cast<long long>(reference.width) * reference.height;
  if (difference) difference->clear();
  if (reference.width != picture.width || reference.height != picture.height) {
    d.sameSize = false;
    return d;
  }
  if (difference) difference->resize(static_cast<size_t>(d.pixels) * 3);
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x) {
      const unsigned char* r = Pixel(reference, x, y);
      const bool differs = !SameColour(r, Pixel(picture, x, y));
      const bool off = differs && !NextToBoundary(reference, x, y);
      d.differing += differs;
      d.offBoundary += off;
      if (!difference) continue;
      unsigned char* out = difference->data() + (static_cast<size_t>(y) * reference.width + x) * 3;
      if (off) {
        out[0] = 255, out[1] = 0, out[2] = 0;
      } else if (differs) {
        out[0] = 255, out[1] = 160, out[2] = 0;
      } else {
        // Light grey, so that both marks stand out on any reference.
        const int luma = (77 * r[0] + 150 * r[1] + 29 * r[2]) >> 8;
        out[0] = out[1] = out[2] = static_cast<unsigned char>(160 + luma * 3 / 8);
      }
    }
  return d;
}

std::string DescribeDiff(const PictureDiff& d) {
  if (!d.sameSize) return "the sizes differ: outside the rule";
  char line[160];
  std::snprintf(line, sizeof line, "%lld pixels, %lld differ (%.2f %%), %lld off a boundary: %s", d.pixels,
                d.differing, 100.0 * d.Share(), d.offBoundary, d.Within() ? "within the rule" : "outside the rule");
  return line;
}
