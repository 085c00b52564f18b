#include <cmath>
#include <limits>
#include <set>

#include "PathFixture.h"
#include "world/Geometry.h"

using zv::Cell;
using zv::Object;
using zv::PathFind;
using zv::Vector;
using zv::WorldManager;

namespace {

bool adjacent(Vector a, Vector b) {
  float dx = std::fabs(a.getX() - b.getX()), dy = std::fabs(a.getY() - b.getY());
  return dx <= 1 && dy <= 1 && (dx + dy) > 0;
}

} // namespace

// The search's rules, on crafted grids.
using PathSearch = PathTest;

TEST_F(PathSearch, StraightLineOnAnEmptyGrid) {
  world(10, 5);
  Object* p_o = at(1, 2);
  PathFind search(p_o, Vector(6, 2));
  ASSERT_TRUE(search.isReady());
  EXPECT_EQ(search.getObject(), p_o);
  EXPECT_TRUE(search.getPath().isDone());  // nothing found yet
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getPath()), "(1,2) (2,2) (3,2) (4,2) (5,2) (6,2)");
  EXPECT_EQ(search.getPath().getIndex(), 0);
  // Only the cells of the route were expanded, start first.
  EXPECT_EQ(text(search.getClosedList()), "(1,2) (2,2) (3,2) (4,2) (5,2) (6,2)");
  // Asking again changes nothing.
  EXPECT_EQ(search.cycleOnce(), zv::PATH_FOUND);
  EXPECT_EQ(search.getClosedList().size(), 6u);
}

TEST_F(PathSearch, StartOnTheGoalIsAOneNodePath) {
  world(5, 5);
  PathFind search(at(2, 3), Vector(2.2f, 2.6f));  // rounds to the same cell
  EXPECT_EQ(search.cycleOnce(), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getPath()), "(2,3)");
}

TEST_F(PathSearch, EqualCostCellFoundLaterIsExpandedFirst) {
  // Start (2,0) above a wall at (2,1), goal (2,2) below it: (1,1) and (3,1)
  // tie, and (3,1) is found later; then (1,1) and the goal tie again.
  world(5, 3);
  at(2, 1);
  PathFind search(at(2, 0), Vector(2, 2));
  EXPECT_EQ(search.cycleOnce(), zv::PATH_SEARCHING);
  EXPECT_EQ(text(search.getOpenList()), "(1,0) (3,0) (1,1) (3,1)");
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getClosedList()), "(2,0) (3,1) (2,2)");
  EXPECT_EQ(text(search.getPath()), "(2,0) (3,1) (2,2)");
}

TEST_F(PathSearch, CornerBetweenTwoBlockedCellsIsNotCut) {
  world(2, 2);
  at(1, 0);
  at(0, 1);
  PathFind search(at(0, 0), Vector(1, 1));
  EXPECT_EQ(search.cycleOnce(), zv::PATH_NONE);
  EXPECT_TRUE(search.getOpenList().empty());
  EXPECT_TRUE(search.getPath().isDone());
}

TEST_F(PathSearch, CornerWithOneOpenSideIsCut) {
  world(2, 2);
  at(1, 0);
  PathFind search(at(0, 0), Vector(1, 1));
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getPath()), "(0,0) (1,1)");
}

TEST_F(PathSearch, HardWallIsWalkedAround) {
  world(8, 5);
  for (int y = 0; y < 4; y++)
    at(4, y);
  PathFind search(at(1, 1), Vector(6, 1));
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  std::vector<Vector> nodes = search.getPath().getNodes();
  ASSERT_GE(nodes.size(), 2u);
  EXPECT_EQ(nodes.front(), Vector(1, 1));
  EXPECT_EQ(nodes.back(), Vector(6, 1));
  for (std::size_t i = 0; i + 1 < nodes.size(); i++)
    EXPECT_TRUE(adjacent(nodes[i], nodes[i + 1])) << text(nodes);
  bool through_gap = false;
  for (const Vector& v : nodes) {
    EXPECT_FALSE(v.getX() == 4 && v.getY() < 4) << text(nodes);
    through_gap = through_gap || v == Vector(4, 4);
  }
  EXPECT_TRUE(through_gap) << text(nodes);
}

TEST_F(PathSearch, SoftAndSpectralObjectsDoNotBlock) {
  world(8, 5);
  for (int y = 0; y < 5; y++)
    at(4, y, y % 2 ? zv::SOFT : zv::SPECTRAL);
  PathFind search(at(1, 1), Vector(6, 1));
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getPath()), "(1,1) (2,1) (3,1) (4,1) (5,1) (6,1)");
}

