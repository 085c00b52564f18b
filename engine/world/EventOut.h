// Sent to an object whose box has just left the world.
#ifndef ZV_EVENT_OUT_H
#define ZV_EVENT_OUT_H

#include <zelvra/core/Event.h>

namespace zv {

class EventOut : public Event {
 public:
  EventOut();
};

} // namespace zv

#endif
