// The example runs beside the sources, opened as a user would: the
// structure, then each diagram of the static run, the dynamic run and the
// eigen run.
#include <gtest/gtest.h>

#include <QComboBox>
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
