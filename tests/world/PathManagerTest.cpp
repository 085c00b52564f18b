#include <cstdint>

#include "PathFixture.h"
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
uint32_t tick_us = 0;
uint32_t tickingClock() {
  fake_now += tick_us;
  return fake_now;
}
void fakeSleep(int ms) { fake_now += static_cast<uint32_t>(ms) * 1000u; }

class TickingPathTest : public PathTest {
 protected:
  void SetUp() override {
    fake_now = 0;
    tick_us = 100;
    zv::platform::setClockSource(tickingClock);
    zv::platform::setSleeper(fakeSleep);
    ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  }
  void TearDown() override {
    PathTest::TearDown();
    zv::platform::setClockSource(nullptr);
    zv::platform::setSleeper(nullptr);
  }
  static std::size_t expanded(const Object* p_o) {
    return p_o->getPathFind() ? p_o->getPathFind()->getClosedList().size() : 0;
  }
};

// Shares one record of every result delivered, to see their order.
class Relay : public Seeker {
 public:
  std::vector<std::pair<Relay*, int>>* all;
  std::vector<Vector> next_goals;
  explicit Relay(std::vector<std::pair<Relay*, int>>* shared) : all(shared) {}
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::PATH_EVENT)
      all->push_back({this, static_cast<const zv::EventPath*>(p_e)->getStatus()});
    int result = Seeker::eventHandler(p_e);
    // Starting the next search from inside the handler must be safe.
    if (p_e->getType() == zv::PATH_EVENT && !next_goals.empty()) {
      Vector goal = next_goals.front();
      next_goals.erase(next_goals.begin());
      findPath(goal);
    }
    return result;
  }
};

// Ends the game loop once the walker has its path and has walked it.
class Watch : public Object {
 public:
  Seeker* p_walker = nullptr;
  int frames = 0;
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    frames++;
    bool arrived = !p_walker->results.empty() && !p_walker->getFollowPath();
    if (arrived || frames >= 300)
      GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

int indexOf(const std::vector<std::string>& log, const std::string& text) {
  for (std::size_t i = 0; i < log.size(); i++)
    if (log[i] == text)
      return static_cast<int>(i);
  return -1;
}

} // namespace

TEST(PathManagerStart, StartsAfterTheWorldAndStopsFirst) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);
  PathManager& pm = PathManager::getInstance();
  EXPECT_TRUE(pm.isStarted());
  EXPECT_EQ(pm.getType(), "PathManager");
  EXPECT_EQ(pm.getMinCycleTime(), 3);
  EXPECT_EQ(pm.startUp(), -1);
  GameManager::getInstance().shutDown();
  EXPECT_FALSE(pm.isStarted());

  std::vector<std::string> log = zvtest::logMessages();
  EXPECT_GE(indexOf(log, "PathManager::startup(): Warning! PathManager already started."), 0);
  int world_started = indexOf(log, "World manager started.");
  int path_up = indexOf(log, "PathManager::startUp(): successfully started.");
  int path_started = indexOf(log, "Path manager started.");
  int path_down = indexOf(log, "PathManager::shutDown(): successfully stopped.");
  int path_stopped = indexOf(log, "Path manager stopped");
  int world_stopped = indexOf(log, "World manager stopped");
  EXPECT_GE(world_started, 0);
  EXPECT_GT(path_up, world_started);
  EXPECT_GT(path_started, path_up);
  EXPECT_GT(indexOf(log, "GameManager successfully started."), path_started);
  EXPECT_GT(path_down, path_started);
  EXPECT_GT(path_stopped, path_down);
  EXPECT_GT(world_stopped, path_stopped);
}

TEST(PathManagerStart, ShortFramesGiveNoMinimum) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:9,"), 0);
  EXPECT_EQ(PathManager::getInstance().getMinCycleTime(), 0);
  GameManager::getInstance().shutDown();
}

TEST(PathManagerStart, FailureEndsEngineStartUp) {
  ASSERT_EQ(PathManager::getInstance().startUp(), 0);
  EXPECT_EQ(zvtest::startHeadless(), -1);
  EXPECT_TRUE(zvtest::logContains("Error starting path manager!"));
  EXPECT_FALSE(zvtest::logContains("Path manager started."));
  GameManager::getInstance().shutDown();
}

