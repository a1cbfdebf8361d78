// Pixel-exact pictures hold only on the renderer they were made on. Tests of
// pinned pictures skip elsewhere with a message naming it; tests comparing
// two ways of drawing the same thing demand the picture rule everywhere and
// the same pixels on that renderer.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/picture_tolerance.h"
#include "viewer/gl/gl_view.h"

inline constexpr const char* kPinnedRenderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
inline constexpr const char* kPinnedVersion = "4.5 (Compatibility Profile) Mesa 22.3.6";

// Empty on the pinned renderer, else why pixel-exact pictures do not apply.
// Reads the current context, or one of the scene's format made for the
// purpose when none is current (the application must exist).
inline std::string OffPinnedRenderer() {
  // The pictures were made with the driver's cures at their default.
  if (const char* force = std::getenv("OV_GL_CURES"); force && std::string(force) == "off")
    return "pixel-exact pictures were made with the driver's cures on; OV_GL_CURES=off";
  auto read = [] {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!renderer || !version) return std::string("no OpenGL context to ask");
    if (std::string(renderer) == kPinnedRenderer && std::string(version) == kPinnedVersion) return std::string();
    return "pixel-exact pictures were made on " + std::string(kPinnedRenderer) + ", " + kPinnedVersion +
           "; this is " + renderer + ", " + version;
  };
  if (QOpenGLContext::currentContext()) return read();
  QOffscreenSurface surface;
  surface.setFormat(CGlView::SceneFormat());
  surface.create();
  QOpenGLContext context;
  context.setFormat(CGlView::SceneFormat());
  if (!context.create() || !context.makeCurrent(&surface)) return "no OpenGL context to ask";
  std::string why = read();
  context.doneCurrent();
  return why;
}

#define OV_SKIP_OFF_PINNED_RENDERER()                                           \
  do {                                                                          \
    if (const std::string ovOffPinned = OffPinnedRenderer(); !ovOffPinned.empty()) \
      GTEST_SKIP() << ovOffPinned;                                              \
  } while (0)

// Two pictures of the same size within the picture rule.
inline testing::AssertionResult WithinPictureRule(const PictureView& reference, const PictureView& picture) {
  const PictureDiff d = ComparePictures(reference, picture);
  if (d.Within()) return testing::AssertionSuccess() << DescribeDiff(d);
  return testing::AssertionFailure() << DescribeDiff(d);
}

// Two ways of drawing the same thing: within the picture rule on any
// renderer, pixel for pixel on the pinned one (said once where skipped).
inline testing::AssertionResult SamePicture(const PictureView& reference, const PictureView& picture) {
  const PictureDiff d = ComparePictures(reference, picture);
  if (!d.Within()) return testing::AssertionFailure() << DescribeDiff(d);
  if (d.differing == 0) return testing::AssertionSuccess();
  const std::string off = OffPinnedRenderer();
  if (off.empty()) return testing::AssertionFailure() << "not pixel for pixel on the pinned renderer: " << DescribeDiff(d);
  static bool told = false;
  if (!told) std::printf("[   NOTE   ] %s: pictures compared within the rule only\n", off.c_str());
  told = true;
  return testing::AssertionSuccess() << DescribeDiff(d);
}

inline testing::AssertionResult SamePicture(const std::vector<unsigned char>& reference,
                                            const std::vector<unsigned char>& picture, int width, int height) {
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (reference.size() != bytes || picture.size() != bytes)
    return testing::AssertionFailure() << "not two RGBA pictures of " << width << "x" << height;
  return SamePicture(RgbaView(reference, width, height), RgbaView(picture, width, height));
}

inline testing::AssertionResult SamePicture(const QImage& reference, const QImage& picture) {
  const QImage a = reference.convertToFormat(QImage::Format_RGBA8888);
  const QImage b = picture.convertToFormat(QImage::Format_RGBA8888);
  return SamePicture(PictureView{a.constBits(), a.width(), a.height(), a.bytesPerLine(), 4},
                     PictureView{b.constBits(), b.width(), b.height(), b.bytesPerLine(), 4});
}
