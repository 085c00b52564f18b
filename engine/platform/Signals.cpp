#include <zelvra/platform/Signals.h>

#include <csignal>
#include <unistd.h>

namespace zv {
namespace platform {

namespace {
volatile sig_atomic_t stop_signal = 0;

void onStopSignal(int signo) {
  if (stop_signal != 0)
    _exit(128 + signo);
  stop_signal = signo;
}

void setAction(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // Calls blocked in the window library carry on; the loop reads the flag.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
} // namespace

void catchStopSignals() {
  stop_signal = 0;
  setAction(onStopSignal);
}

void releaseStopSignals() { setAction(SIG_DFL); }

int stopSignal() { return stop_signal; }

} // namespace platform
} // namespace zv
