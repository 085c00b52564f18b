// Raised when a moving solid object meets another; sent to both.
#ifndef ZV_EVENT_COLLISION_H
#define ZV_EVENT_COLLISION_H

#include <zelvra/core/Event.h>
#include <zelvra/core/Vector.h>

namespace zv {

class Object;

class EventCollision : public Event {
 private:
  Vector pos;
  Object* p_obj1;  // the object that moved
  Object* p_obj2;  // the object it ran into

 public:
  EventCollision();
  EventCollision(Object* p_o1, Object* p_o2, Vector p);

  Object* getObject1() const;
  void setObject1(Object* p_new_o1);
  Object* getObject2() const;
  void setObject2(Object* p_new_o2);
  Vector getPosition() const;
  void setPosition(Vector new_pos);
};

} // namespace zv

#endif
