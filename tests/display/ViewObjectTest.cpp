#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/EventView.h"
#include "display/ViewObject.h"
#include "world/WorldManager.h"

using zv::EventView;
using zv::Vector;
using zv::ViewObject;

namespace {

class ViewObjects : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }
  static void expectAt(const ViewObject* p, float x, float y) {
    EXPECT_FLOAT_EQ(p->getPosition().getX(), x);
    EXPECT_FLOAT_EQ(p->getPosition().getY(), y);
  }
};

struct Place {
  zv::ViewLocation location;
  float x_sixths;  // x as sixths of the view's width
  float y_border;  // y with the border, as an offset from 0, H/2 or H
  float y_plain;
  int y_base;      // 0 top, 1 centre, 2 bottom
};

const Place PLACES[] = {
    {zv::TOP_LEFT, 1, 1, 0, 0},       {zv::TOP_CENTER, 3, 1, 0, 0},       {zv::TOP_RIGHT, 5, 1, 0, 0},
    {zv::CENTER_LEFT, 1, 0, -1, 1},   {zv::CENTER_CENTER, 3, 0, -1, 1},   {zv::CENTER_RIGHT, 5, 0, -1, 1},
    {zv::BOTTOM_LEFT, 1, -2, -1, 2},  {zv::BOTTOM_CENTER, 3, -2, -1, 2},  {zv::BOTTOM_RIGHT, 5, -2, -1, 2},
};

} // namespace

TEST_F(ViewObjects, ConstructionDefaults) {
  ViewObject* p = new ViewObject;
  EXPECT_EQ(p->getType(), "ViewObject");
  EXPECT_EQ(p->getSolidness(), zv::SPECTRAL);
  EXPECT_EQ(p->getAltitude(), zv::MAX_ALTITUDE);
  EXPECT_EQ(p->getViewString(), "");
  EXPECT_EQ(p->getValue(), 0);
  EXPECT_TRUE(p->getDrawValue());
  EXPECT_TRUE(p->getBorder());
  EXPECT_EQ(p->getColor(), zv::WHITE);
  EXPECT_EQ(p->getLocation(), zv::TOP_CENTER);
  expectAt(p, 40, 1);
  ASSERT_EQ(p->getEventCount(), 1);
  EXPECT_EQ(p->getEventName(0), "zv-view");
  for (int i = 0; i < zv::VIEW_ATTRIBUTE_COUNT; i++)
    EXPECT_TRUE(p->isModified(static_cast<zv::ViewObjectAttribute>(i))) << i;
  EXPECT_TRUE(p->isModified());
}

TEST_F(ViewObjects, NineLocationsWithAndWithoutBorder) {
  // A view that is neither 80 wide nor 24 high, so that W and H cannot be mixed up.
  zv::WorldManager::getInstance().setView(zv::Box(Vector(0, 0), 60, 30));
  ViewObject* p = new ViewObject;
  for (const Place& place : PLACES) {
    for (bool border : {true, false}) {
      p->setBorder(border);
      ASSERT_EQ(p->setLocation(place.location), 0);
      float base = place.y_base == 0 ? 0.0f : place.y_base == 1 ? 15.0f : 30.0f;
      SCOPED_TRACE(testing::Message() << "location " << place.location << " border " << border);
      expectAt(p, 60.0f * place.x_sixths / 6.0f, base + (border ? place.y_border : place.y_plain));
      EXPECT_EQ(p->getLocation(), place.location);
    }
  }
}

TEST_F(ViewObjects, CornersOfTheDefaultView) {
  ViewObject* p = new ViewObject;
  p->setLocation(zv::TOP_RIGHT);
  expectAt(p, 80.0f * 5.0f / 6.0f, 1);
  EXPECT_NEAR(p->getPosition().getX(), 66.6667f, 0.001f);
  p->setBorder(false);
  p->setLocation(zv::BOTTOM_LEFT);
  EXPECT_NEAR(p->getPosition().getX(), 13.3333f, 0.001f);
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 23);
}

