// The program around the view: start-up and command line, the frame's
// menus and their texts, the recent-file list, drops, the title, the status
// bar and the shared dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QToolBar>
#include <QUrl>

#include "resultsviewer/qm_app.h"
#include "resultsviewer/step_dialogs.h"
#include "rv_test_util.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/status_bar.h"
#include "viewer_gl/x11_probe.h"

namespace {

std::vector<std::string> Texts(QMenu* menu) {
  std::vector<std::string> v;
  for (QAction* a : menu->actions())
    if (!a->isSeparator() && a->isVisible()) v.push_back(a->text().toStdString());
  return v;
}

void ClearRecent() {
  QSettings settings;
  settings.remove(QStringLiteral("Recent File List"));
}

TEST(ResultsSettingsTest, DefaultsDifferOnlyInTheBackgroundTopAndSurfaceColour) {
  CViewSettings shared, own;
  InitViewSettings(shared);
  InitResultsViewSettings(own);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(own.bcolor1[i], 255);
    EXPECT_EQ(own.dcolor[i], 255);
    EXPECT_EQ(own.bcolor2[i], shared.bcolor2[i]);
    EXPECT_EQ(own.lcolor[i], shared.lcolor[i]);
  }
  EXPECT_EQ(own.dmodel[0], 1);
  EXPECT_EQ(own.dmodel[1], 1);
  EXPECT_EQ(own.matcolor, 109);
  EXPECT_EQ(own.contour, shared.contour);
  EXPECT_DOUBLE_EQ(own.anglex, shared.anglex);
  EXPECT_EQ(own.persp, shared.persp);
  EXPECT_FALSE(own.RangeGiven());
  EXPECT_EQ(QmView::kFurtherColors[0][1], 128);
  EXPECT_EQ(QmView::kFurtherColors[2][0], 128);
}

TEST(CommandLineTest, FileAndSplash) {
  const struct {
    QStringList args;
    const char* file;
    bool splash;
  } cases[] = {
      {{}, "", true},
      {{"/runs/beam.in"}, "/runs/beam.in", true},
      {{"-Embedding"}, "", false},
      {{"/Automation", "x.in"}, "x.in", false},
      {{"a.in", "b.in"}, "a.in", true},
      {{"--style", "/tmp/c.in"}, "/tmp/c.in", true},
  };
  for (const auto& c : cases) {
    const QmApp::CommandLine cl = QmApp::ParseCommandLine(c.args);
    EXPECT_EQ(cl.file.toStdString(), c.file) << c.args.join(' ').toStdString();
    EXPECT_EQ(cl.showSplash, c.splash) << c.args.join(' ').toStdString();
  }
}

class AppTest : public rvtest::FrameFixture {};

TEST_F(AppTest, MenusCarryTheirTexts) {
  EXPECT_EQ(Texts(frame_->m_menuView),
            (std::vector<std::string>{"構造図(&K)", "変形図...(&D)", "応力分布図...(&O)", "ひずみ分布図...(&H)",
                                      "断面力分布図...(&F)", "シェル応力分布図...(&P)", "シェルひずみ分布図...(&Q)"}));
  // The View menu spells the minus of -Y and -Z with a long vowel mark.
  EXPECT_EQ(Texts(frame_->m_menuAxis), (std::vector<std::string>{"アイソメ図", "＋Ｘ軸", "－Ｘ軸", "＋Ｙ軸", "ーＹ軸",
                                                                  "＋Ｚ軸", "ーＺ軸"}));
  EXPECT_EQ(Texts(frame_->m_menuHelp), (std::vector<std::string>{"操作キー一覧", "バージョン情報(&A)..."}));
  EXPECT_EQ(frame_->m_actOpen->shortcut(), QKeySequence(QKeySequence::Open));
  // Nothing to show before a run is open.
  frame_->UpdateActions();
  for (QAction* a : frame_->m_menuView->actions()) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  EXPECT_EQ(frame_->windowTitle().toStdString(), "無題 - Varnekapp");
}

