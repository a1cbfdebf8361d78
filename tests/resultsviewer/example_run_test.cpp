// The example runs beside the sources, opened as a user would: the
// structure, then each diagram of the static run, the dynamic run and the
// eigen run.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <QComboBox>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "resultsviewer/step_dialogs.h"
#include "rv_test_util.h"

namespace {

std::string Example(const char* name) { return std::string(OV_EXAMPLES_DIR) + "/run/" + name; }

std::function<int(QDialog&)> Last(int component = 0) {
  return [=](QDialog& d) {
    if (auto* s = dynamic_cast<SelectStepDlg*>(&d)) {
      s->StepCombo()->setCurrentIndex(s->StepCombo()->count() - 1);
    } else if (auto* v = dynamic_cast<SelectStepStreDlg*>(&d)) {
      v->StepCombo()->setCurrentIndex(v->StepCombo()->count() - 1);
      v->ComponentCombo()->setCurrentIndex(component);
    }
    d.accept();
    return d.result();
  };
}

class ExampleRunTest : public rvtest::FrameFixture {};

TEST_F(ExampleRunTest, StaticFrameShowsEveryDiagram) {
  const std::string path = Example("frame.in");
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  rvtest::MessageCatcher messages;
  Open(path);
  QImage img = Grab();
  rvtest::SaveFrame(img, "example_structure");
  EXPECT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
  EXPECT_GT(Doc().m_nNodes, 100);
  // The structure in its colour.
  EXPECT_GT(rvtest::CountColour(img, 128, 255, 128, 1), 2000);
  // The first view looks from the middle plus the largest extent on every
  // axis, close enough for the model to fill the window.

  struct Step {
    const char* name;
    std::function<void()> show;
    int mode;
  };
  const Step steps[] = {
      {"example_deform", [&] { View()->ShowDeformDiagram(); }, kModeDeform},
      {"example_fibre_stress", [&] { View()->ShowFiberDiagram(0); }, kModeFiberStress},
      {"example_fibre_strain", [&] { View()->ShowFiberDiagram(1); }, kModeFiberStrain},
      {"example_section_force", [&] { View()->ShowSectionForceDiagram(); }, kModeSectionForce},
      {"example_shell_stress", [&] { View()->ShowShellDiagram(0); }, kModeShell},
  };
  for (const Step& s : steps) {
    {
      rvtest::DialogAnswer answer(Last());
      s.show();
    }
    img = Grab();
    rvtest::SaveFrame(img, s.name);
    EXPECT_EQ(View()->m_nViewMode, s.mode) << s.name;
    EXPECT_EQ(View()->m_szStepText, "ケース   2 ／ ステップ   3") << s.name;
    if (s.mode != kModeDeform) {
      // Some model pixels take the colours of the legend's bands.
      const CContourBar* bar = View()->ContourBar();
      int coloured = 0;
      for (int k = 0; k < bar->m_nCount; ++k) {
        const ContourRgb& c = bar->m_aLowColor[k];
        coloured += rvtest::CountColour(img, c[0], c[1], c[2], 0);
      }
      EXPECT_GT(coloured, 1500) << s.name;
    }
  }
  EXPECT_TRUE(messages.Texts().empty());
}

// The widest run of pixels along the segment a-b (window coordinates, y up)
// with no dark pixel within one pixel of it.
int WidestGap(const QImage& img, const double a[2], const double b[2]) {
  const double len = std::hypot(b[0] - a[0], b[1] - a[1]);
  int gap = 0, widest = 0;
  // Both ends are left out: there the edge meets others.
  for (int t = 3; t + 3 < static_cast<int>(len); ++t) {
    const int x = static_cast<int>(std::lround(a[0] + (b[0] - a[0]) * t / len));
    const int y = img.height() - 1 - static_cast<int>(std::lround(a[1] + (b[1] - a[1]) * t / len));
    bool dark = false;
    for (int dy = -1; dy <= 1 && !dark; ++dy)
      for (int dx = -1; dx <= 1 && !dark; ++dx) {
        const QRgb c = img.pixel(std::clamp(x + dx, 0, img.width() - 1), std::clamp(y + dy, 0, img.height() - 1));
        dark = qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
      }
    gap = dark ? 0 : gap + 1;
    widest = std::max(widest, gap);
  }
  return widest;
}

// A diagram draws its member edges whole over their faces: along the
// outer long edge of the column at the right of the first view (element
// 408, which nothing hides) no gap is wider than one pixel.
TEST_F(ExampleRunTest, DiagramEdgesAreWhole) {
  Open(Example("frame.in"));
  {
    rvtest::DialogAnswer answer(Last());
    View()->ShowDeformDiagram();
  }
  const QImage img = Grab();
  // The frame's projection and camera, to find the edges in the picture.
  View()->makeCurrent();
  CGlScene& scene = View()->Scene();
  const SceneRect rc = View()->ClientRect();
  scene.SetProjection(Doc(), 0, 0, 0, rc, false);
  double pr[16], mv[16];
  glGetDoublev(GL_PROJECTION_MATRIX, pr);
  const CViewSettings& s = scene.settings;
  double e[3], c[3];
  scene.ToScaled(s.eye, e);
  scene.ToScaled(s.center, c);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(e[0], e[1], e[2], c[0], c[1], c[2], s.up[0], s.up[1], s.up[2]);
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glPopMatrix();
  View()->doneCurrent();
  const GLint vp[4] = {0, 0, img.width(), img.height()};

  double right = -1, a[2] = {}, b[2] = {};
  for (int i = 0; i < Doc().m_nFaces; ++i) {
    const DispFace& f = Doc().m_aFaces[static_cast<size_t>(i)];
    if (f.nSide <= 0 || f.nElem != 408) continue;
    for (int k = 0; k < f.nCorners; ++k) {
      double w[2][3], z = 0;
      bool inside = true;
      for (int end = 0; end < 2; ++end) {
        scene.ToScaled(Doc().FaceCorner(f, (k + end) % f.nCorners).data(), w[end]);
        gluProject(w[end][0], w[end][1], w[end][2], mv, pr, vp, &w[end][0], &w[end][1], &z);
        inside = inside && z > 0 && z < 1 && w[end][0] >= 0 && w[end][0] < img.width() && w[end][1] >= 0 &&
                 w[end][1] < img.height();
      }
      const double len = std::hypot(w[1][0] - w[0][0], w[1][1] - w[0][1]);
      const double mid = 0.5 * (w[0][0] + w[1][0]);
      if (inside && len > 150 && mid > right) {
        right = mid;
        a[0] = w[0][0], a[1] = w[0][1], b[0] = w[1][0], b[1] = w[1][1];
      }
    }
  }
  ASSERT_GT(right, 0.0);
  EXPECT_LE(WidestGap(img, a, b), 1) << a[0] << "," << a[1] << " - " << b[0] << "," << b[1];
}

TEST_F(ExampleRunTest, DynamicSwayListsItsTimes) {
  const std::string path = Example("sway.in");
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  rvtest::MessageCatcher messages;
  Open(path);
  Grab();
  EXPECT_EQ(Doc().m_resultSet.m_model.m_nAnaType, 2);
  int entries = 0;
  rvtest::DialogAnswer answer([&](QDialog& d) {
    entries = static_cast<SelectStepDlg&>(d).StepCombo()->count();
    return Last()(d);
  });
  View()->ShowDeformDiagram();
  const QImage img = Grab();
  rvtest::SaveFrame(img, "example_sway");
  EXPECT_EQ(entries, 6);
  EXPECT_EQ(View()->m_nViewMode, kModeDeform);
  EXPECT_NE(View()->m_szStepText.find(" (sec)"), std::string::npos);
  EXPECT_GT(rvtest::CountColour(img, 255, 128, 128, 1), 1000);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ExampleRunTest, EigenModesShowTheirShapes) {
  const std::string path = Example("modes.in");
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  rvtest::MessageCatcher messages;
  Open(path);
  Grab();
  EXPECT_EQ(Doc().m_resultSet.m_model.m_nAnaType, 3);
  // Only the structure and the mode shapes have something to show.
  EXPECT_FALSE(View()->CanShowFiber() || View()->CanShowSectionForce() || View()->CanShowShell());
  std::vector<std::string> entries;
  rvtest::DialogAnswer answer([&](QDialog& d) {
    const QComboBox* steps = static_cast<SelectStepDlg&>(d).StepCombo();
    for (int k = 0; k < steps->count(); ++k) entries.push_back(steps->itemText(k).toStdString());
    return Last()(d);
  });
  View()->ShowDeformDiagram();
  const QImage img = Grab();
  rvtest::SaveFrame(img, "example_modes");
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries.back(), "モード    6 次");
  EXPECT_EQ(View()->m_nViewMode, kModeDeform);
  EXPECT_EQ(View()->m_szStepText, "モード    6 次");
  EXPECT_GT(rvtest::CountColour(img, 255, 128, 128, 1), 1000);
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
