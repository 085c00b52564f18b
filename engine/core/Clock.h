// Measures time inside a frame, in microseconds of the engine's clock.
#ifndef ZV_CLOCK_H
#define ZV_CLOCK_H

#include <cstdint>

namespace zv {

class Clock {
 private:
  int64_t previous_time;

 public:
  Clock();
  // Microseconds since the last reset; resets.
  int delta();
  // Microseconds since the last reset; does not reset.
  int split() const;
};

} // namespace zv

#endif