// The list of pending searches.
using PathManagerList = PathTest;

TEST_F(PathManagerList, AddAndRemove) {
  world(20, 10);
  PathManager& pm = PathManager::getInstance();
  PathFind a(at(1, 1), Vector(5, 5)), b(at(2, 2), Vector(5, 5)), c(at(3, 3), Vector(5, 5));
  EXPECT_EQ(pm.addPathFind(&a), 0);
  EXPECT_EQ(pm.addPathFind(&b), 0);
  EXPECT_EQ(pm.addPathFind(&c), 0);
  EXPECT_EQ(pm.addPathFind(&b), -1);
  EXPECT_TRUE(logged("PathManager::addPathFind(): Warning! Search already pending."));
  EXPECT_EQ(pm.addPathFind(nullptr), -1);
  PathFind orphan(nullptr, Vector(1, 1));
  EXPECT_EQ(pm.addPathFind(&orphan), -1);
  EXPECT_EQ(pm.getPathFindCount(), 3);

  EXPECT_EQ(pm.removePathFind(nullptr), -1);
  EXPECT_EQ(pm.removePathFind(&orphan), -1);
  EXPECT_EQ(pm.removePathFind(&b), 0);
  EXPECT_EQ(pm.removePathFind(&b), -1);
  EXPECT_TRUE(pm.isPending(&a));
  EXPECT_FALSE(pm.isPending(&b));
  EXPECT_TRUE(pm.isPending(&c));
  EXPECT_EQ(pm.removePathFind(&a), 0);
  EXPECT_EQ(pm.removePathFind(&c), 0);
  EXPECT_EQ(pm.getPathFindCount(), 0);
}

TEST_F(PathManagerList, RemovalKeepsTheOthersInOrder) {
  world(20, 10);
  std::vector<std::pair<Relay*, int>> results;
  Relay* a = new Relay(&results);
  Relay* b = new Relay(&results);
  Relay* c = new Relay(&results);
  a->setPosition(Vector(1, 1));
  b->setPosition(Vector(2, 2));
  c->setPosition(Vector(3, 3));
  // Each search starts on its goal and ends at its first step.
  ASSERT_EQ(c->findPath(Vector(3, 3)), 0);
  ASSERT_EQ(a->findPath(Vector(1, 1)), 0);
  ASSERT_EQ(b->findPath(Vector(2, 2)), 0);
  EXPECT_EQ(PathManager::getInstance().removePathFind(a->getPathFind()), 0);
  PathManager::getInstance().cycle(1000);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].first, c);
  EXPECT_EQ(results[1].first, b);
  // a's search is no longer pending but a still owns it until it ends.
  ASSERT_NE(a->getPathFind(), nullptr);
  EXPECT_EQ(a->getPathFind()->getClosedList().size(), 0u);
}

TEST_F(PathManagerList, NewSearchReplacesThePendingOne) {
  world(20, 10);
  Object* p_o = at(1, 1);
  ASSERT_EQ(p_o->findPath(Vector(5, 5)), 0);
  PathFind* p_first = p_o->getPathFind();
  ASSERT_EQ(p_o->findPath(Vector(9, 9)), 0);
  PathFind* p_second = p_o->getPathFind();
  EXPECT_NE(p_second, p_first);
  EXPECT_EQ(p_second->getGoal().x, 9);
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 1);
  EXPECT_TRUE(PathManager::getInstance().isPending(p_second));
  // A search that cannot start leaves the pending one alone.
  EXPECT_EQ(p_o->findPath(Vector(-5, 0)), -1);
  EXPECT_EQ(p_o->getPathFind(), p_second);
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 1);
}

TEST_F(PathManagerList, NoSearchesWhileStopped) {
  world(20, 10);
  Object* p_o = at(1, 1);
  PathManager::getInstance().shutDown();
  EXPECT_EQ(p_o->findPath(Vector(5, 5)), -1);
  EXPECT_TRUE(logged("PathManager::addPathFind(): Error! PathManager not started."));
  EXPECT_EQ(p_o->getPathFind(), nullptr);
}

// Running searches and handing over their results.
using PathManagerCycle = PathTest;

