// The view of a loaded model: viewpoints (register, step, save, read back,
// delete all), the status-bar word of the keys, mouse drags, the wheel,
// picking and the axis views.
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

#include "modelviewer/qm_dialogs.h"
#include "mv_test_support.h"
#include "viewer/gl/status_bar.h"
#include "viewer_gl/no_repaint.h"

using namespace mvtest;

namespace {

// A program with the square model loaded and drawn once.
struct LoadedView {
  TempFolder dir;
  Program prog;
  CChildFrame* child = nullptr;
  QmView* view = nullptr;
  explicit LoadedView(const std::string& name = "square.dat") {
    WriteSquareModel(dir.Path(name));
    Reopen(name);
  }
  void Reopen(const std::string& name = "square.dat") {
    child = prog.Open(dir.Path(name));
    EXPECT_TRUE(prog.WaitIdle());
    view = child->View();
    Grab(view);
    prog.frame->UpdateCommandStates();
  }
  CViewSettings& Camera() { return view->Scene().settings; }
};

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {},
         quint32 scanCode = 0) {
  QKeyEvent press(QEvent::KeyPress, key, mods, scanCode, 0, 0, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, scanCode, 0, 0, text);
  QApplication::sendEvent(w, &release);
}

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), type == QEvent::MouseMove ? Qt::NoButton : button,
                held, mods);
  QApplication::sendEvent(w, &e);
}

void Drag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, mods);
  Mouse(w, QEvent::MouseMove, to, Qt::LeftButton, mods);
  Mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, mods);
}

void Wheel(QWidget* w, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QPointF p(w->width() / 2.0, w->height() / 2.0);
  QWheelEvent e(p, w->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

struct Cam {
  double eye[3], center[3];
  explicit Cam(const CViewSettings& s) {
    for (int i = 0; i < 3; ++i) {
      eye[i] = s.eye[i];
      center[i] = s.center[i];
    }
  }
  bool EyeEquals(const Cam& o) const {
    for (int i = 0; i < 3; ++i)
      if (std::abs(eye[i] - o.eye[i]) > 1e-9) return false;
    return true;
  }
  bool CenterEquals(const Cam& o) const {
    for (int i = 0; i < 3; ++i)
      if (std::abs(center[i] - o.center[i]) > 1e-9) return false;
    return true;
  }
  double Distance() const {
    return std::sqrt(std::pow(eye[0] - center[0], 2) + std::pow(eye[1] - center[1], 2) +
                     std::pow(eye[2] - center[2], 2));
  }
};

TEST(DigitKeyTest, ShiftedDigitsCountAsDigits) {
  struct Case {
    int key;
    quint32 scan;
    int digit;
  } cases[] = {
      {Qt::Key_0, 0, 0},       {Qt::Key_7, 16, 7},      {Qt::Key_Exclam, 10, 1},
      {Qt::Key_QuoteDbl, 11, 2}, {Qt::Key_ParenRight, 19, 0}, {Qt::Key_ParenLeft, 18, 9},
      {Qt::Key_A, 38, -1},     {Qt::Key_Less, 59, -1},  {Qt::Key_Exclam, 0, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(DigitOfKey(c.key, c.scan), c.digit) << c.key;
}

TEST(ViewpointTest, StartCameraIsViewpointZero) {
  LoadedView lv;
  ASSERT_TRUE(lv.view->HasEyeList());
  EXPECT_EQ(lv.view->Eyes()->Count(), 1);
  const EyeRecord& first = lv.view->Eyes()->At(0);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(first.eye[i], lv.Camera().eye[i]);
}

TEST(ViewpointTest, RegisterStepSaveAndReadBack) {
  LoadedView lv;
  const Cam start(lv.Camera());
  // Move, then register: viewpoint 1 is the moved camera and current.
  Key(lv.view, Qt::Key_Up);
  const Cam moved(lv.Camera());
  EXPECT_FALSE(moved.EyeEquals(start));
  lv.prog.frame->Action(kCmdEyeRegist)->trigger();
  EXPECT_EQ(lv.view->Eyes()->Count(), 2);
  EXPECT_EQ(lv.view->Eyes()->Current(), 1);
  // Enter registers without making the new one current.
  Key(lv.view, Qt::Key_Up);
  const Cam moved2(lv.Camera());
  Key(lv.view, Qt::Key_Return);
  EXPECT_EQ(lv.view->Eyes()->Count(), 3);
  EXPECT_EQ(lv.view->Eyes()->Current(), 1);

  // Number keys, also with Shift (the key's position names the digit).
  Key(lv.view, Qt::Key_0);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(start));
  Key(lv.view, Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"), 10);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(moved));
  Key(lv.view, Qt::Key_5);  // not registered: nothing
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(moved));
  EXPECT_EQ(lv.view->Eyes()->Current(), 1);
  // '>' and '<' as characters.
  Key(lv.view, Qt::Key_Period, Qt::ShiftModifier, QStringLiteral(">"));
  EXPECT_EQ(lv.view->Eyes()->Current(), 2);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(moved2));
  Key(lv.view, Qt::Key_Period, Qt::ShiftModifier, QStringLiteral(">"));
  EXPECT_EQ(lv.view->Eyes()->Current(), 2);
  Key(lv.view, Qt::Key_Comma, Qt::ShiftModifier, QStringLiteral("<"));
  Key(lv.view, Qt::Key_Comma, Qt::ShiftModifier, QStringLiteral("<"));
  Key(lv.view, Qt::Key_Comma, Qt::ShiftModifier, QStringLiteral("<"));
  EXPECT_EQ(lv.view->Eyes()->Current(), 0);
  // Home recalls viewpoint 0.
  Key(lv.view, Qt::Key_Up);
  Key(lv.view, Qt::Key_Home);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(start));

  // Save: count and three records.
  lv.prog.frame->Action(kCmdSaveEye)->trigger();
  const std::string eyePath = lv.dir.Path("square.eye");
  ASSERT_TRUE(std::filesystem::exists(eyePath));
  EXPECT_EQ(std::filesystem::file_size(eyePath), 4u + 3u * 184u);

  // Read back on the next open; the start camera is not added.
  lv.child->close();
  Pump(20);
  lv.Reopen();
  ASSERT_TRUE(lv.view->HasEyeList());
  EXPECT_EQ(lv.view->Eyes()->Count(), 3);
  Key(lv.view, Qt::Key_1);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(moved));
}