TEST_F(ViewObjects, OutOfRangeLocationIsRefused) {
  ViewObject* p = new ViewObject;
  p->setLocation(zv::BOTTOM_RIGHT);
  Vector before = p->getPosition();
  EXPECT_EQ(p->setLocation(static_cast<zv::ViewLocation>(9)), -1);
  EXPECT_EQ(p->setLocation(zv::LOCATION_NONE), -1);
  EXPECT_EQ(p->getPosition(), before);
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_RIGHT);
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (9). Ignored."));
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (-1). Ignored."));
}

TEST_F(ViewObjects, BorderChangeFollowsTheNamedLocationOnly) {
  ViewObject* p = new ViewObject;
  p->setLocation(zv::BOTTOM_CENTER);
  expectAt(p, 40, 22);
  p->setBorder(false);
  expectAt(p, 40, 23);
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_CENTER);

  // The same position again is no move at all.
  EXPECT_EQ(p->setPosition(Vector(40, 23)), 0);
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_CENTER);

  EXPECT_EQ(p->setPosition(Vector(5, 7)), 0);
  EXPECT_EQ(p->getLocation(), zv::LOCATION_NONE);
  p->setBorder(true);
  EXPECT_TRUE(p->getBorder());
  expectAt(p, 5, 7);
}

TEST_F(ViewObjects, ViewEventsSetOrAddByLabel) {
  ViewObject* fuel = new ViewObject;
  fuel->setViewString("Fuel");
  fuel->setValue(100);
  ViewObject* points = new ViewObject;
  points->setViewString("Points");

  zv::WorldManager& world = zv::WorldManager::getInstance();
  EventView add("Fuel", -10, true);
  EXPECT_EQ(world.onEvent(&add), 2);
  EXPECT_EQ(fuel->getValue(), 90);
  EXPECT_EQ(points->getValue(), 0);

  EventView set("Points", 7, false);
  world.onEvent(&set);
  world.onEvent(&set);
  EXPECT_EQ(points->getValue(), 7);
  EXPECT_EQ(fuel->getValue(), 90);

  EventView stranger("Speed", 3, false);
  EXPECT_EQ(fuel->eventHandler(&stranger), 0);
  EXPECT_EQ(fuel->eventHandler(&add), 1);
  EXPECT_EQ(fuel->getValue(), 80);
  EXPECT_EQ(points->eventHandler(&add), 0);

  zv::EventStep step(1);
  EXPECT_EQ(fuel->eventHandler(&step), 0);
}

TEST_F(ViewObjects, ViewEventThatIsNoEventViewIsReported) {
  ViewObject* p = new ViewObject;
  zv::Event odd;
  odd.setType(zv::VIEW_EVENT);
  EXPECT_EQ(p->eventHandler(&odd), 0);
  EXPECT_TRUE(zvtest::logContains("ViewObject::eventHandler(): Error! Dynamic cast to EventView failed."));
}

TEST_F(ViewObjects, HeadlessDrawCountsTheFailedCalls) {
  ViewObject* p = new ViewObject;
  p->setViewString("Fuel");
  EXPECT_EQ(p->draw(), -5);
  p->setBorder(false);
  EXPECT_EQ(p->draw(), -1);
  p->setDrawValue(false);
  EXPECT_EQ(p->draw(), -1);
}

TEST_F(ViewObjects, ChangeCheckLogsEachViewFlag) {
  zv::LogManager::getInstance().setLogLevel(10);
  ViewObject* p = new ViewObject;
  EXPECT_TRUE(p->isModified());
  EXPECT_TRUE(zvtest::logContains("ViewObject::isModified(): 0 is true"));
  EXPECT_FALSE(zvtest::logContains("ViewObject::isModified(): 1 is"));
}

namespace {
using zvtest::keysOf;

std::vector<std::string> viewKeysOf(const std::string& text) {
  std::vector<std::string> keys;
  for (const std::string& key : keysOf(text))
    if (key.compare(0, 5, "view_") == 0)
      keys.push_back(key);
  return keys;
}

const std::vector<std::string> ALL_VIEW_KEYS = {"view_string", "view_value", "view_location",
                                                "view_border", "view_color", "view_draw_value"};
} // namespace

