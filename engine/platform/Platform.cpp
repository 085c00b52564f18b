#include "platform/Platform.h"

#include <cerrno>
#include <ctime>
#include <sched.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <X11/Xlib.h>

namespace zv {
namespace platform {

namespace {
ClockSource clock_source = nullptr;
Sleeper sleeper = nullptr;
bool timer_refused = false;

uint32_t systemWallClockMicros() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  time_t secs = ts.tv_sec;
  struct tm utc;
  gmtime_r(&secs, &utc);
  uint32_t ms = static_cast<uint32_t>(ts.tv_nsec / 1000000);
  uint32_t t = static_cast<uint32_t>(utc.tm_mday);
  t = t * 24u + static_cast<uint32_t>(utc.tm_hour);
  t = t * 60u + static_cast<uint32_t>(utc.tm_min);
  t = t * 60u + static_cast<uint32_t>(utc.tm_sec);
  t = t * 1000u + ms;
  return t * 1000u;
}

void systemSleepMillis(int ms) {
  if (ms <= 0) {
    sched_yield();
    return;
  }
  struct timespec req;
  req.tv_sec = ms / 1000;
  req.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  while (nanosleep(&req, &req) == -1 && errno == EINTR) {
  }
}
} // namespace

uint32_t wallClockMicros() {
  return clock_source ? clock_source() : systemWallClockMicros();
}

void sleepMillis(int ms) {
  if (sleeper)
    sleeper(ms);
  else
    systemSleepMillis(ms);
}

// Linux timers already sleep with sub-millisecond precision.
int timeBeginPeriod(int) { return timer_refused ? TIMER_NO_CAN_DO : 0; }
int timeEndPeriod(int) { return timer_refused ? TIMER_NO_CAN_DO : 0; }

bool currentDirectory(char* buf, std::size_t size) {
  return getcwd(buf, size) != nullptr;
}

bool isRegularFile(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

bool displayAvailable() {
  Display* display = XOpenDisplay(nullptr);
  if (!display)
    return false;
  XCloseDisplay(display);
  return true;
}

void setClockSource(ClockSource source) { clock_source = source; }
void setSleeper(Sleeper s) { sleeper = s; }
void setTimerResolutionRefused(bool refused) { timer_refused = refused; }

} // namespace platform
} // namespace zv
