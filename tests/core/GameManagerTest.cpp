#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/Clock.h>
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/Version.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/world/WorldManager.h>

using zv::GameManager;

namespace {

// A virtual wall clock: sleeping advances it by the time asked plus an oversleep.
int64_t virtual_now = 0;
int oversleep_us = 0;
std::vector<int> sleeps;

} // namespace

TEST(GameManagerStart, BannerConfigurationOrderAndRefusedSecondStart) {
  zv::LogManager::getInstance().setLogLevel(5);
  zv::platform::setTimerResolutionRefused(true);
  GameManager& gm = GameManager::getInstance();
  ASSERT_EQ(zvtest::startHeadless("window_horizontal_chars:70,window_vertical_chars:20,"), 0);
  EXPECT_EQ(gm.startUp(), -1);
  EXPECT_EQ(std::vector<zv::Box>({zv::WorldManager::getInstance().getBoundary(), zv::WorldManager::getInstance().getView()}),
            std::vector<zv::Box>(2, zv::Box(zv::Vector(0, 0), 70, 20)));
  EXPECT_FALSE(gm.isValid("zv-keyboard"));
  gm.shutDown();
  std::vector<std::string> log = zvtest::logMessages();
  const std::string stars(52, '*');
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.begin() + 6),
            (std::vector<std::string>{stars, "** Zelvra version " ZELVRA_VERSION_TEXT " **", "** Game engine started **", stars,
                                      "-----------------------------------"}));
  std::vector<std::string>::iterator at = log.begin();
  for (const char* line : {"  Scene graph: simple", "Working directory:", "Log Manager started.",
                           "GameManager::startUp(): frame time is 0", "Display manager started.", "Input manager started.",
                           "Resource manager started.", "World manager started.", "Path manager started.",
                           "GameManager successfully started.", "GameManager::startup(): Warning! GameManager already started.",
                           "Path manager stopped", "World manager stopped", "Resource manager stopped",
                           "Input manager stopped", "Display manager stopped"})
    EXPECT_NE(at = std::find(at, log.end(), line), log.end()) << "missing or out of order: " << line;
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{stars, "** Game engine stopped **",
                                      "LogManager::shutDown(): successfully stopped."}));
  char cwd[4096];
  ASSERT_TRUE(zv::platform::currentDirectory(cwd, sizeof(cwd)));
  for (std::string line : {std::string("  ") + cwd, std::string("GameManager()::startUp(): Warning!  timeBeginPeriod() "
                                                                "cannot accept 1 msec."),
                           std::string("GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec.")})
    EXPECT_TRUE(zvtest::logContains(line)) << line;
  std::string deep(200, 'd');
  ASSERT_EQ((Codes{system(("mkdir -p " + deep + "/" + deep).c_str()), chdir((deep + "/" + deep).c_str())}), (Codes{0, 0}));
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("  (full path too long)"));
}

