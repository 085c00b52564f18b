// The display and input managers and the view objects without a window,
// and start-ups that cannot get one.
#include <cstdlib>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/DisplayManager.h"
#include "display/EventView.h"
#include "display/InputManager.h"
#include "display/Shape.h"
#include "display/ViewObject.h"
#include "platform/Platform.h"
#include "world/WorldManager.h"

using zv::Vector;
using zv::ViewObject;

namespace {
class Headless : public testing::Test {
 protected:
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  zv::InputManager& im = zv::InputManager::getInstance();
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};
} // namespace

// The sizes and the cell arithmetic work, every drawing call is refused
// without a word, and input takes only keyboard and mouse interest.
TEST_F(Headless, SizesWithoutDrawingOrInput) {
  EXPECT_EQ(dm.getHorizontalChars() * 100 + dm.getVerticalChars(), 8024);
  EXPECT_EQ(zv::spacesToPixels(Vector(10, 5)), Vector(128, 160));
  EXPECT_FLOAT_EQ(zv::spacesToPixels(Vector(10.5f, 5)).getX(), 134.4f);
  EXPECT_EQ(zv::pixelsToSpaces(Vector(130, 170)), Vector(10.15625f, 5.3125f));
  EXPECT_EQ(dm.getRenderWindow(), nullptr);
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', zv::RED), -1);
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3), -1);
  EXPECT_EQ(dm.drawText(Vector(1, 1), "abc", zv::ALIGN_LEFT, zv::RED), -1);
  EXPECT_EQ(dm.presentFrame(), -1);
  zv::Shape shape;
  EXPECT_FLOAT_EQ(shape.getSize(), 24.0f);  // follows the cell
  shape.draw(Vector(3, 3));                 // no window: nothing drawn, nothing breaks
  EXPECT_FALSE(im.isValid("zv-step") || im.isValid("zv-keyboard-network"));
  EXPECT_EQ(im.registerInterest(new zvtest::Recorder, zv::STEP_EVENT), -1);
  im.getInput();
  EXPECT_EQ(dm.startUp(), -1);
  EXPECT_EQ(im.startUp(), -1);
  EXPECT_FALSE(zvtest::logContains("not started") || zvtest::logContains("InputManager::getInput()"));
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startup(): Warning! DisplayManager already started."));
}

// A display started without a window while the configuration no longer
// says headless: input still starts, and every frame says why it reads nothing.
TEST_F(Headless, MissingWindowIsReportedEachFrame) {
  im.shutDown();
  std::string config = "headless:false,";
  zv::Config::getInstance().loadConfig(config);
  EXPECT_EQ(im.startUp(), 0);
  im.getInput();
  im.getInput();
  EXPECT_TRUE(zvtest::logContains("InputManager::startUp(): Warning - DisplayManager unexpectedly returned null "
                                  "window! Cannot disable keyboard repeat."));
  EXPECT_EQ(zvtest::logCount("InputManager::getInput(): DisplayManager unexpectedly returned null window!"), 2);
}

TEST(DisplayStopped, NothingDrawsOrReadsBeforeStartUp) {
  zv::LogManager::getInstance().startUp();
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3) + dm.presentFrame(), -2);
  EXPECT_EQ(dm.drawText(Vector(1, 1), "abc", zv::ALIGN_CENTER, zv::RED), -1);
  EXPECT_EQ(zv::InputManager::getInstance().startUp(), -1);
  std::string config = "headless:true,";  // headless input needs no display
  zv::Config::getInstance().loadConfig(config);
  EXPECT_EQ(zv::InputManager::getInstance().startUp(), 0);
  EXPECT_EQ(zvtest::logCount("DisplayManager not started!"), 3);
  EXPECT_TRUE(zvtest::logContains(
      "InputManager::startUp(): Error starting InputManager. DisplayManager must be started first."));
}

TEST(DisplayStopped, MissingFontFailsTheEngineStart) {
  ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
  zvtest::writeFile("zv-config.txt", "font_file:no-such-font.ttf,");
  EXPECT_EQ(zv::GameManager::getInstance().startUp(), -1);
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): Unable to load font from file 'no-such-font.ttf'."));
}

