#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/EventKeyboard.h"
#include "display/InputManager.h"
#include "effects/Splash.h"
#include "platform/Platform.h"
#include "resources/Animation.h"
#include "resources/Sprite.h"
#include "world/ObjectListIterator.h"
#include "world/WorldManager.h"

using zv::Vector;

namespace {

// Frames of 33 ms without waiting for them.
uint32_t now_us = 0;
uint32_t fakeClock() { return now_us; }
void fakeSleep(int ms) { now_us += static_cast<uint32_t>(ms) * 1000u; }

zv::Object* find(const std::string& type) {
  zv::ObjectList all = zv::WorldManager::getInstance().getAllObjects(true);
  zv::ObjectListIterator li(&all);
  for (li.first(); !li.isDone(); li.next())
    if (li.currentObject()->getType() == type)
      return li.currentObject();
  return nullptr;
}

// Cells an object paints: every non-blank one, or with its blanks too
// unless they are its sprite's transparent character.
std::vector<Vector> painted(const zv::Object* o, bool blanks) {
  zv::Animation a = o->getAnimation();
  const zv::Sprite* s = a.getSprite();
  std::string rows = s->getFrame(a.getIndex() % s->getFrameCount()).getString();
  Vector corner = o->getPosition() + o->getBox().getCorner();
  std::vector<Vector> cells;
  for (int i = 0; i < static_cast<int>(rows.size()); i++) {
    char ch = rows[static_cast<std::size_t>(i)];
    if (ch != ' ' || (blanks && s->getTransparency() != ' '))
      cells.push_back(corner + Vector(static_cast<float>(i % s->getWidth()), static_cast<float>(i / s->getWidth())));
  }
  return cells;
}

int meetings(const std::vector<Vector>& a, const std::vector<Vector>& b) {
  int n = 0;
  for (const Vector& p : a)
    for (const Vector& q : b)
      n += std::fabs(p.getX() - q.getX()) < 1 && std::fabs(p.getY() - q.getY()) < 1;
  return n;
}

// Registered before the splash objects, so it sees each frame first.
class Watcher : public zv::Object {
 public:
  std::vector<Vector> title, insect;
  int insects_made = 0;
  int letters_hidden = 0;  // title letters under a cell the insect paints over them
  int met_at_rest = -1;    // title letters meeting the landed insect's drawing
  zv::Object* last_insect = nullptr;
  bool press_key_at_first_step = false;
  Watcher() {
    setSolidness(zv::SPECTRAL);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    if (press_key_at_first_step && static_cast<const zv::EventStep*>(p_e)->getStepCount() == 0) {
      zv::EventKeyboard key;
      key.setKey(zv::A);
      key.setAction(zv::KEYBOARD_PRESSED);
      zv::InputManager::getInstance().onEvent(&key);
    }
    zv::Object* t = find("Splash");
    zv::Object* z = find("SplashZelvra");
    title.push_back(t ? t->getPosition() : Vector(-1, -1));
    insect.push_back(z ? z->getPosition() : Vector(-1, -1));
    if (t && z && z->getAltitude() >= t->getAltitude())
      letters_hidden += meetings(painted(t, false), painted(z, true));
    if (t && z && static_cast<const zv::EventStep*>(p_e)->getStepCount() == 70)
      met_at_rest = meetings(painted(t, false), painted(z, false));
    if (z && z != last_insect) {
      insects_made++;
      last_insect = z;
    }
    return 1;
  }
};

class SplashTest : public testing::Test {
 protected:
  void SetUp() override {
    now_us = 0;
    zv::platform::setClockSource(fakeClock);
    zv::platform::setSleeper(fakeSleep);
    ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  }
  void TearDown() override {
    zv::GameManager::getInstance().shutDown();
    zv::platform::setClockSource(nullptr);
    zv::platform::setSleeper(nullptr);
  }
};

} // namespace

TEST(SplashStopped, RefusedBeforeTheEngineStarts) {
  zv::LogManager::getInstance().startUp();
  EXPECT_EQ(zv::splash(), -1);
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("splash(): Error! Cannot run splash screen until game manger is started."));
}

TEST_F(SplashTest, TitleSlidesInStopsAndTheInsectLands) {
  Watcher* w = new Watcher;
  ASSERT_EQ(zv::splash(), 0);
  // Ninety frames: the insect ends the loop on its 75th step.
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 90);
  EXPECT_EQ(find("Splash"), nullptr);
  EXPECT_EQ(find("SplashZelvra"), nullptr);

  // Centred just beyond the right edge, half way down, 74.5 / 16 cells a step.
  EXPECT_EQ(w->title[0], Vector(103.5f, 12));
  EXPECT_FLOAT_EQ(w->title[1].getX(), 103.5f - 4.65625f);
  // The 15th step stops it before that frame's move: fourteen moves in all.
  float stop_x = 103.5f - 14 * 4.65625f;
  EXPECT_FLOAT_EQ(w->title[15].getX(), stop_x);
  EXPECT_FLOAT_EQ(w->title[60].getX(), stop_x);

  // The insect is made once, six rows below the view, under its target.
  EXPECT_EQ(w->insects_made, 1);
  EXPECT_EQ(w->insect[14], Vector(-1, -1));
  EXPECT_FLOAT_EQ(w->insect[15].getX(), stop_x + 24);
  // Made in frame 14 at y = 30, it rises 17/30 of a row each frame...
  EXPECT_FLOAT_EQ(w->insect[15].getY(), 30.0f - 17.0f / 30.0f);
  // ...reaches the target's row after 30 moves and stays there.
  EXPECT_NEAR(w->insect[44].getY(), 13.0f, 0.001f);
  EXPECT_NEAR(w->insect[59].getY(), 13.0f, 0.6f);
  // Landing moves it one column left.
  EXPECT_FLOAT_EQ(w->insect[60].getX(), stop_x + 23);
  // The name stays whole while the insect flies past it, and it lands beside it.
  EXPECT_EQ(w->letters_hidden, 0);
  EXPECT_EQ(w->met_at_rest, 0);
}

TEST_F(SplashTest, AnyKeyEndsItAfterOneFrame) {
  Watcher* w = new Watcher;
  w->press_key_at_first_step = true;
  ASSERT_EQ(zv::splash(), 0);
  EXPECT_EQ(zv::GameManager::getInstance().getStepCount(), 1);
  EXPECT_EQ(w->insects_made, 0);
  EXPECT_EQ(find("Splash"), nullptr);
}

TEST_F(SplashTest, GameLoopStartsAfreshAfterTheSplash) {
  new Watcher;
  ASSERT_EQ(zv::splash(), 0);
  zvtest::Recorder* r = new zvtest::Recorder;
  r->registerInterest(zv::STEP_EVENT);
  r->stop_after_steps = 3;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(r->step_events, 3);
  EXPECT_EQ(r->last_step, 2);
}
