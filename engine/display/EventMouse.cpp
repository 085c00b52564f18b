#include <zelvra/display/EventMouse.h>

namespace zv {

EventMouse::EventMouse() : action(MOUSE_UNDEFINED), button(BUTTON_UNDEFINED), position(0, 0) { setType(MOUSE_EVENT); }
EventMouse::~EventMouse() {}
void EventMouse::setAction(MouseAction new_action) { action = new_action; }
MouseAction EventMouse::getAction() const { return action; }
void EventMouse::setButton(MouseButton new_button) { button = new_button; }
MouseButton EventMouse::getButton() const { return button; }
void EventMouse::setPosition(Vector new_position) { position = new_position; }
Vector EventMouse::getPosition() const { return position; }

} // namespace zv
