// The X server as a window manager or a user meets it: a server of the test's own, input, closing.
#ifndef ZV_TEST_X_WINDOW_H
#define ZV_TEST_X_WINDOW_H

#include <string>

struct _XDisplay;

namespace zvtest {

// A connection whose errors go to stderr instead of ending the process.
_XDisplay* openDisplay();
// The server's delay before a held key repeats, in ms; -1 when it cannot say.
int keyRepeatDelay();
// Asks a window to close, as the close button does (WM_DELETE_WINDOW).
bool requestClose(unsigned long window);

// Points DISPLAY at a virtual server of this process's own, so that its keyboard, pointer and
// focus meet no other test's; "" when ready, else why not.
std::string usePrivateDisplay();
// Waits for the window to be mapped, gives it the focus and the pointer; false if that fails.
bool focusWindow(unsigned long window);
bool xdotool(const std::string& arguments);
// Presses or releases one key code, done when the server has it.
bool fakeKey(unsigned int code, bool down);

} // namespace zvtest

#endif
