// Opens a menu, a dialog and a message box over a program's window in turn,
// as the user would, closes each and hands the view the focus back; counts
// the view's paints meanwhile. Shared by both programs' GUI tests.
#pragma once
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QThread>
#include <functional>
#include <string>
#include <vector>

#include "viewer/gl/gl_view.h"

namespace norepaint {

inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

// Delivers what is posted, a repaint request included.
inline void Drain() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

struct Opened {
  std::string what;
  bool shownAndBack = false;  // it showed, and the window and view had focus again after
  long paints = 0;
};

inline std::vector<Opened> OpenMenuDialogAndMessageBox(QWidget* window, CGlView* view) {
  auto focused = [&] {
    return QApplication::activeWindow() == window && QApplication::focusWidget() == view;
  };
  auto refocus = [&] {
    window->activateWindow();
    view->setFocus(Qt::OtherFocusReason);
    return WaitUntil(focused);
  };
  std::vector<Opened> out;
  if (!refocus()) return out;
  const long first = view->Paints();
  view->update();
  WaitUntil([&] { return view->Paints() > first; });
  Drain();
  auto run = [&](const char* what, QWidget* w, const std::function<void()>& open) {
    Opened o;
    o.what = what;
    const long before = view->Paints();
    open();
    const bool shown = WaitUntil([&] {
      return w->isVisible() && (QApplication::activePopupWidget() == w || QApplication::activeWindow() == w);
    });
    Drain();
    w->close();
    const bool back = WaitUntil([&] { return !w->isVisible(); }) && refocus();
    Drain();
    o.shownAndBack = shown && back;
    o.paints = view->Paints() - before;
    out.push_back(o);
  };
  QMenu menu(window);
  menu.addAction(QStringLiteral("item"));
  run("menu", &menu, [&] { menu.popup(window->mapToGlobal(QPoint(20, 20))); });
  QDialog dialog(window);
  dialog.resize(200, 100);
  run("dialog", &dialog, [&] {
    dialog.show();
    dialog.activateWindow();
  });
  QMessageBox box(QMessageBox::Information, QStringLiteral("box"), QStringLiteral("text"), QMessageBox::Ok, window);
  run("message box", &box, [&] {
    box.show();
    box.activateWindow();
  });
  return out;
}

}  // namespace norepaint
