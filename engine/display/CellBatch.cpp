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

// Tiles that record where something was drawn: a few pixels wide and one
// tall, as a row's backgrounds start a fraction of a pixel below the
// glyphs of the row above end; coarser where the map would grow too big.
const float TILE_WIDTH = 8;
const std::size_t MOST_TILES = 1 << 20;

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
  // The first and last pixel centres inside the piece.
  float x0 = std::ceil(left - 0.5f) + 0.5f, y0 = std::ceil(top - 0.5f) + 0.5f;
  float x1 = std::ceil(right - 0.5f) - 0.5f, y1 = std::ceil(bottom - 0.5f) - 0.5f;
  if (x0 > x1 || y0 > y1)
    return false;
  if (!glyph.p_ink)
    return true;
  // The texels that filtering at those centres reads: the two around each
  // sample point, the glyph's page rectangle mapped linearly onto its quad.
  float du = (glyph.u2 - glyph.u1) / (glyph.right - glyph.left), dv = (glyph.v2 - glyph.v1) / (glyph.bottom - glyph.top);
  auto texel = [](float at) { return static_cast<int>(std::floor(at - 0.5f)); };
  int u0 = texel((x0 - glyph.left) * du), u1 = texel((x1 - glyph.left) * du) + 1;
  int v0 = texel((y0 - glyph.top) * dv), v1 = texel((y1 - glyph.top) * dv) + 1;
  const std::vector<InkSpan>& rows = *glyph.p_ink;
  for (int row = std::max(v0, 0); row <= v1 && row < static_cast<int>(rows.size()); row++) {
    const InkSpan& span = rows[static_cast<std::size_t>(row)];
    if (span.first <= span.last && span.first <= u1 && span.last >= u0)
      return true;
  }
  return false;
}

CellBatch::CellBatch()
    : min_x(0), min_y(0), max_x(0), max_y(0), run_open(false), run_first(0), run_top(0), run_bottom(0),
      run_right(0), held_open(false), held_glyph(), window_clean(false), element(0), frame_start(0),
      tile_w(TILE_WIDTH), tile_h(1), tiles_x(0), tiles_y(0), run_clean(false), run_element(0) {}

void CellBatch::reserve(std::size_t quads) { vertices.reserve(quads * VERTICES_PER_QUAD); }

void CellBatch::setVisible(const sf::FloatRect& rect) {
  min_x = rect.left;
  min_y = rect.top;
  max_x = rect.left + rect.width;
  max_y = rect.top + rect.height;
  // A new map for the new place. The view changes only through the window
  // the batch was flushed to, so nothing is known clean until the clear.
  tile_w = TILE_WIDTH, tile_h = 1;
  for (;;) {
    tiles_x = static_cast<int>(std::ceil(rect.width / tile_w)) + 1;
    tiles_y = static_cast<int>(std::ceil(rect.height / tile_h)) + 1;
    if (static_cast<std::size_t>(tiles_x) * static_cast<std::size_t>(tiles_y) <= MOST_TILES)
      break;
    tile_w *= 2, tile_h *= 2;
  }
  stamps.assign(static_cast<std::size_t>(tiles_x) * static_cast<std::size_t>(tiles_y), 0);
}

void CellBatch::cleared(sf::Color color) {
  window_clean = true;
  clear_color = color;
  frame_start = element;
  last_frame = counting;
  counting = DrawCounts();
}

bool CellBatch::tiles(float left, float top, float right, float bottom, int& x0, int& y0, int& x1, int& y1) const {
  if (unseen(left, top, right, bottom) || stamps.empty())
    return false;
  // Every tile the rectangle overlaps, its right and bottom edges excluded.
  auto first = [](float at, float tile, int count) {
    return static_cast<int>(std::min(std::max(std::floor(at / tile), 0.0f), static_cast<float>(count - 1)));
  };
  auto last = [](float at, float tile, int count) {
    return static_cast<int>(std::min(std::max(std::ceil(at / tile) - 1, 0.0f), static_cast<float>(count - 1)));
  };
  x0 = first(left - min_x, tile_w, tiles_x), x1 = last(right - min_x, tile_w, tiles_x);
  y0 = first(top - min_y, tile_h, tiles_y), y1 = last(bottom - min_y, tile_h, tiles_y);
  return true;
}

void CellBatch::stamp(float left, float top, float right, float bottom) {
  element++;
  int x0, y0, x1, y1;
  if (!tiles(left, top, right, bottom, x0, y0, x1, y1))
    return;
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) {
      std::uint64_t& tile = stamps[static_cast<std::size_t>(y * tiles_x + x)];
      if (tile <= frame_start)
        tile = element;
    }
}

