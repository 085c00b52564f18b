#include <chrono>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace platform = zv::platform;

// The wall clock moves with real time, in whole milliseconds: a sleep of 30 ms
// shows as at least 30,000 microseconds (a lower bound only).
TEST(Platform, WallClockMovesWithRealTimeInMillisecondSteps) {
  uint32_t before = platform::wallClockMicros();
  platform::sleepMillis(30);
  uint32_t after = platform::wallClockMicros();
  EXPECT_GE(after - before, 30000u);
  EXPECT_EQ((after - before) % 1000u, 0u);
  uint32_t next = after;
  for (int i = 0; i < 100000000 && next == after; i++)  // bounded: a stuck clock fails, not hangs
    next = platform::wallClockMicros();
  ASSERT_NE(next, after);
  EXPECT_EQ((next - after) % 1000u, 0u);
}

TEST(Platform, SleepNeverEndsEarlyAndTimerResolutionIsGiven) {
  for (int ms : {-5, 0, 20, 1000}) {  // a whole second too
    auto start = std::chrono::steady_clock::now();
    platform::sleepMillis(ms);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count(),
              ms);
  }
  EXPECT_EQ(std::vector<int>({platform::timeBeginPeriod(1), platform::timeEndPeriod(1)}), std::vector<int>({0, 0}));
}
