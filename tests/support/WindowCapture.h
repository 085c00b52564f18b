// The engine in a real window, and reading back what it drew.
#ifndef ZV_WINDOW_CAPTURE_H
#define ZV_WINDOW_CAPTURE_H

#include <algorithm>
#include <string>

#include <SFML/Graphics.hpp>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/platform/Platform.h>

namespace zvtest {

// Starts the engine with a window of 80 x 24 cells of 12.8 x 32 pixels; GameManager::startUp's result.
inline int startWindowed(const std::string& extra_config = "") {
  writeFile("zv-config.txt", "frame_time:0,font_file:" ZELVRA_RUN_DIR "/zv-font.ttf," + extra_config);
  return zv::GameManager::getInstance().startUp();
}

// What has been drawn since the last presentFrame (the back buffer).
inline sf::Image captureWindow() {
  sf::RenderWindow* p_window = zv::DisplayManager::getInstance().getRenderWindow();
  sf::Texture texture;
  texture.create(p_window->getSize().x, p_window->getSize().y);
  texture.update(*p_window);
  return texture.copyToImage();
}

// How many pixels in a rectangle are within 60 of a colour on every channel, and their centre.
struct ColorSpot {
  int count = 0;
  float x = 0, y = 0;
};

inline ColorSpot findColor(const sf::Image& image, sf::Color color, int left = 0, int top = 0, int right = 1 << 20,
                           int bottom = 1 << 20) {
  auto close = [](int u, int v) { return u - v < 60 && v - u < 60; };
  ColorSpot spot;
  double sx = 0, sy = 0;
  for (int y = std::max(top, 0); y < bottom && y < static_cast<int>(image.getSize().y); y++)
    for (int x = std::max(left, 0); x < right && x < static_cast<int>(image.getSize().x); x++) {
      sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
      if (close(c.r, color.r) && close(c.g, color.g) && close(c.b, color.b))
        spot.count++, sx += x, sy += y;
    }
  spot.x = spot.count ? static_cast<float>(sx / spot.count) : 0;
  spot.y = spot.count ? static_cast<float>(sy / spot.count) : 0;
  return spot;
}

// The cell (in the default 80 x 24 window) a pixel position falls in.
inline int cellX(float pixel_x) { return static_cast<int>(pixel_x / zv::cellWidth()); }
inline int cellY(float pixel_y) { return static_cast<int>(pixel_y / zv::cellHeight()); }

// A started engine with its window and a cleared back buffer.
class WindowFixture : public testing::Test {
 protected:
  zv::DisplayManager& dm = zv::DisplayManager::getInstance();
  sf::RenderWindow* p_window = nullptr;

  void start(const std::string& extra_config = "") {
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    ASSERT_EQ(startWindowed(extra_config), 0);
    ASSERT_NE(p_window = dm.getRenderWindow(), nullptr);
    ASSERT_EQ(dm.presentFrame(), 0);
  }
  void SetUp() override { start(); }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
  // One frame of the real game loop; its drawing stays in the back buffer.
  static sf::Image oneFrame() {
    onEveryStep(nullptr)->stop_after_steps = 1;
    zv::GameManager::getInstance().run();
    return captureWindow();
  }
};

} // namespace zvtest

#endif