// File > Open carries its shortcut in its own text, after the tab; the
// shortcut itself still works, and the shown toolbar offers the command.
TEST_F(AppTest, OpenCommandTextAndTheShownToolbar) {
  const QString text = frame_->m_actOpen->text();
  EXPECT_EQ(text.toStdString(), "開く...\tCtrl+O(&O)");
  EXPECT_EQ(frame_->m_menuFile->actions().value(0), frame_->m_actOpen);
  EXPECT_EQ(frame_->m_actOpen->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(QKeySequence::mnemonic(text), QKeySequence(Qt::ALT | Qt::Key_O));
  const QList<QToolBar*> bars = frame_->findChildren<QToolBar*>();
  ASSERT_EQ(bars.size(), 1);
  EXPECT_TRUE(bars[0]->isVisible());
  EXPECT_TRUE(bars[0]->actions().contains(frame_->m_actOpen));
  EXPECT_EQ(frame_->m_actOpen->toolTip().toStdString(), "開く");
}

TEST_F(AppTest, EnableRulesFollowTheRun) {
  rvtest::MessageCatcher messages;
  // A static run without fibres or shells: structure, deformation and the
  // section forces.
  testrun::RunSpec s;
  s.type = 1;
  s.nodes = {{1, 0, 0, 0}, {2, 1, 0, 0}};
  s.elems = {{7, 1, 2, 1, 0}};
  s.secs = {{1, {0, 0, 0, 0, 1}, {0, 0, 1}, {}, {}, {1, 1, 1, 1, 1, 1}}};
  s.mats = {{1, 1, false, {1, 0, 0, 0, 0, 0}}};
  s.cases = {{1, 2, {}, {}}};
  s.stored = 2;
  Open(Write("plain", s));
  frame_->UpdateActions();
  EXPECT_TRUE(frame_->m_actStructure->isEnabled());
  EXPECT_TRUE(frame_->m_actDeform->isEnabled());
  EXPECT_TRUE(frame_->m_actSectionForce->isEnabled());
  EXPECT_FALSE(frame_->m_actStress->isEnabled());
  EXPECT_FALSE(frame_->m_actShellStress->isEnabled());
  // The full frame: everything.
  Open(Write("frame", testrun::SmallFrame(1)));
  frame_->UpdateActions();
  for (QAction* a : frame_->m_menuView->actions()) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
}

// Each diagram command of the menu asks for its step in its own dialog.
TEST_F(AppTest, DiagramCommandsOpenTheirDialogs) {
  rvtest::MessageCatcher messages;
  Open(Write("frame", testrun::SmallFrame(1)));
  frame_->UpdateActions();
  const struct {
    QAction* action;
    bool deform;
    int kind;  // of the value dialog
    const char* caption;
  } cases[] = {
      {frame_->m_actDeform, true, -1, "変位図"},
      {frame_->m_actStress, false, kDiagramFiberStress, "応力分布図"},
      {frame_->m_actStrain, false, kDiagramFiberStrain, "ひずみ分布図"},
      {frame_->m_actSectionForce, false, kDiagramSectionForce, "断面力分布図"},
      {frame_->m_actShellStress, false, kDiagramShellStress, "応力分布図"},
      {frame_->m_actShellStrain, false, kDiagramShellStrain, "ひずみ分布図"},
  };
  for (const auto& c : cases) {
    const std::string text = c.action->text().toStdString();
    bool deform = false;
    int kind = -1;
    std::string caption;
    {
      rvtest::DialogAnswer answer([&](QDialog& d) {
        deform = dynamic_cast<SelectStepDlg*>(&d) != nullptr;
        if (auto* v = dynamic_cast<SelectStepStreDlg*>(&d)) kind = v->m_nDiagramKind;
        caption = d.windowTitle().toStdString();
        d.reject();
        return d.result();
      });
      ASSERT_TRUE(c.action->isEnabled()) << text;
      c.action->trigger();
      EXPECT_EQ(answer.Count(), 1) << text;
    }
    EXPECT_EQ(deform, c.deform) << text;
    EXPECT_EQ(kind, c.kind) << text;
    EXPECT_EQ(caption, c.caption) << text;
    EXPECT_EQ(View()->m_nViewMode, kModeStructure) << text;
  }
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(AppTest, RecentFilesKeepTheLastFour) {
  ClearRecent();
  frame_ = std::make_unique<CMainFrame>();
  rvtest::MessageCatcher messages;
  std::vector<std::string> paths;
  for (int i = 0; i < 6; ++i) paths.push_back(Write("run" + std::to_string(i), testrun::SmallFrame(1)));
  for (const std::string& p : paths) frame_->OpenFile(QString::fromStdString(p));
  frame_->OpenFile(QString::fromStdString(paths[3]));  // again: to the front
  const QStringList recent = frame_->RecentFiles();
  ASSERT_EQ(recent.size(), 4);
  EXPECT_EQ(recent[0].toStdString(), paths[3]);
  EXPECT_EQ(recent[1].toStdString(), paths[5]);
  EXPECT_EQ(recent[2].toStdString(), paths[4]);
  EXPECT_EQ(recent[3].toStdString(), paths[2]);
  // Kept in the settings under the program's name, and offered by a new
  // frame.
  EXPECT_EQ(QSettings().value("Recent File List/File1").toString().toStdString(), paths[3]);
  // The next Open dialog starts in the last file's folder.
  QSettings profile;
  EXPECT_EQ(OpenFolder(profile).toStdString(), std::filesystem::path(paths[3]).parent_path().string());
  CMainFrame other;
  EXPECT_EQ(other.RecentFiles(), recent);
  bool listed = false;
  for (QAction* a : other.m_menuFile->actions()) listed |= a->text().endsWith(QString::fromStdString(paths[5]));
  EXPECT_TRUE(listed);
  ClearRecent();
}

// The file is opened before the document is emptied: one that cannot be
// opened is told and the run on show stays (picture, title, document); a
// recent entry that no longer opens leaves the list.
TEST_F(AppTest, FileThatCannotBeOpenedLeavesTheRunOnShow) {
  ClearRecent();
  frame_ = std::make_unique<CMainFrame>();
  frame_->show();
  frame_->View()->setFixedSize(kWidth, kHeight);
  rvtest::MessageCatcher messages;
  const std::string gone = Write("gone", testrun::SmallFrame(1));
  Open(gone);
  Open(Write("kept", testrun::SmallFrame(1)));
  ASSERT_EQ(frame_->RecentFiles().size(), 2);
  const QImage before = Grab();
  std::filesystem::remove(gone);
  messages.Clear();
  for (QAction* a : frame_->m_menuFile->actions())
    if (a->text().endsWith(QString::fromStdString(gone))) a->trigger();
  Settle();
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_TRUE(messages.Any("：ファイルオープンエラー\r\n")) << messages.Texts()[0];
  EXPECT_EQ(Doc().m_szName, "kept");
  EXPECT_GT(Doc().m_nNodes, 0);
  EXPECT_EQ(frame_->windowTitle().toStdString(), "kept.in - Varnekapp");
  EXPECT_EQ(frame_->RecentFiles(), QStringList{QString::fromStdString(dir_.path() + "/kept.in")});
  EXPECT_EQ(Grab(), before);
  ClearRecent();
}

TEST_F(AppTest, DroppedFileOpensLikeFileOpen) {
  rvtest::MessageCatcher messages;
  const std::string path = Write("dropped", testrun::SmallFrame(2));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &drop);
  Settle();
  EXPECT_EQ(Doc().m_szName, "dropped");
  EXPECT_EQ(Doc().m_resultSet.m_model.m_nAnaType, 2);
  EXPECT_EQ(View()->Scene().initialised, 1);
  EXPECT_EQ(frame_->windowTitle().toStdString(), "dropped.in - Varnekapp");
}

TEST_F(AppTest, StatusBarIndicatorsAndTheMovementWord) {
  CPStatusBar* bar = frame_->StatusBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->PaneCount(), 4);
  const char* const indicators[] = {"CAP", "NUM", "SCRL"};
  for (int i = 1; i < 4; ++i) {
    auto* pane = qobject_cast<QLabel*>(bar->Pane(i));
    ASSERT_NE(pane, nullptr) << i;
    EXPECT_EQ(pane->text().toStdString(), indicators[i - 1]);
  }
  EXPECT_FALSE(bar->Progress()->isVisible());
  frame_->SetWalkText(13);
  EXPECT_EQ(bar->OpMode(), 13);
  frame_->SetWalkText(-1);
  EXPECT_EQ(bar->OpMode(), -1);
}

