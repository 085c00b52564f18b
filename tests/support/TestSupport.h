// Helpers shared by the test executables.
#ifndef ZV_TEST_SUPPORT_H
#define ZV_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "core/Event.h"
#include "world/Object.h"

namespace zvtest {

// Whole content of a file ("" when missing).
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
// The log file's lines with the time and step prefix removed.
std::vector<std::string> logMessages(const std::string& path = "zelvra.log");
bool logContains(const std::string& text, const std::string& path = "zelvra.log");
int logCount(const std::string& text, const std::string& path = "zelvra.log");

// The keys of a serialized key:value text, in order.
std::vector<std::string> keysOf(const std::string& text);

// Starts the engine headless with the given configuration text (frame
// time 0 unless the text says otherwise); returns GameManager::startUp's result.
int startHeadless(const std::string& extra_config = "");

// An object that records the events it receives.
class Recorder : public zv::Object {
 public:
  std::vector<std::string> received;
  int step_events = 0;
  int last_step = -1;
  int stop_after_steps = -1;  // sets game over when step_events reaches it
  int eventHandler(const zv::Event* p_e) override;
};

} // namespace zvtest

#endif
