// Frame pacing of the real game loop: 300 headless frames at the configured
// frame time (33 ms unless given as the first argument), one object
// registered for step events. Prints the mean, median and 99th percentile
// frame period and the number of "Can't keep up!" lines in the log.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/world/Object.h>

namespace {

const int FRAMES = 300;

class Stamper : public zv::Object {
 public:
  std::vector<std::chrono::steady_clock::time_point> stamps;
  Stamper() { registerInterest(zv::STEP_EVENT); }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    stamps.push_back(std::chrono::steady_clock::now());
    if (static_cast<int>(stamps.size()) > FRAMES)
      zv::GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

int countLines(const std::string& path, const std::string& text) {
  std::ifstream in(path);
  std::string line;
  int count = 0;
  while (std::getline(in, line))
    if (line.find(text) != std::string::npos)
      count++;
  return count;
}

} // namespace

int main(int argc, char* argv[]) {
  int frame_time = argc > 1 ? atoi(argv[1]) : 33;
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0) {
    fprintf(stderr, "cannot make a work folder\n");
    return 1;
  }
  {
    std::ofstream config("zv-config.txt");
    config << "headless:true,frame_time:" << frame_time << ",";
  }
  zv::GameManager& gm = zv::GameManager::getInstance();
  if (gm.startUp() != 0) {
    fprintf(stderr, "engine did not start\n");
    return 1;
  }
  zv::LogManager::getInstance().setFlush(true);
  Stamper* stamper = new Stamper;
  gm.run();
  std::vector<double> periods;
  for (std::size_t i = 1; i < stamper->stamps.size(); i++)
    periods.push_back(std::chrono::duration<double, std::milli>(stamper->stamps[i] - stamper->stamps[i - 1]).count());
  gm.shutDown();

  std::sort(periods.begin(), periods.end());
  double sum = 0;
  for (double p : periods)
    sum += p;
  double mean = sum / static_cast<double>(periods.size());
  double median = periods[periods.size() / 2];
  double p99 = periods[std::min(periods.size() - 1, static_cast<std::size_t>(periods.size() * 0.99))];
  int cant_keep_up = countLines("zelvra.log", "Can't keep up!");
  printf("frames: %zu at frame_time %d ms\n", periods.size(), frame_time);
  printf("mean period:   %.3f ms (%.2f %% off target)\n", mean, 100.0 * (mean - frame_time) / frame_time);
  printf("median period: %.3f ms\n", median);
  printf("99th pct:      %.3f ms\n", p99);
  printf("max period:    %.3f ms\n", periods.back());
  printf("\"Can't keep up!\" lines: %d\n", cant_keep_up);
  std::string cleanup = std::string("rm -rf '") + dir_template + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
