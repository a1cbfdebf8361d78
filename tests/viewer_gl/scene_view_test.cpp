// The scene drawn in its widget under a virtual X server: pixels read back
// from the framebuffer where the background, the model, its edges and the
// axis triad should be, and picks at known pixels.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gl_test_util.h"
#include "support/pinned_renderer.h"
#include "viewer/eye_file.h"
#include "viewer/gl/gl_view.h"

namespace {

// Two 10 x 10 shells side by side in the plane z = 0: A (101, material 7,
// part kind 0) at x 0-10 and B (102, material 8, kind 1: blue) at x 10-20.
void TwoShells(CDispModel& m) {
  BuildModel(
      m,
      {{1, 0, 0, 0}, {2, 10, 0, 0}, {3, 20, 0, 0}, {4, 0, 10, 0}, {5, 10, 10, 0}, {6, 20, 10, 0}},
      {{101, 7, {1, 2, 5, 4}, 0, 1}, {102, 8, {2, 3, 6, 5}, 1, 0}},
      {{7, 200, 60, 40}, {8, 30, 160, 90}});
}

// Looking straight down from scaled (0, 0, 6) with y up; a 400 x 300 window
// with the 30-degree view puts A's middle at (138, 150), B's at (262, 150)
// and the edge between them at x = 200.
const char* const kTopView =
    "eye = 0 0 6\nup = 0 1 0\nbcolor1 = 250 240 10\nbcolor2 = 10 20 240\n"
    "dcolor = 180 180 180\n";
const QPoint kA(138, 150), kB(262, 150);

bool Near(QRgb c, int r, int g, int b, int tol = 6) {
  return std::abs(qRed(c) - r) <= tol && std::abs(qGreen(c) - g) <= tol &&
         std::abs(qBlue(c) - b) <= tol;
}

std::string Rgb(QRgb c) {
  return std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," + std::to_string(qBlue(c));
}

class SceneViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new CGlView(window_.get());
    layout->addWidget(view_);
    view_->setFixedSize(400, 300);
    window_->show();
    PumpEvents(50);
  }
  void TearDown() override { window_.reset(); }

  QImage Show(const CDispModel& doc, const std::string& viw) {
    dir_.Write("model.viw", viw);
    view_->SetDocument(&doc, SceneFiles{"", dir_.Path(), "model"});
    return view_->grabFramebuffer();
  }

  TempDir dir_;
  std::unique_ptr<QWidget> window_;
  CGlView* view_ = nullptr;
};

TEST_F(SceneViewTest, GradientBackgroundSurfacesEdgesAndTriad) {
  CDispModel doc;
  TwoShells(doc);
  const QImage img = Show(doc, kTopView);
  ASSERT_EQ(img.width(), 400);
  ASSERT_EQ(img.height(), 300);
  EXPECT_EQ(view_->Scene().initialised, 1);
  // Top corners in the top colour, bottom right in the bottom colour.
  EXPECT_TRUE(Near(img.pixel(1, 1), 250, 240, 10)) << Rgb(img.pixel(1, 1));
  EXPECT_TRUE(Near(img.pixel(398, 1), 250, 240, 10)) << Rgb(img.pixel(398, 1));
  EXPECT_TRUE(Near(img.pixel(398, 298), 10, 20, 240)) << Rgb(img.pixel(398, 298));
  // A in the surface colour, B (part kind 1) in blue.
  EXPECT_TRUE(Near(img.pixel(kA), 180, 180, 180, 2)) << Rgb(img.pixel(kA));
  EXPECT_TRUE(Near(img.pixel(kB), 0, 0, 255, 2)) << Rgb(img.pixel(kB));
  // The shared edge in the edge colour (black).
  int dark = 0;
  for (int x = 197; x <= 203; ++x)
    if (Near(img.pixel(x, 150), 0, 0, 0, 30)) ++dark;
  EXPECT_GE(dark, 1);
  // The triad in the lower left corner: red, green and blue arrowheads.
  int red = 0, green = 0;
  for (int y = 180; y < 280; ++y)
    for (int x = 20; x < 120; ++x) {
      const QRgb c = img.pixel(x, y);
      if (qRed(c) > 150 && qGreen(c) < 60 && qBlue(c) < 60) ++red;
      if (qGreen(c) > 150 && qRed(c) < 60 && qBlue(c) < 60) ++green;
    }
  EXPECT_GT(red, 5);
  EXPECT_GT(green, 5);
  // Labels X, Y, Z: three black shadows and the coloured text each.
  const auto& overlay = view_->Scene().overlay;
  ASSERT_EQ(overlay.size(), 12u);
  EXPECT_EQ(overlay[3].text, "X");
  EXPECT_EQ(overlay[3].r, 255);
  EXPECT_EQ(overlay[7].text, "Y");
  EXPECT_EQ(overlay[7].g, 255);
  EXPECT_EQ(overlay[11].text, "Z");
  EXPECT_EQ(overlay[11].b, 255);
  // X points right in this view: its label starts right of the triad's middle.
  EXPECT_EQ(overlay[3].hAlign, OverlayText::kLeft);
  EXPECT_GT(overlay[3].x, 70);
  int labelRed = 0;
  for (int y = overlay[3].y - 20; y < overlay[3].y + 20; ++y)
    for (int x = overlay[3].x - 5; x < overlay[3].x + 20; ++x)
      if (img.valid(x, y) && Near(img.pixel(x, y), 255, 0, 0, 40)) ++labelRed;
  EXPECT_GT(labelRed, 3);
}

