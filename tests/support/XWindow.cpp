#include "XWindow.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace zvtest {

namespace {
int reportXError(Display*, XErrorEvent* p_error) {
  fprintf(stderr, "X error %d on request %d\n", p_error->error_code, p_error->request_code);
  return 0;
}

std::string startServer() {
  int fds[2];
  if (pipe(fds) != 0)
    return "no pipe";
  pid_t pid = fork();
  if (pid == 0) {
    // The server ends with the test process, even one that crashes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    close(fds[0]);
    std::string fd = std::to_string(fds[1]);
    // Held keys repeat after 100 ms, every 20: a test holding keys longer would see repeats.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           "-noreset", "-ardelay", "100", "-arinterval", "20", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The server writes its display number once it accepts connections.
  std::string number;
  struct pollfd p = {fds[0], POLLIN, 0};
  for (char c = 0; poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n' && number.size() < 8;)
    number += c;
  close(fds[0]);
  if (pid > 0 && number.empty())
    kill(pid, SIGTERM);
  if (number.empty())
    return "Xvfb did not start (is it installed?)";
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return "";
}
} // namespace

Display* openDisplay() {
  XSetErrorHandler(reportXError);
  return XOpenDisplay(nullptr);
}

int keyRepeatDelay() {
  Display* display = openDisplay();
  unsigned delay = 0, interval = 0;
  bool known = display && XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &delay, &interval);
  if (display)
    XCloseDisplay(display);
  return known ? static_cast<int>(delay) : -1;
}

bool requestClose(unsigned long window) {
  Display* display = openDisplay();
  XEvent event = {};
  if (!display)
    return false;
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

std::string usePrivateDisplay() {
  static const std::string problem = startServer();  // once per process
  return problem;
}

bool focusWindow(unsigned long window) {
  Display* display = openDisplay();
  bool focused = false;
  for (int tries = 0; display && tries < 400 && !focused; tries++) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) {
      XSetInputFocus(display, window, RevertToParent, CurrentTime);
      XWarpPointer(display, None, window, 0, 0, 0, 0, attributes.width / 2, attributes.height / 2);
      XSync(display, False);
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(display, &focus, &revert);
      focused = focus == window;
    }
    if (!focused)
      usleep(25000);
  }
  if (display)
    XCloseDisplay(display);
  return focused;
}

bool xdotool(const std::string& arguments) {
  return system(("xdotool " + arguments + " > /dev/null 2>&1").c_str()) == 0;
}

bool fakeKey(unsigned int code, bool down) {
  Display* display = openDisplay();
  if (!display)
    return false;
  bool sent = XTestFakeKeyEvent(display, code, down ? True : False, 0) != 0;
  XSync(display, False);
  XCloseDisplay(display);
  return sent;
}

} // namespace zvtest
