// The results viewer driven through its main frame under a virtual X
// server: runs written by the tests are opened, diagrams chosen in their
// dialogs, and the picture read back from the OpenGL widget.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QLineEdit>
#include <QMenu>
#include <cmath>
#include <filesystem>
#include <limits>

#include "resultsviewer/contour_legend.h"
#include "resultsviewer/step_dialogs.h"
#include "rv_test_util.h"
#include "viewer/gl/status_bar.h"

namespace {

using rvtest::FrameFixture;
using testrun::ExpectedFloat;

// Looking straight down on the frame (the scaled eye above the middle, y
// up): in a 640 x 480 view the shells (z 3) lie between y 125 and 337, the
// beam's top (z 3.2) runs along y 340-375 from x 86 to 554.
const char* const kTopView = "eye = 0 0 6\nup = 0 1 0\n";
const QPoint kShellLeft(243, 278);   // middle of shell 31
const QPoint kShellRight(397, 278);  // middle of shell 32
// The beam's top strips: fibre rows 0, 1, 2 (their top fibres 1, 3, 5).
const int kRowY[3] = {369, 357, 345};
const int kBeamX = 203;

// The frame without the three-node element, so that no two members share
// their place.
testrun::RunSpec Frame(int type) {
  testrun::RunSpec s = testrun::SmallFrame(type);
  s.elems2.clear();
  return s;
}

QRgb Expected(const CContourBar& bar, double value) {
  float c[4] = {0, 0, 0, 0};
  EXPECT_GE(ContourColorCode(bar, value, c), 0) << value;
  return qRgb(static_cast<int>(std::lround(c[0] * 255)), static_cast<int>(std::lround(c[1] * 255)),
              static_cast<int>(std::lround(c[2] * 255)));
}

bool Same(QRgb a, QRgb b, int tol = 2) { return rvtest::Near(a, qRed(b), qGreen(b), qBlue(b), tol); }

// Accepts a step dialog on entry `step` (and component `component` of a
// value dialog, and the scale text of a deformation dialog).
std::function<int(QDialog&)> Choose(int step, int component = 0, const char* scale = nullptr) {
  return [=](QDialog& d) {
    if (auto* s = dynamic_cast<SelectStepDlg*>(&d)) {
      s->StepCombo()->setCurrentIndex(step);
      if (scale) s->ScaleEdit()->setText(QString::fromUtf8(scale));
    } else if (auto* v = dynamic_cast<SelectStepStreDlg*>(&d)) {
      v->StepCombo()->setCurrentIndex(step);
      v->ComponentCombo()->setCurrentIndex(component);
    }
    d.accept();
    return d.result();
  };
}

class ViewerGuiTest : public FrameFixture {
 protected:
  void OpenTop(const testrun::RunSpec& frameDesc, const std::string& name = "frame") {
    WriteText(name + ".viw", kTopView);
    Open(Write(name, frameDesc));
  }
  double Distance() {
    const CViewSettings& s = View()->Settings();
    double d = 0;
    for (int i = 0; i < 3; ++i) d += (s.eye[i] - s.center[i]) * (s.eye[i] - s.center[i]);
    return std::sqrt(d);
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(View(), &press);
  }
  void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent ev(type, QPointF(pos), View()->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QCoreApplication::sendEvent(View(), &ev);
  }
  void Wheel(int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWheelEvent ev(QPointF(100, 100), View()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, delta),
                   Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(View(), &ev);
  }

  rvtest::MessageCatcher messages_;
};

TEST_F(ViewerGuiTest, OpensAStaticRunAndDrawsTheStructure) {
  OpenTop(Frame(1));
  const QImage img = Grab();
  rvtest::SaveFrame(img, "structure");
  EXPECT_TRUE(messages_.Texts().empty());
  EXPECT_EQ(View()->m_nViewMode, kModeStructure);
  // White at the top, grey (128, 128, 128) at the bottom.
  EXPECT_TRUE(rvtest::Near(img.pixel(320, 0), 255, 255, 255, 2)) << rvtest::Rgb(img.pixel(320, 0));
  EXPECT_TRUE(rvtest::Near(img.pixel(630, 479), 128, 128, 128, 2)) << rvtest::Rgb(img.pixel(630, 479));
  // The shells and the beam's solid in the structure colour, with edges.
  for (QPoint p : {kShellLeft, kShellRight, QPoint(kBeamX, kRowY[1])})
    EXPECT_TRUE(rvtest::Near(img.pixel(p), 128, 255, 128, 1)) << p.x() << "," << p.y() << ": "
                                                              << rvtest::Rgb(img.pixel(p));
  EXPECT_GT(rvtest::CountColour(img, 0, 0, 0, 10), 300);
  // No caption and no legend in the structure display.
  EXPECT_FALSE(rvtest::Near(img.pixel(605, 200), 0, 0, 0, 60));
  EXPECT_EQ(frame_->windowTitle().toStdString(), "frame.in - Varnekapp");
}

TEST_F(ViewerGuiTest, FibreStressColoursEachFibreByItsValueWithTheLegend) {
  OpenTop(Frame(1));
  {
    rvtest::DialogAnswer answer(Choose(0, 0));
    View()->ShowFiberDiagram(0);
    EXPECT_EQ(answer.Count(), 1);
  }
  const QImage img = Grab();
  rvtest::SaveFrame(img, "fibre_stress");
  ASSERT_EQ(View()->m_nViewMode, kModeFiberStress);
  EXPECT_EQ(View()->m_szStepText, "ケース   1 ／ ステップ   1");
  const CContourBar* bar = View()->ContourBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->m_strTitle, "直応力");
  // The range of the step: normal stress of the 20 fibres (elements 11 and
  // 12), three words a fibre.
  double lo = 1e300, hi = -1e300;
  for (int slot = 0; slot < 20; ++slot) {
    const double v = ExpectedFloat(testrun::kSig, 1, slot * 3);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_LE(bar->m_dLevels[0], lo);
  EXPECT_GE(bar->m_dLevels[bar->m_nCount], hi);
  EXPECT_GT(bar->m_dLevels[0], lo - (hi - lo) / 5);
  // The top strips of element 12's straight block: fibres 1, 3, 5 (slots
  // 11, 13, 15).
  for (int r = 0; r < 3; ++r) {
    const double v = ExpectedFloat(testrun::kSig, 1, (10 + 2 * r + 1) * 3);
    const QRgb px = img.pixel(kBeamX, kRowY[r]);
    EXPECT_TRUE(Same(px, Expected(*bar, v))) << r << ": " << rvtest::Rgb(px) << " want "
                                             << rvtest::Rgb(Expected(*bar, v));
  }
  // Shells carry no fibre values: the diagram's face colour.
  EXPECT_TRUE(rvtest::Near(img.pixel(kShellLeft), 255, 128, 128, 1)) << rvtest::Rgb(img.pixel(kShellLeft));
  // Legend: its frame and the colour of every band.
  const LegendLayout l = ComputeLegendLayout(kWidth, kHeight, bar->m_nCount);
  EXPECT_TRUE(rvtest::Near(img.pixel(l.left - 1, l.top), 0, 0, 0, 0));
  for (int k = 0; k < bar->m_nCount; ++k) {
    const ContourRgb& c = bar->m_aLowColor[k];
    const QRgb px = img.pixel(l.left + l.barWidth / 2, (bar->m_nCount - k) * l.band + l.top - l.band / 2);
    EXPECT_TRUE(rvtest::Near(px, c[0], c[1], c[2], 0)) << k << ": " << rvtest::Rgb(px);
  }
  // Caption: dark text at the top left.
  int dark = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 200; ++x) dark += qGray(img.pixel(x, y)) < 60;
  EXPECT_GT(dark, 30);
}

