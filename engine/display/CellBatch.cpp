#include <zelvra/display/CellBatch.h>

#include <algorithm>
#include <cassert>
#include <limits>

#include <SFML/Graphics/RenderStates.hpp>

namespace zv {

namespace {
// Two triangles a quad, split along the same diagonal as a text's glyphs.
const std::size_t VERTICES_PER_QUAD = 6;
const float FAR = std::numeric_limits<float>::max();
} // namespace

CellBatch::CellBatch() : p_page(nullptr), white(0), p_waiting(nullptr), waiting_quad(), counting(), last_frame() {}

void CellBatch::reset(const sf::Texture* p_new_page, float new_white, sf::Color new_clear_color) {
  assert(new_clear_color.a == 255);  // an erase must hide what it covers
  p_page = p_new_page;
  white = new_white;
  clear_color = new_clear_color;
  vertices.clear();
  p_waiting = nullptr;
  touched.distrust();
  counting = last_frame = DrawCounts();
}

void CellBatch::reserve(std::size_t quads) { vertices.reserve(quads * VERTICES_PER_QUAD); }

void CellBatch::setVisible(const sf::FloatRect& rect) {
  assert(vertices.empty() && !p_waiting);  // what is queued would lose its marks
  visible = rect;
  touched.cover(rect);
}

void CellBatch::erase(float left, float top, float right, float bottom) {
  assert(!(left > right) && !(top > bottom));  // not inverted
  if (unseen(left, top, right, bottom))
    return;
  // Asked before the waiting glyph goes out, as the part of it that would
  // reach under the erase is cut away.
  bool skipped = touched.untouched(left, top, right, bottom);
  Quad area{left, top, right, bottom, white, white, white, white};
  sendWaiting(&area);
  if (skipped)
    return;
  // Not marked: the erase shows the clear colour, though other pixels of
  // its tiles may not.
  append(area, clear_color);
  counting.backgrounds++;
}

void CellBatch::addGlyph(const GlyphCache::Glyph& glyph, float x, float y, sf::Color color) {
  assert(p_page && glyph.drawn);
  sendWaiting(nullptr);
  Quad placed = glyph.quad.movedBy(x, y);
  if (unseen(placed.left, placed.top, placed.right, placed.bottom))
    return;
  p_waiting = &glyph;
  waiting_quad = placed;
  waiting_color = color;
}

void CellBatch::sendWaiting(const Quad* p_covered) {
  if (!p_waiting)
    return;
  const Quad& g = waiting_quad;
  if (!p_covered || !g.overlaps(*p_covered)) {
    paint(g, waiting_color);
  } else {
    // Left and right of the erase, then above and below it.
    const Quad& c = *p_covered;
    Quad pieces[4] = {g.clippedTo(-FAR, -FAR, c.left, FAR), g.clippedTo(c.right, -FAR, FAR, FAR),
                      g.clippedTo(c.left, -FAR, c.right, c.top), g.clippedTo(c.left, c.bottom, c.right, FAR)};
    for (const Quad& piece : pieces)
      if (p_waiting->inked(piece))
        paint(piece, waiting_color);
  }
  p_waiting = nullptr;
}

void CellBatch::append(const Quad& q, sf::Color color) {
  vertices.emplace_back(sf::Vector2f(q.left, q.top), color, sf::Vector2f(q.u1, q.v1));
  vertices.emplace_back(sf::Vector2f(q.right, q.top), color, sf::Vector2f(q.u2, q.v1));
  vertices.emplace_back(sf::Vector2f(q.left, q.bottom), color, sf::Vector2f(q.u1, q.v2));
  vertices.emplace_back(sf::Vector2f(q.left, q.bottom), color, sf::Vector2f(q.u1, q.v2));
  vertices.emplace_back(sf::Vector2f(q.right, q.top), color, sf::Vector2f(q.u2, q.v1));
  vertices.emplace_back(sf::Vector2f(q.right, q.bottom), color, sf::Vector2f(q.u2, q.v2));
  counting.quads++;
}

void CellBatch::paint(const Quad& q, sf::Color color) {
  if (unseen(q.left, q.top, q.right, q.bottom))
    return;
  append(q, color);
  touched.touch(q.left, q.top, q.right, q.bottom);
}

void CellBatch::addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Color color) {
  sendWaiting(nullptr);
  touched.touch(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}),
                std::max({a.y, b.y, c.y}));
  for (sf::Vector2f corner : {a, b, c})
    vertices.emplace_back(corner, color, sf::Vector2f(white, white));
}

void CellBatch::draw(sf::RenderTarget& target) {
  sendWaiting(nullptr);
  touched.distrust();
  if (vertices.empty())
    return;
  target.draw(vertices.data(), vertices.size(), sf::Triangles, sf::RenderStates(p_page));
  vertices.clear();
}

void CellBatch::cleared() {
  assert(vertices.empty() && !p_waiting);  // whatever was queued before the clear is lost
  touched.cleared();
  last_frame = counting;
  counting = DrawCounts();
}

} // namespace zv
