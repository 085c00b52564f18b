#include "core/Clock.h"

#include "platform/Platform.h"

namespace zv {

Clock::Clock() : previous_time(platform::wallClockMicros()) {}

int Clock::delta() {
  uint32_t now = platform::wallClockMicros();
  int elapsed = static_cast<int32_t>(now - previous_time);
  previous_time = now;
  return elapsed;
}

int Clock::split() const {
  uint32_t now = platform::wallClockMicros();
  return static_cast<int32_t>(now - previous_time);
}

} // namespace zv