TEST_F(ViewerGuiTest, FibreStrainUsesTheStrainColumns) {
  OpenTop(Frame(1));
  rvtest::DialogAnswer answer(Choose(2, 1));
  View()->ShowFiberDiagram(1);
  const QImage img = Grab();
  ASSERT_EQ(View()->m_nViewMode, kModeFiberStrain);
  EXPECT_EQ(View()->m_nLastComponent, 1);
  EXPECT_EQ(View()->m_nLastKind, 1);
  const CContourBar* bar = View()->ContourBar();
  EXPECT_EQ(bar->m_strTitle, "ｙ方向せん断ひずみ");
  EXPECT_EQ(View()->m_szStepText, "ケース   1 ／ ステップ   3");
  for (int r = 0; r < 3; ++r) {
    const double v = ExpectedFloat(testrun::kEps, 3, (10 + 2 * r + 1) * 3 + 1);
    EXPECT_TRUE(Same(img.pixel(kBeamX, kRowY[r]), Expected(*bar, v))) << r;
  }
}

TEST_F(ViewerGuiTest, SectionForceColoursTheMemberByItsEndForce) {
  OpenTop(Frame(1));
  rvtest::DialogAnswer answer(Choose(3, 6));
  View()->ShowSectionForceDiagram();
  const QImage img = Grab();
  rvtest::SaveFrame(img, "section_force");
  ASSERT_EQ(View()->m_nViewMode, kModeSectionForce);
  const CContourBar* bar = View()->ContourBar();
  EXPECT_EQ(bar->m_strTitle, "軸力(J)");
  EXPECT_EQ(View()->m_szStepText, "ケース   2 ／ ステップ   1");
  // Step 4, element 12 (the second), value 6 of its twelve.
  const double v = ExpectedFloat(testrun::kFrc, 4, 12 + 6);
  EXPECT_TRUE(Same(img.pixel(kBeamX, kRowY[1]), Expected(*bar, v))) << rvtest::Rgb(img.pixel(kBeamX, kRowY[1]));
  // The range: minimum and maximum of column 6 over the three elements.
  double lo = 1e300, hi = -1e300;
  for (int e = 0; e < 3; ++e) {
    lo = std::min<double>(lo, ExpectedFloat(testrun::kFrc, 4, e * 12 + 6));
    hi = std::max<double>(hi, ExpectedFloat(testrun::kFrc, 4, e * 12 + 6));
  }
  EXPECT_LE(bar->m_dLevels[0], lo);
  EXPECT_GE(bar->m_dLevels[bar->m_nCount], hi);
}

TEST_F(ViewerGuiTest, ShellStressColoursEachShellByItsAverage) {
  OpenTop(Frame(1));
  rvtest::DialogAnswer answer(Choose(0, 0));
  View()->ShowShellDiagram(0);
  const QImage img = Grab();
  ASSERT_EQ(View()->m_nViewMode, kModeShell);
  const CContourBar* bar = View()->ContourBar();
  EXPECT_EQ(bar->m_strTitle, "直応力");
  auto average = [](int shell) {
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += ExpectedFloat(testrun::kSgs, 1, shell * 48 + i * 6);
    return sum / 4;
  };
  EXPECT_TRUE(Same(img.pixel(kShellLeft), Expected(*bar, average(0)))) << rvtest::Rgb(img.pixel(kShellLeft));
  EXPECT_TRUE(Same(img.pixel(kShellRight), Expected(*bar, average(1)))) << rvtest::Rgb(img.pixel(kShellRight));
  // The members keep the diagram's face colour.
  EXPECT_TRUE(rvtest::Near(img.pixel(kBeamX, kRowY[1]), 255, 128, 128, 1));

  rvtest::DialogAnswer strain(Choose(0, 2));
  View()->ShowShellDiagram(1);
  EXPECT_EQ(View()->ContourBar()->m_strTitle, "ｚ方向せん断ひずみ");
}

