// The step lists of the three kinds of run and the two step dialogs: their
// entries, presets, captions, component lists, the scale field and OK and
// Cancel.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "resultsviewer/qm_doc.h"
#include "resultsviewer/step_dialogs.h"
#include "rv_test_util.h"

namespace {

class StepDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { rvtest::EnsureApp(); }
  CFbResultSet& Load(int type, const std::function<void(testrun::RunSpec&)>& edit = {}) {
    testrun::RunSpec s = testrun::SmallFrame(type);
    if (edit) edit(s);
    doc_.OnOpenDocument(testrun::WriteRun(dir_.path(), "run" + std::to_string(++runs_), s));
    return doc_.m_resultSet;
  }

  rvtest::MessageCatcher messages_;
  testrun::TempDir dir_;
  QmDoc doc_;
  int runs_ = 0;
};

std::vector<std::string> Entries(QComboBox* combo) {
  std::vector<std::string> v;
  for (int i = 0; i < combo->count(); ++i) v.push_back(combo->itemText(i).toStdString());
  return v;
}

TEST_F(StepDialogTest, StepListsOfTheThreeKindsOfRun) {
  {
    const StepList l = MakeStepList(Load(1));
    EXPECT_EQ(l.kind, 0);
    EXPECT_EQ(l.texts, (std::vector<std::string>{"ケース   1 ／ ステップ   1", "ケース   1 ／ ステップ   2",
                                                 "ケース   1 ／ ステップ   3", "ケース   2 ／ ステップ   1",
                                                 "ケース   2 ／ ステップ   2"}));
  }
  {
    const StepList l = MakeStepList(Load(2));
    EXPECT_EQ(l.kind, 1);
    ASSERT_EQ(l.texts.size(), 6u);
    EXPECT_EQ(l.texts[0], "     0.250");
    EXPECT_EQ(l.texts[5], "     1.500");
  }
  {
    const StepList l = MakeStepList(Load(3));
    EXPECT_EQ(l.kind, 2);
    EXPECT_EQ(l.texts, (std::vector<std::string>{"モード    1 次", "モード    2 次", "モード    3 次",
                                                 "モード    4 次"}));
  }
  // A static run whose displacement file holds three steps lists three.
  EXPECT_EQ(MakeStepList(Load(1, [](testrun::RunSpec& s) { s.stored = 3; })).texts.size(), 3u);
}

TEST_F(StepDialogTest, TimeListStopsAtTheFirstNegativeTime) {
  CFbResultSet& rs = Load(2);
  rs.m_aTimes.GetAt(2)->m_fTime = -1.0f;
  const StepList l = MakeStepList(rs);
  EXPECT_EQ(l.texts.size(), 2u);
  doc_.ResetDocument();
  const StepList none = MakeStepList(doc_.m_resultSet);
  EXPECT_FALSE(none.known);
  EXPECT_TRUE(none.texts.empty());
}

TEST_F(StepDialogTest, PresetEntryStaysInTheList) {
  const struct {
    int preset, count, want;
  } cases[] = {{3, 5, 3}, {-1, 5, 0}, {5, 5, 0}, {99, 5, 0}, {0, 0, -1}, {-7, 0, -1}};
  for (const auto& c : cases) EXPECT_EQ(PresetEntry(c.preset, c.count), c.want) << c.preset;
}

TEST_F(StepDialogTest, DeformationDialogPresetsScaleAndOk) {
  CFbResultSet& rs = Load(1);
  const struct {
    int preset;
    int selected;
  } cases[] = {{3, 3}, {-1, 0}, {42, 0}};
  for (const auto& c : cases) {
    SelectStepDlg dlg(&rs);
    dlg.m_nStepIndex = c.preset;
    dlg.m_dScale = 10.0;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle().toStdString(), "変位図");
    EXPECT_EQ(dlg.StepCombo()->count(), 5);
    EXPECT_EQ(dlg.StepCombo()->currentIndex(), c.selected);
    EXPECT_EQ(dlg.m_nStepIndex, c.selected);
    EXPECT_EQ(dlg.ScaleEdit()->text().toStdString(), "10.000000");
    dlg.hide();
  }
  const struct {
    const char* typed;
    double scale;
  } scales[] = {{"2.5", 2.5}, {"abc", 0.0}, {" 1e2x", 100.0}, {"", 0.0}};
  for (const auto& s : scales) {
    SelectStepDlg dlg(&rs);
    dlg.show();
    dlg.StepCombo()->setCurrentIndex(4);
    dlg.ScaleEdit()->setText(QString::fromUtf8(s.typed));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nStepIndex, 4);
    EXPECT_EQ(dlg.m_szStepText, "ケース   2 ／ ステップ   2");
    EXPECT_DOUBLE_EQ(dlg.m_dScale, s.scale) << s.typed;
  }
}

