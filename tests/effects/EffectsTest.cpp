// Particles, fireworks and the splash screen, headless, with 33 ms frames that take no time.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/display/InputManager.h>
#include <zelvra/effects/Firework.h>
#include <zelvra/effects/Particles.h>
#include <zelvra/effects/Splash.h>
#include <zelvra/effects/SplashZelvra.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/world/EventOut.h>
#include <zelvra/world/WorldManager.h>

using zv::Particle;
using zv::Vector;

namespace {

int64_t now_us = 0;
int64_t fakeClock() { return now_us; }
void fakeSleep(int ms) { now_us += ms * 1000; }

class Effects : public testing::Test {
 protected:
  void SetUp() override {
    zv::platform::setMonotonicClock(fakeClock);
    zv::platform::setSleeper(fakeSleep);
    ASSERT_EQ(zvtest::startHeadless("random_seed:4242,frame_time:33,"), 0);
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

template <typename T = Particle>
std::vector<T*> all(const std::string& type = "Particle") {
  std::vector<T*> out;
  for (zv::Object* p : zvtest::objectsIn(zv::WorldManager::getInstance().objectsOfType(type)))
    out.push_back(dynamic_cast<T*>(p));
  return out;
}

} // namespace

// A firework counts two steps a frame, leaves a trail particle on each (half its size, a quarter
// of its life, opaque, of its colour) and goes at age 0; particles take no ids, and go when out.
TEST_F(Effects, FireworkOf61StepsDiesInItsThirtyFirstFrameAfter62Trails) {
  zvtest::Recorder* w = zvtest::onEveryStep(nullptr);  // made first: it sees each frame before the others
  int next_id = (new zv::Object)->getId() + 1;
  zv::Firework* f = new zv::Firework(7, 61, 90, 10, 20, 30);
  f->setPosition(Vector(40, 10));
  EXPECT_TRUE(f->getId() == 0 && (new zv::Object)->getId() == next_id && f->getSolidness() == zv::SPECTRAL);
  std::vector<int> fireworks, trails, newborn;  // look i shows the state after frames 0 .. i-1
  w->on_step = [&](int) {
    fireworks.push_back(static_cast<int>(all("Firework").size()));
    trails.push_back(static_cast<int>(all().size()));
    newborn.push_back(0);
    for (Particle* p : all()) {
      zv::Shape s = p->getShape();
      newborn.back() += p->getAge() == 15;
      EXPECT_TRUE(s.getSize() == 3.5f && s.getOpacity() == 255 && s.getR() == 10 && s.getG() == 20 && s.getB() == 30);
      EXPECT_TRUE(p->getAltitude() == 3 && s.getType() == zv::CIRCLE && s.getColor() == zv::CUSTOM);
    }
  };
  w->stop_after_steps = 50;
  zv::GameManager::getInstance().run();
  EXPECT_TRUE(all().empty() && fireworks[30] == 1 && fireworks[31] == 0);
  for (std::size_t i = 1; i < 50; i++)
    EXPECT_EQ(newborn[i], i <= 31 ? 2 : 0) << "frame " << i - 1;
  EXPECT_EQ(std::vector<int>(trails.begin() + 15, trails.begin() + 17), std::vector<int>(2, 30));
  EXPECT_EQ(trails[45] * 10 + trails[46], 20);
  zv::EventOut out;  // no trail for other events
  EXPECT_EQ((new zv::Firework(7, 41, 90, 10, 20, 30))->eventHandler(&out), 1);
  zv::WorldManager::getInstance().update();
  EXPECT_TRUE(all().empty() && all("Firework").empty());
}

// Each preset's ranges, met at both ends (opacity 255 spread by 75 wraps to 218..255 or 0..36);
// one colour offset moves all lit channels: puffs stay grey, fireworks' red and green move as one.
TEST_F(Effects, PresetsMakeTheirNumbersAndColours) {
  Vector at(40, 12);  // nothing for a count below one, whatever the kind; an undefined kind stops the batch
  EXPECT_EQ(zv::addParticles(-4, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::ParticleKind(9)), 0);
  EXPECT_EQ(zv::addParticles(3, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::ParticleKind(2)), -1);
  EXPECT_EQ(zvtest::logCount("addParticles(): Type 2 not defined."), 1);
  zvtest::fail_nothrow_new = true;  // no memory: the batch stops with its line
  EXPECT_EQ(zv::addParticles(3, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::PARTICLE), -1);
  zvtest::fail_nothrow_new = false;
  EXPECT_TRUE(zvtest::logContains("addParticles(): Error!  Unable to create new Particle!"));
  zv::addParticles(zv::ParticlePreset(4), at, 2, zv::RED);
  zv::addParticles(zv::FIREWORKS, at, 0.2f, zv::RED);  // rounds to no fireworks
  ASSERT_TRUE(all().empty() && all("Firework").empty());
  struct Preset { zv::ParticlePreset preset; int rounds, count; float scale, size, size_spread, low[4], high[4]; int blue; };
  const Preset presets[] = {  // low and high: speed, age, red, green
      {zv::BURST, 20, 100, 2, 3, 0, {0.06f, 15, 255, 0}, {0.18f, 44, 255, 0}, 0},
      {zv::FIREWORKS, 100, 12, 3, 6, 0, {0.1f, 30, 128, 0}, {0.3f, 89, 255, 196}, 0},
      {zv::PUFF, 50, 20, 1, 5 / 1.5f, 0.075f, {0.175f, 18, 103, 103}, {0.225f, 22, 152, 152}, -1},
      {zv::SPRAY, 1, 100, 2, 5, 0, {0.12f, 20, 255, 20}, {0.12f, 20, 255, 20}, 147},
  };
  for (const auto& c : presets) {
    SCOPED_TRACE(testing::Message() << "preset " << c.preset);
    for (int round = 0; round < c.rounds; round++)
      zv::addParticles(c.preset, at, c.scale, c.preset == zv::BURST ? zv::RED : zv::CUSTOM);
    std::vector<Particle*> made = all(c.preset == zv::FIREWORKS ? "Firework" : "Particle");
    ASSERT_EQ(made.size(), static_cast<std::size_t>(c.count * c.rounds));
    float low[4] = {1, 1000, 255, 255}, high[4] = {0, 0, 0, 0};
    for (Particle* p : made) {
      zv::Shape s = p->getShape();
      int r = s.getR(), g = s.getG(), opacity = s.getOpacity();
      float values[4] = {p->getSpeed(), static_cast<float>(p->getAge()), static_cast<float>(r), static_cast<float>(g)};
      for (int i = 0; i < 4; i++)
        low[i] = std::min(low[i], values[i]), high[i] = std::max(high[i], values[i]);
      EXPECT_NEAR(s.getSize(), c.size, c.size_spread + 1e-5f);
      EXPECT_TRUE(c.blue < 0 ? opacity >= 103 && opacity <= 152 && r == g && g == s.getB()
                             : (opacity >= 218 || opacity <= 36) && s.getB() == c.blue) << opacity;
      EXPECT_TRUE(c.preset != zv::FIREWORKS || (r == 255 ? g >= 69 : g == std::max(0, 69 + r - 255))) << r << "," << g;
      EXPECT_TRUE(c.preset != zv::PUFF || p->getDirection().getY() < -0.99f);  // 0.15 sideways at most
      EXPECT_TRUE((c.preset != zv::FIREWORKS || p->getVelocity().getY() < 0) && p->getPosition() == at);
      zv::WorldManager::getInstance().markForDelete(p);
    }
    zv::WorldManager::getInstance().update();
    for (int i = 0; i < 4; i++)
      EXPECT_TRUE(std::fabs(low[i] - c.low[i]) < 0.002f && std::fabs(high[i] - c.high[i]) < 0.002f)
          << i << ": " << low[i] << " to " << high[i];
  }
  ASSERT_EQ(zv::addParticles(2, 0, at, 3, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::PARTICLE), 0);
  EXPECT_TRUE(all().size() == 2 && (all()[0]->getPosition() != at || all()[1]->getPosition() != at));  // spread
}

TEST(SplashStopped, RefusedBeforeTheEngineStarts) {
  zv::LogManager::getInstance().startUp();
  EXPECT_EQ(zv::splash(), -1);
  EXPECT_TRUE(zvtest::logContains("splash(): Error! Cannot run splash screen until game manger is started."));
}

// The title starts just past the right edge, half way down, moves 74.5 / 16 cells a step and stops
// on the 15th. Then one insect (11 by 7) starts six rows below the view, rises 17/30 of a row a frame
// to the target row, lands one column left (9 by 6) and ends the loop on its 75th step.
TEST_F(Effects, SplashTitleSlidesInStopsAndTheInsectLands) {
  zvtest::Recorder* w = zvtest::onEveryStep(nullptr);
  std::vector<Vector> title, insect, box;
  w->on_step = [&](int) {
    std::vector<zv::Object*> t = all<zv::Object>("Splash"), z = all<zv::Object>("SplashZelvra");
    title.push_back(t.empty() ? Vector(-1, -1) : t[0]->getPosition());
    insect.push_back(z.size() == 1 ? z[0]->getPosition() : Vector(-1.0f * static_cast<float>(z.size()), -1));
    box.push_back(z.empty() ? Vector() : Vector(z[0]->getBox().getHorizontal(), z[0]->getBox().getVertical()));
  };
  ASSERT_EQ(zv::splash(), 0);
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 90);
  EXPECT_TRUE(all<zv::Object>("Splash").empty() && all<zv::Object>("SplashZelvra").empty());
  const float stop_x = 103.5f - 14 * 4.65625f;
  EXPECT_TRUE(title[0] == Vector(103.5f, 12) && title[1] == Vector(103.5f - 4.65625f, 12));
  EXPECT_TRUE(title[15] == title[60] && std::fabs(title[15].getX() - stop_x) < 1e-4f);
  EXPECT_EQ(insect[14], Vector(0, -1));
  EXPECT_TRUE(std::fabs(insect[15].getX() - stop_x - 24) < 1e-4f && std::fabs(insect[60].getX() - stop_x - 23) < 1e-4f);
  EXPECT_FLOAT_EQ(insect[15].getY(), 30.0f - 17.0f / 30.0f);
  EXPECT_NEAR(insect[44].getY(), 13.0f, 0.001f);
  EXPECT_TRUE(std::fabs(insect[59].getY() - 13) < 0.6f && std::fabs(insect[89].getY() - 13) < 0.6f);
  EXPECT_TRUE(box[15] == Vector(11, 7) && box[60] == Vector(9, 6));
  w->stop_after_steps = w->step_events + 3;
  zv::GameManager::getInstance().run();  // the game loop starts afresh after the splash
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 3);
}

TEST_F(Effects, AnyKeyEndsTheSplashAfterOneFrame) {
  zv::EventKeyboard key;  // any key, any action
  zvtest::Recorder* w = zvtest::onEveryStep([&key](int step) {
    if (step == 0)
      zv::InputManager::getInstance().onEvent(&key);
  });
  w->stop_after_steps = 200;  // ends the loop of a splash that would not end
  ASSERT_EQ(zv::splash(), 0);
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 1);
  EXPECT_TRUE(all<zv::Object>("Splash").empty() && all<zv::Object>("SplashZelvra").empty());
  // The insect on its own: rising exactly a row a step from row 30, it stops on row 0; a key ends the loop.
  zv::GameManager::getInstance().setGameOver(false);
  zv::Object* bug = new zv::SplashZelvra(Vector(40, 0));
  zv::EventStep step(1);
  for (int i = 0; i < 35; i++)
    bug->eventHandler(&step), zv::WorldManager::getInstance().update();
  EXPECT_EQ(bug->getPosition().getY(), 0.0f);
  zv::InputManager::getInstance().onEvent(&key);
  EXPECT_TRUE(zv::GameManager::getInstance().getGameOver());
}
