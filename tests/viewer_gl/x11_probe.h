// What the X server holds for a test's windows and keyboard, read through
// the display connection Qt already has: a window's title and state as a
// window manager sees them, and the Num Lock state. Include it after every
// Qt header: the X headers' macros that clash with Qt's names are undone.
#pragma once
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Expose
#undef None
#undef Bool
#undef Status
#undef CursorShape
#undef Unsorted

namespace x11probe {

inline Display* Dpy() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

// The raw value of a property of the widget's native window (empty when
// it has none), with the property's format.
inline QByteArray Property(QWidget* w, const char* name, int* format = nullptr) {
  Display* d = Dpy();
  if (!d || !w) return {};
  XSync(d, 0);
  Atom type = 0;
  int fmt = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  QByteArray out;
  if (XGetWindowProperty(d, static_cast<Window>(w->winId()), XInternAtom(d, name, 0), 0, 4096, 0,
                         AnyPropertyType, &type, &fmt, &n, &after, &data) == Success && data) {
    const int unit = fmt == 32 ? static_cast<int>(sizeof(long)) : fmt / 8;
    out = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n) * unit);
  }
  if (data) XFree(data);
  if (format) *format = fmt;
  return out;
}

// The title a window manager shows.
inline QString WindowName(QWidget* w) { return QString::fromUtf8(Property(w, "_NET_WM_NAME")); }

// The names of the window's _NET_WM_STATE atoms.
inline QStringList WindowStates(QWidget* w) {
  QStringList names;
  int fmt = 0;
  const QByteArray raw = Property(w, "_NET_WM_STATE", &fmt);
  if (fmt != 32) return names;
  const auto* atoms = reinterpret_cast<const long*>(raw.constData());
  for (qsizetype i = 0; i < raw.size() / static_cast<qsizetype>(sizeof(long)); ++i) {
    char* name = XGetAtomName(Dpy(), static_cast<Atom>(atoms[i]));
    if (name) {
      names.push_back(QString::fromLatin1(name));
      XFree(name);
    }
  }
  return names;
}

// Locks or unlocks Num Lock on the server's core keyboard; false when the
// keyboard has no Num Lock modifier.
inline bool SetNumLock(bool on) {
  Display* d = Dpy();
  if (!d) return false;
  const unsigned mask = XkbKeysymToModifiers(d, XK_Num_Lock);
  if (mask == 0) return false;
  XkbLockModifiers(d, XkbUseCoreKbd, mask, on ? mask : 0);
  XSync(d, 0);
  return true;
}

// The pixels the X server shows for a widget (read from its top-level
// window, so a picture Qt never put on screen is not there), as RGB32; null
// when the widget is not mapped or lies partly outside its window.
inline QImage ScreenImage(QWidget* w) {
  Display* d = Dpy();
  if (!d || !w || !w->isVisible()) return {};
  QWidget* top = w->window();
  const QRect r(w->mapTo(top, QPoint(0, 0)), w->size());
  if (r.isEmpty() || !top->rect().contains(r)) return {};
  XSync(d, 0);
  XImage* img = XGetImage(d, static_cast<Window>(top->winId()), r.x(), r.y(), static_cast<unsigned>(r.width()),
                          static_cast<unsigned>(r.height()), AllPlanes, ZPixmap);
  if (!img) return {};
  QImage out(r.size(), QImage::Format_RGB32);
  for (int y = 0; y < r.height(); ++y)
    for (int x = 0; x < r.width(); ++x)
      out.setPixel(x, y, 0xff000000u | (XGetPixel(img, x, y) & 0xffffffu));
  XDestroyImage(img);
  return out;
}

}  // namespace x11probe
