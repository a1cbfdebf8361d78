// Keys, mouse and the view commands of the results viewer's view.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include "resultsviewer/qm_view.h"
#include "resultsviewer/ui_hooks.h"

namespace {

constexpr double kPi = 3.141592653589793;

// The digit of a key: the digit keys themselves, and on X11 the keys of the
// digit row with Shift held (whose key codes are then the shifted symbols).
int DigitOf(const QKeyEvent* ev) {
  const int key = ev->key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  const quint32 code = ev->nativeScanCode();
  if (code >= 10 && code <= 19) return static_cast<int>((code - 9) % 10);
  return -1;
}

}  // namespace

void QmView::WalkText(int index) {
  if (m_fnWalkText) m_fnWalkText(index);
}

void QmView::ShowHome() {
  // Home and the isometric view show the first viewpoint without making it
  // the one '<' and '>' step from.
  if (m_eyes.Count() < 1) return;
  m_scene.ShowHome(m_eyes, false);
  update();
}

void QmView::StoreViewpoint() { m_eyes.Register(m_scene.settings, false); }

void QmView::keyPressEvent(QKeyEvent* event) {
  OnKeyDown(event);
  OnChar(event->text());
  CGlView::keyPressEvent(event);
}

void QmView::OnKeyDown(QKeyEvent* event) {
  WalkText(-1);
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  const int key = event->key();
  int word = -1;
  bool repaint = true;
  const int digit = DigitOf(event);
  switch (key) {
    // The words say what the camera does, as the keys guide and the model
    // viewer say it.
    case Qt::Key_Left:
      m_scene.OnKey(key, ctrl, shift, 1);
      word = ctrl && !shift ? 23 : 13;
      break;
    case Qt::Key_Right:
      m_scene.OnKey(key, ctrl, shift, 1);
      word = ctrl && !shift ? 24 : 14;
      break;
    case Qt::Key_Up:
      m_scene.OnKey(key, ctrl, shift, 1);
      word = shift ? 11 : ctrl ? 21 : 1;
      break;
    case Qt::Key_Down:
      m_scene.OnKey(key, ctrl, shift, 1);
      word = shift ? 12 : ctrl ? 22 : 2;
      break;
    case Qt::Key_A:
    case Qt::Key_S:
    case Qt::Key_C:
    case Qt::Key_D:
    case Qt::Key_F:
    case Qt::Key_X:
    case Qt::Key_Y:
    case Qt::Key_Z:
    case Qt::Key_H:
    case Qt::Key_J:
    case Qt::Key_I:
    case Qt::Key_K:
    case Qt::Key_L:
    case Qt::Key_O:
    case Qt::Key_R:
      m_scene.OnKey(key, ctrl, shift, 1);
      break;
    case Qt::Key_M: {
      const SceneRect rc = m_scene.clientRect;
      const double dpr = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
      ShowAxisMenu(QPoint(static_cast<int>(rc.Width() / 2 / dpr), static_cast<int>(rc.Height() / 2 / dpr)));
      repaint = false;
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      StoreViewpoint();
      repaint = false;
      break;
    case Qt::Key_Escape:
      releaseMouse();
      break;
    case Qt::Key_Home:
      ShowHome();
      break;
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F5:
      m_bSolidMode = 0;
      m_scene.surfacesOn = 1;
      break;
    case Qt::Key_F7:
      m_bSolidMode = m_bSolidMode ? 0 : 1;
      break;
    case Qt::Key_F9:
      m_bSolidMode = 0;
      m_scene.surfacesOn = m_scene.surfacesOn ? 0 : 1;
      break;
    default:
      if (digit < 0) return;
      m_scene.RecallViewpoint(m_eyes, digit);
      break;
  }
  if (word >= 0) WalkText(word);
  if (repaint) update();
}

void QmView::OnChar(const QString& text) {
  if (text == QStringLiteral("<") || text == QStringLiteral(">")) {
    if (m_scene.RecallViewpoint(m_eyes, m_eyes.Current() + (text == QStringLiteral("<") ? -1 : 1))) update();
  }
}

void QmView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = ToDevice(event->position().toPoint());
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  switch (event->button()) {
    case Qt::LeftButton:
      WalkText(-1);
      if (ctrl) {
        m_nDragMode = 1;
      } else if (shift) {
        m_nDragMode = 2;
      } else if (event->buttons() & Qt::XButton1) {
        m_nDragMode = 0;
      } else {
        m_nDragMode = 1;
        if (m_scene.settings.showid) m_clickPos = pos;
      }
      m_lastPos = pos;
      break;
    case Qt::MiddleButton:
      WalkText(-1);
      m_nDragMode = 2;
      m_lastPos = pos;
      break;
    case Qt::RightButton:
      WalkText(-1);
      ShowAxisMenu(event->position().toPoint());
      break;
    default:
      CGlView::mousePressEvent(event);
      break;
  }
}

