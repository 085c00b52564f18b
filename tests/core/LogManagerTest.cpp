#include <cstdlib>
#include <cstdio>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/LogManager.h>

using zv::LogManager;

namespace {
// "hh:mm:ss", a blank, then the given rest.
bool isLine(const std::string& line, const std::string& rest) {
  int h = -1, m = -1, s = -1;
  return line.size() >= 9 && sscanf(line.c_str(), "%2d:%2d:%2d", &h, &m, &s) == 3 && line[2] == ':' && line[5] == ':' &&
         line[8] == ' ' && h < 24 && m < 60 && s < 61 && line.substr(9) == rest;
}
std::string stderrOf(const char* message) {
  testing::internal::CaptureStderr();
  LogManager::getInstance().writeLog("%s", message);
  return testing::internal::GetCapturedStderr();
}
} // namespace

TEST(LogManager, LinesLevelsAndStartStop) {
  zvtest::writeFile("zelvra.log", "old content\n");
  LogManager& log = LogManager::getInstance();
  // Before start-up lines go to stderr, with the step count in four columns.
  EXPECT_TRUE(isLine(stderrOf("early line"), "   0 early line\n"));
  ASSERT_EQ(log.startUp(), 0);
  EXPECT_EQ(std::vector<int>({log.startUp(), log.writeLog("hello %d", 42), log.writeLog(1, "not written"),
                              log.writeLog(0, "level zero")}),
            std::vector<int>({-1, 8, 0, 10}));
  log.setLogLevel(5);
  EXPECT_EQ(std::vector<int>({log.writeLog(5, "now written"), log.writeLog(6, "too fine")}), std::vector<int>({11, 0}));
  EXPECT_EQ(stderrOf("in the file"), "");
  log.shutDown();
  EXPECT_TRUE(isLine(stderrOf("late line"), "   0 late line\n"));
  std::string content = zvtest::readFile("zelvra.log");
  EXPECT_TRUE(isLine(content.substr(0, content.find('\n') + 1),
                     "   0 LogManager::startup(): Warning! LogManager already started.\n")) << content;
  EXPECT_EQ(zvtest::logMessages(), (std::vector<std::string>{
                                       "LogManager::startup(): Warning! LogManager already started.", "hello 42",
                                       "level zero", "now written", "in the file",
                                       "LogManager::shutDown(): successfully stopped."}));
  // The environment names the file.
  setenv("ZELVRA_LOG", "other.log", 1);
  ASSERT_EQ(LogManager::getInstance().startUp(), 0);
  LogManager::getInstance().writeLog("to the other file");
  LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("to the other file", "other.log"));
  EXPECT_FALSE(zvtest::logContains("to the other file"));
}
