#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/DisplayManager.h"
#include "display/Shape.h"
#include "platform/Platform.h"
// After the window library: X's macros would change its names.
#include "XWindow.h"

using zv::DisplayManager;
using zv::Vector;

class HeadlessDisplay : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
};

TEST_F(HeadlessDisplay, CellArithmeticOfTheDefaultWindow) {
  EXPECT_FLOAT_EQ(zv::cellWidth(), 12.8f);
  EXPECT_FLOAT_EQ(zv::cellHeight(), 32.0f);
  Vector p = zv::spacesToPixels(Vector(10, 5));
  EXPECT_FLOAT_EQ(p.getX(), 128.0f);
  EXPECT_FLOAT_EQ(p.getY(), 160.0f);
  Vector s = zv::pixelsToSpaces(Vector(130, 170));
  EXPECT_FLOAT_EQ(s.getX(), 10.15625f);
  EXPECT_FLOAT_EQ(s.getY(), 5.3125f);
  Vector half = zv::spacesToPixels(Vector(10.5f, 5));
  EXPECT_FLOAT_EQ(half.getX(), 134.4f);
}

TEST_F(HeadlessDisplay, SizesKnownButNothingDrawn) {
  DisplayManager& dm = DisplayManager::getInstance();
  EXPECT_TRUE(dm.isStarted());
  EXPECT_EQ(dm.getHorizontalChars(), 80);
  EXPECT_EQ(dm.getVerticalChars(), 24);
  EXPECT_EQ(dm.getRenderWindow(), nullptr);
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', zv::RED), -1);
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3), -1);
  EXPECT_EQ(dm.drawText(Vector(1, 1), "abc", zv::ALIGN_LEFT, zv::RED), -1);
  EXPECT_EQ(dm.presentFrame(), -1);
  EXPECT_FALSE(zvtest::logContains("not started"));
  zv::Shape shape;
  shape.draw(Vector(3, 3));  // no window: nothing drawn, nothing breaks
}

TEST_F(HeadlessDisplay, HeadlessStartUpIsLogged) {
  zv::GameManager::getInstance().shutDown();
  zv::LogManager::getInstance().setLogLevel(1);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): not doing graphics since in headless mode."));
  EXPECT_EQ(DisplayManager::getInstance().startUp(), -1);
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startup(): Warning! DisplayManager already started."));
}

TEST(DisplayStopped, DrawingBeforeStartUpIsRefused) {
  zv::LogManager::getInstance().startUp();
  DisplayManager& dm = DisplayManager::getInstance();
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3), -1);
  EXPECT_EQ(dm.drawText(Vector(1, 1), "abc", zv::ALIGN_CENTER, zv::RED), -1);
  EXPECT_EQ(dm.presentFrame(), -1);
  zv::LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("DisplayManager not started!"), 3);
}

namespace {
// Top-level windows with this title on the display, once the count stops
// being `unwanted` or a second has passed.
int windowsTitled(const char* title, int unwanted) {
  Display* display = zvtest::openDisplay();
  int count = unwanted;
  for (int tries = 0; display && count == unwanted && tries < 50; tries++) {
    if (tries > 0)
      zv::platform::sleepMillis(20);
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    count = 0;
    XSync(display, False);
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n);
    for (unsigned int i = 0; i < n; i++) {
      char* name = nullptr;
      if (XFetchName(display, children[i], &name) && name) {
        count += strcmp(name, title) == 0;
        XFree(name);
      }
    }
    XFree(children);
  }
  if (display)
    XCloseDisplay(display);
  return count;
}
} // namespace

// A start-up that fails on the font has made its window already; the next
// start-up replaces that window instead of leaving it open.
TEST(DisplayStopped, MissingFontFailsTheEngineStart) {
  ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
  zvtest::writeFile("zv-config.txt", "window_title:zv-font-probe,font_file:no-such-font.ttf,");
  EXPECT_EQ(zv::GameManager::getInstance().startUp(), -1);
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): Unable to load font from file 'no-such-font.ttf'."));
  EXPECT_TRUE(zvtest::logContains("Error starting display manager!"));

  zvtest::writeFile("zv-config.txt", "window_title:zv-font-probe,font_file:" ZELVRA_RUN_DIR "/zv-font.ttf,");
  std::string config;
  zv::Config::getInstance().loadConfig(config);
  ASSERT_EQ(DisplayManager::getInstance().startUp(), 0);
  EXPECT_EQ(windowsTitled("zv-font-probe", 2), 1);
  zv::GameManager::getInstance().shutDown();
  EXPECT_EQ(windowsTitled("zv-font-probe", 1), 0);
}

TEST(ShapeValues, TypeRangeAndDefaults) {
  zv::Shape shape;
  EXPECT_EQ(shape.getType(), zv::CIRCLE);
  EXPECT_EQ(shape.getColor(), zv::WHITE);
  EXPECT_EQ(shape.getOpacity(), 255);
  shape.setType(3);
  shape.setType(-2);
  EXPECT_EQ(shape.getType(), zv::CIRCLE);
  shape.setType(-1);
  EXPECT_EQ(shape.getType(), zv::SHAPE_NONE);
  shape.setColor(1, 2, 3);
  EXPECT_EQ(shape.getColor(), zv::CUSTOM);
  EXPECT_EQ(shape.getG(), 2);
}

TEST(DisplayStopped, NoDisplayFailsCleanly) {
  setenv("DISPLAY", ":4095", 1);  // a server nobody runs
  ASSERT_FALSE(zv::platform::displayAvailable());
  EXPECT_EQ(zv::GameManager::getInstance().startUp(), -1);
  zv::GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): Unable to allocate window!"));
}

TEST_F(HeadlessDisplay, DefaultShapeSizeFollowsTheCell) {
  zv::Shape shape;
  EXPECT_FLOAT_EQ(shape.getSize(), 24.0f);
}
