// The game window and the only place where characters reach the screen.
// The window is a grid of character cells; positions are world positions
// in cells, turned into view positions and then pixels.
#ifndef ZV_DISPLAY_MANAGER_H
#define ZV_DISPLAY_MANAGER_H

#include <string>

#include <SFML/Graphics.hpp>

#include "core/Color.h"
#include "core/Manager.h"
#include "core/Vector.h"

namespace zv {

enum Alignment {
  ALIGN_LEFT = 0,
  ALIGN_CENTER,
  ALIGN_RIGHT,
};

// Size of one cell in pixels, from the DisplayManager's four size fields.
float cellWidth();
float cellHeight();
// Cells (spaces) to pixels and back; fractions kept.
Vector spacesToPixels(Vector spaces);
Vector pixelsToSpaces(Vector pixels);

class DisplayManager : public Manager {
 private:
  sf::Font font;
  sf::RenderWindow* p_window;
  int window_horizontal_pixels;
  int window_vertical_pixels;
  int window_horizontal_chars;
  int window_vertical_chars;
  sf::RectangleShape* p_rectangle;
  sf::Color window_background_color;
  sf::Text* p_text;

  DisplayManager();
  DisplayManager(const DisplayManager&) = delete;
  void operator=(const DisplayManager&) = delete;

 public:
  static DisplayManager& getInstance();
  ~DisplayManager() override;

  int startUp() override;
  void shutDown() override;

  int drawCharacter(Vector world_pos, char ch, Color color) const;
  int drawCharacter(Vector world_pos, char ch, unsigned char r, unsigned char g, unsigned char b) const;
  int drawText(Vector world_pos, std::string str, Alignment align, Color color) const;
  // Shows what was drawn and clears the back buffer for the next frame.
  int presentFrame();

  int getHorizontalChars() const;
  int getVerticalChars() const;
  int getHorizontalPixels() const;
  int getVerticalPixels() const;
  sf::RenderWindow* getRenderWindow() const;
};

} // namespace zv

#endif
