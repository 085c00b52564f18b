#include "WorldFixture.h"
#include "world/EventCollision.h"
#include "world/Geometry.h"

#include <cmath>

using zv::Box;
using zv::Object;
using zv::Vector;
using zv::WorldManager;

namespace {

struct Hit {
  Object* receiver;
  Object* obj1;
  Object* obj2;
  Vector where;
};

// Records collisions (in one shared log, to see their order) and out events.
class Body : public Object {
 public:
  std::vector<Hit>* hits;
  int outs = 0;
  explicit Body(std::vector<Hit>* shared, zv::Solidness s = zv::HARD) : hits(shared) { setSolidness(s); }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::COLLISION_EVENT) {
      auto c = static_cast<const zv::EventCollision*>(p_e);
      hits->push_back({this, c->getObject1(), c->getObject2(), c->getPosition()});
      return 1;
    }
    if (p_e->getType() == zv::OUT_EVENT) {
      outs++;
      return 1;
    }
    return 0;
  }
};

// Spawns a child and marks itself when it collides.
class Spawner : public Object {
 public:
  Object* child = nullptr;
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::COLLISION_EVENT && !child) {
      child = new Object;
      WorldManager::getInstance().markForDelete(this);
      WorldManager::getInstance().markForDelete(this);
    }
    return 0;
  }
};

} // namespace

TEST_F(WorldTest, HardAgainstHardStopsAndTellsBoth) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits);
  Body* wall = new Body(&hits);
  mover->setPosition(Vector(5, 5));
  wall->setPosition(Vector(7, 5));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6.5f, 5)), -1);
  EXPECT_EQ(mover->getPosition(), Vector(5, 5));
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].receiver, mover);
  EXPECT_EQ(hits[1].receiver, wall);
  for (const Hit& h : hits) {
    EXPECT_EQ(h.obj1, mover);
    EXPECT_EQ(h.obj2, wall);
    EXPECT_EQ(h.where, Vector(6.5f, 5));
  }
}

TEST_F(WorldTest, SoftObstaclesArePassedUnlessNoSoft) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits);
  Body* cone = new Body(&hits, zv::SOFT);
  mover->setPosition(Vector(5, 5));
  cone->setPosition(Vector(6, 5));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6, 5)), 0);
  EXPECT_EQ(hits.size(), 2u);
  mover->setPosition(Vector(5, 5));
  mover->setNoSoft(true);
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6, 5)), -1);
  EXPECT_EQ(mover->getPosition(), Vector(5, 5));
  EXPECT_EQ(hits.size(), 4u);
}

TEST_F(WorldTest, SoftMoverPassesHardAndSpectralTouchesNothing) {
  std::vector<Hit> hits;
  Body* soft = new Body(&hits, zv::SOFT);
  Body* wall = new Body(&hits);
  soft->setPosition(Vector(5, 5));
  wall->setPosition(Vector(6, 5));
  EXPECT_EQ(WorldManager::getInstance().moveObject(soft, Vector(6, 5)), 0);
  EXPECT_EQ(hits.size(), 2u);
  hits.clear();
  Body* ghost = new Body(&hits, zv::SPECTRAL);
  ghost->setPosition(Vector(5, 5));
  EXPECT_EQ(WorldManager::getInstance().moveObject(ghost, Vector(6, 5)), 0);
  EXPECT_TRUE(hits.empty());
  // A spectral object is never found by others either.
  EXPECT_TRUE(WorldManager::getInstance().getCollisions(wall, wall->getPosition()).getCount() == 1);
}

TEST_F(WorldTest, EveryCollidedObjectGetsItsEventEvenAfterTheMoveIsRefused) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits);
  Body* wall = new Body(&hits);
  Body* cone = new Body(&hits, zv::SOFT);
  mover->setPosition(Vector(5, 5));
  wall->setPosition(Vector(6, 5));
  cone->setPosition(Vector(6, 5.5f));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6, 5)), -1);
  ASSERT_EQ(hits.size(), 4u);
  EXPECT_EQ(hits[2].receiver, mover);
  EXPECT_EQ(hits[3].receiver, cone);
}

TEST_F(WorldTest, AvoidanceSlidesAlongTheFace) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits);
  Body* wall = new Body(&hits);
  wall->setPosition(Vector(7, 5));
  mover->setPosition(Vector(5.5f, 5));
  mover->setAvoidCollisions(true);
  mover->setVelocity(Vector(1, 0.5f));
  // Moving down-right into the wall's left face: the horizontal part is
  // dropped and the full speed goes downwards.
  Vector target = mover->predictPosition();
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, target), 0);
  EXPECT_FLOAT_EQ(mover->getPosition().getX(), 5.5f);
  EXPECT_FLOAT_EQ(mover->getPosition().getY(), 5.0f + std::sqrt(1.25f));
  // Direction and speed themselves are unchanged.
  EXPECT_FLOAT_EQ(mover->getSpeed(), std::sqrt(1.25f));
  EXPECT_FLOAT_EQ(mover->getDirection().getX(), 1.0f / std::sqrt(1.25f));
  // The slid-to place touches nothing, so no collision is reported.
  EXPECT_TRUE(hits.empty());
}

