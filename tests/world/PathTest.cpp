#include "PathFixture.h"

using zv::Object;
using zv::Path;
using zv::Vector;
using zv::WorldManager;

namespace {

Path route(std::initializer_list<std::pair<int, int>> list) {
  std::vector<Vector> nodes;
  for (auto& c : list)
    nodes.push_back(Vector(static_cast<float>(c.first), static_cast<float>(c.second)));
  return Path(nodes);
}

} // namespace

TEST(Path, NewPathIsEmptyAndDone) {
  Path p;
  EXPECT_EQ(p.getNodeCount(), 0);
  EXPECT_EQ(p.getIndex(), 0);
  EXPECT_TRUE(p.isDone());
  EXPECT_EQ(p.currentNode(), Vector(0, 0));
  EXPECT_EQ(p.advance().getIndex(), 0);
}

TEST(Path, IndexStaysOnTheNodes) {
  Path p = route({{2, 2}, {3, 2}, {4, 3}});
  EXPECT_EQ(p.setIndex(-1), -1);
  EXPECT_EQ(p.setIndex(3), -1);
  EXPECT_EQ(p.getIndex(), 0);
  EXPECT_EQ(p.setIndex(2), 0);
  EXPECT_EQ(p.currentNode(), Vector(4, 3));
  EXPECT_FALSE(p.isDone());
}

TEST(Path, AdvanceStopsAtTheEnd) {
  Path p = route({{2, 2}, {3, 2}});
  EXPECT_EQ(p.currentNode(), Vector(2, 2));
  Path after = p.advance();
  EXPECT_EQ(after.getIndex(), 1);
  EXPECT_EQ(p.currentNode(), Vector(3, 2));
  p.advance();
  EXPECT_TRUE(p.isDone());
  EXPECT_EQ(p.currentNode(), Vector(0, 0));
  EXPECT_EQ(p.advance().getIndex(), 2);
  EXPECT_EQ(p.getIndex(), 2);
}

TEST(Path, SetNodesKeepsTheIndex) {
  Path p = route({{1, 1}, {2, 1}, {3, 1}});
  p.setIndex(1);
  p.setNodes(route({{5, 5}, {6, 6}, {7, 7}, {8, 8}}).getNodes());
  EXPECT_EQ(p.getIndex(), 1);
  EXPECT_EQ(p.currentNode(), Vector(6, 6));
  // Fewer nodes than the index: the path is simply done.
  p.setIndex(3);
  p.setNodes(route({{1, 1}}).getNodes());
  EXPECT_TRUE(p.isDone());
  EXPECT_EQ(p.currentNode(), Vector(0, 0));
}

TEST(EventPath, CarriesStatusAndPath) {
  zv::EventPath empty;
  EXPECT_EQ(empty.getType(), "zv-path");
  EXPECT_EQ(empty.getStatus(), 0);
  EXPECT_TRUE(empty.getPath().isDone());
  zv::EventPath e(zv::PATH_FOUND, route({{1, 1}, {2, 2}}));
  EXPECT_EQ(e.getStatus(), 2);
  EXPECT_EQ(e.getPath(), route({{1, 1}, {2, 2}}));
  e.setStatus(0);
  e.setPath(Path());
  EXPECT_EQ(e.getStatus(), 0);
  EXPECT_EQ(e.getPath().getNodeCount(), 0);
}

// Following a path, one WorldManager::update per frame.
using PathFollowing = PathTest;

TEST_F(PathFollowing, TwoNodesAtSpeedOne) {
  Object* p_o = at(1, 2);
  p_o->setVelocity(Vector(0, 1));  // speed 1; the path takes over the direction
  p_o->setPath(route({{2, 2}, {3, 2}}));
  p_o->setFollowPath(true);
  EXPECT_EQ(p_o->getDirection(), Vector(1, 0));

  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(2, 2));
  EXPECT_EQ(p_o->getPath().getIndex(), 1);
  EXPECT_EQ(p_o->getDirection(), Vector(1, 0));
  EXPECT_TRUE(p_o->getFollowPath());

  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(3, 2));
  EXPECT_TRUE(p_o->getPath().isDone());
  EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
  EXPECT_FALSE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getSpeed(), 1.0f);

  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(3, 2));
}

TEST_F(PathFollowing, SnapsOntoNodesWithinThreeQuartersOfAStep) {
  Object* p_o = at(1, 1);
  p_o->setVelocity(Vector(1, 0));
  p_o->setPath(route({{2, 2}, {2, 5}}));
  p_o->setFollowPath(true);
  WorldManager::getInstance().update();
  // The diagonal step ends about 0.41 short and is snapped onto the node.
  EXPECT_EQ(p_o->getPosition(), Vector(2, 2));
  EXPECT_EQ(p_o->getDirection(), Vector(0, 1));
  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(2, 3));
  EXPECT_EQ(p_o->getPath().getIndex(), 1);
}