TEST_F(SceneViewTest, MaterialDisplayAndHiddenKinds) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, kTopView);
  view_->Scene().displayMode = 2;
  QImage img = view_->grabFramebuffer();
  EXPECT_TRUE(Near(img.pixel(kA), 200, 60, 40, 2))
      << Rgb(img.pixel(kA)) << " B " << Rgb(img.pixel(kB));
  EXPECT_TRUE(Near(img.pixel(kB), 30, 160, 90, 2)) << Rgb(img.pixel(kB));
  // Part kind 1 hidden in the normal display: B's place shows the background.
  view_->Scene().displayMode = 0;
  view_->Scene().kindVisible[1] = 0;
  img = view_->grabFramebuffer();
  EXPECT_TRUE(Near(img.pixel(kA), 180, 180, 180, 2)) << Rgb(img.pixel(kA));
  EXPECT_FALSE(Near(img.pixel(kB), 0, 0, 255, 40)) << Rgb(img.pixel(kB));
  // The flagged subset (mode 1): only A carries the flag.
  view_->Scene().kindVisible[1] = 1;
  view_->Scene().displayMode = 1;
  img = view_->grabFramebuffer();
  EXPECT_TRUE(Near(img.pixel(kA), 180, 180, 180, 2)) << Rgb(img.pixel(kA));
  EXPECT_FALSE(Near(img.pixel(kB), 0, 0, 255, 40)) << Rgb(img.pixel(kB));
}

TEST_F(SceneViewTest, ContourColoursPerElementAndPerCorner) {
  CDispModel doc;
  TwoShells(doc);
  doc.m_dDispScale = 0.0;
  // Column 0 of line 1: A 0, B 1; the bar from 0 to 1 runs blue to red.
  const double records[2][15] = {{1, 0}, {2, 1}};
  SceneValues values;
  values.pRecords = &records[0][0];
  values.nRecords = 2;
  values.valueMin[0] = 0;
  values.valueMax[0] = 1;
  doc.m_nColorMode = 0;
  dir_.Write("model.viw", kTopView);
  view_->SetDocument(&doc, SceneFiles{"", dir_.Path(), "model"}, &values);
  QImage img = view_->grabFramebuffer();
  ASSERT_NE(view_->Scene().contourBar, nullptr);
  EXPECT_EQ(view_->Scene().contourBar->m_nCount, 10);
  EXPECT_TRUE(Near(img.pixel(kA), 0, 0, 255, 2)) << Rgb(img.pixel(kA));
  EXPECT_TRUE(Near(img.pixel(kB), 255, 0, 0, 2)) << Rgb(img.pixel(kB));
  EXPECT_DOUBLE_EQ(view_->Scene().GetElementValue(1, 0, false), 1.0);

  // Colour mode 14: the first per-node value at each corner, 0 at x = 0 up
  // to 1 at x = 20, blended across each element.
  for (int i = 0; i < doc.m_nCurNodes; ++i)
    doc.m_aCurNodes[static_cast<size_t>(i)].dVal[0] =
        doc.m_aCurNodes[static_cast<size_t>(i)].x / 2 + 0.5;
  values.modeMin[0] = 0;
  values.modeMax[0] = 1;
  doc.m_nColorMode = 14;
  view_->ResetScene();
  img = view_->grabFramebuffer();
  ASSERT_NE(view_->Scene().contourBar, nullptr);
  const QRgb left = img.pixel(80, 150), right = img.pixel(320, 150);
  EXPECT_GT(qBlue(left), 200) << Rgb(left);
  EXPECT_GT(qRed(right), 200) << Rgb(right);
  // The stencil outlines keep the corner colours inside the elements.
  dir_.Write("model.viw", std::string(kTopView) + "stencil = 1\n");
  view_->ResetScene();
  img = view_->grabFramebuffer();
  EXPECT_EQ(Rgb(img.pixel(80, 150)), Rgb(left));
  EXPECT_EQ(Rgb(img.pixel(320, 150)), Rgb(right));
  // Without a colour mode there is no bar.
  doc.m_nColorMode = -1;
  view_->ResetScene();
  view_->grabFramebuffer();
  EXPECT_EQ(view_->Scene().contourBar, nullptr);
}

