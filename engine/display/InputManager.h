// Turns the window's input into keyboard and mouse events once a frame, and
// the window's close request into the end of the game.
#ifndef ZV_INPUT_MANAGER_H
#define ZV_INPUT_MANAGER_H

#include <string>

#include <SFML/Window/Event.hpp>

#include <zelvra/core/Manager.h>
#include <zelvra/display/EventKeyboard.h>
#include <zelvra/display/EventMouse.h>

namespace zv {
namespace platform {
class InputSnapshot;
}

class InputManager : public Manager {
 private:
  InputManager();
  InputManager(const InputManager&) = delete;
  void operator=(const InputManager&) = delete;

 public:
  static InputManager& getInstance();
  ~InputManager() override;

  // Needs the DisplayManager started (except when headless).
  int startUp() override;
  void shutDown() override;
  // Only keyboard and mouse events may be registered here.
  bool isValid(std::string event_type) const override;

  // Sends the pending window events, then the held buttons, then the held
  // keys. A close request sets game over and leaves the rest for later.
  void getInput();

  // The event for one window key event: key translated, action undefined.
  EventKeyboard toEventKeyboard(sf::Event::KeyEvent key_event) const;

 private:
  // Held keys and buttons, read once a frame; only declared here, so that a
  // game's build never sees the platform's input.
  platform::InputSnapshot& snapshot;
};

} // namespace zv

#endif
