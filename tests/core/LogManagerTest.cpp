#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LogManager.h"

using zv::LogManager;

namespace {
// "hh:mm:ss", a blank, then the given rest.
bool isLine(const std::string& line, const std::string& rest) {
  if (line.size() < 9 || line[2] != ':' || line[5] != ':' || line[8] != ' ' || line.substr(9) != rest)
    return false;
  for (std::size_t i : {0, 1, 3, 4, 6, 7})
    if (line[i] < '0' || line[i] > '9')
      return false;
  return line[0] <= '2' && line[3] <= '5' && line[6] <= '6';
}
} // namespace

TEST(LogManager, LinesLevelsAndStartStop) {
  zvtest::writeFile("zelvra.log", "old content\n");
  LogManager& log = LogManager::getInstance();
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(log.startUp(), -1);
  EXPECT_EQ(log.writeLog("hello %d", 42), 8);
  EXPECT_EQ(log.writeLog(1, "not written"), 0);
  EXPECT_EQ(log.writeLog(0, "level zero"), 10);
  log.setLogLevel(5);
  EXPECT_EQ(log.writeLog(5, "now written"), 11);
  EXPECT_EQ(log.writeLog(6, "too fine"), 0);
  log.shutDown();
  std::string content = zvtest::readFile("zelvra.log");
  // Time of day, a blank, the step count in four columns, a blank, the message.
  EXPECT_TRUE(isLine(content.substr(0, content.find('\n') + 1), "   0 LogManager::startup(): Warning! LogManager "
                                                                "already started.\n")) << content;
  EXPECT_EQ(zvtest::logMessages(), (std::vector<std::string>{"LogManager::startup(): Warning! LogManager already started.",
                                                              "hello 42", "level zero", "now written",
                                                              "LogManager::shutDown(): successfully stopped."}));
}

TEST(LogManager, LinesBeforeStartAndAfterStopGoToStderr) {
  testing::internal::CaptureStderr();
  LogManager::getInstance().writeLog("early line");
  std::string before = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(isLine(before, "   0 early line\n")) << before;
  LogManager::getInstance().setLogLevel(5);
  LogManager::getInstance().startUp();
  testing::internal::CaptureStderr();
  LogManager::getInstance().writeLog("in the file");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  LogManager::getInstance().shutDown();
  testing::internal::CaptureStderr();
  LogManager::getInstance().writeLog("late line");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("    0 late line\n"), std::string::npos);
  EXPECT_EQ(zvtest::logMessages(), (std::vector<std::string>{"LogManager::startUp(): successfully started.",
                                                              "in the file",
                                                              "LogManager::shutDown(): successfully stopped."}));
}

TEST(LogManager, EnvironmentNamesTheLogFile) {
  setenv("ZELVRA_LOG", "other.log", 1);
  ASSERT_EQ(LogManager::getInstance().startUp(), 0);
  LogManager::getInstance().writeLog("to the other file");
  LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("to the other file", "other.log"));
  EXPECT_EQ(zvtest::readFile("zelvra.log"), "");

  setenv("ZELVRA_LOG", "no-such-dir/x.log", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LogManager::getInstance().startUp(), -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "LogManager::startup(): Warning! Unable to open file 'no-such-dir/x.log'."),
            std::string::npos);
  EXPECT_FALSE(LogManager::getInstance().isStarted());
}