TEST_F(WorldTest, AvoidanceWithPurelyHorizontalMotionStaysPut) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits);
  Body* wall = new Body(&hits);
  wall->setPosition(Vector(7, 5));
  mover->setPosition(Vector(5.5f, 5));
  mover->setAvoidCollisions(true);
  mover->setVelocity(Vector(1, 0));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6.5f, 5)), 0);
  EXPECT_EQ(mover->getPosition(), Vector(5.5f, 5));
}

TEST_F(WorldTest, AvoidanceRefusesADoubleCollision) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits);
  Body* wall = new Body(&hits);
  Body* below = new Body(&hits);
  wall->setPosition(Vector(7, 5));
  below->setPosition(Vector(5.5f, 6.2f));
  mover->setPosition(Vector(5.5f, 5));
  mover->setAvoidCollisions(true);
  mover->setVelocity(Vector(1, 0.5f));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, mover->predictPosition()), -1);
  EXPECT_EQ(mover->getPosition(), Vector(5.5f, 5));
  EXPECT_TRUE(hits.empty());
}

TEST_F(WorldTest, OutEventOnlyOnTheMoveThatLeaves) {
  std::vector<Hit> hits;
  Body* b = new Body(&hits, zv::SPECTRAL);
  b->setPosition(Vector(5, 5));
  b->setVelocity(Vector(-4, 0));
  WorldManager& wm = WorldManager::getInstance();
  wm.update();  // to x = 1: still inside
  EXPECT_EQ(b->outs, 0);
  wm.update();  // to x = -3: wholly outside
  EXPECT_EQ(b->outs, 1);
  wm.update();
  wm.update();
  EXPECT_EQ(b->outs, 1);
}

TEST_F(WorldTest, MarkedObjectsAreDeletedOnceAtTheEndOfUpdate) {
  WorldManager& wm = WorldManager::getInstance();
  Object* p = new Object;
  EXPECT_EQ(wm.markForDelete(p), 0);
  EXPECT_EQ(wm.markForDelete(p), 0);
  EXPECT_EQ(wm.getAllObjects().getCount(), 1);
  wm.update();
  EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
}

TEST_F(WorldTest, HandlersMayCreateAndMarkDuringUpdate) {
  std::vector<Hit> hits;
  WorldManager& wm = WorldManager::getInstance();
  Spawner* s = new Spawner;
  Body* wall = new Body(&hits);
  s->setPosition(Vector(5, 5));
  wall->setPosition(Vector(6, 5));
  s->setVelocity(Vector(1, 0));
  wm.update();
  // The spawner is gone; the wall and the child it made remain.
  zv::ObjectList all = wm.getAllObjects(true);
  EXPECT_EQ(all.getCount(), 2);
  EXPECT_FALSE(contains(all, s));
  EXPECT_TRUE(contains(all, wall));
}

TEST_F(WorldTest, UpdateMovesActiveObjectsAndAppliesAcceleration) {
  WorldManager& wm = WorldManager::getInstance();
  Object* p = new Object;
  p->setSolidness(zv::SPECTRAL);
  p->setPosition(Vector(10, 10));
  p->setVelocity(Vector(1, 0));
  p->setAcceleration(Vector(0, 0.5f));
  Object* idle = new Object;
  idle->setPosition(Vector(20, 20));
  idle->setVelocity(Vector(1, 0));
  idle->setActive(false);
  wm.update();
  EXPECT_EQ(p->getPosition(), Vector(11, 10));  // acceleration acts from the next move
  wm.update();
  EXPECT_EQ(p->getPosition(), Vector(12, 10.5f));
  EXPECT_EQ(idle->getPosition(), Vector(20, 20));
}

TEST_F(WorldTest, ShutDownDeletesActiveAndInactiveObjects) {
  zvtest::Recorder* a = new zvtest::Recorder;
  zvtest::Recorder* b = new zvtest::Recorder;
  a->registerInterest(zv::STEP_EVENT);
  b->setActive(false);
  zv::GameManager::getInstance().shutDown();
  EXPECT_TRUE(WorldManager::getInstance().getAllObjects(true).isEmpty());
}

TEST_F(WorldTest, ObjectsMadeBeforeStartUpStayOutside) {
  zv::GameManager::getInstance().shutDown();
  Object outside;
  EXPECT_TRUE(WorldManager::getInstance().getAllObjects(true).isEmpty());
}

