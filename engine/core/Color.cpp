#include <zelvra/core/Color.h>

#include <zelvra/core/LogManager.h>

namespace zv {

namespace {
struct Rgb {
  unsigned char r, g, b;
};
const Rgb RGB_TABLE[] = {
    {0, 0, 0},     {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
const char* const NAMES[] = {"Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan", "White"};
} // namespace

void colorToRGB(Color c, unsigned char& r, unsigned char& g, unsigned char& b) {
  int n = static_cast<int>(c);
  if (n == CUSTOM)
    return;
  if (n < 0 || n > CUSTOM) {
    LogManager::getInstance().writeLog(5, "colorToRGB(): Color %d not supported.", n);
    return;
  }
  r = RGB_TABLE[n].r;
  g = RGB_TABLE[n].g;
  b = RGB_TABLE[n].b;
}

sf::Color colorToSFML(Color c) {
  switch (static_cast<int>(c)) {
    case BLACK: return sf::Color::Black;
    case RED: return sf::Color::Red;
    case GREEN: return sf::Color::Green;
    case YELLOW: return sf::Color::Yellow;
    case BLUE: return sf::Color::Blue;
    case MAGENTA: return sf::Color::Magenta;
    case CYAN: return sf::Color::Cyan;
    case WHITE: return sf::Color::White;
    case CUSTOM:
      LogManager::getInstance().writeLog(5, "colorToSFML(): Color is CUSTOM.");
      return sf::Color::White;
    default:
      LogManager::getInstance().writeLog(5, "colorToSFML(): Color %d not supported.", static_cast<int>(c));
      return sf::Color::White;
  }
}

std::string colorToString(Color c) {
  int n = static_cast<int>(c);
  if (n < BLACK || n > WHITE)
    return "Unknown color";
  return NAMES[n];
}

} // namespace zv
