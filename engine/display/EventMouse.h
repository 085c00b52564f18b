// A mouse button went down or is held, or the mouse moved; the position is
// in cells (fractions kept) from the window's top-left corner.
#ifndef ZV_EVENT_MOUSE_H
#define ZV_EVENT_MOUSE_H

#include <zelvra/core/Event.h>
#include <zelvra/core/Vector.h>

namespace zv {

enum MouseAction : int {
  MOUSE_UNDEFINED = -1,
  MOUSE_CLICKED = 0,
  MOUSE_HELD,
  MOUSE_MOVED,
};

// The same numbers as the window library's buttons.
enum MouseButton : int {
  BUTTON_UNDEFINED = -1,
  BUTTON_LEFT = 0,
  BUTTON_RIGHT,
  BUTTON_MIDDLE,
};

class EventMouse : public Event {
 private:
  MouseAction action;
  MouseButton button;
  Vector position;

 public:
  EventMouse();
  ~EventMouse() override;
  void setAction(MouseAction new_action);
  MouseAction getAction() const;
  void setButton(MouseButton new_button);
  MouseButton getButton() const;
  void setPosition(Vector new_position);
  Vector getPosition() const;
};

} // namespace zv

#endif