TEST(GameManagerStart, FailuresStopStartUpWithTheirReason) {
  setenv("ZELVRA_LOG", ".", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(GameManager::getInstance().startUp(), -1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(err.find("LogManager::startup(): Warning! Unable to open file '.'.") != std::string::npos &&
              err.find("Error starting log manager!") != std::string::npos) << err;
  EXPECT_FALSE(GameManager::getInstance().isStarted());
  unsetenv("ZELVRA_LOG");
  EXPECT_EQ(zvtest::startHeadless("frame_time:5000,"), -1);
  // Read before shut-down closes the file: start-up lines are not held back.
  EXPECT_TRUE(zvtest::logContains("Config::loadConfig(): Error! frame_time is '5000', not a number from 0 to 1000."));
  EXPECT_FALSE(zv::WorldManager::getInstance().isStarted());
  GameManager::getInstance().shutDown();
}

TEST(GameManagerStart, RandomSeedFromConfiguration) {
  zv::LogManager::getInstance().setLogLevel(10);
  // A seed is used as it is; 0 means the time of the start-up; -1 leaves the
  // generator alone (as srand(99) left it) and logs nothing.
  const std::string prefix = "GameManager()::startUp(): srand() seed with ";
  for (long long seed : {1234, -1, 0}) {
    SCOPED_TRACE(seed);
    srand(99);
    long long before = time(nullptr);
    ASSERT_EQ(zvtest::startHeadless("random_seed:" + std::to_string(seed) + ","), 0);
    long long after = time(nullptr), used = seed == -1 ? 99 : -2;
    int first = rand();
    GameManager::getInstance().shutDown();
    for (const std::string& m : zvtest::logMessages())
      if (m.rfind(prefix, 0) == 0)
        used = seed == -1 ? -3 : atoll(m.c_str() + prefix.size());  // -3: logged when it should not be
    EXPECT_TRUE(seed ? used == (seed == -1 ? 99 : seed) : used >= before && used <= after) << used;
    srand(static_cast<unsigned>(used));
    EXPECT_EQ(rand(), first);
  }
}

TEST(GameManagerRun, StepsCountFromZeroInEveryRunAndGameOverEndsTheLoop) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  GameManager::getInstance().setGameOver(true);  // run() clears it
  zvtest::Recorder& recorder = *new zvtest::Recorder;
  recorder.registerInterest(zv::STEP_EVENT);
  recorder.stop_after_steps = 5;
  GameManager::getInstance().run();
  EXPECT_EQ(std::vector<int>({recorder.step_events, recorder.last_step, GameManager::getInstance().getStepCount()}),
            std::vector<int>({5, 4, 5}));
  recorder.stop_after_steps = 8;
  GameManager::getInstance().run();
  EXPECT_EQ(recorder.last_step, 2);
  GameManager::getInstance().shutDown();
  EXPECT_TRUE(GameManager::getInstance().getGameOver());
}

TEST(GameManagerRun, SignalEndsTheGameAfterItsFrameAndASecondEndsTheProcess) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  int steps = 0;
  zvtest::onEveryStep([&](int) {
    if (++steps == 3)
      raise(SIGTERM);
  });
  GameManager::getInstance().run();
  EXPECT_EQ(GameManager::getInstance().getStepCount(), 3);
  // The request stands: the next loop ends after its first frame too.
  GameManager::getInstance().run();
  EXPECT_EQ(steps, 4);
  EXPECT_EXIT(raise(SIGINT), testing::ExitedWithCode(128 + SIGINT), "");
  GameManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("GameManager::run(): Signal 15 received, ending the game."), 2);
}

TEST(GameManagerRun, FramesSleepWhatIsLeftAndReportOverruns) {
  zv::platform::setMonotonicClock([] { return virtual_now; });
  zv::platform::setSleeper([](int ms) {
    sleeps.push_back(ms);
    virtual_now += ms * 1000 + oversleep_us;
  });
  // Frame time, oversleep, each frame's work (us), the sleeps (ms) and the "Can't keep up!" split, if any.
  const struct { int frame_time, oversleep_us; std::vector<int> work_us, sleeps; const char* split; } cases[] = {
      {33, 0, {10000, 5500, 0}, {23, 27, 33}, nullptr},    {33, 2000, {0, 0, 0}, {33, 31, 31}, nullptr},
      {33, 0, {40000, 50000, 10000}, {23}, "split 50 ms"},  // never in the first frame
      {33, 3000, {0, 31000, 40000}, {33}, "split 40 ms"},   // none right after an oversleep
      {33, 0, {32500}, {0}, nullptr},                       {0, 0, {5000, 5000, 5000}, {}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.work_us));
    virtual_now = 1000000000;
    oversleep_us = c.oversleep_us;
    sleeps.clear();
    ASSERT_EQ(zvtest::startHeadless("frame_time:" + std::to_string(c.frame_time) + ","), 0);
    zvtest::onEveryStep([&](int step) {
      virtual_now += c.work_us[static_cast<std::size_t>(step)];
      GameManager::getInstance().setGameOver(step + 1 >= static_cast<int>(c.work_us.size()));
    });
    GameManager::getInstance().run();
    GameManager::getInstance().shutDown();
    EXPECT_EQ(sleeps, c.sleeps);
    EXPECT_EQ(zvtest::logCount("Can't keep up!"), c.split ? 1 : 0);
    EXPECT_TRUE(!c.split || zvtest::logContains(std::string("GameManager::run(): Can't keep up! frame_time 33 ms, ") +
                                                c.split));
  }
  virtual_now = 5000000000;  // past 32 bits of microseconds
  zv::Clock clock;
  virtual_now += 1000;
  EXPECT_EQ(std::vector<long>({clock.split(), clock.delta()}), std::vector<long>({1000, 1000}));
  virtual_now += 250;
  EXPECT_EQ(std::vector<long>({clock.delta(), clock.split()}), std::vector<long>({250, 0}));
}
