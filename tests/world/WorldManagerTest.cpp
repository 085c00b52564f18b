#include <cmath>

#include "WorldFixture.h"
#include "world/EventCollision.h"
#include "world/Geometry.h"

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

// Records collisions (in one shared log, to see their order) and out events;
// marks itself for deletion and makes a new object on its first collision
// when asked to.
class Body : public Object {
 public:
  std::vector<Hit>* hits;
  int outs = 0;
  bool spawn = false;
  Body(std::vector<Hit>* shared, zv::Solidness s, Vector at) : hits(shared) {
    setSolidness(s);
    setPosition(at);
  }
  int eventHandler(const zv::Event* p_e) override {
    outs += p_e->getType() == zv::OUT_EVENT;
    if (p_e->getType() != zv::COLLISION_EVENT)
      return 0;
    auto c = static_cast<const zv::EventCollision*>(p_e);
    hits->push_back({this, c->getObject1(), c->getObject2(), c->getPosition()});
    if (spawn && hits->size() == 1) {
      new Object;
      WorldManager::getInstance().markForDelete(this);
      WorldManager::getInstance().markForDelete(this);
    }
    return 1;
  }
};

} // namespace

// Only HARD stops HARD, and SOFT stops a mover with no_soft; every solid
// pair hears of it, mover first; SPECTRAL neither collides nor stops.
TEST_F(WorldTest, CollisionsByClass) {
  const struct {
    zv::Solidness mover, other;
    bool no_soft;
    int result;
    bool events;
  } cases[] = {
      {zv::HARD, zv::HARD, false, -1, true},    {zv::HARD, zv::SOFT, false, 0, true},
      {zv::HARD, zv::SOFT, true, -1, true},     {zv::SOFT, zv::HARD, false, 0, true},
      {zv::SOFT, zv::HARD, true, 0, true},      {zv::SPECTRAL, zv::HARD, false, 0, false},
      {zv::HARD, zv::SPECTRAL, true, 0, false},
  };
  float y = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mover << " into " << c.other << (c.no_soft ? " no_soft" : ""));
    std::vector<Hit> hits;
    y += 3;
    Body* mover = new Body(&hits, c.mover, Vector(5, y));
    Body* other = new Body(&hits, c.other, Vector(7, y));
    mover->setNoSoft(c.no_soft);
    EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6.5f, y)), c.result);
    EXPECT_EQ(mover->getPosition(), Vector(c.result ? 5 : 6.5f, y));
    ASSERT_EQ(hits.size(), c.events ? 2u : 0u);
    for (std::size_t i = 0; i < hits.size(); i++) {
      EXPECT_EQ(hits[i].receiver, i ? other : mover);
      EXPECT_EQ(hits[i].obj1, mover);
      EXPECT_EQ(hits[i].obj2, other);
      EXPECT_EQ(hits[i].where, Vector(6.5f, y));
    }
  }
}

TEST_F(WorldTest, EveryObjectHitGetsItsEventEvenAfterTheMoveIsRefused) {
  std::vector<Hit> hits;
  Body* mover = new Body(&hits, zv::HARD, Vector(5, 5));
  new Body(&hits, zv::HARD, Vector(6, 5));
  Body* cone = new Body(&hits, zv::SOFT, Vector(6, 5.5f));
  EXPECT_EQ(WorldManager::getInstance().moveObject(mover, Vector(6, 5)), -1);
  ASSERT_EQ(hits.size(), 4u);
  EXPECT_EQ(hits[3].receiver, cone);
}