void QmView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton) {
    CGlView::mouseReleaseEvent(event);
    return;
  }
  if (!m_pDoc) return;
  const QPoint pos = ToDevice(event->position().toPoint());
  // The view draws no pick: the request stays pending, and each release
  // repaints while it does.
  if (m_nDragMode == 1 && m_scene.settings.showid && pos == m_clickPos) RequestPick(event->position().toPoint());
  m_nDragMode = 0;
  if (PickPending()) update();
}

void QmView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pDoc) return;
  const QPoint pos = ToDevice(event->position().toPoint());
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  bool moved = false;
  if (m_nDragMode == 1) {
    if (!ctrl)
      m_scene.Turn(m_lastPos.y(), m_lastPos.x(), pos.x(), pos.y());
    else
      m_scene.Orbit(pos.y(), m_lastPos.x(), m_lastPos.y(), pos.x());
    moved = true;
  } else if (m_nDragMode == 2 && !ctrl) {
    m_scene.Pan(m_lastPos.x(), pos.y(), 2, pos.x(), m_lastPos.y());
    moved = true;
  }
  m_lastPos = pos;
  if (moved) update();
}

void QmView::wheelEvent(QWheelEvent* event) {
  WalkText(-1);
  if (!m_pDoc) return;
  const int n = event->angleDelta().y() / 120;  // whole notches, toward zero
  if (n == 0) return;
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  if (shift && ctrl) {
    // The wheel's sign picks the direction: forward zooms in.
    m_scene.Zoom(10 * n);
  } else if (ctrl) {
    return;
  } else {
    m_scene.Dolly(n, shift);
  }
  update();
}

// ---------------------------------------------------------------------------
// View commands

void QmView::OnViewIso() { ShowHome(); }

void QmView::AxisView(double elevation, double azimuth, bool reverse) {
  if (reverse)
    m_scene.SetAxisViewReverse(elevation, azimuth);
  else
    m_scene.SetAxisView(elevation, azimuth);
  for (double& v : m_vOffset) v = 0.0;
  update();
}

namespace {
bool ShiftHeld() { return (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0; }
}  // namespace

void QmView::OnViewPlusX() { AxisView(0, 0, ShiftHeld()); }
void QmView::OnViewMinusX() { AxisView(0, kPi, ShiftHeld()); }
void QmView::OnViewPlusY() { AxisView(0, kPi / 2, ShiftHeld()); }
void QmView::OnViewMinusY() { AxisView(0, -kPi / 2, ShiftHeld()); }
void QmView::OnViewPlusZ() {
  const bool shift = ShiftHeld();
  AxisView(kPi / 2, shift ? 0 : -kPi / 2, shift);
}
void QmView::OnViewMinusZ() {
  const bool shift = ShiftHeld();
  AxisView(-kPi / 2, shift ? 0 : -kPi / 2, shift);
}

void QmView::ShowAxisMenu(const QPoint& pos) {
  QMenu menu(this);
  struct Item {
    const char* text;
    void (QmView::*handler)();
  };
  static const Item kItems[] = {
      {"アイソメ図", &QmView::OnViewIso},    {"＋Ｘ軸", &QmView::OnViewPlusX},
      {"－Ｘ軸", &QmView::OnViewMinusX}, {"＋Ｙ軸", &QmView::OnViewPlusY},
      {"－Ｙ軸", &QmView::OnViewMinusY}, {"＋Ｚ軸", &QmView::OnViewPlusZ},
      {"－Ｚ軸", &QmView::OnViewMinusZ},
  };
  for (const Item& item : kItems) {
    QAction* a = menu.addAction(QString::fromUtf8(item.text));
    const auto handler = item.handler;
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  }
  varnek::ExecMenu(menu, mapToGlobal(pos));
}
