#include "TestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/Config.h"
#include "core/EventStep.h"
#include "core/GameManager.h"

namespace zvtest {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::vector<std::string> logMessages(const std::string& path) {
  fflush(nullptr);
  std::vector<std::string> messages;
  std::istringstream in(readFile(path));
  std::string line;
  while (std::getline(in, line)) {
    // "hh:mm:ss " then the step count in at least four columns and a blank.
    if (line.size() >= 14 && line[2] == ':' && line[5] == ':' && line[8] == ' ') {
      std::string::size_type i = 9;
      while (i < line.size() && line[i] == ' ')
        i++;
      while (i < line.size() && (line[i] == '-' || (line[i] >= '0' && line[i] <= '9')))
        i++;
      messages.push_back(i + 1 <= line.size() ? line.substr(i + 1) : "");
    } else {
      messages.push_back(line);
    }
  }
  return messages;
}

bool logContains(const std::string& text, const std::string& path) { return logCount(text, path) > 0; }

int logCount(const std::string& text, const std::string& path) {
  int count = 0;
  for (const std::string& message : logMessages(path))
    if (message.find(text) != std::string::npos)
      count++;
  return count;
}

std::vector<std::string> keysOf(const std::string& text) {
  std::vector<std::string> keys;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type comma = text.find(',', start);
    std::string entry = text.substr(start, comma - start);
    keys.push_back(entry.substr(0, entry.find(':')));
    start = comma + 1;
  }
  return keys;
}

int startHeadless(const std::string& extra_config) {
  std::string config = "headless:true," + extra_config;
  if (extra_config.find("frame_time") == std::string::npos)
    config += "frame_time:0,";
  writeFile("zv-config.txt", config);
  return zv::GameManager::getInstance().startUp();
}

int Recorder::eventHandler(const zv::Event* p_e) {
  received.push_back(p_e->getType());
  if (p_e->getType() == zv::STEP_EVENT) {
    step_events++;
    last_step = static_cast<const zv::EventStep*>(p_e)->getStepCount();
    if (stop_after_steps >= 0 && step_events >= stop_after_steps)
      zv::GameManager::getInstance().setGameOver(true);
  }
  return 1;
}

} // namespace zvtest
