#include <cstdint>
#include <limits>

#include "WorldFixture.h"
#include <zelvra/platform/Platform.h>

using zv::Object;
using zv::Path;
using zv::PathFind;
using zv::PathManager;
using zv::Vector;
using zv::WorldManager;

namespace {

int finish(PathFind& search) {
  int result = zv::PATH_SEARCHING;
  for (int i = 0; i < 100000 && result == zv::PATH_SEARCHING; i++)
    result = search.cycleOnce();
  return result;
}

void restart() {
  zv::GameManager::getInstance().shutDown();
  ASSERT_EQ(zvtest::startHeadless(), 0);
}

// A wall clock that moves on by 0.1 ms at every reading, so that a cycle's
// budget buys a known amount of work.
int64_t fake_now = 0;
int64_t tickingClock() { return fake_now += 100; }

std::size_t expanded(const Object* p) { return p->getPathFind() ? p->getPathFind()->getClosedList().size() : 0; }

// Records the results of its searches, and starts the next one from inside
// the handler while it has goals left.
class Seeker : public Object {
 public:
  std::vector<int> results;
  std::vector<Vector> next_goals;
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::PATH_EVENT)
      results.push_back(static_cast<const zv::EventPath*>(p_e)->getStatus());
    int result = Object::eventHandler(p_e);
    if (p_e->getType() == zv::PATH_EVENT && !next_goals.empty() && findPath(next_goals.back()) == 0)
      next_goals.pop_back();
    return result;
  }
};

} // namespace

// Past the plain walk of the search's result below: a node within three
// quarters of a step is snapped onto, and a blocked object keeps aiming at it.
TEST_F(WorldTest, FollowingAPath) {
  const struct { float speed; Path path; int frames; Vector position, direction; bool following, wall; } cases[] = {
      {1, Path({Vector(2, 2), Vector(2, 5)}), 2, Vector(2, 3), Vector(0, 1), true, false},
      {1, Path({Vector(3, 1)}), 3, Vector(1, 1), Vector(1, 0), true, true},  // a wall at (2, 1)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    restart();
    Object* p = at(1, 1);
    if (c.wall)
      at(2, 1);
    p->setVelocity(Vector(0, c.speed));  // down: the path must turn it
    p->setPath(c.path);
    p->setFollowPath(true);
    for (int i = 0; i < c.frames; i++)
      WorldManager::getInstance().update();
    EXPECT_TRUE(p->getPosition() == c.position && p->getDirection() == c.direction) << text({p->getPosition()});
    EXPECT_EQ(p->getFollowPath(), c.following);
  }
}

// HARD objects block, SOFT and SPECTRAL do not, nor does a HARD object on
// the goal; a corner between two blocked cells is not cut; among equal
// costs the cell found later goes first; a wide object needs a wide gap.
TEST_F(WorldTest, SearchOnTheGrid) {
  const zv::Solidness H = zv::HARD, S = zv::SOFT;
  struct Wall { float x, y; zv::Solidness solidness; };
  // closed: how many cells were expanded (0: not checked); size: of the object's box (0: the usual one)
  const struct { float width, height; std::vector<Wall> walls; Vector from, to; const char* route;
                 std::size_t closed; float size; } cases[] = {
      {10, 5, {}, Vector(1, 2), Vector(6, 2), "(1,2) (2,2) (3,2) (4,2) (5,2) (6,2)", 6, 0},
      {5, 5, {}, Vector(2, 3), Vector(2.2f, 2.6f), "(2,3)", 1, 0},
      {5, 3, {{2, 1, H}}, Vector(2, 0), Vector(2, 2), "(2,0) (3,1) (2,2)", 3, 0},
      {2, 2, {{1, 0, H}, {0, 1, H}}, Vector(0, 0), Vector(1, 1), "", 1, 0},
      {2, 2, {{1, 0, H}}, Vector(0, 0), Vector(1, 1), "(0,0) (1,1)", 2, 0},
      {10, 5, {{4, 0, H}, {4, 1, H}, {4, 2, H}, {4, 3, H}}, Vector(1, 1), Vector(6, 1),
       "(1,1) (2,2) (3,3) (4,4) (5,3) (6,2) (6,1)", 0, 0},
      {8, 3, {{4, 0, S}, {4, 1, zv::SPECTRAL}, {4, 2, S}}, Vector(1, 1), Vector(6, 1),
       "(1,1) (2,1) (3,1) (4,1) (5,1) (6,1)", 6, 0},
      {8, 3, {{5, 1, H}}, Vector(1, 1), Vector(5, 1), "(1,1) (2,1) (3,1) (4,1) (5,1)", 5, 0},
      {10, 8, {{4, 3, H}, {5, 3, H}, {6, 3, H}, {4, 4, H}, {6, 4, H}, {4, 5, H}, {5, 5, H}, {6, 5, H}}, Vector(1, 1),
       Vector(5, 4), "", 71, 0},  // every cell but the wall and the goal, once
      {11, 10, {{6, 0, H}, {6, 1, H}, {6, 3, H}, {6, 4, H}, {6, 8, H}, {6, 9, H}}, Vector(2, 2), Vector(10, 2),
       "(2,2) (3,3) (4,4) (4,5) (5,6) (6,6) (7,6) (8,5) (9,4) (10,3) (10,2)", 0, 2.8f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    restart();
    world(c.width, c.height);
    for (const Wall& w : c.walls)
      at(w.x, w.y, w.solidness);
    Object* p = at(c.from.getX(), c.from.getY());
    if (c.size > 0)
      p->setBox(zv::Box(Vector(-c.size / 2, -c.size / 2), c.size, c.size));
    PathFind search(p, c.to);
    EXPECT_EQ(finish(search), *c.route ? zv::PATH_FOUND : zv::PATH_NONE);
    EXPECT_EQ(text(search.getPath().getNodes()), c.route);
    EXPECT_TRUE(!c.closed || search.getClosedList().size() == c.closed) << search.getClosedList().size();
  }
  restart();  // a target is reached where the boxes first meet
  Object* target = at(9, 2);
  target->setBox(zv::Box(Vector(-1.5f, -1.5f), 3, 3));
  PathFind search(at(2, 2), target);
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getPath().getNodes()), "(2,2) (3,2) (4,2) (5,2) (6,2) (7,2) (8,2)");
}

