// Kept apart from the tests: Xlib's macros (None, Status, Bool) clash with GoogleTest's names.
#include "window_close.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

int CloseWindowsOf(pid_t pid) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 0;
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned int count = 0;
  int asked = 0;
  if (pidAtom != None && XQueryTree(display, root, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      const bool ours = XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL,
                                           &type, &format, &items, &after, &data) == Success &&
                        data != nullptr && items == 1 &&
                        *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid);
      if (data != nullptr) XFree(data);
      XWindowAttributes attributes{};
      if (!ours || !XGetWindowAttributes(display, children[i], &attributes) ||
          attributes.map_state != IsViewable)
        continue;
      XEvent event{};
      event.xclient.type = ClientMessage;
      event.xclient.window = children[i];
      event.xclient.message_type = protocols;
      event.xclient.format = 32;
      event.xclient.data.l[0] = static_cast<long>(deleteWindow);
      event.xclient.data.l[1] = CurrentTime;
      XSendEvent(display, children[i], False, NoEventMask, &event);
      ++asked;
    }
    XFree(children);
  }
  XCloseDisplay(display);
  return asked;
}
