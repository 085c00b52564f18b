#include "WorldFixture.h"
#include "core/EventStep.h"
#include "world/Object.h"

using zv::Object;
using zv::Vector;

using Probe = FlagProbe;

TEST_F(WorldTest, ObjectStartsWithItsDefaults) {
  Object* p = new Object;
  EXPECT_EQ(p->getType(), "(Undefined)");
  EXPECT_TRUE(p->isActive());
  EXPECT_TRUE(p->isVisible());
  EXPECT_EQ(p->getBox(), zv::Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
  EXPECT_EQ(p->getPosition(), Vector(1, 1));
  EXPECT_EQ(p->getVelocity(), Vector(0, 0));
  EXPECT_EQ(p->getAltitude(), 2);
  EXPECT_EQ(p->getSolidness(), zv::HARD);
  EXPECT_FALSE(p->getNoSoft());
  EXPECT_FALSE(p->getAvoidCollisions());
  for (int i = 0; i < zv::ATTRIBUTE_COUNT; i++)
    EXPECT_TRUE(p->isModified(static_cast<zv::ObjectAttribute>(i)));
}

TEST(ObjectIds, CountUpAndFollowSetId) {
  Object first;
  EXPECT_EQ(first.getId(), 1);
  Object second;
  EXPECT_EQ(second.getId(), 2);
  second.setId(50);
  Object third;
  EXPECT_EQ(third.getId(), 51);
  third.setId(10);
  EXPECT_EQ(zv::getNextObjectId(), 52);
  Object fourth;
  EXPECT_EQ(fourth.getId(), 52);
}

TEST(ObjectBeforeStartUp, NewBoxDoesNotPutItIntoTheWorld) {
  Object early;
  testing::internal::CaptureStderr();
  early.setBox(zv::Box(Vector(-1, -1), 3, 2));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(early.getBox(), zv::Box(Vector(-1, -1), 3, 2));
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_EQ(zv::WorldManager::getInstance().getAllObjects(true).getCount(), 0);
  zv::GameManager::getInstance().shutDown();
}

TEST_F(WorldTest, RangeChecksOnAltitudeAndSolidness) {
  Object* p = new Object;
  EXPECT_EQ(p->setAltitude(5), -1);
  EXPECT_EQ(p->setAltitude(-1), -1);
  EXPECT_TRUE(logged("Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored."));
  EXPECT_EQ(p->getAltitude(), 2);
  EXPECT_EQ(p->setAltitude(4), 0);
  EXPECT_EQ(p->getAltitude(), 4);
  EXPECT_EQ(p->setSolidness(static_cast<zv::Solidness>(3)), -1);
  EXPECT_EQ(p->setSolidness(static_cast<zv::Solidness>(-1)), -1);
  EXPECT_TRUE(logged("Object::setSolidness(): Solidness 3 not one of HARD, SOFT or SPECTRAL."));
  EXPECT_TRUE(logged("Object::setSolidness(): Solidness -1 not one of HARD, SOFT or SPECTRAL."));
  EXPECT_EQ(p->getSolidness(), zv::HARD);
}

TEST_F(WorldTest, EqualValuesMarkNothingExceptType) {
  Probe* p = new Probe;
  p->clearFlags();
  EXPECT_FALSE(p->isModified());
  EXPECT_EQ(p->setPosition(Vector(1, 1)), 0);
  EXPECT_EQ(p->setActive(true), 0);
  EXPECT_EQ(p->setVisible(true), 0);
  EXPECT_EQ(p->setAltitude(2), 0);
  EXPECT_EQ(p->setSolidness(zv::HARD), 0);
  p->setBox(p->getBox());
  p->setId(p->getId());
  EXPECT_TRUE(p->marked().empty());
  p->setType("(Undefined)");
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::TYPE}));
}

TEST_F(WorldTest, SettersMarkTheirAttributes) {
  Probe* p = new Probe;
  p->clearFlags();
  p->setPosition(Vector(3, 3));
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::POSITION}));
  p->clearFlags();
  p->setVelocity(Vector(3, 4));
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::SPEED, zv::DIRECTION}));
  p->clearFlags();
  p->setAcceleration(Vector(0, 1));
  p->setNoSoft(true);
  p->setAvoidCollisions(true);
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::NO_SOFT, zv::ACCELERATION, zv::AVOID_COLLISIONS}));
  p->clearFlags();
  p->setActive(false);
  p->setActive(true);
  p->setVisible(false);
  p->setAltitude(3);
  p->setSolidness(zv::SOFT);
  p->setBox(zv::Box(Vector(0, 0), 2, 2));
  p->setId(1000);
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::ID, zv::ACTIVE, zv::VISIBLE, zv::BOX, zv::ALTITUDE, zv::SOLIDNESS}));
  p->clearFlags();
  p->registerInterest("custom");
  EXPECT_EQ(p->marked(), (std::vector<int>{zv::EVENTS}));
}

