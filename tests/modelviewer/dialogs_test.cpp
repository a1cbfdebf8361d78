// The colour-scheme dialog, the material colour table, the frame's start-up
// state, the recent-file list and the command line.
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMdiArea>
#include <QPushButton>
#include <QSettings>
#include <QToolBar>

#include "modelviewer/qm_dialogs.h"
#include "mv_test_support.h"
#include "viewer/color_table.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/status_bar.h"

using namespace mvtest;

namespace {

TEST(ColorsDlgTest, BuiltinPalettesFillTheSwatches) {
  App();
  struct Case {
    int n;            // counter value handed in
    int palette;      // palette shown
  } cases[] = {{0, 0}, {1, 1}, {12, 12}, {13, 0}, {27, 1}, {-1, 12}};
  for (const Case& c : cases) {
    CColorsDlg dlg;
    SelectBuiltinPalette(c.n, dlg);
    dlg.OnInitDialog();
    const BuiltinPalette& pal = g_BuiltinPalettes[c.palette];
    EXPECT_EQ(dlg.NumberLabel()->text(), QString::number(pal.id)) << c.n;
    EXPECT_EQ(dlg.NameLabel()->text(), QString::fromUtf8(pal.name)) << c.n;
    int records = 0;
    while (pal.colors[records].flag != 0) ++records;
    for (int i = 0; i < CColorsDlg::kSwatches; ++i) {
      const bool shown = i < records && pal.colors[i].flag > 0;
      EXPECT_EQ(!dlg.Swatch(i)->isHidden(), shown) << c.n << " swatch " << i;
      if (shown) {
        const PaletteColor& pc = pal.colors[i];
        EXPECT_EQ(dlg.Swatch(i)->text(), QStringLiteral("%1 %2 %3").arg(pc.r).arg(pc.g).arg(pc.b));
        EXPECT_EQ(dlg.Swatch(i)->Color(), QColor(pc.r, pc.g, pc.b));
      }
    }
  }
}

TEST(ColorsDlgTest, NegativeFlagsHideTheirSwatchAndTheSeventeenthIsDropped) {
  App();
  std::vector<PaletteColor> colors = {{1, 255, 128, 0}, {-1, 1, 2, 3}, {2, 0, 0, 255}};
  for (int i = 0; i < 15; ++i) colors.push_back({1, i, i, i});
  colors.push_back({0, 0, 0, 0});
  CColorsDlg dlg;
  PackColorsForDialog(dlg, 77, "test", colors.data());
  dlg.OnInitDialog();
  EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("static1018"))->text(), QStringLiteral("77"));
  EXPECT_FALSE(dlg.findChild<CStaticEx*>(QStringLiteral("static1002"))->isHidden());
  EXPECT_TRUE(dlg.findChild<CStaticEx*>(QStringLiteral("static1003"))->isHidden());
  EXPECT_FALSE(dlg.findChild<CStaticEx*>(QStringLiteral("static1004"))->isHidden());
  EXPECT_EQ(dlg.Swatch(0)->text(), QStringLiteral("255 128 0"));
  EXPECT_EQ(dlg.Swatch(15)->text(), QStringLiteral("12 12 12"));
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Dialog"));
}

