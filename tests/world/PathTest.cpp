#include <limits>

#include "WorldFixture.h"
#include "world/Geometry.h"

using zv::Object;
using zv::Path;
using zv::PathFind;
using zv::Vector;
using zv::WorldManager;

namespace {

Path route(std::initializer_list<std::pair<float, float>> list) {
  std::vector<Vector> nodes;
  for (auto& c : list)
    nodes.push_back(Vector(c.first, c.second));
  return Path(nodes);
}

int finish(PathFind& search) {
  int result = zv::PATH_SEARCHING;
  for (int i = 0; i < 100000 && result == zv::PATH_SEARCHING; i++)
    result = search.cycleOnce();
  return result;
}

} // namespace

TEST(Path, IndexStaysOnTheNodes) {
  Path p = route({{2, 2}, {3, 2}, {4, 3}});
  EXPECT_EQ(p.setIndex(-1), -1);
  EXPECT_EQ(p.setIndex(3), -1);
  EXPECT_EQ(p.currentNode(), Vector(2, 2));
  EXPECT_EQ(p.advance().currentNode(), Vector(3, 2));
  EXPECT_EQ(p.setIndex(2), 0);
  EXPECT_FALSE(p.isDone());
  EXPECT_EQ(p.advance().getIndex(), 3);
  EXPECT_EQ(p.advance().getIndex(), 3);
  EXPECT_TRUE(p.isDone());
  EXPECT_EQ(p.currentNode(), Vector(0, 0));
  p.setNodes(route({{5, 5}, {6, 6}, {7, 7}, {8, 8}}).getNodes());
  EXPECT_EQ(p.currentNode(), Vector(8, 8));
}

// Following a path, one WorldManager::update per frame: aimed at the node,
// snapped onto it within three quarters of a step, at rest after the last.
TEST_F(WorldTest, FollowingAPath) {
  const struct {
    const char* what;
    Vector from, velocity;
    Path path;
    bool wall;  // a HARD object one cell to the right
    int frames;
    Vector position, direction;
    int index;
    bool following;
  } cases[] = {
      {"first node", Vector(1, 2), Vector(0, 1), route({{2, 2}, {3, 2}}), false, 1, Vector(2, 2), Vector(1, 0), 1, true},
      {"last node", Vector(1, 2), Vector(0, 1), route({{2, 2}, {3, 2}}), false, 3, Vector(3, 2), Vector(0, 0), 2, false},
      {"diagonal snap", Vector(1, 1), Vector(1, 0), route({{2, 2}, {2, 5}}), false, 2, Vector(2, 3), Vector(0, 1), 1, true},
      {"no snap from afar", Vector(1, 1), Vector(0.5f, 0), route({{3, 1}}), false, 3, Vector(2.5f, 1), Vector(1, 0), 0, true},
      {"slow arrival", Vector(1, 1), Vector(0.5f, 0), route({{3, 1}}), false, 4, Vector(3, 1), Vector(0, 0), 1, false},
      {"empty path", Vector(1, 1), Vector(1, 0), Path(), false, 1, Vector(2, 1), Vector(0, 0), 0, false},
      {"at rest", Vector(1, 1), Vector(0, 0), route({{1, 1}, {4, 1}}), false, 5, Vector(1, 1), Vector(1, 0), 1, true},
      {"blocked", Vector(1, 1), Vector(1, 0), route({{3, 1}}), true, 3, Vector(1, 1), Vector(1, 0), 0, true},
  };
  float dy = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dy += 10;  // each case on rows of its own
    Object* p = at(c.from.getX(), c.from.getY() + dy);
    if (c.wall)
      at(c.from.getX() + 1, c.from.getY() + dy);
    p->setVelocity(c.velocity);
    std::vector<Vector> nodes = c.path.getNodes();
    for (Vector& v : nodes)
      v.setY(v.getY() + dy);
    p->setPath(Path(nodes));
    p->setFollowPath(true);
    for (int i = 0; i < c.frames; i++)
      WorldManager::getInstance().update();
    EXPECT_EQ(p->getPosition(), Vector(c.position.getX(), c.position.getY() + dy));
    EXPECT_EQ(p->getDirection(), c.direction);
    EXPECT_EQ(p->getPath().getIndex(), c.index);
    EXPECT_EQ(p->getFollowPath(), c.following);
  }
  // Acceleration acts after the steering: towards (6,1), then (1,0) + (0,1).
  Object* p = at(1, 1, zv::SPECTRAL);
  p->setVelocity(Vector(1, 0));
  p->setPath(route({{6, 1}}));
  p->setFollowPath(true);
  p->setAcceleration(Vector(0, 1));
  WorldManager::getInstance().update();
  EXPECT_EQ(p->getPosition(), Vector(2, 1));
  EXPECT_NEAR(p->getDirection().getY(), 0.7071f, 1e-4);
  EXPECT_NEAR(p->getSpeed(), 1.4142f, 1e-4);
}

