#include <chrono>
#include <cstdint>
#include <ctime>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace platform = zv::platform;

TEST(Platform, WallClockFollowsTheUtcFormulaInMillisecondSteps) {
  uint32_t before = platform::wallClockMicros();
  time_t now = time(nullptr);
  uint32_t after = platform::wallClockMicros();
  struct tm utc;
  gmtime_r(&now, &utc);
  uint32_t expected = ((((static_cast<uint32_t>(utc.tm_mday) * 24u + static_cast<uint32_t>(utc.tm_hour)) * 60u +
                         static_cast<uint32_t>(utc.tm_min)) * 60u + static_cast<uint32_t>(utc.tm_sec)) * 1000u) * 1000u;
  // time() may lag the fine clock a little at a second boundary.
  EXPECT_LE(static_cast<int32_t>(before - expected), 2000000);
  EXPECT_GE(static_cast<int32_t>(after - expected), -2000000);
  uint32_t next = after;
  // Bounded: a clock that never moves fails here instead of hanging.
  for (int i = 0; i < 100000000 && next == after; i++)
    next = platform::wallClockMicros();
  ASSERT_NE(next, after);
  EXPECT_EQ((next - after) % 1000u, 0u);
}

TEST(Platform, SleepNeverEndsEarly) {
  // Whole seconds and the milliseconds beyond them both count.
  for (int ms : {20, 1004}) {
    auto start = std::chrono::steady_clock::now();
    platform::sleepMillis(ms);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count(),
              ms);
  }
  platform::sleepMillis(0);
  platform::sleepMillis(-5);
}

TEST(Platform, TimerResolutionAndCurrentDirectory) {
  EXPECT_EQ(platform::timeBeginPeriod(1), 0);
  EXPECT_EQ(platform::timeEndPeriod(1), 0);
  platform::setTimerResolutionRefused(true);
  EXPECT_EQ(platform::timeBeginPeriod(1), platform::TIMER_NO_CAN_DO);
  EXPECT_EQ(platform::timeEndPeriod(1), 97);
  char buf[4096];
  ASSERT_TRUE(platform::currentDirectory(buf, sizeof(buf)));
  EXPECT_EQ(buf[0], '/');
  char tiny[2];
  EXPECT_FALSE(platform::currentDirectory(tiny, sizeof(tiny)));
}