TEST_F(ViewerGuiTest, DeformationMovesTheStructureWithoutALegend) {
  OpenTop(Frame(1));
  {
    rvtest::DialogAnswer answer(Choose(0, 0, "0"));
    View()->ShowDeformDiagram();
  }
  QImage still = Grab();
  ASSERT_EQ(View()->m_nViewMode, kModeDeform);
  EXPECT_DOUBLE_EQ(Doc().m_dDeformScale, 0.0);
  EXPECT_EQ(Doc().m_nColorMode, 14);
  // Scale 0: the undeformed place, in the diagram's face colour.
  EXPECT_TRUE(rvtest::Near(still.pixel(kShellLeft), 255, 128, 128, 1)) << rvtest::Rgb(still.pixel(kShellLeft));
  const LegendLayout l = ComputeLegendLayout(kWidth, kHeight, View()->ContourBar()->m_nCount);
  EXPECT_FALSE(rvtest::Near(still.pixel(l.left - 1, l.top), 0, 0, 0, 40));
  // The caption shows without a legend.
  int dark = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 200; ++x) dark += qGray(still.pixel(x, y)) < 60;
  EXPECT_GT(dark, 30);

  // Step 1 moves node 5 (the shells' apex side) by 1e-7 x its
  // displacement; the picture changes.
  {
    rvtest::DialogAnswer answer(Choose(0, 0, "1e-7"));
    View()->ShowDeformDiagram();
  }
  const QImage moved = Grab();
  rvtest::SaveFrame(moved, "deformed");
  EXPECT_DOUBLE_EQ(Doc().m_dDeformScale, 1e-7);
  int changed = 0;
  for (int y = 100; y < 400; y += 4)
    for (int x = 60; x < 580; x += 4) changed += moved.pixel(x, y) != still.pixel(x, y);
  EXPECT_GT(changed, 50);
}

TEST_F(ViewerGuiTest, EigenRunOffersTheStructureAndItsModes) {
  OpenTop(Frame(3), "modes");
  frame_->UpdateActions();
  EXPECT_TRUE(frame_->m_actStructure->isEnabled());
  EXPECT_TRUE(frame_->m_actDeform->isEnabled());
  for (QAction* a : {frame_->m_actStress, frame_->m_actStrain, frame_->m_actSectionForce,
                     frame_->m_actShellStress, frame_->m_actShellStrain})
    EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  std::vector<std::string> entries;
  rvtest::DialogAnswer answer([&](QDialog& d) {
    auto& dlg = static_cast<SelectStepDlg&>(d);
    for (int i = 0; i < dlg.StepCombo()->count(); ++i) entries.push_back(dlg.StepCombo()->itemText(i).toStdString());
    return Choose(1, 0, "1e-7")(d);
  });
  View()->ShowDeformDiagram();
  Grab();
  EXPECT_EQ(entries.size(), 4u);
  EXPECT_EQ(View()->m_nViewMode, kModeDeform);
  EXPECT_EQ(View()->m_szStepText, "モード    2 次");
  EXPECT_EQ(View()->m_nLastCase, 2);
  EXPECT_EQ(View()->m_nLastStep, 0);
}

TEST_F(ViewerGuiTest, DynamicRunListsTimes) {
  OpenTop(Frame(2), "quake");
  frame_->UpdateActions();
  EXPECT_TRUE(frame_->m_actStress->isEnabled());
  EXPECT_TRUE(frame_->m_actShellStrain->isEnabled());
  rvtest::DialogAnswer answer(Choose(1, 0));
  View()->ShowFiberDiagram(0);
  const QImage img = Grab();
  EXPECT_EQ(View()->m_szStepText, "     0.500 (sec)");
  const CContourBar* bar = View()->ContourBar();
  const double v = ExpectedFloat(testrun::kSig, 2, 11 * 3);
  EXPECT_TRUE(Same(img.pixel(kBeamX, kRowY[0]), Expected(*bar, v)));
}

TEST_F(ViewerGuiTest, DialogsStartFromTheLastStepAndScale) {
  OpenTop(Frame(1));
  {
    rvtest::DialogAnswer answer(Choose(3, 2, "4.5"));
    View()->ShowDeformDiagram();
  }
  int step = -2, component = -2;
  std::string scale;
  auto peek = [&](QDialog& d) {
    if (auto* s = dynamic_cast<SelectStepDlg*>(&d)) {
      step = s->StepCombo()->currentIndex();
      scale = s->ScaleEdit()->text().toStdString();
    } else if (auto* v = dynamic_cast<SelectStepStreDlg*>(&d)) {
      step = v->StepCombo()->currentIndex();
      component = v->ComponentCombo()->currentIndex();
    }
    d.reject();
    return d.result();
  };
  {
    rvtest::DialogAnswer answer(peek);
    View()->ShowDeformDiagram();
    EXPECT_EQ(step, 3);
    EXPECT_EQ(scale, "4.500000");
    View()->ShowSectionForceDiagram();
    EXPECT_EQ(step, 3);
    EXPECT_EQ(component, 0);
  }
  // A new document offers 10 again.
  Open(Write("again", Frame(1)));
  rvtest::DialogAnswer answer(peek);
  View()->ShowDeformDiagram();
  EXPECT_EQ(scale, "10.000000");
}

TEST_F(ViewerGuiTest, CancelChangesNothing) {
  OpenTop(Frame(1));
  {
    rvtest::DialogAnswer answer(Choose(1, 0));
    View()->ShowFiberDiagram(0);
  }
  const QImage before = Grab();
  const std::string caption = View()->m_szStepText;
  const double top = View()->ContourBar()->m_dLevels[View()->ContourBar()->m_nCount];
  rvtest::DialogAnswer cancel([](QDialog& d) {
    d.reject();
    return d.result();
  });
  View()->ShowDeformDiagram();
  View()->ShowSectionForceDiagram();
  View()->ShowShellDiagram(1);
  const QImage after = Grab();
  EXPECT_EQ(View()->m_nViewMode, kModeFiberStress);
  EXPECT_EQ(View()->m_szStepText, caption);
  EXPECT_DOUBLE_EQ(View()->ContourBar()->m_dLevels[View()->ContourBar()->m_nCount], top);
  EXPECT_EQ(before, after);
  EXPECT_EQ(cancel.Count(), 3);
}