TEST_F(SceneViewTest, WireframeShowsEdgesOnly) {
  CDispModel doc;
  TwoShells(doc);
  const QImage surf = Show(doc, kTopView);
  view_->Scene().OnKey(Qt::Key_F9, false, false, 1);
  const QImage wire = view_->grabFramebuffer();
  // Where A was filled the background shows, the row's gradient colour.
  EXPECT_EQ(wire.pixel(kA), wire.pixel(398, kA.y())) << Rgb(wire.pixel(kA));
  int dark = 0;
  for (int x = 197; x <= 203; ++x)
    if (Near(wire.pixel(x, 150), 0, 0, 0, 30)) ++dark;
  EXPECT_GE(dark, 1);
  EXPECT_NE(surf.pixel(kA), wire.pixel(kA));
}

// Non-background pixels, the background taken from the rightmost column.
std::vector<bool> Silhouette(const QImage& img) {
  std::vector<bool> mask(static_cast<size_t>(img.width() * img.height()));
  for (int y = 0; y < img.height(); ++y) {
    const QRgb bg = img.pixel(img.width() - 1, y);
    for (int x = 0; x < img.width(); ++x)
      mask[static_cast<size_t>(y * img.width() + x)] =
          !Near(img.pixel(x, y), qRed(bg), qGreen(bg), qBlue(bg), 12);
  }
  return mask;
}

TEST_F(SceneViewTest, StencilOutlinesGiveTheSameSilhouette) {
  CDispModel doc;
  TwoShells(doc);
  const QImage plain = Show(doc, kTopView);
  window_.reset();
  SetUp();
  const QImage outlined = Show(doc, std::string(kTopView) + "stencil = 1\n");
  EXPECT_TRUE(view_->Scene().settings.stencil);
  EXPECT_TRUE(view_->Scene().stencilAvailable);
  EXPECT_TRUE(Near(outlined.pixel(kA), 180, 180, 180, 2)) << Rgb(outlined.pixel(kA));
  EXPECT_TRUE(Near(outlined.pixel(kB), 0, 0, 255, 2)) << Rgb(outlined.pixel(kB));
  const auto a = Silhouette(plain), b = Silhouette(outlined);
  int inA = 0, differ = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    inA += a[i];
    differ += a[i] != b[i];
  }
  EXPECT_GT(inA, 20000);
  EXPECT_LT(differ, inA / 100) << differ << " of " << inA;
  // The outline between A and B is drawn in the edge colour.
  int dark = 0;
  for (int x = 197; x <= 203; ++x)
    if (Near(outlined.pixel(x, 150), 0, 0, 0, 30)) ++dark;
  EXPECT_GE(dark, 1);
}