TEST_F(StepDialogTest, CancelChangesNothingAndAnEmptyListCannotBeAccepted) {
  CFbResultSet& rs = Load(1);
  SelectStepDlg dlg(&rs);
  dlg.m_dScale = 3.0;
  dlg.show();
  dlg.StepCombo()->setCurrentIndex(2);
  dlg.ScaleEdit()->setText("7");
  dlg.reject();
  EXPECT_DOUBLE_EQ(dlg.m_dScale, 3.0);
  EXPECT_TRUE(dlg.m_szStepText.empty());

  CFbResultSet& empty = Load(1, [](testrun::RunSpec& s) { s.writeResults = false; });
  SelectStepDlg none(&empty);
  none.show();
  EXPECT_EQ(none.StepCombo()->count(), 0);
  none.accept();
  EXPECT_EQ(none.result(), QDialog::Rejected);
  EXPECT_EQ(none.m_nStepIndex, -1);
}

TEST_F(StepDialogTest, TimeAndModeTexts) {
  CFbResultSet& rs = Load(2);
  SelectStepDlg dlg(&rs);
  dlg.show();
  dlg.StepCombo()->setCurrentIndex(1);
  dlg.accept();
  EXPECT_EQ(dlg.m_nListKind, 1);
  EXPECT_EQ(dlg.m_szStepText, "     0.500 (sec)");

  CFbResultSet& eig = Load(3);
  SelectStepDlg modes(&eig);
  modes.show();
  modes.StepCombo()->setCurrentIndex(3);
  modes.accept();
  EXPECT_EQ(modes.m_nListKind, 2);
  EXPECT_EQ(modes.m_szStepText, "モード    4 次");
}

TEST_F(StepDialogTest, ValueDialogCaptionsAndComponents) {
  CFbResultSet& rs = Load(1);
  const struct {
    int kind;
    const char* caption;
    int components;
    const char* first;
  } cases[] = {
      {kDiagramFiberStress, "応力分布図", 3, "直応力"},
      {kDiagramFiberStrain, "ひずみ分布図", 3, "直ひずみ"},
      {kDiagramSectionForce, "断面力分布図", 12, "軸力(I)"},
      {kDiagramShellStress, "応力分布図", 3, "直応力"},
      {kDiagramShellStrain, "ひずみ分布図", 3, "直ひずみ"},
  };
  for (const auto& c : cases) {
    SelectStepStreDlg dlg(&rs, c.kind);
    dlg.m_nStepIndex = 1;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle().toStdString(), c.caption);
    EXPECT_EQ(dlg.ComponentCombo()->count(), c.components);
    EXPECT_EQ(dlg.ComponentCombo()->itemText(0).toStdString(), c.first);
    EXPECT_EQ(dlg.ComponentCombo()->currentIndex(), 0);
    EXPECT_EQ(dlg.StepCombo()->currentIndex(), 1);
    dlg.ComponentCombo()->setCurrentIndex(c.components - 1);
    dlg.accept();
    EXPECT_EQ(dlg.m_nComponent, c.components - 1);
    EXPECT_EQ(dlg.m_nStepIndex, 1);
    EXPECT_EQ(dlg.m_szStepText, "ケース   1 ／ ステップ   2");
  }
  SelectStepStreDlg forces(&rs, kDiagramSectionForce);
  forces.show();
  EXPECT_EQ(Entries(forces.ComponentCombo())[11], "ｚ方向曲げモーメント(J)");
}

TEST_F(StepDialogTest, ValueDialogOfAnEigenRunCannotBeAccepted) {
  CFbResultSet& rs = Load(3);
  SelectStepStreDlg dlg(&rs, kDiagramFiberStress);
  dlg.show();
  EXPECT_EQ(dlg.StepCombo()->count(), 0);
  EXPECT_FALSE(dlg.OkButton()->isEnabled());
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(StepDialogTest, UnknownAnalysisTypeIsTold) {
  doc_.ResetDocument();
  SelectStepDlg dlg(&doc_.m_resultSet);
  dlg.show();
  EXPECT_TRUE(messages_.Any("解析ﾀｲﾌﾟが不明です。"));
  EXPECT_EQ(dlg.StepCombo()->count(), 0);
  messages_.Clear();
  SelectStepStreDlg stre(&doc_.m_resultSet, kDiagramSectionForce);
  stre.show();
  EXPECT_TRUE(messages_.Any("解析ﾀｲﾌﾟが不明です。"));
}

}  // namespace
