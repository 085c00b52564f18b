// The engine's one door to the operating system for time (the clock and
// the date), sleeping, timer resolution and the working directory. Nothing
// else in the engine calls the system for these.
#ifndef ZV_PLATFORM_H
#define ZV_PLATFORM_H

#include <cstddef>
#include <cstdint>

namespace zv {
namespace platform {

// Result of a timer resolution request the system refuses.
const int TIMER_NO_CAN_DO = 97;

// The engine's one clock: microseconds since an arbitrary start. It never
// goes back, and setting the system's date does not move it, so any two
// readings subtract to the time between them.
int64_t monotonicMicros();

// The date, for time stamps and seeds, never to measure time (setting the
// date moves it): seconds since 1970, -1 when the system cannot say.
int64_t calendarSeconds();
// The local time of day of such a reading; false when the system cannot say.
bool localTimeOfDay(int64_t seconds, int& hour, int& minute, int& second);

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

// Replaceable clock and sleep, so that schedules and time limits can be
// checked against virtual time without waiting. Null restores the system's.
typedef int64_t (*MonotonicClock)();
typedef void (*Sleeper)(int ms);
void setMonotonicClock(MonotonicClock clock);
void setSleeper(Sleeper sleeper);

// Makes the timer resolution requests answer TIMER_NO_CAN_DO, as a system
// without fine timers does.
void setTimerResolutionRefused(bool refused);

} // namespace platform
} // namespace zv

#endif
