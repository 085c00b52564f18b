#include "display/CellBatch.h"

#include <SFML/Graphics/RenderStates.hpp>

namespace zv {

namespace {
// Two triangles a quad, split along the same diagonal as a text's glyphs.
const std::size_t VERTICES_PER_QUAD = 6;
} // namespace

CellBatch::CellBatch() : min_x(0), min_y(0), max_x(0), max_y(0) {}

void CellBatch::reserve(std::size_t quads) { vertices.reserve(quads * VERTICES_PER_QUAD); }

void CellBatch::setVisible(const sf::FloatRect& rect) {
  min_x = rect.left;
  min_y = rect.top;
  max_x = rect.left + rect.width;
  max_y = rect.top + rect.height;
}

bool CellBatch::add(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
                    sf::Color color) {
  if (unseen(left, top, right, bottom))
    return false;
  vertices.emplace_back(sf::Vector2f(left, top), color, sf::Vector2f(u1, v1));
  vertices.emplace_back(sf::Vector2f(right, top), color, sf::Vector2f(u2, v1));
  vertices.emplace_back(sf::Vector2f(left, bottom), color, sf::Vector2f(u1, v2));
  vertices.emplace_back(sf::Vector2f(left, bottom), color, sf::Vector2f(u1, v2));
  vertices.emplace_back(sf::Vector2f(right, top), color, sf::Vector2f(u2, v1));
  vertices.emplace_back(sf::Vector2f(right, bottom), color, sf::Vector2f(u2, v2));
  return true;
}

void CellBatch::addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, float white, sf::Color color) {
  vertices.emplace_back(a, color, sf::Vector2f(white, white));
  vertices.emplace_back(b, color, sf::Vector2f(white, white));
  vertices.emplace_back(c, color, sf::Vector2f(white, white));
}

void CellBatch::draw(sf::RenderTarget& target, const sf::Texture* p_page) {
  if (vertices.empty())
    return;
  sf::RenderStates states(p_page);
  target.draw(vertices.data(), vertices.size(), sf::Triangles, states);
  vertices.clear();
}

void CellBatch::clear() { vertices.clear(); }


} // namespace zv
