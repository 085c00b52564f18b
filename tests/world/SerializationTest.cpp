#include <cmath>

#include "WorldFixture.h"
#include "core/EventStep.h"

using zv::Object;
using zv::Vector;

TEST_F(WorldTest, AllWritesEveryAttributeOnceInOrder) {
  Object* p = new Object;
  p->registerInterest("custom");
  EXPECT_EQ(p->serialize("ALL"),
            "id:1,is_active:true,is_visible:true,event_count:1,event_name[0]:custom,box-corner-x:-0.5,box-corner-y:-0.5,"
            "box-horizontal:0.99,box-vertical:0.99,pos-x:1,pos-y:1,type:(Undefined),sprite_name:,sprite_index:0,"
            "sprite_slowdown_count:0,altitude:2,solidness:0,no_soft:false,x_direction:0,y_direction:0,speed:0,"
            "x_acceleration:0,y_acceleration:0,shape:-1,size:24,color:White,opacity:255,follow_path:false,path:,"
            "path_index:0,avoid_collisions:false,");
  EXPECT_EQ(p->serialize(""), "");
  EXPECT_FALSE(p->isModified());
}

TEST_F(WorldTest, SelectorsAreSubstringsWithTheirComma) {
  Object* p = new Object;
  EXPECT_EQ(p->serialize("POSITION,TYPE,"), "pos-x:1,pos-y:1,type:(Undefined),");
  EXPECT_EQ(p->serialize("POSITION"), "");
  EXPECT_TRUE(logged("Object::serialize(): Warning! Attribute 'POSITION' missing trailing ','"));
  EXPECT_FALSE(p->isModified(zv::POSITION));
  EXPECT_TRUE(p->isModified(zv::SPEED));
  EXPECT_EQ(p->serialize("FOLLOW_PATH,"), "follow_path:false,path:,path_index:0,");
}

TEST_F(WorldTest, RoundTripOfEveryAttribute) {
  Object* a = new Object;
  a->setId(500);
  a->setActive(false);
  a->setVisible(false);
  a->registerInterest(zv::STEP_EVENT);
  a->registerInterest("custom");
  a->setBox(zv::Box(Vector(-1, -2), 3, 1));
  a->setPosition(Vector(12.25f, 7.5f));
  a->setType("Racer");
  a->setAltitude(4);
  a->setSolidness(zv::SPECTRAL);
  a->setNoSoft(true);
  a->setVelocity(Vector(0.6f, -0.8f));
  a->setAcceleration(Vector(0.01f, 0.02f));
  a->setPath(zv::Path({Vector(15.25f, 3.5f), Vector(3.5f, -4)}));  // straight ahead
  a->setAvoidCollisions(true);
  std::string text = a->serialize("ALL");

  Object* b = new Object;
  EXPECT_EQ(b->deserialize(text), 0);
  EXPECT_EQ(b->serialize("ALL"), text);
  EXPECT_EQ(b->getPath().getNodes(), (std::vector<Vector>{Vector(15.25f, 3.5f), Vector(3.5f, -4)}));
  // The registrations are real: b gets step events once active.
  b->setActive(true);
  zv::EventStep step(1);
  EXPECT_EQ(zv::GameManager::getInstance().onEvent(&step), 1);
}

TEST_F(WorldTest, SpeedAfterDirectionOverridesTheLength) {
  Object* p = new Object;
  p->deserialize("x_direction:3,y_direction:4,speed:2,");
  EXPECT_FLOAT_EQ(p->getDirection().getX(), 0.6f);
  EXPECT_FLOAT_EQ(p->getSpeed(), 2.0f);
  p->deserialize("y_direction:1,");
  EXPECT_FLOAT_EQ(p->getSpeed(), std::sqrt(0.36f + 1.0f));
}

TEST_F(WorldTest, BadOrIncompleteTextChangesOnlyWhatItCan) {
  Object* p = new Object;
  p->registerInterest("custom");
  p->serialize("ALL");
  EXPECT_EQ(p->deserialize(""), 0);
  EXPECT_EQ(p->deserialize(",,::,:,a:b:c,"), 0);
  EXPECT_EQ(p->deserialize("pos-x:5,box-corner-x:1,box-corner-y:1,box-horizontal:2,shape:2,size:3,color:4,"), 0);
  EXPECT_FALSE(p->isModified());
  EXPECT_EQ(p->deserialize("is_active:True,altitude:9,solidness:7,pos-x:abc,pos-y:-2.5x,"), 0);
  EXPECT_EQ(p->serialize(""), "is_active:false,pos-x:0,pos-y:-2.5,");
  // A malformed path node ends the path.
  EXPECT_EQ(p->deserialize("path:1 2|34|,"), 0);
  EXPECT_EQ(text(p->getPath()), "(1,2)");
  EXPECT_TRUE(logged("Object::deserialize(): malformed node 34|."));
  EXPECT_TRUE(logged("\tNot added."));
}

TEST_F(WorldTest, EventNamesAreReadUpToTheCount) {
  Object* p = new Object;
  const std::pair<const char*, const char*> cases[] = {
      {"event_count:-1,event_name[0]:zv-step,", "event_count:0,"},
      {"event_count:3,event_name[0]:zv-collision,event_name[1]:zv-out,event_name[2]:ok,",
       "event_count:1,event_name[0]:ok,"},
      {"event_count:1000000,event_name[999999]:late,event_name[3]:zv-step,event_name[1000000]:no,",
       "event_count:2,event_name[0]:zv-step,event_name[1]:late,"},
      {"event_count:2147483647,event_name[2147483646]:x,event_name[12345678901]:y,",
       "event_count:1,event_name[0]:x,"},
  };
  for (const auto& c : cases) {
    p->deserialize(c.first);
    EXPECT_EQ(p->serialize("EVENTS,"), c.second) << c.first;
  }
}
