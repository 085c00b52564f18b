// The result of a path search, handed to the object that searched.
#ifndef ZV_EVENT_PATH_H
#define ZV_EVENT_PATH_H

#include <zelvra/core/Event.h>
#include <zelvra/world/Path.h>

namespace zv {

// Search results carried by EventPath and returned by PathFind::cycleOnce.
const int PATH_NONE = 0;       // no path exists
const int PATH_SEARCHING = 1;  // never sent: the search goes on
const int PATH_FOUND = 2;

class EventPath : public Event {
 private:
  int status;
  Path path;

 public:
  EventPath();
  EventPath(int init_status, Path init_path);

  void setStatus(int new_status);
  int getStatus() const;
  void setPath(Path new_path);
  Path getPath() const;
};

} // namespace zv

#endif
