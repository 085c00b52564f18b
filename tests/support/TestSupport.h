// Helpers shared by the test executables.
#ifndef ZV_TEST_SUPPORT_H
#define ZV_TEST_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

#include <zelvra/core/Event.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/ObjectList.h>

// The results of several calls, made left to right, so that each is checked
// on its own: EXPECT_EQ((Codes{a(), b()}), (Codes{0, -1})).
using Codes = std::vector<int>;

namespace zvtest {

std::string readFile(const std::string& path);  // "" when missing
void writeFile(const std::string& path, const std::string& content);
// The log file's lines without their time and step count.
std::vector<std::string> logMessages(const std::string& path = "zelvra.log");
bool logContains(const std::string& text, const std::string& path = "zelvra.log");
int logCount(const std::string& text, const std::string& path = "zelvra.log");
// The objects of a list, in its order.
std::vector<zv::Object*> objectsIn(const zv::ObjectList& list);
// Polls done() every millisecond until it holds (true) or ms have passed (false).
bool waitUntil(const std::function<bool()>& done, int ms = 3000);
// While set, allocations that ask not to throw fail, as with no memory left.
extern bool fail_nothrow_new;
// GameManager::startUp()'s result, headless, frame time 0 unless the text says otherwise.
int startHeadless(const std::string& extra_config = "");

// Records the events it receives, runs on_step with each step count, and sets
// game over when step_events reaches stop_after_steps.
class Recorder : public zv::Object {
 public:
  std::vector<std::string> received;
  int step_events = 0, last_step = -1, stop_after_steps = -1;
  std::function<void(int)> on_step;
  int eventHandler(const zv::Event* p_e) override;
};
// A spectral Recorder that runs f on every step.
Recorder* onEveryStep(std::function<void(int)> f);

} // namespace zvtest

#endif
