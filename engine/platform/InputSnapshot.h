// The keyboard and the pointer as they are at one moment. With a display
// connection of its own it reads them in two requests (all keys at once,
// then the pointer): the window library asks once per key, and a frame polls
// 71 keys, so 75 round trips to the display were most of a busy frame's time.
#ifndef ZV_INPUT_SNAPSHOT_H
#define ZV_INPUT_SNAPSHOT_H

#include <cstddef>
#include <vector>

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>
#include <SFML/Window/Window.hpp>

struct _XDisplay;

namespace zv {
namespace platform {

// A key as the window library and X name it.
struct KeyName {
  sf::Keyboard::Key library;
  unsigned long symbol;  // X key symbol
};

// A pointer button as the window library and X name it.
struct ButtonName {
  sf::Mouse::Button library;
  unsigned int number;  // X pointer button, 1 to 5
};

class InputSnapshot {
 public:
  // Watches these keys and buttons: keyDown(i) and buttonDown(i) answer for
  // the i-th of each.
  InputSnapshot(std::vector<KeyName> keys, std::vector<ButtonName> buttons);
  ~InputSnapshot();
  InputSnapshot(const InputSnapshot&) = delete;
  void operator=(const InputSnapshot&) = delete;

  // Opens a display connection of its own; false when none answers, and
  // then take() asks the window library, once per key and button.
  bool open();
  void close();
  // Reads every watched key and button, and the pointer relative to the window.
  void take(const sf::Window& window);
  bool keyDown(std::size_t index) const;
  bool buttonDown(std::size_t index) const;
  sf::Vector2i pointer() const;

 private:
  void takeFromDisplay(const sf::Window& window);
  void takeFromLibrary(const sf::Window& window);

  const std::vector<KeyName> keys;
  const std::vector<ButtonName> buttons;
  _XDisplay* p_display;
  std::vector<unsigned char> key_codes;  // X key code of each watched key; 0: it has none
  std::vector<bool> keys_down;
  std::vector<bool> buttons_down;
  sf::Vector2i position;
};

} // namespace platform
} // namespace zv

#endif
