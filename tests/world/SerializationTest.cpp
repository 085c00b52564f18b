#include "WorldFixture.h"
#include "core/EventStep.h"
#include "world/Object.h"

#include <algorithm>
#include <cmath>

using zv::Object;
using zv::Vector;

using zvtest::keysOf;

TEST_F(WorldTest, AllWritesEveryKeyInTableOrder) {
  Object* p = new Object;
  p->registerInterest("custom");
  std::vector<std::string> keys = keysOf(p->serialize("ALL"));
  std::vector<std::string> expected = {"id", "is_active", "is_visible", "event_count", "event_name[0]",
                                       "box-corner-x", "box-corner-y", "box-horizontal", "box-vertical",
                                       "pos-x", "pos-y", "type", "altitude", "solidness", "no_soft",
                                       "x_direction", "y_direction", "speed", "x_acceleration",
                                       "y_acceleration", "follow_path", "avoid_collisions"};
  // Keys the object writes in that order (animation, shape and path keys join them).
  std::vector<std::string> present;
  for (const std::string& k : keys)
    if (std::find(expected.begin(), expected.end(), k) != expected.end())
      present.push_back(k);
  EXPECT_EQ(present, expected);
  EXPECT_EQ(p->serialize(""), "");
  EXPECT_FALSE(p->isModified());
}

TEST_F(WorldTest, ValuesUseTheTextForms) {
  Object* p = new Object;
  p->setId(77);
  p->setPosition(Vector(1.5f, -0.25f));
  p->setType("Car");
  p->setSolidness(zv::SOFT);
  p->setVelocity(Vector(0, -2));
  std::string text = p->serialize("ALL");
  EXPECT_NE(text.find("id:77,is_active:true,is_visible:true,event_count:0,"), std::string::npos) << text;
  EXPECT_NE(text.find("box-corner-x:-0.5,box-corner-y:-0.5,box-horizontal:0.99,box-vertical:0.99,"),
            std::string::npos);
  EXPECT_NE(text.find("pos-x:1.5,pos-y:-0.25,type:Car,"), std::string::npos);
  EXPECT_NE(text.find("solidness:1,no_soft:false,x_direction:0,y_direction:-1,speed:2,"), std::string::npos);
}

TEST_F(WorldTest, EmptySelectionWritesOnlyWhatChanged) {
  Object* p = new Object;
  p->serialize("");
  p->setPosition(Vector(4, 5));
  EXPECT_EQ(p->serialize(""), "pos-x:4,pos-y:5,");
  EXPECT_EQ(p->serialize(""), "");
}

TEST_F(WorldTest, SelectorsAreSubstringsWithTheirComma) {
  Object* p = new Object;
  EXPECT_EQ(p->serialize("POSITION,TYPE,"), "pos-x:1,pos-y:1,type:(Undefined),");
  EXPECT_EQ(p->serialize("POSITION"), "");
  EXPECT_TRUE(logged("Object::serialize(): Warning! Attribute 'POSITION' missing trailing ','"));
  // The position flag was cleared by the first call, the others were not.
  EXPECT_FALSE(p->isModified(zv::POSITION));
  EXPECT_TRUE(p->isModified(zv::SPEED));
  std::string follow = p->serialize("FOLLOW_PATH,");
  EXPECT_EQ(follow.find("follow_path:false,"), 0u);
}

TEST_F(WorldTest, EventsWriteCountAndNames) {
  Object* p = new Object;
  p->registerInterest(zv::STEP_EVENT);
  p->registerInterest("custom");
  EXPECT_EQ(p->serialize("EVENTS,"), "event_count:2,event_name[0]:zv-step,event_name[1]:custom,");
}

