// WorldManager::update() per frame with 100 to 10,000 moving objects,
// headless: one in ten of them solid (HARD) in an 80 x 24 world, and all of
// them solid in that world scaled up with their number, so that the crowd
// keeps its density. The crowd is SOFT: its members meet and hear of it
// but pass, so that it stays spread rather than jamming into ever larger
// piles. Objects wrap around the world's edges.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include <zelvra/core/GameManager.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

namespace {

// Moves like any object; comes back in on the other side when it leaves.
class Mover : public zv::Object {
 public:
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::OUT_EVENT) {
      zv::Box world = zv::WorldManager::getInstance().getBoundary();
      float w = world.getHorizontal(), h = world.getVertical();
      zv::Vector p = getPosition();
      float x = p.getX() < 0 ? p.getX() + w : (p.getX() >= w ? p.getX() - w : p.getX());
      float y = p.getY() < 0 ? p.getY() + h : (p.getY() >= h ? p.getY() - h : p.getY());
      setPosition(zv::Vector(x, y));
    }
    return 0;
  }
};

void run(benchmark::State& state, int width, int height, int solid_every, zv::Solidness solid) {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.setBoundary(zv::Box(zv::Vector(0, 0), static_cast<float>(width), static_cast<float>(height)));
  int count = static_cast<int>(state.range(0));
  srand(7);
  std::vector<Mover*> movers;
  for (int i = 0; i < count; i++) {
    Mover* p = new Mover;
    p->setPosition(zv::Vector(static_cast<float>(rand() % width), static_cast<float>(rand() % height)));
    float vx = static_cast<float>(rand() % 200 - 100) / 200.0f;
    float vy = static_cast<float>(rand() % 200 - 100) / 400.0f;
    p->setVelocity(zv::Vector(vx, vy));
    p->setSolidness(i % solid_every == 0 ? solid : zv::SPECTRAL);
    movers.push_back(p);
  }
  for (auto _ : state)
    world.update();
  for (Mover* p : movers)
    world.markForDelete(p);
  world.update();
  state.counters["objects"] = count;
}

void WorldUpdate(benchmark::State& state) { run(state, 80, 24, 10, zv::HARD); }

void WorldUpdateAllSolid(benchmark::State& state) {
  float scale = std::sqrt(static_cast<float>(state.range(0)) / 100.0f);
  run(state, static_cast<int>(80 * scale), static_cast<int>(24 * scale), 1, zv::SOFT);
}

BENCHMARK(WorldUpdate)->Arg(100)->Arg(500)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(WorldUpdateAllSolid)->Arg(100)->Arg(500)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
