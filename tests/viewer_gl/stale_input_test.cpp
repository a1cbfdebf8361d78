// Input the window system stamped before a long frame's end is dropped;
// input stamped after it, and the program's own unstamped events, count.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include "gl_test_util.h"
#include "viewer/gl/gl_view.h"

namespace {

class InputCounter : public QWidget {
 public:
  int presses = 0, releases = 0, wheels = 0;

 protected:
  void keyPressEvent(QKeyEvent*) override { ++presses; }
  void keyReleaseEvent(QKeyEvent*) override { ++releases; }
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
  void wheelEvent(QWheelEvent*) override { ++wheels; }
};

enum class Kind { Key, KeyRelease, Click, ClickRelease, Wheel, Override };

// Sends one event stamped `stamp`; true when it reached the widget (for an
// override: when it was left unaccepted, so a shortcut may run).
bool Delivered(InputCounter& w, Kind kind, quint64 stamp) {
  const int before = w.presses + w.releases + w.wheels;
  const QPointF p(5, 5);
  switch (kind) {
    case Kind::Key:
    case Kind::KeyRelease: {
      QKeyEvent e(kind == Kind::Key ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier,
                  QStringLiteral("a"));
      e.setTimestamp(stamp);
      QCoreApplication::sendEvent(&w, &e);
      break;
    }
    case Kind::Click:
    case Kind::ClickRelease: {
      QMouseEvent e(kind == Kind::Click ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, p, p,
                    Qt::LeftButton, kind == Kind::Click ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      e.setTimestamp(stamp);
      QCoreApplication::sendEvent(&w, &e);
      break;
    }
    case Kind::Wheel: {
      QWheelEvent e(p, p, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      e.setTimestamp(stamp);
      QCoreApplication::sendEvent(&w, &e);
      break;
    }
    case Kind::Override: {
      QKeyEvent e(QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier);
      e.setTimestamp(stamp);
      e.ignore();
      QCoreApplication::sendEvent(&w, &e);
      return !e.isAccepted();
    }
  }
  return w.presses + w.releases + w.wheels != before;
}

void WaitUntilTheLoopBlocks() {
  QEventLoop loop;
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
}

TEST(StaleInputTest, OnlyInputStampedUpToTheFrameEndIsDropped) {
  EnsureApp();
  InputCounter window;
  CStaleInputGuard& guard = CStaleInputGuard::Instance();
  constexpr quint32 kWrapEnd = 0xFFFFFFF0u;  // the server's clock wraps after it
  struct Case {
    quint32 end;
    Kind kind;
    quint64 stamp;
    bool delivered;
  } cases[] = {
      {1000, Kind::Key, 999, false},        {1000, Kind::Key, 1000, false},
      {1000, Kind::Key, 1001, true},        {1000, Kind::Key, 0, true},  // the program's own
      {1000, Kind::Override, 500, false},   {1000, Kind::Override, 1500, true},
      {1000, Kind::Click, 500, false},      {1000, Kind::Click, 1500, true},
      {1000, Kind::Wheel, 500, false},      {1000, Kind::Wheel, 1500, true},
      {1000, Kind::KeyRelease, 500, true},  {1000, Kind::ClickRelease, 500, true},
      {kWrapEnd, Kind::Key, 0xFFFFFF00u, false}, {kWrapEnd, Kind::Key, 5, true},
  };
  for (const Case& c : cases) {
    guard.ArmUntil(c.end);
    ASSERT_TRUE(guard.Armed());
    EXPECT_EQ(Delivered(window, c.kind, c.stamp), c.delivered)
        << "end " << c.end << " kind " << static_cast<int>(c.kind) << " stamp " << c.stamp;
  }
  // Once the loop has waited for new input, nothing is dropped.
  WaitUntilTheLoopBlocks();
  EXPECT_FALSE(guard.Armed());
  EXPECT_TRUE(Delivered(window, Kind::Key, 500));
}

TEST(StaleInputTest, TheFrameEndIsReadFromTheWindowSystemsClock) {
  EnsureApp();
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "not X11";
  InputCounter window;
  quint32 before = 0, after = 0;
  ASSERT_TRUE(WindowSystemTime(&before));
  CStaleInputGuard& guard = CStaleInputGuard::Instance();
  guard.Arm();
  ASSERT_TRUE(WindowSystemTime(&after));
  ASSERT_TRUE(guard.Armed());
  EXPECT_GE(static_cast<qint32>(after - before), 0);
  EXPECT_FALSE(Delivered(window, Kind::Key, before));
  EXPECT_TRUE(Delivered(window, Kind::Key, static_cast<quint64>(after) + 1));
  WaitUntilTheLoopBlocks();
}

}  // namespace
