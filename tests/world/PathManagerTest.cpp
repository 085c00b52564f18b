#include <cstdint>

#include "WorldFixture.h"
#include "core/LogManager.h"
#include "platform/Platform.h"

using zv::GameManager;
using zv::Object;
using zv::PathFind;
using zv::PathManager;
using zv::Vector;
using zv::WorldManager;

namespace {

// A wall clock that moves on by tick_us at every reading, so that a cycle's
// budget buys a known amount of work.
uint32_t fake_now = 0;
uint32_t tick_us = 100;
uint32_t tickingClock() { return fake_now += tick_us; }
void fakeSleep(int ms) { fake_now += static_cast<uint32_t>(ms) * 1000u; }

std::size_t expanded(const Object* p) { return p->getPathFind() ? p->getPathFind()->getClosedList().size() : 0; }

// Starts its next search from inside the handler of the last one's result.
class Relay : public Seeker {
 public:
  std::vector<Vector> next_goals;
  int eventHandler(const zv::Event* p_e) override {
    int result = Seeker::eventHandler(p_e);
    if (p_e->getType() == zv::PATH_EVENT && !next_goals.empty()) {
      findPath(next_goals.front());
      next_goals.erase(next_goals.begin());
    }
    return result;
  }
};

} // namespace

TEST(PathManagerStart, MinimumCycleIsATenthOfTheFrame) {
  for (auto frame : {std::make_pair(33, 3), std::make_pair(9, 0)}) {
    ASSERT_EQ(zvtest::startHeadless("frame_time:" + std::to_string(frame.first) + ","), 0);
    EXPECT_EQ(PathManager::getInstance().getMinCycleTime(), frame.second);
    EXPECT_EQ(PathManager::getInstance().startUp(), -1);
    GameManager::getInstance().shutDown();
    EXPECT_FALSE(PathManager::getInstance().isStarted());
  }
  // Started already, it makes the engine's start-up fail.
  ASSERT_EQ(PathManager::getInstance().startUp(), 0);
  EXPECT_EQ(zvtest::startHeadless(), -1);
  EXPECT_TRUE(zvtest::logContains("Error starting path manager!"));
  GameManager::getInstance().shutDown();
}

TEST_F(WorldTest, PendingSearches) {
  world(20, 10);
  PathManager& pm = PathManager::getInstance();
  PathFind a(at(1, 1), Vector(5, 5)), b(at(2, 2), Vector(5, 5)), c(at(3, 3), Vector(5, 5)), orphan(nullptr, Vector(1, 1));
  for (PathFind* p : {&a, &b, &c})
    EXPECT_EQ(pm.addPathFind(p), 0);
  EXPECT_EQ(pm.addPathFind(&b), -1);
  EXPECT_TRUE(logged("PathManager::addPathFind(): Warning! Search already pending."));
  EXPECT_EQ(pm.addPathFind(nullptr), -1);
  EXPECT_EQ(pm.addPathFind(&orphan), -1);
  EXPECT_EQ(pm.removePathFind(nullptr), -1);
  EXPECT_EQ(pm.removePathFind(&orphan), -1);
  EXPECT_EQ(pm.removePathFind(&b), 0);
  EXPECT_EQ(pm.removePathFind(&b), -1);
  EXPECT_TRUE(pm.isPending(&a) && !pm.isPending(&b) && pm.isPending(&c));
  EXPECT_EQ(pm.removePathFind(&a) + pm.removePathFind(&c), 0);
  // An object has one search at most: a new one replaces it, a refused one leaves it.
  Object* p = at(1, 1);
  ASSERT_EQ(p->findPath(Vector(5, 5)), 0);
  ASSERT_EQ(p->findPath(Vector(9, 9)), 0);
  PathFind* second = p->getPathFind();
  EXPECT_EQ(second->getGoal().x, 9);
  EXPECT_EQ(p->findPath(Vector(-5, 0)), -1);
  EXPECT_EQ(p->getPathFind(), second);
  EXPECT_EQ(pm.getPathFindCount(), 1);
  // Deleting the object takes its search along; stopping refuses new ones.
  WorldManager::getInstance().markForDelete(p);
  WorldManager::getInstance().update();
  EXPECT_EQ(pm.getPathFindCount(), 0);
  pm.shutDown();
  EXPECT_EQ(at(1, 1)->findPath(Vector(5, 5)), -1);
  EXPECT_TRUE(logged("PathManager::addPathFind(): Error! PathManager not started."));
}

