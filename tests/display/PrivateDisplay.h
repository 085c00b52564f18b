// A virtual X server of one test process's own, so that its keyboard,
// pointer and focus never meet those of a test running beside it; and the
// outside hands a window test needs: real key and button events, and a
// close request.
#ifndef ZV_PRIVATE_DISPLAY_H
#define ZV_PRIVATE_DISPLAY_H

#include <string>

#include "XWindow.h"

#include <SFML/Graphics/Image.hpp>

namespace zvtest {

// Starts the server (once per process) and points DISPLAY at it. It lives
// until the process ends, so that the window library can still talk to it
// while its own statics are destroyed. Returns "" when ready, else why not.
std::string usePrivateDisplay();

// Waits until the window is mapped, then gives it the keyboard focus and
// puts the pointer inside it; false when that does not happen in time.
bool focusWindow(unsigned long window);

// What the window shows on the screen now (an empty image on failure).
sf::Image shownPixels(unsigned long window);

// Runs xdotool with these arguments on the current display; true on success.
bool xdotool(const std::string& arguments);


} // namespace zvtest

#endif
