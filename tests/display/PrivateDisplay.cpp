#include "PrivateDisplay.h"
#include "XWindow.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zvtest {

namespace {
const int SERVER_WAIT_MS = 20000;
const int FOCUS_TRIES = 400;
const int TRY_PAUSE_US = 25000;

bool onPath(const char* program) {
  std::string command = std::string("command -v ") + program + " > /dev/null 2>&1";
  return system(command.c_str()) == 0;
}

std::string startServer() {
  if (!onPath("Xvfb"))
    return "Xvfb is not installed";
  if (!onPath("xdotool"))
    return "xdotool is not installed";
  int fds[2];
  if (pipe(fds) != 0)
    return "no pipe";
  pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return "cannot fork";
  }
  if (pid == 0) {
    // The server ends with the test process, even one that crashes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    close(fds[0]);
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, STDOUT_FILENO);
      dup2(null_fd, STDERR_FILENO);
    }
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The server writes its display number once it accepts connections.
  std::string number;
  struct pollfd p = {fds[0], POLLIN, 0};
  while (true) {
    int r = poll(&p, 1, SERVER_WAIT_MS);
    if (r < 0 && errno == EINTR)
      continue;
    if (r <= 0)
      break;
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n')
      break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    kill(pid, SIGTERM);
    return "Xvfb did not start";
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return "";
}
} // namespace

std::string usePrivateDisplay() {
  static const std::string problem = startServer();
  return problem;
}

bool focusWindow(unsigned long window) {
  Display* display = openDisplay();
  if (!display)
    return false;
  bool focused = false;
  for (int tries = 0; tries < FOCUS_TRIES && !focused; tries++) {
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
      usleep(TRY_PAUSE_US);
  }
  XCloseDisplay(display);
  return focused;
}

sf::Image shownPixels(unsigned long window) {
  sf::Image image;
  Display* display = openDisplay();
  if (!display)
    return image;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes)) {
    XImage* p_x = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (p_x) {
      image.create(static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height));
      for (int y = 0; y < attributes.height; y++) {
        for (int x = 0; x < attributes.width; x++) {
          unsigned long pixel = XGetPixel(p_x, x, y);
          image.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                         sf::Color(static_cast<sf::Uint8>((pixel & p_x->red_mask) >> 16),
                                   static_cast<sf::Uint8>((pixel & p_x->green_mask) >> 8),
                                   static_cast<sf::Uint8>(pixel & p_x->blue_mask)));
        }
      }
      XDestroyImage(p_x);
    }
  }
  XCloseDisplay(display);
  return image;
}

bool xdotool(const std::string& arguments) {
  std::string command = "xdotool " + arguments + " > /dev/null 2>&1";
  return system(command.c_str()) == 0;
}

} // namespace zvtest