TEST_F(PathManagerCycle, FoundPathIsFollowedToTheGoal) {
  world(10, 5);
  for (int y = 0; y < 4; y++)
    at(4, y);
  Seeker* p_o = new Seeker;
  p_o->setSolidness(zv::SPECTRAL);
  p_o->setPosition(Vector(1, 1));
  p_o->setVelocity(Vector(1, 0));
  ASSERT_EQ(p_o->findPath(Vector(6, 1)), 0);
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(p_o->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(p_o->getPathFind(), nullptr);
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 0);
  EXPECT_TRUE(p_o->getFollowPath());
  ASSERT_GE(p_o->getPath().getNodeCount(), 2);
  EXPECT_EQ(p_o->getPath().getNodes().front(), Vector(1, 1));

  std::vector<Vector> visited;
  for (int frame = 0; frame < 50 && p_o->getFollowPath(); frame++) {
    WorldManager::getInstance().update();
    visited.push_back(p_o->getPosition());
  }
  EXPECT_FALSE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getPosition(), Vector(6, 1));
  EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
  // It went through the gap under the wall, landing on each node in turn.
  // The route starts on the object's own cell, which takes the first frame.
  EXPECT_EQ(text(p_o->getPath()), "(1,1) (2,2) (3,3) (4,4) (5,3) (6,2) (6,1)");
  EXPECT_EQ(text(visited), text(p_o->getPath()));
}

TEST_F(PathManagerCycle, NoPathKeepsTheOldRoute) {
  world(10, 8);
  for (int dy = -1; dy <= 1; dy++)
    for (int dx = -1; dx <= 1; dx++)
      if (dx || dy)
        at(5 + dx, 4 + dy);
  Seeker* p_o = new Seeker;
  p_o->setPath(zv::Path(std::vector<Vector>{Vector(1, 2)}));
  ASSERT_EQ(p_o->findPath(Vector(5, 4)), 0);
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(p_o->results, std::vector<int>{zv::PATH_NONE});
  EXPECT_EQ(text(p_o->getPath()), "(1,2)");
  EXPECT_FALSE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getPathFind(), nullptr);
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 0);
}

TEST_F(PathManagerCycle, HandlersMayStartTheNextSearch) {
  world(20, 10);
  std::vector<std::pair<Relay*, int>> results;
  Relay* a = new Relay(&results);
  Relay* b = new Relay(&results);
  a->setPosition(Vector(1, 1));
  b->setPosition(Vector(10, 5));
  a->next_goals = {Vector(3, 3), Vector(1, 1)};
  b->next_goals = {Vector(12, 5)};
  ASSERT_EQ(a->findPath(Vector(4, 1)), 0);
  ASSERT_EQ(b->findPath(Vector(10, 8)), 0);
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(a->results, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(b->results, (std::vector<int>{2, 2}));
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 0);
  EXPECT_EQ(a->getPathFind(), nullptr);
  EXPECT_EQ(b->getPathFind(), nullptr);
}

TEST_F(PathManagerCycle, DeletedObjectTakesItsSearchAlong) {
  world(40, 20);
  Seeker* p_o = new Seeker;
  Seeker* p_other = new Seeker;
  p_other->setPosition(Vector(3, 3));
  ASSERT_EQ(p_o->findPath(Vector(30, 15)), 0);
  ASSERT_EQ(p_other->findPath(Vector(5, 3)), 0);
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 2);
  WorldManager::getInstance().markForDelete(p_o);
  WorldManager::getInstance().update();
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 1);
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(p_other->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 0);
}

TEST_F(PathManagerCycle, PendingSearchesEndWithTheWorld) {
  world(40, 20);
  Object* p_o = at(1, 1);
  ASSERT_EQ(p_o->findPath(Vector(30, 15)), 0);
  GameManager::getInstance().shutDown();
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 0);
}

