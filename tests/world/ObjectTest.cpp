#include <functional>

#include "WorldFixture.h"
#include <zelvra/core/EventStep.h>
#include <zelvra/display/ViewObject.h>

using zv::Object;
using zv::Vector;

TEST_F(WorldTest, OutOfRangeAltitudeSolidnessColorAndLocationAreRefused) {
  zv::ViewObject* p = new zv::ViewObject;
  p->serialize("ALL");
  EXPECT_EQ((Codes{p->setAltitude(5), p->setAltitude(-1)}), (Codes{-1, -1}));
  EXPECT_TRUE(zvtest::logContains("Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored."));
  EXPECT_EQ((Codes{p->setSolidness(static_cast<zv::Solidness>(3)), p->setSolidness(static_cast<zv::Solidness>(-1))}),
            (Codes{-1, -1}));
  EXPECT_TRUE(zvtest::logContains("Object::setSolidness(): Solidness -1 not one of HARD, SOFT or SPECTRAL."));
  // Read from text, any number reaches the setters and is refused alike.
  p->deserialize("solidness:4,view_color:9,view_location:2147483647,");
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): Warning! Unknown color '9'. Ignored."));
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (2147483647). Ignored."));
  EXPECT_EQ(p->serialize(""), "");  // the refusals changed and marked nothing
}

// Each setter marks what it changed, so that the next serialize("") writes
// only that; a value equal to the current one marks nothing, except a type.
TEST_F(WorldTest, SettersMarkWhatTheyChange) {
  const std::pair<std::function<Codes(Object*)>, const char*> cases[] = {
      {[](Object* p) {
         p->setBox(p->getBox());
         p->setId(p->getId());
         return Codes{p->setPosition(Vector(1, 1)), p->setActive(), p->setVisible(), p->setAltitude(2),
                      p->setSolidness(zv::HARD)};
       },
       ""},
      {[](Object* p) { return p->setType("(Undefined)"), Codes{}; }, "type:(Undefined),"},
      {[](Object* p) { return Codes{p->setPosition(Vector(3, -0.25f))}; }, "pos-x:3,pos-y:-0.25,"},
      {[](Object* p) { return Codes{p->setAltitude(3), p->setSolidness(zv::SOFT)}; }, "altitude:3,solidness:1,"},
      {[](Object* p) { return Codes{p->setVisible(false), p->setActive(false)}; }, "is_active:false,is_visible:false,"},
      {[](Object* p) { return p->setVelocity(Vector(3, 4)), Codes{}; }, "x_direction:0.6,y_direction:0.8,speed:5,"},
      {[](Object* p) { return p->setAcceleration(Vector(0, 1)), p->setNoSoft(), p->setAvoidCollisions(), Codes{}; },
       "no_soft:true,x_acceleration:0,y_acceleration:1,avoid_collisions:true,"},
      {[](Object* p) { return p->setFollowPath(true), Codes{}; }, "follow_path:true,"},
      {[](Object* p) { return p->setId(1000), p->setBox(zv::Box(Vector(0, 0), 2, 2)), Codes{}; },
       "id:1000,box-corner-x:0,box-corner-y:0,box-horizontal:2,box-vertical:2,"},
      {[](Object* p) { return Codes{p->registerInterest("custom")}; }, "event_count:1,event_name[0]:custom,"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.second);
    Object* p = new Object;
    p->serialize("ALL");
    Codes codes = c.first(p);
    EXPECT_EQ(codes, Codes(codes.size(), 0));
    EXPECT_EQ(p->isModified(), *c.second != '\0');
    EXPECT_EQ(p->serialize(""), c.second);
  }
}

TEST_F(WorldTest, InterestIsRoutedByEventTypeAndBounded) {
  Object* r = new Object;
  for (const char* type : {"zv-step", "a", "b", "a"})
    EXPECT_EQ(r->registerInterest(type), 0);
  zv::EventStep step(3);
  zv::Event a;
  a.setType("a");
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 1);
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&a), 2);  // registered twice
  EXPECT_EQ(r->unregisterInterest("a"), 0);  // the first of the twins
  EXPECT_EQ(r->serialize("EVENTS,"), "event_count:3,event_name[0]:zv-step,event_name[1]:b,event_name[2]:a,");
  EXPECT_EQ(r->unregisterInterest("never"), -1);
  EXPECT_TRUE(zvtest::logContains("Object::unregisterInterest(): event 'never' not previously registered"));
  for (int i = 3; i < zv::MAX_OBJ_EVENTS; i++)
    ASSERT_EQ(r->registerInterest("e" + std::to_string(i)), 0);
  EXPECT_EQ(r->registerInterest("one-more"), -1);
  EXPECT_TRUE(zvtest::logContains("Object::registerInterest(): maximum (100) reached, cannot register for event 'one-more'"));
  zv::WorldManager::getInstance().markForDelete(r);  // its deletion ends every registration
  zv::WorldManager::getInstance().update();
  EXPECT_EQ((Codes{zv::GameManager::getInstance().onEvent(&step), zv::WorldManager::getInstance().onEvent(&a)}), (Codes{0, 0}));
}

