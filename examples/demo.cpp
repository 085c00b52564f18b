// A tour of the engine in a window: a car steered with the arrow keys or
// W/A/S/D, hard boulders that bounce off each other and block the car,
// soft and spectral objects drifting through, traffic that leaves the
// world and is deleted, and a sprite built in code. Close the window (or
// press Q) to end.
// Usage: demo [frames]   (with frames, it also ends itself after that many)
#include <cstdio>
#include <cstdlib>
#include <string>

#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Random.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/display/EventKeyboard.h>
#include <zelvra/resources/Frame.h>
#include <zelvra/resources/ResourceManager.h>
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/EventCollision.h>
#include <zelvra/world/EventOut.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

namespace {

zv::WorldManager& world() { return zv::WorldManager::getInstance(); }
float worldWidth() { return world().getBoundary().getHorizontal(); }
float worldHeight() { return world().getBoundary().getVertical(); }

class Player : public zv::Object {
 public:
  Player() {
    setType("Player");
    setSprite("car");
    setSolidness(zv::HARD);
    setAltitude(zv::MAX_ALTITUDE);
    setPosition(zv::Vector(12, worldHeight() / 2));
    registerInterest(zv::KEYBOARD_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::KEYBOARD_EVENT)
      return Object::eventHandler(p_e);
    auto p_key = static_cast<const zv::EventKeyboard*>(p_e);
    if (p_key->getKey() == zv::Q && p_key->getAction() == zv::KEYBOARD_PRESSED) {
      zv::GameManager::getInstance().setGameOver();
      return 1;
    }
    if (p_key->getAction() != zv::KEYBOARD_HELD && p_key->getAction() != zv::KEYBOARD_PRESSED)
      return 0;
    zv::Vector step;
    switch (p_key->getKey()) {
      case zv::LEFT:
      case zv::A:
        step = zv::Vector(-1, 0);
        break;
      case zv::RIGHT:
      case zv::D:
        step = zv::Vector(1, 0);
        break;
      case zv::UP:
      case zv::W:
        step = zv::Vector(0, -1);
        break;
      case zv::DOWN:
      case zv::S:
        step = zv::Vector(0, 1);
        break;
      default:
        return 0;
    }
    zv::Vector target = getPosition() + step;
    // Stay on the screen; a hard object in the way refuses the move.
    if (target.getX() >= 4 && target.getX() <= worldWidth() - 4 && target.getY() >= 4 &&
        target.getY() <= worldHeight() - 2)
      world().moveObject(this, target);
    return 1;
  }
};

// Crosses the world from right to left and is deleted once it has left it.
class Traffic : public zv::Object {
 public:
  Traffic(const std::string& sprite, zv::Solidness solidness, float speed, float y) {
    setType("Traffic");
    setSprite(sprite);
    setSolidness(solidness);
    setPosition(zv::Vector(worldWidth() + 3, y));
    setVelocity(zv::Vector(-speed, 0));
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::OUT_EVENT) {
      world().markForDelete(this);
      return 1;
    }
    return Object::eventHandler(p_e);
  }
};

// Hard: two of them stop each other, and each turns back on a collision
// or at the edge of the world.
class Boulder : public zv::Object {
 public:
  Boulder(zv::Vector where, zv::Vector velocity) {
    setType("Boulder");
    setSprite("cones");
    setSolidness(zv::HARD);
    setPosition(where);
    setVelocity(velocity);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::COLLISION_EVENT) {
      zv::Vector v = getVelocity();
      setVelocity(zv::Vector(-v.getX(), -v.getY()));
      return 1;
    }
    if (p_e->getType() == zv::STEP_EVENT) {
      zv::Vector next = predictPosition();
      zv::Vector v = getVelocity();
      if (next.getX() < 4 || next.getX() > worldWidth() - 4)
        v = zv::Vector(-v.getX(), v.getY());
      if (next.getY() < 4 || next.getY() > worldHeight() - 2)
        v = zv::Vector(v.getX(), -v.getY());
      setVelocity(v);
      return 1;
    }
    return Object::eventHandler(p_e);
  }
};

