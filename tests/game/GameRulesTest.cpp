// The real game on the real engine, headless at frame time 0, stepped frame
// by frame by a driver object that runs a test's script on every step.
#include <functional>
#include <tuple>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Fuel.h"
#include "GameResources.h"
#include "Missile.h"
#include "Obstacles.h"
#include "Points.h"
#include "Racer.h"
#include "Spawner.h"
#include "StartMenu.h"
#include "TestSupport.h"
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/display/EventKeyboard.h>
#include <zelvra/display/InputManager.h>
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/WorldManager.h>

using zv::Vector;

namespace {

void key(zv::Key k, zv::KeyboardAction action = zv::KEYBOARD_PRESSED) {
  zv::EventKeyboard e;
  e.setKey(k);
  e.setAction(action);
  zv::InputManager::getInstance().onEvent(&e);
}

int countOf(const std::string& type) { return zv::WorldManager::getInstance().objectsOfType(type).getCount(); }

template <typename T>
T* first() {
  for (zv::Object* p_o : zvtest::objectsIn(zv::WorldManager::getInstance().getAllObjects(true)))
    if (auto p = dynamic_cast<T*>(p_o))
      return p;
  return nullptr;
}

Fuel* fuel() { return first<Racer>()->getFuel(); }
std::string spriteOf(zv::Object* p_o) { return p_o->getAnimation().getSprite()->getLabel(); }

// Puts an object in the racer's row, a few columns to its right.
zv::Object* besideRacer(zv::Object* p_o) {
  zv::WorldManager::getInstance().moveObject(p_o, Vector(22, first<Racer>()->getPosition().getY()));
  return p_o;
}

class GameTest : public testing::Test {
 public:
  zvtest::Recorder* driver = nullptr;  // made before the game's objects: it sees each frame before they do
  StartMenu* menu = nullptr;
  void SetUp() override {
    // The game reads its data from the working directory.
    ASSERT_EQ((Codes{symlink(ZELVRA_RUN_DIR "/sprites", "sprites"), symlink(ZELVRA_RUN_DIR "/sounds", "sounds")}), (Codes{0, 0}));
    ASSERT_EQ(zvtest::startHeadless("random_seed:1234,"), 0);
    loadResources();
    driver = zvtest::onEveryStep(nullptr);
    menu = new StartMenu;
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
  // Runs the loop to the frame with that step count; "start" presses space in frame 0.
  void runUntil(int last_step, std::function<void(int)> script, bool start = false) {
    driver->on_step = [=](int step) {
      if (start && step == 0)
        key(zv::SPACE);
      script(step);
      if (step >= last_step)
        zv::GameManager::getInstance().setGameOver(true);
    };
    zv::GameManager::getInstance().run();
  }
};

} // namespace

TEST_F(GameTest, ARunStartsFromTheMenuAndThingsComeOnTime) {
  std::vector<std::vector<int>> seen(304);  // at the start of a frame: fuel, points, obstacles, gas, warnings
  runUntil(303, [&](int step) {
    if (step > 0)
      seen[step] = {fuel()->getValue(), first<Points>()->getValue(), countOf("Obstacle"), countOf("Gas"),
                    countOf("Warning")};
    if (step > 61)
      fuel()->setValue(100);  // nothing that hits may end the run
  }, true);
  Racer* racer = first<Racer>();
  ASSERT_TRUE(racer);
  EXPECT_EQ(std::make_tuple(racer->getPosition(), racer->getAltitude(), spriteOf(racer), racer->getMoveCountdown(),
                            fuel()->getLocation(), first<Points>()->getLocation(), menu->isActive(),
                            Spawner::getInstance().isActive()),  // idle, the move countdown rests at 0
            std::make_tuple(Vector(10, 12), 4, std::string("car"), 0, zv::TOP_LEFT, zv::TOP_RIGHT, false, true));
  // {step, what, value}: fuel ticks every 15 frames, points every 30; frame 61 makes the first obstacle,
  // frame 301 the first gas and missile warning.
  const int expected[][3] = {{15, 0, 100}, {16, 0, 99}, {31, 0, 98}, {61, 0, 96}, {30, 1, 0}, {31, 1, 1}, {61, 1, 2},
                             {61, 2, 0},   {62, 2, 1},  {301, 3, 0}, {302, 3, 1}, {301, 4, 0}, {302, 4, 1}};
  for (const auto& e : expected)
    EXPECT_EQ(seen[e[0]][e[1]], e[2]) << "step " << e[0] << ", column " << e[1];
  // The warning stands six columns inside the right edge in the racer's row.
  EXPECT_EQ(first<Missile>()->getPosition(), Vector(74, 12));
}

TEST_F(GameTest, CollisionsTakeFuelOnceAndGasGivesFiftyCapped) {
  // What hits, the fuel before and after, and the sprite it shows after (nullptr: it is gone).
  const struct { std::function<zv::Object*()> make; int before, after; const char* sprite_after; } cases[] = {
      {[] { return besideRacer(new Cones); }, 100, 90, "conesHit"},
      {[] { return besideRacer(new OilSlick); }, 100, 80, "oilHit"},
      {[] { return besideRacer(new Spiketrap); }, 100, 60, "spiketrapHit"},
      {[] { return besideRacer(new Gas); }, 80, 100, nullptr},
      {[] { return besideRacer(new Gas); }, 40, 90, nullptr},
      {[] { Missile* m = new Missile; m->setBaseSpeed(-1.0f); return besideRacer(m); }, 100, 50, nullptr},
  };
  runUntil(0, [](int) {}, true);
  for (const auto& c : cases) {
    zv::Object* p_o = nullptr;
    // Earlier obstacles still overlap the racer: they must not hit again.
    runUntil(14, [&](int step) {
      if (step == 1)
        fuel()->setValue(c.before), p_o = c.make();
    });
    EXPECT_EQ(std::make_tuple(fuel()->getValue(), c.sprite_after ? spriteOf(p_o) : "", countOf("Gas") + countOf("Warning")),
              std::make_tuple(c.after, std::string(c.sprite_after ? c.sprite_after : ""), 0));
  }
  // The spawner reloads when the missile ends, then counts down the frames since.
  int reload = static_cast<int>(300.0f / Spawner::getInstance().getRoadSpeed()), left = Spawner::getInstance().getMissileCountdown();
  EXPECT_TRUE(left <= reload && left > reload - 14) << left << " of " << reload;
  zv::EventStep step(1);  // obstacles claim only the collisions they handle
  EXPECT_EQ((new Cones)->eventHandler(&step), 0);
}

TEST_F(GameTest, MissileWarnsThenLaunchesTwentyNineColumnsRight) {
  Missile* missile = nullptr;
  std::vector<std::string> types;
  std::vector<Vector> at;
  runUntil(63, [&](int step) {
    if (step == 1)  // not the racer's row: no hit
      zv::WorldManager::getInstance().moveObject(missile = new Missile, Vector(74, 7));
    if (step >= 62)
      types.push_back(missile->getType()), at.push_back(missile->getPosition());
  }, true);
  EXPECT_EQ(types, (std::vector<std::string>{"Warning", "Obstacle"}));
  EXPECT_EQ(std::make_tuple(missile->getWarningCountdown(), spriteOf(missile), missile->getAltitude()),
            std::make_tuple(-1, std::string("missile"), 2));
  // Launched at 74 + 29, then one step leftwards at the road speed.
  EXPECT_EQ(at[0], Vector(74, 7));
  EXPECT_NEAR(at[1].getX() + Spawner::getInstance().getRoadSpeed(), 103.0f, 0.01f);
}

TEST_F(GameTest, RacerMovesEverySecondFrameWithinTheRoad) {
  std::vector<float> ys;
  runUntil(30, [&](int step) {
    if (step >= 1)
      ys.push_back(first<Racer>()->getPosition().getY()), key(zv::W, zv::KEYBOARD_HELD);
  }, true);
  // Up one row every second frame from 12, never to row 3 or above.
  std::vector<float> expected(1, 12);
  for (float y = 12; y > 4; y--)
    expected.insert(expected.end(), {y, y});
  expected.resize(30, 4);
  EXPECT_EQ(ys, expected);
  runUntil(10, [&](int) { key(zv::S, zv::KEYBOARD_HELD); });
  EXPECT_GT(first<Racer>()->getPosition().getY(), 4.0f);
}

TEST_F(GameTest, EmptyTankEndsTheRunAndTheNextRunCarriesTheRoadSpeed) {
  float speed_at_end = 0;
  std::vector<int> seen;
  runUntil(360, [&](int step) {
    if (step == 30)
      new Cones;
    if (step == 100)
      fuel()->setValue(0);
    if (step == 101)
      speed_at_end = Spawner::getInstance().getRoadSpeed();
    if (step == 110)
      seen.push_back(countOf("Particle") > 100);
    if (step == 160)
      seen.insert(seen.end(), {first<Racer>() == nullptr, countOf("Game Over"), countOf("ViewObject")});
    if (step == 161) {
      seen.insert(seen.end(), {menu->isActive(), countOf("Obstacle"), countOf("Game Over"), countOf("ViewObject"),
                               Spawner::getInstance().isActive(), Spawner::getInstance().getRoadSpeed() == speed_at_end});
      key(zv::SPACE, zv::KEYBOARD_HELD);  // any action starts a run
    }
  }, true);
  EXPECT_EQ(seen, (std::vector<int>{1, 1, 1, 2, 1, 0, 0, 0, 0, 1}));
  EXPECT_TRUE(first<Racer>() && countOf("ViewObject") == 2);
  EXPECT_GT(speed_at_end, 1.03f);
  EXPECT_GT(Spawner::getInstance().getRoadSpeed(), speed_at_end);
}
