#include <zelvra/platform/Platform.h>

#include <cerrno>
#include <ctime>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <X11/Xlib.h>

namespace zv {
namespace platform {

namespace {
MonotonicClock replaced_clock = nullptr;
Sleeper sleeper = nullptr;
bool timer_refused = false;

int64_t systemMicros() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
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

int64_t monotonicMicros() {
  if (replaced_clock)
    return replaced_clock();
  return systemMicros();
}

int64_t calendarSeconds() {
  time_t now;
  return time(&now) == static_cast<time_t>(-1) ? -1 : static_cast<int64_t>(now);
}

bool localTimeOfDay(int64_t seconds, int& hour, int& minute, int& second) {
  time_t when = static_cast<time_t>(seconds);
  struct tm local;
  if (seconds < 0 || !localtime_r(&when, &local))
    return false;
  hour = local.tm_hour;
  minute = local.tm_min;
  second = local.tm_sec;
  return true;
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

void setMonotonicClock(MonotonicClock clock) { replaced_clock = clock; }

void setSleeper(Sleeper s) { sleeper = s; }
void setTimerResolutionRefused(bool refused) { timer_refused = refused; }

} // namespace platform
} // namespace zv