TEST_F(ViewerGuiTest, RunCutShortIsToldAndThePictureStays) {
  const std::string path = Write("short", Frame(1));
  // The files end inside step 2: the section forces, the fibre strains and
  // the shell stresses of steps 3-5 are missing.
  for (const char* ext : {".frc", ".eps", ".sgs"}) {
    const std::string file = dir_.path() + "/short" + ext;
    std::filesystem::resize_file(file, std::filesystem::file_size(file) / 3);
  }
  WriteText("short.viw", kTopView);
  Open(path);
  {
    rvtest::DialogAnswer answer(Choose(1, 0));
    View()->ShowFiberDiagram(0);
  }
  const QImage before = Grab();
  const char* const files[] = {"short.frc", "short.eps", "short.sgs"};
  for (int k = 0; k < 3; ++k) {
    messages_.Clear();
    {
      rvtest::DialogAnswer answer(Choose(4, 0));
      if (k == 0) View()->ShowSectionForceDiagram();
      if (k == 1) View()->ShowFiberDiagram(1);
      if (k == 2) View()->ShowShellDiagram(0);
    }
    const QImage after = Grab();
    ASSERT_EQ(messages_.Texts().size(), 1u) << files[k];
    EXPECT_TRUE(messages_.Any(files[k])) << messages_.Texts()[0];
    EXPECT_EQ(View()->m_nViewMode, kModeFiberStress);
    EXPECT_EQ(View()->m_szStepText, "ケース   1 ／ ステップ   2");
    EXPECT_EQ(View()->ContourBar()->m_strTitle, "直応力");
    EXPECT_EQ(before, after) << files[k];
  }
}