// Bad input gets a logged refusal and no search, never a read off the grid.
TEST_F(WorldTest, SearchesThatCannotStart) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct { float width, height; Vector from, to; int result; } cases[] = {
      {0, 0, Vector(0, 0), Vector(0, 0), -1},         {nan, 10, Vector(0, 0), Vector(0, 0), -1},
      {2000, 1000, Vector(1, 1), Vector(5, 5), -1},   {1000, 1000, Vector(1, 1), Vector(5, 5), 0},
      {1000000, 1, Vector(1, 0), Vector(5, 0), 0},    {1, 1000000, Vector(0, 1), Vector(0, 5), 0},
      {80, 24, Vector(-3, 2), Vector(5, 5), -1},      {80, 24, Vector(1, 1), Vector(80, 5), -1},
      {80, 24, Vector(1, 1), Vector(5, -0.6f), -1},   {80, 24, Vector(1, 1), Vector(nan, 1), -1},
      {80, 24, Vector(1, 1), Vector(79.4f, 23.4f), 0}, {80, 24, Vector(1, 1), Vector(-0.5f, 0), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    world(c.width, c.height);
    Object* p = at(c.from.getX(), c.from.getY(), zv::SPECTRAL);
    EXPECT_TRUE(p->findPath(c.to) == c.result && (p->getPathFind() != nullptr) == (c.result == 0));
  }
  EXPECT_EQ(at(1, 1)->findPath(static_cast<Object*>(nullptr)), -1);
  for (std::string e : {"The world has no cells to search.", "World of 2000 x 1000 cells is larger than 1000000 cells.",
                        "Start (-3.00,2.00) outside the 80 x 24 world.", "Goal (80.00,5.00) outside the 80 x 24 world.",
                        "No target to search for."})
    EXPECT_TRUE(zvtest::logContains("PathFind::PathFind(): Error! " + e)) << e;
  zv::Event fake;
  fake.setType(zv::PATH_EVENT);
  EXPECT_EQ(at(1, 1)->eventHandler(&fake), 0);
  EXPECT_TRUE(zvtest::logContains("Object::eventHandler(): Error! Dynamic cast to EventPath failed."));
}

