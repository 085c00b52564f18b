#include "display/CellBatch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <SFML/Graphics/RenderStates.hpp>

namespace zv {

namespace {
// Two triangles a quad, split along the same diagonal as a text's glyphs.
const std::size_t VERTICES_PER_QUAD = 6;
// Backgrounds this close count as touching (cell positions are sums of
// fractions, so neighbours rarely meet to the last bit).
const float TOUCH = 1.0f / 64;
const float FAR = std::numeric_limits<float>::max();

// Whether a pixel centre lies in [low, high).
bool hasCentre(float low, float high) { return std::ceil(low - 0.5f) + 0.5f < high; }
} // namespace

CellBatch::Piece CellBatch::Piece::clip(float l, float t, float r, float b) const {
  Piece p = *this;
  p.left = std::max(left, l), p.top = std::max(top, t), p.right = std::min(right, r), p.bottom = std::min(bottom, b);
  // The page maps onto the quad linearly; cut it where the quad is cut.
  float du = (u2 - u1) / (right - left), dv = (v2 - v1) / (bottom - top);
  p.u1 = u1 + (p.left - left) * du, p.u2 = u1 + (p.right - left) * du;
  p.v1 = v1 + (p.top - top) * dv, p.v2 = v1 + (p.bottom - top) * dv;
  return p;
}

bool CellBatch::Piece::inked(const Piece& glyph) const {
  // The page keeps a clear texel around each glyph; a pixel centre that
  // samples no deeper than that texel's middle reads nothing. The glyph's
  // bitmap may be a texel larger than its quad, so a texel is not a pixel.
  float border_x = 0.5f * (glyph.right - glyph.left) / (glyph.u2 - glyph.u1) - 1.0f / 256;
  float border_y = 0.5f * (glyph.bottom - glyph.top) / (glyph.v2 - glyph.v1) - 1.0f / 256;
  return hasCentre(std::max(left, glyph.left + border_x), std::min(right, glyph.right - border_x)) &&
         hasCentre(std::max(top, glyph.top + border_y), std::min(bottom, glyph.bottom - border_y));
}

CellBatch::CellBatch()
    : min_x(0), min_y(0), max_x(0), max_y(0), run_open(false), run_first(0), run_top(0), run_bottom(0),
      run_right(0), held_open(false), held(), held_glyph() {}

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

void CellBatch::addBackground(float left, float top, float right, float bottom, float white, sf::Color color) {
  // It joins when it continues the row in the same colour and covers all
  // that is held back of the glyph before it.
  if (run_open && top == run_top && bottom == run_bottom && color == run_color &&
      std::fabs(left - run_right) < TOUCH && (!held_open || !held.clip(right, -FAR, FAR, FAR).inked(held_glyph))) {
    for (std::size_t corner : {1, 4, 5})
      vertices[run_first + corner].position.x = right;
    run_right = right;
    held_open = false;
    return;
  }
  closeRun();
  if (!add(left, top, right, bottom, white, white, white, white, color))
    return;
  run_open = true;
  run_first = vertices.size() - VERTICES_PER_QUAD;
  run_top = top, run_bottom = bottom, run_right = right, run_color = color;
}

void CellBatch::addGlyph(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
                         sf::Color color) {
  Piece glyph{left, top, right, bottom, u1, v1, u2, v2, color};
  if (!run_open || !glyph.clip(run_right, -FAR, FAR, FAR).inked(glyph)) {
    add(glyph);
    return;
  }
  // Left of the run's end now; beyond it, above and below the row now, the
  // row itself held back for the next background.
  Piece pieces[3] = {glyph.clip(-FAR, -FAR, run_right, FAR), glyph.clip(run_right, -FAR, FAR, run_top),
                     glyph.clip(run_right, run_bottom, FAR, FAR)};
  for (const Piece& p : pieces)
    if (p.inked(glyph))
      add(p);
  held = glyph.clip(run_right, run_top, FAR, run_bottom);
  held_glyph = glyph;
  held_open = held.inked(glyph);
}

void CellBatch::closeRun() {
  if (held_open)
    add(held);
  held_open = false;
  run_open = false;
}

void CellBatch::addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, float white, sf::Color color) {
  closeRun();
  vertices.emplace_back(a, color, sf::Vector2f(white, white));
  vertices.emplace_back(b, color, sf::Vector2f(white, white));
  vertices.emplace_back(c, color, sf::Vector2f(white, white));
}

void CellBatch::draw(sf::RenderTarget& target, const sf::Texture* p_page) {
  closeRun();
  if (vertices.empty())
    return;
  sf::RenderStates states(p_page);
  target.draw(vertices.data(), vertices.size(), sf::Triangles, states);
  vertices.clear();
}

void CellBatch::clear() {
  vertices.clear();
  run_open = held_open = false;
}


} // namespace zv
