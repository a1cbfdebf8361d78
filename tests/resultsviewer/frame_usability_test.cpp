// The program as a new user meets it: window titles as the window manager
// shows them, Qt's own texts in Japanese, the lock-key panes, the keyboard
// after a diagram's dialog, the structure after a diagram, and runs whose
// file names are not UTF-8.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QMimeData>

#include "resultsviewer/qm_app.h"
#include "resultsviewer/step_dialogs.h"
#include "rv_test_util.h"
#include "viewer/gl/status_bar.h"
#include "viewer_gl/no_repaint.h"
#include "viewer_gl/x11_probe.h"

namespace {

using rvtest::FrameFixture;

// "建物" in code page 932: not UTF-8.
const std::string kCp932Name = "\x8c\x9a\x95\xa8";

// Dark pixels where the step caption is written.
int CaptionInk(const QImage& img) {
  int dark = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 200; ++x) dark += qGray(img.pixel(x, y)) < 60;
  return dark;
}

class UsabilityTest : public FrameFixture {};

TEST_F(UsabilityTest, DialogsKeepTheirOwnTitlesAndQtSpeaksJapanese) {
  QmApp app;
  ASSERT_TRUE(app.InitInstance({QStringLiteral("-Embedding")}));
  CMainFrame* frame = app.MainFrame();
  rvtest::PumpEvents(50);
  EXPECT_EQ(x11probe::WindowName(frame).toStdString(), "無題 - Varnekapp");
  frame->OpenFile(QString::fromStdString(Write("frame", testrun::SmallFrame(1))));
  std::string title;
  rvtest::DialogAnswer answer([&](QDialog& d) {
    rvtest::PumpEvents(20);
    title = x11probe::WindowName(&d).toStdString();
    d.reject();
    return d.result();
  });
  frame->View()->OnViewDeform();
  EXPECT_EQ(title, "変位図");
  if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm"))) {
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "キャンセル");
  }
}

TEST_F(UsabilityTest, LockPanesFollowTheKeyboard) {
  CPStatusBar* bar = frame_->StatusBar();
  QWidget* num = bar->Pane(bar->LockPane(1));
  ASSERT_NE(num, nullptr);
  EXPECT_EQ(qobject_cast<QLabel*>(num)->text().toStdString(), "NUM");
  const LockKeyState before = ReadLockKeys();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bar->Pane(bar->LockPane(i))->isEnabled(), before.on[i] == 1) << i;
  if (before.on[1] < 0 || !x11probe::SetNumLock(before.on[1] == 0)) GTEST_SKIP() << "no Num Lock indicator";
  bar->UpdateLockPanes();
  const bool flipped = num->isEnabled();
  x11probe::SetNumLock(before.on[1] == 1);
  EXPECT_EQ(flipped, before.on[1] == 0);
  // A key event brings the panes up to date.
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_NumLock, Qt::NoModifier);
  QCoreApplication::sendEvent(View(), &release);
  rvtest::PumpEvents(20);
  EXPECT_EQ(num->isEnabled(), before.on[1] == 1);
}

TEST_F(UsabilityTest, AfterADiagramTheKeysReachTheViewAndTheStructureHasNoCaption) {
  WriteText("frame.viw", "eye = 0 0 6\nup = 0 1 0\n");
  Open(Write("frame", testrun::SmallFrame(1)));
  View()->clearFocus();
  {
    rvtest::DialogAnswer answer([](QDialog& d) {
      d.accept();
      return d.result();
    });
    View()->ShowFiberDiagram(0);
  }
  ASSERT_EQ(View()->m_nViewMode, kModeFiberStress);
  EXPECT_EQ(frame_->focusWidget(), View());
  EXPECT_GT(CaptionInk(Grab()), 30);
  View()->OnViewStructure();
  const QImage img = Grab();
  rvtest::SaveFrame(img, "structure_after_diagram");
  EXPECT_EQ(CaptionInk(img), 0);
  EXPECT_FALSE(View()->m_szStepText.empty());  // the step is remembered for the next dialog
}

TEST_F(UsabilityTest, FocusActivationAndACancelledStepDialogBringNoRepaint) {
  Open(Write("frame", testrun::SmallFrame(1)));
  Grab();
  rvtest::PumpEvents(50);
  const int frames = View()->m_nFrames;
  QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
  QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QEvent deactivate(QEvent::WindowDeactivate);
  QEvent activate(QEvent::WindowActivate);
  for (QEvent* e : {static_cast<QEvent*>(&out), static_cast<QEvent*>(&in), &deactivate, &activate}) {
    QCoreApplication::sendEvent(View(), e);
    rvtest::PumpEvents(30);
    EXPECT_EQ(View()->m_nFrames, frames) << e->type();
  }
  {
    rvtest::DialogAnswer answer([](QDialog& d) {
      d.reject();
      return d.result();
    });
    View()->ShowDeformDiagram();
  }
  rvtest::PumpEvents(50);
  EXPECT_EQ(View()->m_nFrames, frames);
  EXPECT_EQ(frame_->focusWidget(), View());
}

TEST_F(UsabilityTest, AMenuADialogAndAMessageBoxBringNoRepaint) {
  Open(Write("frame", testrun::SmallFrame(1)));
  Grab();
  const auto opened = norepaint::OpenMenuDialogAndMessageBox(frame_.get(), View());
  ASSERT_EQ(opened.size(), 3u);
  for (const auto& o : opened) {
    EXPECT_TRUE(o.shownAndBack) << o.what;
    EXPECT_EQ(o.paints, 0) << o.what;
  }
}

TEST_F(UsabilityTest, RunsNamedInCodePage932OpenFromTheCommandLineAndDrops) {
  rvtest::MessageCatcher messages;
  const std::string path = Write(kCp932Name, testrun::SmallFrame(1));
  const std::string other = Write("b" + kCp932Name, testrun::SmallFrame(2));
  std::string arg0 = "varnek", arg1 = path;
  char* argv[] = {arg0.data(), arg1.data(), nullptr};
  QStringList args = ArgumentsFromArgv(2, argv);
  args.removeFirst();
  {
    QmApp app;
    ASSERT_TRUE(app.InitInstance(args + QStringList{QStringLiteral("-Embedding")}));
    EXPECT_EQ(app.MainFrame()->Doc().m_szName, kCp932Name);
    EXPECT_EQ(app.MainFrame()->windowTitle().toStdString(), "建物.in - Varnekapp");
  }
  // A drop names the file percent-encoded, byte by byte.
  QMimeData data;
  data.setData(QStringLiteral("text/uri-list"),
               "file://" + QByteArray::fromStdString(other).toPercentEncoding("/") + "\r\n");
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &enter);
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &drop);
  Settle();
  EXPECT_EQ(Doc().m_szName, "b" + kCp932Name);
  EXPECT_EQ(Doc().m_resultSet.m_model.m_nAnaType, 2);
  EXPECT_TRUE(messages.Texts().empty());
  ASSERT_FALSE(frame_->RecentFiles().isEmpty());
  EXPECT_EQ(QStringToPath(frame_->RecentFiles().front()), other);
}

}  // namespace