TEST_F(WorldTest, PathEventsEndTheSearch) {
  world(20, 10);
  Object* p = at(1, 1);
  p->setPath(route({{1, 2}, {1, 3}}));
  ASSERT_EQ(p->findPath(Vector(5, 1)), 0);
  zv::EventPath none(zv::PATH_NONE, Path());
  EXPECT_EQ(p->eventHandler(&none), 1);
  EXPECT_EQ(text(p->getPath()), "(1,2) (1,3)");
  EXPECT_FALSE(p->getFollowPath());
  EXPECT_EQ(p->getPathFind(), nullptr);
  EXPECT_EQ(zv::PathManager::getInstance().getPathFindCount(), 0);
  ASSERT_EQ(p->findPath(Vector(5, 1)), 0);
  zv::EventPath found(zv::PATH_FOUND, route({{1, 1}, {2, 2}}));
  EXPECT_EQ(p->eventHandler(&found), 1);
  EXPECT_EQ(text(p->getPath()), "(1,1) (2,2)");
  EXPECT_TRUE(p->getFollowPath());
  EXPECT_EQ(p->getPathFind(), nullptr);
  EXPECT_EQ(zv::PathManager::getInstance().getPathFindCount(), 0);
  zv::Event fake;
  fake.setType(zv::PATH_EVENT);
  EXPECT_EQ(p->eventHandler(&fake), 0);
  EXPECT_TRUE(logged("Object::eventHandler(): Error! Dynamic cast to EventPath failed."));
}

// The search on crafted grids: HARD objects block, SOFT and SPECTRAL do
// not, nor does a HARD object on the goal; corners between two blocked
// cells are not cut; among equal costs the cell found later goes first.
TEST_F(WorldTest, SearchOnTheGrid) {
  struct Wall {
    int x, y;
    zv::Solidness solidness;
  };
  const struct {
    const char* what;
    int width, height;
    std::vector<Wall> walls;
    Vector from, to;
    int result;
    const char* route;
    std::size_t closed;  // cells expanded, 0 to leave unchecked
  } cases[] = {
      {"open", 10, 5, {}, Vector(1, 2), Vector(6, 2), zv::PATH_FOUND, "(1,2) (2,2) (3,2) (4,2) (5,2) (6,2)", 6},
      {"down", 5, 5, {}, Vector(2, 0), Vector(2, 3), zv::PATH_FOUND, "(2,0) (2,1) (2,2) (2,3)", 4},
      {"on the goal", 5, 5, {}, Vector(2, 3), Vector(2.2f, 2.6f), zv::PATH_FOUND, "(2,3)", 1},
      {"tie", 5, 3, {{2, 1, zv::HARD}}, Vector(2, 0), Vector(2, 2), zv::PATH_FOUND, "(2,0) (3,1) (2,2)", 3},
      {"corner shut", 2, 2, {{1, 0, zv::HARD}, {0, 1, zv::HARD}}, Vector(0, 0), Vector(1, 1), zv::PATH_NONE, "", 1},
      {"corner open", 2, 2, {{1, 0, zv::HARD}}, Vector(0, 0), Vector(1, 1), zv::PATH_FOUND, "(0,0) (1,1)", 2},
      {"wall", 10, 5, {{4, 0, zv::HARD}, {4, 1, zv::HARD}, {4, 2, zv::HARD}, {4, 3, zv::HARD}}, Vector(1, 1),
       Vector(6, 1), zv::PATH_FOUND, "(1,1) (2,2) (3,3) (4,4) (5,3) (6,2) (6,1)", 0},
      {"soft wall", 8, 3, {{4, 0, zv::SOFT}, {4, 1, zv::SPECTRAL}, {4, 2, zv::SOFT}}, Vector(1, 1), Vector(6, 1),
       zv::PATH_FOUND, "(1,1) (2,1) (3,1) (4,1) (5,1) (6,1)", 6},
      {"hard goal", 8, 3, {{5, 1, zv::HARD}}, Vector(1, 1), Vector(5, 1), zv::PATH_FOUND, "(1,1) (2,1) (3,1) (4,1) (5,1)", 5},
      {"walled in", 10, 8,
       {{4, 3, zv::HARD}, {5, 3, zv::HARD}, {6, 3, zv::HARD}, {4, 4, zv::HARD}, {6, 4, zv::HARD}, {4, 5, zv::HARD},
        {5, 5, zv::HARD}, {6, 5, zv::HARD}},
       Vector(1, 1), Vector(5, 4), zv::PATH_NONE, "", 71},  // every other cell once
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    zv::GameManager::getInstance().shutDown();
    ASSERT_EQ(zvtest::startHeadless(), 0);
    world(static_cast<float>(c.width), static_cast<float>(c.height));
    for (const Wall& w : c.walls)
      at(static_cast<float>(w.x), static_cast<float>(w.y), w.solidness);
    PathFind search(at(c.from.getX(), c.from.getY()), c.to);
    EXPECT_EQ(finish(search), c.result);
    EXPECT_EQ(text(search.getPath()), c.route);
    if (c.closed) {
      EXPECT_EQ(search.getClosedList().size(), c.closed);
    }
  }
}