// A step that its file holds only in part is drawn with the items read, as
// the readers return them: a section-force step ending after two of the
// three elements; fibre stress steps ending after 16 fibres (right at a
// word) and after 15 (inside a record's markers, which the reader tells).
// What was not read carries no value and keeps the diagram's face colour.
TEST_F(ViewerGuiTest, StepCutInsideItsFileShowsTheItemsRead) {
  const struct {
    const char* name;
    const char* ext;
    int kind;      // testrun file kind
    int items;     // elements or fibres of step 2 kept
    int extra;     // bytes kept after the last whole word
    int mode;
    int messages;  // the reader's "[1] ..."
  } cases[] = {
      {"cutfrc", ".frc", testrun::kFrc, 2, 0, kModeSectionForce, 0},
      {"cutsig", ".sig", testrun::kSig, 16, 0, kModeFiberStress, 0},
      {"cutsig15", ".sig", testrun::kSig, 15, 2, kModeFiberStress, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool forces = c.mode == kModeSectionForce;
    const int words = forces ? 12 : 3;
    const std::string path = Write(c.name, Frame(1));
    const std::string file = dir_.path() + "/" + c.name + c.ext;
    // Payload word w lies at byte 4 + 4 w + 8 (w / 7) (seven words a record).
    const int last = (forces ? 36 : 60) + c.items * words - 1;
    std::filesystem::resize_file(file, 4 + 4 * last + 8 * (last / 7) + 4 + c.extra);
    WriteText(std::string(c.name) + ".viw", kTopView);
    Open(path);
    messages_.Clear();
    {
      rvtest::DialogAnswer answer(Choose(1, forces ? 6 : 0));
      if (forces)
        View()->ShowSectionForceDiagram();
      else
        View()->ShowFiberDiagram(0);
    }
    const QImage img = Grab();
    rvtest::SaveFrame(img, c.name);
    ASSERT_EQ(messages_.Texts().size(), static_cast<size_t>(c.messages));
    if (c.messages) {
      EXPECT_TRUE(messages_.Any("[1] ")) << messages_.Texts()[0];
      EXPECT_TRUE(messages_.Any(std::string(c.name) + c.ext)) << messages_.Texts()[0];
    }
    ASSERT_EQ(View()->m_nViewMode, c.mode);
    EXPECT_EQ(View()->m_szStepText, "ケース   1 ／ ステップ   2");
    const CContourBar* bar = View()->ContourBar();
    // The range of the items read, never the start extremes of the
    // minimum and maximum rows.
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < c.items; ++i) {
      const double v = ExpectedFloat(c.kind, 2, i * words + (forces ? 6 : 0));
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    EXPECT_LE(bar->m_dLevels[0], lo);
    EXPECT_GE(bar->m_dLevels[bar->m_nCount], hi);
    EXPECT_GT(bar->m_dLevels[0], lo - (hi - lo) - 1);
    EXPECT_LT(bar->m_dLevels[bar->m_nCount], hi + (hi - lo) + 1);
    for (int r = 0; r < 3; ++r) {
      // The beam (element 12): its end force, or its top fibres 11, 13, 15.
      const int item = forces ? 1 : 10 + 2 * r + 1;
      const QRgb want = item < c.items ? Expected(*bar, ExpectedFloat(c.kind, 2, item * words + (forces ? 6 : 0)))
                                       : qRgb(255, 128, 128);
      const QRgb px = img.pixel(kBeamX, kRowY[r]);
      EXPECT_TRUE(Same(px, want)) << r << ": " << rvtest::Rgb(px) << " want " << rvtest::Rgb(want);
    }
  }
}

// The strain tables are made before their file is read, and their readers
// say nothing when the file ends inside a word: a step the file holds only
// in part would show zeros as values. It is told and the picture stays.
TEST_F(ViewerGuiTest, StrainStepCutInsideAWordIsToldAndThePictureStays) {
  const struct {
    const char* ext;
    FbFile file;
    std::function<void(QmView*)> show;
  } cases[] = {
      {".eps", kFbEps, [](QmView* v) { v->ShowFiberDiagram(1); }},
      {".ess", kFbEss, [](QmView* v) { v->ShowShellDiagram(1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ext);
    const std::string name = std::string("strain") + (c.ext + 1);
    WriteText(name + ".viw", kTopView);
    Open(Write(name, Frame(1)));
    {
      rvtest::DialogAnswer answer(Choose(0, 0));
      View()->ShowFiberDiagram(0);
    }
    const QImage before = Grab();
    // Step 2 starts at word (words per step); the file ends two bytes into
    // its eleventh word.
    const CFbResultSet& rs = Doc().m_resultSet;
    const int64_t word = rs.m_aStepWords[c.file] + 10;
    std::filesystem::resize_file(dir_.path() + "/" + name + c.ext, FbWordOffset(word, rs.m_nRecWords) + 2);
    messages_.Clear();
    {
      rvtest::DialogAnswer answer(Choose(1, 0));
      c.show(View());
    }
    ASSERT_EQ(messages_.Texts().size(), 1u);
    EXPECT_TRUE(messages_.Any("選択したステップの結果がファイルにありません。")) << messages_.Texts()[0];
    EXPECT_TRUE(messages_.Any(name + c.ext)) << messages_.Texts()[0];
    EXPECT_EQ(View()->m_nViewMode, kModeFiberStress);
    EXPECT_EQ(View()->m_szStepText, "ケース   1 ／ ステップ   1");
    EXPECT_EQ(Grab(), before);
  }
}

// A reader that returns no table ends the command silently: the previous
// picture, caption, mode and bar stay.
TEST_F(ViewerGuiTest, ReaderWithoutTableEndsTheCommandSilently) {
  OpenTop(Frame(1));
  {
    rvtest::DialogAnswer answer(Choose(1, 0));
    View()->ShowFiberDiagram(0);
  }
  const QImage before = Grab();
  const struct {
    const char* ext;
    std::function<void()> show;
  } cases[] = {
      {".dis", [&] { View()->ShowDeformDiagram(); }},
      {".frc", [&] { View()->ShowSectionForceDiagram(); }},
      {".eps", [&] { View()->ShowFiberDiagram(1); }},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir_.path() + "/frame" + c.ext);
    messages_.Clear();
    {
      rvtest::DialogAnswer answer(Choose(3, 0));
      c.show();
      EXPECT_EQ(answer.Count(), 1) << c.ext;
    }
    EXPECT_TRUE(messages_.Texts().empty()) << c.ext << ": " << messages_.Texts()[0];
    EXPECT_EQ(View()->m_nViewMode, kModeFiberStress) << c.ext;
    EXPECT_EQ(View()->m_szStepText, "ケース   1 ／ ステップ   2") << c.ext;
    EXPECT_EQ(View()->ContourBar()->m_strTitle, "直応力") << c.ext;
    EXPECT_EQ(Grab(), before) << c.ext;
  }
}

TEST_F(ViewerGuiTest, OpeningAnotherRunResetsDocumentAndScene) {
  OpenTop(Frame(1));
  {
    rvtest::DialogAnswer answer(Choose(2, 0));
    View()->ShowFiberDiagram(0);
  }
  Grab();
  Key(Qt::Key_Return);
  Key(Qt::Key_Return);
  EXPECT_EQ(View()->Viewpoints().Count(), 3);

  testrun::RunSpec other = Frame(2);
  other.nodes[2].x = 8;  // a wider frame
  Open(Write("other", other));
  const QImage img = Grab();
  EXPECT_EQ(View()->m_nViewMode, kModeStructure);
  EXPECT_TRUE(View()->m_szStepText.empty());
  EXPECT_EQ(View()->Viewpoints().Count(), 1);
  EXPECT_TRUE(View()->ContourBar()->m_strTitle.empty());
  EXPECT_EQ(Doc().m_resultSet.m_model.m_nAnaType, 2);
  EXPECT_DOUBLE_EQ(Doc().m_dMaxX, 8.0);
  // The last step's members stay; the next dialog's preset stays in the
  // new list.
  EXPECT_EQ(View()->m_nLastCase, 1);
  EXPECT_EQ(View()->m_nLastStep, 3);
  int step = -2;
  rvtest::DialogAnswer answer([&](QDialog& d) {
    step = static_cast<SelectStepDlg&>(d).StepCombo()->currentIndex();
    d.reject();
    return d.result();
  });
  View()->ShowDeformDiagram();
  EXPECT_EQ(step, 0);
  EXPECT_GT(rvtest::CountColour(img, 128, 255, 128, 1), 500);
}

TEST_F(ViewerGuiTest, OtherFilesOpenNothing) {
  OpenTop(Frame(1));
  WriteText("model.dat", "/nodes\r\n    1    0.0    0.0    0.0\r\n");
  Open(dir_.path() + "/model.dat");
  const QImage img = Grab();
  EXPECT_EQ(Doc().m_nNodes, 0);
  EXPECT_EQ(View()->Scene().initialised, 0);
  // One flat window colour.
  EXPECT_EQ(img.pixel(5, 5), img.pixel(600, 470));
  EXPECT_EQ(rvtest::CountColour(img, 128, 255, 128, 1), 0);
  EXPECT_TRUE(messages_.Texts().empty());
  EXPECT_EQ(frame_->windowTitle().toStdString(), "model.dat - Varnekapp");
}

TEST_F(ViewerGuiTest, MissingTimeFileShowsTheMessageAndTheStructure) {
  testrun::RunSpec s = Frame(2);
  s.writeTim = false;
  OpenTop(s, "notime");
  const QImage img = Grab();
  EXPECT_TRUE(messages_.Any("時間情報ﾌｧｲﾙ"));
  EXPECT_TRUE(rvtest::Near(img.pixel(kShellLeft), 128, 255, 128, 1));
}

TEST_F(ViewerGuiTest, SurfacesOffShowsTheEdgesOnly) {
  OpenTop(Frame(1));
  Key(Qt::Key_F9);
  const QImage img = Grab();
  EXPECT_EQ(View()->Scene().surfacesOn, 0);
  EXPECT_EQ(rvtest::CountColour(img, 128, 255, 128, 1), 0);
  EXPECT_GT(rvtest::CountColour(img, 0, 0, 0, 10), 300);
  Key(Qt::Key_F3);
  EXPECT_EQ(View()->Scene().surfacesOn, 1);
  EXPECT_GT(rvtest::CountColour(Grab(), 128, 255, 128, 1), 500);
}

TEST_F(ViewerGuiTest, StencilOutlinesAndTheCameraReport) {
  WriteText("frame.viw", std::string(kTopView) + "stencil = 1\ninfo = 1\n");
  Open(Write("frame", Frame(1)));
  QImage img = Grab();
  rvtest::SaveFrame(img, "stencil_info");
  EXPECT_TRUE(View()->Settings().stencil);
  EXPECT_TRUE(rvtest::Near(img.pixel(kShellLeft), 128, 255, 128, 1)) << rvtest::Rgb(img.pixel(kShellLeft));
  EXPECT_GT(rvtest::CountColour(img, 0, 0, 0, 10), 300);
  // Six lines of the camera report, 15 pixels apart, at the top left.
  int rows = 0;
  for (int y = 10; y < 100; ++y) {
    int dark = 0;
    for (int x = 10; x < 300; ++x) dark += qGray(img.pixel(x, y)) < 60;
    rows += dark > 0;
  }
  EXPECT_GT(rows, 30);
  // The diagrams draw with the stencil too.
  const QImage structure = Grab();
  {
    rvtest::DialogAnswer answer(Choose(0, 0));
    View()->ShowFiberDiagram(0);
  }
  img = Grab();
  const double v = ExpectedFloat(testrun::kSig, 1, 13 * 3);
  EXPECT_TRUE(Same(img.pixel(kBeamX, kRowY[1]), Expected(*View()->ContourBar(), v)));
  // The outlined structure is drawn from the model, not from a list, and
  // comes back as it was after the diagram replaced the model's faces.
  {
    rvtest::DialogAnswer answer(Choose(0, 0));
    View()->ShowDeformDiagram();
  }
  Grab();
  View()->OnViewStructure();
  EXPECT_EQ(Grab(), structure);
}

TEST_F(ViewerGuiTest, DynamicRunReadsFibresFromBlockFiles) {
  testrun::RunSpec s = Frame(2);
  s.blkStep = 2;  // steps 1-3 in the first files, 4-5 in the second, 6 in the third
  s.writeTxt = true;
  OpenTop(s, "blocks");
  EXPECT_EQ(Doc().m_resultSet.m_nBlkStep, 2);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() + "/2blocks.sig"));
  rvtest::DialogAnswer answer(Choose(5, 1));
  View()->ShowFiberDiagram(0);
  const QImage img = Grab();
  ASSERT_EQ(View()->m_nViewMode, kModeFiberStress);
  EXPECT_EQ(View()->m_szStepText, "     1.500 (sec)");
  const double v = ExpectedFloat(testrun::kSig, 6, 15 * 3 + 1);
  EXPECT_TRUE(Same(img.pixel(kBeamX, kRowY[2]), Expected(*View()->ContourBar(), v)));
  EXPECT_TRUE(messages_.Texts().empty());
}

