// Helpers of the model viewer's GUI tests: one QApplication per test
// program, the program's main frame without the splash, small model files
// written by the tests, waiting for loads and reading pixels back.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QThread>

#include <ostream>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dataset/ip_dataset.h"
#include "model/fem_input.h"
#include "modelviewer/main_frame.h"
#include "modelviewer/qm_app.h"
#include "viewer/gl/ui_hooks.h"
#include "platform/text_lines.h"

// Failure messages show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mvtest {

// The application, made once; its profile goes to a folder of the test's own.
inline QApplication& App() {
  static QTemporaryDir* config = [] {
    auto* d = new QTemporaryDir();
    qputenv("XDG_CONFIG_HOME", d->path().toLocal8Bit());
    return d;
  }();
  (void)config;
  static int argc = 1;
  static char name[] = "modelviewer_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat());
    auto* a = new QApplication(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tollgrane"));
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    return a;
  }();
  return *app;
}

// Runs the event loop until `done` or the time is up; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(5);
  }
  return true;
}

inline void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  do {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(2);
  } while (t.elapsed() < ms);
}

// Messages shown while a recorder lives (no box is ever opened).
struct MessageRecorder {
  struct Entry {
    QString text;
    MsgIcon icon;
  };
  std::vector<Entry> shown;
  MessageRecorder() {
    SetMessageHook([this](const QString& text, MsgIcon icon) { shown.push_back({text, icon}); });
  }
  ~MessageRecorder() { SetMessageHook(nullptr); }
};

// A folder of files for one test.
struct TempFolder {
  QTemporaryDir dir;
  std::string Path(const std::string& name) const {
    return (std::filesystem::path(dir.path().toStdString()) / name).string();
  }
  void Write(const std::string& name, const std::string& text) const {
    ASSERT_TRUE(plat::WriteWholeFile(Path(name), text));
  }
};

// A keyword model: a square shell of 10 x 10 in the z = 0 plane (nodes 1-4,
// shell 1, shell property 7 of material `mat`), written as a keyword data
// file in the wide layout.
inline void WriteSquareModel(const std::string& path, int mat = 1) {
  CIpDataSet ds;
  const double xy[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  for (int i = 0; i < 4; ++i) {
    auto n = std::make_unique<CIpNode>();
    n->m_nNo = i + 1;
    n->m_dX = xy[i][0];
    n->m_dY = xy[i][1];
    n->m_dZ = 0;
    ds.m_Nodes.Append(std::move(n));
  }
  auto m = std::make_unique<CIpMat>();
  m->m_nNo = mat;
  ds.m_Mats.Append(std::move(m));
  auto ps = std::make_unique<CIpPShell>();
  ps->m_nNo = 7;
  ps->m_nPsOpt = mat;
  ds.m_PShells.Append(std::move(ps));
  auto q = std::make_unique<CIpQuad>();
  q->m_nNo = 1;
  q->m_nRef = 7;
  for (int k = 0; k < 4; ++k) q->m_anNode[k] = k + 1;
  ds.m_Quads.Append(std::move(q));
  ColumnModeScope wide(1);
  std::string error;
  ASSERT_TRUE(ds.WriteFile(path, &error)) << error;
}

// The program as started without a file and without the splash.
struct Program {
  QmApp app;
  CMainFrame* frame = nullptr;
  Program() {
    App();
    app.InitInstance({QStringLiteral("ostrel")}, false);
    frame = app.MainFrame();
    frame->resize(800, 600);
    frame->show();
    WaitFor([&] { return frame->isVisible(); });
  }
  CChildFrame* Open(const std::string& path) {
    return frame->OpenDocumentFile(QString::fromStdString(path));
  }
  bool WaitIdle(int timeoutMs = 30000) {
    return WaitFor([&] { return !g_bLoading.load() && !frame->LoadTimerActive(); }, timeoutMs);
  }
};

// The picture of a view as the user sees it.
inline QImage Grab(QmView* view) {
  Pump(50);
  return view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

inline bool Near(QRgb c, int r, int g, int b, int tol = 3) {
  return std::abs(qRed(c) - r) <= tol && std::abs(qGreen(c) - g) <= tol && std::abs(qBlue(c) - b) <= tol;
}

}  // namespace mvtest
