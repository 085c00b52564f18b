#include "platform/InputSnapshot.h"

#include <cstring>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace zv {
namespace platform {

namespace {

// The key symbol the window library reads for each of its keys.
KeySym symbolFor(int key) {
  using K = sf::Keyboard;
  if (key >= K::A && key <= K::Z)
    return XK_a + static_cast<KeySym>(key - K::A);
  if (key >= K::Num0 && key <= K::Num9)
    return XK_0 + static_cast<KeySym>(key - K::Num0);
  if (key >= K::Numpad0 && key <= K::Numpad9)
    return XK_KP_0 + static_cast<KeySym>(key - K::Numpad0);
  if (key >= K::F1 && key <= K::F15)
    return XK_F1 + static_cast<KeySym>(key - K::F1);
  switch (key) {
    case K::Escape: return XK_Escape;
    case K::LControl: return XK_Control_L;
    case K::LShift: return XK_Shift_L;
    case K::LAlt: return XK_Alt_L;
    case K::LSystem: return XK_Super_L;
    case K::RControl: return XK_Control_R;
    case K::RShift: return XK_Shift_R;
    case K::RAlt: return XK_Alt_R;
    case K::RSystem: return XK_Super_R;
    case K::Menu: return XK_Menu;
    case K::LBracket: return XK_bracketleft;
    case K::RBracket: return XK_bracketright;
    case K::Semicolon: return XK_semicolon;
    case K::Comma: return XK_comma;
    case K::Period: return XK_period;
    case K::Quote: return XK_apostrophe;
    case K::Slash: return XK_slash;
    case K::Backslash: return XK_backslash;
    case K::Tilde: return XK_grave;
    case K::Equal: return XK_equal;
    case K::Hyphen: return XK_minus;
    case K::Space: return XK_space;
    case K::Enter: return XK_Return;
    case K::Backspace: return XK_BackSpace;
    case K::Tab: return XK_Tab;
    case K::PageUp: return XK_Prior;
    case K::PageDown: return XK_Next;
    case K::End: return XK_End;
    case K::Home: return XK_Home;
    case K::Insert: return XK_Insert;
    case K::Delete: return XK_Delete;
    case K::Add: return XK_KP_Add;
    case K::Subtract: return XK_KP_Subtract;
    case K::Multiply: return XK_KP_Multiply;
    case K::Divide: return XK_KP_Divide;
    case K::Left: return XK_Left;
    case K::Right: return XK_Right;
    case K::Up: return XK_Up;
    case K::Down: return XK_Down;
    case K::Pause: return XK_Pause;
    default: return NoSymbol;
  }
}

} // namespace

InputSnapshot::InputSnapshot() : p_display(nullptr), key_codes(), keys(), buttons(0), position() {}

InputSnapshot::~InputSnapshot() { close(); }

bool InputSnapshot::open() {
  close();
  p_display = XOpenDisplay(nullptr);
  if (!p_display)
    return false;
  for (int key = 0; key < sf::Keyboard::KeyCount; key++) {
    KeySym symbol = symbolFor(key);
    key_codes[key] = symbol == NoSymbol ? 0 : XKeysymToKeycode(p_display, symbol);
  }
  return true;
}

void InputSnapshot::close() {
  if (p_display)
    XCloseDisplay(p_display);
  p_display = nullptr;
  std::memset(keys, 0, sizeof(keys));
  buttons = 0;
}

void InputSnapshot::take(const sf::Window& window) {
  if (!p_display) {
    position = sf::Mouse::getPosition(window);
    return;
  }
  XQueryKeymap(p_display, keys);
  Window root, child;
  int root_x, root_y, x = 0, y = 0;
  // A pointer on another screen reads as (0, 0) with its buttons.
  XQueryPointer(p_display, window.getSystemHandle(), &root, &child, &root_x, &root_y, &x, &y, &buttons);
  position = sf::Vector2i(x, y);
}

bool InputSnapshot::keyDown(sf::Keyboard::Key key) const {
  if (!p_display)
    return sf::Keyboard::isKeyPressed(key);
  if (key < 0 || key >= sf::Keyboard::KeyCount || key_codes[key] == 0)
    return false;
  unsigned char code = key_codes[key];
  return (keys[code / 8] & (1 << (code % 8))) != 0;
}

bool InputSnapshot::buttonDown(sf::Mouse::Button button) const {
  if (!p_display)
    return sf::Mouse::isButtonPressed(button);
  switch (button) {
    case sf::Mouse::Left: return (buttons & Button1Mask) != 0;
    case sf::Mouse::Middle: return (buttons & Button2Mask) != 0;
    case sf::Mouse::Right: return (buttons & Button3Mask) != 0;
    default: return false;
  }
}

sf::Vector2i InputSnapshot::pointer() const { return position; }

} // namespace platform
} // namespace zv
