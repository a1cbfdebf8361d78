// The lock keys' states from the X server's keyboard indicators. Kept apart
// from the widgets: the X headers define names (KeyPress, None, Bool) that
// clash with Qt's.
#include "viewer/gl/status_bar.h"

#include <QGuiApplication>

#ifdef OV_HAVE_XKB
#include <X11/XKBlib.h>
#endif

LockKeyState ReadLockKeys() {
  LockKeyState out;
#ifdef OV_HAVE_XKB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* dpy = x11 ? x11->display() : nullptr;
  if (!dpy) return out;
  // The indicators' places in the state word, found once by their names; a
  // keyboard map without one of them leaves that lock unknown.
  static Display* known = nullptr;
  static int index[3] = {-1, -1, -1};
  if (known != dpy) {
    static const char* const kNames[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (int i = 0; i < 3; ++i) {
      index[i] = -1;
      const Atom name = XInternAtom(dpy, kNames[i], True);
      int ndx = -1;
      if (name != 0 && XkbGetNamedIndicator(dpy, name, &ndx, nullptr, nullptr, nullptr) && ndx >= 0 && ndx < 32)
        index[i] = ndx;
    }
    known = dpy;
  }
  unsigned bits = 0;
  if (XkbGetIndicatorState(dpy, XkbUseCoreKbd, &bits) != Success) return out;
  for (int i = 0; i < 3; ++i)
    if (index[i] >= 0) out.on[i] = (bits >> index[i]) & 1u ? 1 : 0;
#endif
  return out;
}