TEST_F(WorldTest, PendingSearches) {
  world(20, 10);
  PathManager& pm = PathManager::getInstance();
  EXPECT_EQ(pm.startUp(), -1);
  PathFind a(at(1, 1), Vector(5, 5)), b(at(2, 2), Vector(5, 5)), orphan(nullptr, Vector(1, 1));
  EXPECT_EQ((Codes{pm.addPathFind(&a), pm.addPathFind(&b)}), (Codes{0, 0}));
  EXPECT_EQ(pm.addPathFind(&b), -1);
  EXPECT_TRUE(zvtest::logContains("PathManager::addPathFind(): Warning! Search already pending."));
  EXPECT_EQ((Codes{pm.addPathFind(nullptr), pm.addPathFind(&orphan)}), (Codes{-1, -1}));
  EXPECT_EQ(orphan.cycleOnce(), zv::PATH_NONE);
  EXPECT_TRUE(zvtest::logContains("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."));
  EXPECT_EQ((Codes{pm.removePathFind(nullptr), pm.removePathFind(&orphan)}), (Codes{-1, -1}));
  EXPECT_EQ(pm.removePathFind(&b), 0);
  EXPECT_EQ(pm.removePathFind(&b), -1);
  EXPECT_EQ(pm.removePathFind(&a), 0);
  // An object has one search at most: a new one replaces it, a refused one leaves it.
  Object* p = at(1, 1);
  ASSERT_EQ((Codes{p->findPath(Vector(5, 5)), p->findPath(Vector(9, 9)), p->findPath(Vector(-5, 0))}), (Codes{0, 0, -1}));
  EXPECT_TRUE(p->getPathFind()->getGoal().x == 9 && pm.getPathFindCount() == 1);
  // Deleting the object takes its search along; stopping refuses new ones.
  WorldManager::getInstance().markForDelete(p);
  WorldManager::getInstance().update();
  EXPECT_EQ(pm.getPathFindCount(), 0);
  pm.shutDown();
  EXPECT_EQ(at(1, 1)->findPath(Vector(5, 5)), -1);
  EXPECT_TRUE(zvtest::logContains("PathManager::addPathFind(): Error! PathManager not started."));
}

TEST_F(WorldTest, CycleHandsTheResultsOver) {
  world(20, 8);
  for (float y = 0; y < 4; y++)
    at(4, y);
  auto seeker = [](float x, float y) {
    Seeker* p = new Seeker;
    p->setPosition(Vector(x, y));
    return p;
  };
  Seeker* walker = seeker(1, 1);
  walker->setSolidness(zv::SPECTRAL);
  walker->setVelocity(Vector(1, 0));
  ASSERT_EQ(walker->findPath(Vector(6, 1)), 0);
  for (int dy = -1; dy <= 1; dy++)  // a goal walled in: no path, the old route stays
    for (int dx = -1; dx <= 1; dx++)
      if (dx || dy)
        at(static_cast<float>(15 + dx), static_cast<float>(4 + dy));
  Seeker* shut_out = seeker(12, 1);
  shut_out->setPath(Path({Vector(1, 2)}));
  ASSERT_EQ(shut_out->findPath(Vector(15, 4)), 0);
  Seeker* relay = seeker(1, 7);
  relay->next_goals = {Vector(1, 7), Vector(3, 7)};
  ASSERT_EQ(relay->findPath(Vector(2, 7)), 0);
  Object* target = at(8, 6);  // deleted while searched for: the search heads for its cell
  Seeker* chaser = seeker(8, 4);
  ASSERT_EQ(chaser->findPath(target), 0);
  WorldManager::getInstance().markForDelete(target);
  WorldManager::getInstance().update();
  PathManager::getInstance().cycle(1000);
  EXPECT_EQ(walker->results, std::vector<int>{zv::PATH_FOUND});
  EXPECT_EQ(shut_out->results, std::vector<int>{zv::PATH_NONE});
  EXPECT_EQ(relay->results, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(text(chaser->getPath().getNodes()), "(8,4) (8,5) (8,6)");
  EXPECT_EQ(text(shut_out->getPath().getNodes()), "(1,2)");
  EXPECT_TRUE(PathManager::getInstance().getPathFindCount() == 0 && walker->getPathFind() == nullptr);
  // The walker lands on each node in turn, through the gap under the wall.
  std::vector<Vector> visited;
  for (int frame = 0; frame < 50 && walker->getFollowPath(); frame++) {
    WorldManager::getInstance().update();
    visited.push_back(walker->getPosition());
  }
  EXPECT_EQ(text(visited), "(1,1) (2,2) (3,3) (4,4) (5,3) (6,2) (6,1)");
  EXPECT_EQ(walker->getDirection(), Vector(0, 0));
}

// A budget below the minimum gets the minimum.
TEST(PathManagerBudget, AtLeastTheMinimum) {
  zv::platform::setMonotonicClock(tickingClock);
  ASSERT_EQ(zvtest::startHeadless("frame_time:33,"), 0);  // a minimum of 3 ms
  WorldTest::world(200, 200);
  Object* p = WorldTest::at(1, 1);
  std::vector<std::size_t> steps;
  for (int budget_ms : {3, 1, -40, 6}) {
    p->findPath(Vector(198, 198));
    PathManager::getInstance().cycle(budget_ms);
    steps.push_back(expanded(p));
  }
  EXPECT_TRUE(steps[0] > 0 && steps[0] < 197 && steps[1] == steps[0] && steps[2] == steps[0] && steps[3] > steps[0])
      << steps[0] << " " << steps[1] << " " << steps[2] << " " << steps[3];
  zv::GameManager::getInstance().shutDown();
  zv::platform::setMonotonicClock(nullptr);
}
