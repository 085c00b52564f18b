// Prints a maze, lets an object find its way through it in the spare time of
// real (headless) frames, walks it there, and prints the route it took.
// Usage: maze_headless [seed]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include <zelvra/core/Box.h>
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

#include "MazeLayout.h"

namespace {

using maze_layout::HEIGHT;
using maze_layout::WIDTH;
using maze_layout::carve;

// Remembers the result of its search; walks the route at one cell a frame.
class Walker : public zv::Object {
 public:
  int status = -1;
  int found_at_frame = -1;
  Walker() {
    setSolidness(zv::SPECTRAL);
    setVelocity(zv::Vector(1, 0));
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::PATH_EVENT) {
      status = static_cast<const zv::EventPath*>(p_e)->getStatus();
      found_at_frame = zv::GameManager::getInstance().getStepCount();
    }
    if (p_e->getType() == zv::STEP_EVENT) {
      int frame = static_cast<const zv::EventStep*>(p_e)->getStepCount();
      bool arrived = status == zv::PATH_FOUND && !getFollowPath();
      if (status == zv::PATH_NONE || arrived || frame > 2000)
        zv::GameManager::getInstance().setGameOver(true);
      return 1;
    }
    return Object::eventHandler(p_e);
  }
};

bool startHeadless() {
  char config[] = "/tmp/zv-maze-XXXXXX";
  int fd = mkstemp(config);
  if (fd < 0)
    return false;
  std::string text = "headless:true,frame_time:33,logfile:maze.log,";
  bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  setenv("ZELVRA_CONFIG", config, 1);
  if (!getenv("ZELVRA_LOG"))
    setenv("ZELVRA_LOG", "maze.log", 1);
  bool started = written && zv::GameManager::getInstance().startUp() == 0;
  unlink(config);
  return started;
}

} // namespace

int main(int argc, char** argv) {
  unsigned seed = argc > 1 ? static_cast<unsigned>(strtoul(argv[1], nullptr, 10)) : 7u;
  if (!startHeadless()) {
    fprintf(stderr, "Engine did not start; see maze.log\n");
    return 1;
  }
  zv::WorldManager::getInstance().setBoundary(zv::Box(zv::Vector(0, 0), WIDTH, HEIGHT));
  std::vector<std::string> maze = carve(seed);
  for (int y = 0; y < HEIGHT; y++)
    for (int x = 0; x < WIDTH; x++)
      if (maze[y][x] == '#')
        (new zv::Object)->setPosition(zv::Vector(static_cast<float>(x), static_cast<float>(y)));

  Walker* p_walker = new Walker;
  p_walker->setPosition(zv::Vector(1, 1));
  zv::Vector goal(WIDTH - 2, HEIGHT - 2);
  maze[1][1] = 'S';
  maze[HEIGHT - 2][WIDTH - 2] = 'G';
  printf("Maze %d x %d, seed %u:\n", WIDTH, HEIGHT, seed);
  for (const std::string& row : maze)
    printf("%s\n", row.c_str());

  if (p_walker->findPath(goal) != 0) {
    fprintf(stderr, "Search could not start; see maze.log\n");
    zv::GameManager::getInstance().shutDown();
    return 1;
  }
  zv::GameManager::getInstance().run();

  int result = 0;
  if (p_walker->status != zv::PATH_FOUND) {
    printf("\nNo way through.\n");
    result = 1;
  } else {
    for (const zv::Vector& v : p_walker->getPath().getNodes()) {
      char& c = maze[static_cast<int>(v.getY())][static_cast<int>(v.getX())];
      if (c == ' ')
        c = 'o';
    }
    printf("\nRoute of %d cells, found in frame %d, walked by frame %d:\n", p_walker->getPath().getNodeCount(),
           p_walker->found_at_frame, zv::GameManager::getInstance().getStepCount());
    for (const std::string& row : maze)
      printf("%s\n", row.c_str());
    zv::Vector at = p_walker->getPosition();
    printf("The walker stands at (%g,%g).\n", at.getX(), at.getY());
  }
  zv::GameManager::getInstance().shutDown();
  return result;
}
