// The display and input managers without a window, and start-ups.
#include <algorithm>
#include <cstdlib>
#include <string>

#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/DisplayManager.h"
#include "display/InputManager.h"
#include "display/Shape.h"
#include "display/ViewObject.h"
#include "platform/Platform.h"

using zv::Vector;

// Sizes and cell arithmetic work, drawing is refused without a word, input takes
// only keyboard and mouse interest; not headless but windowless, it says why it reads nothing.
TEST(Headless, SizesWithoutDrawingOrInput) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  zv::InputManager& im = zv::InputManager::getInstance();
  EXPECT_EQ(dm.getHorizontalChars() * 100 + dm.getVerticalChars(), 8024);
  EXPECT_EQ(zv::spacesToPixels(Vector(10, 5)), Vector(128, 160));
  EXPECT_EQ(zv::pixelsToSpaces(Vector(130, 170)), Vector(10.15625f, 5.3125f));
  EXPECT_EQ(dm.getRenderWindow(), nullptr);
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', zv::RED) + dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3), -2);
  EXPECT_EQ(dm.drawText(Vector(1, 1), "abc", zv::ALIGN_LEFT, zv::RED) + dm.presentFrame(), -2);
  zv::Shape shape;
  shape.draw(Vector(3, 3));                 // no window: nothing drawn, nothing breaks
  EXPECT_FALSE(im.isValid("zv-step") || im.isValid("zv-keyboard-network"));
  EXPECT_EQ(im.registerInterest(new zvtest::Recorder, zv::STEP_EVENT), -1);
  zv::ViewObject* view = new zv::ViewObject;  // every call fails: the text, and the border's four more
  EXPECT_EQ(view->draw() + view->setLocation(zv::ViewLocation(9)), -6);
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (9). Ignored."));
  im.getInput();
  EXPECT_EQ(dm.startUp() + im.startUp(), -2);
  EXPECT_FALSE(zvtest::logContains("not started") || zvtest::logContains("InputManager::getInput()"));
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startup(): Warning! DisplayManager already started."));
  im.shutDown();
  std::string config = "headless:false,";
  zv::Config::getInstance().loadConfig(config);
  EXPECT_EQ(im.startUp(), 0);
  im.getInput();
  im.getInput();
  EXPECT_EQ(zvtest::logCount("InputManager::getInput(): DisplayManager unexpectedly returned null window!"), 2);
  zv::GameManager::getInstance().shutDown();
}

TEST(DisplayStopped, NothingDrawsOrReadsBeforeStartUp) {
  zv::LogManager::getInstance().startUp();
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  EXPECT_EQ(dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3) + dm.presentFrame(), -2);
  EXPECT_EQ(dm.drawText(Vector(1, 1), "abc", zv::ALIGN_CENTER, zv::RED), -1);
  EXPECT_EQ(zv::InputManager::getInstance().startUp(), -1);
  EXPECT_EQ(zvtest::logCount("DisplayManager not started!"), 3);
  EXPECT_TRUE(zvtest::logContains(
      "InputManager::startUp(): Error starting InputManager. DisplayManager must be started first."));
}

// The largest window the graphics can give starts; a missing font does not.
TEST(DisplayStopped, WindowAsLargeAsTheGraphicsAllowButNoFont) {
  ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
  std::string most = std::to_string(std::min(sf::Texture::getMaximumSize(), 16384u));
  for (std::string size : {most + ",window_vertical_pixels:64,", "64,window_vertical_pixels:" + most + ","}) {
    zvtest::writeFile("zv-config.txt", "font_file:" ZELVRA_RUN_DIR "/zv-font.ttf,window_horizontal_pixels:" + size);
    EXPECT_EQ(zv::GameManager::getInstance().startUp(), 0) << size;
    zv::GameManager::getInstance().shutDown();
  }
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
