#include "TestSupport.h"

#include <chrono>
#include <new>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/world/ObjectListIterator.h>

namespace zvtest {

std::string readFile(const std::string& path) {
  std::stringstream buffer;
  buffer << std::ifstream(path, std::ios::binary).rdbuf();
  return buffer.str();
}

void writeFile(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

std::vector<std::string> logMessages(const std::string& path) {
  fflush(nullptr);
  std::vector<std::string> messages;
  std::istringstream in(readFile(path));
  std::string line;
  while (std::getline(in, line)) {
    // "hh:mm:ss " then the step count in at least four columns and a blank.
    if (line.size() >= 14 && line[2] == ':' && line[5] == ':' && line[8] == ' ') {
      std::string::size_type i = line.find_first_not_of("-0123456789", line.find_first_not_of(' ', 9));
      line = i == std::string::npos ? "" : line.substr(i + 1);
    }
    messages.push_back(line);
  }
  return messages;
}

bool logContains(const std::string& text, const std::string& path) { return logCount(text, path) > 0; }

int logCount(const std::string& text, const std::string& path) {
  int count = 0;
  for (const std::string& message : logMessages(path))
    count += message.find(text) != std::string::npos;
  return count;
}

bool fail_nothrow_new = false;

std::vector<zv::Object*> objectsIn(const zv::ObjectList& list) {
  std::vector<zv::Object*> out;
  zv::ObjectListIterator li(&list);
  for (li.first(); !li.isDone(); li.next())
    out.push_back(li.currentObject());
  return out;
}

bool waitUntil(const std::function<bool()>& done, int ms) {
  for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms); !done(); usleep(1000))
    if (std::chrono::steady_clock::now() > end)
      return false;
  return true;
}

int startHeadless(const std::string& extra_config) {
  bool timed = extra_config.find("frame_time") != std::string::npos;
  writeFile("zv-config.txt", "headless:true," + extra_config + (timed ? "" : "frame_time:0,"));
  return zv::GameManager::getInstance().startUp();
}

int Recorder::eventHandler(const zv::Event* p_e) {
  received.push_back(p_e->getType());
  if (p_e->getType() != zv::STEP_EVENT)
    return 1;
  last_step = static_cast<const zv::EventStep*>(p_e)->getStepCount();
  if (on_step)
    on_step(last_step);
  if (++step_events >= stop_after_steps && stop_after_steps >= 0)
    zv::GameManager::getInstance().setGameOver(true);
  return 1;
}

Recorder* onEveryStep(std::function<void(int)> f) {
  Recorder* p_r = new Recorder;
  p_r->setSolidness(zv::SPECTRAL);
  p_r->registerInterest(zv::STEP_EVENT);
  p_r->on_step = std::move(f);
  return p_r;
}

} // namespace zvtest

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return zvtest::fail_nothrow_new ? nullptr : ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}