TEST_F(WorldTest, RoundTripOfEveryAttribute) {
  Object* a = new Object;
  a->setId(500);
  a->setActive(false);
  a->setVisible(false);
  a->registerInterest(zv::STEP_EVENT);
  a->registerInterest("custom");
  a->setBox(zv::Box(Vector(-1.5f, -0.75f), 3, 1.5f));
  a->setPosition(Vector(12.25f, 7.5f));
  a->setType("Racer");
  a->setAltitude(4);
  a->setSolidness(zv::SPECTRAL);
  a->setNoSoft(true);
  a->setVelocity(Vector(0.6f, -0.8f));
  a->setAcceleration(Vector(0.01f, 0.02f));
  a->setAvoidCollisions(true);
  std::string text = a->serialize("ALL");

  Object* b = new Object;
  EXPECT_EQ(b->deserialize(text), 0);
  EXPECT_EQ(b->getId(), 500);
  EXPECT_FALSE(b->isActive());
  EXPECT_FALSE(b->isVisible());
  EXPECT_EQ(b->getEventCount(), 2);
  EXPECT_EQ(b->getEventName(0), "zv-step");
  EXPECT_EQ(b->getEventName(1), "custom");
  EXPECT_EQ(b->getBox(), a->getBox());
  EXPECT_EQ(b->getPosition(), a->getPosition());
  EXPECT_EQ(b->getType(), "Racer");
  EXPECT_EQ(b->getAltitude(), 4);
  EXPECT_EQ(b->getSolidness(), zv::SPECTRAL);
  EXPECT_TRUE(b->getNoSoft());
  EXPECT_FLOAT_EQ(b->getDirection().getX(), 0.6f);
  EXPECT_FLOAT_EQ(b->getDirection().getY(), -0.8f);
  EXPECT_FLOAT_EQ(b->getSpeed(), 1.0f);
  EXPECT_EQ(b->getAcceleration(), Vector(0.01f, 0.02f));
  EXPECT_TRUE(b->getAvoidCollisions());
  // And what changed reports as modified.
  EXPECT_TRUE(b->isModified(zv::POSITION));
  // The registrations are real: b gets step events (once active).
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

TEST_F(WorldTest, IncompleteGroupsChangeNothing) {
  zv::LogManager::getInstance().setLogLevel(20);
  Object* p = new Object;
  p->serialize("");
  p->deserialize("pos-x:5,box-corner-x:1,box-corner-y:1,box-horizontal:2,");
  EXPECT_EQ(p->getPosition(), Vector(1, 1));
  EXPECT_EQ(p->getBox(), zv::Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f));
  EXPECT_FALSE(p->isModified());
  EXPECT_TRUE(logged("Object::deserialize(): position not complete, so ignoring."));
  EXPECT_TRUE(logged("Object::deserialize(): box not complete, so ignoring."));
}

TEST_F(WorldTest, DeserializeOfBadTextIsHarmless) {
  Object* p = new Object;
  p->registerInterest("custom");
  EXPECT_EQ(p->deserialize("is_active:True,altitude:9,solidness:7,pos-x:abc,pos-y:1e99x,speed:-,"), 0);
  EXPECT_FALSE(p->isActive());  // anything but exactly "true"
  EXPECT_EQ(p->getAltitude(), 2);
  EXPECT_EQ(p->getSolidness(), zv::HARD);
  EXPECT_EQ(p->getPosition().getX(), 0.0f);
  EXPECT_EQ(p->deserialize(",,::,:,a:b:c,"), 0);
  EXPECT_EQ(p->deserialize(""), 0);
  EXPECT_EQ(p->getEventCount(), 1);
}