TEST_F(PathManagerCycle, DeletedTargetLeavesTheSearchHeadingForItsCell) {
  world(20, 10);
  Object* p_target = at(8, 2);
  Seeker* p_o = new Seeker;
  ASSERT_EQ(p_o->findPath(p_target), 0);
  WorldManager::getInstance().markForDelete(p_target);
  WorldManager::getInstance().update();
  ASSERT_NE(p_o->getPathFind(), nullptr);
  EXPECT_EQ(p_o->getPathFind()->getTarget(), nullptr);
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(p_o->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(p_o->getPath().getNodes().back(), Vector(8, 2));
}

TEST_F(TickingPathTest, BudgetBelowTheMinimumGetsTheMinimum) {
  world(200, 200);
  Object* p_o = at(1, 1);
  PathManager& pm = PathManager::getInstance();
  ASSERT_EQ(pm.getMinCycleTime(), 3);
  auto steps = [&](int budget_ms) {
    p_o->findPath(Vector(198, 198));
    pm.cycle(budget_ms);
    return expanded(p_o);
  };
  std::size_t at_minimum = steps(3);
  EXPECT_GT(at_minimum, 0u);
  EXPECT_LT(at_minimum, 197u);  // far from done
  EXPECT_EQ(steps(1), at_minimum);
  EXPECT_EQ(steps(0), at_minimum);
  EXPECT_EQ(steps(-40), at_minimum);
  EXPECT_GT(steps(6), at_minimum);
  EXPECT_GT(steps(12), steps(6));
}

TEST_F(TickingPathTest, SearchesTakeTurns) {
  world(200, 200);
  Object* p_a = at(1, 1);
  Object* p_b = at(1, 198);
  ASSERT_EQ(p_a->findPath(Vector(198, 198)), 0);
  ASSERT_EQ(p_b->findPath(Vector(198, 1)), 0);
  PathManager::getInstance().cycle(10);
  std::size_t a = expanded(p_a), b = expanded(p_b);
  EXPECT_GT(a, 2u);
  EXPECT_TRUE(a == b || a == b + 1) << a << " and " << b;
}

TEST_F(TickingPathTest, OverrunIsLoggedWithTheBudget) {
  zv::LogManager::getInstance().setLogLevel(5);
  world(200, 200);
  Object* p_o = at(1, 1);
  ASSERT_EQ(p_o->findPath(Vector(198, 198)), 0);
  tick_us = 5000;  // the first look at the clock already finds the budget spent
  PathManager::getInstance().cycle(2);
  EXPECT_TRUE(logged("PathManager::cycle(): cycle time 3 exceeded."));
  EXPECT_EQ(expanded(p_o), 0u);
  EXPECT_EQ(PathManager::getInstance().getPathFindCount(), 1);
}

TEST_F(TickingPathTest, GameLoopGivesSearchesMostOfWhatIsLeft) {
  GameManager::getInstance().shutDown();
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless("frame_time:100,"), 0);
  world(200, 200);
  Object* p_o = at(1, 1);
  ASSERT_EQ(p_o->findPath(Vector(198, 198)), 0);
  zvtest::Recorder* p_stop = new zvtest::Recorder;
  p_stop->registerInterest(zv::STEP_EVENT);
  p_stop->stop_after_steps = 1;
  tick_us = 2000;
  GameManager::getInstance().run();
  // The frame's one reading before the searches finds 2 ms spent:
  // (100 - 2) * 0.95 = 93.1 ms, and the searches use all of it.
  EXPECT_TRUE(logged("PathManager::cycle(): cycle time 93 exceeded."));
  EXPECT_GT(expanded(p_o), 10u);
}

// The engine running a search in the spare time of real frames.
TEST(PathInTheGameLoop, ObjectFindsItsWayAndWalksIt) {
  ASSERT_EQ(zvtest::startHeadless("frame_time:10,"), 0);
  // A wall down x = 10 from the top, leaving the bottom rows open.
  for (int y = 0; y < 20; y++) {
    Object* p_wall = new Object;
    p_wall->setPosition(Vector(10, static_cast<float>(y)));
  }
  Seeker* p_walker = new Seeker;
  p_walker->setSolidness(zv::SPECTRAL);
  p_walker->setPosition(Vector(2, 2));
  p_walker->setVelocity(Vector(1, 0));
  ASSERT_EQ(p_walker->findPath(Vector(20, 2)), 0);
  Watch* p_watch = new Watch;
  p_watch->p_walker = p_walker;
  p_watch->registerInterest(zv::STEP_EVENT);

  GameManager::getInstance().run();
  EXPECT_LT(p_watch->frames, 300);
  EXPECT_EQ(p_walker->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(p_walker->getPosition(), Vector(20, 2));
  for (const Vector& v : p_walker->getPath().getNodes())
    EXPECT_TRUE(v.getX() != 10 || v.getY() >= 20) << v.getX() << "," << v.getY();
  GameManager::getInstance().shutDown();
}
