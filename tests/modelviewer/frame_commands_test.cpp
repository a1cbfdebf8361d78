// The main frame as the user meets it: the menus with their texts and
// order, which commands are offered without a document, while a load runs
// and after it, the status bar's panes and font, File > Open's dialog, the
// movement word across two views, Home and the splash's time.
#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QToolBar>
#include <QWheelEvent>

#include <future>

#include "mv_test_support.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/status_bar.h"

using namespace mvtest;

namespace {

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(w, &release);
}

// The visible entries of a menu: its command id and text, separators left out.
std::vector<std::pair<int, QString>> Entries(QMenu* menu) {
  std::vector<std::pair<int, QString>> out;
  for (QAction* a : menu->actions())
    if (!a->isSeparator() && a->isVisible()) out.push_back({a->data().toInt(), a->text()});
  return out;
}

QStringList MenuBarTitles(CMainFrame* frame) {
  QStringList out;
  for (QAction* a : frame->menuBar()->actions())
    if (a->isVisible()) out << a->text();
  return out;
}

struct MenuCase {
  const char* menu;
  std::vector<std::pair<int, QString>> entries;
};

const std::vector<MenuCase>& DocumentMenus() {
  static const std::vector<MenuCase> menus = {
      {"menuFile",
       {{57601, "開く(&O)..."}, {57602, "閉じる(&C)"}, {32772, "視点の保存\tCtrl+E(&E)"},
        {57665, "アプリケーションの終了(&X)"}}},
      {"menuDisplay",
       {{32779, "＋X軸(&X)"}, {32780, "－X軸(&A)"}, {32781, "＋Y軸(&Y)"}, {32782, "－Ｙ軸(&B)"},
        {32783, "＋Ｚ軸(&Z)"}, {32784, "－Ｚ軸(&C)"}, {32787, "視点登録(&V)"},
        {32788, "視点登録の全削除(&D)"}, {32795, "標準表示(&N)"}, {32793, "材料表示(&M)"},
        {32797, "色の変更(&C)"}, {32799, "材料配色表(&L)"}}},
      {"menuWindow", {{57650, "重ねて表示(&C)"}, {57651, "並べて表示(&T)"}, {57649, "アイコンの整列(&A)"}}},
      {"menuView", {{59392, "ツール バー(&T)"}, {59393, "ステータス バー(&S)"}}},
      {"menuHelp", {{57664, "バージョン情報(&A)..."}, {32791, "操作キー一覧"}}},
  };
  return menus;
}