TEST_F(ViewObjects, SerializingTwiceWritesNothingNew) {
  ViewObject* p = new ViewObject;
  std::string first = p->serialize("");
  EXPECT_EQ(viewKeysOf(first), (std::vector<std::string>{"view_string", "view_value", "view_border", "view_color",
                                                         "view_location", "view_draw_value"}));
  EXPECT_NE(first.find("view_string:,view_value:0,view_border:true,view_color:White,view_location:1,"
                       "view_draw_value:true,"),
            std::string::npos);
  EXPECT_NE(first.find("type:ViewObject,"), std::string::npos);
  EXPECT_FALSE(p->isModified());
  EXPECT_EQ(p->serialize(""), "");
}

TEST_F(ViewObjects, OnlyRealChangesAreMarked) {
  ViewObject* p = new ViewObject;
  p->setViewString("Fuel");
  p->setValue(5);
  p->serialize("");
  p->setViewString("Fuel");
  p->setValue(5);
  p->setColor(zv::WHITE);
  p->setBorder(true);
  EXPECT_EQ(p->setPosition(p->getPosition()), 0);
  EventView nothing("Fuel", 0, true);
  EXPECT_EQ(p->eventHandler(&nothing), 1);
  p->setDrawValue(false);  // not a tracked change
  EXPECT_FALSE(p->isModified());

  p->setValue(6);
  EXPECT_TRUE(p->isModified(zv::VALUE));
  EXPECT_TRUE(p->isModified());
  EXPECT_EQ(p->serialize(""), "view_value:6,");

  p->setPosition(Vector(3, 4));
  EXPECT_EQ(p->serialize(""), "pos-x:3,pos-y:4,view_location:-1,");
  p->setBorder(false);  // placed by position: no move
  EXPECT_EQ(p->serialize(""), "view_border:false,");
}

TEST_F(ViewObjects, SelectionsNameViewAttributes) {
  ViewObject* p = new ViewObject;
  p->setViewString("Points");
  p->setValue(12);
  EXPECT_EQ(p->serialize("VALUE,"), "view_value:12,");
  EXPECT_EQ(p->serialize("COLOR,VIEW_STRING,"), "view_string:Points,view_color:White,");
  // Selectors are found as substrings: "DRAW_VALUE," names VALUE too.
  EXPECT_EQ(p->serialize("POSITION,DRAW_VALUE,"), "pos-x:40,pos-y:1,view_value:12,view_draw_value:true,");
  // What was not written is still marked.
  EXPECT_TRUE(p->isModified(zv::BORDER));
  EXPECT_TRUE(p->isModified(zv::LOCATION));
  EXPECT_FALSE(p->isModified(zv::VALUE));
  EXPECT_EQ(viewKeysOf(p->serialize("")), (std::vector<std::string>{"view_border", "view_location"}));
  EXPECT_EQ(viewKeysOf(p->serialize("ALL")).size(), 6u);
}

TEST_F(ViewObjects, EveryViewAttributeSurvivesWritingAndReading) {
  for (int c = zv::BLACK; c <= zv::CUSTOM; c++) {
    for (int where = zv::TOP_LEFT; where <= zv::BOTTOM_RIGHT; where += 4) {
      ViewObject* source = new ViewObject;
      source->setViewString("Fuel");
      source->setValue(-42 - c);
      source->setColor(static_cast<zv::Color>(c));
      source->setBorder(c % 2 == 0);
      source->setDrawValue(c % 3 != 0);
      source->setLocation(static_cast<zv::ViewLocation>(where));
      std::string text = source->serialize("ALL");

      ViewObject* copy = new ViewObject;
      EXPECT_EQ(copy->deserialize(text), 0);
      SCOPED_TRACE(text);
      EXPECT_EQ(copy->getViewString(), "Fuel");
      EXPECT_EQ(copy->getValue(), -42 - c);
      EXPECT_EQ(copy->getColor(), static_cast<zv::Color>(c));
      EXPECT_EQ(copy->getBorder(), c % 2 == 0);
      EXPECT_EQ(copy->getDrawValue(), c % 3 != 0);
      EXPECT_EQ(copy->getLocation(), static_cast<zv::ViewLocation>(where));
      EXPECT_EQ(copy->getPosition(), source->getPosition());
    }
  }
  EXPECT_FALSE(zvtest::logContains("ViewObject::setLocation(): Warning!"));
  EXPECT_FALSE(zvtest::logContains("ViewObject::deserialize(): Warning!"));
}