TEST_F(WorldTest, AvoidanceSlidesAlongTheFaceUnlessThatHitsToo) {
  std::vector<Hit> hits;
  WorldManager& wm = WorldManager::getInstance();
  new Body(&hits, zv::HARD, Vector(7, 5));
  Body* mover = new Body(&hits, zv::HARD, Vector(5.5f, 5));
  mover->setAvoidCollisions(true);
  // Purely into the wall's left face: nothing is left of the motion.
  mover->setVelocity(Vector(1, 0));
  EXPECT_EQ(wm.moveObject(mover, Vector(6.5f, 5)), 0);
  EXPECT_EQ(mover->getPosition(), Vector(5.5f, 5));
  // Down-right: the full speed goes downwards; direction and speed stay.
  mover->setVelocity(Vector(1, 0.5f));
  EXPECT_EQ(wm.moveObject(mover, mover->predictPosition()), 0);
  EXPECT_FLOAT_EQ(mover->getPosition().getY(), 5.0f + std::sqrt(1.25f));
  EXPECT_EQ(mover->getPosition().getX(), 5.5f);
  EXPECT_FLOAT_EQ(mover->getSpeed(), std::sqrt(1.25f));
  EXPECT_FLOAT_EQ(mover->getDirection().getX(), 1.0f / std::sqrt(1.25f));
  EXPECT_TRUE(hits.empty());
  // A second HARD object where it would slide to: it stays.
  mover->setPosition(Vector(5.5f, 5));
  new Body(&hits, zv::HARD, Vector(5.5f, 6.2f));
  EXPECT_EQ(wm.moveObject(mover, mover->predictPosition()), -1);
  EXPECT_EQ(mover->getPosition(), Vector(5.5f, 5));
  EXPECT_TRUE(hits.empty());
}

TEST_F(WorldTest, OutEventOnlyOnTheMoveThatLeaves) {
  std::vector<Hit> hits;
  Body* b = new Body(&hits, zv::SPECTRAL, Vector(5, 5));
  b->setVelocity(Vector(-4, 0));
  const int outs_after[] = {0, 1, 1, 1};  // x = 1, -3 (wholly outside), -7, -11
  for (int expected : outs_after) {
    WorldManager::getInstance().update();
    EXPECT_EQ(b->outs, expected) << b->getPosition().getX();
  }
}

TEST_F(WorldTest, UpdateMovesAcceleratesAndDeletesWhatWasMarked) {
  std::vector<Hit> hits;
  WorldManager& wm = WorldManager::getInstance();
  Object* p = at(10, 10, zv::SPECTRAL);
  p->setVelocity(Vector(1, 0));
  p->setAcceleration(Vector(0, 0.5f));
  Object* idle = at(20, 20);
  idle->setVelocity(Vector(1, 0));
  idle->setActive(false);
  Body* spawner = new Body(&hits, zv::HARD, Vector(5, 5));
  Body* wall = new Body(&hits, zv::HARD, Vector(6, 5));
  spawner->spawn = true;
  spawner->setVelocity(Vector(1, 0));
  wm.update();
  EXPECT_EQ(p->getPosition(), Vector(11, 10));  // acceleration acts from the next move
  // The spawner marked itself twice in its handler: deleted once, its child stays.
  std::vector<Object*> all = order(wm.getAllObjects(true));
  EXPECT_EQ(all.size(), 4u);
  EXPECT_EQ(std::count(all.begin(), all.end(), spawner), 0);
  EXPECT_EQ(std::count(all.begin(), all.end(), wall), 1);
  wm.update();
  EXPECT_EQ(p->getPosition(), Vector(12, 10.5f));
  EXPECT_EQ(idle->getPosition(), Vector(20, 20));
}

TEST_F(WorldTest, StartAndShutDownBoundTheWorld) {
  WorldManager& wm = WorldManager::getInstance();
  EXPECT_EQ(wm.startUp(), -1);
  at(1, 1)->registerInterest(zv::STEP_EVENT);
  at(2, 2)->setActive(false);
  zv::GameManager::getInstance().shutDown();
  EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
  Object outside;
  EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
}