bool CellBatch::untouched(float left, float top, float right, float bottom, std::uint64_t since) const {
  if (!window_clean)
    return false;
  int x0, y0, x1, y1;
  if (!tiles(left, top, right, bottom, x0, y0, x1, y1))
    return true;
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) {
      std::uint64_t tile = stamps[static_cast<std::size_t>(y * tiles_x + x)];
      if (tile > frame_start && tile <= since)
        return false;
    }
  return true;
}

bool CellBatch::add(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
                    sf::Color color) {
  if (!push(left, top, right, bottom, u1, v1, u2, v2, color))
    return false;
  stamp(left, top, right, bottom);
  return true;
}

bool CellBatch::push(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
                     sf::Color color) {
  if (unseen(left, top, right, bottom))
    return false;
  vertices.emplace_back(sf::Vector2f(left, top), color, sf::Vector2f(u1, v1));
  vertices.emplace_back(sf::Vector2f(right, top), color, sf::Vector2f(u2, v1));
  vertices.emplace_back(sf::Vector2f(left, bottom), color, sf::Vector2f(u1, v2));
  vertices.emplace_back(sf::Vector2f(left, bottom), color, sf::Vector2f(u1, v2));
  vertices.emplace_back(sf::Vector2f(right, top), color, sf::Vector2f(u2, v1));
  vertices.emplace_back(sf::Vector2f(right, bottom), color, sf::Vector2f(u2, v2));
  counting.quads++;
  return true;
}

void CellBatch::addBackground(float left, float top, float right, float bottom, float white, sf::Color color) {
  // The clear colour over untouched pixels changes nothing; any other
  // colour changes what later backgrounds would cover.
  bool clear = color == clear_color && color.a == 255;
  if (!clear)
    stamp(left, top, right, bottom);
  // It joins when it continues the row in the same colour, covers all that
  // is held back of the glyph before it, and a row left out stays right.
  if (run_open && top == run_top && bottom == run_bottom && color == run_color &&
      std::fabs(left - run_right) < TOUCH && (!held_open || !held_glyph.clip(right, run_top, FAR, run_bottom).inked(held_glyph)) &&
      (!run_clean || untouched(left, top, right, bottom, run_element))) {
    for (std::size_t corner : {1, 4, 5})
      vertices[run_first + corner].position.x = right;
    run_right = right;
    held_open = false;
    return;
  }
  closeRun();
  if (!push(left, top, right, bottom, white, white, white, white, color))
    return;
  run_open = true;
  run_first = vertices.size() - VERTICES_PER_QUAD;
  run_top = top, run_bottom = bottom, run_right = right, run_color = color;
  run_element = element;
  run_clean = clear && untouched(left, top, right, bottom, element);
}

void CellBatch::addGlyph(float left, float top, float right, float bottom, float u1, float v1, float u2, float v2,
                         sf::Color color, const std::vector<InkSpan>* p_ink) {
  Piece glyph{left, top, right, bottom, u1, v1, u2, v2, color, p_ink};
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
  held_glyph = glyph;
  held_open = heldPiece().inked(glyph);
}

void CellBatch::closeRun() {
  if (held_open)
    add(heldPiece());
  held_open = false;
  // A row left out: its quad shrinks to a point, which draws nothing.
  if (run_open && run_clean) {
    for (std::size_t corner = 0; corner < VERTICES_PER_QUAD; corner++)
      vertices[run_first + corner].position = vertices[run_first].position;
    counting.quads--;
  } else if (run_open) {
    counting.backgrounds++;
  }
  run_open = run_clean = false;
}

void CellBatch::addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, float white, sf::Color color) {
  closeRun();
  stamp(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}));
  vertices.emplace_back(a, color, sf::Vector2f(white, white));
  vertices.emplace_back(b, color, sf::Vector2f(white, white));
  vertices.emplace_back(c, color, sf::Vector2f(white, white));
}

void CellBatch::draw(sf::RenderTarget& target, const sf::Texture* p_page) {
  closeRun();
  window_clean = false;
  if (vertices.empty())
    return;
  sf::RenderStates states(p_page);
  target.draw(vertices.data(), vertices.size(), sf::Triangles, states);
  vertices.clear();
}

void CellBatch::clear() {
  vertices.clear();
  run_open = held_open = run_clean = window_clean = false;
  counting = last_frame = DrawCounts();
}


} // namespace zv