TEST(ViewpointTest, SaveToAFolderThatRefusesIsReported) {
  LoadedView lv;
  MessageRecorder messages;
  // A folder in the way of the file makes the write fail.
  std::filesystem::create_directory(lv.dir.Path("square.eye"));
  lv.prog.frame->Action(kCmdSaveEye)->trigger();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("square.eye")));
}

TEST(ViewpointTest, DeleteAllAsksFirst) {
  LoadedView lv;
  lv.prog.frame->Action(kCmdEyeRegist)->trigger();
  lv.prog.frame->Action(kCmdEyeRegist)->trigger();
  ASSERT_EQ(lv.view->Eyes()->Count(), 3);
  QString asked;
  int answer = QDialog::Rejected;
  SetModalHook([&](QDialog& dlg) {
    if (auto* label = dlg.findChild<QLabel*>(QStringLiteral("static1000"))) asked = label->text();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("視点登録の全削除"));
    return answer;
  });
  lv.prog.frame->Action(kCmdEyeDelAll)->trigger();
  EXPECT_EQ(asked, QStringLiteral("3 個の視点登録があります。"));
  EXPECT_EQ(lv.view->Eyes()->Count(), 3);
  answer = QDialog::Accepted;
  lv.prog.frame->Action(kCmdEyeDelAll)->trigger();
  SetModalHook(nullptr);
  EXPECT_EQ(lv.view->Eyes()->Count(), 0);
  lv.prog.frame->UpdateCommandStates();
  EXPECT_FALSE(lv.prog.frame->Action(kCmdEyeDelAll)->isEnabled());
  EXPECT_TRUE(lv.prog.frame->Action(kCmdEyeRegist)->isEnabled());
  // Nothing to step to.
  const Cam before(lv.Camera());
  Key(lv.view, Qt::Key_0);
  Key(lv.view, Qt::Key_Period, Qt::ShiftModifier, QStringLiteral(">"));
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(before));
}

