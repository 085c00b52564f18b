#include "XWindow.h"

#include <cstdio>
#include <cstring>

namespace zvtest {

namespace {
int reportXError(Display*, XErrorEvent* p_error) {
  fprintf(stderr, "X error %d on request %d\n", p_error->error_code, p_error->request_code);
  return 0;
}
} // namespace

Display* openDisplay() {
  XSetErrorHandler(reportXError);
  return XOpenDisplay(nullptr);
}

bool requestClose(unsigned long window) {
  Display* display = openDisplay();
  if (!display)
    return false;
  XEvent event;
  memset(&event, 0, sizeof(event));
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent != 0;
}

} // namespace zvtest