TEST_F(WorldTest, CycleHandsResultsOverInTurn) {
  world(20, 8);
  for (int y = 0; y < 4; y++)
    at(4, static_cast<float>(y));
  Seeker* walker = new Seeker;
  walker->setSolidness(zv::SPECTRAL);
  walker->setPosition(Vector(1, 1));
  walker->setVelocity(Vector(1, 0));
  ASSERT_EQ(walker->findPath(Vector(6, 1)), 0);
  // A goal walled in on all sides: no path, the old route stays.
  for (int dy = -1; dy <= 1; dy++)
    for (int dx = -1; dx <= 1; dx++)
      if (dx || dy)
        at(static_cast<float>(15 + dx), static_cast<float>(4 + dy));
  Seeker* shut_out = new Seeker;
  shut_out->setPosition(Vector(12, 1));
  shut_out->setPath(zv::Path(std::vector<Vector>{Vector(1, 2)}));
  ASSERT_EQ(shut_out->findPath(Vector(15, 4)), 0);
  // A handler may start the next search at once.
  Relay* relay = new Relay;
  relay->setPosition(Vector(1, 7));
  relay->next_goals = {Vector(3, 7), Vector(1, 7)};
  ASSERT_EQ(relay->findPath(Vector(2, 7)), 0);
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(walker->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(shut_out->results, std::vector<int>{zv::PATH_NONE});
  EXPECT_EQ(relay->results, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(text(shut_out->getPath()), "(1,2)");
  EXPECT_FALSE(shut_out->getFollowPath());
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 0);
  EXPECT_EQ(walker->getPathFind(), nullptr);
  EXPECT_TRUE(walker->getFollowPath());
  // The walker lands on each node in turn, through the gap under the wall.
  std::vector<Vector> visited;
  for (int frame = 0; frame < 50 && walker->getFollowPath(); frame++) {
    WorldManager::getInstance().update();
    visited.push_back(walker->getPosition());
  }
  EXPECT_EQ(text(visited), "(1,1) (2,2) (3,3) (4,4) (5,3) (6,2) (6,1)");
  EXPECT_EQ(walker->getDirection(), Vector(0, 0));
}

TEST_F(WorldTest, DeletedTargetLeavesTheSearchHeadingForItsCell) {
  world(20, 10);
  Object* target = at(8, 2);
  Seeker* p = new Seeker;
  ASSERT_EQ(p->findPath(target), 0);
  WorldManager::getInstance().markForDelete(target);
  WorldManager::getInstance().update();
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(p->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(p->getPath().getNodes().back(), Vector(8, 2));
}

class TickingPathTest : public WorldTest {
 protected:
  void SetUp() override {
    fake_now = 0;
    tick_us = 100;
    zv::platform::setClockSource(tickingClock);
    zv::platform::setSleeper(fakeSleep);
    ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
    zv::LogManager::getInstance().setLogLevel(5);
    world(200, 200);
  }
  void TearDown() override {
    WorldTest::TearDown();
    zv::platform::setClockSource(nullptr);
    zv::platform::setSleeper(nullptr);
  }
};

TEST_F(TickingPathTest, BudgetIsAtLeastTheMinimumAndShared) {
  Object* p = at(1, 1);
  auto steps = [&](int budget_ms) {
    p->findPath(Vector(198, 198));
    PathManager::getInstance().cycle(budget_ms);
    return expanded(p);
  };
  std::size_t at_minimum = steps(3);
  EXPECT_GT(at_minimum, 0u);
  EXPECT_LT(at_minimum, 197u);  // far from done
  for (int below : {1, 0, -40})
    EXPECT_EQ(steps(below), at_minimum) << below;
  EXPECT_GT(steps(6), at_minimum);
  // Two searches take turns.
  Object* q = at(1, 198);
  p->findPath(Vector(198, 198));
  ASSERT_EQ(q->findPath(Vector(198, 1)), 0);
  PathManager::getInstance().cycle(10);
  EXPECT_GT(expanded(p), 2u);
  EXPECT_TRUE(expanded(p) == expanded(q) || expanded(p) == expanded(q) + 1) << expanded(p) << " " << expanded(q);
  // A clock already past the budget: logged, nothing done.
  tick_us = 5000;
  p->findPath(Vector(198, 198));
  PathManager::getInstance().cycle(2);
  EXPECT_TRUE(logged("PathManager::cycle(): cycle time 3 exceeded."));
  EXPECT_EQ(expanded(p), 0u);
}

// The engine running a search in the spare time of real frames.
TEST(PathInTheGameLoop, ObjectFindsItsWayAndWalksIt) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:10,"), 0);
  for (int y = 0; y < 20; y++)  // a wall down x = 10, the bottom rows open
    (new Object)->setPosition(Vector(10, static_cast<float>(y)));
  Seeker* walker = new Seeker;
  walker->setSolidness(zv::SPECTRAL);
  walker->setPosition(Vector(2, 2));
  walker->setVelocity(Vector(1, 0));
  ASSERT_EQ(walker->findPath(Vector(20, 2)), 0);
  zvtest::Recorder* watch = new zvtest::Recorder;
  watch->registerInterest(zv::STEP_EVENT);
  watch->stop_after_steps = 300;
  GameManager::getInstance().run();
  EXPECT_EQ(walker->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(walker->getPosition(), Vector(20, 2));
  EXPECT_FALSE(walker->getFollowPath());
  GameManager::getInstance().shutDown();
}
