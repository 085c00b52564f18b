#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Clock.h"
#include "core/Config.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "platform/Platform.h"
#include "world/WorldManager.h"

using zv::GameManager;

namespace {

// A virtual wall clock: sleeping advances it by the time asked plus a
// configurable oversleep; step handlers advance it to simulate work.
uint32_t virtual_now = 0;
int oversleep_us = 0;
std::vector<int> sleeps;
uint32_t virtualClock() { return virtual_now; }
void virtualSleep(int ms) {
  sleeps.push_back(ms);
  virtual_now += static_cast<uint32_t>(ms * 1000 + oversleep_us);
}

class Worker : public zv::Object {
 public:
  std::vector<int> work_us;  // work done in each frame
  std::vector<int> steps;
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    int n = static_cast<int>(steps.size());
    steps.push_back(static_cast<const zv::EventStep*>(p_e)->getStepCount());
    if (n < static_cast<int>(work_us.size()))
      virtual_now += static_cast<uint32_t>(work_us[static_cast<std::size_t>(n)]);
    if (n + 1 >= static_cast<int>(work_us.size()))
      GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

class VirtualTime : public testing::Test {
 protected:
  void SetUp() override {
    virtual_now = 0xFFFF0000u;  // close to the wrap, which must not matter
    oversleep_us = 0;
    sleeps.clear();
    zv::platform::setClockSource(virtualClock);
    zv::platform::setSleeper(virtualSleep);
  }
  void TearDown() override {
    zv::platform::setClockSource(nullptr);
    zv::platform::setSleeper(nullptr);
  }
};

} // namespace

TEST(GameManagerStart, BannerConfigurationAndOrder) {
  zvtest::writeFile("zv-config.txt", "headless:true,frame_time:0,window_horizontal_chars:70,window_vertical_chars:20,");
  zv::LogManager::getInstance().setLogLevel(5);
  GameManager& gm = GameManager::getInstance();
  ASSERT_EQ(gm.startUp(), 0);
  EXPECT_TRUE(gm.isStarted());
  EXPECT_FALSE(gm.getGameOver());
  EXPECT_EQ(gm.getFrameTime(), 0);
  zv::WorldManager& wm = zv::WorldManager::getInstance();
  EXPECT_TRUE(wm.isStarted());
  EXPECT_EQ(wm.getBoundary(), zv::Box(zv::Vector(0, 0), 70, 20));
  EXPECT_EQ(wm.getView(), zv::Box(zv::Vector(0, 0), 70, 20));
  EXPECT_EQ(wm.getViewSlack(), zv::Vector(1.0f / 3.0f, 1.0f / 3.0f));
  gm.shutDown();
  EXPECT_FALSE(gm.isStarted());
  EXPECT_FALSE(wm.isStarted());

  std::vector<std::string> log = zvtest::logMessages();
  const std::string stars(52, '*');
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[1], stars);
  EXPECT_EQ(log[2], "** Zelvra version 4.18 **");
  EXPECT_EQ(log[3], "** Game engine started **");
  EXPECT_EQ(log[4], stars);
  EXPECT_EQ(log[5], "-----------------------------------");
  auto index = [&](const std::string& text) {
    for (std::size_t i = 0; i < log.size(); i++)
      if (log[i] == text)
        return static_cast<int>(i);
    return -1;
  };
  EXPECT_GT(index("Working directory:"), index("  Scene graph: simple"));
  EXPECT_GT(index("Log Manager started."), index("Working directory:"));
  EXPECT_GT(index("GameManager::startUp(): frame time is 0"), index("Log Manager started."));
  EXPECT_GT(index("World manager started."), index("GameManager::startUp(): frame time is 0"));
  EXPECT_GT(index("GameManager successfully started."), index("World manager started."));
  EXPECT_GT(index("World manager stopped"), index("GameManager successfully started."));
  EXPECT_EQ(log[log.size() - 3], stars);
  EXPECT_EQ(log[log.size() - 2], "** Game engine stopped **");
  EXPECT_EQ(log.back(), "LogManager::shutDown(): successfully stopped.");
}

TEST(GameManagerStart, SecondStartUpRefused) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_EQ(GameManager::getInstance().startUp(), -1);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("GameManager::startup(): Warning! GameManager already started."));
}