TEST(KeyTest, ArrowKeysSetTheMovementWordAndAPressClearsIt) {
  LoadedView lv;
  struct Case {
    int key;
    Qt::KeyboardModifiers mods;
    int word;
  } cases[] = {
      {Qt::Key_Left, Qt::NoModifier, 13},
      {Qt::Key_Left, Qt::ControlModifier, 23},
      {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 13},
      {Qt::Key_Up, Qt::NoModifier, 1},
      {Qt::Key_Up, Qt::ShiftModifier, 11},
      {Qt::Key_Up, Qt::ControlModifier, 21},
      {Qt::Key_Right, Qt::NoModifier, 14},
      {Qt::Key_Right, Qt::ControlModifier, 24},
      {Qt::Key_Down, Qt::NoModifier, 2},
      {Qt::Key_Down, Qt::ShiftModifier, 12},
      {Qt::Key_Down, Qt::ControlModifier, 22},
  };
  CPStatusBar* bar = lv.prog.frame->StatusBar();
  for (const Case& c : cases) {
    Key(lv.view, c.key, c.mods);
    EXPECT_EQ(bar->OpMode(), c.word) << c.key << " " << c.mods;
  }
  // A key that is not a movement key clears the word; so does a press.
  Key(lv.view, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(bar->OpMode(), 11);
  Mouse(lv.view, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
  Mouse(lv.view, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
  EXPECT_EQ(bar->OpMode(), -1);
  Key(lv.view, Qt::Key_Down);
  Wheel(lv.view, 0);
  EXPECT_EQ(bar->OpMode(), -1);
}

TEST(MouseTest, DragsTurnOrbitAndPan) {
  LoadedView lv;
  const QPoint a(200, 150), b(260, 170);

  Cam before(lv.Camera());
  Drag(lv.view, a, b);  // turn: the eye stays, the view direction turns
  Cam after(lv.Camera());
  EXPECT_TRUE(after.EyeEquals(before));
  EXPECT_FALSE(after.CenterEquals(before));

  before = after;
  Drag(lv.view, a, b, Qt::ControlModifier);  // orbit: the centre stays
  after = Cam(lv.Camera());
  EXPECT_TRUE(after.CenterEquals(before));
  EXPECT_FALSE(after.EyeEquals(before));
  EXPECT_NEAR(after.Distance(), before.Distance(), 1e-9);

  before = after;
  Drag(lv.view, a, b, Qt::ShiftModifier);  // pan: both move together
  after = Cam(lv.Camera());
  EXPECT_FALSE(after.EyeEquals(before));
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(after.eye[i] - before.eye[i], after.center[i] - before.center[i], 1e-9);
}

TEST(MouseTest, WheelDolliesAndShiftCtrlZoomsBothWays) {
  LoadedView lv;
  Cam before(lv.Camera());
  Wheel(lv.view, 60);  // less than a notch
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(before));
  Wheel(lv.view, 120);
  Cam after(lv.Camera());
  EXPECT_FALSE(after.EyeEquals(before));
  EXPECT_NEAR(after.Distance(), before.Distance(), 1e-9);
  // Shift moves ten times as far.
  const double step = std::hypot(after.eye[0] - before.eye[0], after.eye[1] - before.eye[1],
                                 after.eye[2] - before.eye[2]);
  before = after;
  Wheel(lv.view, -120, Qt::ShiftModifier);
  after = Cam(lv.Camera());
  const double step10 = std::hypot(after.eye[0] - before.eye[0], after.eye[1] - before.eye[1],
                                   after.eye[2] - before.eye[2]);
  EXPECT_NEAR(step10, 10 * step, 1e-9);
  // Ctrl alone: nothing.
  before = after;
  Wheel(lv.view, 120, Qt::ControlModifier);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(before));

  // Shift and Ctrl zoom: the wheel's sign picks the direction.
  CGlScene& scene = lv.view->Scene();
  ASSERT_TRUE(scene.settings.persp);
  scene.settings.anglex = 40;
  Wheel(lv.view, 120, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(scene.settings.anglex, 20);
  Wheel(lv.view, -120, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(scene.settings.anglex, 40);
  Wheel(lv.view, 100, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(scene.settings.anglex, 40);
}

TEST(MouseTest, AClickWithoutMovementPicksTheShell) {
  LoadedView lv;
  const QPoint centre(lv.view->width() / 2, lv.view->height() / 2);
  CGlScene& scene = lv.view->Scene();
  // A click that moved does not pick.
  scene.lastPick = PickResult{};
  Mouse(lv.view, QEvent::MouseButtonPress, centre, Qt::LeftButton);
  Mouse(lv.view, QEvent::MouseButtonRelease, centre + QPoint(2, 0), Qt::LeftButton);
  Grab(lv.view);
  EXPECT_FALSE(scene.lastPick.hit);
  EXPECT_FALSE(lv.view->PickPending());

  Mouse(lv.view, QEvent::MouseButtonPress, centre, Qt::LeftButton);
  Mouse(lv.view, QEvent::MouseButtonRelease, centre, Qt::LeftButton);
  EXPECT_TRUE(lv.view->PickPending());
  Grab(lv.view);
  EXPECT_TRUE(scene.lastPick.hit);
  EXPECT_EQ(scene.lastPick.elem, 1);
  EXPECT_EQ(scene.lastPick.mat, 1);
}

TEST(AxisTest, AxisCommandsPutTheEyeOnTheAxis) {
  LoadedView lv;
  const double mid[3] = {5, 5, 0};
  struct Case {
    int id;
    int axis;
    double sign;
  } cases[] = {{kCmdPlusX, 0, 1}, {kCmdMinusX, 0, -1}, {kCmdPlusY, 1, 1},
               {kCmdMinusY, 1, -1}, {kCmdPlusZ, 2, 1}, {kCmdMinusZ, 2, -1}};
  for (const Case& c : cases) {
    const double d = Cam(lv.Camera()).Distance();
    lv.view->OnAxisCommand(c.id, false);
    const CViewSettings& s = lv.Camera();
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(s.center[i], mid[i], 1e-9) << c.id;
      const double expect = mid[i] + (i == c.axis ? c.sign * d : 0.0);
      EXPECT_NEAR(s.eye[i], expect, 1e-6 * d) << c.id << " axis " << i;
    }
  }
  // The reverse form keeps the eye where it is.
  const Cam before(lv.Camera());
  lv.view->OnAxisCommand(kCmdPlusX, true);
  EXPECT_TRUE(Cam(lv.Camera()).EyeEquals(before));
}

TEST(AxisTest, TheMKeyShowsTheAxisMenu) {
  LoadedView lv;
  QStringList texts;
  // The view as the timer's context: a key that brought no menu leaves no
  // timer behind to run after the test.
  QTimer::singleShot(200, lv.view, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (QAction* a : menu->actions()) texts << a->text();
      menu->close();
    }
  });
  Key(lv.view, Qt::Key_M);
  EXPECT_EQ(texts, QStringList({QStringLiteral("＋Ｘ軸"), QStringLiteral("－Ｘ軸"), QStringLiteral("＋Ｙ軸"),
                                QStringLiteral("－Ｙ軸"), QStringLiteral("＋Ｚ軸"), QStringLiteral("－Ｚ軸")}));
}

TEST(ActivationTest, AMenuADialogAndAMessageBoxBringNoRepaint) {
  LoadedView lv;
  const auto opened = norepaint::OpenMenuDialogAndMessageBox(lv.prog.frame, lv.view);
  ASSERT_EQ(opened.size(), 3u);
  for (const auto& o : opened) {
    EXPECT_TRUE(o.shownAndBack) << o.what;
    EXPECT_EQ(o.paints, 0) << o.what;
  }
}

}  // namespace