TEST_F(WorldTest, ViewIsClampedToTheBoundaryAndFollowsAnObject) {
  WorldManager& wm = WorldManager::getInstance();
  wm.setBoundary(Box(Vector(0, 0), 100, 50));
  wm.setView(Box(Vector(0, 0), 10, 10));
  const std::pair<Vector, Vector> placements[] = {
      {Vector(2, 2), Vector(0, 0)}, {Vector(99, 49), Vector(90, 40)}, {Vector(50, 25), Vector(45, 20)}};
  for (const auto& p : placements) {
    wm.setViewPosition(p.first);
    EXPECT_EQ(wm.getView().getCorner(), p.second);
  }
  wm.setBoundary(Box(Vector(0, 0), 200, 100));
  wm.setView(Box(Vector(0, 0), 80, 24));
  wm.setViewSlack(Vector(0.5f, 0.5f));
  Object* p = at(40, 12, zv::SPECTRAL);
  wm.setViewFollowing(p);
  wm.moveObject(p, Vector(55, 12));  // the band is 20..60 on x: no scroll
  EXPECT_EQ(wm.getView().getCorner(), Vector(0, 0));
  wm.moveObject(p, Vector(70, 20));  // 10 right of the band, 2 below it
  EXPECT_EQ(wm.getView().getCorner(), Vector(10, 2));
  wm.setViewSlack(Vector(1.5f, 0.5f));
  EXPECT_EQ(wm.getViewSlack(), Vector(1.5f, 0.5f));
  EXPECT_TRUE(logged("WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]"));
}

TEST_F(WorldTest, WorldAcceptsGameEventTypesOnly) {
  WorldManager& wm = WorldManager::getInstance();
  for (const char* type : {"zv-collision", "zv-out", "zv-step", "zv-keyboard", "zv-mouse"})
    EXPECT_FALSE(wm.isValid(type)) << type;
  EXPECT_TRUE(wm.isValid("my-event"));
  EXPECT_TRUE(logged("WorldManager::isValid(): Event zv-collision handled automatically."));
  EXPECT_TRUE(logged("WorldManager::isValid(): WorldManager does not handle zv-step"));
}

TEST_F(WorldTest, NullObjectsAreRefusedCleanly) {
  WorldManager& wm = WorldManager::getInstance();
  EXPECT_EQ(wm.moveObject(nullptr, Vector(1, 1)), -1);
  EXPECT_TRUE(wm.getCollisions(nullptr, Vector(1, 1)).isEmpty());
  EXPECT_EQ(wm.insertObject(nullptr), -1);
  EXPECT_EQ(wm.removeObject(nullptr), -1);
  EXPECT_EQ(wm.markForDelete(nullptr), -1);
  EXPECT_TRUE(logged("WorldManager::markForDelete(): Error! unable to add Object"));
  EXPECT_EQ(wm.registerInterest(nullptr, "custom"), -1);
}

// Closed intervals: boxes that only touch intersect.
TEST(Geometry, BoxesIntersectOnBothAxes) {
  const Box a(Vector(0, 0), 2, 2);
  const std::pair<Box, bool> cases[] = {
      {Box(Vector(2, 2), 1, 1), true},        {Box(Vector(-1, 1), 1, 5), true},
      {Box(Vector(0.5f, 0.5f), 1, 1), true},  {Box(Vector(2.01f, 0), 1, 1), false},
      {Box(Vector(-1.5f, 0), 1, 1), false},   {Box(Vector(0, -1.5f), 1, 1), false},
      {Box(Vector(0, 2.01f), 1, 1), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zv::boxIntersectsBox(a, c.first), c.second) << c.first.getCorner().getX() << "," << c.first.getCorner().getY();
    EXPECT_EQ(zv::boxIntersectsBox(c.first, a), c.second);
  }
  EXPECT_TRUE(zv::boxContainsPosition(a, Vector(2, 0)));
  EXPECT_FALSE(zv::boxContainsPosition(a, Vector(2, 2.1f)));
}

TEST_F(WorldTest, NormalTellsWhichFaceIsTouched) {
  Object* other = at(10, 10);
  Object* mover = at(8.5f, 10);
  mover->setVelocity(Vector(1, 0));
  EXPECT_EQ(zv::getNormal(mover, other), Vector(-1, 0));
  mover->setPosition(Vector(10, 8.5f));
  mover->setVelocity(Vector(0, 1));
  EXPECT_EQ(zv::getNormal(mover, other), Vector(0, -1));
  mover->setPosition(Vector(30, 30));
  EXPECT_EQ(zv::getNormal(mover, other), Vector(0, 0));
  EXPECT_TRUE(logged("getNormal(): collision not detected. Returning (0,0)."));
}