TEST_F(AppTest, KeysGuideAndAboutBox) {
  frame_->m_actKeys->trigger();
  CKeysDlg* keys = CKeysDlg::Instance();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->Program(), ViewerProgram::Varnek);
  EXPECT_TRUE(keys->isVisible());
  keys->hide();
  frame_->m_actKeys->trigger();
  EXPECT_EQ(CKeysDlg::Instance(), keys);  // the one dialog again
  keys->hide();
  rvtest::DialogAnswer answer([](QDialog& d) {
    d.accept();
    return d.result();
  });
  frame_->m_actAbout->trigger();
  EXPECT_EQ(answer.Count(), 1);
}

// With a file being opened the splash goes when its time is up or when the
// first picture is shown, whichever comes later.
TEST(StartUpTest, SplashWaitsForTheFirstPicture) {
  rvtest::EnsureApp();
  for (const bool pictureFirst : {true, false}) {
    CSplashDlg* splash = CSplashDlg::ShowSplash(ViewerProgram::Ostrel);
    ASSERT_NE(splash, nullptr);
    CSplashDlg::ExpectPicture();
    if (pictureFirst) CSplashDlg::PictureShown();
    ASSERT_TRUE(rvtest::WaitFor([&] { return !splash->TimerActive(); }));
    EXPECT_EQ(splash->isVisible(), !pictureFirst) << pictureFirst;
    CSplashDlg::PictureShown();
    EXPECT_FALSE(splash->isVisible()) << pictureFirst;
    CSplashDlg::DestroyInstance();
  }
}

