#include <chrono>

#include <gtest/gtest.h>

#include <zelvra/platform/Platform.h>

namespace platform = zv::platform;

// A sleep never ends early, by the system's steady clock or by the engine's
// own (lower bounds only).
TEST(Platform, SleepNeverEndsEarlyAndTimerResolutionIsGiven) {
  for (int ms : {-5, 0, 20, 1000}) {  // a whole second too
    auto start = std::chrono::steady_clock::now();
    int64_t engine_start = platform::monotonicMicros();
    platform::sleepMillis(ms);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count(),
              ms);
    EXPECT_GE(platform::monotonicMicros() - engine_start, ms * 1000);
  }
  EXPECT_EQ(std::vector<int>({platform::timeBeginPeriod(1), platform::timeEndPeriod(1)}), std::vector<int>({0, 0}));
}
