#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
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

// Counts its events; optionally registers a newcomer and leaves while one is handed out.
class Counter : public zv::Object {
 public:
  int count = 0;
  TestManager* meddle_in = nullptr;
  Counter* newcomer = nullptr;
  int eventHandler(const zv::Event*) override {
    count++;
    if (meddle_in) {
      meddle_in->registerInterest(newcomer, "t-a");
      meddle_in->unregisterInterest(this, "t-a");
    }
    return 1;
  }
};

int send(TestManager& m, const std::string& type) {
  zv::Event e;
  e.setType(type);
  return m.onEvent(&e);
}

class ManagerTest : public testing::Test {
 protected:
  TestManager m;
  Counter a, b, c;
  void SetUp() override { zv::LogManager::getInstance().startUp(); }
};

} // namespace

TEST_F(ManagerTest, DeliveryRegistrationAndRefusals) {
  ASSERT_EQ(m.registerInterest(&a, "t-a"), 0);
  ASSERT_EQ(m.registerInterest(&b, "t-a"), 0);
  ASSERT_EQ(m.registerInterest(&b, "t-a"), 0);  // twice: delivered twice
  EXPECT_EQ(send(m, "t-a"), 3);
  EXPECT_EQ(a.count, 1);
  EXPECT_EQ(b.count, 2);
  EXPECT_EQ(m.unregisterInterest(&b, "t-a"), 0);
  EXPECT_EQ(send(m, "t-a"), 2);
  EXPECT_EQ(send(m, "t-b"), 0);
  EXPECT_EQ(send(m, "zv-undefined"), 0);
  EXPECT_EQ(send(m, "bad"), 0);
  EXPECT_EQ(m.registerInterest(&a, "bad"), -1);
  EXPECT_EQ(m.unregisterInterest(&c, "t-a"), -1);
  EXPECT_EQ(m.unregisterInterest(&a, "t-b"), -1);
  zv::LogManager::getInstance().shutDown();
  // Logged at level zero.
  EXPECT_TRUE(zvtest::logContains("Manager(TestManager)::registerInterest(): Event 'bad' not valid for this Manager"));
}

TEST_F(ManagerTest, InactiveObjectsAreSkipped) {
  m.registerInterest(&a, "t-a");
  zv::WorldManager::getInstance().startUp();
  Counter in_world;  // in the world, so its activity can change
  m.registerInterest(&in_world, "t-a");
  in_world.setActive(false);
  EXPECT_EQ(send(m, "t-a"), 1);
  EXPECT_EQ(in_world.count, 0);
  in_world.setActive(true);
}

TEST_F(ManagerTest, EmptiedRowIsClosedAndLaterRowsMoveDown) {
  m.registerInterest(&a, "t-a");
  m.registerInterest(&b, "t-b");
  m.registerInterest(&c, "t-c");
  ASSERT_EQ(m.unregisterInterest(&a, "t-a"), 0);
  EXPECT_EQ(send(m, "t-b"), 1);
  EXPECT_EQ(send(m, "t-c"), 1);
  EXPECT_EQ(send(m, "t-a"), 0);
  // A new type takes the freed last row with an empty list.
  Counter d;
  m.registerInterest(&d, "t-d");
  EXPECT_EQ(send(m, "t-d"), 1);
  EXPECT_EQ(send(m, "t-c"), 1);
  EXPECT_EQ(b.count, 1);
  EXPECT_EQ(c.count, 2);
  EXPECT_EQ(d.count, 1);
}

TEST_F(ManagerTest, AtMostOneHundredEventTypes) {
  for (int i = 0; i < zv::MAX_EVENTS; i++)
    ASSERT_EQ(m.registerInterest(&a, "t-" + std::to_string(i)), 0);
  EXPECT_EQ(m.registerInterest(&a, "t-extra"), -1);
  // An existing type still takes more objects.
  EXPECT_EQ(m.registerInterest(&b, "t-7"), 0);
  EXPECT_EQ(send(m, "t-7"), 2);
}

TEST_F(ManagerTest, HandlersMayChangeRegistrationsDuringTheWalk) {
  a.meddle_in = &m;
  a.newcomer = &b;
  m.registerInterest(&a, "t-a");
  m.registerInterest(&c, "t-a");
  // The walk runs over a copy: the newcomer misses this event, the tail gets it.
  EXPECT_EQ(send(m, "t-a"), 2);
  EXPECT_EQ(b.count, 0);
  EXPECT_EQ(c.count, 1);
  EXPECT_EQ(send(m, "t-a"), 2);
  EXPECT_EQ(a.count, 1);
  EXPECT_EQ(b.count, 1);
}

TEST_F(ManagerTest, StartUpAndShutDownTwiceWarn) {
  zv::LogManager::getInstance().setLogLevel(1);
  EXPECT_EQ(m.startUp(), 0);
  EXPECT_EQ(m.startUp(), 0);
  EXPECT_TRUE(m.isStarted());
  m.shutDown();
  EXPECT_FALSE(m.isStarted());
  m.shutDown();
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Manager::shutDown(): Warning! TestManager not started."));
  EXPECT_TRUE(zvtest::logContains("Manager::startUp(): Warning! TestManager already started."));
}