TEST_F(SceneViewTest, PickNamesTheElementUnderTheCursor) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, kTopView);
  view_->RequestPick(kA);
  QImage img = view_->grabFramebuffer();
  EXPECT_FALSE(view_->PickPending());
  PickResult r = view_->Scene().lastPick;
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.elem, 101);
  EXPECT_EQ(r.mat, 7);
  EXPECT_EQ(r.name, 2u);
  const auto& ov = view_->Scene().overlay;
  ASSERT_EQ(ov.size(), 15u);
  EXPECT_EQ(ov[12].text, "要素番号 101 / 材料番号 7");
  EXPECT_EQ(ov[12].x, 101);
  EXPECT_EQ(ov[13].r, 255);  // white over its black shadow
  EXPECT_EQ(ov[14].text, " 101 7 ");
  EXPECT_EQ(ov[14].x, kA.x());
  // The label is on the picture: white text in the top-left corner.
  int white = 0;
  for (int y = 30; y < 52; ++y)
    for (int x = 100; x < 260; ++x)
      if (Near(img.pixel(x, y), 255, 255, 255, 30)) ++white;
  EXPECT_GT(white, 20);
  // The picture under the label stays drawn.
  EXPECT_TRUE(Near(img.pixel(kB), 0, 0, 255, 2));

  view_->RequestPick(kB);
  view_->grabFramebuffer();
  EXPECT_EQ(view_->Scene().lastPick.elem, 102);
  EXPECT_EQ(view_->Scene().lastPick.mat, 8);

  // The background names nothing and draws no label; the next paint
  // removes the last label.
  view_->RequestPick(QPoint(390, 10));
  view_->grabFramebuffer();
  EXPECT_FALSE(view_->Scene().lastPick.hit);
  EXPECT_EQ(view_->Scene().overlay.size(), 12u);
  view_->grabFramebuffer();
  EXPECT_EQ(view_->Scene().overlay.size(), 12u);
}

TEST_F(SceneViewTest, PickNamesTheNearestOfOverlappingElementsAndFaces) {
  // A at z 0 with C (301) above it at z 2; B at z 0 with a solid face of
  // element 501 above it at z 1.
  CDispModel doc;
  BuildModel(doc,
             {{1, 0, 0, 0},
              {2, 10, 0, 0},
              {3, 20, 0, 0},
              {4, 0, 10, 0},
              {5, 10, 10, 0},
              {6, 20, 10, 0},
              {11, 0, 0, 2},
              {12, 10, 0, 2},
              {13, 10, 10, 2},
              {14, 0, 10, 2}},
             {{101, 7, {1, 2, 5, 4}}, {102, 8, {2, 3, 6, 5}}, {301, 9, {11, 12, 13, 14}}},
             {{7, 200, 60, 40}, {8, 30, 160, 90}, {9, 90, 90, 90}}, 1);
  DispFace f;
  f.nElem = 501;
  f.nMat = 12;
  f.nCorners = 4;
  const double corners[4][3] = {{10, 0, 1}, {20, 0, 1}, {20, 10, 1}, {10, 10, 1}};
  doc.ClearFaceRecords();
  ASSERT_TRUE(doc.AddFace(f, corners));
  Show(doc, kTopView);
  view_->RequestPick(kA);
  view_->grabFramebuffer();
  EXPECT_EQ(view_->Scene().lastPick.elem, 301);
  EXPECT_EQ(view_->Scene().lastPick.mat, 9);
  EXPECT_GE(view_->Scene().hitCount, 2);
  view_->RequestPick(kB);
  view_->grabFramebuffer();
  EXPECT_EQ(view_->Scene().lastPick.elem, 501);
  EXPECT_EQ(view_->Scene().lastPick.mat, 12);
  EXPECT_EQ(view_->Scene().lastPick.name, 3u);
}

TEST_F(SceneViewTest, PickOfCoplanarShellsKeepsTheDrawingOrder) {
  // A (101) spans x 0-20, B (102) lies on its right half in the same plane:
  // equal depths, so the element drawn first wins; the cursor far from
  // every corner still hits the large polygon.
  CDispModel doc;
  BuildModel(doc,
             {{1, 0, 0, 0}, {2, 10, 0, 0}, {3, 20, 0, 0}, {4, 0, 10, 0}, {5, 10, 10, 0}, {6, 20, 10, 0}},
             {{101, 7, {1, 3, 6, 4}}, {102, 8, {2, 3, 6, 5}}}, {{7, 200, 60, 40}, {8, 30, 160, 90}});
  Show(doc, kTopView);
  const struct {
    QPoint at;
    int hits, elem;
  } cases[] = {{kA, 1, 101}, {kB, 2, 101}, {QPoint(199, 150), 1, 101}, {QPoint(390, 10), 0, 0}};
  for (const auto& c : cases) {
    view_->RequestPick(c.at);
    view_->grabFramebuffer();
    const CGlScene& s = view_->Scene();
    EXPECT_EQ(s.hitCount, c.hits) << c.at.x();
    EXPECT_EQ(s.lastPick.elem, c.elem) << c.at.x();
    if (c.hits == 2) {
      EXPECT_EQ(s.hitNames[1], 12u);
      EXPECT_EQ(s.hitDepths[0], s.hitDepths[1]);
      EXPECT_GT(s.hitDepths[0], 0u);
    }
  }
}