TEST_F(PathFollowing, SlowObjectIsNotSnappedFromAfar) {
  Object* p_o = at(1, 1);
  p_o->setVelocity(Vector(0.5f, 0));
  p_o->setPath(route({{3, 1}}));
  p_o->setFollowPath(true);
  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(1.5f, 1));
  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(2, 1));
  WorldManager::getInstance().update();
  // Half a cell away is beyond the 0.375 snap distance: motion does the rest.
  EXPECT_EQ(p_o->getPosition(), Vector(2.5f, 1));
  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(3, 1));
  EXPECT_FALSE(p_o->getFollowPath());
}

TEST_F(PathFollowing, EmptyPathAimsNowhereAndStopsNextStep) {
  Object* p_o = at(1, 1);
  p_o->setVelocity(Vector(1, 0));
  p_o->setFollowPath(true);
  EXPECT_TRUE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getDirection(), Vector(1, 0));
  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(2, 1));
  EXPECT_FALSE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getDirection(), Vector(0, 0));
}

TEST_F(PathFollowing, SpeedZeroOnlyTakesTheNodeItStandsOn) {
  Object* p_o = at(1, 1);
  p_o->setPath(route({{1, 1}, {4, 1}}));
  p_o->setFollowPath(true);
  for (int i = 0; i < 5; i++)
    WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(1, 1));
  EXPECT_EQ(p_o->getPath().getIndex(), 1);
  EXPECT_EQ(p_o->getDirection(), Vector(1, 0));
  EXPECT_TRUE(p_o->getFollowPath());
}

TEST_F(PathFollowing, AccelerationActsAfterTheSteering) {
  Object* p_o = at(1, 1);
  p_o->setVelocity(Vector(1, 0));
  p_o->setPath(route({{6, 1}}));
  p_o->setFollowPath(true);
  p_o->setAcceleration(Vector(0, 1));
  WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(2, 1));
  // Steered towards (6,1) first, then (1,0) + (0,1).
  EXPECT_NEAR(p_o->getDirection().getX(), 0.7071f, 1e-4);
  EXPECT_NEAR(p_o->getDirection().getY(), 0.7071f, 1e-4);
  EXPECT_NEAR(p_o->getSpeed(), 1.4142f, 1e-4);
}

TEST_F(PathFollowing, BlockedObjectKeepsAimingAtItsNode) {
  Object* p_o = at(1, 1);
  at(2, 1);  // a HARD wall on the way
  p_o->setVelocity(Vector(1, 0));
  p_o->setPath(route({{3, 1}}));
  p_o->setFollowPath(true);
  for (int i = 0; i < 3; i++)
    WorldManager::getInstance().update();
  EXPECT_EQ(p_o->getPosition(), Vector(1, 1));
  EXPECT_TRUE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getDirection(), Vector(1, 0));
}

// The base class's handling of path events.
using PathEvents = PathTest;

TEST_F(PathEvents, FoundPathIsTakenAndFollowed) {
  world(20, 10);
  Object* p_o = at(1, 1);
  ASSERT_EQ(p_o->findPath(Vector(5, 1)), 0);
  ASSERT_NE(p_o->getPathFind(), nullptr);
  zv::EventPath e(zv::PATH_FOUND, route({{1, 1}, {2, 2}}));
  EXPECT_EQ(p_o->eventHandler(&e), 1);
  EXPECT_EQ(text(p_o->getPath()), "(1,1) (2,2)");
  EXPECT_TRUE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getPathFind(), nullptr);
  EXPECT_EQ(zv::PathManager::getInstance().getPathFindCount(), 0);
}

TEST_F(PathEvents, NoPathOnlyDropsTheSearch) {
  world(20, 10);
  Object* p_o = at(1, 1);
  p_o->setPath(route({{1, 2}, {1, 3}}));
  ASSERT_EQ(p_o->findPath(Vector(5, 1)), 0);
  zv::EventPath e(zv::PATH_NONE, Path());
  EXPECT_EQ(p_o->eventHandler(&e), 1);
  EXPECT_EQ(text(p_o->getPath()), "(1,2) (1,3)");
  EXPECT_FALSE(p_o->getFollowPath());
  EXPECT_EQ(p_o->getPathFind(), nullptr);
  EXPECT_EQ(zv::PathManager::getInstance().getPathFindCount(), 0);
}

TEST_F(PathEvents, OtherEventsAreIgnored) {
  Object* p_o = at(1, 1);
  zv::Event other;
  other.setType("zv-something");
  EXPECT_EQ(p_o->eventHandler(&other), 0);
  zv::Event fake;
  fake.setType(zv::PATH_EVENT);
  EXPECT_EQ(p_o->eventHandler(&fake), 0);
  EXPECT_TRUE(logged("Object::eventHandler(): Error! Dynamic cast to EventPath failed."));
}