TEST_F(WorldTest, VelocitySplitsIntoSpeedAndDirection) {
  Object* p = new Object;
  p->setVelocity(Vector(3, 4));
  EXPECT_FLOAT_EQ(p->getSpeed(), 5.0f);
  EXPECT_FLOAT_EQ(p->getDirection().getX(), 0.6f);
  EXPECT_FLOAT_EQ(p->getDirection().getY(), 0.8f);
  p->setPosition(Vector(10, 10));
  EXPECT_FLOAT_EQ(p->predictPosition().getX(), 13.0f);
  EXPECT_FLOAT_EQ(p->predictPosition().getY(), 14.0f);
  p->setVelocity(Vector(0, 0));
  EXPECT_EQ(p->getSpeed(), 0.0f);
  EXPECT_EQ(p->getDirection(), Vector(0, 0));
}

TEST_F(WorldTest, BoxChangeMovesObjectToTheEndOfItsLists) {
  Object* a = new Object;
  Object* b = new Object;
  a->setBox(zv::Box(Vector(-1, -1), 2, 2));
  zv::SceneGraph& g = zv::WorldManager::getInstance().getSceneGraph();
  EXPECT_EQ(order(g.activeObjects()), (std::vector<Object*>{b, a}));
  EXPECT_EQ(order(g.visibleObjects(2)), (std::vector<Object*>{b, a}));
}

TEST_F(WorldTest, InterestIsRoutedByEventType) {
  zvtest::Recorder* r = new zvtest::Recorder;
  EXPECT_EQ(r->registerInterest(zv::STEP_EVENT), 0);
  EXPECT_EQ(r->registerInterest("game-defined"), 0);
  zv::EventStep step(3);
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 1);
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&step), 0);
  zv::Event custom;
  custom.setType("game-defined");
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&custom), 1);
  EXPECT_EQ(r->received, (std::vector<std::string>{"zv-step", "game-defined"}));
  // The world refuses the types it delivers itself.
  EXPECT_EQ(r->registerInterest(zv::COLLISION_EVENT), -1);
  EXPECT_EQ(r->getEventCount(), 2);
}

TEST_F(WorldTest, UnregisterRemovesOneOfTwinRegistrations) {
  zvtest::Recorder* r = new zvtest::Recorder;
  r->registerInterest("a");
  r->registerInterest("b");
  r->registerInterest("a");
  EXPECT_EQ(r->unregisterInterest("a"), 0);
  EXPECT_EQ(r->getEventCount(), 2);
  EXPECT_EQ(r->getEventName(0), "b");
  EXPECT_EQ(r->getEventName(1), "a");
  zv::Event e;
  e.setType("a");
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&e), 1);
  EXPECT_EQ(r->unregisterInterest("never"), -1);
  EXPECT_TRUE(logged("Object::unregisterInterest(): event 'never' not previously registered"));
}

TEST_F(WorldTest, AtMostOneHundredRegistrationsPerObject) {
  zvtest::Recorder* r = new zvtest::Recorder;
  for (int i = 0; i < zv::MAX_OBJ_EVENTS; i++)
    ASSERT_EQ(r->registerInterest("e" + std::to_string(i)), 0);
  EXPECT_EQ(r->registerInterest("one-more"), -1);
  EXPECT_EQ(r->getEventCount(), 100);
  EXPECT_TRUE(logged("Object::registerInterest(): maximum (100) reached, cannot register for event 'one-more'"));
}

TEST_F(WorldTest, DestructorUnregistersEverything) {
  zvtest::Recorder* r = new zvtest::Recorder;
  r->registerInterest(zv::STEP_EVENT);
  r->registerInterest("custom");
  zv::WorldManager::getInstance().markForDelete(r);
  zv::WorldManager::getInstance().update();
  zv::EventStep step(0);
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 0);
  zv::Event custom;
  custom.setType("custom");
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&custom), 0);
  EXPECT_TRUE(zv::WorldManager::getInstance().getAllObjects(true).isEmpty());
}
