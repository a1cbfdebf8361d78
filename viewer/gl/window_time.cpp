// The window system's clock, read from the X server. Kept apart from the
// widgets: the X headers define names (KeyPress, None, Bool) that clash with
// Qt's.
#include <QGuiApplication>

#include "viewer/gl/gl_view.h"

#ifdef OV_HAVE_XKB
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

bool WindowSystemTime(quint32* ms) {
#ifdef OV_HAVE_XKB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* qtDisplay = x11 ? x11->display() : nullptr;
  if (!qtDisplay) return false;
  // The server stamps a property change with its time; Qt reads the events of
  // its own connection, so the round trip goes over a connection of ours
  // (opened once, with an unmapped window to change).
  static Display* dpy = XOpenDisplay(DisplayString(qtDisplay));
  static const Window window = [] {
    if (!dpy) return Window(0);
    const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(dpy, w, PropertyChangeMask);
    return w;
  }();
  if (!dpy || !window) return false;
  static const Atom stamp = XInternAtom(dpy, "_OV_TIMESTAMP", False);
  XChangeProperty(dpy, window, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent ev;
  XWindowEvent(dpy, window, PropertyChangeMask, &ev);
  *ms = static_cast<quint32>(ev.xproperty.time);
  return true;
#else
  (void)ms;
  return false;
#endif
}
