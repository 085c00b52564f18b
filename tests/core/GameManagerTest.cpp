#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Clock.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "platform/Platform.h"
#include "world/WorldManager.h"

using zv::GameManager;

namespace {

// A virtual wall clock: sleeping advances it by the time asked plus an
// oversleep; each frame's step handler advances it by that frame's work.
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
  std::vector<int> work_us;
  int eventHandler(const zv::Event* p_e) override {
    int step = static_cast<const zv::EventStep*>(p_e)->getStepCount();
    virtual_now += static_cast<uint32_t>(work_us[static_cast<std::size_t>(step)]);
    if (step + 1 >= static_cast<int>(work_us.size()))
      GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

class Signaller : public zv::Object {
 public:
  int steps = 0;
  int eventHandler(const zv::Event*) override {
    if (++steps == 3)
      raise(SIGTERM);
    return 1;
  }
};

int indexOf(const std::vector<std::string>& log, const std::string& text) {
  for (std::size_t i = 0; i < log.size(); i++)
    if (log[i] == text)
      return static_cast<int>(i);
  return -1;
}

} // namespace

TEST(GameManagerStart, BannerConfigurationOrderAndRefusedSecondStart) {
  zvtest::writeFile("zv-config.txt", "headless:true,frame_time:0,window_horizontal_chars:70,window_vertical_chars:20,");
  zv::LogManager::getInstance().setLogLevel(5);
  GameManager& gm = GameManager::getInstance();
  ASSERT_EQ(gm.startUp(), 0);
  EXPECT_EQ(gm.startUp(), -1);
  zv::WorldManager& wm = zv::WorldManager::getInstance();
  EXPECT_EQ(wm.getBoundary(), zv::Box(zv::Vector(0, 0), 70, 20));
  EXPECT_EQ(wm.getView(), zv::Box(zv::Vector(0, 0), 70, 20));
  EXPECT_FALSE(gm.isValid("zv-keyboard"));
  gm.shutDown();
  EXPECT_FALSE(wm.isStarted());

  std::vector<std::string> log = zvtest::logMessages();
  const std::string stars(52, '*');
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.begin() + 6),
            (std::vector<std::string>{stars, "** Zelvra version 4.18 **", "** Game engine started **", stars,
                                      "-----------------------------------"}));
  std::vector<int> order;
  for (const char* line : {"  Scene graph: simple", "Working directory:", "Log Manager started.",
                           "GameManager::startUp(): frame time is 0", "World manager started.",
                           "GameManager successfully started.",
                           "GameManager::startup(): Warning! GameManager already started.", "World manager stopped"})
    order.push_back(indexOf(log, line));
  for (std::size_t i = 1; i < order.size(); i++)
    EXPECT_GT(order[i], order[i - 1]) << i;
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{stars, "** Game engine stopped **",
                                      "LogManager::shutDown(): successfully stopped."}));
}

TEST(GameManagerStart, FailuresStopStartUpWithTheirReason) {
  setenv("ZELVRA_LOG", ".", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(GameManager::getInstance().startUp(), -1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("LogManager::startup(): Warning! Unable to open file '.'."), std::string::npos);
  EXPECT_NE(err.find("Error starting log manager!"), std::string::npos);
  EXPECT_FALSE(GameManager::getInstance().isStarted());

  unsetenv("ZELVRA_LOG");
  EXPECT_EQ(zvtest::startHeadless("frame_time:5000,"), -1);
  // Read before shut-down closes the file: start-up lines are not held back.
  EXPECT_TRUE(zvtest::logContains("Config::loadConfig(): Error! frame_time is '5000', not a number from 0 to 1000."));
  EXPECT_FALSE(zv::WorldManager::getInstance().isStarted());
  GameManager::getInstance().shutDown();
}

TEST(GameManagerStart, WorkingDirectoryAndRefusedTimerAreLogged) {
  zv::LogManager::getInstance().setLogLevel(1);
  zv::platform::setTimerResolutionRefused(true);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().shutDown();
  char cwd[4096];
  ASSERT_TRUE(zv::platform::currentDirectory(cwd, sizeof(cwd)));
  EXPECT_TRUE(zvtest::logContains(std::string("  ") + cwd));
  EXPECT_TRUE(zvtest::logContains("GameManager()::startUp(): Warning!  timeBeginPeriod() cannot accept 1 msec."));
  EXPECT_TRUE(zvtest::logContains("GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec."));

  std::string deep(200, 'd');
  ASSERT_EQ(system(("mkdir -p " + deep + "/" + deep).c_str()), 0);
  ASSERT_EQ(chdir((deep + "/" + deep).c_str()), 0);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("  (full path too long)"));
}

