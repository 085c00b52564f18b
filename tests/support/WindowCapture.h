// Reading back what was drawn into the engine's window, for tests that run
// under a real or virtual X display.
#ifndef ZV_WINDOW_CAPTURE_H
#define ZV_WINDOW_CAPTURE_H

#include <string>

#include <SFML/Graphics.hpp>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "display/DisplayManager.h"

namespace zvtest {

// Starts the engine with a window of 80 x 24 cells of 12.8 x 32 pixels
// (frame time 0); GameManager::startUp's result.
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

// The pixels close to one colour inside a rectangle of pixels: how many,
// and their centre.
struct ColorSpot {
  int count = 0;
  float x = 0;
  float y = 0;
};

inline bool near(sf::Color a, sf::Color b) {
  auto close = [](int u, int v) { return u - v < 60 && v - u < 60; };
  return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

inline ColorSpot findColor(const sf::Image& image, sf::Color color, int left, int top, int right, int bottom) {
  ColorSpot spot;
  double sx = 0, sy = 0;
  int w = static_cast<int>(image.getSize().x), h = static_cast<int>(image.getSize().y);
  for (int y = top < 0 ? 0 : top; y < bottom && y < h; y++)
    for (int x = left < 0 ? 0 : left; x < right && x < w; x++)
      if (near(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)), color)) {
        spot.count++;
        sx += x;
        sy += y;
      }
  if (spot.count > 0) {
    spot.x = static_cast<float>(sx / spot.count);
    spot.y = static_cast<float>(sy / spot.count);
  }
  return spot;
}

inline ColorSpot findColor(const sf::Image& image, sf::Color color) {
  return findColor(image, color, 0, 0, static_cast<int>(image.getSize().x), static_cast<int>(image.getSize().y));
}

// The cell (in the default 80 x 24 window) a pixel position falls in.
inline int cellX(float pixel_x) { return static_cast<int>(pixel_x / zv::cellWidth()); }
inline int cellY(float pixel_y) { return static_cast<int>(pixel_y / zv::cellHeight()); }

} // namespace zvtest

#endif
