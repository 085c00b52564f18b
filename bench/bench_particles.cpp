// Cost of particle effects on the headless engine: making a preset batch,
// and one frame's world update with a few thousand particles alive.
#include <cstdio>
#include <string>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/effects/Particles.h>
#include <zelvra/world/ObjectListIterator.h>
#include <zelvra/world/WorldManager.h>

namespace {

bool startEngine() {
  static bool started = false;
  if (started)
    return true;
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0)
    return false;
  FILE* config = fopen("zv-config.txt", "w");
  if (!config)
    return false;
  fputs("headless:true,frame_time:0,random_seed:7,", config);
  fclose(config);
  started = zv::GameManager::getInstance().startUp() == 0;
  return started;
}

void clearWorld() {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  zv::ObjectList all = world.getAllObjects(true);
  zv::ObjectListIterator li(&all);
  for (li.first(); !li.isDone(); li.next())
    world.markForDelete(li.currentObject());
  world.update();
}

// One BURST at scale 2: 100 particles made and placed.
void BM_BurstOfHundred(benchmark::State& state) {
  if (!startEngine()) {
    state.SkipWithError("engine did not start");
    return;
  }
  for (auto _ : state) {
    zv::addParticles(zv::BURST, zv::Vector(40, 12), 2, zv::RED);
    state.PauseTiming();
    clearWorld();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_BurstOfHundred);

// A step event and a world update with state.range(0) particles alive.
void BM_FrameWithParticles(benchmark::State& state) {
  if (!startEngine()) {
    state.SkipWithError("engine did not start");
    return;
  }
  int count = static_cast<int>(state.range(0));
  zv::Vector at(40, 12);
  zv::addParticles(count, 0, at, 10, zv::Vector(0, 0), 0, 3, 0, 0.01f, 0, 1000000, 0, 255, 0, 255, 0, 0, 0,
                   zv::PARTICLE);
  zv::GameManager& game = zv::GameManager::getInstance();
  zv::WorldManager& world = zv::WorldManager::getInstance();
  int step = 0;
  for (auto _ : state) {
    zv::EventStep event(step++);
    game.onEvent(&event);
    world.update();
  }
  state.SetItemsProcessed(state.iterations() * count);
  clearWorld();
}
// 300 frames move a particle 3 cells at most: all stay in the world.
BENCHMARK(BM_FrameWithParticles)->Arg(1000)->Arg(5000)->Iterations(300);

} // namespace

BENCHMARK_MAIN();
