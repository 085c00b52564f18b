#include <zelvra/core/Clock.h>

#include <zelvra/platform/Platform.h>

namespace zv {

Clock::Clock() : previous_time(platform::monotonicMicros()) {}

int Clock::delta() {
  int64_t now = platform::monotonicMicros();
  int elapsed = static_cast<int>(now - previous_time);
  previous_time = now;
  return elapsed;
}

int Clock::split() const { return static_cast<int>(platform::monotonicMicros() - previous_time); }

} // namespace zv
