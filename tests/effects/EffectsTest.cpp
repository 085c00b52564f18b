// Particles, fireworks and the splash screen on the headless engine, with
// 33 ms frames that take no time.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/InputManager.h"
#include "effects/Firework.h"
#include "effects/Particles.h"
#include "effects/Splash.h"
#include "platform/Platform.h"
#include "resources/Sprite.h"
#include "world/EventOut.h"
#include "world/ObjectListIterator.h"
#include "world/WorldManager.h"

using zv::Particle;
using zv::Vector;

namespace {

uint32_t now_us = 0;
uint32_t fakeClock() { return now_us; }
void fakeSleep(int ms) { now_us += static_cast<uint32_t>(ms) * 1000u; }

class Effects : public testing::Test {
 protected:
  void SetUp() override {
    zv::platform::setClockSource(fakeClock);
    zv::platform::setSleeper(fakeSleep);
    ASSERT_EQ(zvtest::startHeadless("random_seed:4242,frame_time:33,"), 0);
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

// The objects of one type now in the world.
template <typename T = Particle>
std::vector<T*> all(const std::string& type = "Particle") {
  std::vector<T*> out;
  zv::ObjectList list = zv::WorldManager::getInstance().objectsOfType(type);
  zv::ObjectListIterator li(&list);
  for (li.first(); !li.isDone(); li.next())
    out.push_back(dynamic_cast<T*>(li.currentObject()));
  return out;
}

// Made before the others, it sees each frame first: runs `look` with the
// step count, and ends the game loop after `frames` more frames.
class Watcher : public zv::Object {
 public:
  std::function<void(int)> look = [](int) {};
  Watcher() { registerInterest(zv::STEP_EVENT); }
  void run(int frames) {
    left = frames;
    zv::GameManager::getInstance().run();
  }
  int eventHandler(const zv::Event* p_e) override {
    look(static_cast<const zv::EventStep*>(p_e)->getStepCount());
    if (--left == 0)
      zv::GameManager::getInstance().setGameOver(true);
    return 1;
  }

 private:
  int left = -1;
};

} // namespace

TEST_F(Effects, ParticlesLiveTheirAgeInStepsAndTakeNoIds) {
  Watcher* w = new Watcher;
  zv::Object* before = new zv::Object;
  Particle* p = new Particle(4.5f, 3, 200, 1, 2, 3);
  Particle* q = new Particle(2, 0, 9, 7, 8, 9);  // gone on its first step
  zv::Firework* f = new zv::Firework(6, 40, 255, 255, 69, 0);
  EXPECT_EQ((new zv::Object)->getId(), before->getId() + 1);
  EXPECT_EQ(p->getId() + q->getId() + f->getId(), 0);
  EXPECT_TRUE(p->getSolidness() == zv::SPECTRAL && p->getAltitude() == 3 && f->getEventCount() == 2);
  // The shared shape template does not leak one particle's looks into the next.
  zv::Shape s = p->getShape();
  EXPECT_TRUE(s.getType() == zv::CIRCLE && s.getColor() == zv::CUSTOM && s.getOpacity() == 200 && s.getSize() == 4.5f);
  EXPECT_TRUE(s.getR() == 1 && s.getG() == 2 && s.getB() == 3);
  EXPECT_EQ(f->getAcceleration(), Vector(0, 0.01f));
  zv::WorldManager::getInstance().markForDelete(f);
  zv::WorldManager::getInstance().update();
  zv::Event other;
  other.setType("custom");
  EXPECT_EQ(p->eventHandler(&other), 0);
  std::vector<int> ages;
  w->look = [&](int) { ages.push_back(all().empty() ? 0 : all()[0]->getAge() * 10 + static_cast<int>(all().size())); };
  w->run(4);
  EXPECT_EQ(ages, (std::vector<int>{32, 21, 11, 0}));
  // Leaving the world deletes one: at 79.8 its box still meets the world, at 80.8 not.
  p = new Particle(2, 1000, 255, 9, 9, 9);
  p->setPosition(Vector(78.8f, 10));
  p->setVelocity(Vector(1, 0));
  ages.clear();
  w->run(3);
  EXPECT_EQ(ages, (std::vector<int>{10001, 9991, 0}));
  p = new Particle(2, 1000, 255, 9, 9, 9);
  zv::EventOut out;
  EXPECT_EQ(p->eventHandler(&out), 1);
  zv::WorldManager::getInstance().update();
  EXPECT_TRUE(all().empty());
}

// A firework counts two steps a frame, leaves a trail particle on each
// (half its size, a quarter of its life, opaque, of its colour, where it
// stands), and goes on the step that brings its age to 0.
TEST_F(Effects, FireworkOf61StepsDiesInItsThirtyFirstFrameAfter62Trails) {
  Watcher* w = new Watcher;
  (new zv::Firework(7, 61, 90, 10, 20, 30))->setPosition(Vector(40, 10));
  std::vector<int> fireworks, trails, newborn;
  w->look = [&](int) {
    fireworks.push_back(static_cast<int>(all("Firework").size()));
    trails.push_back(static_cast<int>(all().size()));
    newborn.push_back(0);
    for (Particle* p : all()) {
      zv::Shape s = p->getShape();
      newborn.back() += p->getAge() == 15;
      EXPECT_TRUE(s.getSize() == 3.5f && s.getOpacity() == 255 && s.getR() == 10 && s.getG() == 20 && s.getB() == 30);
    }
  };
  w->run(50);  // look i shows the state after frames 0 .. i-1
  EXPECT_TRUE(all("Particle").size() == 0 && fireworks[30] == 1 && fireworks[31] == 0);
  for (std::size_t i = 1; i < 50; i++)
    EXPECT_EQ(newborn[i], i <= 31 ? 2 : 0) << "frame " << i - 1;
  EXPECT_EQ(std::vector<int>(trails.begin() + 15, trails.begin() + 17), std::vector<int>(2, 30));
  EXPECT_EQ(trails[45] * 10 + trails[46], 20);
  zv::Firework* f = new zv::Firework(7, 41, 90, 10, 20, 30);
  f->setPosition(Vector(30, 5));
  zv::EventStep step(0);
  zv::EventOut out;
  EXPECT_EQ(f->eventHandler(&step) + f->eventHandler(&out), 2);
  ASSERT_EQ(all().size(), 1u);  // no trail for other events
  EXPECT_TRUE(all()[0]->getAge() == 10 && all()[0]->getPosition() == Vector(30, 5));
}

// Each preset's ranges, met at both ends (a spread of 75 on an opacity of
// 255 wraps in eight bits to 218..255 or 0..36); one colour offset moves
// all lit channels together: puffs stay grey, fireworks' red and green move as one.
TEST_F(Effects, PresetsMakeTheirNumbersAndColours) {
  const struct {
    zv::ParticlePreset preset;
    float scale, size, size_spread, speed_low, speed_high;
    int rounds, count, ages[2], reds[2], greens[2], blue;
  } presets[] = {
      {zv::BURST, 2, 3, 0, 0.06f, 0.18f, 20, 100, {15, 44}, {255, 255}, {0, 0}, 0},
      {zv::FIREWORKS, 3, 6, 0, 0.1f, 0.3f, 100, 12, {30, 89}, {128, 255}, {0, 196}, 0},
      {zv::PUFF, 1, 5 / 1.5f, 0.075f, 0.175f, 0.225f, 50, 20, {18, 22}, {103, 152}, {103, 152}, -1},
      {zv::SPRAY, 2, 5, 0, 0.12f, 0.12f, 1, 100, {20, 20}, {255, 255}, {20, 20}, 147},
  };
  for (const auto& c : presets) {
    SCOPED_TRACE(testing::Message() << "preset " << c.preset);
    for (int round = 0; round < c.rounds; round++)
      zv::addParticles(c.preset, Vector(40, 12), c.scale, c.preset == zv::BURST ? zv::RED : zv::CUSTOM);
    std::vector<Particle*> made = all(c.preset == zv::FIREWORKS ? "Firework" : "Particle");
    ASSERT_EQ(made.size(), static_cast<std::size_t>(c.count * c.rounds));
    int ages[2] = {1000, 0}, reds[2] = {255, 0}, greens[2] = {255, 0};
    float speeds[2] = {1, 0};
    for (Particle* p : made) {
      zv::Shape s = p->getShape();
      int r = s.getR(), g = s.getG(), opacity = s.getOpacity();
      EXPECT_NEAR(s.getSize(), c.size, c.size_spread + 1e-5f);
      EXPECT_TRUE(c.blue < 0 ? opacity >= 103 && opacity <= 152 && r == g && g == s.getB()
                             : (opacity >= 218 || opacity <= 36) && s.getB() == c.blue) << opacity;
      EXPECT_TRUE(c.preset != zv::FIREWORKS || (r == 255 ? g >= 69 : g == std::max(0, 69 + r - 255))) << r << "," << g;
      // Upwards for the puff (0.15 sideways at most) and the fireworks (0.75).
      EXPECT_TRUE(c.preset != zv::PUFF || p->getDirection().getY() < -0.99f);
      EXPECT_TRUE(c.preset != zv::FIREWORKS || p->getVelocity().getY() < 0);
      EXPECT_EQ(p->getPosition(), Vector(40, 12));
      ages[0] = std::min(ages[0], p->getAge()), ages[1] = std::max(ages[1], p->getAge());
      reds[0] = std::min(reds[0], r), reds[1] = std::max(reds[1], r);
      greens[0] = std::min(greens[0], g), greens[1] = std::max(greens[1], g);
      speeds[0] = std::min(speeds[0], p->getSpeed()), speeds[1] = std::max(speeds[1], p->getSpeed());
      zv::WorldManager::getInstance().markForDelete(p);
    }
    zv::WorldManager::getInstance().update();
    EXPECT_EQ(std::vector<int>({ages[0], ages[1], reds[0], reds[1], greens[0], greens[1]}),
              std::vector<int>({c.ages[0], c.ages[1], c.reds[0], c.reds[1], c.greens[0], c.greens[1]}));
    EXPECT_NEAR(speeds[0], c.speed_low, 0.002f);
    EXPECT_NEAR(speeds[1], c.speed_high, 0.002f);
  }
}

TEST_F(Effects, BatchesOutsideThePresets) {
  Vector at(7, 8);
  // Nothing for a count below one (whatever the kind), an unknown preset,
  // or a scale that rounds the count to none; an undefined kind stops the batch.
  EXPECT_EQ(zv::addParticles(-4, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::ParticleKind(9)), 0);
  zv::addParticles(zv::ParticlePreset(4), at, 2, zv::RED);
  zv::addParticles(zv::FIREWORKS, at, 0.2f, zv::RED);
  EXPECT_EQ(zv::addParticles(3, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::ParticleKind(2)), -1);
  EXPECT_TRUE(all().empty() && all("Firework").empty());
  EXPECT_EQ(zvtest::logCount("addParticles(): Type 2 not defined."), 1);
  // Without spreads every number is exact and the count spread does nothing;
  // a position spread of 4 puts them within 2 cells on each axis, drawn apart.
  EXPECT_EQ(zv::addParticles(5, 3, at, 0, Vector(3, 4), 0, 2.5f, 0, 0.5f, 0, 12, 0, 99, 0, 10, 0, 30, 0, zv::PARTICLE), 0);
  zv::addParticles(400, 0, Vector(40, 12), 4, Vector(1, 0), 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::FIREWORK);
  ASSERT_EQ(all().size(), 5u);
  for (Particle* p : all()) {
    zv::Shape s = p->getShape();
    EXPECT_TRUE(p->getPosition() == at && p->getDirection() == Vector(0.6f, 0.8f) && p->getSpeed() == 0.5f);
    EXPECT_TRUE(p->getAge() == 12 && s.getSize() == 2.5f && s.getOpacity() == 99 && s.getR() == 10 && s.getB() == 30);
  }
  float x[2] = {100, 0}, y[2] = {100, 0};
  bool diagonal = true;
  for (Particle* f : all("Firework")) {
    Vector v = f->getPosition();
    x[0] = std::min(x[0], v.getX()), x[1] = std::max(x[1], v.getX());
    y[0] = std::min(y[0], v.getY()), y[1] = std::max(y[1], v.getY());
    diagonal = diagonal && v.getX() - 40 == v.getY() - 12;
  }
  EXPECT_TRUE(x[0] >= 38 && x[0] < 38.2f && x[1] <= 42 && x[1] > 41.8f && y[0] >= 10 && y[1] <= 14 && !diagonal);
  // The colour argument: unknown values keep the preset's own; particles keep only the object's attributes.
  zv::addParticles(zv::SPRAY, at, 0.02f, zv::Color(42));
  zv::addParticles(zv::SPRAY, at, 0.02f, zv::CYAN);
  EXPECT_EQ(all().back()->getShape().getG() * 1000 + all()[5]->getShape().getG(), 255020);
  EXPECT_EQ(all()[0]->serialize("TYPE,POSITION,"), "pos-x:7,pos-y:8,type:Particle,");
  EXPECT_EQ(all()[0]->deserialize("pos-x:3,pos-y:4,"), 0);
  EXPECT_EQ(all()[0]->getPosition(), Vector(3, 4));
}

TEST(SplashStopped, RefusedBeforeTheEngineStarts) {
  zv::LogManager::getInstance().startUp();
  EXPECT_EQ(zv::splash(), -1);
  EXPECT_TRUE(zvtest::logContains("splash(): Error! Cannot run splash screen until game manger is started."));
}

namespace {
// Cells an object's sprite paints (with its blanks unless they are transparent).
std::vector<Vector> painted(const zv::Object* o, bool blanks) {
  const zv::Sprite* s = o->getAnimation().getSprite();
  std::string rows = s->getFrame(o->getAnimation().getIndex() % s->getFrameCount()).getString();
  std::vector<Vector> cells;
  for (int i = 0; i < static_cast<int>(rows.size()); i++)
    if (rows[static_cast<std::size_t>(i)] != ' ' || (blanks && s->getTransparency() != ' '))
      cells.push_back(o->getPosition() + o->getBox().getCorner() + Vector(i % s->getWidth(), i / s->getWidth()));
  return cells;
}
} // namespace

TEST_F(Effects, SplashTitleSlidesInStopsAndTheInsectLands) {
  Watcher* w = new Watcher;
  std::vector<Vector> title, insect;
  int insects_made = 0, letters_hidden = 0, met_at_rest = 0;
  zv::Object* last_insect = nullptr;
  w->look = [&](int step) {
    zv::Object* t = all<zv::Object>("Splash").empty() ? nullptr : all<zv::Object>("Splash")[0];
    zv::Object* z = all<zv::Object>("SplashZelvra").empty() ? nullptr : all<zv::Object>("SplashZelvra")[0];
    title.push_back(t ? t->getPosition() : Vector(-1, -1));
    insect.push_back(z ? z->getPosition() : Vector(-1, -1));
    insects_made += z && z != last_insect;
    last_insect = z;
    // The name stays whole while the insect flies past it, and it lands beside it.
    for (Vector a : t && z && (z->getAltitude() >= t->getAltitude() || step == 70) ? painted(t, false) : std::vector<Vector>())
      for (Vector b : painted(z, step != 70))
        (step == 70 ? met_at_rest : letters_hidden) += std::fabs(a.getX() - b.getX()) < 1 && std::fabs(a.getY() - b.getY()) < 1;
  };
  ASSERT_EQ(zv::splash(), 0);
  // Ninety frames: the insect ends the loop on its 75th step.
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 90);
  EXPECT_TRUE(all<zv::Object>("Splash").empty() && all<zv::Object>("SplashZelvra").empty());
  // Centred just beyond the right edge, half way down, 74.5 / 16 cells a
  // step; the 15th step stops it before that frame's move.
  const float stop_x = 103.5f - 14 * 4.65625f;
  EXPECT_EQ(title[0], Vector(103.5f, 12));
  EXPECT_FLOAT_EQ(title[1].getX(), 103.5f - 4.65625f);
  EXPECT_TRUE(title[15] == title[60] && std::fabs(title[15].getX() - stop_x) < 1e-4f);
  // The insect is made once, in frame 14, six rows below the view (y = 30)
  // under its target; it rises 17/30 of a row each frame, reaches the
  // target's row after 30 moves and stays there; landing moves it one column left.
  EXPECT_EQ(insects_made, 1);
  EXPECT_EQ(insect[14], Vector(-1, -1));
  EXPECT_NEAR(insect[15].getX(), stop_x + 24, 1e-4f);
  EXPECT_FLOAT_EQ(insect[15].getY(), 30.0f - 17.0f / 30.0f);
  EXPECT_NEAR(insect[44].getY(), 13.0f, 0.001f);
  EXPECT_NEAR(insect[59].getY(), 13.0f, 0.6f);
  EXPECT_NEAR(insect[60].getX(), stop_x + 23, 1e-4f);
  EXPECT_EQ(letters_hidden + met_at_rest, 0);
  // The game loop starts afresh after the splash.
  w->run(3);
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 3);
}

TEST_F(Effects, AnyKeyEndsTheSplashAfterOneFrame) {
  (new Watcher)->look = [](int step) {
    zv::EventKeyboard key;
    key.setKey(zv::A);
    key.setAction(zv::KEYBOARD_PRESSED);
    if (step == 0)
      zv::InputManager::getInstance().onEvent(&key);
  };
  ASSERT_EQ(zv::splash(), 0);
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 1);
  EXPECT_TRUE(all<zv::Object>("Splash").empty() && all<zv::Object>("SplashZelvra").empty());
}