// --- keys, mouse and view commands -----------------------------------------

TEST_F(ViewerGuiTest, ArrowKeysMoveTheCameraAndNameTheMovement) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  const double d0 = Distance();
  const double eye0[3] = {s.eye[0], s.eye[1], s.eye[2]};
  const double cen0[3] = {s.center[0], s.center[1], s.center[2]};
  Key(Qt::Key_Up);
  EXPECT_EQ(frame_->StatusBar()->OpMode(), 1);  // "前進": the camera goes forward
  EXPECT_NEAR(Distance(), d0, 1e-9);
  // One step (0.02 scaled units) toward the centre, eye and centre alike.
  double moved = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(s.eye[i] - eye0[i], s.center[i] - cen0[i], 1e-12);
    moved += (s.eye[i] - eye0[i]) * (s.eye[i] - eye0[i]);
  }
  EXPECT_NEAR(std::sqrt(moved) * Doc().m_dScale, 0.02, 1e-9);

  const struct {
    int key;
    Qt::KeyboardModifiers mods;
    int word;
  } words[] = {
      // The words of what the camera does, as in the model viewer.
      {Qt::Key_Down, Qt::NoModifier, 2},         {Qt::Key_Up, Qt::ShiftModifier, 11},
      {Qt::Key_Down, Qt::ShiftModifier, 12},     {Qt::Key_Left, Qt::NoModifier, 13},
      {Qt::Key_Right, Qt::NoModifier, 14},       {Qt::Key_Left, Qt::ControlModifier, 23},
      {Qt::Key_Right, Qt::ControlModifier, 24},  {Qt::Key_Up, Qt::ControlModifier, 21},
      {Qt::Key_Down, Qt::ControlModifier, 22},   {Qt::Key_Left, Qt::ShiftModifier, 13},
  };
  for (const auto& w : words) {
    Key(w.key, w.mods);
    EXPECT_EQ(frame_->StatusBar()->OpMode(), w.word) << w.key;
  }
  // Any other key switches the word off.
  Key(Qt::Key_X);
  EXPECT_EQ(frame_->StatusBar()->OpMode(), -1);
}

