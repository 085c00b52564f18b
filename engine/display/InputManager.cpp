#include <zelvra/display/InputManager.h>

#include <iterator>
#include <vector>

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>
#include <SFML/Window/Window.hpp>
// Key symbols only: X's other headers define names (None, Bool) that clash
// with the window library's.
#include <X11/keysym.h>

#include <zelvra/core/Config.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/platform/InputSnapshot.h>
#include <zelvra/display/DisplayManager.h>

namespace zv {

namespace {

using LK = sf::Keyboard;

// Every engine key: the window library's key it comes from and the X symbol
// the library reads for that key, in the order held keys are reported.
const struct KeyRow {
  Key key;
  LK::Key library;
  unsigned long symbol;
} KEYS[] = {
    {UP, LK::Up, XK_Up}, {DOWN, LK::Down, XK_Down}, {LEFT, LK::Left, XK_Left}, {RIGHT, LK::Right, XK_Right},
    {SPACE, LK::Space, XK_space}, {RETURN, LK::Enter, XK_Return}, {TAB, LK::Tab, XK_Tab},
    {ESCAPE, LK::Escape, XK_Escape}, {PAUSE, LK::Pause, XK_Pause}, {SUBTRACT, LK::Subtract, XK_KP_Subtract},
    {ADD, LK::Add, XK_KP_Add}, {TILDE, LK::Tilde, XK_grave}, {PERIOD, LK::Period, XK_period},
    {COMMA, LK::Comma, XK_comma}, {SLASH, LK::Slash, XK_slash}, {EQUAL, LK::Equal, XK_equal},
    {BACKSLASH, LK::Backslash, XK_backslash}, {MULTIPLY, LK::Multiply, XK_KP_Multiply},
    {QUOTE, LK::Quote, XK_apostrophe}, {SEMICOLON, LK::Semicolon, XK_semicolon},
    {LCONTROL, LK::LControl, XK_Control_L}, {RCONTROL, LK::RControl, XK_Control_R},
    {LSHIFT, LK::LShift, XK_Shift_L}, {RSHIFT, LK::RShift, XK_Shift_R},
    {F1, LK::F1, XK_F1}, {F2, LK::F2, XK_F2}, {F3, LK::F3, XK_F3}, {F4, LK::F4, XK_F4}, {F5, LK::F5, XK_F5},
    {F6, LK::F6, XK_F6}, {F7, LK::F7, XK_F7}, {F8, LK::F8, XK_F8}, {F9, LK::F9, XK_F9}, {F10, LK::F10, XK_F10},
    {A, LK::A, XK_a}, {B, LK::B, XK_b}, {C, LK::C, XK_c}, {D, LK::D, XK_d}, {E, LK::E, XK_e},
    {F, LK::F, XK_f}, {G, LK::G, XK_g}, {H, LK::H, XK_h}, {I, LK::I, XK_i}, {J, LK::J, XK_j},
    {K, LK::K, XK_k}, {L, LK::L, XK_l}, {M, LK::M, XK_m}, {N, LK::N, XK_n}, {O, LK::O, XK_o},
    {P, LK::P, XK_p}, {Q, LK::Q, XK_q}, {R, LK::R, XK_r}, {S, LK::S, XK_s}, {T, LK::T, XK_t},
    {U, LK::U, XK_u}, {V, LK::V, XK_v}, {W, LK::W, XK_w}, {X, LK::X, XK_x}, {Y, LK::Y, XK_y},
    {Z, LK::Z, XK_z},
    {NUM1, LK::Num1, XK_1}, {NUM2, LK::Num2, XK_2}, {NUM3, LK::Num3, XK_3}, {NUM4, LK::Num4, XK_4},
    {NUM5, LK::Num5, XK_5}, {NUM6, LK::Num6, XK_6}, {NUM7, LK::Num7, XK_7}, {NUM8, LK::Num8, XK_8},
    {NUM9, LK::Num9, XK_9}, {NUM0, LK::Num0, XK_0},
    {BACKSPACE, LK::Backspace, XK_BackSpace},
    // Last, as they are never reported as held.
    {F11, LK::F11, XK_F11}, {F12, LK::F12, XK_F12},
};
static_assert(std::size(KEYS) == KEY_COUNT, "every engine key has its row");
const std::size_t HELD_KEYS = KEY_COUNT - 2;

// Every engine button: the window library's and X's number for it, in the
// order held buttons are reported.
const struct ButtonRow {
  MouseButton button;
  sf::Mouse::Button library;
  unsigned int x_number;
} BUTTONS[] = {
    {BUTTON_LEFT, sf::Mouse::Left, 1},
    {BUTTON_RIGHT, sf::Mouse::Right, 3},
    {BUTTON_MIDDLE, sf::Mouse::Middle, 2},
};

// Codes the engine does not name are passed on shifted out of its range.
const int UNNAMED_KEY_OFFSET = 97;

Key engineKey(sf::Keyboard::Key library) {
  for (const KeyRow& row : KEYS)
    if (row.library == library)
      return row.key;
  return static_cast<Key>(library + UNNAMED_KEY_OFFSET);
}

MouseButton engineButton(sf::Mouse::Button library) {
  for (const ButtonRow& row : BUTTONS)
    if (row.library == library)
      return row.button;
  return BUTTON_UNDEFINED;
}

std::vector<platform::KeyName> heldKeyNames() {
  std::vector<platform::KeyName> names;
  for (std::size_t i = 0; i < HELD_KEYS; i++)
    names.push_back({KEYS[i].library, KEYS[i].symbol});
  return names;
}

std::vector<platform::ButtonName> buttonNames() {
  std::vector<platform::ButtonName> names;
  for (const ButtonRow& row : BUTTONS)
    names.push_back({row.library, row.x_number});
  return names;
}

} // namespace

// One keyboard, so one snapshot; made before the manager, it outlives it.
InputManager::InputManager()
    : snapshot(*[] {
        static platform::InputSnapshot the_snapshot(heldKeyNames(), buttonNames());
        return &the_snapshot;
      }()) {
  setType("InputManager");
}
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
  keyboard.setKey(engineKey(key_event.code));
  LogManager::getInstance().writeLog(15, "InputManager::toEventKeyboard(): Keyboard event '%c' (%d)",
                                     static_cast<int>(keyboard.getKey()), static_cast<int>(key_event.code));
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
  for (std::size_t i = 0; i < std::size(BUTTONS); i++) {
    if (snapshot.buttonDown(i)) {
      held.setButton(BUTTONS[i].button);
      onEvent(&held);
    }
  }

  for (std::size_t i = 0; i < HELD_KEYS; i++) {
    if (snapshot.keyDown(i)) {
      EventKeyboard keyboard;
      keyboard.setKey(KEYS[i].key);
      keyboard.setAction(KEYBOARD_HELD);
      onEvent(&keyboard);
    }
  }
}

} // namespace zv
