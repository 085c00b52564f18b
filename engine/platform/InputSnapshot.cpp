#include <zelvra/platform/InputSnapshot.h>

#include <algorithm>
#include <cassert>
#include <utility>

#include <X11/Xlib.h>

namespace zv {
namespace platform {

InputSnapshot::InputSnapshot(std::vector<KeyName> new_keys, std::vector<ButtonName> new_buttons)
    : keys(std::move(new_keys)),
      buttons(std::move(new_buttons)),
      p_display(nullptr),
      key_codes(keys.size(), 0),
      keys_down(keys.size(), false),
      buttons_down(buttons.size(), false),
      position() {}

InputSnapshot::~InputSnapshot() { close(); }

bool InputSnapshot::open() {
  close();
  p_display = XOpenDisplay(nullptr);
  if (!p_display)
    return false;
  for (std::size_t i = 0; i < keys.size(); i++)
    key_codes[i] = XKeysymToKeycode(p_display, keys[i].symbol);
  return true;
}

void InputSnapshot::close() {
  if (p_display)
    XCloseDisplay(p_display);
  p_display = nullptr;
  std::fill(keys_down.begin(), keys_down.end(), false);
  std::fill(buttons_down.begin(), buttons_down.end(), false);
}

void InputSnapshot::take(const sf::Window& window) {
  if (p_display)
    takeFromDisplay(window);
  else
    takeFromLibrary(window);
}

void InputSnapshot::takeFromDisplay(const sf::Window& window) {
  char keymap[32];  // one bit a key code
  XQueryKeymap(p_display, keymap);
  for (std::size_t i = 0; i < keys.size(); i++) {
    unsigned char code = key_codes[i];
    keys_down[i] = code != 0 && (keymap[code / 8] & (1 << (code % 8))) != 0;
  }
  Window root, child;
  int root_x, root_y, x = 0, y = 0;
  unsigned int mask = 0;
  // A pointer on another screen reads as (0, 0) with its buttons.
  XQueryPointer(p_display, window.getSystemHandle(), &root, &child, &root_x, &root_y, &x, &y, &mask);
  for (std::size_t i = 0; i < buttons.size(); i++) {
    assert(buttons[i].number >= 1 && buttons[i].number <= 5);
    buttons_down[i] = (mask & (Button1Mask << (buttons[i].number - 1))) != 0;
  }
  position = sf::Vector2i(x, y);
}

void InputSnapshot::takeFromLibrary(const sf::Window& window) {
  for (std::size_t i = 0; i < keys.size(); i++)
    keys_down[i] = sf::Keyboard::isKeyPressed(keys[i].library);
  for (std::size_t i = 0; i < buttons.size(); i++)
    buttons_down[i] = sf::Mouse::isButtonPressed(buttons[i].library);
  position = sf::Mouse::getPosition(window);
}

bool InputSnapshot::keyDown(std::size_t index) const {
  assert(index < keys_down.size());
  return keys_down[index];
}

bool InputSnapshot::buttonDown(std::size_t index) const {
  assert(index < buttons_down.size());
  return buttons_down[index];
}

sf::Vector2i InputSnapshot::pointer() const { return position; }

} // namespace platform
} // namespace zv