TEST(GameManagerStart, UnwritableLogFailsWithBothLines) {
  setenv("ZELVRA_LOG", ".", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(GameManager::getInstance().startUp(), -1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("LogManager::startup(): Warning! Unable to open file '.'."), std::string::npos);
  EXPECT_NE(err.find("Error starting log manager!"), std::string::npos);
  EXPECT_FALSE(GameManager::getInstance().isStarted());
}

TEST(GameManagerStart, WorkingDirectoryIsLogged) {
  zv::LogManager::getInstance().setLogLevel(1);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().shutDown();
  char cwd[4096];
  ASSERT_TRUE(zv::platform::currentDirectory(cwd, sizeof(cwd)));
  EXPECT_TRUE(zvtest::logContains(std::string("  ") + cwd));
}

TEST(GameManagerStart, TooLongWorkingDirectoryIsReported) {
  std::string deep(200, 'd');
  ASSERT_EQ(system(("mkdir -p " + deep + "/" + deep).c_str()), 0);
  ASSERT_EQ(chdir((deep + "/" + deep).c_str()), 0);
  zv::LogManager::getInstance().setLogLevel(1);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("  (full path too long)"));
}

TEST(GameManagerStart, SeedFromConfigurationOrTime) {
  zv::LogManager::getInstance().setLogLevel(10);
  ASSERT_EQ(zvtest::startHeadless("random_seed:1234,"), 0);
  int first = rand();
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("GameManager()::startUp(): srand() seed with 1234"));
  srand(1234);
  EXPECT_EQ(rand(), first);
}

TEST(GameManagerStart, SeedMinusOneLeavesGeneratorAlone) {
  zv::LogManager::getInstance().setLogLevel(10);
  srand(99);
  int expected = rand();
  srand(99);
  ASSERT_EQ(zvtest::startHeadless("random_seed:-1,"), 0);
  EXPECT_EQ(rand(), expected);
  GameManager::getInstance().shutDown();
  EXPECT_FALSE(zvtest::logContains("srand() seed"));
}

TEST(GameManagerStart, SeedZeroUsesTheTime) {
  zv::LogManager::getInstance().setLogLevel(10);
  ASSERT_EQ(zvtest::startHeadless("random_seed:0,"), 0);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("GameManager()::startUp(): srand() seed with "));
  EXPECT_FALSE(zvtest::logContains("srand() seed with 0"));
}

TEST(GameManagerStart, RefusedTimerResolutionIsLogged) {
  zv::platform::setTimerResolutionRefused(true);
  zv::LogManager::getInstance().setLogLevel(1);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().shutDown();
  zv::platform::setTimerResolutionRefused(false);
  EXPECT_TRUE(zvtest::logContains("GameManager()::startUp(): Warning!  timeBeginPeriod() cannot accept 1 msec."));
  EXPECT_TRUE(zvtest::logContains("GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec."));
}

TEST(GameManagerRun, StepCountsFromZeroInEveryRun) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  zvtest::Recorder& recorder = *new zvtest::Recorder;
  recorder.registerInterest(zv::STEP_EVENT);
  recorder.stop_after_steps = 5;
  GameManager::getInstance().run();
  EXPECT_EQ(recorder.step_events, 5);
  EXPECT_EQ(recorder.last_step, 4);
  EXPECT_EQ(GameManager::getInstance().getStepCount(), 5);
  // A second run resets game over and the step count.
  recorder.stop_after_steps = 8;
  GameManager::getInstance().run();
  EXPECT_EQ(recorder.last_step, 2);
  GameManager::getInstance().shutDown();
}

TEST(GameManagerRun, ShutDownEndsTheLoopAfterTheFrame) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().setGameOver(true);  // run() clears it
  zvtest::Recorder& recorder = *new zvtest::Recorder;
  recorder.registerInterest(zv::STEP_EVENT);
  recorder.stop_after_steps = 3;
  GameManager::getInstance().run();
  EXPECT_EQ(recorder.step_events, 3);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(GameManager::getInstance().getGameOver());
}

TEST(GameManagerStart, BadConfigurationStopsStartUpWithTheReasonAlreadyInTheLog) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(zvtest::startHeadless("frame_time:5000,"), -1);
  testing::internal::GetCapturedStderr();
  // Read before shut-down closes the file: start-up lines are not held back.
  EXPECT_TRUE(zvtest::logContains("Config::loadConfig(): Error! frame_time is '5000', not a number from 0 to 1000."));
  EXPECT_FALSE(zv::WorldManager::getInstance().isStarted());
  GameManager::getInstance().shutDown();
}

namespace {
class Signaller : public zv::Object {
 public:
  int steps = 0;
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::STEP_EVENT && ++steps == 3)
      raise(SIGTERM);
    return 1;
  }
};
} // namespace