// Whether `upper` lies above `lower` among the X server's top-level windows
// (no window manager: they are the root's children, bottom to top).
bool StackedAbove(QWidget* upper, QWidget* lower) {
  Display* d = x11probe::Dpy();
  if (!d) return false;
  XSync(d, 0);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return false;
  int at[2] = {-1, -1};
  for (unsigned i = 0; i < n; ++i) {
    if (children[i] == static_cast<Window>(upper->winId())) at[0] = static_cast<int>(i);
    if (children[i] == static_cast<Window>(lower->winId())) at[1] = static_cast<int>(i);
  }
  if (children) XFree(children);
  return at[0] >= 0 && at[1] >= 0 && at[0] > at[1];
}

// A run whose loading raises a message, named at start-up: the message
// shows with the splash gone, not under it for as long as it is open.
TEST(StartUpTest, AMessageWhileLoadingIsNotUnderTheSplash) {
  rvtest::EnsureApp();
  testrun::TempDir dir;
  const std::string full = testrun::WriteRun(dir.path(), "whole", testrun::SmallFrame(1));
  std::ifstream in(full, std::ios::binary);
  std::string head(300, '\0');
  in.read(head.data(), 300);
  head.resize(static_cast<size_t>(in.gcount()));
  const std::string path = (std::filesystem::path(dir.path()) / "short.in").string();
  std::ofstream(path, std::ios::binary) << head;
  std::vector<bool> splashShown;
  varnek::SetMessageHook([&](const std::string&) {
    splashShown.push_back(CSplashDlg::Instance() && CSplashDlg::Instance()->isVisible());
  });
  {
    QmApp app;
    ASSERT_TRUE(app.InitInstance({QString::fromStdString(path)}));
    rvtest::PumpEvents(100);
  }
  varnek::SetMessageHook({});
  ASSERT_FALSE(splashShown.empty());
  for (const bool shown : splashShown) EXPECT_FALSE(shown);
}

TEST(StartUpTest, OpensTheNamedFileAndShowsTheSplash) {
  rvtest::EnsureApp();
  rvtest::MessageCatcher messages;
  testrun::TempDir dir;
  const std::string path = testrun::WriteRun(dir.path(), "start", testrun::SmallFrame(1));
  {
    QmApp app;
    ASSERT_TRUE(app.InitInstance({QString::fromStdString(path)}));
    // Looked at before the loop runs: a busy machine may let the splash's
    // time run out during the first frame.
    ASSERT_NE(app.MainFrame(), nullptr);
    EXPECT_EQ(app.MainFrame()->Doc().m_szName, "start");
    EXPECT_TRUE(app.MainFrame()->isMaximized() || app.MainFrame()->isVisible());
    ASSERT_NE(CSplashDlg::Instance(), nullptr);
    EXPECT_TRUE(CSplashDlg::Instance()->TimerActive());
    EXPECT_TRUE(CSplashDlg::Instance()->isVisible());
    EXPECT_TRUE(StackedAbove(CSplashDlg::Instance(), app.MainFrame()));
    rvtest::PumpEvents(100);
    EXPECT_EQ(CSplashDlg::TimeoutMs(ViewerProgram::Varnek), 3000);
    EXPECT_EQ(QCoreApplication::organizationName().toStdString(), "Tollgrane");
    EXPECT_EQ(QCoreApplication::applicationName().toStdString(), "Varnek");
  }
  // The application's end destroys the shared dialogs.
  EXPECT_EQ(CSplashDlg::Instance(), nullptr);
  EXPECT_EQ(CKeysDlg::Instance(), nullptr);
  QmApp quiet;
  ASSERT_TRUE(quiet.InitInstance({"-Embedding"}));
  EXPECT_EQ(CSplashDlg::Instance(), nullptr);
  EXPECT_EQ(quiet.MainFrame()->windowTitle().toStdString(), "無題 - Varnekapp");
}

}  // namespace
