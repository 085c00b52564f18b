// The eight text-mode colours and their conversions.
#ifndef ZV_COLOR_H
#define ZV_COLOR_H

#include <string>

#include <SFML/Graphics/Color.hpp>

namespace zv {

// Any int is a valid Color: numbers read back from text keep their value.
enum Color : int {
  BLACK = 0,
  RED,
  GREEN,
  YELLOW,
  BLUE,
  MAGENTA,
  CYAN,
  WHITE,
  CUSTOM,
};

const Color COLOR_DEFAULT = WHITE;

// Leaves the bytes unchanged for CUSTOM and for unknown values.
void colorToRGB(Color c, unsigned char& r, unsigned char& g, unsigned char& b);
// White for CUSTOM and unknown values.
sf::Color colorToSFML(Color c);
std::string colorToString(Color c);

} // namespace zv

#endif
