#include "display/InputManager.h"

#include <SFML/Window/Window.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include "core/Config.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/DisplayManager.h"

namespace zv {

namespace {

// The window library's key for each engine key, in engine order.
const sf::Keyboard::Key LIBRARY_KEY[KEY_COUNT] = {
    sf::Keyboard::Space,     sf::Keyboard::Return,   sf::Keyboard::Escape,    sf::Keyboard::Tab,
    sf::Keyboard::Left,      sf::Keyboard::Right,    sf::Keyboard::Up,        sf::Keyboard::Down,
    sf::Keyboard::Pause,     sf::Keyboard::Subtract, sf::Keyboard::Add,       sf::Keyboard::Tilde,
    sf::Keyboard::Period,    sf::Keyboard::Comma,    sf::Keyboard::Slash,     sf::Keyboard::Equal,
    sf::Keyboard::Backslash, sf::Keyboard::Multiply, sf::Keyboard::Quote,     sf::Keyboard::Semicolon,
    sf::Keyboard::LControl,  sf::Keyboard::RControl, sf::Keyboard::LShift,    sf::Keyboard::RShift,
    sf::Keyboard::F1,        sf::Keyboard::F2,       sf::Keyboard::F3,        sf::Keyboard::F4,
    sf::Keyboard::F5,        sf::Keyboard::F6,       sf::Keyboard::F7,        sf::Keyboard::F8,
    sf::Keyboard::F9,        sf::Keyboard::F10,      sf::Keyboard::F11,       sf::Keyboard::F12,
    sf::Keyboard::A,         sf::Keyboard::B,        sf::Keyboard::C,         sf::Keyboard::D,
    sf::Keyboard::E,         sf::Keyboard::F,        sf::Keyboard::G,         sf::Keyboard::H,
    sf::Keyboard::I,         sf::Keyboard::J,        sf::Keyboard::K,         sf::Keyboard::L,
    sf::Keyboard::M,         sf::Keyboard::N,        sf::Keyboard::O,         sf::Keyboard::P,
    sf::Keyboard::Q,         sf::Keyboard::R,        sf::Keyboard::S,         sf::Keyboard::T,
    sf::Keyboard::U,         sf::Keyboard::V,        sf::Keyboard::W,         sf::Keyboard::X,
    sf::Keyboard::Y,         sf::Keyboard::Z,        sf::Keyboard::Num1,      sf::Keyboard::Num2,
    sf::Keyboard::Num3,      sf::Keyboard::Num4,     sf::Keyboard::Num5,      sf::Keyboard::Num6,
    sf::Keyboard::Num7,      sf::Keyboard::Num8,     sf::Keyboard::Num9,      sf::Keyboard::Num0,
    sf::Keyboard::BackSpace,
};

// Keys polled for held events, in the order their events go out. F11 and
// F12 are left out: they are never reported as held.
const Key HELD_KEYS[] = {
    UP, DOWN, LEFT, RIGHT, SPACE, RETURN, TAB, ESCAPE, PAUSE,
    SUBTRACT, ADD, TILDE, PERIOD, COMMA, SLASH, EQUAL, BACKSLASH, MULTIPLY,
    QUOTE, SEMICOLON, LCONTROL, RCONTROL, LSHIFT, RSHIFT,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10,
    A, B, C, D, E, F, G, H, I, J, K, L, M,
    N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    NUM1, NUM2, NUM3, NUM4, NUM5, NUM6, NUM7, NUM8, NUM9, NUM0,
    BACKSPACE,
};
static_assert(sizeof(HELD_KEYS) / sizeof(HELD_KEYS[0]) == 71, "71 keys can be held");

// Codes the engine does not name are passed on shifted out of its range.
const int UNNAMED_KEY_OFFSET = 97;

Key engineKey(int library_code) {
  for (int k = 0; k < KEY_COUNT; k++)
    if (LIBRARY_KEY[k] == library_code)
      return static_cast<Key>(k);
  return static_cast<Key>(library_code + UNNAMED_KEY_OFFSET);
}

MouseButton engineButton(sf::Mouse::Button button) {
  switch (button) {
    case sf::Mouse::Left:
      return BUTTON_LEFT;
    case sf::Mouse::Right:
      return BUTTON_RIGHT;
    case sf::Mouse::Middle:
      return BUTTON_MIDDLE;
    default:
      return BUTTON_UNDEFINED;
  }
}

} // namespace

InputManager::InputManager() { setType("InputManager"); }
InputManager::~InputManager() {}

InputManager& InputManager::getInstance() {
  static InputManager instance;
  return instance;
}

int InputManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  if (Config::getInstance().getHeadless()) {
    log.writeLog(1, "InputManager::startUp(): not doing input since in headless mode.");
  } else {
    DisplayManager& display = DisplayManager::getInstance();
    if (!display.isStarted()) {
      log.writeLog("InputManager::startUp(): Error starting InputManager. DisplayManager must be started first.");
      return -1;
    }
    sf::Window* p_window = display.getWindow();
    if (p_window) {
      // Holding a key must give one press, then held events only.
      p_window->setKeyRepeatEnabled(false);
      // Without a connection of its own, held state is asked key by key.
      if (!snapshot.open())
        log.writeLog(1, "InputManager::startUp(): held keys polled one by one (no display connection of its own).");
      log.writeLog(2, "InputManager::startUp(): Keyboard repeated disabled.");
    } else {
      log.writeLog(
          "InputManager::startUp(): Warning - DisplayManager unexpectedly returned null window! Cannot disable "
          "keyboard repeat.");
    }
  }
  Manager::startUp();
  log.writeLog(5, "InputManager::startUp(): successfully started.");
  return 0;
}