TEST_F(SceneViewTest, NewContextRebuildsTheLists) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, kTopView);
  // Moving the view into another top-level window gives it a new context.
  auto other = std::make_unique<QWidget>();
  auto* layout = new QVBoxLayout(other.get());
  layout->setContentsMargins(0, 0, 0, 0);
  view_->setParent(other.get());
  layout->addWidget(view_);
  other->show();
  PumpEvents(50);
  const QImage img = view_->grabFramebuffer();
  EXPECT_TRUE(Near(img.pixel(kA), 180, 180, 180, 2)) << Rgb(img.pixel(kA));
  EXPECT_TRUE(Near(img.pixel(kB), 0, 0, 255, 2)) << Rgb(img.pixel(kB));
  EXPECT_TRUE(Near(img.pixel(1, 1), 250, 240, 10)) << Rgb(img.pixel(1, 1));
  EXPECT_EQ(view_->Scene().contextCreated, 1);
  view_->setParent(nullptr);  // the fixture does not own it any more
  delete view_;
  view_ = nullptr;
}

// Qt paints a view as it is put into a shown window and as it is resized
// before it shows: those frames are never seen, and the document is drawn
// only in the frame the view shows.
TEST_F(SceneViewTest, AViewDrawsTheDocumentOnlyOnceShown) {
  CDispModel doc;
  TwoShells(doc);
  dir_.Write("model.viw", kTopView);
  QMdiArea area;
  area.resize(500, 400);
  area.show();
  ASSERT_TRUE(WaitFor([&] { return area.isVisible(); }));
  auto* view = new CGlView;
  view->SetDocument(&doc, SceneFiles{"", dir_.Path(), "model"});
  QMdiSubWindow* sub = area.addSubWindow(view);
  sub->showMaximized();
  EXPECT_GT(view->Paints(), 0) << "Qt no longer paints the hidden view";
  EXPECT_EQ(view->DrawnFrames(), 0);
  EXPECT_EQ(view->Scene().initialised, 0);
  ASSERT_TRUE(WaitFor([&] { return view->DrawnFrames() > 0; }));
  EXPECT_EQ(view->DrawnFrames(), 1);
}

TEST_F(SceneViewTest, LinesInTheirDisplayModes) {
  // A thick member line across the middle and a thin flagged outline.
  CDispModel doc;
  BuildModel(doc, {{1, 0, 0, 0}, {2, 20, 10, 0}}, {}, {}, 0, 6);
  AddLinePrimitive(doc, {{0, 5, 0}, {20, 5, 0}}, 1, 0);
  AddLinePrimitive(doc, {{2, 7, 0}, {8, 7, 0}, {8, 9, 0}, {2, 9, 0}}, 0, 1);
  auto darkOrGrey = [&](const QImage& img, int x0, int y0, bool horizontal, int r) {
    int n = 0;
    for (int k = -2; k <= 2; ++k) {
      const QRgb c = horizontal ? img.pixel(x0, y0 + k) : img.pixel(x0 + k, y0);
      if (Near(c, r, r, r, 8)) ++n;
    }
    return n;
  };
  // Normal display: the member line in the surface colour, three pixels wide.
  QImage img = Show(doc, kTopView);
  EXPECT_EQ(darkOrGrey(img, 138, 150, true, 180), 3);
  // Material display: lines come from the edge layer in the edge colour.
  view_->Scene().displayMode = 2;
  img = view_->grabFramebuffer();
  EXPECT_EQ(darkOrGrey(img, 138, 150, true, 0), 3);
  EXPECT_GE(darkOrGrey(img, 101, 112, false, 0), 1);
  // The flagged subset: the flagged outline in the surface colour.
  view_->Scene().displayMode = 1;
  img = view_->grabFramebuffer();
  EXPECT_GE(darkOrGrey(img, 101, 112, false, 180), 1);
  EXPECT_EQ(darkOrGrey(img, 138, 150, true, 0), 3);
}

