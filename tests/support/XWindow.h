// Talking to the X server the way a window manager would, for window tests.
#ifndef ZV_TEST_X_WINDOW_H
#define ZV_TEST_X_WINDOW_H

#include <X11/Xlib.h>

namespace zvtest {

// A connection to the display in DISPLAY whose errors are reported on
// stderr instead of ending the process (a wrong window id must fail the test).
Display* openDisplay();
// Asks a window to close, as the close button does (WM_DELETE_WINDOW).
bool requestClose(unsigned long window);

} // namespace zvtest

#endif
