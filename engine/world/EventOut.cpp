#include <zelvra/world/EventOut.h>

namespace zv {

EventOut::EventOut() { setType(OUT_EVENT); }

} // namespace zv