void InputManager::shutDown() {
  LogManager& log = LogManager::getInstance();
  snapshot.close();
  sf::Window* p_window = DisplayManager::getInstance().getWindow();
  if (p_window) {
    p_window->setKeyRepeatEnabled(true);
    log.writeLog(2, "InputManager::shutDown(): Keyboard repeat enabled.");
  }
  Manager::shutDown();
  log.writeLog(5, "InputManager::shutDown(): successfully stopped.");
}

bool InputManager::isValid(std::string event_type) const {
  return event_type == KEYBOARD_EVENT || event_type == MOUSE_EVENT;
}

EventKeyboard InputManager::toEventKeyboard(sf::Event::KeyEvent key_event) const {
  EventKeyboard keyboard;
  int code = static_cast<int>(key_event.code);
  keyboard.setKey(engineKey(code));
  LogManager::getInstance().writeLog(15, "InputManager::toEventKeyboard(): Keyboard event '%c' (%d)",
                                     static_cast<int>(keyboard.getKey()), code);
  return keyboard;
}

void InputManager::getInput() {
  if (Config::getInstance().getHeadless())
    return;
  LogManager& log = LogManager::getInstance();
  sf::Window* p_window = DisplayManager::getInstance().getWindow();
  if (!p_window) {
    log.writeLog("InputManager::getInput(): DisplayManager unexpectedly returned null window!");
    return;
  }

  sf::Event event;
  while (p_window->pollEvent(event)) {
    switch (event.type) {
      case sf::Event::Closed:
        log.writeLog(1, "InputManager::getInput(): Window close event. Setting game over.");
        GameManager::getInstance().setGameOver(true);
        // Whatever came after the close waits for a later call.
        return;
      case sf::Event::KeyPressed:
      case sf::Event::KeyReleased: {
        EventKeyboard keyboard = toEventKeyboard(event.key);
        keyboard.setAction(event.type == sf::Event::KeyPressed ? KEYBOARD_PRESSED : KEYBOARD_RELEASED);
        onEvent(&keyboard);
        break;
      }
      case sf::Event::MouseMoved: {
        EventMouse mouse;
        mouse.setAction(MOUSE_MOVED);
        mouse.setPosition(pixelsToSpaces(
            Vector(static_cast<float>(event.mouseMove.x), static_cast<float>(event.mouseMove.y))));
        onEvent(&mouse);
        break;
      }
      case sf::Event::MouseButtonPressed: {
        EventMouse mouse;
        mouse.setAction(MOUSE_CLICKED);
        mouse.setButton(engineButton(event.mouseButton.button));
        mouse.setPosition(pixelsToSpaces(
            Vector(static_cast<float>(event.mouseButton.x), static_cast<float>(event.mouseButton.y))));
        onEvent(&mouse);
        break;
      }
      default:
        break;
    }
  }

  snapshot.take(*p_window);
  sf::Vector2i pointer = snapshot.pointer();
  EventMouse held;
  held.setAction(MOUSE_HELD);
  held.setPosition(pixelsToSpaces(Vector(static_cast<float>(pointer.x), static_cast<float>(pointer.y))));
  const sf::Mouse::Button buttons[] = {sf::Mouse::Left, sf::Mouse::Right, sf::Mouse::Middle};
  for (sf::Mouse::Button button : buttons) {
    if (snapshot.buttonDown(button)) {
      held.setButton(engineButton(button));
      onEvent(&held);
    }
  }

  for (Key key : HELD_KEYS) {
    if (snapshot.keyDown(LIBRARY_KEY[key])) {
      EventKeyboard keyboard;
      keyboard.setKey(key);
      keyboard.setAction(KEYBOARD_HELD);
      onEvent(&keyboard);
    }
  }
}

} // namespace zv
