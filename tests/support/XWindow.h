// Talking to the X server the way a window manager or a user would, for
// window tests: a server of the test's own, real input, close requests.
#ifndef ZV_TEST_X_WINDOW_H
#define ZV_TEST_X_WINDOW_H

#include <string>

struct _XDisplay;

namespace zvtest {

// A connection to the display in DISPLAY whose errors are reported on
// stderr instead of ending the process (a wrong window id must fail the test).
_XDisplay* openDisplay();
// Asks a window to close, as the close button does (WM_DELETE_WINDOW).
bool requestClose(unsigned long window);

// Starts a virtual X server of this process's own (once) and points DISPLAY
// at it, so that its keyboard, pointer and focus meet no other test's.
// Returns "" when ready, else why not.
std::string usePrivateDisplay();
// Waits until the window is mapped, then gives it the keyboard focus and
// puts the pointer inside it; false when that does not happen in time.
bool focusWindow(unsigned long window);
// Runs xdotool with these arguments on the current display; true on success.
bool xdotool(const std::string& arguments);

} // namespace zvtest

#endif
