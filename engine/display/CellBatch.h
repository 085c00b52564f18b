// The quads of one frame's character cells in one vertex array, drawn with
// one call: each cell adds its background, then its glyph, so what comes
// later covers what came earlier, as separate draws would.
#ifndef ZV_CELL_BATCH_H
#define ZV_CELL_BATCH_H

#include <cstddef>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Vertex.hpp>

namespace zv {

class CellBatch {
 public:
  CellBatch();
  // Room for this many quads without allocating while frames are drawn.
  void reserve(std::size_t quads);
  // Quads wholly outside this rectangle of target pixels are dropped.
  void setVisible(const sf::FloatRect& rect);
  // True when a quad from (left, top) to (right, bottom) would be dropped.
  bool unseen(float left, float top, float right, float bottom) const {
    return right <= min_x || left >= max_x || bottom <= min_y || top >= max_y;
  }
  // A quad from (left, top) to (right, bottom), textured from the page
  // rectangle (u1, v1)-(u2, v2). False when it was dropped as unseen.
  bool add(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
           sf::Color color);
  // An untextured triangle (its corners read the page's white block).
  void addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, float white, sf::Color color);
  // Draws every quad in one call with the page as texture, then empties
  // the batch (keeping its memory).
  void draw(sf::RenderTarget& target, const sf::Texture* p_page);
  // Drops every quad unseen.
  void clear();

 private:
  std::vector<sf::Vertex> vertices;
  float min_x, min_y, max_x, max_y;
};

} // namespace zv

#endif
