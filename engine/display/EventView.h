// Asks the view objects with a given label to set or add to their value.
#ifndef ZV_EVENT_VIEW_H
#define ZV_EVENT_VIEW_H

#include <string>

#include <zelvra/core/Event.h>

namespace zv {

class EventView : public Event {
 private:
  std::string tag;
  int value;
  bool delta;

 public:
  EventView();
  EventView(std::string new_tag, int new_value, bool new_delta);

  void setTag(std::string new_tag);
  std::string getTag() const;
  void setValue(int new_value);
  int getValue() const;
  // Add the value instead of replacing.
  void setDelta(bool new_delta);
  bool getDelta() const;
};

} // namespace zv

#endif
