// Polygons drawn through CPolygonRun give the pixels of plain GL_POLYGONs:
// the one-vertex lines it puts into the runs draw nothing. Faces staged with
// a colour each (CFaceStaging) give the pixels of GL_POLYGONs in a list with
// the material set before each, from a list's buffers and from client
// memory alike, and leave the same material colour and normal behind.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "offscreen_gl.h"
#include "support/pinned_renderer.h"
#include "viewer/display_model.h"
#include "viewer/gl/gl_batches.h"
#include "viewer/gl/gl_primitives.h"

namespace {

constexpr int kSize = 256;

// Face `i` of the test pictures: a warped quad somewhere in the view, of
// about `size` and up to 0.1 more.
void WarpedFace(int i, double size, double p[4][3]) {
  const double cx = std::sin(i * 1.3) * 0.8, cy = std::cos(i * 0.7) * 0.8, r = size + 0.01 * ((i * 37) % 11);
  for (int k = 0; k < 4; ++k) {
    const double a = k * 1.5708 + 0.2 * std::sin(i + k);
    p[k][0] = cx + r * std::cos(a);
    p[k][1] = cy + r * std::sin(a);
    p[k][2] = 0.3 * std::sin(i * 0.5 + k);
  }
}

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
    WarpedFace(i, 0.05, p);
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
  const CuresOn cures;
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
      for (size_t i = 0; i < plain.size(); i += 4) background += plain[i] == 51 && plain[i + 2] == 102;
      // The faces cover part of the picture, and the runs change no pixel of it.
      EXPECT_GT(background, kSize * kSize / 10) << mode;
      EXPECT_LT(background, kSize * kSize * 9 / 10) << mode;
      EXPECT_TRUE(SamePicture(plain, runs, kSize, kSize)) << mode;
    }
  }
}

struct Picture {
  std::vector<unsigned char> px;
  float ambient[4], diffuse[4], normal[3];
};

// 2000 overlapping triangles and warped quads, lit as the scenes light
// (the global ambient light, no lamp), under a perspective view; the colour
// (whole bytes over 255, as the colour tables give them, every byte value
// taken) changes every `every` faces. `draw` gets each face with its colour
// and `end` comes after the last.
Picture DrawFaces(int every, const std::function<void(const double (*)[3], int, const double*, const float*)>& face,
                  const std::function<void()>& end) {
  glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glDisable(GL_LIGHT0);
  const float white[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 64.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.6, 0.6, -0.6, 0.6, 1, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0, 0, -2.5);
  glRotated(30, 1, 0.4, 0);
  for (int i = 0; i < 2000; ++i) {
    const int k = i / every;
    const float rgba[4] = {static_cast<float>(k % 256 / 255.0), static_cast<float>((k * 7 + 3) % 256 / 255.0),
                           static_cast<float>((k * 101 + 50) % 256 / 255.0), 1};
    double p[4][3], n[3];
    WarpedFace(i, 0.03, p);
    const int corners = i % 7 == 0 ? 3 : 4;
    FlatNormal(p, n);
    face(p, corners, n, rgba);
  }
  end();
  Picture out;
  out.px.resize(static_cast<size_t>(kSize) * kSize * 4);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, out.px.data());
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, out.ambient);
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, out.diffuse);
  glGetFloatv(GL_CURRENT_NORMAL, out.normal);
  return out;
}

TEST(FaceStaging, SamePixelsAndStateAsPolygonsInAList) {
  OffscreenGl gl(kSize);
  const CuresOn cures;
  ASSERT_TRUE(gl.Ok());
  {
    const GLuint list = glGenLists(1);
    const long names = CListBatches::LiveNames();
    struct Case {
      int every;    // faces of one colour
      bool inList;  // staged inside a list build (buffers) or drawn at once
    };
    for (const Case c : {Case{5, true}, Case{1, true}, Case{100000, true}, Case{5, false}, Case{100000, false}}) {
      SCOPED_TRACE(testing::Message() << "every " << c.every << (c.inList ? " in a list" : " at once"));
      const auto polygons = [&] {
        glNewList(list, GL_COMPILE);
        const Picture pic = DrawFaces(
            c.every,
            [](const double(*p)[3], int corners, const double* n, const float* rgba) {
              glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, rgba);
              glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rgba);
              glBegin(GL_POLYGON);
              glNormal3dv(n);
              for (int k = 0; k < corners; ++k) glVertex3dv(p[k]);
              glEnd();
            },
            [&] {
              glEndList();
              glCallList(list);
            });
        return pic;
      }();
      CListBatches batches;
      CFaceStaging staged;
      auto stage = [&](const double(*p)[3], int corners, const double* n, const float* rgba) {
        staged.Add(p, corners, n, rgba);
        if (staged.Full()) staged.Draw();
      };
      const Picture faces = c.inList ? DrawFaces(c.every, stage,
                                                 [&] {
                                                   batches.Build(list, [&] { staged.Draw(); });
                                                   batches.Call(list);
                                                 })
                                     : DrawFaces(c.every, stage, [&] { staged.Draw(); });
      int background = 0;
      for (size_t i = 0; i < polygons.px.size(); i += 4) background += polygons.px[i] == 51 && polygons.px[i + 2] == 102;
      EXPECT_GT(background, kSize * kSize / 10);
      EXPECT_LT(background, kSize * kSize * 9 / 10);
      EXPECT_TRUE(SamePicture(polygons.px, faces.px, kSize, kSize));
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(polygons.ambient[k], faces.ambient[k]);
        EXPECT_EQ(polygons.diffuse[k], faces.diffuse[k]);
      }
      for (int k = 0; k < 3; ++k) EXPECT_EQ(polygons.normal[k], faces.normal[k]);
      EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
      batches.DeleteAll();
      EXPECT_EQ(CListBatches::LiveNames(), names);
    }
    glDeleteLists(list, 1);
  }
}

}  // namespace
