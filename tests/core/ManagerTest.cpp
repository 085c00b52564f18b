#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "core/Manager.h"
#include "world/WorldManager.h"

namespace {

// A manager that accepts any type beginning with "t-".
class TestManager : public zv::Manager {
 public:
  TestManager() { setType("TestManager"); }
  bool isValid(std::string event_type) const override { return event_type.rfind("t-", 0) == 0; }
};

class Counter : public zv::Object {
 public:
  int count = 0;
  int eventHandler(const zv::Event*) override {
    count++;
    return 1;
  }
};

// Registers a newcomer and unregisters itself while an event is handed out.
class Meddler : public zv::Object {
 public:
  TestManager* manager = nullptr;
  Counter* newcomer = nullptr;
  int count = 0;
  int eventHandler(const zv::Event*) override {
    count++;
    manager->registerInterest(newcomer, "t-a");
    manager->unregisterInterest(this, "t-a");
    return 1;
  }
};

class ManagerTest : public testing::Test {
 protected:
  void SetUp() override { zv::LogManager::getInstance().startUp(); }
  void TearDown() override { zv::LogManager::getInstance().shutDown(); }
};

zv::Event eventOf(const std::string& type) {
  zv::Event e;
  e.setType(type);
  return e;
}

} // namespace

TEST_F(ManagerTest, EventReachesEveryRegisteredObjectInOrder) {
  TestManager m;
  Counter a, b;
  ASSERT_EQ(m.registerInterest(&a, "t-a"), 0);
  ASSERT_EQ(m.registerInterest(&b, "t-a"), 0);
  zv::Event e = eventOf("t-a");
  EXPECT_EQ(m.onEvent(&e), 2);
  EXPECT_EQ(a.count, 1);
  EXPECT_EQ(b.count, 1);
  zv::Event other = eventOf("t-b");
  EXPECT_EQ(m.onEvent(&other), 0);
}

TEST_F(ManagerTest, InactiveObjectsAreSkipped) {
  TestManager m;
  Counter a;
  m.registerInterest(&a, "t-a");
  zv::WorldManager::getInstance().startUp();
  Counter b;  // in the world, so its activity can change
  m.registerInterest(&b, "t-a");
  b.setActive(false);
  zv::Event e = eventOf("t-a");
  EXPECT_EQ(m.onEvent(&e), 1);
  EXPECT_EQ(b.count, 0);
  b.setActive(true);
}

TEST_F(ManagerTest, DuplicateRegistrationDeliversTwice) {
  TestManager m;
  Counter a;
  m.registerInterest(&a, "t-a");
  m.registerInterest(&a, "t-a");
  zv::Event e = eventOf("t-a");
  EXPECT_EQ(m.onEvent(&e), 2);
  EXPECT_EQ(m.unregisterInterest(&a, "t-a"), 0);
  EXPECT_EQ(m.onEvent(&e), 1);
}

TEST_F(ManagerTest, UndefinedAndInvalidEventsReachNobody) {
  TestManager m;
  Counter a;
  m.registerInterest(&a, "t-a");
  zv::Event undefined;
  EXPECT_EQ(m.onEvent(&undefined), 0);
  zv::Event invalid = eventOf("bad");
  EXPECT_EQ(m.onEvent(&invalid), 0);
  EXPECT_EQ(a.count, 0);
}

TEST_F(ManagerTest, RefusedTypeIsLoggedEvenAtLevelZero) {
  TestManager m;
  Counter a;
  EXPECT_EQ(m.registerInterest(&a, "bad"), -1);
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Manager(TestManager)::registerInterest(): Event 'bad' not valid for this Manager"));
  zv::LogManager::getInstance().startUp();
}

TEST_F(ManagerTest, UnregisterUnknownFails) {
  TestManager m;
  Counter a, b;
  EXPECT_EQ(m.unregisterInterest(&a, "t-a"), -1);
  m.registerInterest(&a, "t-a");
  EXPECT_EQ(m.unregisterInterest(&b, "t-a"), -1);
  EXPECT_EQ(m.unregisterInterest(&a, "t-b"), -1);
}

