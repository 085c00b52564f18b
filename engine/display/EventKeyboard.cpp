#include <zelvra/display/EventKeyboard.h>

namespace zv {

EventKeyboard::EventKeyboard() : key(KEY_UNDEFINED), action(KEYBOARD_UNDEFINED) { setType(KEYBOARD_EVENT); }
EventKeyboard::~EventKeyboard() {}
void EventKeyboard::setKey(Key new_key) { key = new_key; }
Key EventKeyboard::getKey() const { return key; }
void EventKeyboard::setAction(KeyboardAction new_action) { action = new_action; }
KeyboardAction EventKeyboard::getAction() const { return action; }

} // namespace zv