TEST_F(SceneViewTest, TriadTipsMatchTheProjection) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, "");  // the default diagonal view keeps every tip in the triad's viewport
  view_->makeCurrent();
  CGlScene& s = view_->Scene();
  s.DrawAxisTriad(false);
  double tips[3][2], origins[3][2];
  s.ProjectTriadTips(tips, origins);
  GLdouble mv[16], pr[16];
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[0], 20);
  EXPECT_EQ(vp[2], 100);
  for (int a = 0; a < 3; ++a) {
    glPushMatrix();
    if (a == 1) glRotated(90, -1, 0, 0);
    if (a == 2) glRotated(90, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    double x, y, z;
    gluProject(0, 0, s.labelDistance, mv, pr, vp, &x, &y, &z);
    EXPECT_NEAR(tips[a][0], x, 0.01) << a;
    EXPECT_NEAR(tips[a][1], y, 0.01) << a;
    gluProject(0, 0, 0, mv, pr, vp, &x, &y, &z);
    EXPECT_NEAR(origins[a][0], x, 0.01) << a;
    EXPECT_NEAR(origins[a][1], y, 0.01) << a;
    glPopMatrix();
  }
  glPopMatrix();
  // Seen from (1, 1, 1) the z axis points up, x to the lower left.
  EXPECT_GT(tips[0][1], origins[0][1] + 3);
  EXPECT_LT(tips[2][0], origins[2][0] - 3);
  view_->doneCurrent();
}

TEST_F(SceneViewTest, NodesWithoutElementsDrawBackgroundAndTriad) {
  CDispModel doc;
  BuildModel(doc, {{1, 0, 0, 0}, {2, 20, 10, 0}}, {});
  const QImage img = Show(doc, kTopView);
  EXPECT_EQ(view_->Scene().initialised, 1);
  EXPECT_EQ(img.pixel(kA), img.pixel(398, kA.y()));
  EXPECT_EQ(view_->Scene().overlay.size(), 12u);
}

// A 3-node element with a corner node missing from the node array is left
// out with its message in every display mode that draws surfaces; the shell
// beside it is still drawn.
TEST_F(SceneViewTest, ATriangleWithAMissingNodeIsReportedAndSkipped) {
  CDispModel doc;
  TwoShells(doc);
  doc.m_aElems3.resize(1);
  doc.m_aElems3[0].nNo = 301;
  doc.m_aElems3[0].n[0] = 1;
  doc.m_aElems3[0].n[1] = 2;
  doc.m_aElems3[0].n[2] = 99;
  doc.m_nElems3 = 1;
  Show(doc, kTopView);
  for (const int mode : {0, 1, 2}) {
    view_->Scene().displayMode = mode;
    view_->Scene().InvalidateLists();
    testing::internal::CaptureStdout();
    const QImage img = view_->grabFramebuffer();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(" cannot find node of tria3( 0 / 1 )\n"), std::string::npos)
        << "mode " << mode << ": " << out;
    EXPECT_FALSE(Near(img.pixel(kA), 250, 240, 10, 40)) << "mode " << mode;
  }
}

// Outlined, the material display is drawn anew at every frame: a shell
// with a missing node is reported once however many frames and modes draw
// it, and nodes renumbered in place (arrays at their address and count)
// are looked up afresh.
TEST_F(SceneViewTest, AMissingNodeIsReportedOnceAndARenumberingInPlaceIsSeen) {
  CDispModel doc;
  TwoShells(doc);
  doc.m_aElems4[1].n[1] = 99;  // B's corner 3 named as a node that is not there
  testing::internal::CaptureStdout();
  Show(doc, std::string(kTopView) + "stencil = 1\n");
  QImage img;
  for (const int mode : {2, 2, 2, 0, 1, 2}) {
    view_->Scene().displayMode = mode;
    img = view_->grabFramebuffer();
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "cannot find pos : 99 ( 1 / 4 ) in 6\n cannot find node of tria4( 1 / 2 )\n");
  EXPECT_EQ(img.pixel(kB), img.pixel(398, kB.y()));  // B left out
  ASSERT_TRUE(view_->Scene().stencilAvailable);

  for (DispNodeArray* nodes : {&doc.m_aNodes, &doc.m_aCurNodes}) (*nodes)[2].nNo = 99;
  doc.IndexNodes();
  testing::internal::CaptureStdout();
  img = view_->grabFramebuffer();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_NE(img.pixel(kB), img.pixel(398, kB.y()));
}