TEST(DisplayStopped, NoDisplayFailsCleanly) {
  setenv("DISPLAY", ":4095", 1);  // a server nobody runs
  ASSERT_FALSE(zv::platform::displayAvailable());
  EXPECT_EQ(zv::GameManager::getInstance().startUp(), -1);
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): Unable to allocate window!"));
}

// Every engine key comes from exactly one library key; every other code,
// the unnamed -1 included, arrives as code + 97.
TEST(KeyTranslation, NamedKeysOnceOthersShifted) {
  std::set<int> named;
  for (int code = -1; code <= 100; code++) {
    sf::Event::KeyEvent key_event = {};
    key_event.code = static_cast<sf::Keyboard::Key>(code);
    int key = zv::InputManager::getInstance().toEventKeyboard(key_event).getKey();
    EXPECT_TRUE(key >= 0 && key < zv::KEY_COUNT ? named.insert(key).second : key == code + 97) << code;
  }
  EXPECT_EQ(named.size(), 73u);
  sf::Event::KeyEvent space = {};
  space.code = sf::Keyboard::Space;
  EXPECT_EQ(zv::InputManager::getInstance().toEventKeyboard(space).getKey(), zv::SPACE);
}

// A view that is neither 80 wide nor 24 high, so that W and H cannot be mixed up.
TEST_F(Headless, ViewObjectsAtNineLocationsWithAndWithoutBorder) {
  zv::WorldManager::getInstance().setView(zv::Box(Vector(0, 0), 60, 30));
  ViewObject* p = new ViewObject;
  EXPECT_EQ(p->getPosition(), Vector(30, 1));
  EXPECT_EQ(p->getAltitude(), zv::MAX_ALTITUDE);
  // x in sixths of the width; y with and without the border.
  const float places[][3] = {{1, 1, 0}, {3, 1, 0}, {5, 1, 0}, {1, 15, 14}, {3, 15, 14}, {5, 15, 14}, {1, 28, 29},
                             {3, 28, 29}, {5, 28, 29}};
  for (int where = zv::TOP_LEFT; where <= zv::BOTTOM_RIGHT; where++)
    for (bool border : {true, false}) {
      p->setBorder(border);
      ASSERT_EQ(p->setLocation(static_cast<zv::ViewLocation>(where)), 0);
      EXPECT_EQ(p->getPosition(), Vector(10 * places[where][0], places[where][border ? 1 : 2])) << where << border;
      EXPECT_EQ(p->getLocation(), where);
    }
  EXPECT_EQ(p->setLocation(static_cast<zv::ViewLocation>(9)) + p->setLocation(zv::LOCATION_NONE), -2);
  EXPECT_EQ(p->getPosition(), Vector(50, 29));
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_RIGHT);
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (9). Ignored."));
  // The same position is no move at all; another one unnames the place, and
  // a border change then leaves it there.
  EXPECT_EQ(p->setPosition(Vector(50, 29)), 0);
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_RIGHT);
  EXPECT_EQ(p->setPosition(Vector(5, 7)), 0);
  EXPECT_EQ(p->getLocation(), zv::LOCATION_NONE);
  p->setBorder(true);
  EXPECT_EQ(p->getPosition(), Vector(5, 7));
  // Headless every drawing call fails: the text, and the border's four more.
  EXPECT_EQ(p->draw(), -5);
  p->setBorder(false);
  EXPECT_EQ(p->draw(), -1);
}