TEST_F(WorldTest, SelectionsNameAttributesWithTheirComma) {
  Object* p = new Object;
  EXPECT_EQ(p->serialize("POSITION,TYPE,"), "pos-x:1,pos-y:1,type:(Undefined),");
  EXPECT_EQ(p->serialize("POSITION"), "");
  EXPECT_TRUE(zvtest::logContains("Object::serialize(): Warning! Attribute 'POSITION' missing trailing ','"));
  EXPECT_EQ(p->serialize("FOLLOW_PATH,"), "follow_path:false,path:,path_index:0,");
  EXPECT_EQ(p->serialize("").find("pos-x"), std::string::npos);  // written already
  // ALL writes everything again but the animation, which has not changed since.
  EXPECT_NE(p->serialize("ALL").find("0.99,pos-x:1,pos-y:1,type:(Undefined),altitude:2,"), std::string::npos);
}

TEST_F(WorldTest, RoundTripOfEveryAttribute) {
  const std::string text =
      "id:500,is_active:false,is_visible:false,event_count:2,event_name[0]:zv-step,event_name[1]:custom,"
      "box-corner-x:-1,box-corner-y:-2,box-horizontal:3,box-vertical:1,pos-x:12.25,pos-y:7.5,type:Racer,"
      "sprite_name:,sprite_index:0,sprite_slowdown_count:0,altitude:4,solidness:2,no_soft:true,x_direction:0.6,"
      "y_direction:-0.8,speed:1,x_acceleration:0.01,y_acceleration:0.02,shape:-1,size:24,color:White,opacity:255,"
      "follow_path:false,path:15.25 3.5|3.5 -4|,path_index:0,avoid_collisions:true,";
  Object* p = new Object;
  EXPECT_EQ(p->deserialize(text), 0);
  EXPECT_EQ(p->serialize("ALL"), text);
  EXPECT_TRUE(p->setActive(true) == 0 && p->getPath().getNodeCount() == 2);
  zv::EventStep step(1);
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 1);  // the registrations are real
  p->deserialize("x_direction:3,y_direction:4,speed:2,");  // the speed comes last and sets the length
  EXPECT_EQ(p->serialize("DIRECTION,SPEED,"), "x_direction:0.6,y_direction:0.8,speed:2,");
}

TEST_F(WorldTest, BadOrIncompleteTextChangesOnlyWhatItCan) {
  Object* p = new Object;
  p->registerInterest("custom");
  p->serialize("ALL");
  EXPECT_EQ(p->deserialize(",,::,:,a:b:c,"), 0);
  EXPECT_EQ(p->deserialize("pos-x:5,box-corner-x:1,box-corner-y:1,box-horizontal:2,shape:2,size:3,color:4,"), 0);
  EXPECT_FALSE(p->isModified());
  p->deserialize("is_active:True,altitude:9,solidness:7,pos-x:abc,pos-y:-2.5x,shape:2,size:3,color:4,opacity:9,");
  EXPECT_EQ(p->serialize(""), "is_active:false,pos-x:0,pos-y:-2.5,shape:2,size:3,color:Blue,opacity:9,");
  EXPECT_EQ(p->deserialize("path:1 2|34|,"), 0);  // a malformed node ends the path
  EXPECT_EQ(text(p->getPath().getNodes()), "(1,2)");
  EXPECT_TRUE(zvtest::logContains("Object::deserialize(): malformed node 34|."));
  EXPECT_TRUE(zvtest::logContains("\tNot added."));
}

TEST_F(WorldTest, EventNamesAreReadUpToTheCount) {
  Object* p = new Object;
  const std::pair<const char*, const char*> cases[] = {
      {"event_count:-1,event_name[0]:zv-step,", "event_count:0,"},
      {"event_count:3,event_name[0]:zv-collision,event_name[1]:zv-out,event_name[2]:ok,",
       "event_count:1,event_name[0]:ok,"},
      {"event_count:1000000,event_name[999999]:late,event_name[3]:zv-step,event_name[1000000]:no,",
       "event_count:2,event_name[0]:zv-step,event_name[1]:late,"},
      {"event_count:2147483647,event_name[2147483646]:x,event_name[12345678901]:y,", "event_count:1,event_name[0]:x,"},
  };
  for (const auto& c : cases) {
    p->deserialize(c.first);
    EXPECT_EQ(p->serialize("EVENTS,"), c.second) << c.first;
  }
}