TEST_F(ViewerGuiTest, LetterKeysMoveAsTheSceneDoes) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  const double step = 0.02 / Doc().m_dScale;  // one step in model units
  const double x0 = s.eye[0], c0 = s.center[0];
  Key(Qt::Key_X);
  EXPECT_NEAR(s.eye[0] - x0, step, 1e-12);
  EXPECT_NEAR(s.center[0] - c0, step, 1e-12);
  Key(Qt::Key_X, Qt::ShiftModifier);
  EXPECT_NEAR(s.eye[0], x0, 1e-12);
  const double z0 = s.eye[2];
  Key(Qt::Key_Z);
  EXPECT_NEAR(s.eye[2] - z0, step, 1e-12);
  // R looks the other way; twice returns.
  const double cy = s.center[1];
  Key(Qt::Key_R);
  EXPECT_GT(std::fabs(s.center[1] - cy), 1e-6);
  Key(Qt::Key_R);
  EXPECT_NEAR(s.center[1], cy, 1e-9);
  // C puts the centre on the model's middle.
  Key(Qt::Key_C);
  EXPECT_NEAR(s.center[0], 2.0, 1e-12);
  EXPECT_NEAR(s.center[1], 1.0, 1e-12);
  EXPECT_NEAR(s.center[2], 1.5, 1e-12);
}

TEST_F(ViewerGuiTest, ViewpointsAreStoredAndSteppedThrough) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  ASSERT_EQ(View()->Viewpoints().Count(), 1);
  const double first = s.eye[0];
  // 1-9 do nothing until viewpoints are registered.
  Key(Qt::Key_1, Qt::NoModifier, "1");
  EXPECT_DOUBLE_EQ(s.eye[0], first);
  double eyes[3] = {first, 0, 0};
  for (int k = 1; k <= 2; ++k) {
    Key(Qt::Key_X);
    eyes[k] = s.eye[0];
    Key(Qt::Key_Return);
  }
  EXPECT_EQ(View()->Viewpoints().Count(), 3);
  Key(Qt::Key_Home);
  EXPECT_DOUBLE_EQ(s.eye[0], eyes[0]);
  Key(Qt::Key_2, Qt::NoModifier, "2");
  EXPECT_DOUBLE_EQ(s.eye[0], eyes[2]);
  Key(Qt::Key_Less, Qt::ShiftModifier, "<");
  EXPECT_DOUBLE_EQ(s.eye[0], eyes[1]);
  Key(Qt::Key_Greater, Qt::ShiftModifier, ">");
  EXPECT_DOUBLE_EQ(s.eye[0], eyes[2]);
  Key(Qt::Key_Greater, Qt::ShiftModifier, ">");  // past the last: nothing
  EXPECT_DOUBLE_EQ(s.eye[0], eyes[2]);
  Key(Qt::Key_X);
  View()->OnViewIso();
  EXPECT_DOUBLE_EQ(s.eye[0], eyes[0]);
  // Home and the isometric view show viewpoint 0 but leave the current
  // index where the digits, '<' and '>' put it.
  for (int showFirst = 0; showFirst < 2; ++showFirst) {
    Key(Qt::Key_2, Qt::NoModifier, "2");
    ASSERT_EQ(View()->Viewpoints().Current(), 2);
    if (showFirst == 0)
      Key(Qt::Key_Home);
    else
      View()->OnViewIso();
    EXPECT_DOUBLE_EQ(s.eye[0], eyes[0]) << showFirst;
    EXPECT_EQ(View()->Viewpoints().Current(), 2) << showFirst;
    Key(Qt::Key_Less, Qt::ShiftModifier, "<");
    EXPECT_DOUBLE_EQ(s.eye[0], eyes[1]) << showFirst;
  }
  // The 1001st viewpoint is not added.
  for (int i = 0; i < 1100; ++i) View()->StoreViewpoint();
  EXPECT_EQ(View()->Viewpoints().Count(), 1000);
}

TEST_F(ViewerGuiTest, ViewpointFileBesideTheRunIsRead) {
  // Two viewpoints written as the model viewer saves them.
  CViewSettings cam;
  InitViewSettings(cam);
  CEyeList list;
  for (int k = 0; k < 2; ++k) {
    cam.eye[0] = 10 + k;
    cam.eye[1] = -5;
    cam.eye[2] = 3;
    cam.center[0] = 2;
    cam.center[1] = 1;
    cam.center[2] = 1.5;
    UpdateEyeAngles(cam);
    list.Register(cam);
  }
  ASSERT_TRUE(list.WriteFile(dir_.path() + "/frame.eye"));
  Open(Write("frame", Frame(1)));
  Grab();
  ASSERT_EQ(View()->Viewpoints().Count(), 2);
  CViewSettings& s = View()->Settings();
  Key(Qt::Key_1, Qt::NoModifier, "1");
  EXPECT_DOUBLE_EQ(s.eye[0], 11);
  EXPECT_EQ(View()->Viewpoints().Current(), 1);
  Key(Qt::Key_Less, Qt::ShiftModifier, "<");
  EXPECT_DOUBLE_EQ(s.eye[0], 10);
  // The results viewer never writes the file.
  Key(Qt::Key_Return);
  EXPECT_EQ(std::filesystem::file_size(dir_.path() + "/frame.eye"), 4u + 2 * 184);
}

