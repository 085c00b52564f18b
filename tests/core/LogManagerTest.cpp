#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LogManager.h"

using zv::LogManager;

namespace {
// "hh:mm:ss" with digits where they belong.
bool isClock(const std::string& t) {
  if (t.size() != 8 || t[2] != ':' || t[5] != ':')
    return false;
  for (int i : {0, 1, 3, 4, 6, 7})
    if (t[static_cast<std::size_t>(i)] < '0' || t[static_cast<std::size_t>(i)] > '9')
      return false;
  return t[0] <= '2' && t[3] <= '5' && t[6] <= '6';
}

// A line of the log: the time, a blank, then the given rest.
bool isLine(const std::string& line, const std::string& rest) {
  return line.size() > 9 && isClock(line.substr(0, 8)) && line[8] == ' ' && line.substr(9) == rest;
}

std::string captureStderr(void (*action)()) {
  testing::internal::CaptureStderr();
  action();
  return testing::internal::GetCapturedStderr();
}
} // namespace

TEST(LogManager, LineHasTimeStepCountAndMessage) {
  LogManager& log = LogManager::getInstance();
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(log.writeLog("hello %d", 42), 8);
  log.shutDown();
  std::string content = zvtest::readFile("zelvra.log");
  // Time of day, a blank, the step count in four columns, a blank, the message.
  EXPECT_TRUE(isLine(content, "   0 hello 42\n")) << content;
}

TEST(LogManager, LevelsAboveTheLogLevelAreSuppressed) {
  LogManager& log = LogManager::getInstance();
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(log.writeLog(1, "not written"), 0);
  EXPECT_EQ(log.writeLog(0, "level zero"), 10);
  log.setLogLevel(5);
  EXPECT_EQ(log.writeLog(5, "now written"), 11);
  EXPECT_EQ(log.writeLog(6, "too fine"), 0);
  log.shutDown();
  EXPECT_FALSE(zvtest::logContains("not written"));
  EXPECT_TRUE(zvtest::logContains("level zero"));
  EXPECT_TRUE(zvtest::logContains("now written"));
  EXPECT_FALSE(zvtest::logContains("too fine"));
}

TEST(LogManager, StartAndStopMessagesAppearAtLevelFive) {
  LogManager& log = LogManager::getInstance();
  log.setLogLevel(5);
  ASSERT_EQ(log.startUp(), 0);
  log.shutDown();
  EXPECT_TRUE(zvtest::logContains("LogManager::startUp(): successfully started."));
  EXPECT_TRUE(zvtest::logContains("LogManager::shutDown(): successfully stopped."));
}

TEST(LogManager, SecondStartUpFailsWithWarning) {
  LogManager& log = LogManager::getInstance();
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(log.startUp(), -1);
  log.shutDown();
  EXPECT_TRUE(zvtest::logContains("LogManager::startup(): Warning! LogManager already started."));
}

TEST(LogManager, LinesBeforeStartAndAfterStopGoToStderr) {
  std::string before = captureStderr([] { LogManager::getInstance().writeLog("early line"); });
  EXPECT_TRUE(isLine(before, "   0 early line\n")) << before;
  LogManager::getInstance().startUp();
  std::string during = captureStderr([] { LogManager::getInstance().writeLog("in the file"); });
  EXPECT_EQ(during, "");
  LogManager::getInstance().shutDown();
  std::string after = captureStderr([] { LogManager::getInstance().writeLog("late line"); });
  EXPECT_NE(after.find("    0 late line\n"), std::string::npos);
  EXPECT_FALSE(zvtest::logContains("late line"));
}

TEST(LogManager, EnvironmentNamesTheLogFile) {
  setenv("ZELVRA_LOG", "other.log", 1);
  ASSERT_EQ(LogManager::getInstance().startUp(), 0);
  LogManager::getInstance().writeLog("to the other file");
  LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("to the other file", "other.log"));
  EXPECT_EQ(zvtest::readFile("zelvra.log"), "");
}

TEST(LogManager, UnopenableFileFailsStartUp) {
  setenv("ZELVRA_LOG", "no-such-dir/x.log", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LogManager::getInstance().startUp(), -1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("LogManager::startup(): Warning! Unable to open file 'no-such-dir/x.log'."), std::string::npos);
  EXPECT_FALSE(LogManager::getInstance().isStarted());
}

TEST(LogManager, StartUpReplacesEarlierContent) {
  zvtest::writeFile("zelvra.log", "old content\n");
  LogManager::getInstance().startUp();
  LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::readFile("zelvra.log").find("old content"), std::string::npos);
}

TEST(LogManager, FlushMakesLinesVisibleAtOnce) {
  LogManager& log = LogManager::getInstance();
  log.startUp();
  log.setFlush(true);
  log.writeLog("flushed line");
  // Read while the file is still open: only a flushed line is there.
  EXPECT_NE(zvtest::readFile("zelvra.log").find("flushed line"), std::string::npos);
  log.shutDown();
}

TEST(LogManager, TimeStringIsClockFormat) {
  std::string t = zv::getTimeString();
  EXPECT_TRUE(isClock(t)) << t;
}
