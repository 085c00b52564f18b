#include <zelvra/world/EventPath.h>

#include <utility>

namespace zv {

EventPath::EventPath() : status(PATH_NONE) { setType(PATH_EVENT); }

EventPath::EventPath(int init_status, Path init_path) : status(init_status), path(std::move(init_path)) {
  setType(PATH_EVENT);
}

void EventPath::setStatus(int new_status) { status = new_status; }
int EventPath::getStatus() const { return status; }
void EventPath::setPath(Path new_path) { path = std::move(new_path); }
Path EventPath::getPath() const { return path; }

} // namespace zv
