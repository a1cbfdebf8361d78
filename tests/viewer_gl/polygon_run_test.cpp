// Polygons drawn through CPolygonRun give the pixels of plain GL_POLYGONs:
// the one-vertex lines it puts into the runs draw nothing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "gl_test_util.h"
#include "viewer/gl/gl_primitives.h"
#include "viewer/gl/gl_view.h"

namespace {

constexpr int kSize = 256;

struct Face {
  double p[4][3];
  int corners;
  float rgba[4];
};

// Overlapping triangles and warped quads; a colour changes every few faces.
std::vector<Face> Faces() {
  std::vector<Face> faces;
  for (int i = 0; i < 300; ++i) {
    Face f{};
    f.corners = i % 7 == 0 ? 3 : 4;
    const double cx = std::sin(i * 1.3) * 0.8, cy = std::cos(i * 0.7) * 0.8, r = 0.05 + 0.1 * ((i * 37) % 11) / 11.0;
    for (int k = 0; k < 4; ++k) {
      const double a = k * 1.5708 + 0.2 * std::sin(i + k);
      f.p[k][0] = cx + r * std::cos(a);
      f.p[k][1] = cy + r * std::sin(a);
      f.p[k][2] = 0.3 * std::sin(i * 0.5 + k);
    }
    const float c = static_cast<float>((i / 5) % 9) / 8.0f;
    f.rgba[0] = c;
    f.rgba[1] = 1.0f - c;
    f.rgba[2] = 0.5f;
    f.rgba[3] = 1.0f;
    faces.push_back(f);
  }
  return faces;
}

class PolygonRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->setFormat(CGlView::SceneFormat());
    surface_->create();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(CGlView::SceneFormat());
    ASSERT_TRUE(context_->create());
    ASSERT_TRUE(context_->makeCurrent(surface_.get()));
    fbo_ = std::make_unique<QOpenGLFramebufferObject>(kSize, kSize, QOpenGLFramebufferObject::CombinedDepthStencil);
    ASSERT_TRUE(fbo_->bind());
  }
  void TearDown() override {
    fbo_.reset();
    if (context_) context_->doneCurrent();
  }

  // The faces compiled into a list by `face` (colour changes outside the
  // primitives, `end` before each), then called.
  std::vector<unsigned char> Draw(GLenum polygonMode, const std::function<void(const Face&)>& face,
                                  const std::function<void()>& end) {
    glViewport(0, 0, kSize, kSize);
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
    const float* last = nullptr;
    for (const Face& f : faces_) {
      if (!last || f.rgba[0] != last[0]) {
        end();
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, f.rgba);
        last = f.rgba;
      }
      face(f);
    }
    end();
    glEndList();
    glCallList(list);
    glDeleteLists(list, 1);
    std::vector<unsigned char> px(static_cast<size_t>(kSize) * kSize * 4);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
  }

  std::unique_ptr<QOffscreenSurface> surface_;
  std::unique_ptr<QOpenGLContext> context_;
  std::unique_ptr<QOpenGLFramebufferObject> fbo_;
  const std::vector<Face> faces_ = Faces();
};

TEST_F(PolygonRunTest, SamePixelsAsPlainPolygons) {
  const double n[3] = {0, 0, 1};
  for (GLenum mode : {GL_FILL, GL_LINE}) {
    const auto plain = Draw(
        mode,
        [&](const Face& f) {
          glBegin(GL_POLYGON);
          glNormal3dv(n);
          for (int k = 0; k < f.corners; ++k) glVertex3dv(f.p[k]);
          glEnd();
        },
        [] {});
    CPolygonRun run;
    const auto runs = Draw(mode, [&](const Face& f) { run.Polygon(f.p, f.corners, n); }, [&] { run.End(); });
    int background = 0, differing = 0;
    for (size_t i = 0; i < plain.size(); i += 4) {
      background += plain[i] == 51 && plain[i + 1] == 76;
      differing += plain[i] != runs[i] || plain[i + 1] != runs[i + 1] || plain[i + 2] != runs[i + 2];
    }
    // The faces cover part of the picture, and the runs change no pixel of it.
    EXPECT_GT(background, kSize * kSize / 10) << mode;
    EXPECT_LT(background, kSize * kSize * 9 / 10) << mode;
    EXPECT_EQ(differing, 0) << mode;
  }
}

}  // namespace
