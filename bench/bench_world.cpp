// WorldManager::update() per frame with 100, 500 and 2000 moving objects,
// one in ten of them solid (HARD), the rest spectral; headless. Objects
// wrap around the 80 x 24 world so that the population stays in place.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/GameManager.h"
#include "world/Object.h"
#include "world/WorldManager.h"

namespace {

// Moves like any object; comes back in on the other side when it leaves.
class Mover : public zv::Object {
 public:
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::OUT_EVENT) {
      zv::Vector p = getPosition();
      float x = p.getX() < 0 ? p.getX() + 80 : (p.getX() >= 80 ? p.getX() - 80 : p.getX());
      float y = p.getY() < 0 ? p.getY() + 24 : (p.getY() >= 24 ? p.getY() - 24 : p.getY());
      setPosition(zv::Vector(x, y));
    }
    return 0;
  }
};

void WorldUpdate(benchmark::State& state) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  int count = static_cast<int>(state.range(0));
  srand(7);
  std::vector<Mover*> movers;
  for (int i = 0; i < count; i++) {
    Mover* p = new Mover;
    p->setPosition(zv::Vector(static_cast<float>(rand() % 80), static_cast<float>(rand() % 24)));
    float vx = static_cast<float>(rand() % 200 - 100) / 200.0f;
    float vy = static_cast<float>(rand() % 200 - 100) / 400.0f;
    p->setVelocity(zv::Vector(vx, vy));
    p->setSolidness(i % 10 == 0 ? zv::HARD : zv::SPECTRAL);
    movers.push_back(p);
  }
  for (auto _ : state)
    world.update();
  for (Mover* p : movers)
    world.markForDelete(p);
  world.update();
  state.counters["objects"] = count;
}

BENCHMARK(WorldUpdate)->Arg(100)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0) {
    fprintf(stderr, "cannot make a work folder\n");
    return 1;
  }
  {
    std::ofstream config("zv-config.txt");
    config << "headless:true,frame_time:0,";
  }
  if (zv::GameManager::getInstance().startUp() != 0) {
    fprintf(stderr, "engine did not start (see %s/zelvra.log)\n", dir_template);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  zv::GameManager::getInstance().shutDown();
  std::string cleanup = std::string("rm -rf '") + dir_template + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