TEST_F(WorldTest, ReadingAppliesOnlyThePairsInTheText) {
  FlagProbe* p = new FlagProbe;
  (new Object)->deserialize("pos-x:5,pos-y:6,type:Other,");
  p->clearFlags();
  EXPECT_EQ(p->deserialize(""), 0);
  EXPECT_EQ(p->getPosition(), Vector(1, 1));
  EXPECT_EQ(p->getType(), "(Undefined)");
  p->deserialize("x_direction:1,");  // applied with y_direction only
  EXPECT_EQ(p->marked(), std::vector<int>());
  // A colour is a name as written, else a number as atoi reads it.
  const std::pair<const char*, int> colors[] = {{"Red", 1}, {"3", 3}, {"Purple", 0}, {"12", 12}, {"-4x", -4}};
  for (const auto& c : colors) {
    p->deserialize(std::string("shape:1,size:2,opacity:255,color:") + c.first + ",");
    EXPECT_EQ(static_cast<int>(p->getShape().getColor()), c.second) << c.first;
  }
}

TEST_F(WorldTest, EventCountMinusOneOrHugeIsBounded) {
  Object* p = new Object;
  p->registerInterest("custom");
  p->deserialize("event_count:-1,event_name[0]:zv-step,");
  EXPECT_EQ(p->getEventCount(), 0);
  p->deserialize("event_count:1000000,event_name[999999]:late,event_name[3]:zv-step,");
  EXPECT_EQ(p->getEventCount(), 2);
  EXPECT_EQ(p->getEventName(0), "zv-step");
  EXPECT_EQ(p->getEventName(1), "late");
  p->deserialize("event_count:2147483647,event_name[2147483646]:x,event_name[0]:zv-keyboard-bad,");
  EXPECT_EQ(p->getEventCount(), 2);
}

TEST_F(WorldTest, RefusedEventNamesAreNotRecorded) {
  Object* p = new Object;
  p->deserialize("event_count:3,event_name[0]:zv-collision,event_name[1]:zv-out,event_name[2]:ok,");
  EXPECT_EQ(p->getEventCount(), 1);
  EXPECT_EQ(p->getEventName(0), "ok");
}

TEST_F(WorldTest, IsModifiedLogsEachFlagUntilTheFirstSet) {
  zv::LogManager::getInstance().setLogLevel(20);
  Object* p = new Object;
  p->serialize("ALL");
  p->setAcceleration(Vector(1, 0));
  EXPECT_TRUE(p->isModified());
  EXPECT_TRUE(logged("Object::isModified(): 12 is false"));
  EXPECT_TRUE(logged("Object::isModified(): 13 is true"));
  EXPECT_FALSE(logged("Object::isModified(): 14 is"));
}

TEST_F(WorldTest, PathRoundTripsAndMalformedNodesStopTheRead) {
  Object* a = new Object;
  a->setPath(zv::Path({Vector(1, 2), Vector(3.5f, -4)}));
  std::string text = a->serialize("PATH,");
  EXPECT_EQ(text, "path:1 2|3.5 -4|,path_index:0,");
  Object* b = new Object;
  b->deserialize(text);
  EXPECT_EQ(b->getPath().getNodes(), (std::vector<Vector>{Vector(1, 2), Vector(3.5f, -4)}));
  EXPECT_EQ(b->getPath().getIndex(), 0);
  EXPECT_TRUE(b->isModified(zv::PATH));

  Object* c = new Object;
  c->deserialize("path:1 2|34|,");
  EXPECT_EQ(c->getPath().getNodes(), (std::vector<Vector>{Vector(1, 2)}));
  EXPECT_TRUE(logged("Object::deserialize(): malformed node 34|."));
  EXPECT_TRUE(logged("\tNot added."));
  Object* d = new Object;
  d->deserialize("path:nospacesorbars,");
  EXPECT_EQ(d->getPath().getNodeCount(), 0);
}

TEST_F(WorldTest, FollowPathReadBackAimsTheObject) {
  Object* a = new Object;
  a->setPosition(Vector(1, 1));
  a->deserialize("path:4 1|,follow_path:true,");
  EXPECT_TRUE(a->getFollowPath());
  EXPECT_EQ(a->getDirection(), Vector(1, 0));
  std::string text = a->serialize("FOLLOW_PATH,");
  EXPECT_EQ(text, "follow_path:true,path:4 1|,path_index:0,");
}
