#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Manager.h>
#include <zelvra/world/WorldManager.h>

namespace {

// A manager that accepts any type beginning with "t-".
class TestManager : public zv::Manager {
 public:
  TestManager() { setType("TestManager"); }
  bool isValid(std::string event_type) const override { return event_type.rfind("t-", 0) == 0; }
};

// Counts its events; a meddler also registers a newcomer and leaves while one is handed out.
class Counter : public zv::Object {
 public:
  int count = 0;
  TestManager* meddle_in = nullptr;
  Counter* newcomer = nullptr;
  int eventHandler(const zv::Event*) override {
    count++;
    if (meddle_in)
      meddle_in->registerInterest(newcomer, "t-a"), meddle_in->unregisterInterest(this, "t-a");
    return 1;
  }
};

class ManagerTest : public testing::Test {
 protected:
  TestManager m;
  Counter a, b, c, d;
  void SetUp() override { zv::LogManager::getInstance().startUp(); }
  int send(const std::string& type) {
    zv::Event e;
    e.setType(type);
    return m.onEvent(&e);
  }
};

} // namespace

TEST_F(ManagerTest, DeliveryRegistrationAndRefusals) {
  ASSERT_EQ((Codes{m.registerInterest(&a, "t-a"), m.registerInterest(&b, "t-a"), m.registerInterest(&b, "t-a")}),
            (Codes{0, 0, 0}));
  EXPECT_EQ(send("t-a"), 3);  // twice registered: delivered twice
  EXPECT_EQ(b.count, 2);
  EXPECT_EQ(m.unregisterInterest(&b, "t-a"), 0);
  EXPECT_EQ(std::vector<int>({send("t-a"), send("t-b"), send("zv-undefined"), send("bad"), a.count}),
            std::vector<int>({2, 0, 0, 0, 2}));
  EXPECT_EQ(std::vector<int>({m.registerInterest(&a, "bad"), m.unregisterInterest(&c, "t-a"),
                              m.unregisterInterest(&a, "t-b")}),
            std::vector<int>({-1, -1, -1}));
  // Inactive objects are skipped; only objects in the world can change that.
  zv::WorldManager::getInstance().startUp();
  Counter in_world;
  m.registerInterest(&in_world, "t-a");
  in_world.setActive(false);
  EXPECT_EQ(send("t-a"), 2);
  EXPECT_EQ(in_world.count, 0);
  in_world.setActive(true);
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Manager(TestManager)::registerInterest(): Event 'bad' not valid for this Manager"));
}

TEST_F(ManagerTest, EmptiedRowIsClosedAndLaterRowsMoveDown) {
  m.registerInterest(&a, "t-a"), m.registerInterest(&b, "t-b"), m.registerInterest(&c, "t-c");
  ASSERT_EQ(m.unregisterInterest(&a, "t-a"), 0);
  EXPECT_EQ(std::vector<int>({send("t-b"), send("t-c"), send("t-a")}), std::vector<int>({1, 1, 0}));
  // A new type takes the freed last row with an empty list.
  m.registerInterest(&d, "t-d");
  EXPECT_EQ(std::vector<int>({send("t-d"), send("t-c"), b.count, c.count, d.count}),
            std::vector<int>({1, 1, 1, 2, 1}));
}

TEST_F(ManagerTest, AtMostOneHundredEventTypes) {
  for (int i = 0; i < zv::MAX_EVENTS; i++)
    ASSERT_EQ(m.registerInterest(&a, "t-" + std::to_string(i)), 0);
  EXPECT_EQ(m.registerInterest(&a, "t-extra"), -1);
  EXPECT_EQ(m.registerInterest(&b, "t-7"), 0);  // an existing type still takes more
  EXPECT_EQ(send("t-7"), 2);
}

TEST_F(ManagerTest, HandlersMayChangeRegistrationsDuringTheWalk) {
  a.meddle_in = &m;
  a.newcomer = &b;
  m.registerInterest(&a, "t-a"), m.registerInterest(&c, "t-a");
  // The walk runs over a copy: the newcomer misses this event, the tail gets it.
  EXPECT_EQ(send("t-a"), 2);
  EXPECT_EQ(std::vector<int>({b.count, c.count, send("t-a"), a.count, b.count}), std::vector<int>({0, 1, 2, 1, 1}));
}

TEST_F(ManagerTest, StartUpAndShutDownTwiceWarn) {
  zv::LogManager::getInstance().setLogLevel(1);
  EXPECT_EQ((Codes{m.startUp(), m.startUp()}), (Codes{0, 0}));
  EXPECT_TRUE(m.isStarted());
  m.shutDown();
  EXPECT_FALSE(m.isStarted());
  m.shutDown();
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("Manager::shutDown(): Warning! TestManager not started."));
  EXPECT_TRUE(zvtest::logContains("Manager::startUp(): Warning! TestManager already started."));
}
