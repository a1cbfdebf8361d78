// Analysis inputs and grid models in the model viewer: read on the UI
// thread, shown like keyword models; a grid model's shells coloured by the
// chosen stress component through the contour bar.
#include <QProgressBar>

#include "mv_test_support.h"
#include "results/test_run_writer.h"
#include "viewer/gl/status_bar.h"

using namespace mvtest;

namespace {

int CountPixels(const QImage& img, const std::function<bool(QRgb)>& test) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (test(img.pixel(x, y))) ++n;
  return n;
}

TEST(InputModelTest, AnAnalysisInputIsReadAtOnceAndShown) {
  TempFolder dir;
  const std::string in = testrun::WriteRun(dir.dir.path().toStdString(), "frame", testrun::SmallFrame(1));
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(in);
  ASSERT_NE(child, nullptr);
  // No background load for it.
  EXPECT_FALSE(g_bLoading.load());
  EXPECT_FALSE(prog.frame->StatusBar()->Progress()->isVisible());
  const QmDoc* doc = child->Document();
  EXPECT_TRUE(doc->m_bReady.load());
  EXPECT_EQ(doc->m_branch, DocBranch::kInput);
  EXPECT_EQ(doc->m_nNodes, 6);
  EXPECT_EQ(doc->m_nElems4, 2);
  EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text.toStdString();
  const QImage img = Grab(child->View());
  // Something of the model is drawn over the grey background.
  EXPECT_GT(CountPixels(img, [](QRgb c) { return !Near(c, 128, 128, 128, 2); }), 200);
  prog.frame->UpdateCommandStates();
  EXPECT_TRUE(prog.frame->Action(kCmdEyeRegist)->isEnabled());
}

TEST(InputModelTest, AnUnreadableInputReportsTheLoadersMessage) {
  TempFolder dir;
  dir.Write("bad.in", "    1   20  ZQN7S\r\n");
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("bad.in"));
  ASSERT_NE(child, nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_FALSE(messages.shown[0].text.isEmpty());
  EXPECT_TRUE(child->Document()->m_bReady.load());
  Grab(child->View());
}

// Two shells side by side: element 1 with stress 0, element 2 with 10 in
// the first column of their first line.
void WriteGridModel(const TempFolder& dir) {
  dir.Write("shell.grid", "6\n0 0 0\n10 0 0\n20 0 0\n0 10 0\n10 10 0\n20 10 0\n");
  dir.Write("shell.egno", "6\n1\n2\n3\n4\n5\n6\n");
  dir.Write("shell.qddef", "2\n1 1 1 2 5 4\n1 1 2 3 6 5\n");
  dir.Write("shell.color", "1\n1 200 200 200\n");
  dir.Write("shell.disp", "6\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n");
  dir.Write("shell.qdstre", "2\n0 0 0 0 0 0 0\n0 0 0 0 0 0 0\n10 0 0 0 0 0 0\n0 0 0 0 0 0 0\n");
}

TEST(GridDocumentTest, AGridModelIsColouredByTheFirstStressComponent) {
  TempFolder dir;
  WriteGridModel(dir);
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("shell.grid"));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(g_bLoading.load());
  const QmDoc* doc = child->Document();
  EXPECT_TRUE(doc->m_bReady.load());
  EXPECT_EQ(doc->m_branch, DocBranch::kGrid);
  EXPECT_EQ(doc->m_nColorMode, 0);
  EXPECT_DOUBLE_EQ(doc->m_grid.m_dAskedScale, 100.0);
  EXPECT_DOUBLE_EQ(doc->m_dDispScale, 0.0);  // the current nodes are displaced already
  EXPECT_EQ(doc->m_nElems4, 2);
  EXPECT_EQ(doc->m_grid.m_szStemPath, dir.Path("shell"));
  SceneValues values;
  ASSERT_TRUE(doc->GetSceneValues(values));
  EXPECT_EQ(values.nRecords, 2);
  EXPECT_DOUBLE_EQ(values.valueMin[0], 0);
  EXPECT_DOUBLE_EQ(values.valueMax[0], 10);
  EXPECT_TRUE(messages.shown.empty());

  const QImage img = Grab(child->View());
  ASSERT_NE(child->View()->Scene().contourBar, nullptr);
  // The low end of the bar is blue, the high end red: both shells show.
  const int blue = CountPixels(img, [](QRgb c) { return qBlue(c) > qRed(c) + 60; });
  const int red = CountPixels(img, [](QRgb c) { return qRed(c) > qBlue(c) + 60; });
  EXPECT_GT(blue, 500);
  EXPECT_GT(red, 500);
  EXPECT_TRUE(Near(img.pixel(img.width() - 3, 3), 128, 128, 128));
}

TEST(GridDocumentTest, AGridModelWithMissingFilesStillOpens) {
  TempFolder dir;
  dir.Write("lone.grid", "2\n0 0 0\n1 0 0\n");
  Program prog;
  MessageRecorder messages;
  testing::internal::CaptureStdout();
  CChildFrame* child = prog.Open(dir.Path("lone.grid"));
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_NE(child, nullptr);
  EXPECT_NE(out.find("cannot open file"), std::string::npos);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(child->Document()->m_bReady.load());
  Grab(child->View());
}

// Nodal colour modes: the corners take the raw displacements that the
// bar's range was made from, so a shell whose nodes span the range shows
// both ends of the bar.
TEST(GridDocumentTest, NodalColourModesSpanTheBar) {
  TempFolder dir;
  WriteGridModel(dir);
  dir.Write("shell.disp", "6\n0 0 0\n0.5 0 0\n1 0 0\n0 0 0\n0.5 0 0\n1 0 0\n");
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("shell.grid"));
  ASSERT_NE(child, nullptr);
  QmDoc* doc = child->Document();
  // Component 1: the scene moves the edges by the nodes' own (scaled) values.
  SceneValues stress;
  ASSERT_TRUE(doc->GetSceneValues(stress));
  EXPECT_EQ(stress.pNodeValues, nullptr);
  // Component 15 (dx) and no displacement scaling, before the first frame.
  ASSERT_EQ(ReadGridResultSet({"pro", dir.Path("shell.grid"), "15", "0"}, *doc, doc->m_grid), 0);
  ASSERT_EQ(doc->m_nColorMode, 14);
  child->View()->OnUpdate();
  SceneValues values;
  ASSERT_TRUE(doc->GetSceneValues(values));
  ASSERT_EQ(values.nNodeValues, 6);
  EXPECT_DOUBLE_EQ(values.pNodeValues[2][0], 1.0);
  EXPECT_DOUBLE_EQ(values.modeMax[0], 1.0);

  const QImage img = Grab(child->View());
  ASSERT_NE(child->View()->Scene().contourBar, nullptr);
  EXPECT_GT(CountPixels(img, [](QRgb c) { return qBlue(c) > qRed(c) + 60; }), 300);
  EXPECT_GT(CountPixels(img, [](QRgb c) { return qRed(c) > qBlue(c) + 60; }), 300);
}

}  // namespace
