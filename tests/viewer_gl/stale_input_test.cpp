// Input typed while a long frame compiled its lists: dropped until the event
// loop has caught up, and delivered again afterwards.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include "gl_test_util.h"
#include "viewer/gl/gl_view.h"

namespace {

class KeyCounter : public QWidget {
 public:
  int keys = 0;

 protected:
  void keyPressEvent(QKeyEvent*) override { ++keys; }
};

TEST(StaleInputTest, KeysAndShortcutsOfALongFrameAreDroppedUntilTheLoopCatchesUp) {
  EnsureApp();
  KeyCounter window;
  auto type = [&] {
    // A shortcut is only tried when its override event stays unaccepted.
    QKeyEvent over(QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier);
    QCoreApplication::sendEvent(&window, &over);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(&window, &press);
    return over.isAccepted();
  };
  CStaleInputGuard& guard = CStaleInputGuard::Instance();
  guard.Arm();
  ASSERT_TRUE(guard.Armed());
  EXPECT_TRUE(type());  // overridden: no menu command runs
  EXPECT_EQ(window.keys, 0);

  // Once the loop has waited for new input, typing works again.
  QEventLoop loop;
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_FALSE(guard.Armed());
  EXPECT_FALSE(type());
  EXPECT_EQ(window.keys, 1);
}

}  // namespace