TEST_F(PathSearch, HardObjectOnTheGoalDoesNotBlockIt) {
  world(8, 3);
  at(5, 1);
  PathFind search(at(1, 1), Vector(5, 1));
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(text(search.getPath()), "(1,1) (2,1) (3,1) (4,1) (5,1)");
}

TEST_F(PathSearch, WalledInGoalFailsOnceEveryReachableCellIsClosed) {
  world(10, 8);
  for (int dy = -1; dy <= 1; dy++)
    for (int dx = -1; dx <= 1; dx++)
      if (dx || dy)
        at(5 + dx, 4 + dy);
  PathFind search(at(1, 1), Vector(5, 4));
  int steps = 0, result;
  while ((result = search.cycleOnce()) == zv::PATH_SEARCHING)
    steps++;
  EXPECT_EQ(result, zv::PATH_NONE);
  // 80 cells less the wall and the goal, each expanded exactly once.
  std::vector<Cell> closed = search.getClosedList();
  EXPECT_EQ(closed.size(), 71u);
  EXPECT_EQ(steps, 70);
  std::set<std::pair<int, int>> unique;
  for (const Cell& c : closed)
    unique.insert({c.x, c.y});
  EXPECT_EQ(unique.size(), 71u);
  EXPECT_EQ(unique.count({5, 4}), 0u);
  EXPECT_TRUE(search.getPath().isDone());
}

TEST_F(PathSearch, WideObjectNeedsAWideGap) {
  // A wall down x = 6 with a one-cell gap at y = 2 and a three-cell gap at y = 5..7.
  world(12, 9);
  for (int y : {0, 1, 3, 4, 8})
    at(6, y);
  Object* p_o = at(2, 4);
  p_o->setBox(zv::Box(Vector(-1.4f, -1.4f), 2.8f, 2.8f));
  PathFind search(p_o, Vector(10, 4));
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  std::vector<Vector> nodes = search.getPath().getNodes();
  for (const Vector& v : nodes) {
    if (v.getX() == 6) {
      EXPECT_EQ(v, Vector(6, 6)) << text(nodes);
    }
  }
  EXPECT_EQ(nodes.back(), Vector(10, 4));

  // An ordinary object takes the narrow gap, which is shorter.
  PathFind narrow(at(2, 2), Vector(10, 2));
  EXPECT_EQ(finish(narrow), zv::PATH_FOUND);
  EXPECT_EQ(text(narrow.getPath()), "(2,2) (3,2) (4,2) (5,2) (6,2) (7,2) (8,2) (9,2) (10,2)");
}

TEST_F(PathSearch, TargetIsReachedWhenTheBoxesMeet) {
  world(15, 10);
  Object* p_target = at(10, 5);
  p_target->setBox(zv::Box(Vector(-1.5f, -1.5f), 3, 3));
  PathFind search(at(2, 5), p_target);
  EXPECT_EQ(search.getTarget(), p_target);
  EXPECT_EQ(search.getGoal().x, 10);
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  // (9,5) is the first cell where the mover's box touches the target's.
  EXPECT_EQ(search.getGoal().x, 9);
  EXPECT_EQ(search.getGoal().y, 5);
  EXPECT_EQ(text(search.getPath()), "(2,5) (3,5) (4,5) (5,5) (6,5) (7,5) (8,5) (9,5)");
}

TEST_F(PathSearch, TargetIsMeasuredAtItsStartingCell) {
  world(15, 10);
  Object* p_target = at(10, 5);
  PathFind search(at(2, 5), p_target);
  p_target->setPosition(Vector(4, 5));  // it moved; the search still heads for (10,5)
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  std::vector<Vector> nodes = search.getPath().getNodes();
  ASSERT_FALSE(nodes.empty());
  EXPECT_EQ(nodes.back(), Vector(10, 5)) << text(nodes);
  for (const Vector& v : nodes)
    EXPECT_NE(v, Vector(4, 5)) << text(nodes);  // where the target stands now
}

// Input a search must survive without reading outside its grid.
using PathSearchBadInput = PathTest;

TEST_F(PathSearchBadInput, EmptyWorld) {
  world(0, 0);
  Object* p_o = at(0, 0);
  PathFind search(p_o, Vector(0, 0));
  EXPECT_FALSE(search.isReady());
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! The world has no cells to search."));
  EXPECT_EQ(search.cycleOnce(), zv::PATH_NONE);
  EXPECT_TRUE(logged("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."));
  EXPECT_TRUE(search.getPath().isDone());
  EXPECT_EQ(p_o->findPath(Vector(0, 0)), -1);
  EXPECT_EQ(p_o->getPathFind(), nullptr);
  EXPECT_EQ(zv::PathManager::getInstance().getPathFindCount(), 0);
}