TEST_F(WorldTest, WideObjectsNeedWideGapsAndTargetsAreReachedByTouch) {
  // A wall down x = 6 with a one-cell gap at y = 2 and a three-cell gap at y = 5..7.
  world(15, 10);
  for (int y : {0, 1, 3, 4, 8, 9})
    at(6, static_cast<float>(y));
  Object* wide = at(2, 4);
  wide->setBox(zv::Box(Vector(-1.4f, -1.4f), 2.8f, 2.8f));
  PathFind search(wide, Vector(10, 4));
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  for (const Vector& v : search.getPath().getNodes())
    EXPECT_TRUE(v.getX() != 6 || v.getY() == 6) << text(search.getPath());
  Object* target = at(13, 2);
  target->setBox(zv::Box(Vector(-1.5f, -1.5f), 3, 3));
  PathFind narrow(at(2, 2), target);
  EXPECT_EQ(finish(narrow), zv::PATH_FOUND);
  EXPECT_EQ(text(narrow.getPath()), "(2,2) (3,2) (4,2) (5,2) (6,2) (7,2) (8,2) (9,2) (10,2) (11,2) (12,2)");
}

// Bad input gets a logged refusal and no search, never a read off the grid.
TEST_F(WorldTest, SearchesThatCannotStart) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float width, height;
    Vector from, to;
    int result;
  } cases[] = {
      {0, 0, Vector(0, 0), Vector(0, 0), -1},         {-5, 10, Vector(0, 0), Vector(0, 0), -1},
      {nan, 10, Vector(0, 0), Vector(0, 0), -1},      {1e9f, 1e9f, Vector(1, 1), Vector(5, 5), -1},
      {2000, 1000, Vector(1, 1), Vector(5, 5), -1},   {1000, 1000, Vector(1, 1), Vector(5, 5), 0},
      {80, 24, Vector(-3, 2), Vector(5, 5), -1},      {80, 24, Vector(1, 1), Vector(80, 5), -1},
      {80, 24, Vector(1, 1), Vector(5, -0.6f), -1},   {80, 24, Vector(1, 1), Vector(5, 23.5f), -1},
      {80, 24, Vector(1, 1), Vector(nan, 1), -1},     {80, 24, Vector(1, 1), Vector(-1e30f, 1), -1},
      {80, 24, Vector(1, 1), Vector(79.4f, 23.4f), 0}, {80, 24, Vector(1, 1), Vector(-0.5f, 0), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " from " << c.from.getX() << ","
                                    << c.from.getY() << " to " << c.to.getX() << "," << c.to.getY());
    world(c.width, c.height);
    Object* p = at(c.from.getX(), c.from.getY(), zv::SPECTRAL);
    EXPECT_EQ(p->findPath(c.to), c.result);
    EXPECT_EQ(p->getPathFind() != nullptr, c.result == 0);
  }
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! The world has no cells to search."));
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! World of 2000 x 1000 cells is larger than 1000000 cells."));
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! Start (-3.00,2.00) outside the 80 x 24 world."));
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! Goal (80.00,5.00) outside the 80 x 24 world."));
  EXPECT_EQ(at(1, 1)->findPath(static_cast<Object*>(nullptr)), -1);
  EXPECT_TRUE(logged("PathFind::PathFind(): Error! No target to search for."));
  PathFind orphan(nullptr, Vector(1, 1));
  EXPECT_EQ(orphan.cycleOnce(), zv::PATH_NONE);
  EXPECT_TRUE(logged("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."));
}

TEST_F(WorldTest, SearchKeepsItsOwnGridWhenTheWorldChanges) {
  world(20, 10);
  PathFind search(at(1, 1), Vector(15, 8));
  EXPECT_EQ(search.cycleOnce(), zv::PATH_SEARCHING);
  world(0, 0);
  EXPECT_EQ(finish(search), zv::PATH_FOUND);
  EXPECT_EQ(search.getPath().getNodes().back(), Vector(15, 8));
}
