// One frame's character cells, and the shapes drawn among them, queued as
// triangles on the glyph page and drawn in one call. The pixels are those
// of drawing every erase, glyph and triangle on its own in call order;
// what the batch leaves out or cuts could not have changed a pixel:
//
// - Quads wholly outside the visible rectangle are dropped.
// - An erase paints a rectangle in the clear colour (a cell's background).
//   One over tiles that nothing has touched since the clear would paint the
//   clear colour on itself, so it is skipped; otherwise it is drawn where
//   it came.
// - A glyph waits until the next call, at most one at a time. An erase that
//   overlaps it takes out what it covers, which that erase would have
//   painted over anyway; the rest goes out before the erase, in pieces,
//   those with no ink dropped. Any other call sends the waiting glyph whole.
//   So a row of text over the clear colour draws its glyphs and skips all
//   its backgrounds, though each glyph reaches into the next cell's.
// - Whoever draws on the target besides the batch may draw anything, so
//   after draw() no erase is skipped until the next clear.
#ifndef ZV_CELL_BATCH_H
#define ZV_CELL_BATCH_H

#include <cstddef>
#include <vector>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <zelvra/display/DrawCounts.h>
#include <zelvra/display/GlyphCache.h>
#include <zelvra/display/Quad.h>
#include <zelvra/display/TouchedTiles.h>

namespace zv {

class CellBatch {
 public:
  CellBatch();
  // Empties the batch and forgets the glyph waiting: later quads read this
  // page (null: no glyph may come; the rest is drawn untextured), whose
  // texel (white, white) is solid white, and erases paint this opaque
  // colour. Call it again whenever the glyphs it was given go away.
  void reset(const sf::Texture* p_page, float white, sf::Color clear_color);
  // Room for this many quads without allocating while frames are drawn.
  void reserve(std::size_t quads);
  // Quads wholly outside this rectangle of target pixels are dropped. The
  // map of where the frame drew starts again, so call it before anything is
  // queued after the clear, or after draw() (a view moves only on a target
  // drawn to).
  void setVisible(const sf::FloatRect& rect);
  // True when a quad from (left, top) to (right, bottom) would be dropped.
  bool unseen(float left, float top, float right, float bottom) const {
    return right <= visible.left || left >= visible.left + visible.width || bottom <= visible.top ||
           top >= visible.top + visible.height;
  }
  // Paints the rectangle (left, top)-(right, bottom) in the clear colour.
  void erase(float left, float top, float right, float bottom);
  // A glyph of the page (drawn, and kept by its cache until reset()) with
  // its pen at (x, y).
  void addGlyph(const GlyphCache::Glyph& glyph, float x, float y, sf::Color color);
  // An untextured triangle.
  void addTriangle(sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Color color);
  // Draws everything queued in one call and empties the batch, keeping its memory.
  void draw(sf::RenderTarget& target);
  // The target was just cleared to the clear colour, after draw().
  void cleared();
  // What the frame before the last clear drew.
  const DrawCounts& lastFrame() const { return last_frame; }

 private:
  std::vector<sf::Vertex> vertices;
  const sf::Texture* p_page;
  float white;
  sf::Color clear_color;
  sf::FloatRect visible;
  TouchedTiles touched;
  // The glyph waiting (null: none), placed, and its colour.
  const GlyphCache::Glyph* p_waiting;
  Quad waiting_quad;
  sf::Color waiting_color;
  DrawCounts counting, last_frame;  // this frame so far, the one before

  // Sends the waiting glyph less what the quad covers (null: whole).
  void sendWaiting(const Quad* p_covered);
  // Queues a quad; paint() also marks the tiles under it touched.
  void append(const Quad& quad, sf::Color color);
  void paint(const Quad& quad, sf::Color color);
};

} // namespace zv

#endif
