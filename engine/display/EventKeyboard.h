// A key went down, came up or is being held.
#ifndef ZV_EVENT_KEYBOARD_H
#define ZV_EVENT_KEYBOARD_H

#include <zelvra/core/Event.h>

namespace zv {

// The engine's keys. A key the engine does not name arrives as the window
// library's code + 97, which is none of these.
enum Key : int {
  KEY_UNDEFINED = -1,
  SPACE = 0,
  RETURN,
  ESCAPE,
  TAB,
  LEFT,
  RIGHT,
  UP,
  DOWN,
  PAUSE,
  SUBTRACT,
  ADD,
  TILDE,
  PERIOD,
  COMMA,
  SLASH,
  EQUAL,
  BACKSLASH,
  MULTIPLY,
  QUOTE,
  SEMICOLON,
  LCONTROL,
  RCONTROL,
  LSHIFT,
  RSHIFT,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  A,
  B,
  C,
  D,
  E,
  F,
  G,
  H,
  I,
  J,
  K,
  L,
  M,
  N,
  O,
  P,
  Q,
  R,
  S,
  T,
  U,
  V,
  W,
  X,
  Y,
  Z,
  NUM1,
  NUM2,
  NUM3,
  NUM4,
  NUM5,
  NUM6,
  NUM7,
  NUM8,
  NUM9,
  NUM0,
  BACKSPACE,
};

const int KEY_COUNT = BACKSPACE + 1;

enum KeyboardAction : int {
  KEYBOARD_UNDEFINED = -1,
  KEYBOARD_PRESSED = 0,
  KEYBOARD_RELEASED,
  KEYBOARD_HELD,
};

class EventKeyboard : public Event {
 private:
  Key key;
  KeyboardAction action;

 public:
  EventKeyboard();
  ~EventKeyboard() override;
  virtual void setKey(Key new_key);
  virtual Key getKey() const;
  virtual void setAction(KeyboardAction new_action);
  virtual KeyboardAction getAction() const;
};

} // namespace zv

#endif