TEST_F(ManagerTest, EmptiedRowIsClosedAndLaterRowsMoveDown) {
  TestManager m;
  Counter a, b, c;
  m.registerInterest(&a, "t-a");
  m.registerInterest(&b, "t-b");
  m.registerInterest(&c, "t-c");
  ASSERT_EQ(m.unregisterInterest(&a, "t-a"), 0);
  // The rows for t-b and t-c still deliver to the right objects.
  zv::Event eb = eventOf("t-b"), ec = eventOf("t-c"), ea = eventOf("t-a");
  EXPECT_EQ(m.onEvent(&eb), 1);
  EXPECT_EQ(m.onEvent(&ec), 1);
  EXPECT_EQ(m.onEvent(&ea), 0);
  EXPECT_EQ(b.count, 1);
  EXPECT_EQ(c.count, 1);
  // A new type takes the freed last row with an empty list.
  Counter d;
  m.registerInterest(&d, "t-d");
  zv::Event ed = eventOf("t-d");
  EXPECT_EQ(m.onEvent(&ed), 1);
  EXPECT_EQ(m.onEvent(&ec), 1);
  EXPECT_EQ(c.count, 2);
  EXPECT_EQ(d.count, 1);
}

TEST_F(ManagerTest, AtMostOneHundredEventTypes) {
  TestManager m;
  Counter a;
  for (int i = 0; i < zv::MAX_EVENTS; i++)
    ASSERT_EQ(m.registerInterest(&a, "t-" + std::to_string(i)), 0);
  EXPECT_EQ(m.registerInterest(&a, "t-extra"), -1);
  // An existing type still takes more objects.
  Counter b;
  EXPECT_EQ(m.registerInterest(&b, "t-7"), 0);
  zv::Event e = eventOf("t-7");
  EXPECT_EQ(m.onEvent(&e), 2);
}

TEST_F(ManagerTest, HandlersMayChangeRegistrationsDuringTheWalk) {
  TestManager m;
  Meddler meddler;
  Counter newcomer, tail;
  meddler.manager = &m;
  meddler.newcomer = &newcomer;
  m.registerInterest(&meddler, "t-a");
  m.registerInterest(&tail, "t-a");
  zv::Event e = eventOf("t-a");
  // The walk runs over a copy: the newcomer misses this event, the tail gets it.
  EXPECT_EQ(m.onEvent(&e), 2);
  EXPECT_EQ(newcomer.count, 0);
  EXPECT_EQ(tail.count, 1);
  EXPECT_EQ(m.onEvent(&e), 2);
  EXPECT_EQ(meddler.count, 1);
  EXPECT_EQ(newcomer.count, 1);
}

TEST_F(ManagerTest, StartUpAndShutDownFlags) {
  TestManager m;
  EXPECT_EQ(m.getType(), "TestManager");
  EXPECT_FALSE(m.isStarted());
  EXPECT_EQ(m.startUp(), 0);
  EXPECT_EQ(m.startUp(), 0);
  EXPECT_TRUE(m.isStarted());
  m.shutDown();
  EXPECT_FALSE(m.isStarted());
  zv::LogManager::getInstance().setLogLevel(1);
  m.shutDown();
  m.startUp();
  m.startUp();
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Manager::shutDown(): Warning! TestManager not started."));
  EXPECT_TRUE(zvtest::logContains("Manager::startUp(): Warning! TestManager already started."));
  zv::LogManager::getInstance().startUp();
}

TEST(Event, TypesAndStepCount) {
  zv::Event e;
  EXPECT_EQ(e.getType(), "zv-undefined");
  e.setType("custom");
  EXPECT_EQ(e.getType(), "custom");
  zv::EventStep s(12);
  EXPECT_EQ(s.getType(), "zv-step");
  EXPECT_EQ(s.getStepCount(), 12);
  const zv::Event* base = &s;
  EXPECT_NE(dynamic_cast<const zv::EventStep*>(base), nullptr);
}
