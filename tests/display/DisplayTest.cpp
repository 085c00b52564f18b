// The display and input managers without a window, and start-ups.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/Config.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/display/EventView.h>
#include <zelvra/display/InputManager.h>
#include <zelvra/display/ViewObject.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/world/WorldManager.h>

using zv::Vector;

// Sizes and cell arithmetic work, drawing is refused without a word, input takes only keyboard and
// mouse interest and translates every library key; not headless but windowless, it says why it reads nothing.
TEST(Headless, SizesWithoutDrawingOrInput) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  zv::InputManager& im = zv::InputManager::getInstance();
  EXPECT_EQ((std::vector<int>{dm.drawCharacter(Vector(1, 1), 'x', zv::RED), dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3),
                              dm.drawText(Vector(1, 1), "abc", zv::ALIGN_LEFT, zv::RED), dm.presentFrame()}),
            std::vector<int>(4, -1));
  EXPECT_FALSE(im.isValid("zv-step") || im.isValid("zv-keyboard-network"));
  EXPECT_EQ(im.registerInterest(new zvtest::Recorder, zv::STEP_EVENT), -1);
  // Library codes in engine key order (F1-F12, A-Z, 1-9, 0, backspace last), then unnamed ones: code + 97.
  const std::vector<int> codes = {57, 58, 36, 60, 71, 72, 73, 74, 100, 68, 67, 54, 50, 49, 52, 55, 53, 69, 51, 48, 37,
                                  41, 38, 42, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 0, 1, 2, 3, 4, 5, 6, 7,
                                  8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 27, 28, 29,
                                  30, 31, 32, 33, 34, 35, 26, 59, -1, 39, 75, 101};
  for (std::size_t i = 0; i < codes.size(); i++) {
    sf::Event::KeyEvent key{};
    key.code = static_cast<sf::Keyboard::Key>(codes[i]);
    EXPECT_EQ(im.toEventKeyboard(key).getKey(), i < zv::KEY_COUNT ? static_cast<int>(i) : codes[i] + 97) << codes[i];
  }
  zv::ViewObject* view = new zv::ViewObject;  // every call fails: the text, and the border's four more
  EXPECT_EQ((std::vector<int>{view->draw(), view->setLocation(zv::ViewLocation(9))}), (std::vector<int>{-5, -1}));
  EXPECT_TRUE(zvtest::logContains("ViewObject::setLocation(): Warning! Location out of range (9). Ignored."));
  im.getInput();
  EXPECT_EQ((std::vector<int>{dm.startUp(), im.startUp()}), (std::vector<int>{-1, -1}));
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

// A view object with every view attribute changed, and one placed by position without a border,
// read into fresh ones, write the same; then view events change only what they name.
TEST(Headless, ViewObjectsSurviveTheirTextAndTakeTheirEvents) {
  ASSERT_EQ(zvtest::startHeadless(), 0);
  zv::ViewObject *fuel = new zv::ViewObject, *placed = new zv::ViewObject;
  fuel->setViewString("Fuel"), fuel->setValue(-42), fuel->setBorder(false), fuel->setColor(zv::MAGENTA);
  fuel->setLocation(zv::BOTTOM_RIGHT), fuel->setDrawValue(false);
  placed->setBorder(false), placed->setPosition(Vector(7.5f, 3));
  for (zv::ViewObject* original : {fuel, placed}) {
    std::string text = original->serialize("ALL");
    zv::ViewObject* copy = new zv::ViewObject;
    EXPECT_EQ((std::pair{copy->deserialize(text), copy->serialize("ALL")}), (std::pair{0, text}));
  }
  EXPECT_EQ(fuel->serialize("COLOR,LOCATION,"), "view_color:Magenta,view_location:8,");
  std::vector<std::string> written;  // after each event, what changed
  for (zv::EventView event : {zv::EventView("Fuel", 3, true), zv::EventView("Fuel", 0, true),
                              zv::EventView("Fuel", 10, false), zv::EventView("Points", 99, false)}) {
    zv::WorldManager::getInstance().onEvent(&event);
    written.push_back(fuel->serialize());
  }
  EXPECT_EQ(written, (std::vector<std::string>{"view_value:-39,", "", "view_value:10,", ""}));
  zv::GameManager::getInstance().shutDown();
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
  zvtest::writeFile("zv-config.txt", "font_file:no-such-font.ttf,");  // the display's own start-up fails too
  EXPECT_EQ((std::vector<int>{zv::GameManager::getInstance().startUp(), zv::DisplayManager::getInstance().startUp()}),
            (std::vector<int>{-1, -1}));
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): Unable to load font from file 'no-such-font.ttf'."));
}

// Without a display nothing starts, draws or reads.
TEST(DisplayStopped, NoDisplayFailsCleanly) {
  setenv("DISPLAY", ":4095", 1);  // a server nobody runs
  ASSERT_FALSE(zv::platform::displayAvailable());
  EXPECT_EQ(zv::GameManager::getInstance().startUp(), -1);
  EXPECT_TRUE(zvtest::logContains("DisplayManager::startUp(): Unable to allocate window!"));
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  EXPECT_EQ((std::vector<int>{dm.drawCharacter(Vector(1, 1), 'x', 1, 2, 3), dm.presentFrame(),
                              dm.drawText(Vector(1, 1), "abc", zv::ALIGN_CENTER, zv::RED)}),
            std::vector<int>(3, -1));
  EXPECT_EQ(zv::InputManager::getInstance().startUp(), -1);
  EXPECT_EQ(zvtest::logCount("DisplayManager not started!"), 3);
  EXPECT_TRUE(zvtest::logContains(
      "InputManager::startUp(): Error starting InputManager. DisplayManager must be started first."));
}
