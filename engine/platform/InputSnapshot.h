// The keyboard and the pointer as they are at one moment, read from the
// display in two requests (all keys at once, then the pointer). The window
// library asks once per key, and a frame polls 71 keys: 75 round trips to
// the display a frame were most of a busy frame's time.
#ifndef ZV_INPUT_SNAPSHOT_H
#define ZV_INPUT_SNAPSHOT_H

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>
#include <SFML/Window/Window.hpp>

struct _XDisplay;

namespace zv {
namespace platform {

class InputSnapshot {
 public:
  InputSnapshot();
  ~InputSnapshot();
  InputSnapshot(const InputSnapshot&) = delete;
  void operator=(const InputSnapshot&) = delete;

  // Opens a display connection of its own; false when none answers, and
  // then every answer below is the window library's, asked key by key.
  bool open();
  void close();
  // Reads every key, and the pointer relative to the window.
  void take(const sf::Window& window);
  bool keyDown(sf::Keyboard::Key key) const;
  bool buttonDown(sf::Mouse::Button button) const;
  sf::Vector2i pointer() const;

 private:
  _XDisplay* p_display;
  unsigned char key_codes[sf::Keyboard::KeyCount];  // 0: the key has no code
  char keys[32];                                    // one bit a key code
  unsigned int buttons;
  sf::Vector2i position;
};

} // namespace platform
} // namespace zv

#endif
