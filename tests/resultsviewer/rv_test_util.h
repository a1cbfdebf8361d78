// Shared pieces of the results viewer's tests: the application object, the
// hooks that answer message boxes, dialogs and menus, and a main frame with
// a run written by the test.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QStandardPaths>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "results/test_run_writer.h"
#include "resultsviewer/main_frame.h"
#include "resultsviewer/ui_hooks.h"
#include "viewer/gl/gl_view.h"
#include "wait_for.h"

namespace rvtest {

inline QApplication* EnsureApp() {
  static int argc = 1;
  static char name[] = "resultsviewer_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    // Settings of the tests never touch the user's.
    QStandardPaths::setTestModeEnabled(true);
    QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat());
    auto* a = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Tollgrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Varnek"));
    // Each test process keeps its recent-file list to itself.
    static testrun::TempDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settingsDir.path()));
    return a;
  }();
  return app;
}

inline void PumpEvents(int ms) {
  QElapsedTimer t;
  t.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  } while (t.elapsed() < ms);
}

using testwait::WaitFor;

// Collects the message boxes shown while it lives, instead of showing them.
class MessageCatcher {
 public:
  MessageCatcher() {
    varnek::SetMessageHook([this](const std::string& text) { m_texts.push_back(text); });
  }
  ~MessageCatcher() { varnek::SetMessageHook({}); }
  const std::vector<std::string>& Texts() const { return m_texts; }
  bool Any(const std::string& part) const {
    for (const std::string& t : m_texts)
      if (t.find(part) != std::string::npos) return true;
    return false;
  }
  void Clear() { m_texts.clear(); }

 private:
  std::vector<std::string> m_texts;
};

// Answers the next modal dialogs with `answer` (which works the dialog's
// controls and accepts or rejects it) while it lives.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<int(QDialog&)> answer) {
    varnek::SetDialogHook([this, answer](QDialog& d) {
      ++m_count;
      return answer(d);
    });
  }
  ~DialogAnswer() { varnek::SetDialogHook({}); }
  int Count() const { return m_count; }

 private:
  int m_count = 0;
};

// A main frame of a fixed size showing a run written into a temporary
// folder.
class FrameFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    frame_ = std::make_unique<CMainFrame>();
    frame_->show();
    frame_->View()->setFixedSize(kWidth, kHeight);
    PumpEvents(50);
  }
  void TearDown() override {
    frame_.reset();
    PumpEvents(10);
  }

  std::string Write(const std::string& name, const testrun::RunSpec& frameDesc) {
    return testrun::WriteRun(dir_.path(), name, frameDesc);
  }
  void WriteText(const std::string& name, const std::string& text) {
    testrun::Write(dir_.path() + "/" + name, text);
  }
  void Open(const std::string& path) {
    frame_->OpenFile(QString::fromStdString(path));
    Settle();
  }
  // Lets the view draw (the frame that rebuilds the lists and the one after).
  void Settle() {
    for (int i = 0; i < 4; ++i) {
      frame_->View()->update();
      PumpEvents(30);
    }
  }
  QImage Grab() {
    Settle();
    return frame_->View()->grabFramebuffer();
  }
  QmView* View() { return frame_->View(); }
  QmDoc& Doc() { return frame_->Doc(); }

  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;
  testrun::TempDir dir_;
  std::unique_ptr<CMainFrame> frame_;
};

inline bool Near(QRgb c, int r, int g, int b, int tol = 3) {
  return std::abs(qRed(c) - r) <= tol && std::abs(qGreen(c) - g) <= tol && std::abs(qBlue(c) - b) <= tol;
}

inline std::string Rgb(QRgb c) {
  return std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," + std::to_string(qBlue(c));
}

// Counts the pixels of an image within `tol` of a colour.
inline int CountColour(const QImage& img, int r, int g, int b, int tol = 3) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (Near(img.pixel(x, y), r, g, b, tol)) ++n;
  return n;
}

// Saves an image for a look by eye when OV_SAVE_FRAMES names a folder.
inline void SaveFrame(const QImage& img, const std::string& name) {
  if (const char* dir = std::getenv("OV_SAVE_FRAMES")) img.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

}  // namespace rvtest
