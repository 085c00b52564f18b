#include <chrono>
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
  uint32_t expected = static_cast<uint32_t>(((utc.tm_mday * 24 + utc.tm_hour) * 60 + utc.tm_min) * 60 + utc.tm_sec) * 1000000u;
  // time() may lag the fine clock a little at a second boundary.
  EXPECT_TRUE(static_cast<int32_t>(before - expected) <= 2000000 && static_cast<int32_t>(after - expected) >= -2000000);
  uint32_t next = after;
  for (int i = 0; i < 100000000 && next == after; i++)  // bounded: a stuck clock fails, not hangs
    next = platform::wallClockMicros();
  ASSERT_NE(next, after);
  EXPECT_EQ((next - after) % 1000u, 0u);
}

TEST(Platform, SleepNeverEndsEarlyTimerResolutionAndDirectory) {
  for (int ms : {-5, 0, 20, 1000}) {  // a whole second too
    auto start = std::chrono::steady_clock::now();
    platform::sleepMillis(ms);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count(),
              ms);
  }
  EXPECT_EQ(std::vector<int>({platform::timeBeginPeriod(1), platform::timeEndPeriod(1)}), std::vector<int>({0, 0}));
  platform::setTimerResolutionRefused(true);
  EXPECT_EQ(std::vector<int>({platform::timeBeginPeriod(1), platform::timeEndPeriod(1)}),
            std::vector<int>({platform::TIMER_NO_CAN_DO, 97}));
  char buf[4096], tiny[2];
  EXPECT_TRUE(platform::currentDirectory(buf, sizeof(buf)) && buf[0] == '/');
  EXPECT_FALSE(platform::currentDirectory(tiny, sizeof(tiny)));
}
