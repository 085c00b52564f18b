#include <zelvra/display/Shape.h>

#include <SFML/Graphics.hpp>

#include <zelvra/core/Config.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Utility.h>
#include <zelvra/display/DisplayManager.h>

namespace zv {

namespace {
// One polygon serves every shape drawn, so drawing allocates nothing.
sf::CircleShape& polygon() {
  static sf::CircleShape shared(0.0f, 30);
  return shared;
}

float defaultSize() {
  float cell = cellWidth() < cellHeight() ? cellWidth() : cellHeight();
  if (!(cell > 0.0f && cell < 1e6f))  // no window size known yet
    cell = 0.0f;
  return Config::getInstance().getFontScale() * static_cast<float>(static_cast<int>(cell));
}
} // namespace

Shape::Shape() : color(WHITE), r(255), g(255), b(255), type(CIRCLE), size(defaultSize()), opacity(255) {}

void Shape::setType(int new_type) {
  if (new_type < SHAPE_NONE || new_type > TRIANGLE) {
    LogManager::getInstance().writeLog("Shape::setType(): Unknown shape type %d. Ignoring.", new_type);
    return;
  }
  type = new_type;
}

int Shape::getType() const { return type; }

void Shape::setColor(unsigned char new_r, unsigned char new_g, unsigned char new_b) {
  color = CUSTOM;
  r = new_r;
  g = new_g;
  b = new_b;
}

void Shape::setColor(Color new_color) { color = new_color; }
Color Shape::getColor() const { return color; }
unsigned char Shape::getR() const { return r; }
unsigned char Shape::getG() const { return g; }
unsigned char Shape::getB() const { return b; }
void Shape::setSize(float new_size) { size = new_size; }
float Shape::getSize() const { return size; }
void Shape::setOpacity(unsigned char new_opacity) { opacity = new_opacity; }
unsigned char Shape::getOpacity() const { return opacity; }

void Shape::draw(Vector world_pos) {
  const DisplayManager& display = DisplayManager::getInstance();
  if (!display.hasWindow()) {
    LogManager::getInstance().writeLog(5, "Shape::draw(): DisplayManager window not defined.");
    return;
  }
  Vector pixels = spacesToPixels(worldToView(world_pos));
  float px = pixels.getX(), py = pixels.getY();
  sf::CircleShape& shape = polygon();
  if (color != CUSTOM)
    colorToRGB(color, r, g, b);
  shape.setFillColor(sf::Color(r, g, b, opacity));
  // Only squares are turned (a four-point polygon stands on its corner);
  // circles and triangles are always drawn upright.
  shape.setRotation(0.0f);
  switch (type) {
    case CIRCLE: {
      std::size_t points = size < 3 ? 3 : size > 10 ? 10 : static_cast<std::size_t>(size);
      shape.setPointCount(points);
      shape.setRadius(size);
      shape.setPosition(px - size * 0.5f, py - size * 0.5f);
      break;
    }
    case SQUARE:
      shape.setPointCount(4);
      shape.setRotation(45.0f);
      shape.setRadius(size / Config::getInstance().getFontScale());
      shape.setPosition(px + size * 0.5f, py - size / 1.75f);
      break;
    case TRIANGLE:
      shape.setPointCount(3);
      shape.setRadius(size * 0.5f);
      shape.setPosition(px - size * 0.5f, py - size * 0.5f);
      break;
    default:
      return;
  }
  LogManager::getInstance().writeLog(20, "Shape::draw(): Drawing at (%.2f, %.2f)", static_cast<double>(px),
                                     static_cast<double>(py));
  // With the cells, so a frame's characters and shapes go out in one draw.
  display.drawShape(shape);
}

} // namespace zv
