// The engine's one door to the operating system for time, sleeping,
// timer resolution and the working directory. Nothing else in the engine
// calls the system for these.
#ifndef ZV_PLATFORM_H
#define ZV_PLATFORM_H

#include <cstddef>
#include <cstdint>

namespace zv {
namespace platform {

// Result of a timer resolution request the system refuses.
const int TIMER_NO_CAN_DO = 97;

// UTC wall clock folded into 32-bit microseconds:
// ((((day * 24 + hour) * 60 + minute) * 60 + second) * 1000 + ms) * 1000,
// wrapping modulo 2^32. Differences read as signed 32-bit are exact for
// intervals below about 35 minutes.
uint32_t wallClockMicros();

// Sleep whole milliseconds; 0 still yields the processor.
void sleepMillis(int ms);

// Ask for / release a 1-millisecond timer resolution: 0, or
// TIMER_NO_CAN_DO when refused.
int timeBeginPeriod(int ms);
int timeEndPeriod(int ms);

// Current working directory into buf; false when it does not fit.
bool currentDirectory(char* buf, std::size_t size);

// Whether path names a regular file (not a folder, a pipe or a device).
bool isRegularFile(const char* path);

// Whether a window can be opened (an X display answers).
bool displayAvailable();

// Replaceable time source, so that the game loop's schedule can be checked
// against a virtual clock. Passing null restores the system's.
typedef uint32_t (*ClockSource)();
typedef void (*Sleeper)(int ms);
void setClockSource(ClockSource source);
void setSleeper(Sleeper sleeper);

// Makes the timer resolution requests answer TIMER_NO_CAN_DO, as a system
// without fine timers does.
void setTimerResolutionRefused(bool refused);

} // namespace platform
} // namespace zv

#endif