TEST(MenuTest, MenusHoldTheirCommandsInOrderWithTheirTexts) {
  TempFolder dir;
  WriteSquareModel(dir.Path("menus.dat"));
  Program prog;

  // Without a document: File (Open, Close, Exit) and Help.
  EXPECT_EQ(MenuBarTitles(prog.frame), QStringList({"ファイル(&F)", "ヘルプ(&H)"}));
  const std::vector<std::pair<int, QString>> bareFile = {
      {57601, "開く(&O)..."}, {57602, "閉じる(&C)"}, {57665, "アプリケーションの終了(&X)"}};
  EXPECT_EQ(Entries(prog.frame->Menu("menuFile")), bareFile);
  EXPECT_EQ(Entries(prog.frame->Menu("menuHelp")), DocumentMenus().back().entries);

  // With a document: File, Display, Window, View, Help.
  prog.Open(dir.Path("menus.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  EXPECT_EQ(MenuBarTitles(prog.frame),
            QStringList({"ファイル(&F)", "表示(&D)", "ウィンドウ(&W)", "ビュー(&V)", "ヘルプ(&H)"}));
  for (const MenuCase& m : DocumentMenus())
    EXPECT_EQ(Entries(prog.frame->Menu(QString::fromLatin1(m.menu))), m.entries) << m.menu;
  // The menu shows the shortcut that the text names.
  EXPECT_EQ(prog.frame->Action(kCmdSaveEye)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
}

// Enabled state of each command without a document, while a keyword file
// loads, and once it is drawn.
TEST(MenuTest, CommandsAreGreyedByTheirRules) {
  TempFolder dir;
  WriteSquareModel(dir.Path("first.dat"));
  WriteSquareModel(dir.Path("second.dat"));
  Program prog;
  struct Case {
    int id;
    bool bare, loading, drawn;
  } cases[] = {
      {kCmdFileOpen, true, false, true},       {kCmdFileClose, false, false, true},
      {kCmdFileSave, false, false, false},     {kCmdFileSaveAs, false, false, false},
      {kCmdFilePrint, false, false, false},    {kCmdFilePrintPreview, false, false, false},
      {kCmdAppExit, true, true, true},         {kCmdCascade, false, false, true},
      {kCmdTile, false, false, true},          {kCmdArrangeIcons, false, false, true},
      {kCmdSaveEye, false, false, true},       {kCmdEyeRegist, false, false, true},
      {kCmdEyeDelAll, false, false, true},     {kCmdViewMaterial, false, false, true},
      {kCmdViewNormal, false, false, true},    {kCmdViewColors, false, false, false},
      {kCmdMatColorTable, false, true, true},  {kCmdPlusX, false, true, true},
      {kCmdMinusZ, false, true, true},         {kCmdAppAbout, true, true, true},
      {kCmdHelpKeys, true, true, true},        {kCmdViewToolbar, true, true, true},
  };
  prog.frame->UpdateCommandStates();
  for (const Case& c : cases) EXPECT_EQ(prog.frame->Action(c.id)->isEnabled(), c.bare) << "bare " << c.id;

  // A drawn document whose viewpoints exist ...
  CChildFrame* first = prog.Open(dir.Path("first.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  Grab(first->View());
  prog.frame->UpdateCommandStates();
  for (const Case& c : cases) EXPECT_EQ(prog.frame->Action(c.id)->isEnabled(), c.drawn) << "drawn " << c.id;

  // ... greys its busy commands while another file loads (no event is
  // processed here, so the load still counts as running).
  prog.Open(dir.Path("second.dat"));
  prog.frame->MdiArea()->setActiveSubWindow(first);
  ASSERT_TRUE(g_bLoading.load());
  ASSERT_EQ(prog.frame->ActiveView(), first->View());
  prog.frame->UpdateCommandStates();
  for (const Case& c : cases)
    EXPECT_EQ(prog.frame->Action(c.id)->isEnabled(), c.loading) << "loading " << c.id;
  ASSERT_TRUE(prog.WaitIdle());
}

TEST(StatusBarTest, PanesHaveTheirWidthsAndTheBarItsFont) {
  TempFolder dir;
  WriteSquareModel(dir.Path("bar.dat"));
  Program prog;
  CPStatusBar* bar = prog.frame->StatusBar();
  ASSERT_EQ(bar->PaneCount(), 2);
  EXPECT_EQ(bar->Pane(0)->width(), 200);
  EXPECT_EQ(bar->Pane(1)->width(), 300);
  EXPECT_EQ(bar->ProgressPane(), 1);
  // A character cell 24 pixels high, normal weight, also in the word pane.
  EXPECT_NEAR(QFontMetrics(bar->font()).height(), 24, 1);
  EXPECT_EQ(bar->font().weight(), QFont::Normal);
  EXPECT_EQ(bar->Pane(0)->font(), bar->font());

  // The progress bar lies over pane 1 while the file loads.
  prog.Open(dir.Path("bar.dat"));
  QProgressBar* progress = bar->Progress();
  ASSERT_TRUE(progress->isVisible());
  EXPECT_EQ(progress->geometry(), bar->Pane(1)->geometry());
  EXPECT_EQ(progress->minimum(), 0);
  EXPECT_EQ(progress->maximum(), 100);
  ASSERT_TRUE(prog.WaitIdle());
  EXPECT_FALSE(progress->isVisible());
}

// A load held up on a pipe: the bar steps with each tick while the worker
// waits, and goes with one of the first ticks after the worker's end.
TEST(StatusBarTest, ProgressStepsOncePerTickUntilTheWorkerEnds) {
  TempFolder dir;
  const std::string path = dir.Path("slow.dat");
  WriteSquareModel(path);
  // The worker waits at its start until released: the load lasts as long
  // as the test wants. The hook goes after the program (and its worker);
  // the release comes before them, also when an assertion ends the test.
  struct HookScope {
    ~HookScope() { g_fnLoadStartHook = nullptr; }
  } hookScope;
  std::promise<void> release;
  g_fnLoadStartHook = [go = release.get_future().share()] { go.wait(); };
  Program prog;
  struct ReleaseScope {
    std::promise<void>& p;
    bool done = false;
    void Release() {
      if (!done) p.set_value();
      done = true;
    }
    ~ReleaseScope() { Release(); }
  } releaseScope{release};
  CChildFrame* child = prog.Open(path);
  ASSERT_NE(child, nullptr);
  QProgressBar* progress = prog.frame->StatusBar()->Progress();
  // The bar shows the tick count at every look, whatever the machine's pace.
  int lagging = 0;
  ASSERT_TRUE(WaitFor([&] {
    if (progress->value() != prog.frame->TickCount()) ++lagging;
    return prog.frame->TickCount() >= 5;
  }, 60000));
  EXPECT_EQ(lagging, 0);
  EXPECT_TRUE(progress->isVisible());
  EXPECT_TRUE(g_bLoading.load());
  EXPECT_FALSE(prog.frame->Action(kCmdFileOpen)->isEnabled());

  releaseScope.Release();
  const QmDoc* doc = child->Document();
  ASSERT_TRUE(WaitFor([&] { return doc->m_bReady.load(); }, 60000));
  const int endTick = prog.frame->TickCount();
  ASSERT_TRUE(WaitFor([&] { return !progress->isVisible(); }, 60000));
  // One tick may fall between the worker's two flags (ready, then done).
  EXPECT_LE(prog.frame->TickCount(), endTick + 2);
  EXPECT_TRUE(prog.WaitIdle());
  EXPECT_EQ(child->Document()->m_nNodes, 4);
  EXPECT_TRUE(prog.frame->Action(kCmdFileOpen)->isEnabled());
}

TEST(OpenDialogTest, FileOpenOffersTheDocumentTypeAndAllFiles) {
  TempFolder dir;
  dir.Write("shell.grid", "2\n0 0 0\n10 0 0\n");
  dir.Write("shell.egno", "2\n1\n2\n");
  dir.Write("shell.qddef", "0\n");
  Program prog;
  MessageRecorder messages;
  QStringList filters;
  QString title;
  SetModalHook([&](QDialog& dlg) {
    auto* fd = qobject_cast<QFileDialog*>(&dlg);
    if (!fd) return int(QDialog::Rejected);
    title = fd->windowTitle();
    filters = fd->nameFilters();
    fd->selectNameFilter(filters.value(1));
    fd->selectFile(QString::fromStdString(dir.Path("shell.grid")));
    return int(QDialog::Accepted);
  });
  testing::internal::CaptureStdout();
  prog.frame->Action(kCmdFileOpen)->trigger();
  testing::internal::GetCapturedStdout();
  SetModalHook(nullptr);
  EXPECT_EQ(title, QStringLiteral("開く"));
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].startsWith(QStringLiteral("Ostrel Files (*.dat *.da_"))) << filters[0].toStdString();
  EXPECT_EQ(filters[1], QStringLiteral("すべてのファイル (*.*)"));
  // A grid model chosen through "all files" opens with component 1 and
  // displacement scale 100.
  ASSERT_EQ(prog.frame->ChildFrames().size(), 1u);
  const QmDoc* doc = prog.frame->ChildFrames()[0]->Document();
  EXPECT_EQ(doc->m_branch, DocBranch::kGrid);
  EXPECT_EQ(doc->m_nColorMode, 0);
  EXPECT_DOUBLE_EQ(doc->m_grid.m_dAskedScale, 100.0);
  EXPECT_TRUE(messages.shown.empty());

  // Cancel opens nothing.
  SetModalHook([](QDialog&) { return int(QDialog::Rejected); });
  prog.frame->Action(kCmdFileOpen)->trigger();
  SetModalHook(nullptr);
  EXPECT_EQ(prog.frame->ChildFrames().size(), 1u);
}

// The word belongs to the frame: whatever view set it, a press, a wheel
// turn or a key in another view clears it.
TEST(WordTest, AnotherViewsInputClearsTheWord) {
  TempFolder dir;
  WriteSquareModel(dir.Path("a.dat"));
  WriteSquareModel(dir.Path("b.dat"));
  Program prog;
  CChildFrame* a = prog.Open(dir.Path("a.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  CChildFrame* b = prog.Open(dir.Path("b.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  Grab(a->View());
  Grab(b->View());
  CPStatusBar* bar = prog.frame->StatusBar();
  const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> inputs = {
      {"press",
       [](QWidget* w) {
         QMouseEvent down(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(w, &down);
         QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
         QApplication::sendEvent(w, &up);
       }},
      {"wheel",
       [](QWidget* w) {
         QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 60), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
         QApplication::sendEvent(w, &e);
       }},
      {"key", [](QWidget* w) { Key(w, Qt::Key_Shift, Qt::ShiftModifier); }},
  };
  for (const auto& [name, input] : inputs) {
    Key(b->View(), Qt::Key_Up, Qt::ShiftModifier);
    ASSERT_EQ(bar->OpMode(), 11);
    input(a->View());
    EXPECT_EQ(bar->OpMode(), -1) << name;
  }
  // Activating the other view clears it too.
  prog.frame->MdiArea()->setActiveSubWindow(b);
  Key(b->View(), Qt::Key_Down);
  ASSERT_EQ(bar->OpMode(), 2);
  prog.frame->MdiArea()->setActiveSubWindow(a);
  EXPECT_EQ(bar->OpMode(), -1);
}

TEST(ViewpointKeyTest, HomeMakesViewpointZeroCurrent) {
  TempFolder dir;
  WriteSquareModel(dir.Path("home.dat"));
  Program prog;
  CChildFrame* child = prog.Open(dir.Path("home.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  QmView* view = child->View();
  Grab(view);
  ASSERT_TRUE(view->HasEyeList());
  CViewSettings& cam = view->Scene().settings;
  const double start = cam.eye[0];
  Key(view, Qt::Key_Up);
  prog.frame->Action(kCmdEyeRegist)->trigger();  // viewpoint 1
  const double one = cam.eye[0];
  Key(view, Qt::Key_Up);
  prog.frame->Action(kCmdEyeRegist)->trigger();  // viewpoint 2, current
  ASSERT_EQ(view->Eyes()->Current(), 2);
  Key(view, Qt::Key_Home);
  EXPECT_DOUBLE_EQ(cam.eye[0], start);
  EXPECT_EQ(view->Eyes()->Current(), 0);
  // '>' then goes on from viewpoint 0.
  Key(view, Qt::Key_Greater, Qt::ShiftModifier, QStringLiteral(">"));
  EXPECT_EQ(view->Eyes()->Current(), 1);
  EXPECT_DOUBLE_EQ(cam.eye[0], one);

  // After delete-all Home still restores the start camera.
  SetModalHook([](QDialog&) { return int(QDialog::Accepted); });
  prog.frame->Action(kCmdEyeDelAll)->trigger();
  SetModalHook(nullptr);
  ASSERT_EQ(view->Eyes()->Count(), 0);
  Key(view, Qt::Key_Home);
  EXPECT_DOUBLE_EQ(cam.eye[0], start);
}

TEST(SceneFailureTest, AViewWithoutOpenGlSaysSo) {
  TempFolder dir;
  WriteSquareModel(dir.Path("gl.dat"));
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("gl.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  emit child->View()->sceneFailed(QStringLiteral("no OpenGL context"));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, QStringLiteral("no OpenGL context"));
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::kStop);
}

TEST(StartUpTest, MaximisedFrameAndASplashOfTwoSeconds) {
  App();
  QmApp app;
  ASSERT_TRUE(app.InitInstance({QStringLiteral("ostrel")}, true));
  EXPECT_TRUE(app.MainFrame()->windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(app.MainFrame()->ToolBar()->isVisible());
  EXPECT_TRUE(app.MainFrame()->StatusBar()->isVisible());
  CSplashDlg* splash = CSplashDlg::Instance();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  // It goes when its timer has run out, not before.
  EXPECT_TRUE(splash->isVisible());
  EXPECT_TRUE(splash->TimerActive());
  EXPECT_TRUE(WaitFor([&] { return !splash->isVisible(); }, 60000));
  EXPECT_FALSE(splash->TimerActive());
  EXPECT_EQ(CSplashDlg::TimeoutMs(ViewerProgram::Ostrel), 2000);
}

}  // namespace