TEST(ColorsDlgTest, TheCommandStaysDisabledAndEachCallShowsTheNextPalette) {
  TempFolder dir;
  WriteSquareModel(dir.Path("m.dat"));
  Program prog;
  CChildFrame* child = prog.Open(dir.Path("m.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  prog.frame->UpdateCommandStates();
  EXPECT_FALSE(prog.frame->Action(kCmdViewColors)->isEnabled());
  QStringList names;
  SetModalHook([&](QDialog& dlg) {
    auto& colors = dynamic_cast<CColorsDlg&>(dlg);
    colors.OnInitDialog();
    names << colors.NameLabel()->text();
    return int(QDialog::Accepted);
  });
  child->View()->OnViewColors();
  child->View()->OnViewColors();
  SetModalHook(nullptr);
  ASSERT_EQ(names.size(), 2);
  EXPECT_NE(names[0], names[1]);
}

TEST(MatColorTableTest, ShowsTheActiveDocumentsMaterials) {
  TempFolder dir;
  WriteSquareModel(dir.Path("one.dat"), 3);
  WriteSquareModel(dir.Path("two.dat"), 8);
  dir.Write("color.txt", "1\n1 10 200 30\n");
  Program prog;
  CChildFrame* one = prog.Open(dir.Path("one.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  EXPECT_TRUE(prog.frame->Action(kCmdMatColorTable)->isEnabled());
  prog.frame->Action(kCmdMatColorTable)->trigger();
  ASSERT_TRUE(g_pMatColorDlg);
  CMatColorDlg* dlg = g_pMatColorDlg;
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("材料一覧"));
  ASSERT_EQ(dlg->List()->count(), 1);
  EXPECT_EQ(dlg->List()->item(0)->text(), QStringLiteral("  材料:3"));
  EXPECT_EQ(dlg->Serial(), one->Document()->m_nDocSerial);
  EXPECT_EQ(dlg->List()->Material(0).g, 200);

  // A second document takes the table over.
  CChildFrame* two = prog.Open(dir.Path("two.dat"));
  EXPECT_EQ(dlg->Serial(), two->Document()->m_nDocSerial);
  ASSERT_TRUE(prog.WaitIdle());
  ASSERT_EQ(dlg->List()->count(), 1);
  EXPECT_EQ(dlg->List()->item(0)->text(), QStringLiteral("  材料:8"));

  // Activating the first view switches back.
  prog.frame->MdiArea()->setActiveSubWindow(one);
  Pump(20);
  EXPECT_EQ(dlg->List()->item(0)->text(), QStringLiteral("  材料:3"));
  // OK hides the table; it is not destroyed.
  dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_TRUE(g_pMatColorDlg);
  // Closing the window of the document it shows empties it.
  one->close();
  Pump(20);
  EXPECT_TRUE(g_pMatColorDlg);
  EXPECT_NE(dlg->Serial(), -1);  // the remaining document became active
  EXPECT_EQ(dlg->Serial(), two->Document()->m_nDocSerial);
}

TEST(MatColorTableTest, ADocumentIsShownOnlyOnceItsLoadEnded) {
  App();
  QmDoc doc;
  doc.m_aMats.resize(2);
  doc.m_nMats = 2;
  doc.m_aMats[0].nNo = 4;
  doc.m_aMats[1].nNo = 9;
  CMatColorDlg dlg;
  dlg.Refresh(&doc);  // still loading: nothing copied
  EXPECT_EQ(dlg.Serial(), doc.m_nDocSerial);
  EXPECT_EQ(dlg.List()->count(), 0);
  doc.m_bReady = true;
  dlg.DocumentLoaded(&doc);
  ASSERT_EQ(dlg.List()->count(), 2);
  EXPECT_EQ(dlg.List()->item(1)->text(), QStringLiteral("  材料:9"));
  // The same document again changes nothing; another one's load does not
  // touch the table.
  doc.m_aMats[1].nNo = 10;
  dlg.Refresh(&doc);
  EXPECT_EQ(dlg.List()->item(1)->text(), QStringLiteral("  材料:9"));
  QmDoc other;
  other.m_bReady = true;
  dlg.DocumentLoaded(&other);
  EXPECT_EQ(dlg.List()->count(), 2);
  // Detaching another document changes nothing, this one empties it.
  dlg.Detach(&other);
  EXPECT_EQ(dlg.List()->count(), 2);
  dlg.Detach(&doc);
  EXPECT_EQ(dlg.Serial(), -1);
  EXPECT_EQ(dlg.List()->count(), 0);
}

TEST(MatColorTableTest, ADocumentWithoutMaterialsLeavesItEmpty) {
  TempFolder dir;
  dir.Write("empty.txt", "");
  Program prog;
  CChildFrame* child = prog.Open(dir.Path("empty.txt"));
  ASSERT_NE(child, nullptr);
  child->View()->OnViewMatColorTable();
  ASSERT_TRUE(g_pMatColorDlg);
  EXPECT_EQ(g_pMatColorDlg->List()->count(), 0);
}

TEST(FrameTest, StartsWithStatusBarAndWithoutToolbar) {
  Program prog;
  EXPECT_FALSE(prog.frame->ToolBar()->isVisible());
  EXPECT_TRUE(prog.frame->StatusBar()->isVisible());
  EXPECT_FALSE(prog.frame->StatusBar()->Progress()->isVisible());
  EXPECT_EQ(prog.frame->windowTitle(), QStringLiteral("Ostrel"));
  EXPECT_TRUE(prog.frame->ChildFrames().empty());
  // Save and Save As are never offered.
  EXPECT_FALSE(prog.frame->Action(kCmdFileSave)->isEnabled());
  EXPECT_FALSE(prog.frame->Action(kCmdFileSaveAs)->isEnabled());
  EXPECT_FALSE(prog.frame->Action(kCmdFileClose)->isEnabled());
  // View > Toolbar (offered with a document) shows it.
  prog.frame->Action(kCmdViewToolbar)->trigger();
  EXPECT_TRUE(prog.frame->ToolBar()->isVisible());
  prog.frame->UpdateCommandStates();
  EXPECT_TRUE(prog.frame->Action(kCmdViewToolbar)->isChecked());
}

TEST(FrameTest, HelpCommandsShowTheKeysGuideAndTheAboutBox) {
  Program prog;
  bool aboutShown = false;
  SetModalHook([&](QDialog&) {
    aboutShown = true;
    return int(QDialog::Accepted);
  });
  prog.frame->Action(kCmdAppAbout)->trigger();
  SetModalHook(nullptr);
  EXPECT_TRUE(aboutShown);
  prog.frame->Action(kCmdHelpKeys)->trigger();
  ASSERT_NE(CKeysDlg::Instance(), nullptr);
  EXPECT_TRUE(CKeysDlg::Instance()->isVisible());
  EXPECT_EQ(CKeysDlg::Instance()->Program(), ViewerProgram::Ostrel);
  // Closing the program hides it, so no window keeps the program running.
  prog.frame->close();
  EXPECT_FALSE(CKeysDlg::Instance()->isVisible());
}

TEST(FrameTest, TheSplashShowsAtStartUp) {
  App();
  QmApp app;
  ASSERT_TRUE(app.InitInstance({QStringLiteral("ostrel")}, true));
  ASSERT_NE(CSplashDlg::Instance(), nullptr);
  EXPECT_TRUE(CSplashDlg::Instance()->isVisible());
  EXPECT_TRUE(CSplashDlg::Instance()->TimerActive());
  EXPECT_TRUE(app.MainFrame()->isVisible());
}

TEST(FrameTest, CommandLineOpensTheFirstFile) {
  struct Case {
    QStringList args;
    QString file;
  } cases[] = {
      {{"ostrel"}, ""},
      {{"ostrel", "a.dat"}, "a.dat"},
      {{"ostrel", "-x", "a.dat", "b.dat"}, "a.dat"},
      {{"ostrel", "--flag"}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandLineFile(c.args), c.file) << c.args.join(' ').toStdString();

  TempFolder dir;
  WriteSquareModel(dir.Path("cmd.dat"));
  App();
  QmApp app;
  ASSERT_TRUE(app.InitInstance({QStringLiteral("ostrel"), QString::fromStdString(dir.Path("cmd.dat"))}, false));
  ASSERT_EQ(app.MainFrame()->ChildFrames().size(), 1u);
  EXPECT_TRUE(WaitFor([&] { return !g_bLoading.load() && !app.MainFrame()->LoadTimerActive(); }));
  EXPECT_EQ(app.MainFrame()->ChildFrames()[0]->Document()->m_nNodes, 4);
  EXPECT_EQ(app.MainFrame()->windowTitle(), QStringLiteral("Ostrel - [cmd.dat]"));
  EXPECT_EQ(RecentFiles().Files().value(0), QString::fromStdString(dir.Path("cmd.dat")));
}

TEST(RecentFilesTest, KeepsEightNewestFirstInTheProfile) {
  App();
  CRecentFileList list;
  for (int i = 1; i <= 9; ++i) list.Add(QStringLiteral("/m/%1.dat").arg(i));
  ASSERT_EQ(list.Files().size(), 8);
  EXPECT_EQ(list.Files().front(), QStringLiteral("/m/9.dat"));
  EXPECT_EQ(list.Files().back(), QStringLiteral("/m/2.dat"));
  list.Add(QStringLiteral("/m/5.dat"));
  EXPECT_EQ(list.Files().size(), 8);
  EXPECT_EQ(list.Files().front(), QStringLiteral("/m/5.dat"));
  EXPECT_EQ(list.Files().count(QStringLiteral("/m/5.dat")), 1);
  list.Save();
  QSettings s(QStringLiteral("Tollgrane"), QStringLiteral("Ostrel"));
  EXPECT_EQ(s.value(QStringLiteral("Recent File List/File1")).toString(), QStringLiteral("/m/5.dat"));
  CRecentFileList again;
  again.Load();
  EXPECT_EQ(again.Files(), list.Files());
}

}  // namespace