TEST_F(SceneViewTest, NoNodesDrawsNothing) {
  CDispModel doc;
  BuildModel(doc, {}, {});
  const QImage img = Show(doc, kTopView);
  EXPECT_EQ(view_->Scene().initialised, 0);
  EXPECT_TRUE(view_->Scene().overlay.empty());
  EXPECT_FALSE(Near(img.pixel(1, 1), 250, 240, 10));
}

TEST_F(SceneViewTest, EmptyClientAreaSkipsTheProjection) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, kTopView);
  view_->makeCurrent();
  EXPECT_FALSE(view_->Scene().SetProjection(doc, 0, 0, 0, SceneRect{0, 0, 0, 300}, false));
  EXPECT_FALSE(view_->Scene().SetProjection(doc, 0, 0, 0, SceneRect{0, 0, 400, 0}, false));
  EXPECT_TRUE(view_->Scene().SetProjection(doc, 0, 0, 0, SceneRect{0, 0, 400, 300}, false));
  EXPECT_DOUBLE_EQ(view_->Scene().viewWidth, 6.0);
  view_->doneCurrent();
}

// A viewpoint recalled from a file may hold a camera without a direction:
// the frame draws no model and no axis label, and the C key brings the
// camera back.
TEST_F(SceneViewTest, BrokenViewpointDrawsNoLabels) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, kTopView);
  CGlScene& s = view_->Scene();
  EyeRecord broken;
  broken.Set(s.settings);
  broken.eye[0] = std::nan("");
  broken.Get(s.settings);
  const QImage img = view_->grabFramebuffer();
  EXPECT_TRUE(s.overlay.empty()) << s.overlay.size();
  EXPECT_FALSE(Near(img.pixel(kA), 180, 180, 180, 2)) << Rgb(img.pixel(kA));
  EXPECT_TRUE(s.OnKey(Qt::Key_C, false, false, 1));
  EXPECT_TRUE(s.CameraValid());
  view_->grabFramebuffer();
  EXPECT_EQ(s.overlay.size(), 12u);
}