TEST_F(ViewObjects, PlacedByPositionSurvivesWritingAndReading) {
  ViewObject* source = new ViewObject;
  source->setPosition(Vector(12.5f, 3));
  std::string text = source->serialize("ALL");
  ViewObject* copy = new ViewObject;
  copy->deserialize(text);
  // The position keys place it; the -1 written for that is refused as any other location.
  EXPECT_EQ(copy->getLocation(), zv::LOCATION_NONE);
  EXPECT_EQ(copy->getPosition(), Vector(12.5f, 3));
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (-1). Ignored."));
  copy->setBorder(!copy->getBorder());
  EXPECT_EQ(copy->getPosition(), Vector(12.5f, 3));
}

TEST_F(ViewObjects, ColourIsReadAsNameOrNumber) {
  zv::LogManager::getInstance().setLogLevel(10);
  ViewObject* p = new ViewObject;
  p->deserialize("view_color:3,");
  EXPECT_EQ(p->getColor(), zv::YELLOW);
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): color is 3"));
  p->deserialize("view_color:Magenta,");
  EXPECT_EQ(p->getColor(), zv::MAGENTA);
  p->deserialize("view_color:cyan,");
  EXPECT_EQ(p->getColor(), zv::CYAN);
  p->deserialize("view_color:8,");
  EXPECT_EQ(p->getColor(), zv::CUSTOM);

  p->deserialize("view_color:Purple,");
  p->deserialize("view_color:9,");
  p->deserialize("view_color:-1,");
  EXPECT_EQ(p->getColor(), zv::CUSTOM);
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): Warning! Unknown color 'Purple'. Ignored."));
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): Warning! Unknown color '9'. Ignored."));
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): Warning! Unknown color '-1'. Ignored."));
}

TEST_F(ViewObjects, ReadingAppliesTheObjectPartFirst) {
  zv::LogManager::getInstance().setLogLevel(10);
  ViewObject* p = new ViewObject;
  p->setLocation(zv::BOTTOM_LEFT);
  p->serialize("");
  // The border change re-applies the location; a bad location and junk values are harmless.
  EXPECT_EQ(p->deserialize("altitude:3,view_border:False,view_value:abc,view_draw_value:no,"), 0);
  EXPECT_EQ(p->getAltitude(), 3);
  EXPECT_FALSE(p->getBorder());
  EXPECT_FLOAT_EQ(p->getPosition().getY(), 23);
  EXPECT_EQ(p->getValue(), 0);
  EXPECT_FALSE(p->getDrawValue());
  EXPECT_FALSE(p->isModified(zv::DRAW_VALUE));
  EXPECT_FALSE(p->isModified(zv::VALUE));
  EXPECT_TRUE(p->isModified(zv::BORDER));
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): border is False"));
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): value is 0"));
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): draw_value is no"));

  EXPECT_EQ(p->deserialize("view_location:12,view_string:Speed,"), 0);
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_LEFT);
  EXPECT_EQ(p->getViewString(), "Speed");
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (12). Ignored."));
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): view_string is Speed"));

  // An empty text applies nothing, not the text read just before.
  ViewObject* q = new ViewObject;
  q->serialize("");
  EXPECT_EQ(q->deserialize(""), 0);
  EXPECT_EQ(q->getViewString(), "");
  EXPECT_FALSE(q->isModified());
}