TEST(GameManagerStart, RandomSeedFromConfiguration) {
  zv::LogManager::getInstance().setLogLevel(10);
  const struct {
    const char* seed;
    int replay;  // srand() value that must give the same first draw, or -1
    bool seeded;
    const char* logged;
  } cases[] = {{"1234", 1234, true, "1234"}, {"-1", 99, false, ""}, {"0", -1, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seed);
    srand(99);
    ASSERT_EQ(zvtest::startHeadless(std::string("random_seed:") + c.seed + ","), 0);
    int first = rand();
    GameManager::getInstance().shutDown();
    if (c.replay >= 0) {
      srand(static_cast<unsigned>(c.replay));
      EXPECT_EQ(rand(), first);
    }
    EXPECT_EQ(zvtest::logContains(std::string("GameManager()::startUp(): srand() seed with ") + c.logged), c.seeded);
    EXPECT_FALSE(zvtest::logContains("srand() seed with 0"));
  }
}

TEST(GameManagerRun, StepsCountFromZeroInEveryRunAndGameOverEndsTheLoop) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().setGameOver(true);  // run() clears it
  zvtest::Recorder& recorder = *new zvtest::Recorder;
  recorder.registerInterest(zv::STEP_EVENT);
  recorder.stop_after_steps = 5;
  GameManager::getInstance().run();
  EXPECT_EQ(recorder.step_events, 5);
  EXPECT_EQ(recorder.last_step, 4);
  EXPECT_EQ(GameManager::getInstance().getStepCount(), 5);
  recorder.stop_after_steps = 8;
  GameManager::getInstance().run();
  EXPECT_EQ(recorder.last_step, 2);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(GameManager::getInstance().getGameOver());
}

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

TEST(GameManagerRun, FramesSleepWhatIsLeftAndReportOverruns) {
  const struct {
    const char* name;
    int frame_time, oversleep_us;
    std::vector<int> work_us, sleeps;
    int cant_keep_up;
  } cases[] = {
      {"idle frames sleep the rest", 33, 0, {10000, 5500, 0}, {23, 27, 33}, 0},
      {"oversleep comes off the next frame", 33, 2000, {0, 0, 0}, {33, 31, 31}, 0},
      {"overruns reported except in the first frame", 33, 0, {40000, 50000, 10000}, {23}, 1},
      // 33 - 31 - 3 < 0 after the carried oversleep: no sleep, no message.
      {"no report right after an oversleep", 33, 3000, {0, 31000, 40000}, {33}, 1},
      {"sub-millisecond remainder sleeps zero", 33, 0, {32500}, {0}, 0},
      {"frame time zero never sleeps", 0, 0, {5000, 5000, 5000}, {}, 0},
  };
  const char* const splits[] = {"", "", "split 50 ms", "split 40 ms", "", ""};
  for (std::size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); i++) {
    SCOPED_TRACE(cases[i].name);
    virtual_now = 0xFFFF0000u;  // close to the wrap, which must not matter
    oversleep_us = cases[i].oversleep_us;
    sleeps.clear();
    zv::platform::setClockSource(virtualClock);
    zv::platform::setSleeper(virtualSleep);
    ASSERT_EQ(zvtest::startHeadless("frame_time:" + std::to_string(cases[i].frame_time) + ","), 0);
    Worker& worker = *new Worker;
    worker.registerInterest(zv::STEP_EVENT);
    worker.work_us = cases[i].work_us;
    GameManager::getInstance().run();
    GameManager::getInstance().shutDown();
    EXPECT_EQ(sleeps, cases[i].sleeps);
    EXPECT_EQ(zvtest::logCount("Can't keep up!"), cases[i].cant_keep_up);
    EXPECT_TRUE(zvtest::logContains(std::string("GameManager::run(): Can't keep up! frame_time 33 ms, ") + splits[i]) ||
                !*splits[i]);
  }
}

TEST(GameManagerRun, ClockMeasuresAcrossTheWrap) {
  zv::platform::setClockSource(virtualClock);
  virtual_now = 0xFFFFFF00u;
  zv::Clock clock;
  virtual_now += 1000;
  EXPECT_EQ(clock.split(), 1000);
  EXPECT_EQ(clock.delta(), 1000);
  virtual_now += 250;
  EXPECT_EQ(clock.delta(), 250);
  EXPECT_EQ(clock.split(), 0);
}
