// A walker in a maze of hard walls: it asks for a path to the goal, follows
// it, and on arrival picks a new open cell at random and searches again.
// The searches run in the spare time of each frame. Close the window (or
// press Q) to end.
// Usage: maze [frames]   (with frames, it also ends itself after that many)
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <zelvra/core/Box.h>
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Random.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/display/EventKeyboard.h>
#include <zelvra/resources/Frame.h>
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/EventPath.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

#include "MazeLayout.h"

namespace {

using maze_layout::HEIGHT;
using maze_layout::WIDTH;
using maze_layout::carve;

// One character, one frame: the sprites of this example are made here.
void makeSprite(zv::Sprite& sprite, char c, zv::Color color, const std::string& label) {
  sprite.setWidth(1);
  sprite.setHeight(1);
  sprite.setColor(color);
  sprite.setLabel(label);
  sprite.addFrame(zv::Frame(1, 1, std::string(1, c)));
}

class Cell : public zv::Object {
 public:
  Cell(zv::Sprite* p_sprite, zv::Solidness solidness, int x, int y) {
    zv::Animation animation;
    animation.setSprite(p_sprite);
    // The object's own box is a little under a cell, so that walls
    // side by side do not touch and close the passages beside them.
    setAnimation(animation, false);
    setSolidness(solidness);
    setPosition(zv::Vector(static_cast<float>(x), static_cast<float>(y)));
  }
};

class Walker : public zv::Object {
  const std::vector<std::string>& maze;
  Cell* p_marker;
  zv::Vector goal;
  int reached = 0;
  int frames_left;

  // A random open cell other than the one the walker stands on.
  zv::Vector randomOpenCell() const {
    zv::Vector here = getPosition();
    while (true) {
      int x = zv::randomNumber() % WIDTH;
      int y = zv::randomNumber() % HEIGHT;
      bool same = x == static_cast<int>(here.getX()) && y == static_cast<int>(here.getY());
      if (maze[y][x] == ' ' && !same)
        return zv::Vector(static_cast<float>(x), static_cast<float>(y));
    }
  }

  void newGoal() {
    goal = randomOpenCell();
    p_marker->setPosition(goal);
    if (findPath(goal) != 0) {
      zv::LogManager::getInstance().writeLog("maze: the search for (%g,%g) could not start", goal.getX(),
                                             goal.getY());
      zv::GameManager::getInstance().setGameOver();
    }
  }

 public:
  Walker(zv::Sprite* p_sprite, Cell* p_goal_marker, const std::vector<std::string>& cells, int frames)
      : maze(cells), p_marker(p_goal_marker), frames_left(frames) {
    setType("Walker");
    zv::Animation animation;
    animation.setSprite(p_sprite);
    setAnimation(animation, false);
    // Spectral, so that it never snags on the corners it passes.
    setSolidness(zv::SPECTRAL);
    setAltitude(zv::MAX_ALTITUDE);
    setPosition(zv::Vector(1, 1));
    setVelocity(zv::Vector(1, 0));
    registerInterest(zv::STEP_EVENT);
    registerInterest(zv::KEYBOARD_EVENT);
  }

  void start() { newGoal(); }
  int getReached() const { return reached; }
  zv::Vector getGoal() const { return goal; }

  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::PATH_EVENT) {
      int status = static_cast<const zv::EventPath*>(p_e)->getStatus();
      int result = Object::eventHandler(p_e);
      if (status != zv::PATH_FOUND) {
        // Every open cell is joined to every other: this should not happen.
        zv::LogManager::getInstance().writeLog("maze: no path to (%g,%g); trying another goal", goal.getX(),
                                               goal.getY());
        newGoal();
      }
      return result;
    }
    if (p_e->getType() == zv::KEYBOARD_EVENT) {
      auto p_key = static_cast<const zv::EventKeyboard*>(p_e);
      if (p_key->getKey() == zv::Q && p_key->getAction() == zv::KEYBOARD_PRESSED)
        zv::GameManager::getInstance().setGameOver();
      return 1;
    }
    if (p_e->getType() == zv::STEP_EVENT) {
      if (frames_left > 0 && --frames_left == 0)
        zv::GameManager::getInstance().setGameOver();
      bool searching = getPathFind() != nullptr;
      if (!searching && !getFollowPath() && getPosition() == goal) {
        reached++;
        zv::LogManager::getInstance().writeLog("maze: the walker reached goal %d at (%g,%g)", reached,
                                               goal.getX(), goal.getY());
        newGoal();
      }
      return 1;
    }
    return Object::eventHandler(p_e);
  }
};

// The help lines under the maze.
class Help : public zv::Object {
  const Walker* p_walker;

 public:
  explicit Help(const Walker* p_w) : p_walker(p_w) {
    setSolidness(zv::SPECTRAL);
    setPosition(zv::Vector(0, HEIGHT));
  }
  int draw() override {
    zv::DisplayManager& display = zv::DisplayManager::getInstance();
    zv::Vector goal = p_walker->getGoal();
    display.drawText(zv::Vector(1, HEIGHT + 1), "The walker @ finds its way to the goal * and then to a new one.",
                     zv::ALIGN_LEFT, zv::WHITE);
    display.drawText(zv::Vector(1, HEIGHT + 2),
                     "Goals reached: " + std::to_string(p_walker->getReached()) + "   now heading for (" +
                         std::to_string(static_cast<int>(goal.getX())) + "," +
                         std::to_string(static_cast<int>(goal.getY())) + ")",
                     zv::ALIGN_LEFT, zv::GREEN);
    display.drawText(zv::Vector(1, HEIGHT + 3), "Q or close the window: quit.", zv::ALIGN_LEFT, zv::WHITE);
    return 0;
  }
};

} // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? atoi(argv[1]) : 0;
  zv::GameManager& game = zv::GameManager::getInstance();
  if (game.startUp() != 0) {
    fprintf(stderr, "Engine did not start; see the log file\n");
    return 1;
  }
  // Line by line, so that the log can be watched while it runs.
  zv::LogManager::getInstance().setFlush();
  // Searches stay inside the maze: the world is exactly its size.
  zv::WorldManager::getInstance().setBoundary(zv::Box(zv::Vector(0, 0), WIDTH, HEIGHT));

  // Kept here until after shut-down: the objects that show them go first.
  zv::Sprite wall_sprite(1), walker_sprite(1), goal_sprite(1);
  makeSprite(wall_sprite, '#', zv::BLUE, "wall");
  makeSprite(walker_sprite, '@', zv::YELLOW, "walker");
  makeSprite(goal_sprite, '*', zv::RED, "goal");

  std::vector<std::string> maze = carve(static_cast<unsigned>(zv::randomNumber()));
  for (int y = 0; y < HEIGHT; y++)
    for (int x = 0; x < WIDTH; x++)
      if (maze[y][x] == '#')
        new Cell(&wall_sprite, zv::HARD, x, y);
  Cell* p_marker = new Cell(&goal_sprite, zv::SPECTRAL, 1, 1);
  Walker* p_walker = new Walker(&walker_sprite, p_marker, maze, frames);
  new Help(p_walker);
  p_walker->start();
  zv::LogManager::getInstance().writeLog("maze: running; close the window to end");

  game.run();
  game.shutDown();
  return 0;
}
