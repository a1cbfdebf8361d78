// The driver's cures: which driver gets them, and the scene drawn with all
// of them and with none, which must agree within an edge band, leave the
// same state behind and give back every list and buffer name.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "edge_band.h"
#include "offscreen_gl.h"
#include "viewer/gl/gl_driver.h"
#include "viewer/gl/gl_scene.h"

namespace {

TEST(DriverCures, OnlyForTheMeasuredDriverUnlessForced) {
  struct Case {
    const char *renderer, *version, *force;
    bool on;
  };
  const Case cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", "4.5 (Compatibility Profile) Mesa 22.3.6", nullptr, true},
      {"llvmpipe (LLVM 17.0.6, 256 bits)", "4.5 (Compatibility Profile) Mesa 24.0.5", nullptr, false},
      {"Mesa Intel(R) UHD Graphics 620", "4.6 (Compatibility Profile) Mesa 22.3.6", nullptr, false},
      {"NVIDIA GeForce", "4.6.0 NVIDIA 535.54", "on", true},
      {"llvmpipe (LLVM 15.0.6, 256 bits)", "4.5 (Compatibility Profile) Mesa 22.3.6", "off", false},
      {"llvmpipe (LLVM 15.0.6, 256 bits)", "4.5 (Compatibility Profile) Mesa 22.3.6", "maybe", true},
  };
  for (const Case& c : cases) {
    const GlDriverCures k = CGlDriver::CuresFor(c.renderer, c.version, c.force);
    for (bool flag : {k.breakPolygonRuns, k.stencilDrawnDirectly, k.compileThenCall, k.cutOutlineDraws,
                      k.materialInsidePrimitive, k.playbackSplits})
      EXPECT_EQ(flag, c.on) << c.renderer << " / " << c.version << " / " << (c.force ? c.force : "-");
  }
}

constexpr int kSize = 160;

// Shells of the four part kinds (one flagged), member faces along them
// (a triangle among them), a segment and a thick closed outline.
void Model(CDispModel& m) {
  std::vector<TestNode> nodes;
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) nodes.push_back({1 + i + 3 * j, 10.0 * i, 10.0 * j + (i == 1 ? 2 : 0), 1.0 * i * j});
  BuildModel(m, nodes,
             {{1, 7, {1, 2, 5, 4}, 0, 1}, {2, 8, {2, 3, 6, 5}, 1, 0}, {3, 7, {4, 5, 8, 7}, 2, 0},
              {4, 8, {5, 6, 9, 8}, 3, 1}},
             {{7, 200, 60, 40}, {8, 30, 160, 90}}, 8, 8);
  for (int f = 0; f < 6; ++f) {
    DispFace face;
    face.nElem = 10 + f;
    face.nMat = f % 2 ? 7 : 8;
    face.nColorClass = f % 4;
    face.nMode1 = f % 2;
    face.nSide = 1;
    face.nCorners = f == 5 ? 3 : 4;
    const double x = 2 + 3 * f, p[4][3] = {{x, 3, 6}, {x + 2, 3, 6}, {x + 2, 7, 7}, {x, 7, 7}};
    m.AddFace(face, p);
  }
  AddLinePrimitive(m, {{0, 0, 3}, {20, 20, 3}}, 0, 0);
  AddLinePrimitive(m, {{1, 18, 2}, {9, 18, 2}, {9, 12, 2}, {1, 12, 2}}, 1, 1);
}

struct Frame {
  std::vector<unsigned char> first, second;  // the frame that builds the lists, the one that plays them
  std::vector<float> state;
};

std::vector<unsigned char> Pixels() {
  std::vector<unsigned char> px(static_cast<size_t>(kSize) * kSize * 4);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

// The state a frame leaves that the next painter meets.
std::vector<float> State() {
  std::vector<float> s;
  for (GLenum cap : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_STENCIL_TEST, GL_DEPTH_TEST, GL_POLYGON_OFFSET_LINE,
                     GL_POLYGON_OFFSET_FILL, GL_SCISSOR_TEST, GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY})
    s.push_back(glIsEnabled(cap));
  GLint v[2] = {};
  for (GLenum e : {GL_POLYGON_MODE, GL_ARRAY_BUFFER_BINDING, GL_ELEMENT_ARRAY_BUFFER_BINDING, GL_LIST_INDEX,
                   GL_MATRIX_MODE}) {
    glGetIntegerv(e, v);
    s.push_back(static_cast<float>(v[0]));
  }
  float f[4] = {};
  glGetFloatv(GL_LINE_WIDTH, f);
  s.push_back(f[0]);
  for (GLenum e : {GL_AMBIENT, GL_DIFFUSE}) {
    glGetMaterialfv(GL_FRONT, e, f);
    s.insert(s.end(), f, f + 4);
  }
  s.push_back(static_cast<float>(glGetError()));
  return s;
}

// Whether this machine's driver has the faults the cures are for.
bool faulty = false;

Frame Draw(const char* cures, int displayMode, bool stencil, bool surfaces) {
  setenv("OV_GL_CURES", cures, 1);
  Frame out;
  OffscreenGl gl(kSize);
  if (!gl.Ok()) return out;
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  faulty = CGlDriver::CuresFor(renderer ? renderer : "", version ? version : "", nullptr).compileThenCall;
  const long lists = CGlListSet::LiveNames(), parts = CListBatches::LiveNames();
  CDispModel doc;
  Model(doc);
  TempDir dir;
  CGlScene scene;
  EXPECT_EQ(scene.Setup(doc, {dir.Path(), dir.Path(), "none"}), CGlScene::kSetupOk);
  scene.displayMode = displayMode;
  scene.settings.stencil = stencil ? 1 : 0;
  scene.surfacesOn = surfaces ? 1 : 0;
  const SceneRect rect{0, 0, kSize, kSize};
  for (auto* px : {&out.first, &out.second}) {
    scene.SetProjection(doc, 0, 0, 0, rect, false);
    scene.Draw(doc, rect);
    *px = Pixels();
  }
  out.state = State();
  scene.DeleteLists();
  unsetenv("OV_GL_CURES");
  CGlDriver::Describe();
  EXPECT_EQ(CGlListSet::LiveNames(), lists) << cures;
  EXPECT_EQ(CListBatches::LiveNames(), parts) << cures;
  return out;
}

TEST(DriverCures, TheSceneWithAndWithoutCuresAgreesWithinAnEdgeBand) {
  struct Case {
    int displayMode;
    bool stencil, surfaces;
  };
  const Case cases[] = {{0, false, true}, {0, true, true}, {1, false, true}, {1, true, true},
                        {2, false, true}, {2, true, true}, {0, false, false}};
  for (const Case& c : cases) {
    const Frame on = Draw("on", c.displayMode, c.stencil, c.surfaces);
    const Frame off = Draw("off", c.displayMode, c.stencil, c.surfaces);
    ASSERT_FALSE(on.first.empty());
    const std::string what = "mode " + std::to_string(c.displayMode) + (c.stencil ? " stencil" : "") +
                             (c.surfaces ? "" : " wireframe");
    // The frame that builds the lists draws them compiled and executed at
    // once without the cures: a driver with the faults colours it wrong.
    if (!faulty) {
      EXPECT_EQ(EdgeBandDifference(on.first, off.first, kSize, kSize), "") << what;
    }
    EXPECT_EQ(EdgeBandDifference(on.second, off.second, kSize, kSize), "") << what;
    EXPECT_EQ(on.first, on.second) << what;  // a list built and then played draws the same
    EXPECT_EQ(on.state, off.state) << what;
  }
}

}  // namespace
