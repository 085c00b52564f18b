// The frame work of a busy run of the real game in a real window: 20 road
// obstacles, a missile, both gauges and the 500 particles of the racer's
// end. Runs at frame time 0, so each frame's period is its work alone
// (everything but the sleep). Needs an X display (scripts/with-display.sh).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "Fuel.h"
#include "GameResources.h"
#include "Missile.h"
#include "Obstacles.h"
#include "Points.h"
#include "Racer.h"
#include "Spawner.h"
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/effects/Particles.h>
#include <zelvra/world/WorldManager.h>

namespace {

const int FRAMES = 300;

class Stamper : public zv::Object {
 public:
  std::vector<std::chrono::steady_clock::time_point> stamps;
  Stamper() {
    setSolidness(zv::SPECTRAL);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    stamps.push_back(std::chrono::steady_clock::now());
    if (static_cast<int>(stamps.size()) > FRAMES)
      zv::GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double m : ms)
    sum += m;
  printf("%-34s mean %6.2f ms  median %6.2f ms  max %6.2f ms  (%.0f %% of 33 ms)\n", what,
         sum / static_cast<double>(ms.size()), ms[ms.size() / 2], ms.back(), 100.0 * sum / ms.size() / 33.0);
}

} // namespace

int main() {
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0)
    return 1;
  if (symlink(ZELVRA_RUN_DIR "/sprites", "sprites") != 0 || symlink(ZELVRA_RUN_DIR "/sounds", "sounds") != 0)
    return 1;
  {
    std::ofstream config("zv-config.txt");
    config << "frame_time:0,random_seed:7,font_file:" << ZELVRA_RUN_DIR << "/zv-font.ttf,";
  }
  zv::GameManager& gm = zv::GameManager::getInstance();
  if (gm.startUp() != 0) {
    fprintf(stderr, "engine did not start (is there a display?)\n");
    return 1;
  }
  loadResources();
  Stamper* stamper = new Stamper;

  // A run in full swing: racer, gauges, 20 obstacles spread over the road, a missile.
  new Points;
  Racer* racer = new Racer;
  Spawner::getInstance().startRun(racer);
  Spawner::getInstance().setActive(false);  // a fixed load, nothing new
  zv::WorldManager& world = zv::WorldManager::getInstance();
  for (int i = 0; i < 20; i++) {
    RoadObstacle* p_o = nullptr;
    switch (i % 4) {
      case 0: p_o = new Cones; break;
      case 1: p_o = new OilSlick; break;
      case 2: p_o = new Spiketrap; break;
      default: p_o = new Gas; break;
    }
    world.moveObject(p_o, zv::Vector(20.0f + 3.0f * i, 5.0f + (i * 7) % 16));
  }
  Missile* missile = new Missile;
  world.moveObject(missile, zv::Vector(74, 6));

  gm.run();
  std::vector<double> quiet;
  for (std::size_t i = 2; i < stamper->stamps.size(); i++)
    quiet.push_back(std::chrono::duration<double, std::milli>(stamper->stamps[i] - stamper->stamps[i - 1]).count());

  // The racer's end: four bursts, 500 particles.
  zv::Vector here = racer->getPosition();
  zv::addParticles(zv::BURST, here, 2.0f, zv::YELLOW);
  zv::addParticles(zv::BURST, here, 2.0f, zv::YELLOW);
  zv::addParticles(zv::BURST, here, 3.0f, zv::RED);
  zv::addParticles(zv::BURST, here, 3.0f, zv::RED);
  int particles = world.objectsOfType("Particle").getCount();
  stamper->stamps.clear();
  gm.run();
  std::vector<double> busy;
  // The first 14 frames: every particle still alive (the shortest live 15).
  for (std::size_t i = 1; i < stamper->stamps.size() && i <= 14; i++)
    busy.push_back(std::chrono::duration<double, std::milli>(stamper->stamps[i] - stamper->stamps[i - 1]).count());
  gm.shutDown();

  printf("objects: %d road objects, 1 missile, 2 gauges, racer; %d particles\n", 20, particles);
  report("frame work, run in full swing:", quiet);
  report("frame work, with 500 particles:", busy);
  std::string cleanup = std::string("rm -rf '") + dir_template + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
