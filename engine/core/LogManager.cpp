#include <zelvra/core/LogManager.h>

#include <cstdlib>
#include <string>

#include <zelvra/core/Config.h>
#include <zelvra/core/InstalledData.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/platform/Platform.h>

namespace zv {

const char* getTimeString() {
  static char time_str[30];
  int hour, minute, second;
  if (!platform::localTimeOfDay(platform::calendarSeconds(), hour, minute, second))
    return "(time error)";
  snprintf(time_str, sizeof(time_str), "%02d:%02d:%02d", hour, minute, second);
  return time_str;
}

LogManager::LogManager()
    : do_flush(false), log_level(0), log_time_string(true), log_step_count(true), p_f(nullptr) {
  setType("LogManager");
}

LogManager& LogManager::getInstance() {
  static LogManager instance;
  return instance;
}

LogManager::~LogManager() {
  if (p_f) {
    fclose(p_f);
    p_f = nullptr;
  }
}

int LogManager::startUp() {
  if (warnIfStarted())
    return -1;
  std::string filename = InstalledData::getInstance().logFile(Config::getInstance().getLogFile());
  p_f = fopen(filename.c_str(), "w");
  if (!p_f) {
    writeLog("LogManager::startup(): Warning! Unable to open file '%s'.", filename.c_str());
    return -1;
  }
  Manager::startUp();
  writeLog(5, "LogManager::startUp(): successfully started.");
  return 0;
}

void LogManager::shutDown() {
  Manager::shutDown();
  writeLog(5, "LogManager::shutDown(): successfully stopped.");
  if (p_f) {
    fclose(p_f);
    p_f = nullptr;
  }
}

void LogManager::setFlush(bool new_do_flush) { do_flush = new_do_flush; }
void LogManager::setLogLevel(int new_log_level) { log_level = new_log_level; }
int LogManager::getLogLevel() const { return log_level; }

int LogManager::writeLine(const char* fmt, va_list args) {
  FILE* out = p_f ? p_f : stderr;
  bool failed = false;
  if (log_time_string && fprintf(out, "%s ", getTimeString()) < 0)
    failed = true;
  if (log_step_count && fprintf(out, "%4d ", GameManager::getInstance().getStepCount()) < 0)
    failed = true;
  int count = vfprintf(out, fmt, args);
  if (count < 0)
    failed = true;
  if (fputc('\n', out) == EOF)
    failed = true;
  // Until the engine has started every line goes out at once, so a start-up
  // that dies leaves its reason in the file.
  if (do_flush || !GameManager::getInstance().isStarted())
    fflush(out);
  return failed ? -1 : count;
}

int LogManager::writeLog(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  int result = writeLine(fmt, args);
  va_end(args);
  return result;
}

int LogManager::writeLog(int level, const char* fmt, ...) {
  if (level > log_level)
    return 0;
  va_list args;
  va_start(args, fmt);
  int result = writeLine(fmt, args);
  va_end(args);
  return result;
}

} // namespace zv