TEST(GameManagerRun, SignalEndsTheGameAfterItsFrameAndASecondEndsTheProcess) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  Signaller& signaller = *new Signaller;
  signaller.registerInterest(zv::STEP_EVENT);
  GameManager::getInstance().run();
  EXPECT_EQ(GameManager::getInstance().getStepCount(), 3);
  // The request stands: the next loop ends after its first frame too.
  GameManager::getInstance().run();
  EXPECT_EQ(signaller.steps, 4);
  EXPECT_EXIT(raise(SIGINT), testing::ExitedWithCode(128 + SIGINT), "");
  GameManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("GameManager::run(): Signal 15 received, ending the game."), 2);
}

TEST(GameManagerRun, IsValidOnlyForSteps) {
  GameManager& gm = GameManager::getInstance();
  EXPECT_TRUE(gm.isValid("zv-step"));
  EXPECT_FALSE(gm.isValid("zv-keyboard"));
  EXPECT_FALSE(gm.isValid("zv-collision"));
}

TEST_F(VirtualTime, IdleFramesSleepTheRestOfTheFrame) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  Worker& worker = *new Worker;
  worker.registerInterest(zv::STEP_EVENT);
  worker.work_us = {10000, 5500, 0};
  GameManager::getInstance().run();
  EXPECT_EQ(worker.steps, (std::vector<int>{0, 1, 2}));
  GameManager::getInstance().shutDown();
  // 33 ms minus the work, in whole milliseconds.
  EXPECT_EQ(sleeps, (std::vector<int>{23, 27, 33}));
}

TEST_F(VirtualTime, OversleepIsDeductedFromTheNextFrame) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  oversleep_us = 2000;
  Worker& worker = *new Worker;
  worker.registerInterest(zv::STEP_EVENT);
  worker.work_us = {0, 0, 0};
  GameManager::getInstance().run();
  GameManager::getInstance().shutDown();
  // Each frame after the first gives back the 2 ms the previous one overslept.
  EXPECT_EQ(sleeps, (std::vector<int>{33, 31, 31}));
}

TEST_F(VirtualTime, OverrunLogsCantKeepUpExceptInTheFirstFrame) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  Worker& worker = *new Worker;
  worker.registerInterest(zv::STEP_EVENT);
  worker.work_us = {40000, 50000, 10000};
  GameManager::getInstance().run();
  GameManager::getInstance().shutDown();
  EXPECT_EQ(sleeps, (std::vector<int>{23}));
  EXPECT_EQ(zvtest::logCount("Can't keep up!"), 1);
  EXPECT_TRUE(zvtest::logContains("GameManager::run(): Can't keep up! frame_time 33 ms, split 50 ms"));
}

TEST_F(VirtualTime, NoCantKeepUpRightAfterAnOversleep) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  oversleep_us = 3000;
  Worker& worker = *new Worker;
  worker.registerInterest(zv::STEP_EVENT);
  worker.work_us = {0, 31000, 40000};
  GameManager::getInstance().run();
  GameManager::getInstance().shutDown();
  // Frame 2 has 33 - 31 - 3 < 0 left after the carried oversleep: no sleep,
  // no message, and the carry is dropped; frame 3 overruns and is reported.
  EXPECT_EQ(sleeps, (std::vector<int>{33}));
  EXPECT_EQ(zvtest::logCount("Can't keep up!"), 1);
  EXPECT_TRUE(zvtest::logContains("split 40 ms"));
}

TEST_F(VirtualTime, SubMillisecondRemainderSleepsZero) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  Worker& worker = *new Worker;
  worker.registerInterest(zv::STEP_EVENT);
  worker.work_us = {32500};
  GameManager::getInstance().run();
  GameManager::getInstance().shutDown();
  EXPECT_EQ(sleeps, (std::vector<int>{0}));
}

TEST_F(VirtualTime, FrameTimeZeroNeverSleepsNorComplains) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:0,"), 0);
  Worker& worker = *new Worker;
  worker.registerInterest(zv::STEP_EVENT);
  worker.work_us = {5000, 5000, 5000};
  GameManager::getInstance().run();
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(sleeps.empty());
  EXPECT_EQ(zvtest::logCount("Can't keep up!"), 0);
}

TEST_F(VirtualTime, ClockMeasuresAcrossTheWrap) {
  virtual_now = 0xFFFFFF00u;
  zv::Clock clock;
  virtual_now += 1000;
  EXPECT_EQ(clock.split(), 1000);
  EXPECT_EQ(clock.split(), 1000);
  EXPECT_EQ(clock.delta(), 1000);
  virtual_now += 250;
  EXPECT_EQ(clock.delta(), 250);
  EXPECT_EQ(clock.split(), 0);
}