TEST_F(Headless, ViewEventsSetOrAddByLabel) {
  ViewObject* fuel = new ViewObject;
  fuel->setViewString("Fuel");
  fuel->setValue(100);
  ViewObject* points = new ViewObject;
  points->setViewString("Points");
  fuel->serialize("");
  zv::EventView add("Fuel", -10, true), set("Points", 7, false), stranger("Speed", 3, false), none("Fuel", 0, true);
  EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&add), 2);
  EXPECT_EQ(points->eventHandler(&set) + points->eventHandler(&set), 2);
  EXPECT_EQ(fuel->eventHandler(&stranger), 0);
  EXPECT_EQ(fuel->getValue() * 100 + points->getValue(), 9007);
  EXPECT_EQ(fuel->serialize(""), "view_value:90,");
  EXPECT_EQ(fuel->eventHandler(&none), 1);
  EXPECT_FALSE(fuel->isModified());
  zv::EventStep step(1);
  EXPECT_EQ(fuel->eventHandler(&step), 0);
  zv::Event odd;
  odd.setType(zv::VIEW_EVENT);
  EXPECT_EQ(fuel->eventHandler(&odd), 0);
  EXPECT_TRUE(zvtest::logContains("ViewObject::eventHandler(): Error! Dynamic cast to EventView failed."));
}

TEST_F(Headless, ViewObjectsWriteOnlyRealChangesAndReadThemBack) {
  ViewObject* p = new ViewObject;
  EXPECT_NE(p->serialize("").find("type:ViewObject,"), std::string::npos);
  EXPECT_EQ(p->serialize(""), "");
  p->setViewString("");
  p->setColor(zv::WHITE);
  p->setBorder(true);
  p->setDrawValue(false);  // not a tracked change
  EXPECT_FALSE(p->isModified());
  p->setPosition(Vector(3, 4));
  EXPECT_EQ(p->serialize(""), "pos-x:3,pos-y:4,view_location:-1,");
  p->setViewString("Points");
  // Selectors are found as substrings: "DRAW_VALUE," names VALUE too.
  EXPECT_EQ(p->serialize("COLOR,VIEW_STRING,"), "view_string:Points,view_color:White,");
  EXPECT_EQ(p->serialize("DRAW_VALUE,"), "view_value:0,view_draw_value:false,");

  for (int c = zv::BLACK; c <= zv::CUSTOM; c++)
    for (int where = zv::TOP_LEFT - 1; where <= zv::BOTTOM_RIGHT; where += 4) {
      ViewObject* source = new ViewObject;
      source->setViewString("Fuel");
      source->setValue(-42 - c);
      source->setColor(static_cast<zv::Color>(c));
      source->setBorder(c % 2 == 0);
      source->setDrawValue(c % 3 != 0);
      source->setLocation(static_cast<zv::ViewLocation>(where));
      source->setPosition(where < 0 ? Vector(12.5f, 3) : source->getPosition());
      std::string text = source->serialize("ALL");
      ViewObject* copy = new ViewObject;
      EXPECT_EQ(copy->deserialize(text), 0);
      std::string again = copy->serialize("ALL");
      EXPECT_EQ(again.substr(again.find("view_")), text.substr(text.find("view_")));
      EXPECT_EQ(copy->getPosition(), source->getPosition());
    }
  // Reading: a colour by name or number; the border change re-applies the
  // location; bad values are harmless; an empty text applies nothing.
  EXPECT_EQ(p->deserialize("view_color:Magenta,"), 0);
  EXPECT_EQ(p->getColor(), zv::MAGENTA);
  p->deserialize("view_color:9,");
  EXPECT_EQ(p->getColor(), zv::MAGENTA);
  EXPECT_TRUE(zvtest::logContains("ViewObject::deserialize(): Warning! Unknown color '9'. Ignored."));
  p->setLocation(zv::BOTTOM_LEFT);
  p->serialize("");
  EXPECT_EQ(p->deserialize("altitude:3,view_border:False,view_value:abc,view_draw_value:true,view_location:12,"), 0);
  EXPECT_TRUE(p->getAltitude() == 3 && !p->getBorder() && p->getDrawValue() && p->getValue() == 0);
  EXPECT_EQ(p->getPosition().getY(), 23);
  EXPECT_EQ(p->getLocation(), zv::BOTTOM_LEFT);
  std::string changed = p->serialize("");
  EXPECT_TRUE(changed.find("view_border:false,") != std::string::npos && changed.find("view_value") == std::string::npos &&
              changed.find("view_draw") == std::string::npos) << changed;
  EXPECT_EQ(p->deserialize(""), 0);
  EXPECT_FALSE(p->isModified());
}