// Spectral: wanders diagonally across everything with the sprite built in
// code, bouncing off the edges.
class Blinker : public zv::Object {
 public:
  explicit Blinker(zv::Sprite* p_sprite) {
    setType("Blinker");
    zv::Animation animation;
    animation.setSprite(p_sprite);
    setAnimation(animation);
    setSolidness(zv::SPECTRAL);
    setAltitude(3);
    setPosition(zv::Vector(40, 6));
    setVelocity(zv::Vector(0.4f, 0.25f));
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return Object::eventHandler(p_e);
    zv::Vector next = predictPosition();
    zv::Vector v = getVelocity();
    if (next.getX() < 2 || next.getX() > worldWidth() - 2)
      v = zv::Vector(-v.getX(), v.getY());
    if (next.getY() < 4 || next.getY() > worldHeight() - 1)
      v = zv::Vector(v.getX(), -v.getY());
    setVelocity(v);
    return 1;
  }
};

// Sends traffic now and then, counts frames, and shows the help lines.
class Director : public zv::Object {
  int frames_left;

 public:
  explicit Director(int frames) : frames_left(frames) {
    setType("Director");
    setSolidness(zv::SPECTRAL);
    setAltitude(zv::MAX_ALTITUDE);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return Object::eventHandler(p_e);
    int step = static_cast<const zv::EventStep*>(p_e)->getStepCount();
    float lane = 5 + static_cast<float>(zv::randomNumber() % static_cast<int>(worldHeight() - 7));
    if (step % 45 == 0)
      new Traffic("cones", zv::HARD, 0.5f, lane);
    else if (step % 45 == 15)
      new Traffic("gas", zv::SOFT, 0.35f, lane);
    else if (step % 45 == 30)
      new Traffic("missile", zv::SPECTRAL, 1.0f, lane);
    if (frames_left > 0 && --frames_left == 0)
      zv::GameManager::getInstance().setGameOver();
    return 1;
  }
  int draw() override {
    zv::DisplayManager& display = zv::DisplayManager::getInstance();
    zv::Vector corner = world().getView().getCorner();
    display.drawText(corner + zv::Vector(1, 0), "Arrows or W/A/S/D: steer the car.  Q or close the window: quit.",
                     zv::ALIGN_LEFT, zv::WHITE);
    display.drawText(corner + zv::Vector(1, 1),
                     "Cones and boulders: hard.  Gas: soft.  Missiles and the blinker: spectral.",
                     zv::ALIGN_LEFT, zv::YELLOW);
    display.drawText(corner + zv::Vector(1, 2),
                     "Objects: " + std::to_string(world().getAllObjects().getCount()), zv::ALIGN_LEFT,
                     zv::GREEN);
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
  zv::LogManager& log = zv::LogManager::getInstance();
  // Line by line, so that the log can be watched while it runs.
  log.setFlush();
  zv::ResourceManager& resources = zv::ResourceManager::getInstance();
  const char* files[][2] = {{"sprites/racer-spr.txt", "car"},
                            {"sprites/cones-spr.txt", "cones"},
                            {"sprites/gas-spr.txt", "gas"},
                            {"sprites/missile-spr.txt", "missile"}};
  for (auto& f : files) {
    if (resources.loadSprite(f[0], f[1]) != 0) {
      log.writeLog("demo: cannot load %s; run from the build folder", f[0]);
      game.shutDown();
      return 1;
    }
  }

  // Two frames made here rather than read from a file; the animation
  // shows each for six frames.
  zv::Sprite blinker_sprite(2);
  blinker_sprite.setWidth(3);
  blinker_sprite.setHeight(1);
  blinker_sprite.setColor(zv::MAGENTA);
  blinker_sprite.setSlowdown(6);
  blinker_sprite.setLabel("blinker");
  blinker_sprite.addFrame(zv::Frame(3, 1, "<o>"));
  blinker_sprite.addFrame(zv::Frame(3, 1, "(O)"));

  new Player;
  new Boulder(zv::Vector(25, 8), zv::Vector(0.3f, 0));
  new Boulder(zv::Vector(60, 8), zv::Vector(-0.3f, 0));
  new Boulder(zv::Vector(45, 18), zv::Vector(0.2f, -0.15f));
  new Blinker(&blinker_sprite);
  new Director(frames);
  log.writeLog("demo: running; close the window to end");

  game.run();
  // The world's objects go here, before the code-built sprite they show.
  game.shutDown();
  return 0;
}
