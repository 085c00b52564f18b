#include <functional>

#include "WorldFixture.h"
#include "core/EventStep.h"

using zv::Box;
using zv::Object;
using zv::Vector;

TEST(ObjectIds, CountUpAndFollowSetId) {
  Object first, second;
  EXPECT_EQ(first.getId(), 1);
  EXPECT_EQ(second.getId(), 2);
  second.setId(50);
  Object third;
  EXPECT_EQ(third.getId(), 51);
  third.setId(10);
  Object fourth;
  EXPECT_EQ(fourth.getId(), 52);
}

TEST_F(WorldTest, OutOfRangeAltitudeAndSolidnessAreRefused) {
  Object* p = new Object;
  p->serialize("ALL");
  EXPECT_EQ(p->setAltitude(5), -1);
  EXPECT_EQ(p->setAltitude(-1), -1);
  EXPECT_TRUE(logged("Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored."));
  EXPECT_EQ(p->setSolidness(static_cast<zv::Solidness>(3)), -1);
  EXPECT_EQ(p->setSolidness(static_cast<zv::Solidness>(-1)), -1);
  EXPECT_TRUE(logged("Object::setSolidness(): Solidness -1 not one of HARD, SOFT or SPECTRAL."));
  EXPECT_EQ(p->serialize(""), "");  // the refusals changed and marked nothing
  EXPECT_EQ(p->setAltitude(4), 0);
  EXPECT_EQ(p->serialize("ALTITUDE,SOLIDNESS,"), "altitude:4,solidness:0,");
}

// Each setter marks exactly what it changed, so that the next serialize("")
// writes only that; a value equal to the current one marks nothing, except a type.
TEST_F(WorldTest, SettersMarkWhatTheyChange) {
  const struct {
    const char* what;
    std::function<int(Object*)> set;
    const char* written;
  } cases[] = {
      {"same position", [](Object* p) { return p->setPosition(Vector(1, 1)); }, ""},
      {"same flags", [](Object* p) { return p->setActive(true) + p->setVisible(true) + p->setSolidness(zv::HARD); }, ""},
      {"same altitude", [](Object* p) { return p->setAltitude(2); }, ""},
      {"same box and id", [](Object* p) { p->setBox(p->getBox()); p->setId(p->getId()); return 0; }, ""},
      {"same type", [](Object* p) { p->setType("(Undefined)"); return 0; }, "type:(Undefined),"},
      {"position", [](Object* p) { return p->setPosition(Vector(3, -0.25f)); }, "pos-x:3,pos-y:-0.25,"},
      {"altitude", [](Object* p) { return p->setAltitude(3); }, "altitude:3,"},
      {"solidness", [](Object* p) { return p->setSolidness(zv::SOFT); }, "solidness:1,"},
      {"invisible", [](Object* p) { return p->setVisible(false); }, "is_visible:false,"},
      {"inactive", [](Object* p) { return p->setActive(false); }, "is_active:false,"},
      {"velocity", [](Object* p) { p->setVelocity(Vector(3, 4)); return 0; }, "x_direction:0.6,y_direction:0.8,speed:5,"},
      {"no velocity", [](Object* p) { p->setVelocity(Vector(0, 0)); return 0; }, "x_direction:0,y_direction:0,speed:0,"},
      {"acceleration", [](Object* p) { p->setAcceleration(Vector(0, 1)); return 0; }, "x_acceleration:0,y_acceleration:1,"},
      {"flags", [](Object* p) { p->setNoSoft(); p->setAvoidCollisions(); return 0; }, "no_soft:true,avoid_collisions:true,"},
      {"follow", [](Object* p) { p->setFollowPath(true); return 0; }, "follow_path:true,"},
      {"id", [](Object* p) { p->setId(1000); return 0; }, "id:1000,"},
      {"box", [](Object* p) { p->setBox(Box(Vector(0, 0), 2, 2)); return 0; },
       "box-corner-x:0,box-corner-y:0,box-horizontal:2,box-vertical:2,"},
      {"interest", [](Object* p) { return p->registerInterest("custom"); }, "event_count:1,event_name[0]:custom,"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Object* p = new Object;
    p->serialize("ALL");
    EXPECT_EQ(c.set(p), 0);
    EXPECT_EQ(p->isModified(), *c.written != '\0');
    EXPECT_EQ(p->serialize(""), c.written);
  }
}

TEST_F(WorldTest, InterestIsRoutedByEventTypeAndUnregistered) {
  zvtest::Recorder* r = new zvtest::Recorder;
  EXPECT_EQ(r->registerInterest(zv::STEP_EVENT), 0);
  EXPECT_EQ(r->registerInterest("a"), 0);
  EXPECT_EQ(r->registerInterest("b"), 0);
  EXPECT_EQ(r->registerInterest("a"), 0);
  EXPECT_EQ(r->registerInterest(zv::COLLISION_EVENT), -1);  // the world delivers those itself
  zv::EventStep step(3);
  zv::Event a;
  a.setType("a");
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 1);
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&step), 0);
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&a), 2);  // registered twice
  EXPECT_EQ(r->received, (std::vector<std::string>{"zv-step", "a", "a"}));
  // Of twin registrations only the first goes.
  EXPECT_EQ(r->unregisterInterest("a"), 0);
  EXPECT_EQ(r->serialize("EVENTS,"), "event_count:3,event_name[0]:zv-step,event_name[1]:b,event_name[2]:a,");
  EXPECT_EQ(r->unregisterInterest("never"), -1);
  EXPECT_TRUE(logged("Object::unregisterInterest(): event 'never' not previously registered"));
  // Deleting the object ends every registration.
  zv::WorldManager::getInstance().markForDelete(r);
  zv::WorldManager::getInstance().update();
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 0);
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&a), 0);
}

TEST_F(WorldTest, AtMostOneHundredRegistrationsPerObject) {
  Object* p = new Object;
  for (int i = 0; i < zv::MAX_OBJ_EVENTS; i++)
    ASSERT_EQ(p->registerInterest("e" + std::to_string(i)), 0);
  EXPECT_EQ(p->registerInterest("one-more"), -1);
  EXPECT_EQ(p->getEventCount(), 100);
  EXPECT_TRUE(logged("Object::registerInterest(): maximum (100) reached, cannot register for event 'one-more'"));
}
