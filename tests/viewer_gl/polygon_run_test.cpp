// Polygons drawn through CPolygonRun give the pixels of plain GL_POLYGONs:
// the one-vertex lines it puts into the runs draw nothing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "offscreen_gl.h"
#include "viewer/gl/gl_primitives.h"

namespace {

constexpr int kSize = 256;

// 300 overlapping triangles and warped quads in a list, their colour set
// outside the primitives every five faces (`end` before it), called under
// a perspective view.
std::vector<unsigned char> Draw(GLenum polygonMode, const std::function<void(const double (*)[3], int)>& face,
                                const std::function<void()>& end) {
  glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  const float ambient[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.6, 0.6, -0.6, 0.6, 1, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0, 0, -2.5);
  glRotated(30, 1, 0.4, 0);
  glPolygonMode(GL_FRONT_AND_BACK, polygonMode);
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  for (int i = 0; i < 300; ++i) {
    if (i % 5 == 0) {
      end();
      const float c = static_cast<float>((i / 5) % 9) / 8.0f, rgba[4] = {c, 1 - c, 0.5f, 1};
      glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, rgba);
    }
    double p[4][3];
    const double cx = std::sin(i * 1.3) * 0.8, cy = std::cos(i * 0.7) * 0.8, r = 0.05 + 0.01 * ((i * 37) % 11);
    for (int k = 0; k < 4; ++k) {
      const double a = k * 1.5708 + 0.2 * std::sin(i + k);
      p[k][0] = cx + r * std::cos(a);
      p[k][1] = cy + r * std::sin(a);
      p[k][2] = 0.3 * std::sin(i * 0.5 + k);
    }
    face(p, i % 7 == 0 ? 3 : 4);
  }
  end();
  glEndList();
  glCallList(list);
  glDeleteLists(list, 1);
  std::vector<unsigned char> px(static_cast<size_t>(kSize) * kSize * 4);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

TEST(PolygonRun, SamePixelsAsPlainPolygons) {
  OffscreenGl gl(kSize);
  ASSERT_TRUE(gl.Ok());
  {
    const double n[3] = {0, 0, 1};
    for (GLenum mode : {GL_FILL, GL_LINE}) {
      const auto plain = Draw(
          mode,
          [&](const double(*p)[3], int corners) {
            glBegin(GL_POLYGON);
            glNormal3dv(n);
            for (int k = 0; k < corners; ++k) glVertex3dv(p[k]);
            glEnd();
          },
          [] {});
      CPolygonRun run;
      const auto runs = Draw(mode, [&](const double(*p)[3], int corners) { run.Polygon(p, corners, n); },
                             [&] { run.End(); });
      int background = 0;
      for (size_t i = 0; i < plain.size(); i += 4) background += plain[i] == 51 && plain[i + 1] == 76;
      // The faces cover part of the picture, and the runs change no pixel of it.
      EXPECT_GT(background, kSize * kSize / 10) << mode;
      EXPECT_LT(background, kSize * kSize * 9 / 10) << mode;
      EXPECT_TRUE(plain == runs) << mode;
    }
  }
}

}  // namespace