TEST_F(PathSearchBadInput, NegativeOrNanBoundary) {
  Object* p_o = at(0, 0);
  world(-5, 10);
  EXPECT_EQ(p_o->findPath(Vector(0, 0)), -1);
  world(std::numeric_limits<float>::quiet_NaN(), 10);
  EXPECT_EQ(p_o->findPath(Vector(0, 0)), -1);
  EXPECT_EQ(zvtest::logCount("PathFind::PathFind(): Error! The world has no cells to search."), 2);
}

TEST_F(PathSearchBadInput, WorldTooLargeToSearch) {
  world(1e9f, 1e9f);
  Object* p_o = at(1, 1);
  EXPECT_EQ(p_o->findPath(Vector(5, 5)), -1);
  world(2000, 1000);
  EXPECT_EQ(p_o->findPath(Vector(5, 5)), -1);
  EXPECT_EQ(zvtest::logCount("cells is larger than 1000000 cells."), 2);
  world(1000, 1000);
  EXPECT_EQ(p_o->findPath(Vector(5, 5)), 0);
}

TEST_F(PathSearchBadInput, StartOrGoalOutsideTheWorld) {
  world(80, 24);
  Object* p_o = at(1, 1);
  Object* p_outside = at(-3, 2);
  EXPECT_EQ(p_outside->findPath(Vector(5, 5)), -1);
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! Start (-3.00,2.00) outside the 80 x 24 world."));
  EXPECT_EQ(p_o->findPath(Vector(80, 5)), -1);
  EXPECT_EQ(p_o->findPath(Vector(5, -0.6f)), -1);
  EXPECT_EQ(p_o->findPath(Vector(5, 23.5f)), -1);
  EXPECT_EQ(p_o->findPath(Vector(std::numeric_limits<float>::quiet_NaN(), 1)), -1);
  EXPECT_EQ(p_o->findPath(Vector(1e30f, 1)), -1);
  EXPECT_EQ(p_o->findPath(Vector(-1e30f, 1)), -1);
  EXPECT_EQ(p_o->findPath(p_outside), -1);
  EXPECT_EQ(p_o->findPath(static_cast<Object*>(nullptr)), -1);
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! No target to search for."));
  EXPECT_EQ(zvtest::logCount("PathFind::PathFind(): Error! Goal ("), 7);
  EXPECT_EQ(p_o->getPathFind(), nullptr);
  // The edges themselves are inside: positions round to the nearest cell.
  EXPECT_EQ(p_o->findPath(Vector(79.4f, 23.4f)), 0);
  EXPECT_EQ(p_o->findPath(Vector(-0.5f, 0)), 0);
  EXPECT_EQ(zv::PathManager::getInstance().getPathFindCount(), 1);
}

TEST_F(PathSearchBadInput, NoObject) {
  world(10, 10);
  PathFind search(nullptr, Vector(1, 1));
  EXPECT_FALSE(search.isReady());
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! No object to search for."));
  EXPECT_EQ(search.cycleOnce(), zv::PATH_NONE);
}

TEST_F(PathSearchBadInput, ShrunkWorldKeepsTheSearchOnItsOwnGrid) {
  world(20, 10);
  PathFind search(at(1, 1), Vector(15, 8));
  EXPECT_EQ(search.cycleOnce(), zv::PATH_SEARCHING);
  world(0, 0);
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(search.getWidth(), 20);
  EXPECT_EQ(search.getHeight(), 10);
  EXPECT_EQ(search.getPath().getNodes().back(), Vector(15, 8));
  world(3, 2);
  EXPECT_EQ(search.getPath().getNodes().back(), Vector(15, 8));
}

TEST_F(PathSearchBadInput, GrownWorldIsNotSearchedBeyondTheStartingGrid) {
  // A wall across the whole height of a 10 x 4 world.
  world(10, 4);
  for (int y = 0; y < 4; y++)
    at(5, y);
  Object* p_o = at(1, 1);
  PathFind search(p_o, Vector(8, 1));
  world(10, 8);  // the way round now exists, but not on the search's grid
  EXPECT_EQ(finish(search), zv::PATH_NONE);
  for (const Cell& c : search.getClosedList())
    EXPECT_LT(c.y, 4);
  PathFind fresh(p_o, Vector(8, 1));
  EXPECT_EQ(finish(fresh), zv::PATH_FOUND);
}
