// The sample model as a user opens it: the building frame of examples/
// drawn in the normal and the material display, read back from the GL
// framebuffer.
#include <QFileInfo>

#include <functional>

#include "mv_test_support.h"

using namespace mvtest;

namespace {

int Count(const QImage& img, const QRect& area, const std::function<bool(QRgb)>& test) {
  int n = 0;
  const QRect r = area.intersected(img.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (test(img.pixel(x, y))) ++n;
  return n;
}

TEST(ExampleModelTest, TheSampleFrameShowsItsMembersShellsEdgesAndTriad) {
  const std::string path = std::string(OV_EXAMPLES_DIR) + "/frame.dat";
  ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(path))) << path;
  Program prog;
  MessageRecorder messages;
  prog.frame->resize(1000, 750);
  CChildFrame* child = prog.Open(path);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(prog.WaitIdle(30000));
  EXPECT_TRUE(messages.shown.empty());
  const QmDoc* doc = child->Document();
  EXPECT_GT(doc->m_nNodes, 100);
  EXPECT_GT(doc->m_nElems4, 50);
  ASSERT_GE(doc->m_nMats, 2);

  const QImage normal = Grab(child->View());
  ASSERT_FALSE(normal.isNull());
  const QRect all = normal.rect();
  const int total = all.width() * all.height();
  // Surfaces in the surface colour with black edges over them.
  EXPECT_GT(Count(normal, all, [](QRgb c) { return Near(c, 100, 100, 100); }), total / 3);
  EXPECT_GT(Count(normal, all, [](QRgb c) { return Near(c, 0, 0, 0, 10); }), total / 100);
  // The triad in the lower left: the red, green and blue arrowheads.
  const QRect triad(0, all.height() - 110, 110, 110);
  EXPECT_GT(Count(normal, triad, [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 60 && qBlue(c) < 60; }), 10);
  EXPECT_GT(Count(normal, triad, [](QRgb c) { return qGreen(c) > 150 && qRed(c) < 60 && qBlue(c) < 60; }), 10);
  EXPECT_GT(Count(normal, triad, [](QRgb c) { return qBlue(c) > 150 && qRed(c) < 60 && qGreen(c) < 60; }), 10);

  // Material display: the materials' own colours cover the model.
  prog.frame->Action(kCmdViewMaterial)->trigger();
  const QImage material = Grab(child->View());
  int shown = 0, covered = 0;
  for (int i = 0; i < doc->m_nMats; ++i) {
    const DispMaterial& m = doc->m_aMats[static_cast<size_t>(i)];
    const int n = Count(material, all, [&](QRgb c) {
      return Near(c, static_cast<int>(m.r), static_cast<int>(m.g), static_cast<int>(m.b), 4);
    });
    covered += n;
    if (n > total / 100) ++shown;
  }
  EXPECT_GE(shown, 2);
  EXPECT_GT(covered, total / 2);
}

}  // namespace
