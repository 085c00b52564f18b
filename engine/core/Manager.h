// Base of every engine service: a name, a started flag and a table of
// event interest that hands each event to the objects that asked for it.
#ifndef ZV_MANAGER_H
#define ZV_MANAGER_H

#include <string>

#include <zelvra/core/Event.h>
#include <zelvra/world/ObjectList.h>

namespace zv {

class Object;

const int MAX_EVENTS = 100;

class Manager {
 private:
  std::string type;
  int event_list_count;
  std::string event[MAX_EVENTS];
  ObjectList obj_list[MAX_EVENTS];
  bool is_started;

 protected:
  void setType(std::string new_type);
  // True, with a warning, when this manager runs already: a subclass's
  // start-up then returns -1 rather than set everything up a second time.
  bool warnIfStarted() const;

 public:
  Manager();
  // May an object register with this manager for that type?
  virtual bool isValid(std::string event_type) const;
  virtual ~Manager();
  // 0, with a warning when already started: a subclass calls it last, once
  // its own start-up has succeeded.
  virtual int startUp();
  virtual void shutDown();

  std::string getType() const;
  bool isStarted() const;

  // Hands the event to every active interested object, walking a copy of
  // the list; returns how many received it.
  int onEvent(const Event* p_event) const;
  int registerInterest(Object* p_o, std::string event_type);
  int unregisterInterest(Object* p_o, std::string event_type);
};

} // namespace zv

#endif