// The projection of each setting, read back from OpenGL and compared with
// the matrix of the expected gluPerspective / glOrtho / gluPickMatrix call.
TEST_F(SceneViewTest, ProjectionOfEachSetting) {
  CDispModel doc;
  TwoShells(doc);  // largest scaled extent 2
  Show(doc, kTopView);
  view_->makeCurrent();
  CGlScene& s = view_->Scene();
  const SceneRect rc{0, 0, 400, 300};
  struct Case {
    const char* what;
    int persp;
    double anglex, factor, zNear, zFar, frameW, frameH;
    bool picking;
    void (*expected)();
    double fovUsed, viewWidth;
  };
  const Case cases[] = {
      {"perspective", 1, 30, 1, 0.001, 20, -1, 450, false,
       [] { gluPerspective(22.5, 4.0 / 3, 0.001, 20); }, 30, 6},
      {"angle below 1 degree", 1, 0.5, 1, 0.001, 20, -1, 450, false,
       [] { gluPerspective(22.5, 4.0 / 3, 0.001, 20); }, 30, 6},
      {"wide angle, factor 2", 1, 60, 2, 0.01, 50, -1, 450, false,
       [] { gluPerspective(45, 4.0 / 3, 0.01, 50); }, 60, 3},
      {"orthographic", 0, 30, 1, 0.001, 20, -1, 450, false,
       [] { glOrtho(-3, 3, -2.25, 2.25, 0.001, 20); }, 90, 6},
      {"orthographic, near plane behind the eye", 0, 30, 1, -5, 5, -1, 450, false,
       [] { glOrtho(-3, 3, -2.25, 2.25, -5, 5); }, 90, 6},
      {"fixed frame", 1, 30, 2, 3, 4, 800, 600, false,
       [] { glOrtho(-200, 200, -300, 300, 1, 2000); }, 90, 30},
      {"pick", 1, 30, 1, 0.001, 20, -1, 450, true,
       [] {
         GLint vp[4] = {0, 0, 400, 300};
         gluPickMatrix(100, 250, 0.5, 0.5, vp);
         gluPerspective(22.5, 4.0 / 3, 0.001, 20);
       },
       30, 6},
  };
  for (const Case& c : cases) {
    s.settings.persp = c.persp;
    s.settings.anglex = c.anglex;
    s.settings.factor = c.factor;
    s.settings.near = c.zNear;
    s.settings.far = c.zFar;
    s.settings.frmsize[0] = c.frameW;
    s.settings.frmsize[1] = c.frameH;
    s.useExtentProjection = c.frameW < 1e-5 ? 1 : 0;
    s.fovUsed = 90.0;
    s.viewWidth = 30.0;
    ASSERT_TRUE(s.SetProjection(doc, 100, 50, 0.5, rc, c.picking)) << c.what;
    GLdouble got[16], want[16];
    glMatrixMode(GL_PROJECTION);
    glGetDoublev(GL_PROJECTION_MATRIX, got);
    glLoadIdentity();
    c.expected();
    glGetDoublev(GL_PROJECTION_MATRIX, want);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(got[i], want[i], 1e-6 * (1 + std::abs(want[i]))) << c.what << " [" << i << "]";
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 400) << c.what;
    EXPECT_EQ(vp[3], 300) << c.what;
    EXPECT_DOUBLE_EQ(s.fovUsed, c.fovUsed) << c.what;
    EXPECT_DOUBLE_EQ(s.viewWidth, c.viewWidth) << c.what;
    if (c.frameW < 1e-5) {
      EXPECT_EQ(s.orthographic, c.persp == 0 ? 1 : 0) << c.what;
    }
  }
  view_->doneCurrent();
}

TEST_F(SceneViewTest, ResetSceneReadsTheSettingsAgain) {
  CDispModel doc;
  TwoShells(doc);
  Show(doc, kTopView);
  dir_.Write("model.viw", std::string(kTopView) + "dcolor = 20 200 20\n");
  view_->ResetScene();
  const QImage img = view_->grabFramebuffer();
  EXPECT_TRUE(Near(img.pixel(kA), 20, 200, 20, 2)) << Rgb(img.pixel(kA));
}

// Resident memory of the process (0 where /proc is missing).
long long ResidentBytes() {
  long long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * 4096;
}

// Every outlined face costs the driver kilobytes when compiled into a list
// (gigabytes for a large frame): the outlined material display of 20,000
// shells must stay within a bound, and draw the same picture again.
TEST_F(SceneViewTest, OutlinedMaterialDisplayOfManyShellsStaysSmall) {
  constexpr int kSide = 200, kRows = 100;
  std::vector<TestNode> nodes;
  std::vector<TestQuad> quads;
  for (int j = 0; j <= kRows; ++j)
    for (int i = 0; i <= kSide; ++i) nodes.push_back({j * (kSide + 1) + i + 1, i * 0.1, j * 0.1, 0});
  for (int j = 0; j < kRows; ++j)
    for (int i = 0; i < kSide; ++i) {
      const int a = j * (kSide + 1) + i + 1;
      quads.push_back({static_cast<int>(quads.size()) + 1, 7 + (i + j) % 2,
                       {a, a + 1, a + kSide + 2, a + kSide + 1}});
    }
  CDispModel doc;
  BuildModel(doc, nodes, quads, {{7, 200, 60, 40}, {8, 30, 160, 90}});
  Show(doc, std::string(kTopView) + "stencil = 1\n");
  const long long before = ResidentBytes();
  view_->Scene().displayMode = 2;
  view_->Scene().InvalidateLists();
  const QImage first = view_->grabFramebuffer();
  EXPECT_LT(ResidentBytes() - before, 64LL << 20);
  EXPECT_TRUE(SamePicture(first, view_->grabFramebuffer()));
}

}  // namespace