TEST_F(ViewerGuiTest, DragsTurnOrbitAndPan) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  auto snapshot = [&] { return std::vector<double>{s.eye[0], s.eye[1], s.eye[2], s.center[0], s.center[1], s.center[2]}; };
  auto eyeMoved = [](const std::vector<double>& a, const std::vector<double>& b) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]) > 1e-6;
  };
  auto centreMoved = [](const std::vector<double>& a, const std::vector<double>& b) {
    return std::fabs(a[3] - b[3]) + std::fabs(a[4] - b[4]) + std::fabs(a[5] - b[5]) > 1e-6;
  };
  // Left drag turns the view direction: the eye stays.
  auto before = snapshot();
  Mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, {140, 120}, Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, {140, 120}, Qt::LeftButton, Qt::NoButton);
  auto after = snapshot();
  EXPECT_FALSE(eyeMoved(before, after));
  EXPECT_TRUE(centreMoved(before, after));
  // With Ctrl the eye orbits the centre.
  before = after;
  Mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
  Mouse(QEvent::MouseMove, {140, 120}, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
  Mouse(QEvent::MouseButtonRelease, {140, 120}, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
  after = snapshot();
  EXPECT_TRUE(eyeMoved(before, after));
  EXPECT_FALSE(centreMoved(before, after));
  // The middle button (and Shift with the left one) pans: both move alike.
  for (Qt::MouseButton b : {Qt::MiddleButton, Qt::LeftButton}) {
    before = snapshot();
    const Qt::KeyboardModifiers mods = b == Qt::LeftButton ? Qt::ShiftModifier : Qt::NoModifier;
    Mouse(QEvent::MouseButtonPress, {100, 100}, b, b, mods);
    Mouse(QEvent::MouseMove, {130, 100}, Qt::NoButton, b, mods);
    Mouse(QEvent::MouseButtonRelease, {130, 100}, b, Qt::NoButton, mods);
    after = snapshot();
    EXPECT_TRUE(eyeMoved(before, after));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(after[i] - before[i], after[3 + i] - before[3 + i], 1e-12);
  }
  EXPECT_EQ(View()->m_nDragMode, 0);
}

TEST_F(ViewerGuiTest, WheelDolliesAndZooms) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  const double step = 0.02 / Doc().m_dScale;
  auto along = [&](double e0) { return s.eye[0] - e0; };
  double e0 = s.eye[0];
  const double d0 = Distance();
  Wheel(120);
  const double one = along(e0);
  EXPECT_LT(one, 0);  // toward the centre, which lies at smaller x
  EXPECT_NEAR(Distance(), d0, 1e-9);
  double moved = std::fabs(one) * std::sqrt(3.0);  // the eye sits on the diagonal
  EXPECT_NEAR(moved, step, 1e-9);
  e0 = s.eye[0];
  Wheel(120, Qt::ShiftModifier);
  EXPECT_NEAR(along(e0), 10 * one, 1e-9);
  e0 = s.eye[0];
  Wheel(-240);
  EXPECT_NEAR(along(e0), -2 * one, 1e-9);
  // Ctrl alone does nothing; with Shift the wheel's sign picks the way:
  // forward halves the view angle, back doubles it again.
  e0 = s.eye[0];
  Wheel(120, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(s.eye[0], e0);
  const double angle = s.anglex;
  Wheel(120, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_DOUBLE_EQ(s.anglex, angle / 2);
  Wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_DOUBLE_EQ(s.anglex, angle);
}

TEST_F(ViewerGuiTest, AxisPopupPlacesTheEyeOnTheChosenAxis) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  std::vector<std::string> texts;
  auto choose = [&](const char* text) {
    varnek::SetMenuHook([&texts, text](QMenu& menu) -> QAction* {
      texts.clear();
      QAction* chosen = nullptr;
      for (QAction* a : menu.actions()) {
        texts.push_back(a->text().toStdString());
        if (a->text().toStdString() == text) chosen = a;
      }
      return chosen;
    });
  };
  const double d0 = Distance();
  const struct {
    const char* text;
    double dir[3];
  } cases[] = {
      {"＋Ｘ軸", {1, 0, 0}}, {"－Ｘ軸", {-1, 0, 0}}, {"＋Ｙ軸", {0, 1, 0}},
      {"－Ｙ軸", {0, -1, 0}}, {"＋Ｚ軸", {0, 0, 1}}, {"－Ｚ軸", {0, 0, -1}},
  };
  for (const auto& c : cases) {
    choose(c.text);
    Mouse(QEvent::MouseButtonPress, {300, 200}, Qt::RightButton, Qt::RightButton);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(s.center[i], (i == 0 ? 2.0 : i == 1 ? 1.0 : 1.5), 1e-9) << c.text;
      EXPECT_NEAR(s.eye[i] - s.center[i], c.dir[i] * d0, 1e-6) << c.text << " " << i;
    }
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"アイソメ図", "＋Ｘ軸", "－Ｘ軸", "＋Ｙ軸", "－Ｙ軸", "＋Ｚ軸", "－Ｚ軸"}));
  // The isometric view returns to the first camera; the M key opens the
  // same menu.
  const CEyeList& eyes = View()->Viewpoints();
  choose("アイソメ図");
  Key(Qt::Key_M);
  EXPECT_DOUBLE_EQ(s.eye[0], eyes.At(0).eye[0]);
  EXPECT_DOUBLE_EQ(s.eye[2], eyes.At(0).eye[2]);
  varnek::SetMenuHook({});
  for (double v : View()->m_vOffset) EXPECT_EQ(v, 0.0);
}

TEST_F(ViewerGuiTest, ViewMenuAxisCommands) {
  Open(Write("frame", Frame(1)));
  Grab();
  CViewSettings& s = View()->Settings();
  const double d0 = Distance();
  frame_->m_actPlusY->trigger();
  EXPECT_NEAR(s.eye[1] - s.center[1], d0, 1e-6);
  frame_->m_actMinusZ->trigger();
  EXPECT_NEAR(s.eye[2] - s.center[2], -d0, 1e-6);
  frame_->m_actIso->trigger();
  EXPECT_DOUBLE_EQ(s.eye[0], View()->Viewpoints().At(0).eye[0]);
}

}  // namespace
