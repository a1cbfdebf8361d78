// The picture rule on a reference of two faces split by a vertical edge at
// x = 100 and crossed by a 1 px line at y = 150.
#include "support/picture_tolerance.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr int kSide = 200;
constexpr unsigned char kA[3] = {40, 60, 200}, kB[3] = {200, 200, 30}, kLine[3] = {0, 0, 0}, kBlob[3] = {250, 0, 0};

const unsigned char* Reference(int x, int y) { return y == 150 ? kLine : x < 100 ? kA : kB; }

// Packed RGB with padded rows (`channels` 3) or RGBA with an alpha that
// varies and is not compared (`channels` 4).
std::vector<unsigned char> Make(int width, int height, int channels, std::ptrdiff_t stride,
                                const std::function<const unsigned char*(int, int)>& colour) {
  std::vector<unsigned char> px(static_cast<size_t>(stride) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = px.data() + y * stride + x * channels;
      for (int c = 0; c < 3; ++c) p[c] = colour(x, y)[c];
      if (channels == 4) p[3] = static_cast<unsigned char>(x + y);
    }
  return px;
}

TEST(PictureTolerance, CountsAndJudgesByTheRule) {
  constexpr std::ptrdiff_t kRefStride = kSide * 3 + 5;
  const auto ref = Make(kSide, kSide, 3, kRefStride, Reference);
  const PictureView refView{ref.data(), kSide, kSide, kRefStride, 3};
  struct Case {
    const char* name;
    int height;
    std::function<const unsigned char*(int, int)> colour;
    long long differing, offBoundary;
    bool within;
  };
  const Case cases[] = {
      {"identical", kSide, Reference, 0, 0, true},
      {"edge 1 px over in its upper half", kSide,
       [](int x, int y) { return x == 100 && y < 100 ? kA : Reference(x, y); }, 100, 0, true},
      {"blob inside a face", kSide,
       [](int x, int y) { return x >= 49 && x <= 51 && y >= 49 && y <= 51 ? kBlob : Reference(x, y); }, 9, 9, false},
      {"edge and line moved: all next to a boundary but over 0.5 %", kSide,
       [](int x, int y) {
         if (y == 151) return kLine;
         if (y == 150) return x < 100 ? kA : kB;
         return x == 100 ? kA : Reference(x, y);
       },
       598, 0, false},
      {"another size", kSide - 1, Reference, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto pic = Make(kSide, c.height, 4, kSide * 4, c.colour);
    std::vector<unsigned char> diff;
    const PictureDiff d = ComparePictures(refView, {pic.data(), kSide, c.height, kSide * 4, 4}, &diff);
    EXPECT_EQ(d.sameSize, c.height == kSide);
    EXPECT_EQ(d.pixels, kSide * kSide);
    EXPECT_EQ(d.differing, c.differing);
    EXPECT_EQ(d.offBoundary, c.offBoundary);
    EXPECT_EQ(d.Within(), c.within) << DescribeDiff(d);
    if (!d.sameSize) {
      EXPECT_TRUE(diff.empty());
      continue;
    }
    // The difference picture marks each counted pixel in its colour.
    ASSERT_EQ(diff.size(), static_cast<size_t>(kSide) * kSide * 3);
    long long red = 0, orange = 0;
    for (size_t i = 0; i < diff.size(); i += 3) {
      red += diff[i] == 255 && diff[i + 1] == 0;
      orange += diff[i] == 255 && diff[i + 1] == 160;
    }
    EXPECT_EQ(red, c.offBoundary);
    EXPECT_EQ(orange, c.differing - c.offBoundary);
  }
  PictureDiff shifted;
  shifted.pixels = 40000;
  shifted.differing = 100;
  EXPECT_EQ(DescribeDiff(shifted), "40000 pixels, 100 differ (0.25 %), 0 off a boundary: within the rule");
}

}  // namespace
