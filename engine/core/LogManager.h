// The log: one text file, each line prefixed with the time of day and the
// game loop's step count. Before start-up and after shut-down lines go to
// the standard error stream in the same format.
#ifndef ZV_LOG_MANAGER_H
#define ZV_LOG_MANAGER_H

#include <cstdarg>
#include <cstdio>

#include <zelvra/core/Manager.h>

#define ZV_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))

namespace zv {

// Local time of day as hh:mm:ss, or "(time error)"; one static buffer.
const char* getTimeString();

class LogManager : public Manager {
 private:
  bool do_flush;
  int log_level;
  bool log_time_string;
  bool log_step_count;
  FILE* p_f;

  LogManager();
  LogManager(const LogManager&) = delete;
  void operator=(const LogManager&) = delete;
  int writeLine(const char* fmt, va_list args);

 public:
  static LogManager& getInstance();
  ~LogManager() override;

  int startUp() override;
  void shutDown() override;

  void setFlush(bool do_flush = true);
  void setLogLevel(int new_log_level);
  int getLogLevel() const;

  // Always written. Returns the message's character count, -1 on a write error.
  int writeLog(const char* fmt, ...) ZV_PRINTF(2, 3);
  // Written only when level is at most the log level; 0 when suppressed.
  int writeLog(int level, const char* fmt, ...) ZV_PRINTF(3, 4);
};

} // namespace zv

#endif
