// Path search cost: a search across an 80 x 24 world with 30 % of the cells
// HARD, and across a 200 x 200 world (empty, and 30 % HARD). Reports cells
// expanded per millisecond ("kcells", thousands a second) and the frames a search needs when each frame
// leaves it the spare time of an idle 33 ms frame (31 ms) or only the
// minimum cycle time (3 ms).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

#include <zelvra/core/Box.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/PathFind.h>
#include <zelvra/world/PathManager.h>
#include <zelvra/world/WorldManager.h>

namespace {

// The engine runs headless with its files in a scratch folder.
void startEngine() {
  static std::string folder;
  if (folder.empty()) {
    char name[] = "/tmp/zv-bench-XXXXXX";
    if (!mkdtemp(name))
      std::abort();
    folder = name;
    std::string config = folder + "/zv-config.txt";
    FILE* f = fopen(config.c_str(), "w");
    if (!f)
      std::abort();
    fputs("headless:true,frame_time:33,", f);
    fclose(f);
    setenv("ZELVRA_CONFIG", config.c_str(), 1);
    setenv("ZELVRA_LOG", (folder + "/zelvra.log").c_str(), 1);
  }
  if (zv::GameManager::getInstance().startUp() != 0)
    std::abort();
}

struct Layout {
  int width;
  int height;
  zv::Vector start;
  zv::Vector goal;
  zv::Object* p_mover;
  unsigned seed;
};

int searchOnce(zv::Object* p_mover, zv::Vector goal, std::size_t* expanded) {
  zv::PathFind search(p_mover, goal);
  int result;
  while ((result = search.cycleOnce()) == zv::PATH_SEARCHING) {
  }
  *expanded = search.getClosedList().size();
  return result;
}

// A world with the given share of HARD cells (start and goal kept free),
// with a seed for which the goal can be reached; walled adds a ring of
// HARD cells round the goal so that the search must fail.
Layout buildWorld(int width, int height, double hard_share, bool walled) {
  startEngine();
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.setBoundary(zv::Box(zv::Vector(0, 0), static_cast<float>(width), static_cast<float>(height)));
  Layout layout{width, height, zv::Vector(1, static_cast<float>(height / 2)),
                zv::Vector(static_cast<float>(width - 2), static_cast<float>(height / 2)), nullptr, 0};
  if (height == width) {
    layout.start = zv::Vector(1, 1);
    layout.goal = zv::Vector(static_cast<float>(width - 2), static_cast<float>(height - 2));
  }
  for (unsigned seed = 1;; seed++) {
    std::mt19937 random(seed);
    std::bernoulli_distribution hard(hard_share);
    for (int y = 0; y < height; y++) {
      for (int x = 0; x < width; x++) {
        zv::Vector here(static_cast<float>(x), static_cast<float>(y));
        float gx = layout.goal.getX(), gy = layout.goal.getY();
        bool near_goal = x >= gx - 1 && x <= gx + 1 && y >= gy - 1 && y <= gy + 1;
        bool ring = walled && near_goal && here != layout.goal;
        if (here == layout.start || (near_goal && !ring))
          continue;
        if (ring || hard(random))
          (new zv::Object)->setPosition(here);
      }
    }
    layout.p_mover = new zv::Object;
    layout.p_mover->setSolidness(zv::SPECTRAL);
    layout.p_mover->setPosition(layout.start);
    layout.seed = seed;
    std::size_t expanded;
    if (walled || searchOnce(layout.p_mover, layout.goal, &expanded) == zv::PATH_FOUND)
      return layout;
    zv::GameManager::getInstance().shutDown();
    startEngine();
    world.setBoundary(zv::Box(zv::Vector(0, 0), static_cast<float>(width), static_cast<float>(height)));
  }
}

void stopEngine() { zv::GameManager::getInstance().shutDown(); }

void report(benchmark::State& state, const Layout& layout, std::size_t expanded, int result) {
  state.counters["cells"] = static_cast<double>(expanded);
  // Thousands of cells a second, that is cells per millisecond.
  double thousands = static_cast<double>(expanded) / 1000.0 * static_cast<double>(state.iterations());
  state.counters["kcells"] = benchmark::Counter(thousands, benchmark::Counter::kIsRate);
  state.counters["found"] = result == zv::PATH_FOUND ? 1 : 0;
  state.counters["seed"] = layout.seed;
}

// Whole searches, one cell per step, as fast as they go.
void Search(benchmark::State& state, int width, int height, double hard_share, bool walled) {
  Layout layout = buildWorld(width, height, hard_share, walled);
  std::size_t expanded = 0;
  int result = 0;
  for (auto _ : state)
    result = searchOnce(layout.p_mover, layout.goal, &expanded);
  report(state, layout, expanded, result);
  stopEngine();
}

// Whole searches run by the PathManager, one cycle per frame with the given
// budget; "frames" is how many cycles a search needs.
void Frames(benchmark::State& state, int width, int height, double hard_share, bool walled, int budget_ms) {
  Layout layout = buildWorld(width, height, hard_share, walled);
  zv::PathManager& paths = zv::PathManager::getInstance();
  int frames = 0;
  for (auto _ : state) {
    if (layout.p_mover->findPath(layout.goal) != 0)
      std::abort();
    frames = 0;
    while (layout.p_mover->getPathFind()) {
      paths.cycle(budget_ms);
      frames++;
    }
  }
  state.counters["frames"] = frames;
  state.counters["budget_ms"] = budget_ms;
  state.counters["seed"] = layout.seed;
  stopEngine();
}

} // namespace

BENCHMARK_CAPTURE(Search, w80x24_hard30, 80, 24, 0.3, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, w80x24_hard30_unreachable, 80, 24, 0.3, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, w200x200_empty, 200, 200, 0.0, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, w200x200_hard30, 200, 200, 0.3, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Frames, w80x24_hard30_idle_frame, 80, 24, 0.3, false, 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Frames, w80x24_hard30_unreachable_idle_frame, 80, 24, 0.3, true, 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Frames, w80x24_hard30_min_cycle, 80, 24, 0.3, false, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Frames, w200x200_empty_idle_frame, 200, 200, 0.0, false, 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Frames, w200x200_hard30_idle_frame, 200, 200, 0.3, false, 31)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
