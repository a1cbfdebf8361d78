// The picture rule: a picture may differ from its reference in at most 0.5 %
// of the pixels, and only next to a line or a face boundary of the
// reference. A differing pixel is next to one when a pixel within 1 px of it
// (its 8-neighbourhood) has another colour in the reference. Used by the
// scene tests and by bench/picture_diff; plain RGB(A) bytes, no Qt.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// A picture in memory: rows of `stride` bytes, each pixel `channels` bytes
// (3 or 4) starting with red, green and blue; a fourth byte is not compared.
struct PictureView {
  const unsigned char* data = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  int channels = 4;
};

// A tightly packed RGBA picture, as glReadPixels(GL_RGBA) returns it.
PictureView RgbaView(const std::vector<unsigned char>& rgba, int width, int height);

struct PictureDiff {
  bool sameSize = true;
  long long pixels = 0;       // of the reference
  long long differing = 0;    // in any of red, green and blue
  long long offBoundary = 0;  // differing and not next to a boundary
  double Share() const { return pixels ? static_cast<double>(differing) / static_cast<double>(pixels) : 0.0; }
  bool Within() const { return sameSize && offBoundary == 0 && differing * 200 <= pixels; }
};

// Compares `picture` with `reference`. With `difference`, also fills it with
// a packed RGB picture of the reference's size: differing pixels next to a
// boundary orange, the others red, the rest the reference greyed.
PictureDiff ComparePictures(const PictureView& reference, const PictureView& picture,
                            std::vector<unsigned char>* difference = nullptr);

// "65536 pixels, 120 differ (0.18 %), 0 off a boundary: within the rule"
std::string DescribeDiff(const PictureDiff& d);