TEST_F(WorldTest, ViewPlacementIsClampedToTheBoundary) {
  WorldManager& wm = WorldManager::getInstance();
  wm.setBoundary(Box(Vector(0, 0), 100, 50));
  wm.setView(Box(Vector(0, 0), 10, 10));
  wm.setViewPosition(Vector(2, 2));
  EXPECT_EQ(wm.getView().getCorner(), Vector(0, 0));
  wm.setViewPosition(Vector(99, 49));
  EXPECT_EQ(wm.getView().getCorner(), Vector(90, 40));
  wm.setViewPosition(Vector(50, 25));
  EXPECT_EQ(wm.getView().getCorner(), Vector(45, 20));
}

TEST_F(WorldTest, ViewFollowsAnObjectLeavingTheSlackBand) {
  WorldManager& wm = WorldManager::getInstance();
  wm.setBoundary(Box(Vector(0, 0), 200, 100));
  wm.setView(Box(Vector(0, 0), 80, 24));
  wm.setViewSlack(Vector(0.5f, 0.5f));
  Object* p = new Object;
  p->setSolidness(zv::SPECTRAL);
  p->setPosition(Vector(40, 12));
  wm.setViewFollowing(p);
  wm.moveObject(p, Vector(55, 12));  // band is 20..60 on x: no scroll
  EXPECT_EQ(wm.getView().getCorner(), Vector(0, 0));
  wm.moveObject(p, Vector(70, 20));  // 10 right of the band, 2 below it
  EXPECT_EQ(wm.getView().getCorner(), Vector(10, 2));
}

TEST_F(WorldTest, ViewSlackOutOfRangeWarnsButIsStored) {
  WorldManager& wm = WorldManager::getInstance();
  wm.setViewSlack(Vector(1.5f, 0.5f));
  EXPECT_EQ(wm.getViewSlack(), Vector(1.5f, 0.5f));
  EXPECT_TRUE(logged("WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]"));
}

TEST_F(WorldTest, WorldAcceptsGameTypesButNotItsOwn) {
  WorldManager& wm = WorldManager::getInstance();
  EXPECT_FALSE(wm.isValid("zv-collision"));
  EXPECT_TRUE(logged("WorldManager::isValid(): Event zv-collision handled automatically."));
  EXPECT_FALSE(wm.isValid("zv-out"));
  EXPECT_FALSE(wm.isValid("zv-step"));
  EXPECT_TRUE(logged("WorldManager::isValid(): WorldManager does not handle zv-step"));
  EXPECT_FALSE(wm.isValid("zv-keyboard"));
  EXPECT_FALSE(wm.isValid("zv-mouse"));
  EXPECT_TRUE(wm.isValid("my-event"));
  EXPECT_EQ(wm.startUp(), -1);
}

TEST(Geometry, BoxesThatTouchIntersect) {
  Box a(Vector(0, 0), 2, 2);
  EXPECT_TRUE(zv::boxIntersectsBox(a, Box(Vector(2, 2), 1, 1)));
  EXPECT_TRUE(zv::boxIntersectsBox(a, Box(Vector(-1, 1), 1, 5)));
  EXPECT_FALSE(zv::boxIntersectsBox(a, Box(Vector(2.01f, 0), 1, 1)));
  EXPECT_FALSE(zv::boxIntersectsBox(a, Box(Vector(0, -1.5f), 1, 1)));
  EXPECT_TRUE(zv::boxContainsPosition(a, Vector(2, 0)));
  EXPECT_FALSE(zv::boxContainsPosition(a, Vector(2, 2.1f)));
}

TEST_F(WorldTest, NormalTellsWhichFaceIsTouched) {
  Object* mover = new Object;
  Object* other = new Object;
  other->setPosition(Vector(10, 10));
  mover->setPosition(Vector(8.5f, 10));
  mover->setVelocity(Vector(1, 0));
  EXPECT_EQ(zv::getNormal(mover, other), Vector(-1, 0));
  mover->setPosition(Vector(10, 8.5f));
  mover->setVelocity(Vector(0, 1));
  EXPECT_EQ(zv::getNormal(mover, other), Vector(0, -1));
  mover->setPosition(Vector(30, 30));
  EXPECT_EQ(zv::getNormal(mover, other), Vector(0, 0));
  EXPECT_TRUE(logged("getNormal(): collision not detected. Returning (0,0)."));
}

TEST_F(WorldTest, NullObjectsAreRefusedCleanly) {
  WorldManager& wm = WorldManager::getInstance();
  EXPECT_EQ(wm.moveObject(nullptr, Vector(1, 1)), -1);
  EXPECT_TRUE(wm.getCollisions(nullptr, Vector(1, 1)).isEmpty());
  EXPECT_EQ(wm.insertObject(nullptr), -1);
  EXPECT_EQ(wm.removeObject(nullptr), -1);
  EXPECT_EQ(wm.markForDelete(nullptr), -1);
  EXPECT_TRUE(logged("WorldManager::markForDelete(): Error! unable to add Object"));
  EXPECT_EQ(wm.onEvent(nullptr), 0);
  EXPECT_EQ(wm.registerInterest(nullptr, "custom"), -1);
  wm.update();  // nothing was marked
}
