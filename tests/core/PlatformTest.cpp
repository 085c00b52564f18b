#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <thread>

#include <gtest/gtest.h>

#include "core/Clock.h"
#include "platform/Platform.h"

namespace platform = zv::platform;

TEST(Platform, WallClockFollowsTheUtcFormula) {
  uint32_t before = platform::wallClockMicros();
  time_t now = time(nullptr);
  uint32_t after = platform::wallClockMicros();
  struct tm utc;
  gmtime_r(&now, &utc);
  uint32_t expected =
      ((((static_cast<uint32_t>(utc.tm_mday) * 24u + static_cast<uint32_t>(utc.tm_hour)) * 60u +
         static_cast<uint32_t>(utc.tm_min)) * 60u + static_cast<uint32_t>(utc.tm_sec)) * 1000u) * 1000u;
  // time() may lag the fine clock a little at a second boundary.
  EXPECT_LE(static_cast<int32_t>(before - expected), 2000000);
  EXPECT_GE(static_cast<int32_t>(after - expected), -2000000);
}

TEST(Platform, WallClockHasMillisecondSteps) {
  uint32_t first = platform::wallClockMicros();
  uint32_t next = first;
  // A clock that never moves fails here instead of hanging.
  for (int i = 0; i < 100000000 && next == first; i++)
    next = platform::wallClockMicros();
  ASSERT_NE(next, first);
  EXPECT_EQ((next - first) % 1000u, 0u);
}

TEST(Platform, SleepWaitsAtLeastTheTimeAsked) {
  zv::Clock clock;
  auto start = std::chrono::steady_clock::now();
  platform::sleepMillis(20);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count(), 20000);
  EXPECT_GE(clock.split(), 18000);
}

TEST(Platform, SleepZeroOrNegativeReturnsPromptly) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; i++) {
    platform::sleepMillis(0);
    platform::sleepMillis(-5);
  }
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count(),
            1000);
}

TEST(Platform, TimerResolutionGrantedUnlessRefused) {
  EXPECT_EQ(platform::timeBeginPeriod(1), 0);
  EXPECT_EQ(platform::timeEndPeriod(1), 0);
  platform::setTimerResolutionRefused(true);
  EXPECT_EQ(platform::timeBeginPeriod(1), platform::TIMER_NO_CAN_DO);
  EXPECT_EQ(platform::timeEndPeriod(1), 97);
  platform::setTimerResolutionRefused(false);
}

TEST(Platform, CurrentDirectoryFitsOrFails) {
  char buf[4096];
  ASSERT_TRUE(platform::currentDirectory(buf, sizeof(buf)));
  EXPECT_EQ(buf[0], '/');
  char tiny[2];
  EXPECT_FALSE(platform::currentDirectory(tiny, sizeof(tiny)));
}
